#pragma once
// A real archive in a fresh folder (a SQLite file, or a schema on the server
// when the tests run there), an engine configuration naming it as the alias
// "Prova", and a session and database bound to it.

#include "tests/platform/data/EngineUnderTest.h"

#include "platform/core/Locale.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "tests/PosixOnWindows.h"

// The archive used by most tests: condominiums, their movements, causes.
inline const char* const kSchema = R"SQL(
CREATE TABLE Condomini (
  IdCondominio INTEGER PRIMARY KEY AUTOINCREMENT,
  Nome VARCHAR(50) NOT NULL,
  Comune VARCHAR(50),
  CAP VARCHAR(5),
  Provincia VARCHAR(2),
  Note MEMO,
  Riscaldamento BOOLEAN,
  Icona INTEGER);
CREATE INDEX idxNome ON Condomini (Nome COLLATE NOCASE);
CREATE TABLE MovConti (
  idMovConti INTEGER PRIMARY KEY AUTOINCREMENT,
  idCondominio INTEGER,
  idCausale INTEGER,
  Data DATE,
  Importo NUMERIC(32,2),
  Valuta CHAR(1),
  Descrizione VARCHAR(50),
  Registrato DATETIME,
  Saldo CURRENCY,
  Cambio REAL);
CREATE INDEX idxCondominio ON MovConti (idCondominio);
CREATE TABLE Causali (idCausale INTEGER PRIMARY KEY, Nome VARCHAR(30));
)SQL";

// Opens the table: "" when it opened, else the engine's message.
inline std::string OpenError(TTable& t) {
    try {
        t.Open();
    } catch (const EDatabaseError& e) {
        return e.Message().str();
    }
    return "";
}

class TestArchive {
public:
    explicit TestArchive(const std::string& schema = kSchema) {
        std::string pattern = (std::filesystem::temp_directory_path() / "quordataXXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
        dir_ = pattern;
        std::filesystem::create_directories(dir_ / "Archivi");
        std::filesystem::create_directories(dir_ / "Net");
        dbPath_ = (dir_ / "Archivi" / "Prova.db").string();
        raw_ = std::make_unique<testengine::RawArchive>(dbPath_);
        Exec(schema);
        configPath_ = (dir_ / "engine.ini").string();
        std::ofstream(configPath_) << "[Prova]\n" << raw_->ConfigLines("Archivi/Prova.db");
        if (const char* old = std::getenv("QUOR_ENGINE_CONFIG")) oldConfig_ = old;
        setenv("QUOR_ENGINE_CONFIG", configPath_.c_str(), 1);

        TFormatSettings& fs = FormatSettings();
        savedSettings_ = fs;
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
        fs.DateSeparator = '/';
        fs.ShortDateFormat = "dd/MM/yyyy";

        session_ = new TSession(nullptr);
        session_->SetSessionName("SessioneProva");
        session_->SetNetFileDir(NetDir().c_str());
        database_ = new TDatabase(nullptr);
        database_->SetDatabaseName("dbProva");
        database_->SetAliasName("Prova");
        database_->SetSessionName("SessioneProva");
    }

    ~TestArchive() {
        delete database_;
        delete session_;
        raw_.reset();
        FormatSettings() = savedSettings_;
        if (oldConfig_.empty())
            unsetenv("QUOR_ENGINE_CONFIG");
        else
            setenv("QUOR_ENGINE_CONFIG", oldConfig_.c_str(), 1);
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    TestArchive(const TestArchive&) = delete;
    TestArchive& operator=(const TestArchive&) = delete;

    // Runs statements straight on the archive, outside the engine.
    void Exec(const std::string& sql) const { raw_->Exec(sql); }

    // The first column of the first row as text ("NULL" for null), and its
    // storage class (the server: its type) after a '|' when asked.
    std::string Scalar(const std::string& sql, bool withType = false) const {
        const testengine::Value v = raw_->Read(sql);
        if (!v.Row) return "<no row>";
        std::string out = v.Null ? "NULL" : v.Text;
        if (withType) out += "|" + v.Type;
        return out;
    }

    // Everything the archive holds: the file's bytes, the server's rows.
    std::string Contents() const { return raw_->Contents(); }
    // The SQLite file's bytes.
    std::string FileBytes() const {
        std::ifstream in(dbPath_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    bool OnServer() const { return testengine::OnServer(); }
    // The text that fits the engine under test.
    static std::string Either(const std::string& sqlite, const std::string& server) {
        return testengine::OnServer() ? server : sqlite;
    }
    testengine::RawArchive& Raw() const { return *raw_; }

    const std::string& DbPath() const { return dbPath_; }
    const std::string& ConfigPath() const { return configPath_; }
    std::string NetDir() const { return (dir_ / "Net").string(); }
    const std::filesystem::path& Dir() const { return dir_; }
    TSession* Session() const { return session_; }
    TDatabase* Database() const { return database_; }

    // Binds a dataset to the test's database and session.
    template <class DataSet> DataSet* Bind(DataSet* ds) const {
        ds->SetDatabaseName("dbProva");
        ds->SetSessionName("SessioneProva");
        return ds;
    }

    // A few condominiums with movements, for the tests that only read.
    void Populate() const {
        Exec(R"SQL(
INSERT INTO Condomini (Nome, Comune, CAP, Provincia, Riscaldamento, Icona) VALUES
  ('bianchi', 'Milano', '20100', 'MI', 1, 1),
  ('Alfa', 'Roma', '00100', 'RM', 0, 2),
  ('Zeta', 'Milano', '20121', 'MI', NULL, 1),
  ('alfa due', 'Torino', '10100', 'TO', 1, 3);
INSERT INTO MovConti (idCondominio, idCausale, Data, Importo, Valuta, Descrizione) VALUES
  (1, 1, '2004-03-12', 12.50, 'E', 'Acqua'),
  (1, 2, '2004-03-13', 100.00, 'E', 'l''uno'),
  (2, 1, '2004-04-01', -7.25, 'L', 'Luce'),
  (3, 3, NULL, NULL, 'E', NULL);
INSERT INTO Causali VALUES (1, 'Spese'), (2, 'Rate'), (3, 'Varie');
)SQL");
    }

private:
    std::filesystem::path dir_;
    std::string dbPath_;
    std::string configPath_;
    std::unique_ptr<testengine::RawArchive> raw_;
    std::string oldConfig_;
    TFormatSettings savedSettings_;
    TSession* session_ = nullptr;
    TDatabase* database_ = nullptr;
};
