// archive-copy: every table of a SQLite archive into the archive of the
// engine under test (another file, or a schema on the server), and back.

#include "platform/core/CommandLine.h"
#include "tools/archivecopy/ArchiveCopy.h"

#include "tests/platform/data/EngineUnderTest.h"
#include "tests/tools/RunProgram.h"
#include "tools/demoarchive/DemoArchive.h"

#include "platform/core/Exception.h"
#include "platform/core/Locale.h"
#include "platform/data/Driver.h"
#include "platform/data/EngineConfig.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

namespace {

const char* const kSource = R"SQL(
CREATE TABLE "Condomini" (
  IdCondominio INTEGER PRIMARY KEY AUTOINCREMENT,
  Nome VARCHAR(50) NOT NULL,
  Note MEMO,
  Riscaldamento BOOLEAN,
  Icona INTEGER DEFAULT 3);
CREATE INDEX idxNome ON "Condomini" (Nome COLLATE NOCASE);
CREATE TABLE MovConti (
  idMovConti INTEGER PRIMARY KEY AUTOINCREMENT,
  idCondominio INTEGER,
  Data DATE,
  Importo NUMERIC(32,2),
  Saldo CURRENCY,
  Registrato DATETIME,
  Cambio REAL,
  Descrizione VARCHAR(50));
CREATE INDEX idxCondominio ON MovConti (idCondominio);
CREATE TABLE Contatori (Contatore VARCHAR(40) NOT NULL PRIMARY KEY, Valore INTEGER);
INSERT INTO Condomini (IdCondominio, Nome, Note, Riscaldamento, Icona) VALUES
  (3, 'bianchi', 'Caldaia nuova', 1, 1), (7, 'Alfa', NULL, 0, NULL),
  (9, 'Città Giardino', 'L''ultima €', NULL, 2), (12, 'alfa due', '', 1, 3);
INSERT INTO MovConti (idCondominio, Data, Importo, Saldo, Registrato, Cambio, Descrizione) VALUES
  (3, '2004-03-12', 12.50, 1936.27, '2004-03-12 18:30:05', 0.5, 'Acqua'),
  (3, '2004-03-13', 100.00, 12, NULL, 2, 'l''uno'),
  (7, '2004-04-01', -7.25, '0.0001', NULL, NULL, 'Più ore €'),
  (9, NULL, '1234567890123.45', NULL, NULL, NULL, NULL);
INSERT INTO Contatori VALUES ('Ricevute', 4);
INSERT INTO Contatori VALUES ('Fatture', 10);
)SQL";

