#pragma once
// The engine the tests of the engine and of the database utilities run on.
// Each test executable is registered twice: as is, on SQLite files, and with
// QUOR_TEST_ENGINE=POSTGRES, on the PostgreSQL server named by QUOR_TEST_PG
// (a libpq connection string; tools/pg-cluster.sh starts one). There each
// archive is a schema of its own, dropped at the end.

#include <memory>
#include <string>

namespace testengine {

// True when the tests run on the server.
bool OnServer();

// The first column of the first row of a statement, read outside the engine.
struct Value {
    bool Row = false;
    bool Null = false;
    std::string Text; // UTF-8
    std::string Type; // the storage class (SQLite) or the type's name (server)
};

// A new, empty archive on the engine under test, reached outside the engine:
// straight through SQLite, or through libpq on the server.
class RawArchive {
public:
    // file: the SQLite file; on the server it only names the archive.
    explicit RawArchive(const std::string& file);
    ~RawArchive();
    RawArchive(const RawArchive&) = delete;
    RawArchive& operator=(const RawArchive&) = delete;

    // The body of an engine configuration section for an alias of it.
    std::string ConfigLines(const std::string& relativeFile) const;
    // Runs a script of statements written for the engine (separated by ';'),
    // its text in UTF-8. On the server, tables and indexes are made through
    // the driver, which records what it needs of them; the other statements
    // are translated and go straight through libpq. Throws
    // std::runtime_error on an error.
    void Exec(const std::string& sql) const;
    // Runs one statement; false when the engine refuses it (SQLite: at once,
    // without waiting for a lock).
    bool TryExec(const std::string& sql) const;
    // Runs the server's own SQL as written, as another tool would; false
    // when the server refuses it (or there is no server).
    bool ServerExec(const std::string& sql) const;
    // The first value of a statement in the engine's SQL (names are matched
    // as the engine matches them); Row false when there is none.
    Value Read(const std::string& sql) const;
    // Everything the archive holds, to tell that nothing was written.
    std::string Contents() const;
    bool HasTable(const std::string& name) const;
    // Advisory locks the server holds for the sessions of this archive's database.
    int ServerLocks() const;
    // Waits until the server has seen the session of that number end (a
    // killed program's; it notices a moment later). Nothing on SQLite.
    void AwaitSessionEnd(const std::string& session) const;

    const std::string& File() const { return file_; }
    // Makes the archive unreachable (SQLite: removes its file).
    void Remove();

private:
    struct Server;
    std::string file_;
    std::unique_ptr<Server> server_;
};

} // namespace testengine
