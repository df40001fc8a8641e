// Lines drawn in every direction, moved and reshaped with the mouse.

#include "FlowChartFixture.h"

#include <vector>

using namespace quorgrafica;
using charttest::FlowChart;

namespace {

TRect Shifted(const TRect& r, int dx, int dy) {
    return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

struct Direction {
    const char* name;
    TRect frame; // first end (Left, Top), second end (Right, Bottom)
};

// The four diagonal directions of one line, centred on (200, 150).
const Direction Directions[] = {
    {"down-right", TRect{150, 110, 250, 190}},
    {"down-left", TRect{250, 110, 150, 190}},
    {"up-left", TRect{250, 190, 150, 110}},
    {"up-right", TRect{150, 190, 250, 110}},
};

} // namespace

TEST_F(FlowChart, LinesInEveryDirectionMoveAndKeepTheirEnds) {
    chart->SetGridAlignTo(false);
    std::vector<TRect> events;
    chart->OnBoxFrameChanged = [&](TObject*, clsBox* box) { events.push_back(box->Frame); };
    int changes = 0;
    chart->OnChange = [&](TObject*) { ++changes; };

    for (const Direction& d : Directions) {
        SCOPED_TRACE(d.name);
        chart->ClearBoxes();
        events.clear();
        changes = 0;
        clsBox* line = Add("clsBoxLine", "L", d.frame);
        const TRect f = d.frame;

        // A press on the middle moves the whole line, in its direction.
        Press(200, 150);
        ASSERT_EQ(chart->SelectedBox(), line);
        ASSERT_EQ(chart->InputState(), qfcMoveBox);
        Move(215, 160);
        EXPECT_EQ(line->Frame, Shifted(f, 15, 10));
        Move(230, 170);
        Release(230, 170);
        EXPECT_EQ(line->Frame, Shifted(f, 30, 20));
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0], Shifted(f, 30, 20));
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(chart->InputState(), qfcNothing);
        // It is found again where it now lies.
        EXPECT_EQ(chart->FindBoxAt(230, 170), line);

        // A press near the first end drags that end; the second stays.
        const TRect g = line->Frame;
        Press(g.Left + 2, g.Top - 3);
        ASSERT_EQ(chart->InputState(), qfcResizeNW);
        Move(g.Left - 20, g.Top + 7);
        Release(g.Left - 20, g.Top + 7);
        EXPECT_EQ(line->Frame, (TRect{g.Left - 20, g.Top + 7, g.Right, g.Bottom}));

        // A press near the second end drags it, here onto the first: a
        // line of no length is kept, not restored nor put in order.
        const TRect h = line->Frame;
        Press(h.Right - 1, h.Bottom + 2);
        ASSERT_EQ(chart->InputState(), qfcResizeSE);
        Move(h.Left, h.Top);
        Release(h.Left, h.Top);
        EXPECT_EQ(line->Frame, (TRect{h.Left, h.Top, h.Left, h.Top}));
        EXPECT_EQ(events.size(), 3u);
        EXPECT_EQ(changes, 3);

        // No click hits a line of no length, but its end is still grabbed
        // while it is selected, and drawn out again.
        EXPECT_EQ(chart->FindBoxAt(h.Left, h.Top), nullptr);
        Press(h.Left + 1, h.Top + 1);
        EXPECT_EQ(chart->SelectedBox(), line);
        ASSERT_EQ(chart->InputState(), qfcResizeSE);
        Move(f.Right, f.Bottom);
        Release(f.Right, f.Bottom);
        EXPECT_EQ(line->Frame, (TRect{h.Left, h.Top, f.Right, f.Bottom}));
        EXPECT_EQ(chart->CurrentGraf()->GetCount(), 1);
    }
}

TEST_F(FlowChart, LineDragsSnapAndReadOnlyKeepsTheDirection) {
    // Page 400 x 300 in 40 x 30 cells: aligned coordinates end in 1.
    for (const Direction& d : Directions) {
        SCOPED_TRACE(d.name);
        chart->ClearBoxes();
        chart->SetGridAlignTo(true);
        clsBox* line = Add("clsBoxLine", "L", d.frame);
        const TRect f = d.frame;
        // The grab point keeps its place on the line: the ends move by the
        // snapped shift of the first end.
        Press(200, 150);
        ASSERT_EQ(chart->InputState(), qfcMoveBox);
        Move(236, 177);
        Release(236, 177);
        const int ax = chart->CurrentGraf()->AlignX(f.Left + 36);
        const int ay = chart->CurrentGraf()->AlignY(f.Top + 27);
        EXPECT_EQ(line->Frame, Shifted(f, ax - f.Left, ay - f.Top));
        // An end goes to the aligned pointer.
        Press(line->Frame.Right, line->Frame.Bottom);
        ASSERT_EQ(chart->InputState(), qfcResizeSE);
        Move(317, 44);
        Release(317, 44);
        EXPECT_EQ(line->Frame.Right, 311);
        EXPECT_EQ(line->Frame.Bottom, 41);

        // Read only: the drag still moves the line, the release neither
        // announces it nor turns it round.
        chart->SetGridAlignTo(false);
        chart->SetReadOnly(true);
        line->Frame = f;
        int events = 0;
        chart->OnBoxFrameChanged = [&](TObject*, clsBox*) { ++events; };
        Press(200, 150);
        Move(180, 140);
        Release(180, 140);
        EXPECT_EQ(line->Frame, Shifted(f, -20, -10));
        EXPECT_EQ(events, 0);
        chart->SetReadOnly(false);
        chart->OnBoxFrameChanged = nullptr;
    }
}

TEST_F(FlowChart, HoverOverALineShowsWhatAPressWouldDo) {
    chart->SetGridAlignTo(false);
    clsBox* line = Add("clsBoxLine", "L", TRect{250, 110, 150, 190});
    clsBox* box = Add("clsBoxRectangle", "R", TRect{20, 20, 80, 80});
    chart->SetSelectedBox(line);
    const struct {
        int x, y;
        TCursor cursor;
    } cases[] = {{200, 150, crHandPoint}, {251, 108, crSizeAll}, {148, 191, crSizeAll},
                 {100, 150, crArrow},     {230, 180, crArrow}};
    for (const auto& c : cases) {
        Hover(c.x, c.y);
        EXPECT_EQ(chart->Cursor(), c.cursor) << c.x << "," << c.y;
    }
    // Rectangles keep their bands.
    chart->SetSelectedBox(box);
    Hover(21, 50);
    EXPECT_EQ(chart->Cursor(), crSizeWE);
    // A press just past the end of a line that is not selected misses it.
    chart->SetSelectedBox(nullptr);
    Press(253, 106);
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    EXPECT_EQ(chart->InputState(), qfcCreateBox);
    Release(253, 106);
}
