// A chart of 50,000 boxes and 50,000 links in the scrolled and zoomed view
// of a 1,280 x 800 component, as the chart editor shows it: opening it
// (reading the file and the first paint), a scroll step and a zoom step
// with their repaints at 100% and with the whole chart in view, and one
// move of a dragged box. Opening is set against opening a chart of 5,000
// boxes (the growth: 10 is linear), the others against the graph's Draw of
// the same chart on a plain bitmap of the component's size. Peak memory is
// the process's at the end.

#include "BenchChart.h"

#include "bench/BenchRecorder.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GuiApplication.h"
#include "platform/gui/Form.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/QuorFlowChart.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace quorgrafica;

namespace {

constexpr int Width = 1280;
constexpr int Height = 800;
constexpr int Large = 50000;
constexpr int Small = 5000;
// 250 cells of 50 x 40 a row: a page of 12,500 x 8,000 for the large chart.
constexpr benchchart::Layout Wide{250, 50, 40, 5, 38, 26};

std::string ChartPath(int count) {
    return (std::filesystem::temp_directory_path() /
            ("bench_largechart_" + std::to_string(count) + ".chart"))
        .string();
}

// The chart written once, as a file the editor would open.
void WriteChart(int count) {
    clsGraf graf(nullptr);
    benchchart::FillChart(graf, true, Wide, count);
    if (!SaveChartFile(graf, AnsiString(ChartPath(count)))) std::fprintf(stderr, "cannot write\n");
}

struct Shown {
    std::unique_ptr<TForm> form;
    TQuorFlowChart* chart = nullptr;

    Shown() {
        EnsureGuiApplication();
        form = std::make_unique<TForm>();
        form->SetBounds(0, 0, Width, Height);
        chart = new TQuorFlowChart(form.get());
        chart->SetParent(form.get());
        chart->SetBounds(0, 0, Width, Height);
        chart->SetShowBoxName(true);
        chart->SetShowBoxText(true);
        chart->SetViewEnabled(true);
        form->Show();
        Flush();
    }
    bool Open(int count) {
        const bool ok = LoadChartFile(*chart->RootGraf(), AnsiString(ChartPath(count)));
        chart->Invalidate();
        Flush();
        return ok;
    }
    static void Flush() { QApplication::processEvents(); }
    void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int x, int y) {
        QWidget* w = chart->Widget();
        QMouseEvent event(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
};

void Open(benchmark::State& state, int count) {
    Shown shown;
    for (auto _ : state)
        if (!shown.Open(count)) state.SkipWithError("the chart cannot be read");
    if (shown.chart->RootGraf()->GetCount() != count) state.SkipWithError("boxes missing");
}

void PlainDraw(benchmark::State& state) {
    EnsureGuiApplication();
    clsGraf graf(nullptr);
    benchchart::FillChart(graf, true, Wide, Large);
    TBitmap bitmap(Width, Height);
    graf.SetPage(Width, Height, 0, 0);
    for (auto _ : state) {
        graf.Draw(bitmap.Canvas(), true, true, true, false);
        bitmap.Canvas()->EndPaint();
    }
}

// The view at 100% in the middle of the chart, or with all of it in view.
void Place(Shown& shown, bool fit) {
    if (fit) {
        shown.chart->ZoomToFit();
    } else {
        shown.chart->ZoomReset();
        shown.chart->ScrollTo(5000, 3000);
    }
    Shown::Flush();
}

void ScrollStep(benchmark::State& state, bool fit) {
    Shown shown;
    shown.Open(Large);
    Place(shown, fit);
    // With everything in view there is nothing to scroll: the step is then
    // the repaint of the whole view that a scroll causes.
    bool back = false;
    for (auto _ : state) {
        if (fit)
            shown.chart->InvalidateRect(TRect{0, 0, Width, Height});
        else
            shown.chart->ScrollBy(0, back ? -40 : 40);
        Shown::Flush();
        back = !back;
    }
}

void ZoomStep(benchmark::State& state, bool fit) {
    Shown shown;
    shown.Open(Large);
    Place(shown, fit);
    const int from = shown.chart->ZoomPercent();
    bool back = false;
    for (auto _ : state) {
        if (back)
            shown.chart->SetZoomPercent(from);
        else
            shown.chart->ZoomIn();
        Shown::Flush();
        back = !back;
    }
}

void DragMove(benchmark::State& state) {
    Shown shown;
    shown.Open(Large);
    Place(shown, false);
    // The box at the middle of the view (column 112, row 85), so that the
    // moves stay away from the edges, where a drag would scroll the view.
    clsBox* box = shown.chart->GetBox("Box21362");
    const TPoint at = shown.chart->PageToWidget((box->Frame.Left + box->Frame.Right) / 2,
                                               (box->Frame.Top + box->Frame.Bottom) / 2);
    shown.Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at.x, at.y);
    if (shown.chart->InputState() != qfcMoveBox) state.SkipWithError("the box is not grabbed");
    bool there = false;
    for (auto _ : state) {
        shown.Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, at.x + (there ? 0 : 50), at.y);
        Shown::Flush();
        there = !there;
    }
    shown.Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at.x, at.y);
}

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    WriteChart(Small);
    WriteChart(Large);
    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Open/5000", Open, Small)->Unit(ms);
    benchmark::RegisterBenchmark("Open/50000", Open, Large)->Unit(ms);
    benchmark::RegisterBenchmark("PlainDraw/50000", PlainDraw)->Unit(ms);
    benchmark::RegisterBenchmark("ScrollStep/100%", ScrollStep, false)->Unit(ms);
    benchmark::RegisterBenchmark("ScrollStep/fit", ScrollStep, true)->Unit(ms);
    benchmark::RegisterBenchmark("ZoomStep/100%", ZoomStep, false)->Unit(ms);
    benchmark::RegisterBenchmark("ZoomStep/fit", ZoomStep, true)->Unit(ms);
    benchmark::RegisterBenchmark("DragMove", DragMove)->Unit(ms);
    benchmark::Initialize(&argc, argv);
    BenchRecorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    auto& t = recorder.ms;
    auto ratio = [&](const char* name, const char* base, const char* goal) {
        if (!t.count(name)) return;
        std::printf("%s: %.2f ms CPU (goal: %s)", name, t[name], goal);
        if (t.count(base) && t[base] > 0)
            std::printf(", %.3f x %s (%.2f ms)", t[name] / t[base], base, t[base]);
        std::printf("\n");
    };
    ratio("Open/50000", "Open/5000", "under 1000 ms");
    for (const char* name : {"ScrollStep/100%", "ScrollStep/fit", "ZoomStep/100%", "ZoomStep/fit"})
        ratio(name, "PlainDraw/50000", "under 16 ms");
    ratio("DragMove", "PlainDraw/50000", "under 2 ms");
    std::printf("peak memory: %.0f MB (goal: under 300 MB)\n", PeakKilobytes() / 1024.0);
    std::filesystem::remove(ChartPath(Small));
    std::filesystem::remove(ChartPath(Large));
    return 0;
}
