// The export of a condominium with 100,000 and with 1,000,000 movements, one
// cause lookup per movement, against the sqlite3 shell producing the same
// rows with one join. Prints the ratios of the times at the end, and the
// peak memory of the export against the size of its text.
//
// BM_BracUtilExport runs the export in this process (100,000 movements);
// BM_BracUtilProgram runs `bracutil --export` as the user does: a process,
// like the shell, whose processor time and peak memory the system reports
// when it ends. Before the benchmarks a window copies the 1,000,000
// movements to the clipboard (offscreen, in a process of its own) and the
// memory it holds before, at most and after the copy is printed.

#include "app/ContoCorrenteExport.h"
#include "app/MainUtil.h"
#include "app/datBracUtil.h"
#include "bench/app/ChildRun.h"
#include "platform/core/Encoding.h"
#include "platform/core/Locale.h"
#include "platform/core/Memory.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"
#include "platform/gui/Forms.h"
#include "tools/demoarchive/DemoArchive.h"

#include <benchmark/benchmark.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSmall = 100000;
constexpr int kLarge = 1000000;

struct Archive {
    std::string dir;
    std::string db;
    std::string engineConfig;
};

std::map<int, Archive>& Archives() {
    static std::map<int, Archive> archives;
    return archives;
}

// The module of the in-process benchmark, on the smaller archive.
struct InProcess {
    std::unique_ptr<ScopedScriptedDialogs> dialogs;
    std::unique_ptr<TdatBracoUtil> module;
};

InProcess& TheModule() {
    static InProcess in;
    return in;
}

const char* const kJoin = "SELECT coalesce(strftime('%d/%m/%Y', m.Data), ''), m.Valuta, "
                          "'''' || replace(coalesce(c.Nome, ''), '''', '''''') || '''', "
                          "'''' || replace(coalesce(m.Descrizione, ''), '''', '''''') || '''', "
                          "replace(coalesce(CAST(m.Importo AS TEXT), ''), '.', ',') "
                          "FROM MovConti m LEFT JOIN Causali c ON c.idCausale = m.idCausale "
                          "WHERE m.idCondominio = 1";

using benchapp::ChildRun;
using benchapp::RunChild;

ChildRun Shell(int size, bool keepOutput = false) {
    return RunChild({"sqlite3", "-batch", "-noheader", "-readonly", "-separator", "\t",
                     "-newline", "\r\n", Archives()[size].db, kJoin},
                    keepOutput);
}

ChildRun Program(int size, bool keepOutput = false) {
    setenv("QUOR_ENGINE_CONFIG", Archives()[size].engineConfig.c_str(), 1);
    return RunChild({BRACUTIL_EXE, "--export", "--condominio", "1"}, keepOutput);
}

std::string Export() {
    const quorbase::clsString text = BuildContoCorrenteText(TheModule().module->tblCondomini);
    return std::string(text.CStr(), static_cast<std::size_t>(text.Length()));
}

// Sums per benchmark name, for the ratios printed at the end.
struct Totals {
    double cpuSeconds = 0;
    long long peakBytes = 0;
    std::size_t textBytes = 0;
    int runs = 0;
};

std::map<std::string, Totals>& ChildTotals() {
    static std::map<std::string, Totals> totals;
    return totals;
}

std::string Name(const char* benchmark, int size) {
    return std::string(benchmark) + "/" + std::to_string(size);
}

void Record(benchmark::State& state, const std::string& key, const ChildRun& run) {
    state.SetIterationTime(run.realSeconds);
    Totals& t = ChildTotals()[key];
    t.cpuSeconds += run.cpuSeconds;
    t.peakBytes = std::max(t.peakBytes, run.peakBytes);
    t.textBytes = run.outBytes;
    ++t.runs;
}

void BM_BracUtilExport(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Export());
    state.SetItemsProcessed(state.iterations() * kSmall);
}

