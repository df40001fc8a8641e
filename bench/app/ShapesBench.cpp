// The export of a million movements on archives of other shapes than the
// demo's: few causes or many, short descriptions or long, the condominium
// alone in its table or interleaved with another as busy, and first in name
// order (the one the window opens on). For each, `bracutil --export` against
// the sqlite3 shell printing the same rows with one join, in the same run,
// and the export's peak memory beside the size of its text.

#include "bench/app/ChildRun.h"
#include "tools/demoarchive/DemoArchive.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kMovements = 1000000;

struct Shape {
    const char* name;
    int causes;
    const char* description; // SQL of the description of movement i
    bool interleaved;        // another condominium's movements between its own
};

// Each of causes, descriptions and neighbours varies from the first shape alone,
// then causes and descriptions together.
const Shape kShapes[] = {
    {"few_causes_short_texts", 50, "'Movimento numero ' || i", false},
    {"many_causes_short_texts", 5000, "'Movimento numero ' || i", false},
    {"few_causes_long_texts", 50, "'Manutenzione straordinaria ascensore scala B n. ' || i",
     false},
    {"many_causes_long_texts", 5000,
     "'Manutenzione straordinaria ascensore scala B n. ' || i", false},
    {"interleaved_with_another", 50, "'Movimento numero ' || i", true},
};

struct Archive {
    std::string dir, db, engineConfig, id;
};

std::map<std::string, Archive>& Archives() {
    static std::map<std::string, Archive> archives;
    return archives;
}

bool Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return true;
    std::fprintf(stderr, "%s\n", error ? error : "sqlite3_exec");
    sqlite3_free(error);
    return false;
}

