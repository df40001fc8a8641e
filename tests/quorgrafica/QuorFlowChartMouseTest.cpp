// Mouse editing of the flowchart component, driven through its widget.

#include "FlowChartFixture.h"

#include "platform/graphics/Canvas.h"

#include <vector>

using namespace quorgrafica;
using charttest::At;
using charttest::Count;
using charttest::CountNot;
using charttest::FlowChart;

namespace {

constexpr TColor White = 0xFFFFFF;

struct FrameEvents {
    std::vector<clsBox*> boxes;
    std::vector<TRect> frames;
    void Attach(TQuorFlowChart* chart) {
        chart->OnBoxFrameChanged = [this](TObject*, clsBox* box) {
            boxes.push_back(box);
            frames.push_back(box->Frame);
        };
    }
};

} // namespace

TEST_F(FlowChart, CheckBoxMarginReadsTheBandsOfTheSelectedBox) {
    clsBox* box = Add("clsBoxRectangle", "A", TRect{100, 100, 200, 160});
    // No selected box: the current state, offset untouched.
    chart->FGrabOffset = TPoint{7, 7};
    EXPECT_EQ(chart->CheckBoxMargin(150, 130), qfcNothing);
    EXPECT_EQ(chart->FGrabOffset, (TPoint{7, 7}));
    chart->SetSelectedBox(box);
    struct Case {
        int x, y;
        InputStates state;
    };
    const Case cases[] = {
        {100, 100, qfcResizeNW}, {150, 105, qfcResizeN},  {199, 100, qfcResizeNE},
        {194, 130, qfcResizeE},  {194, 154, qfcResizeSE}, {150, 154, qfcResizeS},
        {100, 159, qfcResizeSW}, {105, 130, qfcResizeW},  {150, 130, qfcMoveBox},
        {106, 106, qfcMoveBox},  {193, 153, qfcMoveBox},  {200, 160, qfcResizeSE},
        {201, 130, qfcNothing},  {99, 130, qfcNothing},   {150, 161, qfcNothing},
        {150, 99, qfcNothing}};
    for (const Case& c : cases) {
        EXPECT_EQ(chart->CheckBoxMargin(c.x, c.y), c.state) << c.x << "," << c.y;
        // The offset is recorded inside the box or not.
        EXPECT_EQ(chart->FGrabOffset, (TPoint{c.x - 100, c.y - 100}));
    }
    // Wider bands overlap: the top band wins over the bottom one, the left
    // over the right.
    chart->SetResizeBorderWidth(40);
    EXPECT_EQ(chart->CheckBoxMargin(150, 130), qfcResizeN);
    chart->SetResizeBorderWidth(60);
    EXPECT_EQ(chart->CheckBoxMargin(150, 130), qfcResizeNW);
    EXPECT_STREQ(InputStateName(qfcResizeSW), "qfcResizeSW");
    EXPECT_STREQ(InputStateName(qfcConnect), "qfcConnect");
    EXPECT_STREQ(InputStateName(qfcSelectBand), "qfcSelectBand");
    EXPECT_STREQ(InputStateName(static_cast<InputStates>(13)), "");
}

TEST_F(FlowChart, HoverChoosesTheCursorAndSelectsOnlyWhenAsked) {
    clsBox* a = Add("clsBoxRectangle", "A", TRect{100, 100, 200, 160});
    clsBox* b = Add("clsBoxRectangle", "B", TRect{250, 100, 350, 160});
    Hover(150, 130);
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    EXPECT_EQ(chart->Cursor(), crArrow);

    chart->SetSelectOnMouseMove(true);
    const struct {
        int x, y;
        TCursor cursor;
    } cases[] = {{150, 130, crHandPoint}, {100, 100, crSizeNWSE}, {195, 155, crSizeNWSE},
                 {150, 102, crSizeNS},    {150, 158, crSizeNS},   {198, 101, crSizeNESW},
                 {101, 158, crSizeNESW},  {198, 130, crSizeWE},   {101, 130, crSizeWE}};
    for (const auto& c : cases) {
        Hover(c.x, c.y);
        EXPECT_EQ(chart->SelectedBox(), a);
        EXPECT_EQ(chart->Cursor(), c.cursor) << c.x << "," << c.y;
    }
    // Leaving the box keeps it selected; another box takes over.
    Hover(220, 200);
    EXPECT_EQ(chart->SelectedBox(), a);
    EXPECT_EQ(chart->Cursor(), crArrow);
    Hover(300, 130);
    EXPECT_EQ(chart->SelectedBox(), b);
    EXPECT_EQ(chart->selections, (std::vector<clsBox*>{a, b}));
    EXPECT_EQ(chart->InputState(), qfcNothing);
}

