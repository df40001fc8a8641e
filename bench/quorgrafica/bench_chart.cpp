// A chart of 5,000 boxes and 5,000 links: writing, reading (against the same
// chart without links), painting and hit testing.

#include "BenchChart.h"

#include "bench/BenchRecorder.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/graphics/ImageCanvas.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"
#include "tests/quorgrafica/DeepChartText.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace quorgrafica;

namespace {

using namespace benchchart;

std::unique_ptr<clsGraf> MakeChart(bool links) {
    auto graf = std::make_unique<clsGraf>();
    FillChart(*graf, links);
    return graf;
}

void Lines(clsGraf& graf, quorbase::clsConfig& lines) {
    graf.DataTo(lines);
}

void BM_Write(benchmark::State& state) {
    auto graf = MakeChart(true);
    for (auto _ : state) {
        quorbase::clsConfig lines;
        graf->DataTo(lines);
        benchmark::DoNotOptimize(lines.GetCount());
    }
}

void Read(benchmark::State& state, bool links) {
    auto graf = MakeChart(links);
    quorbase::clsConfig lines;
    Lines(*graf, lines);
    clsGraf target;
    for (auto _ : state) {
        target.DataFrom(lines);
        benchmark::DoNotOptimize(target.GetCount());
    }
    if (target.GetCount() != BoxCount) state.SkipWithError("chart read incompletely");
}

void BM_ReadWithLinks(benchmark::State& state) {
    Read(state, true);
}
void BM_ReadWithoutLinks(benchmark::State& state) {
    Read(state, false);
}

void BM_Paint(benchmark::State& state) {
    EnsureGuiApplication();
    auto graf = MakeChart(true);
    TImageCanvas canvas(graf->PageWidth, graf->PageHeight);
    for (auto _ : state) {
        graf->Draw(&canvas, true, true, true, true);
        canvas.EndPaint();
    }
}

void BM_HitTest1000(benchmark::State& state) {
    auto graf = MakeChart(true);
    for (auto _ : state) {
        int found = 0;
        for (int i = 0; i < 1000; ++i) {
            const int x = (i * 7919) % graf->PageWidth, y = (i * 104729) % graf->PageHeight;
            found += graf->FindBoxAt(x, y) != nullptr;
        }
        benchmark::DoNotOptimize(found);
    }
}

// A chart file whose groups nest state.range(0) deep, in the temporary folder.
std::string DeepFile(int levels, std::string* text = nullptr) {
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("bench-deep-" + std::to_string(levels) + ".chart"))
                                 .string();
    const std::string bytes = charttest::DeepChartText(levels);
    std::ofstream(name, std::ios::binary) << bytes;
    if (text) *text = bytes;
    return name;
}

// Reading a deep file: from the disk to the graph, nesting cap included.
void BM_LoadDeepFile(benchmark::State& state) {
    RegisterBoxKinds();
    std::string text;
    const std::string name = DeepFile(static_cast<int>(state.range(0)), &text);
    for (auto _ : state) {
        clsGraf graf;
        if (!LoadChartFile(graf, AnsiString(name))) state.SkipWithError("chart not read");
        benchmark::DoNotOptimize(graf.GetCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    std::filesystem::remove(name);
}

// The baseline: reading the same file into memory and counting its lines,
// the least any reader does.
void BM_ReadDeepFileLines(benchmark::State& state) {
    const std::string name = DeepFile(static_cast<int>(state.range(0)));
    std::string text(static_cast<std::size_t>(std::filesystem::file_size(name)), '\0');
    for (auto _ : state) {
        std::ifstream in(name, std::ios::binary);
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        benchmark::DoNotOptimize(std::count(text.begin(), text.end(), '\n'));
    }
    std::filesystem::remove(name);
}

BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWithLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWithoutLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HitTest1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDeepFileLines)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDeepFile)->Arg(8000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BenchRecorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    auto& ms = recorder.ms;
    if (ms.count("BM_ReadWithLinks") && ms.count("BM_ReadWithoutLinks") &&
        ms["BM_ReadWithoutLinks"] > 0)
        std::printf("\nreading with links / without links (CPU time): %.2f\n",
                    ms["BM_ReadWithLinks"] / ms["BM_ReadWithoutLinks"]);
    for (const char* name : {"BM_ReadWithLinks", "BM_Paint"}) {
        if (ms.count(name))
            std::printf("%s: %.1f ms CPU per chart (goal: under 100 ms)\n", name, ms[name]);
    }
    const std::string deep = "BM_LoadDeepFile/100000", shallow = "BM_LoadDeepFile/8000";
    const std::string lines = "BM_ReadDeepFileLines/100000";
    if (ms.count(deep) && ms.count(lines) && ms[lines] > 0)
        std::printf(
            "loading a chart 100,000 deep / reading its bytes and counting its lines: %.2f\n",
            ms[deep] / ms[lines]);
    if (ms.count(deep) && ms.count(shallow) && ms[shallow] > 0) {
        const double bytes = static_cast<double>(charttest::DeepChartText(100000).size()) /
                             static_cast<double>(charttest::DeepChartText(8000).size());
        std::printf("time per byte, 100,000 deep / 8,000 deep: %.2f (1.00: proportional)\n",
                    ms[deep] / ms[shallow] / bytes);
    }
    if (ms.count("BM_HitTest1000"))
        std::printf("BM_HitTest1000: %.2f us CPU per point\n", ms["BM_HitTest1000"]);
    return 0;
}
