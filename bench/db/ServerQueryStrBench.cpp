// QueryStr over a primary-key lookup on the PostgreSQL server, against the
// same lookup done with raw libpq in the same run; prints the ratios.

#include "bench/db/ServerBench.h"

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
BENCHMARK(BM_QueryStr)->UseRealTime()->MinTime(2.0);

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
BENCHMARK(BM_LibpqTextEach)->UseRealTime()->MinTime(2.0);

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
BENCHMARK(BM_LibpqPrepared)->UseRealTime()->MinTime(2.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            times_[run.benchmark_name()] = run.GetAdjustedRealTime();
            // Both sides of the socket: this process and the server's.
            if (auto it = run.counters.find("server_us"); it != run.counters.end())
                cpu_[run.benchmark_name()] = run.GetAdjustedCPUTime() + it->second.value * 1000.0;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& prefix) const { return Of(times_, prefix); }
    double Cpu(const std::string& prefix) const { return Of(cpu_, prefix); }

private:
    static double Of(const std::map<std::string, double>& values, const std::string& prefix) {
        for (const auto& [name, value] : values)
            if (name.rfind(prefix, 0) == 0) return value;
        return 0.0;
    }
    std::map<std::string, double> times_;
    std::map<std::string, double> cpu_; // ns per iteration
};

} // namespace

int main(int argc, char** argv) {
    ServerBench server;
    if (!server.Ok()) return 1;
    g_server = &server;
    if (!CreateArchive()) return 1;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const char* label, const char* a, const char* b) {
        const double ta = reporter.Time(a), tb = reporter.Time(b);
        if (ta > 0 && tb > 0)
            std::printf("%-48s %5.2fx (%.0f ns against %.0f ns, real time)\n", label, ta / tb, ta,
                        tb);
        const double ca = reporter.Cpu(a), cb = reporter.Cpu(b);
        if (ca > 0 && cb > 0)
            std::printf("%-48s %5.2fx (%.0f ns against %.0f ns, processor time of both sides)\n",
                        label, ca / cb, ca, cb);
    };
    ratio("QueryStr / libpq, each lookup's own text:", "BM_QueryStr", "BM_LibpqTextEach");
    ratio("QueryStr / libpq, one prepared statement:", "BM_QueryStr", "BM_LibpqPrepared");
    std::printf("goal: 1.50x or less\n");
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(g_dir, ignored);
    return 0;
}
