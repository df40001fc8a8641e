// The flowchart component's editing of several boxes at once, on its real
// widget: off by default, the band, Shift+click, moving the selected boxes
// together, and the selected link.

#include "FlowChartFixture.h"

#include "quorgrafica/ChartLinks.h"

namespace charttest {
namespace {

using quorgrafica::clsBox;
using quorgrafica::LinkRef;

using Boxes = std::vector<clsBox*>;

class Selection : public FlowChart {
protected:
    void SetUp() override {
        FlowChart::SetUp();
        // A page of 40 x 30 cells of 10 pixels: aligned edges end in 1.
        a = Add("clsBoxRectangle", "A", TRect{21, 21, 81, 61});
        b = Add("clsBoxRectangle", "B", TRect{121, 21, 181, 61});
        c = Add("clsBoxRectangle", "C", TRect{21, 151, 81, 191});
        chart->OnChange = [this](TObject*) { ++changes; };
        chart->OnBoxFrameChanged = [this](TObject*, clsBox* box) { framed.push_back(box); };
        chart->OnSelectionChange = [this](TObject*) { ++selectionChanges; };
    }
    void Wide() {
        chart->SetMultiSelect(true);
        chart->SetPointerTool(true);
    }

    clsBox *a = nullptr, *b = nullptr, *c = nullptr;
    int changes = 0;
    int selectionChanges = 0;
    Boxes framed;
};

TEST_F(Selection, OffByDefaultTheComponentKeepsItsOwnBehaviour) {
    EXPECT_FALSE(chart->MultiSelect());
    EXPECT_FALSE(chart->PointerTool());
    // A pointer tool alone changes nothing: a drag on empty space draws.
    chart->SetPointerTool(true);
    Click(50, 40);
    Press(150, 100, Qt::LeftButton, Qt::ShiftModifier);
    Release(150, 100);
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    Press(150, 40, Qt::LeftButton, Qt::ShiftModifier);
    Release(150, 40);
    EXPECT_EQ(chart->SelectedBox(), b);
    EXPECT_EQ(chart->SelectedBoxes(), Boxes{b});
    Drag(221, 121, 301, 201);
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 4);
    EXPECT_EQ(selectionChanges, 0);
}

TEST_F(Selection, BandShiftClickAndSelectAll) {
    Wide();
    // C is wholly inside, A only in part: C alone.
    Drag(10, 100, 100, 200);
    EXPECT_EQ(chart->SelectedBoxes(), Boxes{c});
    EXPECT_EQ(chart->SelectedBox(), c);
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 3);
    EXPECT_EQ(chart->InputState(), quorgrafica::qfcNothing);
    // The band is drawn while it is dragged, and gone after.
    Press(5, 5);
    Move(100, 100);
    EXPECT_EQ(chart->InputState(), quorgrafica::qfcSelectBand);
    auto bandPixels = [](const QImage& image) {
        int black = 0;
        for (int x = 30; x < 90; ++x)
            if (QColor(image.pixel(x, 100)) == QColor(Qt::black)) ++black;
        return black;
    };
    EXPECT_GT(bandPixels(Image()), 10);
    Release(200, 100);
    EXPECT_EQ(chart->SelectedBoxes(), (Boxes{a, b}));
    EXPECT_EQ(bandPixels(Image()), 0);

    // Shift+click takes A away, adds C; the boxes stay in graph order.
    Press(50, 40, Qt::LeftButton, Qt::ShiftModifier);
    Release(50, 40);
    EXPECT_EQ(chart->SelectedBoxes(), Boxes{b});
    Press(50, 170, Qt::LeftButton, Qt::ShiftModifier);
    Release(50, 170);
    EXPECT_EQ(chart->SelectedBoxes(), (Boxes{b, c}));
    EXPECT_EQ(chart->SelectedBox(), c);
    EXPECT_TRUE(chart->IsBoxSelected(b));
    EXPECT_FALSE(chart->IsBoxSelected(a));
    // Taking the selected box away leaves another one selected.
    Press(50, 170, Qt::LeftButton, Qt::ShiftModifier);
    Release(50, 170);
    EXPECT_EQ(chart->SelectedBoxes(), Boxes{b});
    EXPECT_EQ(chart->SelectedBox(), b);

    chart->SelectAll();
    EXPECT_EQ(chart->SelectedBoxes(), (Boxes{a, b, c}));
    EXPECT_EQ(chart->SelectedBox(), b);
    // The others are framed in the selection colour.
    const QImage all = Image();
    EXPECT_EQ(QColor(all.pixel(19, 40)), QColor(0x00, 0x78, 0xD7));
    // Choosing one box through the component's own selection drops the rest.
    chart->SetSelectedBox(a);
    EXPECT_EQ(chart->SelectedBoxes(), Boxes{a});
    // A box removed meanwhile is no longer selected.
    chart->SelectAll();
    chart->CurrentGraf()->RemoveBox("C");
    EXPECT_EQ(chart->SelectedBoxes(), (Boxes{a, b}));
    // An empty band selects nothing.
    Drag(300, 200, 390, 290);
    EXPECT_TRUE(chart->SelectedBoxes().empty());
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    EXPECT_EQ(changes, 0);
}