// Processes: the time is the process's, the processor time and the peak
// memory the system's account of it.
void BM_BracUtilProgram(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const std::string key = Name("BM_BracUtilProgram", size);
    for (auto _ : state) {
        const ChildRun run = Program(size);
        if (run.status != 0) state.SkipWithError("bracutil --export failed");
        Record(state, key, run);
    }
    const Totals& t = ChildTotals()[key];
    state.counters["cpu_ms"] = t.cpuSeconds * 1000.0 / t.runs;
    state.counters["peak_MB"] = static_cast<double>(t.peakBytes) / 1e6;
    state.counters["text_MB"] = static_cast<double>(t.textBytes) / 1e6;
    state.SetItemsProcessed(state.iterations() * size);
}

void BM_Sqlite3ShellJoin(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const std::string key = Name("BM_Sqlite3ShellJoin", size);
    for (auto _ : state)
        Record(state, key, Shell(size));
    const Totals& t = ChildTotals()[key];
    state.counters["cpu_ms"] = t.cpuSeconds * 1000.0 / t.runs;
    state.SetItemsProcessed(state.iterations() * size);
}

BENCHMARK(BM_BracUtilExport)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Sqlite3ShellJoin)->Arg(kSmall)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BracUtilProgram)->Arg(kSmall)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Sqlite3ShellJoin)->Arg(kLarge)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BracUtilProgram)->Arg(kLarge)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Keeps each run's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // The value of the benchmark whose name starts with prefix, 0 when none ran.
    static double Of(const std::map<std::string, double>& values, const std::string& prefix) {
        for (const auto& [name, value] : values)
            if (name.rfind(prefix, 0) == 0) return value;
        return 0;
    }
    std::map<std::string, double> times; // real, ms per iteration
};

