#pragma once
// A throwaway schema on the PostgreSQL server that QUOR_TEST_PG names (start
// one with: eval "$(tools/pg-cluster.sh start)"), and the connection string
// that reaches it. The schema goes with the object.

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

class ServerBench {
public:
    ServerBench() {
        const char* server = std::getenv("QUOR_TEST_PG");
        if (!server || !*server) {
            std::fprintf(stderr, "QUOR_TEST_PG non impostata: avviare un server con\n"
                                 "  eval \"$(tools/pg-cluster.sh start)\"\n");
            return;
        }
        server_ = server;
        schema_ = "quorbench_" + std::to_string(getpid());
        PGconn* conn = PQconnectdb(server_.c_str());
        PGresult* r = PQexec(conn, ("CREATE SCHEMA " + schema_).c_str());
        ok_ = PQresultStatus(r) == PGRES_COMMAND_OK;
        if (!ok_) std::fprintf(stderr, "server: %s", PQerrorMessage(conn));
        PQclear(r);
        PQfinish(conn);
    }
    ~ServerBench() {
        if (!ok_) return;
        PGconn* conn = PQconnectdb(server_.c_str());
        PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
        PQclear(PQexec(conn, ("DROP SCHEMA " + schema_ + " CASCADE").c_str()));
        PQfinish(conn);
    }
    ServerBench(const ServerBench&) = delete;
    ServerBench& operator=(const ServerBench&) = delete;

    bool Ok() const { return ok_; }
    // A libpq connection string to the schema.
    std::string Connection() const {
        return server_ + " options='-csearch_path=" + schema_ + "'";
    }

private:
    std::string server_;
    std::string schema_;
    bool ok_ = false;
};
