// Editing several boxes and links through the scrolled and zoomed view: the
// gestures land on the same page points at every zoom and scroll, and what
// the selection draws over the chart shows where the page is in view.

#include "FlowChartFixture.h"

#include "quorgrafica/ChartLinks.h"

#include <vector>

using namespace quorgrafica;
using charttest::FlowChart;

namespace {

using Boxes = std::vector<clsBox*>;

class ViewSelection : public FlowChart {
protected:
    void SetUp() override {
        FlowChart::SetUp();
        form->SetBounds(0, 0, 820, 620);
        chart->SetBounds(0, 0, 800, 600);
        chart->SetViewEnabled(true);
        chart->SetMultiSelect(true);
        chart->SetPointerTool(true);
    }

    TPoint W(int x, int y) { return chart->PageToWidget(x, y); }
    void PagePress(int x, int y, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const TPoint p = W(x, y);
        Press(p.x, p.y, Qt::LeftButton, mods);
    }
    void PageMove(int x, int y) {
        const TPoint p = W(x, y);
        Move(p.x, p.y);
    }
    void PageRelease(int x, int y) {
        const TPoint p = W(x, y);
        Release(p.x, p.y);
    }

    // Pixels of colour in the widget rectangle around the page point.
    int Count(const QImage& image, TPoint page, int reach, QColor colour) {
        const TPoint c = W(page.x, page.y);
        int n = 0;
        for (int x = c.x - reach; x <= c.x + reach; ++x)
            for (int y = c.y - reach; y <= c.y + reach; ++y)
                if (image.rect().contains(x, y) && QColor(image.pixel(x, y)) == colour) ++n;
        return n;
    }
};

TEST_F(ViewSelection, BandShiftClickMoveAndLinkLandOnThePageAtEveryZoomAndScroll) {
    struct View {
        int percent, x, y;
    };
    // Page points are multiples of 20: whole widget pixels in every view,
    // and none near an edge, where a drag would scroll.
    const View views[] = {{100, 0, 0}, {200, 150, 150}, {50, 0, 0}, {150, 100, 100}, {25, 0, 0}};
    const QColor bandColour(Qt::black);
    const QColor setColour(0x00, 0x78, 0xD7);
    const QColor linkColour(0xFF, 0xA5, 0x00);
    std::vector<std::vector<TRect>> frames;
    for (const View& v : views) {
        SCOPED_TRACE(testing::Message() << v.percent << "% at " << v.x << "," << v.y);
        chart->ClearBoxes();
        clsBox* a = Add("clsBoxRectangle", "A", TRect{201, 201, 261, 241});
        clsBox* b = Add("clsBoxRectangle", "B", TRect{321, 201, 381, 241});
        clsBox* c = Add("clsBoxRectangle", "C", TRect{201, 331, 261, 371});
        // A far box makes the page larger than the view.
        clsBox* far = Add("clsBoxRectangle", "Far", TRect{1901, 1401, 1951, 1451});
        a->AddLink(b);
        chart->Invalidate();
        chart->ScrollTo(0, 0);
        chart->SetZoomPercent(v.percent, 0, 0);
        chart->ScrollTo(v.x, v.y);
        chart->PaintToImage();
        ASSERT_EQ(chart->ZoomPercent(), v.percent);
        ASSERT_EQ(chart->ScrollPosition(), (TPoint{v.x, v.y}));

        // The band, drawn where its page corners show while dragged.
        PagePress(180, 180);
        PageMove(240, 300);
        PageMove(280, 380);
        ASSERT_EQ(chart->InputState(), qfcSelectBand);
        const QImage banded = Image();
        EXPECT_GT(Count(banded, {180, 280}, 4, bandColour), 0);
        EXPECT_GT(Count(banded, {280, 300}, 4, bandColour), 0);
        PageRelease(280, 380);
        EXPECT_EQ(chart->SelectedBoxes(), (Boxes{a, c}));
        EXPECT_EQ(Count(Image(), {180, 280}, 4, bandColour), 0);

        // Shift+click adds B; the frames of the others show round them.
        PagePress(340, 220, Qt::ShiftModifier);
        PageRelease(340, 220);
        EXPECT_EQ(chart->SelectedBoxes(), (Boxes{a, b, c}));
        EXPECT_EQ(chart->SelectedBox(), b);
        const QImage framed = Image();
        EXPECT_GT(Count(framed, {201, 220}, 4, setColour), 0);
        EXPECT_GT(Count(framed, {230, 371}, 4, setColour), 0);
        EXPECT_EQ(Count(framed, {100, 100}, 4, setColour), 0);

        // The three move together by whole cells.
        PagePress(230, 220);
        ASSERT_EQ(chart->InputState(), qfcMoveBox);
        PageMove(260, 240);
        PageMove(290, 260);
        PageRelease(290, 260);
        EXPECT_EQ(chart->SelectedBoxes(), (Boxes{a, b, c}));
        frames.push_back({a->Frame, b->Frame, c->Frame, far->Frame});
        // The hit tests find them where they now lie.
        EXPECT_EQ(chart->FindBoxAt(b->Frame.Left + 5, b->Frame.Top + 5), b);
        EXPECT_EQ(chart->FindBoxAt(c->Frame.Left + 5, c->Frame.Bottom - 5), c);
        EXPECT_EQ(chart->FindBoxAt(205, 205), nullptr);

        // A click on the link, between the boxes, selects it, drawn there.
        const TRect line = LinkLine(*chart->CurrentGraf(), *a, *b);
        const TPoint middle{(line.Left + line.Right) / 2, (line.Top + line.Bottom) / 2};
        PagePress(middle.x, middle.y);
        PageRelease(middle.x, middle.y);
        EXPECT_EQ(chart->SelectedLink(), (LinkRef{a, b}));
        EXPECT_TRUE(chart->SelectedBoxes().empty());
        EXPECT_GT(Count(Image(), middle, 2, linkColour), 0);
        // Beside it, nothing.
        PagePress(middle.x, middle.y + 40);
        PageRelease(middle.x, middle.y + 40);
        EXPECT_FALSE(chart->SelectedLink());

        // Where a paste at the pointer would go.
        PageMove(500, 320);
        EXPECT_EQ(chart->LastPointer(), (TPoint{500, 320}));
    }
    const std::vector<TRect> expected{TRect{261, 241, 321, 281}, TRect{381, 241, 441, 281},
                                      TRect{261, 371, 321, 411}, TRect{1901, 1401, 1951, 1451}};
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], expected) << i;
}

