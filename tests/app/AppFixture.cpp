#include "tests/app/AppFixture.h"

#include "app/Utilitiesbracotene.h"
#include "platform/core/Locale.h"
#include "tools/demoarchive/DemoArchive.h"
#ifdef _WIN32
#include "tests/app/WindowsSettings.h"
#endif

#include <cstdlib>

#include "tests/PosixOnWindows.h"
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void AppArchiveTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "bracutil-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    demoarchive::Options options;
    options.movements = DemoMovements();
    demoarchive::Result result;
    std::string error;
    ASSERT_TRUE(demoarchive::MakeDemoArchive(dir_, options, result, error)) << error;
    archive_ = result.archive;
    engineConfig_ = result.engineConfig;
    condominiums_ = result.condominiums;
    registry_ = dir_ + "/registry.reg";
    // The engine folders stay inside the test's folder, not beside the binary.
    WriteRegistry("\"Net\"=\"" + RegText(dir_) + "/Net\"\n\"Priv\"=\"" + RegText(dir_) + "/Priv\"\n");
    setenv("QUOR_ENGINE_CONFIG", engineConfig_.c_str(), 1);
    setenv("QUOR_REGISTRY", registry_.c_str(), 1);
    FormatSettings() = TFormatSettings::ForLocale("it_IT.UTF-8");
    // As at program start; a test that wants the settings reads them.
    Archivi = Net = Priv = "";
}

void AppArchiveTest::TearDown() {
    Archivi = Net = Priv = "";
#ifdef _WIN32
    windowsSettings_.reset();
#endif
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
}

void AppArchiveTest::Exec(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(archive_.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    const std::string text = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text << "\n" << sql;
}

long long AppArchiveTest::ScalarInt(const std::string& sql) {
    sqlite3* db = nullptr;
    long long value = -1;
    if (sqlite3_open_v2(archive_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            value = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return value;
}

namespace {
std::string SqlText(const std::optional<std::string>& text) {
    if (!text) return "NULL";
    std::string quoted = "'";
    for (char c : *text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}
} // namespace

int AppArchiveTest::AddCondominium(const std::string& name) {
    Exec("INSERT INTO Condomini (Nome) VALUES (" + SqlText(name) + ")");
    return static_cast<int>(ScalarInt("SELECT max(IdCondominio) FROM Condomini"));
}

void AppArchiveTest::AddMovement(int condominium, int cause, std::optional<std::string> isoDate,
                                 std::optional<std::string> amount, const std::string& description,
                                 const std::string& currency) {
    Exec("INSERT INTO MovConti (idCondominio, idMovimento, idCausale, Data, Importo, Valuta, "
         "Descrizione) VALUES (" +
         std::to_string(condominium) + ", 1, " + std::to_string(cause) + ", " + SqlText(isoDate) +
         ", " + (amount ? *amount : std::string("NULL")) + ", " + SqlText(currency) + ", " +
         SqlText(description) + ")");
}

std::string AppArchiveTest::RegText(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

void AppArchiveTest::WriteRegistry(const std::string& body) {
#ifdef _WIN32
    if (!windowsSettings_) windowsSettings_ = std::make_shared<WindowsSettings>();
    ASSERT_TRUE(windowsSettings_->Write(body)) << body;
#endif
    std::ofstream out(registry_, std::ios::binary | std::ios::trunc);
    out << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\n" << body;
}

void AppArchiveTest::WriteEngineConfig(const std::string& text) {
    std::ofstream out(engineConfig_, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string AppArchiveTest::ReadArchiveBytes() const {
    return ReadFileBytes(archive_);
}

ArchiveWriteLock::ArchiveWriteLock(const std::string& archive) {
    if (sqlite3_open(archive.c_str(), &db_) != SQLITE_OK) return;
    held_ = sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

ArchiveWriteLock::~ArchiveWriteLock() {
    if (held_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
}
