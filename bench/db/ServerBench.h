#pragma once
// A throwaway schema on the PostgreSQL server that QUOR_TEST_PG names (start
// one with: eval "$(tools/pg-cluster.sh start)"), and the connection string
// that reaches it. The schema goes with the object.

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
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
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
        PQclear(PQexec(conn, ("DROP SCHEMA " + schema_ + " CASCADE").c_str()));
        PQfinish(conn);
    }
    ServerBench(const ServerBench&) = delete;
    ServerBench& operator=(const ServerBench&) = delete;

    bool Ok() const { return ok_; }

    // Processor seconds a server process (a session's backend) has used so
    // far, -1 when they cannot be read (a server on another computer). On a
    // busy machine the time spent on both sides of the socket is steadier
    // than the time that passes.
    static double ProcessSeconds(int pid) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(in, line)) return -1;
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; fields >> field && i <= 15; ++i)
            if (i == 14 || i == 15) ticks += std::stod(field);
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    // A libpq connection string to the schema.
    std::string Connection() const { return server_ + " options='-csearch_path=" + schema_ + "'"; }

    // Sets the counter "server_us": the processor time the backend spent per
    // iteration, when it can be read.
    template <class State> static void CountServerTime(State& state, int pid, double before) {
        const double after = ProcessSeconds(pid);
        if (before >= 0 && after >= 0 && state.iterations() > 0)
            state.counters["server_us"] =
                (after - before) * 1e6 / static_cast<double>(state.iterations());
    }

private:
    std::string server_;
    std::string schema_;
    bool ok_ = false;
};