TEST_F(ViewSelection, ABandDraggedPastTheEdgeScrollsAndTakesTheBoxesItReaches) {
    clsBox* a = Add("clsBoxRectangle", "A", TRect{201, 201, 261, 241});
    clsBox* d = Add("clsBoxRectangle", "D", TRect{601, 201, 661, 241});
    Add("clsBoxRectangle", "Far", TRect{1901, 1401, 1951, 1451});
    chart->Invalidate();
    chart->SetZoomPercent(200, 0, 0);
    chart->ScrollTo(150, 150);
    chart->PaintToImage();
    ASSERT_GT(W(661, 0).x, chart->ViewWidth());
    PagePress(180, 180);
    const int edge = chart->ViewWidth() - 2, y = W(0, 260).y;
    for (int i = 0; i < 30; ++i)
        Move(edge, y);
    EXPECT_GT(chart->ScrollPosition().x, 300);
    EXPECT_EQ(chart->ScrollPosition().y, 150);
    const TPoint end = chart->WidgetToPage(edge, y);
    ASSERT_GT(end.x, 661);
    // The band, drawn from its page corner now off the view's left.
    EXPECT_GT(Count(Image(), {end.x, 220}, 4, QColor(Qt::black)), 0);
    Release(edge, y);
    EXPECT_EQ(chart->SelectedBoxes(), (Boxes{a, d}));
}

TEST_F(ViewSelection, GuidesCrossTheViewAtTheirPagePlace) {
    chart->CurrentGraf()->GridAlign = false;
    clsBox* a = Add("clsBoxRectangle", "A", TRect{200, 200, 260, 240});
    Add("clsBoxRectangle", "B", TRect{400, 400, 460, 440});
    chart->Invalidate();
    chart->SetZoomPercent(200, 0, 0);
    chart->ScrollTo(150, 150);
    chart->PaintToImage();
    PagePress(230, 220);
    ASSERT_EQ(chart->InputState(), qfcMoveBox);
    // Left edges 2 pixels apart: A snaps onto B's and a guide shows.
    PageMove(428, 300);
    EXPECT_EQ(a->Frame.Left, 400);
    const QImage image = Image();
    const QColor guide(0xFF, 0x00, 0xFF);
    const int x = W(400, 0).x;
    int onGuide = 0;
    for (int y = 0; y < chart->ViewHeight(); ++y)
        if (QColor(image.pixel(x, y)) == guide) ++onGuide;
    // Dashed across the whole height of the view.
    EXPECT_GT(onGuide, chart->ViewHeight() / 4);
    PageRelease(428, 300);
    const QImage released = FullImage();
    int after = 0;
    for (int y = 0; y < chart->ViewHeight(); ++y)
        if (QColor(released.pixel(x, y)) == guide) ++after;
    EXPECT_EQ(after, 0);
}

} // namespace