TEST_F(FlowChart, ResizingAndMovingFollowThePointerUnaligned) {
    chart->SetGridAlignTo(false);
    EXPECT_FALSE(chart->CurrentGraf()->GridAlign);
    FrameEvents events;
    events.Attach(chart);
    struct Case {
        int px, py;      // press
        InputStates state;
        int mx, my;      // move
        TRect frame;     // while the pointer moves
    };
    const Case cases[] = {
        {198, 130, qfcResizeE, 250, 140, {100, 100, 250, 160}},
        {102, 102, qfcResizeNW, 80, 90, {80, 90, 200, 160}},
        {150, 102, qfcResizeN, 170, 70, {100, 70, 200, 160}},
        {198, 102, qfcResizeNE, 230, 80, {100, 80, 230, 160}},
        {198, 158, qfcResizeSE, 260, 190, {100, 100, 260, 190}},
        {150, 158, qfcResizeS, 10, 200, {100, 100, 200, 200}},
        {102, 158, qfcResizeSW, 60, 180, {60, 100, 200, 180}},
        {102, 130, qfcResizeW, 130, 10, {130, 100, 200, 160}},
        {150, 130, qfcMoveBox, 170, 135, {120, 105, 220, 165}},
    };
    for (const Case& c : cases) {
        chart->RootGraf()->Clear();
        clsBox* box = Add("clsBoxRectangle", "A", TRect{100, 100, 200, 160});
        events.boxes.clear();
        Press(c.px, c.py);
        ASSERT_EQ(chart->InputState(), c.state) << InputStateName(c.state);
        EXPECT_EQ(chart->SelectedBox(), box);
        Move(c.mx, c.my);
        EXPECT_EQ(box->Frame, c.frame) << InputStateName(c.state);
        EXPECT_EQ(chart->FAnchor, (TPoint{c.frame.Left, c.frame.Top}));
        EXPECT_EQ(chart->FMovePoint, (TPoint{c.frame.Right, c.frame.Bottom}));
        // The cursor stays an arrow while dragging; moves keep the state.
        EXPECT_EQ(chart->Cursor(), crArrow);
        EXPECT_EQ(chart->InputState(), c.state);
        Release(c.mx, c.my);
        EXPECT_EQ(chart->InputState(), qfcNothing);
        EXPECT_EQ(box->Frame, c.frame);
        EXPECT_EQ(events.boxes, (std::vector<clsBox*>{box})) << InputStateName(c.state);
    }
}

TEST_F(FlowChart, ResizingAndMovingSnapToTheGridWhenAligned) {
    // A page of 400 x 300 in 40 x 30 cells: aligned coordinates end in 1.
    clsGraf* graf = chart->CurrentGraf();
    ASSERT_EQ(graf->Columns, 40);
    ASSERT_EQ(graf->AlignX(257), 251);
    clsBox* box = Add("clsBoxRectangle", "A", TRect{101, 101, 201, 161});
    Press(199, 130);
    ASSERT_EQ(chart->InputState(), qfcResizeE);
    // The band's corners start at the aligned press point.
    EXPECT_EQ(chart->FAnchor, (TPoint{191, 131}));
    Move(257, 133);
    EXPECT_EQ(box->Frame, (TRect{101, 101, 251, 161}));
    Release(257, 133);

    // Resizing the top-left corner; then moving keeps the grab offset and
    // snaps the top-left corner.
    Press(103, 104);
    ASSERT_EQ(chart->InputState(), qfcResizeNW);
    Move(87, 76);
    EXPECT_EQ(box->Frame, (TRect{81, 71, 251, 161}));
    Release(87, 76);
    Press(150, 120);
    ASSERT_EQ(chart->InputState(), qfcMoveBox);
    EXPECT_EQ(chart->FGrabOffset, (TPoint{69, 49}));
    Move(178, 133);
    EXPECT_EQ(box->Frame, (TRect{101, 81, 271, 171}));
    Release(178, 133);
    // AllineaXY does what the moves do; with alignment off it changes nothing.
    int x = 178, y = 133;
    chart->AllineaXY(x, y);
    EXPECT_EQ(x, 171);
    EXPECT_EQ(y, 131);
    chart->SetGridAlignTo(false);
    x = 178, y = 133;
    chart->AllineaXY(x, y);
    EXPECT_EQ(x, 178);
    EXPECT_EQ(y, 133);
}

