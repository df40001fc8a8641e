// The flowchart component's scrolled and zoomed view, driven through its
// widget: the mouse, the wheel, the keys and the scroll bars.

#include "FlowChartFixture.h"

#include "platform/graphics/Canvas.h"
#include "platform/gui/ControlTypes.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <vector>

using namespace quorgrafica;
using charttest::At;
using charttest::FlowChart;

namespace {

constexpr TColor White = 0xFFFFFF;

class ChartView : public FlowChart {
protected:
    void SetUp() override {
        FlowChart::SetUp();
        form->SetBounds(0, 0, 820, 620);
        chart->SetBounds(0, 0, 800, 600);
        chart->PaintToImage();
    }

    void TurnOn() {
        chart->SetViewEnabled(true);
        chart->PaintToImage();
    }

    // Mouse gestures at page points, through the view as it stands.
    TPoint W(int x, int y) { return chart->PageToWidget(x, y); }
    void PagePress(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        const TPoint p = W(x, y);
        Press(p.x, p.y, b);
    }
    void PageMove(int x, int y) {
        const TPoint p = W(x, y);
        Move(p.x, p.y);
    }
    void PageRelease(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        const TPoint p = W(x, y);
        Release(p.x, p.y, b);
    }

    void Wheel(int x, int y, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier,
               bool across = false) {
        QWidget* w = chart->Widget();
        const QPoint angle = across ? QPoint(delta, 0) : QPoint(0, delta);
        QWheelEvent event(QPointF(x, y), w->mapToGlobal(QPointF(x, y)), QPoint(), angle,
                          Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    }

    QScrollBar* Bar(Qt::Orientation o) {
        for (QScrollBar* bar : chart->Widget()->findChildren<QScrollBar*>())
            if (bar->orientation() == o) return bar;
        return nullptr;
    }
};

} // namespace

TEST_F(ChartView, OffByDefaultTheComponentIsAsBefore) {
    Add("clsBoxRectangle", "A", TRect{3000, 2000, 3100, 2060});
    EXPECT_FALSE(chart->ViewEnabled());
    EXPECT_EQ(chart->ZoomPercent(), 100);
    EXPECT_TRUE(chart->Widget()->findChildren<QScrollBar*>().isEmpty());
    EXPECT_EQ(chart->WidgetToPage(123, 45), (TPoint{123, 45}));
    EXPECT_FALSE(chart->ViewWheel(120, TShiftState() << ssCtrl, 10, 10));
    EXPECT_FALSE(chart->ViewKey(VK_NEXT, TShiftState()));
    chart->ZoomIn();
    chart->ScrollTo(500, 500);
    EXPECT_EQ(chart->ZoomPercent(), 100);
    EXPECT_EQ(chart->ScrollPosition(), (TPoint{0, 0}));
    // The page is the component, as it always was.
    chart->PaintToImage();
    EXPECT_EQ(chart->CurrentGraf()->PageWidth, 800);
    EXPECT_EQ(chart->CurrentGraf()->Columns, 80);
}

TEST_F(ChartView, MouseEditsLandOnThePageAtEveryScrollAndZoom) {
    TurnOn();
    struct View {
        int percent, x, y;
    };
    // Page points are multiples of 20, so that every view below shows them
    // on whole widget pixels.
    const View views[] = {{100, 0, 0}, {100, 200, 100}, {200, 300, 200},
                          {50, 0, 0},  {25, 0, 0},      {150, 300, 200}};
    std::vector<TRect> made, moved, resized;
    for (const View& v : views) {
        SCOPED_TRACE(testing::Message() << v.percent << "% at " << v.x << "," << v.y);
        chart->ClearBoxes();
        // A far box makes the page larger than the view.
        Add("clsBoxRectangle", "Far", TRect{1900, 1400, 1950, 1450});
        chart->ScrollTo(0, 0);
        chart->SetZoomPercent(v.percent, 0, 0);
        chart->ScrollTo(v.x, v.y);
        chart->PaintToImage();
        ASSERT_EQ(chart->ZoomPercent(), v.percent);
        ASSERT_EQ(chart->ScrollPosition(), (TPoint{v.x, v.y}));

        // Drawn, moved and resized with the grid on (10-pixel cells).
        PagePress(340, 240);
        PageMove(400, 280);
        PageMove(440, 320);
        PageRelease(440, 320);
        ASSERT_EQ(chart->CurrentGraf()->GetCount(), 2);
        clsBox* box = chart->CurrentGraf()->GetValue(1);
        made.push_back(box->Frame);
        PagePress(380, 280);
        ASSERT_EQ(chart->SelectedBox(), box);
        ASSERT_EQ(chart->InputState(), qfcMoveBox);
        PageMove(420, 300);
        PageMove(460, 300);
        PageRelease(460, 300);
        moved.push_back(box->Frame);
        // The right edge, grabbed inside its band.
        const TPoint edge{box->Frame.Right - 2, (box->Frame.Top + box->Frame.Bottom) / 2};
        PagePress(edge.x - edge.x % 4, edge.y - edge.y % 4);
        ASSERT_EQ(chart->InputState(), qfcResizeE);
        PageMove(600, 300);
        PageRelease(600, 300);
        resized.push_back(box->Frame);
        // The hit test finds it where it lies on the page.
        EXPECT_EQ(chart->FindBoxAt(box->Frame.Left + 5, box->Frame.Top + 5), box);
        EXPECT_EQ(chart->FindBoxAt(1920, 1420), chart->CurrentGraf()->GetValue(0));
    }
    EXPECT_EQ(made[0], (TRect{341, 241, 441, 321}));
    EXPECT_EQ(moved[0], (TRect{421, 261, 521, 341}));
    EXPECT_EQ(resized[0], (TRect{421, 261, 601, 341}));
    for (std::size_t i = 1; i < made.size(); ++i) {
        EXPECT_EQ(made[i], made[0]) << i;
        EXPECT_EQ(moved[i], moved[0]) << i;
        EXPECT_EQ(resized[i], resized[0]) << i;
    }
}

TEST_F(ChartView, TheWheelScrollsAndZoomsAboutThePointer) {
    TurnOn();
    Add("clsBoxRectangle", "Far", TRect{2900, 2400, 3000, 2460});
    chart->PaintToImage();
    int changes = 0;
    chart->OnViewChange = [&](TObject*) { ++changes; };

    Wheel(300, 200, -120);
    EXPECT_EQ(chart->ScrollPosition(), (TPoint{0, 48}));
    Wheel(300, 200, -120, Qt::ShiftModifier);
    EXPECT_EQ(chart->ScrollPosition(), (TPoint{48, 48}));
    Wheel(300, 200, -240, Qt::NoModifier, true);
    EXPECT_EQ(chart->ScrollPosition(), (TPoint{144, 48}));
    // Never before the page's start.
    Wheel(300, 200, 1200);
    EXPECT_EQ(chart->ScrollPosition(), (TPoint{144, 0}));
    EXPECT_EQ(changes, 4);

    // Ctrl+wheel: a step per notch, the page point under the pointer stays.
    chart->ScrollTo(600, 600);
    const TPoint under = chart->WidgetToPage(300, 200);
    Wheel(300, 200, 120, Qt::ControlModifier);
    EXPECT_EQ(chart->ZoomPercent(), 110);
    EXPECT_NEAR(chart->WidgetToPage(300, 200).x, under.x, 1);
    EXPECT_NEAR(chart->WidgetToPage(300, 200).y, under.y, 1);
    Wheel(300, 200, -360, Qt::ControlModifier);
    EXPECT_EQ(chart->ZoomPercent(), 75);
    EXPECT_NEAR(chart->WidgetToPage(300, 200).x, under.x, 1);
    EXPECT_NEAR(chart->WidgetToPage(300, 200).y, under.y, 1);
    // The ends of the range hold.
    for (int i = 0; i < 30; ++i) chart->ZoomIn();
    EXPECT_EQ(chart->ZoomPercent(), 400);
    for (int i = 0; i < 30; ++i) Wheel(10, 10, -120, Qt::ControlModifier);
    EXPECT_EQ(chart->ZoomPercent(), 10);
    chart->ZoomReset();
    EXPECT_EQ(chart->ZoomPercent(), 100);
    chart->SetZoomPercent(1000);
    EXPECT_EQ(chart->ZoomPercent(), 400);
    chart->SetZoomPercent(1);
    EXPECT_EQ(chart->ZoomPercent(), 10);
}

TEST_F(ChartView, ScrollBarsPageKeysAndTheExtentFollowTheBoxes) {
    TurnOn();
    clsBox* far = Add("clsBoxRectangle", "Far", TRect{1900, 1400, 2000, 1460});
    chart->Invalidate();
    chart->PaintToImage();
    QScrollBar* across = Bar(Qt::Horizontal);
    QScrollBar* down = Bar(Qt::Vertical);
    ASSERT_TRUE(across && down);
    const int w = chart->ViewWidth(), h = chart->ViewHeight();
    EXPECT_EQ(w + across->height(), 800);
    // The bars reach the last box and a margin past it.
    EXPECT_EQ(chart->ScrollExtent(), (TRect{0, 0, 2041, 1501}));
    EXPECT_EQ(across->maximum(), 2041 - w);
    EXPECT_EQ(down->maximum(), 1501 - h);
    EXPECT_EQ(down->pageStep(), h);

    // The bars scroll the view; the view moves the bars.
    down->setValue(300);
    EXPECT_EQ(chart->ScrollPosition(), (TPoint{0, 300}));
    EXPECT_TRUE(chart->ViewKey(VK_NEXT, TShiftState()));
    EXPECT_EQ(chart->ScrollPosition(), (TPoint{0, 300 + h}));
    EXPECT_EQ(down->value(), 300 + h);
    EXPECT_TRUE(chart->ViewKey(VK_NEXT, TShiftState() << ssShift));
    EXPECT_EQ(chart->ScrollPosition(), (TPoint{std::min(w, 2041 - w), 300 + h}));
    EXPECT_EQ(across->value(), std::min(w, 2041 - w));
    EXPECT_TRUE(chart->ViewKey(VK_PRIOR, TShiftState()));
    EXPECT_TRUE(chart->ViewKey(VK_PRIOR, TShiftState()));
    EXPECT_EQ(chart->ScrollPosition().y, 0);
    EXPECT_FALSE(chart->ViewKey(VK_LEFT, TShiftState()));
    // At 200% the bars count widget pixels.
    chart->ScrollTo(0, 0);
    chart->SetZoomPercent(200, 0, 0);
    EXPECT_EQ(across->maximum(), 2 * 2041 - w);

    // A box dragged past the right edge scrolls the view and the extent
    // grows with it.
    chart->ZoomReset();
    chart->ScrollTo(1500, 1000);
    chart->PaintToImage();
    PagePress(1950, 1430);
    ASSERT_EQ(chart->SelectedBox(), far);
    // The first move takes the box to the edge, the next ones the view on.
    Move(w - 4, W(1950, 1430).y);
    int x = chart->WidgetToPage(w - 4, 0).x;
    for (int i = 0; i < 12; ++i) {
        const TPoint before = chart->ScrollPosition();
        Move(w - 4, W(x, 1430).y);
        EXPECT_GT(chart->ScrollPosition().x, before.x) << i;
        x = chart->WidgetToPage(w - 4, 0).x;
    }
    Release(w - 4, W(x, 1430).y);
    EXPECT_GT(far->Frame.Left, 2000);
    EXPECT_EQ(far->Frame.Right - far->Frame.Left, 100);
    EXPECT_EQ(chart->ScrollExtent().Right, far->Frame.Right + 1 + 40);
    EXPECT_EQ(chart->FindBoxAt(far->Frame.Left + 10, far->Frame.Top + 10), far);
    // Boxes that leave take the extent back with them: the view stays, and
    // what lay beyond it and the boxes is no longer reached.
    far->Frame = TRect{100, 100, 200, 160};
    chart->Invalidate();
    const TPoint stays = chart->ScrollPosition();
    chart->PaintToImage();
    EXPECT_EQ(chart->ScrollPosition(), stays);
    EXPECT_EQ(chart->ScrollExtent(), (TRect{0, 0, stays.x + w, stays.y + h}));
    EXPECT_EQ(across->maximum(), stays.x);
    chart->ScrollBy(100, 100);
    EXPECT_EQ(chart->ScrollPosition(), stays);
    chart->ScrollTo(0, 0);
    EXPECT_EQ(chart->ScrollExtent(), (TRect{0, 0, w, h}));
    EXPECT_EQ(across->maximum(), 0);
    EXPECT_EQ(down->maximum(), 0);
}

TEST_F(ChartView, FitShowsEveryBoxAndTheViewPaintsThePage) {
    TurnOn();
    std::vector<clsBox*> boxes;
    for (int i = 0; i < 12; ++i) {
        const int x = 100 + (i % 4) * 900, y = 80 + (i / 4) * 1100;
        clsBox* b = Add("clsBoxRectangle", "", TRect{x, y, x + 120, y + 80});
        b->FillColor = 0x00C000;
        boxes.push_back(b);
    }
    chart->ZoomToFit();
    const QImage fit = chart->PaintToImage();
    EXPECT_LT(chart->ZoomPercent(), 25);
    EXPECT_GE(chart->ZoomPercent(), 10);
    for (clsBox* b : boxes) {
        const TPoint tl = W(b->Frame.Left, b->Frame.Top), br = W(b->Frame.Right, b->Frame.Bottom);
        EXPECT_GE(tl.x, 0);
        EXPECT_GE(tl.y, 0);
        EXPECT_LE(br.x, chart->ViewWidth());
        EXPECT_LE(br.y, chart->ViewHeight());
        const TPoint mid = W((b->Frame.Left + b->Frame.Right) / 2, (b->Frame.Top + b->Frame.Bottom) / 2);
        EXPECT_EQ(At(fit, mid.x, mid.y), 0x00C000u) << mid.x << "," << mid.y;
    }
    // Between the boxes, the white page.
    const TPoint gap = W(500, 600);
    EXPECT_EQ(At(fit, gap.x, gap.y), White);
}

TEST_F(ChartView, AtFullSizeTheViewShowsThePixelsOfThePlainDrawing) {
    chart->SetShowBoxName(true);
    chart->SetShowBoxText(true);
    chart->SetGridShow(true);
    chart->SetDrawFlags(true);
    // Faces and sizes carried from box to box, fills left in the brush,
    // lines in every direction, links, a group and a flag.
    clsBox* a = Add("clsBoxRectangle", "A", TRect{21, 21, 221, 101});
    a->FontSize = 16;
    a->Text = "Primo";
    clsBox* b = Add("clsBoxRectangle", "B", TRect{301, 41, 421, 131});
    b->FillColor = clDefault;
    b->Text = "Eredita";
    clsBox* c = Add("clsBoxGroup", "C", TRect{641, 401, 881, 521});
    c->FontName = "DejaVu Serif";
    c->ComputeState = 2;
    clsBox* d = Add("clsBoxRectangle", "D", TRect{1001, 801, 1161, 861});
    d->Text = "Lontano";
    Add("clsBoxLine", "L1", TRect{500, 500, 300, 700});
    Add("clsBoxLine", "L2", TRect{900, 100, 1200, 20});
    a->AddLink(c);
    d->AddLink(b);
    c->AddLink(d);
    chart->SetSelectedBox(c);

    TurnOn();
    for (const TPoint at : {TPoint{0, 0}, TPoint{230, 170}, TPoint{400, 300}}) {
        SCOPED_TRACE(testing::Message() << at.x << "," << at.y);
        chart->ScrollTo(at.x, at.y);
        const QImage shown = chart->PaintToImage();
        ASSERT_EQ(chart->ScrollPosition(), at);
        // The same graph, page and all, drawn plainly on a large bitmap.
        QImage plain(1400, 1100, QImage::Format_RGB32);
        plain.fill(Qt::white);
        {
            TCanvas canvas(&plain);
            canvas.Font()->Assign(*chart->Font());
            chart->CurrentGraf()->Draw(&canvas, true, true, true, true);
        }
        int differ = 0;
        for (int y = 0; y < chart->ViewHeight(); ++y)
            for (int x = 0; x < chart->ViewWidth(); ++x)
                differ += At(shown, x, y) != At(plain, x + at.x, y + at.y);
        EXPECT_EQ(differ, 0);
    }
    // A repaint after an edit in the scrolled view is the full repaint.
    chart->ScrollTo(230, 170);
    chart->Invalidate();
    chart->PaintToImage();
    PagePress(700, 450);
    ASSERT_EQ(chart->SelectedBox(), c);
    PageMove(720, 480);
    PageMove(760, 500);
    PageRelease(760, 500);
    const QImage partial = chart->PaintToImage();
    EXPECT_EQ(partial, FullImage());
    // A new link between boxes far apart shows at once, all along.
    chart->SetConnectBoxes(true);
    chart->SetSelectedBox(b);
    PagePress(360, 80, Qt::RightButton);
    PageMove(500, 400);
    PageMove(720, 480);
    PageRelease(720, 480, Qt::RightButton);
    ASSERT_EQ(b->LinksOut.GetCount(), 1);
    const QImage linked = chart->PaintToImage();
    EXPECT_EQ(linked, FullImage());
    EXPECT_NE(linked, partial);
}

TEST_F(ChartView, ShrunkFarTheBoxesDropWhatCannotBeSeen) {
    TurnOn();
    std::vector<clsBox*> boxes;
    for (int i = 0; i < 40; ++i) {
        const int x = 100 + (i % 8) * 600, y = 100 + (i / 8) * 700;
        clsBox* b = Add("clsBoxRectangle", "Nome", TRect{x, y, x + 200, y + 120});
        b->Text = "Testo lungo";
        b->FillColor = (i % 2) ? 0x00C000 : 0xC00000;
        if (i > 0) boxes.back()->AddLink(b);
        boxes.push_back(b);
    }
    Add("clsBoxLine", "L", TRect{5000, 100, 100, 3500});
    chart->SetZoomPercent(10, 0, 0);
    chart->SetShowBoxName(true);
    chart->SetShowBoxText(true);
    const QImage withTexts = chart->PaintToImage();
    chart->SetShowBoxName(false);
    chart->SetShowBoxText(false);
    EXPECT_EQ(chart->PaintToImage(), withTexts);
    // Each box still shows in its fill, where it lies.
    for (clsBox* b : boxes) {
        const TPoint mid = W((b->Frame.Left + b->Frame.Right) / 2, (b->Frame.Top + b->Frame.Bottom) / 2);
        EXPECT_EQ(At(withTexts, mid.x, mid.y), b->FillColor);
    }
    // At 100% the same boxes show their names again.
    chart->SetShowBoxName(true);
    chart->ZoomReset();
    chart->ScrollTo(0, 0);
    const QImage full = chart->PaintToImage();
    chart->SetShowBoxName(false);
    EXPECT_NE(chart->PaintToImage(), full);
}
