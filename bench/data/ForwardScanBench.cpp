// Reading 100,000 rows forward through a query, with and without a lookup
// per row, against the same rows read on raw SQLite statements in the same
// run; prints the ratios.

#include "platform/data/Query.h"
#include "platform/data/Session.h"

#include "bench/data/BenchArchive.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kRows = 100000;

std::string Script() {
    return "CREATE TABLE Causali (idCausale INTEGER PRIMARY KEY, Nome VARCHAR(30));"
           "CREATE TABLE MovConti (idMovConti INTEGER PRIMARY KEY, idCausale INTEGER, "
           "Data DATE, Importo NUMERIC(32,2), Descrizione VARCHAR(50));"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<50) "
           "INSERT INTO Causali SELECT i, 'Causale ' || i FROM n;"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
           std::to_string(kRows) +
           ") INSERT INTO MovConti SELECT i, i % 50 + 1, date('2004-01-01', '+' || (i % 365) "
           "|| ' days'), i * 0.25, 'Movimento ' || i FROM n;";
}

BenchArchive& TheArchive() {
    static BenchArchive archive("Scan", Script());
    return archive;
}

class Connected {
public:
    Connected() {
        TheArchive();
        db_.SetDatabaseName("dbScan");
        db_.SetAliasName("Scan");
        db_.SetReadOnly(true);
        db_.SetConnected(true);
    }

private:
    TDatabase db_;
};

const char* const kScan = "select idCausale, Data, Importo, Descrizione from MovConti";

void Scan(benchmark::State& state, bool forwardOnly, bool lookups) {
    Connected connected;
    for (auto _ : state) {
        TQuery q;
        q.SetDatabaseName("dbScan");
        q.SetUniDirectional(forwardOnly);
        q.SQL()->Add(kScan);
        q.Open();
        std::size_t bytes = 0;
        while (!q.Eof()) {
            bytes += q.Fields()->Fields(3)->AsString().Length();
            if (lookups) {
                TQuery lookup;
                lookup.SetDatabaseName("dbScan");
                lookup.SetUniDirectional(true);
                lookup.SQL()->Add("select Nome from Causali where idCausale=" +
                                  q.Fields()->Fields(0)->AsString());
                lookup.Open();
                bytes += lookup.Fields()->Fields(0)->AsString().Length();
            }
            q.Next();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_QueryScanLoaded(benchmark::State& state) {
    Scan(state, false, false);
}
void BM_QueryScanForward(benchmark::State& state) {
    Scan(state, true, false);
}
void BM_QueryScanWithLookups(benchmark::State& state) {
    Scan(state, true, true);
}

// The raw side: the same rows copied out, and a prepared lookup per row.
void RawScan(benchmark::State& state, bool lookups) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(TheArchive().db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* scan = nullptr;
    sqlite3_prepare_v2(h, kScan, -1, &scan, nullptr);
    sqlite3_stmt* lookup = nullptr;
    sqlite3_prepare_v2(h, "select Nome from Causali where idCausale=?", -1, &lookup, nullptr);
    for (auto _ : state) {
        std::size_t bytes = 0;
        while (sqlite3_step(scan) == SQLITE_ROW) {
            std::string text(reinterpret_cast<const char*>(sqlite3_column_text(scan, 3)));
            std::string data(reinterpret_cast<const char*>(sqlite3_column_text(scan, 1)));
            bytes += text.size() + data.size() + sqlite3_column_int(scan, 0);
            if (lookups) {
                sqlite3_bind_int(lookup, 1, sqlite3_column_int(scan, 0));
                if (sqlite3_step(lookup) == SQLITE_ROW)
                    bytes +=
                        std::string(reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0)))
                            .size();
                sqlite3_reset(lookup);
            }
        }
        sqlite3_reset(scan);
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_finalize(lookup);
    sqlite3_finalize(scan);
    sqlite3_close(h);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_RawScan(benchmark::State& state) {
    RawScan(state, false);
}
void BM_RawScanWithLookups(benchmark::State& state) {
    RawScan(state, true);
}

BENCHMARK(BM_RawScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryScanLoaded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryScanForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawScanWithLookups)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryScanWithLookups)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Ratio(const char* label, const char* a, const char* b) const {
        const auto ta = times_.find(a), tb = times_.find(b);
        if (ta != times_.end() && tb != times_.end() && tb->second > 0)
            std::printf("%-44s %5.2fx\n", label, ta->second / tb->second);
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.Ratio("query, all rows at open / raw scan:", "BM_QueryScanLoaded", "BM_RawScan");
    reporter.Ratio("query, forward only / raw scan:", "BM_QueryScanForward", "BM_RawScan");
    reporter.Ratio("forward scan with lookups / raw:", "BM_QueryScanWithLookups",
                   "BM_RawScanWithLookups");
    benchmark::Shutdown();
    return 0;
}