TEST_F(Selection, DraggingOneSelectedBoxMovesThemAllAsOneChange) {
    Wide();
    chart->SelectBoxes({a, b}, a);
    Press(50, 40);
    Move(65, 55);
    Move(80, 70);
    // The boxes move while dragged, together.
    EXPECT_EQ(a->Frame, (TRect{51, 51, 111, 91}));
    EXPECT_EQ(b->Frame, (TRect{151, 51, 211, 91}));
    EXPECT_EQ(chart->InputState(), quorgrafica::qfcMoveBox);
    Release(80, 70);
    EXPECT_EQ(c->Frame, (TRect{21, 151, 81, 191}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(framed, Boxes{a});
    EXPECT_EQ(chart->SelectedBoxes(), (Boxes{a, b}));
    // The page shows them where they are now.
    const QImage moved = FullImage();
    EXPECT_EQ(Image(), moved);

    // A click on one of them, with no move, selects it alone.
    Click(180, 70);
    EXPECT_EQ(chart->SelectedBoxes(), Boxes{b});
    EXPECT_EQ(changes, 1);
    // A resize is the one box's.
    chart->SelectBoxes({a, b}, b);
    Drag(110, 70, 140, 70);
    EXPECT_EQ(a->Frame, (TRect{51, 51, 141, 91}));
    EXPECT_EQ(b->Frame, (TRect{151, 51, 211, 91}));
    EXPECT_EQ(chart->SelectedBoxes(), Boxes{a});
    EXPECT_EQ(changes, 2);

    // Read only: the component's own drag, which commits nothing.
    chart->SetReadOnly(true);
    chart->SelectBoxes({a, b}, a);
    const int before = changes;
    Drag(80, 70, 120, 70);
    EXPECT_EQ(changes, before);
}

TEST_F(Selection, AMoveWhoseGraphGoesAwayLeavesItsBoxesAlone) {
    Wide();
    clsBox* group = Add("clsBoxGroup", "G", TRect{221, 151, 281, 191});
    quorgrafica::clsGraf* nested = static_cast<quorgrafica::clsBoxGroup*>(group)->Graf;
    clsBox* inner = AddBox(*nested, "clsBoxRectangle", "N", TRect{21, 21, 81, 61});
    AddBox(*nested, "clsBoxRectangle", "M", TRect{121, 21, 181, 61});
    chart->SetCurrentGraf(nested);
    chart->SelectAll();
    Press(50, 40);
    Move(60, 50);
    EXPECT_NE(inner->Frame, (TRect{21, 21, 81, 61}));
    // The group goes while its boxes are dragged: the root comes back and
    // the rest of the drag moves nothing.
    chart->RootGraf()->RemoveBox("G");
    EXPECT_EQ(chart->CurrentGraf(), chart->RootGraf());
    Move(150, 150);
    Release(150, 150);
    EXPECT_EQ(a->Frame, (TRect{21, 21, 81, 61}));
    EXPECT_EQ(chart->InputState(), quorgrafica::qfcNothing);
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 3);
}

TEST_F(Selection, GuidesShowAndSnapWhileABoxIsDraggedUnlessCtrlIsHeld) {
    Wide();
    chart->SetGridAlignTo(false);
    auto guidePixels = [](const QImage& image, int y) {
        int magenta = 0;
        for (int x = 290; x < 390; ++x)
            if (QColor(image.pixel(x, y)) == QColor(Qt::magenta)) ++magenta;
        return magenta;
    };
    // C dragged beside A, its top 3 pixels below A's: it snaps up to it,
    // and the tops, middles and bottoms show as guides.
    Press(50, 170);
    Move(150, 100);
    Move(250, 43);
    EXPECT_EQ(c->Frame, (TRect{221, 21, 281, 61}));
    const QImage during = Image();
    for (int y : {21, 41, 61})
        EXPECT_GT(guidePixels(during, y), 20) << y;
    EXPECT_EQ(guidePixels(during, 31), 0);
    // Held with Ctrl, the pointer alone places it.
    QMouseEvent ctrl(QEvent::MouseMove, QPointF(250, 43), W()->mapToGlobal(QPointF(250, 43)),
                     Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(W(), &ctrl);
    EXPECT_EQ(c->Frame, (TRect{221, 24, 281, 64}));
    EXPECT_EQ(guidePixels(Image(), 21), 0);
    Move(250, 43);
    Release(250, 43);
    EXPECT_EQ(c->Frame, (TRect{221, 21, 281, 61}));
    EXPECT_EQ(guidePixels(Image(), 21), 0);
    EXPECT_EQ(changes, 1);
}

} // namespace
} // namespace charttest