TEST_F(FlowChart, DrawingOnEmptySpaceCreatesABoxOfTheChosenKind) {
    chart->SetShadowWidth(5);
    chart->SetShadowColor(0x123456);
    chart->SetBoxFillColor(0x00FFFF);
    chart->SetBoxId(7);
    int inGraphAtEvent = -1;
    clsBox* announced = nullptr;
    chart->OnAfterNewBox = [&](TObject* sender, clsBox* box, bool& cancel) {
        EXPECT_EQ(sender, chart);
        EXPECT_FALSE(cancel);
        inGraphAtEvent = chart->CurrentGraf()->GetCount();
        announced = box;
        box->Name = "Nuovo";
    };
    int changes = 0;
    chart->OnChange = [&](TObject*) { ++changes; };
    FrameEvents events;
    events.Attach(chart);

    Press(43, 36);
    EXPECT_EQ(chart->InputState(), qfcCreateBox);
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    Move(80, 60);
    EXPECT_EQ(chart->Cursor(), crCross);
    Move(127, 95);
    Release(127, 95);
    EXPECT_EQ(chart->InputState(), qfcNothing);
    ASSERT_EQ(chart->CurrentGraf()->GetCount(), 1);
    clsBox* box = chart->CurrentGraf()->BoxAt(0);
    EXPECT_EQ(box, announced);
    EXPECT_EQ(inGraphAtEvent, 0);
    EXPECT_STREQ(box->TypeName(), "clsBoxRectangle");
    EXPECT_EQ(box->Frame, (TRect{41, 31, 121, 91}));
    EXPECT_EQ(box->ShadowWidth, 5);
    EXPECT_EQ(box->ShadowColor, 0x123456);
    EXPECT_EQ(box->FillColor, 0x00FFFF);
    EXPECT_EQ(chart->GetBox("NUOVO"), box);
    EXPECT_EQ(chart->BoxId(), 8);
    EXPECT_EQ(chart->GetBoxId(), 8);
    EXPECT_EQ(changes, 1);
    // The new box is not selected, so no frame event.
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    EXPECT_TRUE(events.boxes.empty());

    // Towards the upper left, or within one cell: nothing.
    Drag(300, 200, 250, 150);
    Drag(300, 200, 305, 204);
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 1);

    // A handler that refuses leaves the graph and BoxId as they were; one
    // that selects the new box gets the frame event for it.
    chart->OnAfterNewBox = [](TObject*, clsBox*, bool& cancel) { cancel = true; };
    Drag(200, 150, 300, 250);
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 1);
    EXPECT_EQ(chart->BoxId(), 8);
    EXPECT_EQ(changes, 1);
    chart->OnAfterNewBox = [&](TObject*, clsBox* b, bool&) { chart->SetSelectedBox(b); };
    chart->SetBoxStyle("clsBoxLine");
    Drag(200, 150, 300, 250);
    ASSERT_EQ(chart->CurrentGraf()->GetCount(), 2);
    EXPECT_STREQ(chart->CurrentGraf()->BoxAt(1)->TypeName(), "clsBoxLine");
    EXPECT_EQ(events.boxes, (std::vector<clsBox*>{chart->CurrentGraf()->BoxAt(1)}));

    // A kind that is not registered makes nothing.
    chart->SetBoxStyle("clsBoxNessuno");
    Drag(20, 200, 120, 280);
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 2);
    EXPECT_EQ(chart->BoxId(), 9);
}

