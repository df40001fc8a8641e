#include "tests/platform/data/EngineUnderTest.h"

#include "platform/core/Encoding.h"
#include "platform/data/Driver.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#ifdef QUOR_WITH_POSTGRES
#include "platform/data/postgres/PgSql.h"

#include <libpq-fe.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testengine {

namespace {

std::string ServerConnection() {
    const char* value = std::getenv("QUOR_TEST_PG");
    return value ? value : "";
}

// Without a server the server's tests are skipped, with a message; the test
// command sets QUOR_TEST_PG_REQUIRED, and there they fail instead.
class ServerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!OnServer() || !ServerConnection().empty()) return;
        if (std::getenv("QUOR_TEST_PG_REQUIRED"))
            FAIL() << "QUOR_TEST_PG is not set: the server these tests need did not start";
        GTEST_SKIP() << "QUOR_TEST_PG is not set: no PostgreSQL server for these tests "
                        "(eval \"$(tools/pg-cluster.sh start)\" starts one)";
    }
};

const bool registered = [] {
    ::testing::AddGlobalTestEnvironment(new ServerEnvironment);
    return true;
}();

#ifdef QUOR_WITH_POSTGRES
std::string UniqueSchema() {
    static std::atomic<int> counter{0};
    std::ostringstream name;
    name << "quortest_" << getpid() << "_" << ++counter << "_" << std::rand() % 100000;
    return name.str();
}
#endif

std::runtime_error Error(const std::string& what, const std::string& sql) {
    return std::runtime_error(what + "\nstatement: " + sql);
}

} // namespace

bool OnServer() {
    const char* engine = std::getenv("QUOR_TEST_ENGINE");
    return engine && std::string(engine) == "POSTGRES";
}

#ifdef QUOR_WITH_POSTGRES
struct RawArchive::Server {
    std::string schema;
    std::string conninfo; // reaching the schema
    PGconn* raw = nullptr;
    std::unique_ptr<dbengine::Connection> engine;

    ~Server() {
        engine.reset();
        if (raw) PQfinish(raw);
        // A fresh session drops the schema, whatever state the others left.
        PGconn* conn = PQconnectdb(ServerConnection().c_str());
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
        if (PQstatus(conn) == CONNECTION_OK) {
            PQclear(PQexec(conn, "SET lock_timeout = '20s'"));
            PQclear(PQexec(conn, ("DROP SCHEMA IF EXISTS " + schema + " CASCADE").c_str()));
        }
        PQfinish(conn);
    }

    PGconn* Raw() {
        if (raw) return raw;
        raw = PQconnectdb(conninfo.c_str());
        PQsetNoticeProcessor(
            raw, [](void*, const char*) {}, nullptr);
        if (PQstatus(raw) != CONNECTION_OK)
            throw std::runtime_error(std::string("cannot reach the server: ") +
                                     PQerrorMessage(raw));
        PQclear(PQexec(raw, "SET datestyle = 'ISO, YMD'"));
        return raw;
    }

    dbengine::Connection& Engine() {
        if (!engine) {
            dbengine::ConnectParams params;
            params.Driver = "POSTGRES";
            params.Connection = conninfo;
            params.AliasName = "archivio di prova";
            engine = dbengine::FindDriver("POSTGRES")->Connect(params);
        }
        return *engine;
    }
};
#else
struct RawArchive::Server {};
#endif

RawArchive::RawArchive(const std::string& file) : file_(file) {
    if (!OnServer()) {
        sqlite3* db = nullptr;
        const int rc = sqlite3_open(file.c_str(), &db);
        sqlite3_close(db);
        if (rc != SQLITE_OK) throw std::runtime_error("cannot create " + file);
        return;
    }
#ifndef QUOR_WITH_POSTGRES
    throw std::runtime_error("built without PostgreSQL's libpq: no tests on the server");
#else
    if (ServerConnection().empty()) throw std::runtime_error("QUOR_TEST_PG is not set");
    server_ = std::make_unique<Server>();
    server_->schema = UniqueSchema();
    server_->conninfo = ServerConnection() + " options='-csearch_path=" + server_->schema + "'";
    PGconn* conn = PQconnectdb(ServerConnection().c_str());
    PGresult* made = PQstatus(conn) == CONNECTION_OK
                         ? PQexec(conn, ("CREATE SCHEMA " + server_->schema).c_str())
                         : nullptr;
    const bool ok = PQresultStatus(made) == PGRES_COMMAND_OK;
    PQclear(made);
    const std::string why = PQerrorMessage(conn);
    PQfinish(conn);
    if (!ok) throw std::runtime_error("cannot make a schema on the server: " + why);
#endif
}

