// One short lookup through a fresh TQuery against the same lookup on a raw
// prepared SQLite statement: the engine's per-statement overhead.

#include "platform/data/Query.h"
#include "platform/data/Session.h"

#include "bench/data/BenchArchive.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

const char* const kScript =
    "CREATE TABLE Causali (idCausale INTEGER PRIMARY KEY, Nome VARCHAR(30));"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<1000) "
    "INSERT INTO Causali SELECT i, 'Causale ' || i FROM n;";

BenchArchive& TheArchive() {
    static BenchArchive archive("Bench", kScript);
    return archive;
}

void BM_EngineLookup(benchmark::State& state) {
    TheArchive();
    TDatabase db;
    db.SetDatabaseName("dbBench");
    db.SetAliasName("Bench");
    db.SetReadOnly(true);
    db.SetConnected(true);
    int id = 0;
    for (auto _ : state) {
        id = id % 1000 + 1;
        TQuery q;
        q.SetDatabaseName("dbBench");
        q.SetUniDirectional(true);
        q.SQL()->Add(
            ("select Nome from Causali where idCausale=" + std::to_string(id % 50 + 1)).c_str());
        q.Prepare();
        q.Open();
        AnsiString name = q.Fields()->Fields(0)->AsString();
        benchmark::DoNotOptimize(name);
    }
}

void BM_RawLookup(benchmark::State& state) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(TheArchive().db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(h, "select Nome from Causali where idCausale=?", -1, &stmt, nullptr);
    int id = 0;
    for (auto _ : state) {
        id = id % 1000 + 1;
        sqlite3_bind_int(stmt, 1, id % 50 + 1);
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            std::string name(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
            benchmark::DoNotOptimize(name);
        }
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(h);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const double ns = r.GetAdjustedCPUTime();
            if (r.benchmark_name().find("Engine") != std::string::npos) engine_ = ns;
            if (r.benchmark_name().find("Raw") != std::string::npos) raw_ = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (raw_ > 0)
            std::printf("engine lookup / raw prepared statement: %.1fx\n", engine_ / raw_);
    }

private:
    double engine_ = 0, raw_ = 0;
};

} // namespace

BENCHMARK(BM_RawLookup);
BENCHMARK(BM_EngineLookup);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
