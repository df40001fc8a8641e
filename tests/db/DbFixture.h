#pragma once
// A real archive in a fresh temporary folder (a SQLite file, or a schema on
// the server when the tests run there), reached through an engine
// configuration file naming the alias "ArchivioProva", with a session and a
// connected database bound as the current ones of the query helpers.

#include "platform/core/AnsiString.h"
#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dbtest {

// An archive is named by its SQLite file; on the server the file name
// stands for a schema of its own, made on first use.
//
// Runs SQL straight on the archive, outside the platform; fails the test on
// an error.
void Exec(const std::string& file, const std::string& sql);
// The first column of the first row as text ("<null>" for a null, "" when
// there is no row).
std::string Scalar(const std::string& file, const std::string& sql);
// Everything the archive holds: the file's bytes, the server's rows.
std::string ReadBytes(const std::string& file);
bool OnServer();
// The text that fits the engine under test.
std::string Either(const std::string& sqlite, const std::string& server);

// A temporary folder removed with its contents (and its archives on the
// server) on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; } // ends with '/'

private:
    std::string path_;
};

// Writes the engine configuration for the given aliases and file names and
// points QUOR_ENGINE_CONFIG at it.
void WriteEngineConfig(const std::string& dir,
                       const std::vector<std::pair<std::string, std::string>>& aliases);

class DbFixture : public ::testing::Test {
protected:
    static constexpr const char* kDatabase = "dbProva";
    static constexpr const char* kSession = "SessioneProva";

    void SetUp() override;
    void TearDown() override;

    // The archive file behind the alias.
    const std::string& File() const { return file_; }
    void Sql(const std::string& sql) { Exec(file_, sql); }
    std::string Value(const std::string& sql) { return Scalar(file_, sql); }
    // A table of the current database, not yet open, owned by the fixture.
    TTable* Table(const AnsiString& tableName);

    std::unique_ptr<TempDir> dir_;
    std::string file_;
    TSession* session_ = nullptr;
    TDatabase* database_ = nullptr;
    std::vector<std::unique_ptr<TTable>> tables_;
};

} // namespace dbtest