RawArchive::~RawArchive() = default;

std::string RawArchive::ConfigLines(const std::string& relativeFile) const {
    if (!server_) return "Driver=SQLITE\nPath=" + relativeFile + "\n";
#ifdef QUOR_WITH_POSTGRES
    return "Driver=POSTGRES\nConnection=" + server_->conninfo + "\n";
#else
    return {};
#endif
}

void RawArchive::Exec(const std::string& sql) const {
    if (!server_) {
        sqlite3* db = nullptr;
        sqlite3_open(file_.c_str(), &db);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        if (rc != SQLITE_OK) throw Error("sqlite: " + message, sql);
        return;
    }
#ifdef QUOR_WITH_POSTGRES
    // Tables and indexes are made by the driver, which records what the
    // server needs to know of them; rows go in as another program's would,
    // their text in UTF-8 as written.
    for (const std::string& statement : dbengine::pg::SplitStatements(sql)) {
        const dbengine::pg::Translated text = dbengine::pg::Translate(statement);
        if (text.Kind == dbengine::pg::StatementKind::CreateTable ||
            text.Kind == dbengine::pg::StatementKind::CreateIndex ||
            text.Kind == dbengine::pg::StatementKind::AlterTable) {
            try {
                server_->Engine().Execute(Utf8ToCp1252(statement), {});
            } catch (const std::exception& e) {
                throw Error(e.what(), statement);
            }
            continue;
        }
        PGresult* r = PQexec(server_->Raw(), text.Sql.c_str());
        const bool ok =
            PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        const std::string error = ok ? "" : PQresultErrorMessage(r);
        PQclear(r);
        if (!ok) throw Error("server: " + error, text.Sql);
    }
#else
#endif
}

