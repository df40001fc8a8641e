// The flowchart component showing a chart of 5,000 boxes and 5,000 links in
// 1,280 x 800 pixels: a full repaint, and one drag step (press on a box, a
// move, the release and the repaint that follows it), each against the
// graph's Draw on a plain bitmap of the component's size. Three cases: the
// chart spread over a page larger than the component with names and texts
// shown, and the chart packed so that every box is in view, with names and
// texts shown and hidden.

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

struct Case {
    const char* name;
    benchchart::Layout layout;
    bool texts;
    // At the default width the edges of a box of the packed layout meet in
    // its middle, so a press there would resize it instead of moving it.
    int resizeBorder;
};

const Case Cases[] = {
    {"spread", benchchart::Spread, true, 6},
    {"in_view/texts", benchchart::InView, true, 2},
    {"in_view/no_texts", benchchart::InView, false, 2},
};

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

    explicit Shown(const Case& c) {
        EnsureGuiApplication();
        form = std::make_unique<TForm>();
        form->SetBounds(0, 0, Width, Height);
        chart = new CountingChart(form.get());
        chart->SetParent(form.get());
        chart->SetBounds(0, 0, Width, Height);
        chart->SetShowBoxName(c.texts);
        chart->SetShowBoxText(c.texts);
        chart->SetResizeBorderWidth(c.resizeBorder);
        benchchart::FillChart(*chart->RootGraf(), true, c.layout);
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

void PlainDraw(benchmark::State& state, const Case& c) {
    EnsureGuiApplication();
    clsGraf graf;
    benchchart::FillChart(graf, true, c.layout);
    TBitmap bitmap(Width, Height);
    graf.SetPage(Width, Height, 0, 0);
    for (auto _ : state) {
        graf.Draw(bitmap.Canvas(), true, c.texts, c.texts, false);
        bitmap.Canvas()->EndPaint();
    }
}

void FullRepaint(benchmark::State& state, const Case& c) {
    Shown shown(c);
    const int before = shown.chart->paints;
    for (auto _ : state) {
        shown.chart->Invalidate();
        Shown::Flush();
    }
    if (shown.chart->paints - before != static_cast<int>(state.iterations()))
        state.SkipWithError("the component did not repaint");
}

void DragStep(benchmark::State& state, const Case& c) {
    Shown shown(c);
    clsBox* box = shown.chart->GetBox("Box1012");
    // A whole number of the component's 10-pixel grid cells, at least one
    // chart cell: snapping then takes the box back and forth between the
    // same two places.
    const int step = (c.layout.cellWidth + 9) / 10 * 10;
    const TRect start = box->Frame;
    bool there = false;
    for (auto _ : state) {
        // Grabbing the box in its middle.
        const int x = (box->Frame.Left + box->Frame.Right) / 2;
        const int y = (box->Frame.Top + box->Frame.Bottom) / 2;
        const int to = x + (there ? -step : step);
        shown.Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, x, y);
        shown.Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, to, y);
        shown.Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, to, y);
        Shown::Flush();
        there = !there;
    }
    if (box->Frame.Left == start.Left && state.iterations() % 2 == 1)
        state.SkipWithError("the box did not move");
}

std::string Name(const char* what, const Case& c) {
    return std::string(what) + "/" + c.name;
}

} // namespace

int main(int argc, char** argv) {
    for (const Case& c : Cases) {
        benchmark::RegisterBenchmark(Name("PlainDraw", c).c_str(), PlainDraw, c)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(Name("FullRepaint", c).c_str(), FullRepaint, c)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(Name("DragStep", c).c_str(), DragStep, c)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    BenchRecorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    auto& ms = recorder.ms;
    for (const Case& c : Cases) {
        const std::string plainName = Name("PlainDraw", c);
        const double plain = ms.count(plainName) ? ms[plainName] : 0;
        for (const char* what : {"FullRepaint", "DragStep"}) {
            const std::string name = Name(what, c);
            if (!ms.count(name)) continue;
            std::printf("%s: %.2f ms CPU (goal: under 16 ms)", name.c_str(), ms[name]);
            if (plain > 0)
                std::printf(", %.2f x Draw on a plain bitmap (%.2f ms)", ms[name] / plain, plain);
            std::printf("\n");
        }
    }
    return 0;
}
