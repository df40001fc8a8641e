#include "tests/db/DbFixture.h"

#include "db/QueryHelpers.h"
#include "platform/data/Table.h"

#include "tests/platform/data/EngineUnderTest.h"

#include "tests/PosixOnWindows.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace dbtest {

namespace {

std::map<std::string, std::unique_ptr<testengine::RawArchive>>& Archives() {
    static std::map<std::string, std::unique_ptr<testengine::RawArchive>> archives;
    return archives;
}

testengine::RawArchive& ArchiveFor(const std::string& file) {
    auto& archive = Archives()[file];
    if (!archive) archive = std::make_unique<testengine::RawArchive>(file);
    return *archive;
}

} // namespace

void Exec(const std::string& file, const std::string& sql) {
    try {
        ArchiveFor(file).Exec(sql);
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
}

std::string Scalar(const std::string& file, const std::string& sql) {
    try {
        const testengine::Value value = ArchiveFor(file).Read(sql);
        if (!value.Row) return "";
        return value.Null ? "<null>" : value.Text;
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        return {};
    }
}

std::string ReadBytes(const std::string& file) {
    return ArchiveFor(file).Contents();
}

bool OnServer() {
    return testengine::OnServer();
}

std::string Either(const std::string& sqlite, const std::string& server) {
    return OnServer() ? server : sqlite;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quor-db-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
}

TempDir::~TempDir() {
    auto& archives = Archives();
    for (auto it = archives.begin(); it != archives.end();) {
        if (it->first.rfind(path_, 0) == 0)
            it = archives.erase(it);
        else
            ++it;
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteEngineConfig(const std::string& dir,
                       const std::vector<std::pair<std::string, std::string>>& aliases) {
    const std::string config = dir + "engine.ini";
    std::ofstream out(config);
    for (const auto& [alias, file] : aliases) {
        // A file alias does not make its file: a missing one must stay missing.
        out << "[" << alias << "]\n"
            << (OnServer() ? ArchiveFor(dir + file).ConfigLines(file)
                           : "Driver=SQLITE\nPath=" + file + "\n")
            << "\n";
    }
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