// The demo archive, its busiest condominium made the first in name order and
// given the shape's movements and causes.
bool MakeShape(const Shape& shape, Archive& archive) {
    archive.dir = (std::filesystem::temp_directory_path() / ("bracutil-shape-" + std::string(shape.name))).string();
    demoarchive::Options options;
    options.movements = 10;
    demoarchive::Result result;
    std::string error;
    if (!demoarchive::MakeDemoArchive(archive.dir, options, result, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    archive.db = result.archive;
    archive.engineConfig = result.engineConfig;
    archive.id = "1";
    sqlite3* db = nullptr;
    if (sqlite3_open(archive.db.c_str(), &db) != SQLITE_OK) return false;
    const std::string step = shape.interleaved ? "2" : "1";
    const bool ok =
        Exec(db, "BEGIN; DELETE FROM MovConti; DELETE FROM Causali;"
                 "UPDATE Condomini SET Nome = ' ' || Nome WHERE IdCondominio = 1;"
                 "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < " +
                     std::to_string(shape.causes) +
                     ") INSERT INTO Causali (idCausale, Nome) SELECT i, 'Causale numero ' || i FROM c;"
                     "WITH RECURSIVE m(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM m WHERE i < " +
                     std::to_string(kMovements * (shape.interleaved ? 2 : 1)) +
                     ") INSERT INTO MovConti (idCondominio, idMovimento, idCausale, Data, Importo, "
                     "Valuta, Descrizione) SELECT CASE WHEN i % " + step +
                     " = 0 THEN 1 ELSE 2 END, i, 1 + i % " + std::to_string(shape.causes) +
                     ", date('2020-01-01', '+' || (i % 1500) || ' days'), (i % 100000) / 100.0, "
                     "'E', " + shape.description + " FROM m; COMMIT;");
    sqlite3_close(db);
    return ok;
}

using benchapp::ChildRun;
using benchapp::RunChild;

// One side's runs of one shape.
struct Side {
    double bestSeconds = 1e30;
    double bestCpuSeconds = 1e30;
    long long peakBytes = 0;
    std::size_t textBytes = 0;
    std::vector<double> seconds;

    void Add(const ChildRun& run) {
        bestSeconds = std::min(bestSeconds, run.realSeconds);
        bestCpuSeconds = std::min(bestCpuSeconds, run.cpuSeconds);
        peakBytes = std::max(peakBytes, run.peakBytes);
        textBytes = run.outBytes;
        seconds.push_back(run.realSeconds);
    }
};

struct Rounds {
    Side shell, program;
};

std::map<std::string, Rounds>& Results() {
    static std::map<std::string, Rounds> results;
    return results;
}

// Each round runs the shell, then the program, so that both meet the same
// load on a busy machine; the time of the round is the program's.
void Run(benchmark::State& state, const std::string& key, const std::vector<std::string>& shell,
         const std::vector<std::string>& program) {
    Rounds& r = Results()[key];
    for (auto _ : state) {
        const ChildRun base = RunChild(shell);
        const ChildRun run = RunChild(program);
        if (base.status != 0 || run.status != 0) state.SkipWithError("a program failed");
        state.SetIterationTime(run.realSeconds);
        r.shell.Add(base);
        r.program.Add(run);
    }
    state.counters["shell_ms"] = r.shell.bestSeconds * 1e3;
    state.counters["peak_MB"] = static_cast<double>(r.program.peakBytes) / 1e6;
    state.counters["text_MB"] = static_cast<double>(r.program.textBytes) / 1e6;
}

std::vector<std::string> Program(const Archive& a) {
    setenv("QUOR_ENGINE_CONFIG", a.engineConfig.c_str(), 1);
    return {BRACUTIL_EXE, "--export", "--condominio", a.id};
}

std::vector<std::string> Shell(const Archive& a) {
    return {"sqlite3", "-batch", "-noheader", "-readonly", "-separator", "\t", "-newline", "\r\n",
            a.db,
            "SELECT coalesce(strftime('%d/%m/%Y', m.Data), ''), m.Valuta, "
            "'''' || replace(coalesce(c.Nome, ''), '''', '''''') || '''', "
            "'''' || replace(coalesce(m.Descrizione, ''), '''', '''''') || '''', "
            "replace(coalesce(CAST(m.Importo AS TEXT), ''), '.', ',') "
            "FROM MovConti m LEFT JOIN Causali c ON c.idCausale = m.idCausale "
            "WHERE m.idCondominio = " + a.id};
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    setenv("LC_ALL", "it_IT.UTF-8", 1);
    for (const Shape& shape : kShapes) {
        Archive& archive = Archives()[shape.name];
        if (!MakeShape(shape, archive)) return 1;
        const std::string name = shape.name;
        benchmark::RegisterBenchmark(("BM_BracUtilProgram/" + name).c_str(),
                                     [&archive, name](benchmark::State& s) {
                                         Run(s, name, Shell(archive), Program(archive));
                                     })
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
    }
    benchmark::RunSpecifiedBenchmarks();
    for (const Shape& shape : kShapes) {
        const Rounds& r = Results()[shape.name];
        const Side& program = r.program;
        const Side& shell = r.shell;
        if (program.textBytes == 0 || shell.bestSeconds <= 0) continue;
        double low = 1e30, high = 0;
        for (std::size_t i = 0; i < program.seconds.size(); ++i) {
            const double ratio = program.seconds[i] / shell.seconds[i];
            low = std::min(low, ratio);
            high = std::max(high, ratio);
        }
        std::printf("%s: %d movements, bracutil --export / sqlite3 shell: best real time = %.2f "
                    "(rounds %.2f to %.2f), best processor time = %.2f (goal: 1.50 or less); "
                    "peak memory %.0f MB for %.0f MB of text, text + %.0f MB (goal: text + 50 MB "
                    "or less)\n",
                    shape.name, kMovements, program.bestSeconds / shell.bestSeconds, low, high,
                    program.bestCpuSeconds / shell.bestCpuSeconds,
                    static_cast<double>(program.peakBytes) / 1e6,
                    static_cast<double>(program.textBytes) / 1e6,
                    static_cast<double>(program.peakBytes - static_cast<long long>(program.textBytes)) / 1e6);
    }
    for (auto& [name, archive] : Archives()) {
        std::error_code ec;
        std::filesystem::remove_all(archive.dir, ec);
    }
    return 0;
}
