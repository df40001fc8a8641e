// Opening a table of 100,000 movements through the engine against stepping
// the same SELECT on a raw statement and copying each value out.

#include "platform/data/Session.h"
#include "platform/data/Table.h"

#include "bench/data/BenchArchive.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include <unistd.h>

namespace {

const char* const kScript =
    "CREATE TABLE MovConti (idMovConti INTEGER PRIMARY KEY AUTOINCREMENT, "
    "idCondominio INTEGER, Data DATE, Importo NUMERIC(32,2), Valuta CHAR(1), "
    "Descrizione VARCHAR(50));"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<100000) "
    "INSERT INTO MovConti (idCondominio, Data, Importo, Valuta, Descrizione) "
    "SELECT i % 300, '2004-03-12', i * 0.25, 'E', 'Movimento ' || i FROM n;";

BenchArchive& TheArchive() {
    static BenchArchive archive("Bench", kScript);
    return archive;
}

void BM_RawFetch(benchmark::State& state) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(TheArchive().db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(h, "SELECT _rowid_, * FROM MovConti ORDER BY _rowid_", -1, &stmt,
                           nullptr);
        std::vector<std::vector<std::variant<long long, double, std::string>>> rows;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::vector<std::variant<long long, double, std::string>> row;
            for (int c = 0; c < 7; ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    row.emplace_back(sqlite3_column_int64(stmt, c));
                    break;
                case SQLITE_FLOAT:
                    row.emplace_back(sqlite3_column_double(stmt, c));
                    break;
                default:
                    row.emplace_back(
                        std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))));
                }
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(rows);
    }
    sqlite3_close(h);
}

void BM_EngineOpen(benchmark::State& state) {
    TheArchive();
    TDatabase db;
    db.SetDatabaseName("dbBench");
    db.SetAliasName("Bench");
    db.SetReadOnly(true);
    TTable t;
    t.SetDatabaseName("dbBench");
    t.SetTableName("MovConti.db");
    for (auto _ : state) {
        t.Open();
        benchmark::DoNotOptimize(t.RecordCount());
        t.Close();
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.benchmark_name().find("Engine") != std::string::npos)
                engine_ = r.GetAdjustedCPUTime();
            if (r.benchmark_name().find("Raw") != std::string::npos) raw_ = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (raw_ > 0)
            std::printf("engine open of 100,000 rows / raw fetch: %.1fx\n", engine_ / raw_);
    }

private:
    double engine_ = 0, raw_ = 0;
};

} // namespace

BENCHMARK(BM_RawFetch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineOpen)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