bool RawArchive::TryExec(const std::string& sql) const {
    if (!server_) {
        sqlite3* db = nullptr;
        sqlite3_open(file_.c_str(), &db);
        sqlite3_busy_timeout(db, 0);
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return rc == SQLITE_OK;
    }
#ifdef QUOR_WITH_POSTGRES
    // Another program: a session of its own.
    PGconn* conn = PQconnectdb(server_->conninfo.c_str());
    const dbengine::pg::Translated text = dbengine::pg::Translate(sql);
    PGresult* r = PQexec(conn, text.Sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    PQclear(r);
    PQfinish(conn);
    return ok;
#else
    return false;
#endif
}

bool RawArchive::ServerExec(const std::string& sql) const {
#ifdef QUOR_WITH_POSTGRES
    if (!server_) return false;
    PGresult* r = PQexec(server_->Raw(), sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    PQclear(r);
    return ok;
#else
    (void)sql;
    return false;
#endif
}

Value RawArchive::Read(const std::string& sql) const {
    Value value;
    if (!server_) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
        const std::string error = rc == SQLITE_OK ? "" : sqlite3_errmsg(db);
        if (rc == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
            static const char* names[] = {"?", "integer", "real", "text", "blob", "null"};
            const unsigned char* text = sqlite3_column_text(stmt, 0);
            value.Row = true;
            value.Null = text == nullptr;
            value.Text = text ? reinterpret_cast<const char*>(text) : "";
            value.Type = names[sqlite3_column_type(stmt, 0)];
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        if (rc != SQLITE_OK) throw Error("sqlite: " + error, sql);
        return value;
    }
#ifdef QUOR_WITH_POSTGRES
    const dbengine::pg::Translated text = dbengine::pg::Translate(sql);
    PGresult* r = PQexec(server_->Raw(), text.Sql.c_str());
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        const std::string error = PQresultErrorMessage(r);
        PQclear(r);
        throw Error("server: " + error, text.Sql);
    }
    if (PQntuples(r) > 0 && PQnfields(r) > 0) {
        value.Row = true;
        value.Null = PQgetisnull(r, 0, 0) != 0;
        value.Text = PQgetvalue(r, 0, 0);
        PGresult* type =
            PQexec(server_->Raw(),
                   ("SELECT format_type(" + std::to_string(PQftype(r, 0)) + ", NULL)").c_str());
        value.Type = PQntuples(type) ? PQgetvalue(type, 0, 0) : "?";
        PQclear(type);
    }
    PQclear(r);
    return value;
#else
    return value;
#endif
}

std::string RawArchive::Contents() const {
    if (!server_) {
        std::ifstream in(file_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
#ifdef QUOR_WITH_POSTGRES
    // Every table's columns and rows, in a stable order.
    std::string out;
    PGresult* tables =
        PQexec(server_->Raw(), "SELECT c.relname, c.oid FROM pg_class c WHERE c.relnamespace = "
                               "current_schema()::regnamespace AND c.relkind = 'r' ORDER BY 1");
    for (int t = 0; t < PQntuples(tables); ++t) {
        const std::string table = PQgetvalue(tables, t, 0);
        const std::string oid = PQgetvalue(tables, t, 1);
        PGresult* columns = PQexec(
            server_->Raw(),
            ("SELECT string_agg(attname || ' ' || format_type(atttypid, atttypmod) || ' ' || "
             "coalesce(col_description(attrelid, attnum), ''), ', ' ORDER BY attnum) FROM "
             "pg_attribute WHERE attrelid = " +
             oid + " AND attnum > 0 AND NOT attisdropped")
                .c_str());
        out += table + "(" + (PQntuples(columns) ? PQgetvalue(columns, 0, 0) : "") + ")\n";
        PQclear(columns);
        PGresult* rows = PQexec(
            server_->Raw(),
            ("SELECT t::text FROM " + dbengine::pg::QuoteName(table) + " t ORDER BY 1").c_str());
        for (int r = 0; r < PQntuples(rows); ++r)
            out += std::string(PQgetvalue(rows, r, 0)) + "\n";
        PQclear(rows);
    }
    PQclear(tables);
    return out;
#else
    return {};
#endif
}

bool RawArchive::HasTable(const std::string& name) const {
    if (!server_)
        return Read("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '" + name +
                    "' COLLATE NOCASE")
            .Row;
#ifdef QUOR_WITH_POSTGRES
    return Read("SELECT 1 FROM pg_class WHERE relnamespace = current_schema()::regnamespace "
                "AND relname = lower('" +
                name + "')")
        .Row;
#else
    return false;
#endif
}

int RawArchive::ServerLocks() const {
    if (!server_) return 0;
    // Only the locks on this archive's own tables: other tests share the
    // database, each in a schema of its own, and may hold locks meanwhile.
    // Table locks are the bigint keys marked "QUOR" over the table's oid;
    // record locks are the integer pairs that start with the table's oid.
    return std::atoi(
        Read("SELECT count(*) FROM pg_locks l WHERE l.locktype = 'advisory' AND "
             "l.database = (SELECT oid FROM pg_database WHERE datname = current_database()) AND "
             "EXISTS (SELECT 1 FROM pg_class c WHERE c.relnamespace = "
             "current_schema()::regnamespace AND "
             "((l.objsubid = 1 AND l.classid = 1364545362 AND l.objid = c.oid) OR "
             "(l.objsubid = 2 AND l.classid = c.oid)))")
            .Text.c_str());
}

void RawArchive::AwaitSessionEnd(const std::string& session) const {
    if (!server_ || session.empty()) return;
    for (int i = 0; i < 1500; ++i) {
        if (Read("select count(*) from pg_stat_activity where pid = " + session).Text == "0")
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "the server did not see session " << session << " end";
}

void RawArchive::Remove() {
    if (!server_) {
        std::filesystem::remove(file_);
        return;
    }
#ifdef QUOR_WITH_POSTGRES
    PGresult* r = PQexec(server_->Raw(), ("DROP SCHEMA " + server_->schema + " CASCADE").c_str());
    PQclear(r);
#else
#endif
}

} // namespace testengine
