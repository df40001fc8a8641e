#include "tests/db/DbFixture.h"

#include "db/QueryHelpers.h"
#include "platform/data/Table.h"

#include <sqlite3.h>

#include "tests/PosixOnWindows.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace dbtest {

void Exec(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK) << file;
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << sql << ": " << message;
}

std::string Scalar(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << file;
        return {};
    }
    sqlite3_stmt* stmt = nullptr;
    std::string result;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
    } else if (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(stmt, 0);
        result = text ? reinterpret_cast<const char*>(text) : "<null>";
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quor-db-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteEngineConfig(const std::string& dir,
                       const std::vector<std::pair<std::string, std::string>>& aliases) {
    const std::string config = dir + "engine.ini";
    std::ofstream out(config);
    for (const auto& [alias, file] : aliases)
        out << "[" << alias << "]\nDriver=SQLITE\nPath=" << file << "\n\n";
    out.close();
    setenv("QUOR_ENGINE_CONFIG", config.c_str(), 1);
}

void DbFixture::SetUp() {
    dir_ = std::make_unique<TempDir>();
    file_ = dir_->Path() + "archivio.db";
    WriteEngineConfig(dir_->Path(), {{"ArchivioProva", "archivio.db"}});
    Exec(file_, "create table Vuota (Id integer primary key)");
    session_ = new TSession(nullptr);
    session_->SetSessionName(kSession);
    database_ = new TDatabase(nullptr);
    database_->SetDatabaseName(kDatabase);
    database_->SetAliasName("ArchivioProva");
    database_->SetSessionName(kSession);
    database_->SetConnected(true);
    SetDataBase(kDatabase, kSession);
}

void DbFixture::TearDown() {
    // The shared command query goes first: it refers to the database.
    SetDataBase("", "");
    tables_.clear();
    delete database_;
    delete session_;
    dir_.reset();
}

TTable* DbFixture::Table(const AnsiString& tableName) {
    auto table = std::make_unique<TTable>(nullptr);
    table->SetDatabaseName(kDatabase);
    table->SetSessionName(kSession);
    table->SetTableName(tableName);
    table->SetName("tbl" + tableName);
    tables_.push_back(std::move(table));
    return tables_.back().get();
}

} // namespace dbtest