TEST_F(FlowChart, CreateBoxInCharactersAndItsRefusals) {
    chart->SetGridAlignTo(false);
    clsBox* box = chart->CreateBox("Celle", TRect{2, 3, 12, 8}, true);
    ASSERT_NE(box, nullptr);
    // 10 pixels to a cell, one pixel past the grid line.
    EXPECT_EQ(box->Frame, (TRect{21, 31, 121, 81}));
    EXPECT_EQ(box->Name.CStr(), std::string("Celle"));
    EXPECT_EQ(chart->GetBox("celle"), box);
    // Not selected, nothing repainted for it.
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    const int paints = chart->paints;
    chart->PaintToImage();
    EXPECT_EQ(chart->paints, paints);
    bool raised = false;
    chart->OnAfterNewBox = [&](TObject*, clsBox*, bool&) { raised = true; };
    EXPECT_EQ(chart->CreateBox("Vuoto", TRect{50, 50, 50, 80}, false), nullptr);
    EXPECT_EQ(chart->CreateBox("Rovescio", TRect{50, 80, 90, 60}, false), nullptr);
    EXPECT_FALSE(raised);
    EXPECT_EQ(chart->BoxId(), 1);
}

TEST_F(FlowChart, ARightDragLinksTheSelectedBoxToAnother) {
    clsBox* a = Add("clsBoxRectangle", "A", TRect{20, 20, 100, 80});
    clsBox* b = Add("clsBoxRectangle", "B", TRect{200, 150, 300, 220});
    int changes = 0;
    chart->OnChange = [&](TObject*) { ++changes; };
    Click(50, 50);
    ASSERT_EQ(chart->SelectedBox(), a);

    // Without ConnectBoxes a right press does nothing.
    Press(50, 50, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcNothing);
    Move(250, 180);
    Release(250, 180, Qt::RightButton);
    EXPECT_EQ(a->LinksOut.GetCount(), 0);

    chart->SetConnectBoxes(true);
    Press(50, 50, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcConnect);
    Move(150, 120);
    Move(250, 180);
    EXPECT_EQ(chart->FMovePoint, (TPoint{251, 181}));
    EXPECT_EQ(chart->InputState(), qfcConnect);
    Release(250, 180, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcNothing);
    EXPECT_EQ(charttest::Names(a->LinksOut), (std::vector<std::string>{"B"}));
    EXPECT_EQ(charttest::Names(b->LinksIn), (std::vector<std::string>{"A"}));
    EXPECT_EQ(chart->SelectedBox(), a);
    EXPECT_EQ(changes, 1);

    // On empty space or on the box itself: no link, and the state ends.
    Drag(50, 50, 350, 280, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcNothing);
    Drag(50, 50, 60, 60, Qt::RightButton);
    EXPECT_EQ(a->LinksOut.GetCount(), 1);
    EXPECT_EQ(a->LinksIn.GetCount(), 0);
    EXPECT_EQ(changes, 1);

    // With no box selected a right press does nothing.
    Click(380, 10);
    ASSERT_EQ(chart->SelectedBox(), nullptr);
    Press(250, 180, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcNothing);
    Release(50, 50, Qt::RightButton);
    EXPECT_EQ(b->LinksOut.GetCount(), 0);
}

TEST_F(FlowChart, AReleaseEndsAConnectionWhoseBoxHasGone) {
    chart->SetConnectBoxes(true);
    Add("clsBoxRectangle", "A", TRect{20, 20, 100, 80});
    clsBox* b = Add("clsBoxRectangle", "B", TRect{200, 150, 300, 220});
    Click(50, 50);
    Press(50, 50, Qt::RightButton);
    ASSERT_EQ(chart->InputState(), qfcConnect);
    Move(250, 180);
    chart->RemoveBox();
    ASSERT_EQ(chart->SelectedBox(), nullptr);
    Release(250, 180, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcNothing);
    EXPECT_EQ(b->LinksIn.GetCount(), 0);
    // Later presses work again.
    Press(250, 180);
    EXPECT_EQ(chart->InputState(), qfcMoveBox);
    EXPECT_EQ(chart->SelectedBox(), b);
    Release(250, 180);
}

