// QueryStr over a primary-key lookup against the same lookup done with one
// prepared SQLite statement, in the same run; prints the ratio.

#include "bench/db/BoundArchive.h"
#include "db/QueryHelpers.h"
#include "platform/data/Session.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kRows = 10000;

std::string g_dir;
std::string g_file;

void CreateArchive() {
    char pattern[] = "/tmp/quor-db-bench-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    g_dir = std::string(pattern) + "/";
    g_file = g_dir + "bench.db";
    std::ofstream(g_dir + "engine.ini") << "[ArchivioBench]\nDriver=SQLITE\nPath=bench.db\n";
    setenv("QUOR_ENGINE_CONFIG", (g_dir + "engine.ini").c_str(), 1);

    sqlite3* db = nullptr;
    sqlite3_open(g_file.c_str(), &db);
    sqlite3_exec(db,
                 "create table Causali (Id integer primary key, Nome varchar(30));"
                 "begin",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "insert into Causali values (?, ?)", -1, &insert, nullptr);
    for (int id = 1; id <= kRows; ++id) {
        const std::string name = "Causale numero " + std::to_string(id);
        sqlite3_bind_int(insert, 1, id);
        sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void BM_QueryStr(benchmark::State& state) {
    BoundArchive archive;
    int id = 0;
    for (auto _ : state) {
        id = id % kRows + 1;
        AnsiString name = QueryStr("select Nome from Causali where Id=" + IntToStr(id));
        benchmark::DoNotOptimize(name);
    }
    if (QueryStr("select Nome from Causali where Id=7") != "Causale numero 7")
        state.SkipWithError("QueryStr gave a wrong result");
}
BENCHMARK(BM_QueryStr);

// The same statement text every time: what the platform adds when the
// engine's compiled statement can be reused.
void BM_QueryStrSameText(benchmark::State& state) {
    BoundArchive archive;
    for (auto _ : state) {
        AnsiString name = QueryStr("select Nome from Causali where Id=4321");
        benchmark::DoNotOptimize(name);
    }
}
BENCHMARK(BM_QueryStrSameText);

// The engine compiling each lookup's own text, as QueryStr must.
void BM_SqlitePrepareEach(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(g_file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    int id = 0;
    for (auto _ : state) {
        id = id % kRows + 1;
        const std::string sql = "select Nome from Causali where Id=" + std::to_string(id);
        sqlite3_stmt* lookup = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &lookup, nullptr);
        std::string name;
        if (sqlite3_step(lookup) == SQLITE_ROW)
            name = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0));
        sqlite3_finalize(lookup);
        benchmark::DoNotOptimize(name);
    }
    sqlite3_close(db);
}
BENCHMARK(BM_SqlitePrepareEach);

void BM_PreparedSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(g_file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* lookup = nullptr;
    sqlite3_prepare_v2(db, "select Nome from Causali where Id=?", -1, &lookup, nullptr);
    int id = 0;
    for (auto _ : state) {
        id = id % kRows + 1;
        sqlite3_bind_int(lookup, 1, id);
        std::string name;
        if (sqlite3_step(lookup) == SQLITE_ROW)
            name = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0));
        sqlite3_reset(lookup);
        benchmark::DoNotOptimize(name);
    }
    sqlite3_finalize(lookup);
    sqlite3_close(db);
}
BENCHMARK(BM_PreparedSqlite);

// Keeps the processor time per iteration (steadier than wall time on a
// shared machine) of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& name) const {
        auto it = times_.find(name);
        return it == times_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    CreateArchive();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const char* label, const char* a, const char* b) {
        const double ta = reporter.Time(a), tb = reporter.Time(b);
        if (ta > 0 && tb > 0)
            std::printf("%-52s %5.1fx (%.0f ns against %.0f ns)\n", label, ta / tb, ta, tb);
    };
    ratio("QueryStr / one prepared SQLite statement:", "BM_QueryStr", "BM_PreparedSqlite");
    ratio("QueryStr / SQLite compiling each lookup:", "BM_QueryStr", "BM_SqlitePrepareEach");
    ratio("QueryStr, same text / one prepared SQLite statement:", "BM_QueryStrSameText",
          "BM_PreparedSqlite");
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(g_dir, ignored);
    return 0;
}
