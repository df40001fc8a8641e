// QueryStr over a primary-key lookup on the PostgreSQL server, against the
// same lookup done with raw libpq in the same run; prints the ratios.

#include "bench/db/ServerBench.h"
#include "bench/db/ServerRounds.h"

#include "bench/db/BoundArchive.h"
#include "db/QueryHelpers.h"
#include "platform/data/Driver.h"
#include "platform/data/Session.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kRows = 10000;

ServerBench* g_server = nullptr;
std::string g_dir;

bool CreateArchive() {
    char pattern[] = "/tmp/quor-pg-bench-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    g_dir = std::string(pattern) + "/";
    std::ofstream(g_dir + "engine.ini")
        << "[ArchivioBench]\nDriver=POSTGRES\nConnection=" << g_server->Connection() << "\n";
    setenv("QUOR_ENGINE_CONFIG", (g_dir + "engine.ini").c_str(), 1);
    // Made through the engine, as a program would make it.
    dbengine::ConnectParams params;
    params.Driver = "POSTGRES";
    params.Connection = g_server->Connection();
    auto conn = dbengine::FindDriver("POSTGRES")->Connect(params);
    conn->Execute("create table Causali (Id integer primary key, Nome varchar(30))", {});
    conn->Begin();
    for (int id = 1; id <= kRows; ++id)
        conn->Execute("insert into Causali values (?, ?)",
                      {std::int64_t{id}, "Causale numero " + std::to_string(id)});
    conn->Commit();
    return true;
}

void BM_QueryStr(benchmark::State& state) {
    BoundArchive archive;
    const int backend = QueryInt("select pg_backend_pid()");
    const double before = ServerBench::ProcessSeconds(backend);
    int id = 0;
    for (auto _ : state) {
        id = id % kRows + 1;
        AnsiString name = QueryStr("select Nome from Causali where Id=" + IntToStr(id));
        benchmark::DoNotOptimize(name);
    }
    ServerBench::CountServerTime(state, backend, before);
    if (QueryStr("select Nome from Causali where Id=7") != "Causale numero 7")
        state.SkipWithError("QueryStr gave a wrong result");
}

PGconn* RawConnection() {
    PGconn* conn = PQconnectdb(g_server->Connection().c_str());
    if (PQstatus(conn) != CONNECTION_OK) std::abort();
    return conn;
}

// The server parsing each lookup's own text, as QueryStr is handed one.
void BM_LibpqTextEach(benchmark::State& state) {
    PGconn* conn = RawConnection();
    const double before = ServerBench::ProcessSeconds(PQbackendPID(conn));
    int id = 0;
    for (auto _ : state) {
        id = id % kRows + 1;
        const std::string sql = "select nome from causali where id=" + std::to_string(id);
        PGresult* r = PQexec(conn, sql.c_str());
        std::string name = PQntuples(r) ? PQgetvalue(r, 0, 0) : "";
        PQclear(r);
        benchmark::DoNotOptimize(name);
    }
    ServerBench::CountServerTime(state, PQbackendPID(conn), before);
    PQfinish(conn);
}

// One statement prepared once: the least a lookup can cost.
void BM_LibpqPrepared(benchmark::State& state) {
    PGconn* conn = RawConnection();
    PQclear(PQprepare(conn, "lookup", "select nome from causali where id=$1", 0, nullptr));
    const double before = ServerBench::ProcessSeconds(PQbackendPID(conn));
    int id = 0;
    for (auto _ : state) {
        id = id % kRows + 1;
        const std::string key = std::to_string(id);
        const char* values[] = {key.c_str()};
        PGresult* r = PQexecPrepared(conn, "lookup", 1, values, nullptr, nullptr, 0);
        std::string name = PQntuples(r) ? PQgetvalue(r, 0, 0) : "";
        PQclear(r);
        benchmark::DoNotOptimize(name);
    }
    ServerBench::CountServerTime(state, PQbackendPID(conn), before);
    PQfinish(conn);
}

} // namespace

int main(int argc, char** argv) {
    ServerBench server;
    if (!server.Ok()) return 1;
    g_server = &server;
    if (!CreateArchive()) return 1;
    benchmark::Initialize(&argc, argv);
    ServerRounds::Register(5,
                           {{"BM_QueryStr", BM_QueryStr},
                            {"BM_LibpqTextEach", BM_LibpqTextEach},
                            {"BM_LibpqPrepared", BM_LibpqPrepared}},
                           1.0, benchmark::kNanosecond);
    ServerRounds reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("QueryStr / libpq, each lookup's own text:", "BM_QueryStr",
                        "BM_LibpqTextEach");
    reporter.PrintRatio("QueryStr / libpq, one prepared statement:", "BM_QueryStr",
                        "BM_LibpqPrepared");
    std::printf("goal: 1.50x or less\n");
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(g_dir, ignored);
    return 0;
}
