// The flowchart component showing a chart of 5,000 boxes and 5,000 links in
// 1,280 x 800 pixels: a full repaint, and one drag step (press on a box, a
// move, the release and the repaint that follows it), each against the
// graph's Draw on a plain bitmap of the component's size.

#include "BenchChart.h"

#include "bench/BenchRecorder.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/gui/Form.h"
#include "quorgrafica/QuorFlowChart.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <string>

using namespace quorgrafica;

namespace {

constexpr int Width = 1280;
constexpr int Height = 800;

class CountingChart : public TQuorFlowChart {
public:
    using TQuorFlowChart::TQuorFlowChart;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        TQuorFlowChart::Paint();
    }
};

struct Shown {
    std::unique_ptr<TForm> form;
    CountingChart* chart = nullptr;

    Shown() {
        EnsureGuiApplication();
        form = std::make_unique<TForm>();
        form->SetBounds(0, 0, Width, Height);
        chart = new CountingChart(form.get());
        chart->SetParent(form.get());
        chart->SetBounds(0, 0, Width, Height);
        chart->SetShowBoxName(true);
        chart->SetShowBoxText(true);
        benchchart::FillChart(*chart->RootGraf(), true);
        form->Show();
        Flush();
    }
    // Delivers what is pending, the paints the component asked for included.
    static void Flush() { QApplication::processEvents(); }
    void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y) {
        QWidget* w = chart->Widget();
        QMouseEvent event(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
};

void BM_PlainDraw(benchmark::State& state) {
    EnsureGuiApplication();
    clsGraf graf;
    benchchart::FillChart(graf, true);
    TBitmap bitmap(Width, Height);
    graf.SetPage(Width, Height, 0, 0);
    for (auto _ : state) {
        graf.Draw(bitmap.Canvas(), true, true, true, false);
        bitmap.Canvas()->EndPaint();
    }
}

void BM_FullRepaint(benchmark::State& state) {
    Shown shown;
    const int before = shown.chart->paints;
    for (auto _ : state) {
        shown.chart->Invalidate();
        Shown::Flush();
    }
    if (shown.chart->paints - before != static_cast<int>(state.iterations()))
        state.SkipWithError("the component did not repaint");
}

void BM_DragStep(benchmark::State& state) {
    Shown shown;
    clsBox* box = shown.chart->GetBox("Box1012");
    const TRect start = box->Frame;
    bool there = false;
    for (auto _ : state) {
        // Back and forth by one cell, grabbing the box in its middle.
        const int x = (box->Frame.Left + box->Frame.Right) / 2;
        const int y = (box->Frame.Top + box->Frame.Bottom) / 2;
        const int to = x + (there ? -benchchart::CellWidth : benchchart::CellWidth);
        shown.Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, x, y);
        shown.Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, to, y);
        shown.Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, to, y);
        Shown::Flush();
        there = !there;
    }
    if (box->Frame.Left == start.Left && state.iterations() % 2 == 1)
        state.SkipWithError("the box did not move");
}

BENCHMARK(BM_PlainDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    BenchRecorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    auto& ms = recorder.ms;
    const double plain = ms.count("BM_PlainDraw") ? ms["BM_PlainDraw"] : 0;
    for (const char* name : {"BM_FullRepaint", "BM_DragStep"}) {
        if (!ms.count(name)) continue;
        std::printf("%s: %.2f ms CPU (goal: under 16 ms)", name, ms[name]);
        if (plain > 0) std::printf(", %.2f x Draw on a plain bitmap (%.2f ms)", ms[name] / plain, plain);
        std::printf("\n");
    }
    return 0;
}
