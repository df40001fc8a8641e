// The export of a condominium with 100,000 movements, one cause lookup per
// movement, against the sqlite3 shell producing the same rows with one join.
// Prints the ratio of the two times at the end.

#include "app/ContoCorrenteExport.h"
#include "app/datBracUtil.h"
#include "platform/core/Encoding.h"
#include "platform/core/Locale.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"
#include "tools/demoarchive/DemoArchive.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kMovements = 100000;

struct Archive {
    std::string dir;
    std::string db;
    std::unique_ptr<ScopedScriptedDialogs> dialogs;
    std::unique_ptr<TdatBracoUtil> module;
};

Archive& TheArchive() {
    static Archive archive;
    return archive;
}

const char* const kJoin = "SELECT coalesce(strftime('%d/%m/%Y', m.Data), ''), m.Valuta, "
                          "'''' || replace(coalesce(c.Nome, ''), '''', '''''') || '''', "
                          "'''' || replace(coalesce(m.Descrizione, ''), '''', '''''') || '''', "
                          "replace(coalesce(CAST(m.Importo AS TEXT), ''), '.', ',') "
                          "FROM MovConti m LEFT JOIN Causali c ON c.idCausale = m.idCausale "
                          "WHERE m.idCondominio = 1";

std::string Shell() {
    const std::string command = "sqlite3 -batch -noheader -readonly -separator '\t' "
                                "-newline '\r\n' '" +
                                TheArchive().db + "' \"" + kJoin + "\"";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[1 << 16];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::string Export() {
    const quorbase::clsString text = BuildContoCorrenteText(TheArchive().module->tblCondomini);
    return std::string(text.CStr(), static_cast<std::size_t>(text.Length()));
}

void BM_BracUtilExport(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Export());
    state.SetItemsProcessed(state.iterations() * kMovements);
}

// Seconds of processor time used by finished child processes.
double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The shell is another process: its processor time is the children's, kept
// as a counter so that the ratio can also be taken on a busy machine.
void BM_Sqlite3ShellJoin(benchmark::State& state) {
    const double before = ChildrenCpuSeconds();
    for (auto _ : state)
        benchmark::DoNotOptimize(Shell());
    state.counters["shell_cpu_ms"] = benchmark::Counter((ChildrenCpuSeconds() - before) * 1000.0 /
                                                        static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations() * kMovements);
}

BENCHMARK(BM_BracUtilExport)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Sqlite3ShellJoin)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each run's time per iteration for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
            cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
            if (auto it = run.counters.find("shell_cpu_ms"); it != run.counters.end())
                cpu[run.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // The value of the benchmark whose name starts with prefix, 0 when none ran.
    static double Of(const std::map<std::string, double>& values, const std::string& prefix) {
        for (const auto& [name, value] : values)
            if (name.rfind(prefix, 0) == 0) return value;
        return 0;
    }
    std::map<std::string, double> times; // real, ms per iteration
    std::map<std::string, double> cpu;   // processor, ms per iteration
};

bool Prepare() {
    Archive& archive = TheArchive();
    archive.dir = (std::filesystem::temp_directory_path() / "bracutil-bench").string();
    demoarchive::Options options;
    options.movements = kMovements;
    demoarchive::Result result;
    std::string error;
    if (!demoarchive::MakeDemoArchive(archive.dir, options, result, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    archive.db = result.archive;
    setenv("QUOR_ENGINE_CONFIG", result.engineConfig.c_str(), 1);
    const std::string registry = archive.dir + "/registry.reg";
    std::remove(registry.c_str());
    setenv("QUOR_REGISTRY", registry.c_str(), 1);
    FormatSettings() = TFormatSettings::ForLocale("it_IT.UTF-8");
    archive.dialogs = std::make_unique<ScopedScriptedDialogs>();
    archive.module = std::make_unique<TdatBracoUtil>();
    if (!archive.module->tblCondomini->Locate("IdCondominio", Variant(1))) {
        std::fprintf(stderr, "condominio 1 non trovato\n");
        return false;
    }
    // Both sides must produce the same rows for the comparison to mean anything.
    std::string ours = Cp1252ToUtf8(Export());
    ours = ours.substr(ours.find("\r\n") + 2) + "\r\n";
    const std::string shell = Shell();
    std::printf("rows identical to the shell's: %s (%zu bytes)\n", ours == shell ? "yes" : "NO",
                shell.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!Prepare()) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = RatioReporter::Of(reporter.times, "BM_BracUtilExport");
    const double shell = RatioReporter::Of(reporter.times, "BM_Sqlite3ShellJoin");
    const double oursCpu = RatioReporter::Of(reporter.cpu, "BM_BracUtilExport");
    const double shellCpu = RatioReporter::Of(reporter.cpu, "BM_Sqlite3ShellJoin");
    if (ours > 0 && shell > 0)
        std::printf("export / sqlite3 shell, real time = %.2f (goal: 2.00 or less)\n",
                    ours / shell);
    if (oursCpu > 0 && shellCpu > 0)
        std::printf("export / sqlite3 shell, processor time = %.2f\n", oursCpu / shellCpu);
    TheArchive().module.reset();
    TheArchive().dialogs.reset();
    std::error_code ec;
    std::filesystem::remove_all(TheArchive().dir, ec);
    return 0;
}
