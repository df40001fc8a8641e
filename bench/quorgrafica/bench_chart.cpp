// A chart of 5,000 boxes and 5,000 links: writing, reading (against the same
// chart without links), painting and hit testing.

#include "BenchChart.h"

#include "bench/BenchRecorder.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/graphics/ImageCanvas.h"
#include "quorgrafica/Clsgraf.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

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

BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWithLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWithoutLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HitTest1000)->Unit(benchmark::kMillisecond);

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
    if (ms.count("BM_HitTest1000"))
        std::printf("BM_HitTest1000: %.2f us CPU per point\n", ms["BM_HitTest1000"]);
    return 0;
}