TEST_F(FlowChart, ReadOnlyCommitsNothingButDragsStillMoveBoxes) {
    chart->SetReadOnly(true);
    chart->SetConnectBoxes(true);
    chart->SetGridAlignTo(false);
    clsBox* a = Add("clsBoxRectangle", "A", TRect{20, 20, 100, 80});
    Add("clsBoxRectangle", "B", TRect{200, 150, 300, 220});
    FrameEvents events;
    events.Attach(chart);
    int made = 0;
    chart->OnAfterNewBox = [&](TObject*, clsBox*, bool&) { ++made; };

    Drag(120, 100, 180, 140);
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 2);
    EXPECT_EQ(made, 0);

    Press(50, 50);
    ASSERT_EQ(chart->InputState(), qfcMoveBox);
    Move(60, 70);
    EXPECT_EQ(a->Frame, (TRect{30, 40, 110, 100}));
    Release(60, 70);
    EXPECT_EQ(a->Frame, (TRect{30, 40, 110, 100}));
    EXPECT_EQ(chart->InputState(), qfcNothing);
    EXPECT_TRUE(events.boxes.empty());

    Drag(60, 70, 250, 180, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcNothing);
    EXPECT_EQ(a->LinksOut.GetCount(), 0);
}

TEST_F(FlowChart, AltWithTheLeftButtonDrawsOverABox) {
    clsBox* a = Add("clsBoxRectangle", "A", TRect{21, 21, 201, 201});
    Click(100, 100);
    ASSERT_EQ(chart->SelectedBox(), a);
    Press(50, 50, Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    EXPECT_EQ(chart->InputState(), qfcCreateBox);
    Move(150, 150);
    Release(150, 150);
    ASSERT_EQ(chart->CurrentGraf()->GetCount(), 2);
    EXPECT_EQ(chart->CurrentGraf()->BoxAt(1)->Frame, (TRect{51, 51, 151, 151}));
    EXPECT_EQ(a->Frame, (TRect{21, 21, 201, 201}));
}

TEST_F(FlowChart, PlainClicksRaiseClickEventsButNoFrameEvent) {
    clsBox* a = Add("clsBoxRectangle", "A", TRect{21, 21, 201, 201});
    FrameEvents events;
    events.Attach(chart);
    std::vector<clsBox*> clicked;
    chart->OnBoxClick = [&](TObject* sender, clsBox* box) {
        EXPECT_EQ(sender, chart);
        clicked.push_back(box);
    };
    int platformClicks = 0, downs = 0, moves = 0, ups = 0;
    chart->OnClick = [&](TObject*) { ++platformClicks; };
    chart->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    chart->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
    chart->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    Click(100, 100);
    EXPECT_EQ(chart->SelectedBox(), a);
    EXPECT_EQ(clicked, (std::vector<clsBox*>{a}));
    EXPECT_TRUE(events.boxes.empty());
    Click(300, 250);
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    EXPECT_EQ(clicked.size(), 1u);
    Hover(10, 10);
    // The paint box's own press and move events run; its click and release
    // events never do.
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(ups, 0);
    EXPECT_EQ(platformClicks, 0);
}

TEST_F(FlowChart, APressDuringADragOnlyResetsTheBand) {
    chart->SetGridAlignTo(false);
    clsBox* a = Add("clsBoxRectangle", "A", TRect{20, 20, 100, 80});
    FrameEvents events;
    events.Attach(chart);
    Press(50, 50);
    Move(70, 60);
    ASSERT_EQ(a->Frame, (TRect{40, 30, 120, 90}));
    Press(200, 200, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcMoveBox);
    EXPECT_EQ(chart->FAnchor, (TPoint{200, 200}));
    EXPECT_EQ(chart->FMovePoint, (TPoint{200, 200}));
    EXPECT_EQ(chart->SelectedBox(), a);
    // Any release ends the drag; the moved box is announced although the
    // band was reset.
    Release(200, 200, Qt::RightButton);
    EXPECT_EQ(chart->InputState(), qfcNothing);
    EXPECT_EQ(events.boxes, (std::vector<clsBox*>{a}));
    Release(70, 60);
    EXPECT_EQ(events.boxes.size(), 1u);
    EXPECT_EQ(a->Frame, (TRect{40, 30, 120, 90}));
}

TEST_F(FlowChart, ADragPastTheOppositeEdgeIsNormalisedAtTheRelease) {
    chart->SetGridAlignTo(false);
    clsBox* a = Add("clsBoxRectangle", "A", TRect{100, 100, 200, 160});
    FrameEvents events;
    events.Attach(chart);
    int changes = 0;
    chart->OnChange = [&](TObject*) { ++changes; };

    // A right edge dragged past the left one stops; a left edge dragged
    // past the right one leaves the frame inside out while dragging.
    Press(198, 130);
    Move(60, 130);
    EXPECT_EQ(a->Frame, (TRect{100, 100, 200, 160}));
    Release(60, 130);
    events.frames.clear();
    Press(102, 130);
    ASSERT_EQ(chart->InputState(), qfcResizeW);
    Move(240, 130);
    EXPECT_EQ(a->Frame, (TRect{240, 100, 200, 160}));
    Release(240, 130);
    EXPECT_EQ(a->Frame, (TRect{200, 100, 240, 160}));
    ASSERT_EQ(events.frames.size(), 1u);
    EXPECT_EQ(events.frames[0], (TRect{200, 100, 240, 160}));
    EXPECT_EQ(changes, 1);
    // It can be found and dragged again.
    EXPECT_EQ(chart->FindBoxAt(220, 130), a);

    // The top-left corner dragged onto the right edge leaves no width: the
    // frame of the press comes back, with no event.
    Press(202, 102);
    ASSERT_EQ(chart->InputState(), qfcResizeNW);
    Move(240, 120);
    EXPECT_EQ(a->Frame, (TRect{240, 120, 240, 160}));
    Release(240, 120);
    EXPECT_EQ(a->Frame, (TRect{200, 100, 240, 160}));
    EXPECT_EQ(events.frames.size(), 1u);
    EXPECT_EQ(changes, 1);

    // A line's frame is its two ends, in either order: its start dragged
    // past its end keeps the frame as it is, and is announced.
    chart->SetSelectedBox(nullptr);
    clsBox* line = Add("clsBoxLine", "L", TRect{250, 200, 350, 250});
    Press(252, 201);
    ASSERT_EQ(chart->SelectedBox(), line);
    ASSERT_EQ(chart->InputState(), qfcResizeNW);
    Move(390, 210);
    Release(390, 210);
    EXPECT_EQ(line->Frame, (TRect{390, 210, 350, 250}));
    EXPECT_EQ(events.boxes.back(), line);
    EXPECT_EQ(changes, 2);
    // A line drawn upwards lies outside its own crossed frame: a press on
    // it still moves it.
    line->Frame = TRect{250, 250, 350, 200};
    Press(300, 225);
    EXPECT_EQ(chart->SelectedBox(), line);
    EXPECT_EQ(chart->InputState(), qfcMoveBox);
    Release(300, 225);
}

TEST_F(FlowChart, AReleaseOnAComponentWithoutWidthKeepsTheState) {
    Press(50, 50);
    ASSERT_EQ(chart->InputState(), qfcCreateBox);
    Move(120, 120);
    chart->SetWidth(0);
    Release(120, 120);
    EXPECT_EQ(chart->InputState(), qfcCreateBox);
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 0);
    chart->SetWidth(400);
    Press(120, 120);
    Release(120, 120);
    EXPECT_EQ(chart->InputState(), qfcNothing);
}