// The resident memory of this process now, in bytes.
long long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// A window over the large archive copies condominium 1 to the clipboard, in
// a process of its own: the memory before, at most and after the copy.
void MeasureWindowCopy() {
    int fds[2];
    if (pipe(fds) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        setenv("QUOR_ENGINE_CONFIG", Archives()[kLarge].engineConfig.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int argc = 1;
        char name[] = "bench_app";
        char* argv[] = {name, nullptr};
        TGuiApplication application(argc, argv);
        ScopedScriptedDialogs dialogs;
        auto* form = application.CreateForm<TfrmBracUtil>();
        auto* module = application.CreateForm<TdatBracoUtil>();
        form->ConnectDataModule(module);
        module->tblCondomini->Locate("IdCondominio", Variant(1));
        ReturnFreeMemory();
        const long long before = ResidentBytes();
        form->cmdCopiaCCClick(nullptr);
        const long long after = ResidentBytes();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        const long long text = data ? data->data("text/plain").size() : 0;
        const long long html = data ? data->data("text/html").size() : 0;
        const long long values[] = {before, after, text, html,
                                    static_cast<long long>(dialogs->Questions().size())};
        if (write(fds[1], values, sizeof values) != static_cast<ssize_t>(sizeof values)) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    long long values[5] = {};
    const bool read = ::read(fds[0], values, sizeof values) == static_cast<ssize_t>(sizeof values);
    close(fds[0]);
    rusage usage{};
    wait4(pid, nullptr, 0, &usage);
    if (!read || values[4] != 0) {
        std::printf("window copy: failed\n");
        return;
    }
    std::printf("window copy of %d movements: resident %.0f MB before, %.0f MB at most, %.0f MB "
                "after; the clipboard holds %.0f MB of text and %.0f MB of HTML\n",
                kLarge, static_cast<double>(values[0]) / 1e6,
                static_cast<double>(usage.ru_maxrss) * 1024 / 1e6,
                static_cast<double>(values[1]) / 1e6, static_cast<double>(values[2]) / 1e6,
                static_cast<double>(values[3]) / 1e6);
}

bool Prepare() {
    for (int size : {kSmall, kLarge}) {
        Archive& archive = Archives()[size];
        archive.dir = (std::filesystem::temp_directory_path() /
                       ("bracutil-bench-" + std::to_string(size)))
                          .string();
        demoarchive::Options options;
        options.movements = size;
        demoarchive::Result result;
        std::string error;
        if (!demoarchive::MakeDemoArchive(archive.dir, options, result, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
        archive.db = result.archive;
        archive.engineConfig = result.engineConfig;
    }
    const std::string registry = Archives()[kSmall].dir + "/registry.reg";
    std::remove(registry.c_str());
    setenv("QUOR_REGISTRY", registry.c_str(), 1);
    setenv("LC_ALL", "it_IT.UTF-8", 1);
    FormatSettings() = TFormatSettings::ForLocale("it_IT.UTF-8");
    ReturnFreeMemory();
    MeasureWindowCopy();

    // Both sides must produce the same rows for the comparison to mean anything.
    for (int size : {kSmall, kLarge}) {
        std::string ours = Program(size, true).out;
        ours = ours.substr(ours.find("\r\n") + 2) + "\r\n";
        const std::string shell = Shell(size, true).out;
        std::printf("%d movements: rows identical to the shell's: %s (%zu bytes)\n", size,
                    ours == shell ? "yes" : "NO", shell.size());
    }
    setenv("QUOR_ENGINE_CONFIG", Archives()[kSmall].engineConfig.c_str(), 1);
    InProcess& in = TheModule();
    in.dialogs = std::make_unique<ScopedScriptedDialogs>();
    in.module = std::make_unique<TdatBracoUtil>();
    if (!in.module->tblCondomini->Locate("IdCondominio", Variant(1))) {
        std::fprintf(stderr, "condominio 1 non trovato\n");
        return false;
    }
    // The export reads through its own query; the detail table is not needed.
    in.module->tblMovConti->Close();
    std::string inProcess = Cp1252ToUtf8(Export());
    inProcess = inProcess.substr(inProcess.find("\r\n") + 2) + "\r\n";
    std::printf("in-process export identical to the shell's: %s\n",
                inProcess == Shell(kSmall, true).out ? "yes" : "NO");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!Prepare()) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = RatioReporter::Of(reporter.times, "BM_BracUtilExport");
    const double shellSmall = RatioReporter::Of(reporter.times, Name("BM_Sqlite3ShellJoin", kSmall));
    if (ours > 0 && shellSmall > 0)
        std::printf("%d movements, export in process / sqlite3 shell, real time = %.2f "
                    "(goal: 2.00 or less)\n",
                    kSmall, ours / shellSmall);
    for (int size : {kSmall, kLarge}) {
        const double program = RatioReporter::Of(reporter.times, Name("BM_BracUtilProgram", size));
        const double shell = RatioReporter::Of(reporter.times, Name("BM_Sqlite3ShellJoin", size));
        const Totals& p = ChildTotals()[Name("BM_BracUtilProgram", size)];
        const Totals& s = ChildTotals()[Name("BM_Sqlite3ShellJoin", size)];
        if (program <= 0 || shell <= 0 || p.runs == 0 || s.runs == 0) continue;
        std::printf("%d movements, bracutil --export / sqlite3 shell: real time = %.2f, processor "
                    "time = %.2f (goal: 2.00 or less)\n",
                    size, program / shell,
                    (p.cpuSeconds / p.runs) / (s.cpuSeconds / s.runs));
        // The program's own libraries weigh more than a small text: the goal
        // is for a text large enough to matter.
        std::printf("%d movements, bracutil --export peak memory = %.0f MB for %.0f MB of text, "
                    "%.2f times the text%s\n",
                    size, static_cast<double>(p.peakBytes) / 1e6,
                    static_cast<double>(p.textBytes) / 1e6,
                    static_cast<double>(p.peakBytes) / static_cast<double>(p.textBytes),
                    size == kLarge ? " (goal: 3.00 or less)" : "");
    }
    TheModule().module.reset();
    TheModule().dialogs.reset();
    for (auto& [size, archive] : Archives()) {
        std::error_code ec;
        std::filesystem::remove_all(archive.dir, ec);
    }
    return 0;
}
