// TextDraw of a long paragraph in a narrow box: the searching fit against
// the literal one-character-at-a-time fit, in the same run.

#include "graphics/TextFit.h"
#include "platform/graphics/ImageCanvas.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

namespace {

std::string Paragraph(int length) {
    static const char* words[] = {"la",     "casa",       "bella",           "cammino",
                                  "strada", "condominio", "conto",           "movimento",
                                  "rata",   "spese",      "amministrazione", "di",
                                  "e",      "per",        "riscaldamento"};
    std::mt19937 rng(42);
    std::string s;
    while (static_cast<int>(s.size()) < length) {
        if (!s.empty()) s += ' ';
        s += words[rng() % (sizeof words / sizeof *words)];
    }
    s.resize(length);
    return s;
}

void Run(benchmark::State& state, TextFitMethod method) {
    TImageCanvas canvas(210, 4000);
    canvas.Font()->SetName("DejaVu Sans");
    canvas.Font()->SetSize(9);
    clsTextOut t;
    t.Canvas = &canvas;
    t.Text = Paragraph(5000).c_str();
    t.Rect = Rect(0, 0, 200, 40);
    t.Style = tsFrame | tsAlignLeft;
    t.ShadowWidth = 0;
    t.BackColor = clNone;
    int height = 0;
    for (auto _ : state) {
        height = TextDraw(t, method);
        benchmark::DoNotOptimize(height);
    }
    state.counters["height"] = height;
}

void BM_TextDrawSearch(benchmark::State& state) {
    Run(state, TextFitMethod::Search);
}
void BM_TextDrawOneByOne(benchmark::State& state) {
    Run(state, TextFitMethod::OneByOne);
}

BENCHMARK(BM_TextDrawSearch)->Unit(benchmark::kMillisecond);
// The literal fit measures thousands of long prefixes per line: one pass
// takes on the order of a minute.
BENCHMARK(BM_TextDrawOneByOne)->Unit(benchmark::kMillisecond)->Iterations(1);

// Keeps each benchmark's time per iteration to print the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.iterations > 0) perIteration[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> perIteration;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto search = reporter.perIteration.find("BM_TextDrawSearch");
    auto literal = reporter.perIteration.find("BM_TextDrawOneByOne");
    if (search != reporter.perIteration.end() && literal != reporter.perIteration.end() &&
        search->second > 0)
        std::printf("TextDraw 5000 characters in 200 pixels: literal fit / search fit = %.1fx\n",
                    literal->second / search->second);
    benchmark::Shutdown();
    return 0;
}