TEST_F(FlowChart, TheBandInvertsAndDrawingItTwiceRestoresEveryPixel) {
    chart->SetShowBoxName(true);
    clsBox* a = Add("clsBoxRectangle", "Alfa", TRect{20, 20, 150, 90});
    a->FillColor = 0x00FFFF;
    Add("clsBoxRectangle", "Beta", TRect{200, 150, 300, 220})->AddLink(a);
    const QImage before = FullImage();
    // The band's corners as a drag leaves them: a rectangle, and the
    // straight line of a connection.
    chart->FAnchor = TPoint{10, 15};
    chart->FMovePoint = TPoint{250, 180};
    chart->Selezione();
    QImage band = Image();
    int inverted = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            if (band.pixel(x, y) == before.pixel(x, y)) continue;
            ++inverted;
            EXPECT_EQ(band.pixel(x, y) & 0xFFFFFF, ~before.pixel(x, y) & 0xFFFFFF);
        }
    // Four sides, each corner once.
    EXPECT_EQ(inverted, 2 * 240 + 2 * 165);
    EXPECT_EQ(At(band, 10, 15), 0);
    EXPECT_EQ(At(band, 100, 180), 0);
    chart->Selezione();
    EXPECT_EQ(Image(), before);
    // The pen comes back as it was.
    EXPECT_EQ(chart->Canvas()->Pen()->Mode(), pmCopy);

    chart->SetConnectBoxes(true);
    chart->SetSelectedBox(a);
    Press(50, 50, Qt::RightButton);
    ASSERT_EQ(chart->InputState(), qfcConnect);
    const QImage start = Image();
    Move(260, 190);
    band = Image();
    EXPECT_GT(CountNot(band, TRect{0, 0, 400, 300}, White), CountNot(start, TRect{0, 0, 400, 300}, White));
    chart->Selezione();
    EXPECT_EQ(Image(), start);
    chart->Selezione();
    Release(260, 190, Qt::RightButton);
}