void ExecSqlite(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

int TableCount(const std::string& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                               "name NOT LIKE 'sqlite%'",
                           -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

// Every row of a table in an index's order, each field with its type and
// its text as the dataset renders it.
std::string Rendered(const std::string& alias, const char* table, const char* index = "") {
    TSession session;
    session.SetSessionName("SessioneCopia");
    TDatabase database;
    database.SetDatabaseName("dbCopia");
    database.SetAliasName(alias.c_str());
    database.SetSessionName("SessioneCopia");
    TTable t;
    t.SetDatabaseName("dbCopia");
    t.SetSessionName("SessioneCopia");
    t.SetTableName(table);
    t.SetIndexName(index);
    t.Open();
    std::string out;
    for (int i = 0; i < t.FieldCount(); ++i) {
        const TField* f = t.Fields()->Fields(i);
        out += f->FieldName().str() + ":" + FieldTypeName(f->DataType()) + "/" +
               std::to_string(f->Size()) + (f->Required() ? "!" : "") + " ";
    }
    out += "\n";
    for (t.First(); !t.Eof(); t.Next()) {
        for (int i = 0; i < t.FieldCount(); ++i)
            out += t.Fields()->Fields(i)->AsString().str() + "|";
        out += "\n";
    }
    return out;
}

class ArchiveCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorcopyXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern + "/";
        source_ = dir_ + "origine.db";
        ExecSqlite(source_, kSource);
        target_ = std::make_unique<testengine::RawArchive>(dir_ + "destinazione.db");
        WriteConfig();
        saved_ = FormatSettings();
        FormatSettings().DecimalSeparator = ',';
        FormatSettings().ShortDateFormat = "dd/MM/yyyy";
    }
    void TearDown() override {
        FormatSettings() = saved_;
        target_.reset();
        unsetenv("QUOR_ENGINE_CONFIG");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    void WriteConfig(const std::string& extra = std::string()) {
        config_ = dir_ + "engine.ini";
        std::ofstream(config_) << "[Origine]\nDriver=SQLITE\nPath=origine.db\n\n[Destinazione]\n"
                               << target_->ConfigLines("destinazione.db")
                               << "\n[Ritorno]\nDriver=SQLITE\nPath=ritorno.db\n\n"
                               << extra;
        setenv("QUOR_ENGINE_CONFIG", config_.c_str(), 1);
    }

    // Runs a program from the test's folder with its arguments split at the
    // spaces, and with the variables given set for it alone.
    tooltest::ProgramRun Program(const std::string& program, const std::string& args,
                                 std::map<std::string, std::string> variables = {}) {
        variables["QUOR_REGISTRY"] = dir_ + "registro.reg";
        std::map<std::string, std::optional<std::string>> saved;
        for (const auto& [name, value] : variables) {
            const char* old = std::getenv(name.c_str());
            saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
            setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<std::string> words;
        std::istringstream split(args);
        for (std::string word; split >> word;)
            words.push_back(word);
        tooltest::ProgramRun run = tooltest::RunProgram(program, words, dir_);
        for (const auto& [name, value] : saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        return run;
    }

    std::string dir_, source_, config_;
    std::unique_ptr<testengine::RawArchive> target_;
    TFormatSettings saved_;
};

TEST_F(ArchiveCopyTest, TablesKeepTheirTypesKeysIndexesAndRows) {
    std::vector<std::string> progress;
    const archivecopy::Result result = archivecopy::CopyArchive(
        "Origine", "Destinazione", {},
        [&](const std::string& table, std::int64_t, std::int64_t) { progress.push_back(table); });
    EXPECT_EQ(result.tables, 3);
    EXPECT_EQ(result.rows, 10);
    EXPECT_TRUE(progress.empty()); // small tables say nothing

    for (const auto& [table, index] :
         std::vector<std::pair<const char*, const char*>>{{"Condomini", ""},
                                                          {"Condomini", "idxNome"},
                                                          {"MovConti", "idxCondominio"},
                                                          {"Contatori", ""}}) {
        SCOPED_TRACE(std::string(table) + " " + index);
        const std::string copied = Rendered("Destinazione", table, index);
        EXPECT_EQ(copied, Rendered("Origine", table, index));
        EXPECT_GT(copied.size(), 40u);
    }
    // Case-insensitive order, whatever the engine.
    const std::string byName = Rendered("Destinazione", "Condomini", "idxNome");
    std::size_t at = 0;
    for (const char* name : {"|Alfa|", "|alfa due|", "|bianchi|", "|Citt\xE0 Giardino|"}) {
        const std::size_t next = byName.find(name, at);
        ASSERT_NE(next, std::string::npos) << name << " out of order in\n" << byName;
        at = next;
    }

    // The copy goes on numbering after the largest key; defaults came along.
    {
        TSession session;
        session.SetSessionName("SessioneNuova");
        TDatabase database;
        database.SetDatabaseName("dbNuovo");
        database.SetAliasName("Destinazione");
        database.SetSessionName("SessioneNuova");
        TTable t;
        t.SetDatabaseName("dbNuovo");
        t.SetSessionName("SessioneNuova");
        t.SetTableName("Condomini.DB");
        t.Open();
        t.Append();
        t.FieldByName("Nome")->SetAsString("Nuovo");
        t.Post();
        EXPECT_EQ(t.FieldByName("IdCondominio")->AsInteger(), 13);
        EXPECT_EQ(t.FieldByName("Icona")->AsInteger(), 3);
        // The indexes are the source's, by name.
        std::vector<std::string> names;
        for (const dbengine::IndexInfo& i : database.Connection().Indexes("Condomini"))
            names.push_back(i.Name);
        EXPECT_EQ(names, std::vector<std::string>{"idxNome"});
    }

    if (!testengine::OnServer()) return;
    // And back from the server to a new file, where nothing changed on the way.
    ASSERT_FALSE(std::filesystem::exists(dir_ + "ritorno.db"));
    archivecopy::CopyArchive("Destinazione", "Ritorno", {});
    EXPECT_EQ(Rendered("Ritorno", "MovConti", "idxCondominio"),
              Rendered("Origine", "MovConti", "idxCondominio"));
    EXPECT_EQ(Rendered("Ritorno", "Contatori"), Rendered("Origine", "Contatori"));
}

TEST_F(ArchiveCopyTest, TablesAlreadyThereAreReplacedOnlyWhenAsked) {
    archivecopy::CopyArchive("Origine", "Destinazione", {});
    target_->Exec("INSERT INTO Contatori VALUES ('Solo qui', 1)");
    try {
        archivecopy::CopyArchive("Origine", "Destinazione", {});
        FAIL() << "copied over the tables already there";
    } catch (const EDatabaseError& e) {
        for (const char* part : {"'Destinazione'", "Condomini", "Contatori", "--sostituisci"})
            EXPECT_NE(e.Message().Pos(part), 0) << part << ": " << e.Message().c_str();
    }
    EXPECT_EQ(target_->Read("select count(*) from Contatori").Text, "3");

    archivecopy::Options replace;
    replace.replace = true;
    const archivecopy::Result again = archivecopy::CopyArchive("Origine", "Destinazione", replace);
    EXPECT_EQ(again.rows, 10);
    EXPECT_EQ(target_->Read("select count(*) from Contatori").Text, "2");
    EXPECT_EQ(Rendered("Destinazione", "Contatori"), Rendered("Origine", "Contatori"));

    // Aliases that cannot be copied are named.
    for (const auto& [from, to] : std::vector<std::pair<const char*, const char*>>{
             {"Origine", "origine"}, {"Nessuno", "Destinazione"}, {"Origine", "Assente"}}) {
        try {
            archivecopy::CopyArchive(from, to, replace);
            ADD_FAILURE() << from << " -> " << to;
        } catch (const EDatabaseError& e) {
            const std::string named = std::string(from) == "Nessuno" ? from : to;
            EXPECT_NE(e.Message().Pos(named.c_str()), 0) << e.Message().c_str();
        }
    }
}

TEST_F(ArchiveCopyTest, AFailedCopyLeavesTheTargetAsItWas) {
    // The second table cannot take the place of the view of that name.
    ExecSqlite(source_, "CREATE TABLE Vista (A INTEGER)");
    target_->Exec("CREATE TABLE Altro (B INTEGER); CREATE VIEW Vista AS SELECT B FROM Altro");
    const std::string before = target_->Contents();
    archivecopy::Options replace;
    replace.replace = true;
    try {
        archivecopy::CopyArchive("Origine", "Destinazione", replace);
        FAIL() << "a view was replaced by a table";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Vista'"), 0) << e.Message().c_str();
        EXPECT_NE(e.Message().Pos("non \xE8 cambiato"), 0) << e.Message().c_str();
    }
    EXPECT_FALSE(target_->HasTable("Condomini"));
    EXPECT_EQ(target_->Contents(), before);

    if (!testengine::OnServer()) return;
    // A value the server's type refuses names its table; nothing stays.
    ExecSqlite(source_, "DROP TABLE Vista; CREATE TABLE Storta (N INTEGER); "
                        "INSERT INTO Storta VALUES (1), ('non un numero')");
    try {
        archivecopy::CopyArchive("Origine", "Destinazione", {});
        FAIL() << "text went into a number";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().Pos("'Storta'"), 0) << e.Message().c_str();
    }
    EXPECT_FALSE(target_->HasTable("Condomini"));
    EXPECT_EQ(target_->Contents(), before);
}

TEST_F(ArchiveCopyTest, TheProgramFollowsTheCommandLineConventions) {
    const tooltest::ProgramRun help = Program(ARCHIVE_COPY_EXE, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Uso: archive-copy", 0), 0u) << help.out;
    const tooltest::ProgramRun version = Program(ARCHIVE_COPY_EXE, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("archive-copy ") + QuorVersion() + tooltest::kLineEnd);
    for (const char* wrong : {"", "Origine", "--nessuna Origine Destinazione", "a b c"}) {
        const tooltest::ProgramRun refused = Program(ARCHIVE_COPY_EXE, wrong);
        EXPECT_EQ(refused.status, 2) << wrong;
        EXPECT_NE(refused.err.find("Uso: archive-copy"), std::string::npos) << refused.err;
        EXPECT_TRUE(refused.out.empty());
    }
    const tooltest::ProgramRun missing = Program(ARCHIVE_COPY_EXE, "Inesistente Destinazione");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("archive-copy: ", 0), 0u) << missing.err;
    EXPECT_NE(missing.err.find("'Inesistente'"), std::string::npos) << missing.err;
    EXPECT_FALSE(target_->HasTable("Condomini"));

    const tooltest::ProgramRun copied = Program(ARCHIVE_COPY_EXE, "Origine Destinazione");
    EXPECT_EQ(copied.status, 0) << copied.err;
    EXPECT_NE(copied.out.find("Copiate 3 tabelle, 10 righe"), std::string::npos) << copied.out;
    const tooltest::ProgramRun again = Program(ARCHIVE_COPY_EXE, "Origine Destinazione");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("gi\xC3\xA0 le tabelle"), std::string::npos) << again.err;
    EXPECT_EQ(Program(ARCHIVE_COPY_EXE, "--sostituisci Origine Destinazione").status, 0);
}

TEST_F(ArchiveCopyTest, BracUtilExportsTheSameBytesFromTheCopyOfTheDemoArchive) {
    demoarchive::Options options;
    options.movements = 15000; // a large table reports its progress
    demoarchive::Result demo;
    std::string error;
    ASSERT_TRUE(demoarchive::MakeDemoArchive(dir_ + "demo", options, demo, error)) << error;
    WriteConfig("[Bracotene]\nDriver=SQLITE\nPath=" + demo.archive + "\n");
    std::vector<std::int64_t> seen;
    const archivecopy::Result result = archivecopy::CopyArchive(
        "Bracotene", "Destinazione", {},
        [&](const std::string& table, std::int64_t done, std::int64_t total) {
            EXPECT_EQ(table, "MovConti");
            EXPECT_EQ(total, demo.movements);
            seen.push_back(done);
        });
    EXPECT_EQ(result.tables, TableCount(demo.archive));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), demo.movements);
    // What the window's grids show: the same rows, types and order.
    EXPECT_EQ(Rendered("Destinazione", "Condomini.DB", "idxNome"),
              Rendered("Bracotene", "Condomini.DB", "idxNome"));
    EXPECT_EQ(Rendered("Destinazione", "MovConti.db", "idxCondominio"),
              Rendered("Bracotene", "MovConti.db", "idxCondominio"));

    // bracutil over the copy: the same alias name, on the archive under test.
    const std::string copyConfig = dir_ + "copia.ini";
    std::ofstream(copyConfig) << "[Bracotene]\n" << target_->ConfigLines("destinazione.db");
    for (const char* which : {"", "--condominio 1", "--condominio 2", "--condominio 36"}) {
        SCOPED_TRACE(which);
        const tooltest::ProgramRun original =
            Program(BRACUTIL_EXE, std::string("--export ") + which,
                    {{"LC_ALL", "it_IT.UTF-8"}, {"QUOR_ENGINE_CONFIG", demo.engineConfig}});
        const tooltest::ProgramRun copy =
            Program(BRACUTIL_EXE, std::string("--export ") + which,
                    {{"LC_ALL", "it_IT.UTF-8"}, {"QUOR_ENGINE_CONFIG", copyConfig}});
        EXPECT_EQ(original.status, 0) << original.err;
        EXPECT_EQ(copy.status, 0) << copy.err;
        EXPECT_GT(original.out.size(), 40u);
        EXPECT_TRUE(original.out == copy.out) << "the exports differ";
    }
}

} // namespace