TEST_F(FlowChart, ADragShowsOnlyTheLatestBand) {
    Add("clsBoxRectangle", "A", TRect{20, 20, 150, 90});
    const QImage before = FullImage();
    Press(200, 120);
    Image();
    Move(300, 200);
    Move(350, 260);
    const QImage band = Image();
    // Only the band from the press to the pointer differs.
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool onBand = ((x == 201 || x == 351) && y >= 121 && y <= 261) ||
                                ((y == 121 || y == 261) && x >= 201 && x <= 351);
            if (!onBand) {
                ASSERT_EQ(band.pixel(x, y), before.pixel(x, y)) << x << "," << y;
            }
        }
    EXPECT_EQ(At(band, 280, 121), 0);
    Release(350, 260);
}

TEST_F(FlowChart, TheRepaintAfterAnEditMatchesAFullRepaint) {
    chart->SetShowBoxName(true);
    chart->SetShowBoxText(true);
    chart->SetDrawFlags(true);
    chart->SetConnectBoxes(true);
    chart->SetGridShow(true);
    clsBox* a = Add("clsBoxRectangle", "A", TRect{21, 21, 121, 81});
    clsBox* b = Add("clsBoxRectangle", "B", TRect{201, 151, 301, 221});
    clsBox* c = Add("clsBoxGroup", "C", TRect{251, 21, 361, 91});
    a->Text = "Primo";
    a->AddLink(b);
    c->AddLink(a);
    b->ComputeState = 2;
    a->FontSize = 14;
    FullImage();
    auto same = [&](const char* step) {
        const QImage partial = Image();
        EXPECT_EQ(partial, FullImage()) << step;
    };
    // Moving a box with links in and out, selecting another.
    Press(60, 50);
    same("press on A");
    Move(90, 130);
    Move(140, 170);
    Release(140, 170);
    same("move A");
    // A paint half-way through a drag.
    Press(250, 180);
    Move(230, 120);
    Image();
    Move(180, 60);
    Release(180, 60);
    same("move B, painted meanwhile");
    // Resizing, creating, linking, selecting on hover.
    Press(358, 88);
    Move(390, 140);
    Release(390, 140);
    same("resize C");
    Drag(10, 230, 90, 290);
    same("create");
    Click(300, 50);
    Drag(300, 50, 60, 260, Qt::RightButton);
    same("link");
    // A small box painted in full at a place between its start and its end.
    clsBox* d = Add("clsBoxRectangle", "D", TRect{11, 11, 31, 31});
    Press(20, 20);
    ASSERT_EQ(chart->SelectedBox(), d);
    Move(200, 250);
    FullImage();
    Move(380, 20);
    Release(380, 20);
    same("move D, painted whole meanwhile");
    chart->SetSelectOnMouseMove(true);
    Hover(180, 60);
    Click(390, 290);
    same("hover, then a click on empty space");
}
