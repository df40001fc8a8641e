// The chart editor with several boxes selected: the pointer tool's band,
// Shift+click and Ctrl+A, moving, nudging, removing and the panel's edits
// on all of them, each one step of undo.

#include "tests/tools/EditorFixture.h"

#include "platform/gui/Label.h"
#include "quorgrafica/ChartLinks.h"

#include <QAction>
#include <QComboBox>

namespace editortest {
namespace {

using Boxes = std::vector<clsBox*>;

bool Links(const clsBox* from, const clsBox* to) {
    for (int i = 0; i < from->LinksOut.GetCount(); ++i)
        if (from->LinksOut.GetValue(i) == to) return true;
    return false;
}

TEST_F(Editor, SeveralBoxesAreMovedNudgedEditedAndRemovedOneStepEach) {
    const std::string file = OpenExample();
    const std::string opened = Snapshot();
    form->actPointer->trigger();
    ASSERT_TRUE(chart().PointerTool());

    // The band takes the boxes wholly inside it, and draws none.
    Drag(20, 10, 300, 220);
    clsBox* inizio = Box("Inizio");
    clsBox* movimenti = Box("Movimenti");
    clsBox* saldo = Box("Saldo");
    EXPECT_EQ(chart().SelectedBoxes(), (Boxes{inizio, movimenti}));
    EXPECT_EQ(shown().GetCount(), 6);
    EXPECT_EQ(editor().UndoSteps(), 0);
    EXPECT_EQ(form->BoxPanel->lblBox->Caption(), "2 box selezionati");
    EXPECT_FALSE(form->BoxPanel->edName->Enabled());

    // Shift+click adds Saldo.
    Press(Middle(saldo).x(), Middle(saldo).y(), Qt::LeftButton, Qt::ShiftModifier);
    Release(Middle(saldo).x(), Middle(saldo).y());
    ASSERT_EQ(chart().SelectedBoxes(), (Boxes{inizio, movimenti, saldo}));

    // An arrow moves all three one grid step: one step.
    const TRect i0 = inizio->Frame, m0 = movimenti->Frame, s0 = saldo->Frame;
    Key(Qt::Key_Right);
    const int column = shown().Chars2X(1) - shown().Chars2X(0);
    EXPECT_EQ(inizio->Frame.Left, i0.Left + column);
    EXPECT_EQ(movimenti->Frame.Left, m0.Left + column);
    EXPECT_EQ(saldo->Frame.Left, s0.Left + column);
    EXPECT_EQ(saldo->Frame.Right - saldo->Frame.Left, s0.Right - s0.Left);
    EXPECT_EQ(editor().UndoSteps(), 1);

    // A drag on one of them moves them all: one step.
    const QPoint grab = Middle(movimenti);
    Drag(grab.x(), grab.y(), grab.x(), grab.y() + 40);
    const int down = movimenti->Frame.Top - m0.Top;
    EXPECT_GT(down, 25);
    EXPECT_EQ(inizio->Frame.Top, i0.Top + down);
    EXPECT_EQ(saldo->Frame.Top, s0.Top + down);
    EXPECT_EQ(saldo->Frame.Left, s0.Left + column);
    EXPECT_EQ(chart().SelectedBoxes().size(), 3u);
    EXPECT_EQ(editor().UndoSteps(), 2);

    // The panel: a colour and a text go to every selected box.
    EXPECT_TRUE(editor().SetFillColor(0x40C0FF));
    EXPECT_EQ(form->BoxPanel->pnlFill->Color(), 0x40C0FF);
    Type(form->BoxPanel->memText, "Da rivedere");
    for (clsBox* box : {inizio, movimenti, saldo}) {
        EXPECT_EQ(box->FillColor, 0x40C0FF) << Str(box->Name);
        EXPECT_EQ(Str(box->Text), "Da rivedere") << Str(box->Name);
    }
    EXPECT_EQ(Str(Box("Appunti")->Text).find("Da rivedere"), std::string::npos);
    EXPECT_EQ(editor().UndoSteps(), 4);
    // Names are one box's own.
    EXPECT_FALSE(editor().SetBoxName("Tutti"));

    // Ctrl+A, then Delete: one question, every box gone, one step.
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(chart().SelectedBoxes().size(), 6u);
    dialogs->AnswerButton(IDNO);
    Key(Qt::Key_Delete);
    EXPECT_EQ(shown().GetCount(), 6);
    dialogs->AnswerButton(IDYES);
    Key(Qt::Key_Delete);
    ASSERT_EQ(dialogs->Questions().size(), 2u);
    EXPECT_EQ(dialogs->Questions()[1].text,
              "Eliminare i 6 box selezionati, con ci\xF2 che contengono i gruppi?");
    EXPECT_EQ(shown().GetCount(), 0);
    EXPECT_EQ(chart().SelectedBox(), nullptr);
    EXPECT_EQ(editor().UndoSteps(), 5);

    // Undo brings every box back with its links; all the way back, the file.
    ASSERT_TRUE(editor().Undo());
    EXPECT_EQ(shown().GetCount(), 6);
    EXPECT_TRUE(Links(Box("Inizio"), Box("Movimenti")));
    EXPECT_TRUE(Links(Box("Saldo"), Box("Appunti")));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(editor().Undo());
    EXPECT_EQ(Lines(Snapshot()), Lines(opened));

    // Choosing a kind of box to draw puts the pointer away.
    form->KindBox->activated(1);
    EXPECT_FALSE(chart().PointerTool());
    Drag(300, 480, 420, 540);
    EXPECT_EQ(shown().GetCount(), 7);
}

TEST_F(Editor, TheArrangeMenuLinesTheSelectedBoxesUpOneStepEach) {
    OpenExample();
    const std::string opened = Snapshot();
    clsBox* inizio = Box("Inizio");
    clsBox* saldo = Box("Saldo");
    clsBox* appunti = Box("Appunti");
    chart().SelectBoxes({saldo});
    for (QAction* action : form->actArrange)
        EXPECT_FALSE(action->isEnabled());
    chart().SelectBoxes({inizio, saldo, appunti}, saldo);
    for (QAction* action : form->actArrange)
        EXPECT_TRUE(action->isEnabled());

    // Right: every right edge at Saldo's, the rightmost.
    form->actArrange[2]->trigger();
    for (clsBox* box : {inizio, saldo, appunti})
        EXPECT_EQ(box->Frame.Right, 561) << Str(box->Name);
    EXPECT_EQ(inizio->Frame.Left, 561 - 220);
    EXPECT_EQ(editor().UndoSteps(), 1);
    // Once lined up, again changes nothing and takes no step.
    EXPECT_FALSE(editor().AlignSelected(quorgrafica::AlignKind::Right));
    // Same width as Saldo, the selected one: left edges stay.
    form->actArrange[8]->trigger();
    EXPECT_EQ(inizio->Frame.Right - inizio->Frame.Left, 200);
    EXPECT_EQ(appunti->Frame.Left, 341);
    // Distributed down: equal gaps, on the grid.
    form->actArrange[7]->trigger();
    EXPECT_EQ(inizio->Frame.Top, 21);
    EXPECT_EQ(appunti->Frame.Top, 401);
    EXPECT_EQ(saldo->Frame.Top, shown().AlignY(21 + 60 + (401 - 21 - 60 - 60) / 2));
    EXPECT_EQ(editor().UndoSteps(), 3);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(editor().Undo());
    EXPECT_EQ(Lines(Snapshot()), Lines(opened));
}

TEST_F(Editor, ALinkIsSelectedByAClickAndRemovedFromBothBoxes) {
    OpenExample();
    clsBox* inizio = Box("Inizio");
    clsBox* movimenti = Box("Movimenti");
    const TRect line = quorgrafica::LinkLine(shown(), *inizio, *movimenti);
    const QPoint middle((line.Left + line.Right) / 2, (line.Top + line.Bottom) / 2);
    // The pointer over the link shows that a click takes it.
    Hover(middle.x(), middle.y());
    EXPECT_EQ(chart().Cursor(), crHandPoint);
    Hover(middle.x() + 40, middle.y());
    EXPECT_EQ(chart().Cursor(), crArrow);

    Click(inizio->Frame.Left + 20, inizio->Frame.Top + 20);
    Click(middle.x() + 2, middle.y());
    EXPECT_EQ(chart().SelectedLink(), (quorgrafica::LinkRef{inizio, movimenti}));
    EXPECT_EQ(chart().SelectedBox(), nullptr);
    EXPECT_TRUE(form->actDelete->isEnabled());
    // Drawn highlighted.
    EXPECT_EQ(QColor(Image().pixel(middle)), QColor(0xFF, 0xA5, 0x00));
    EXPECT_EQ(shown().GetCount(), 6);

    Key(Qt::Key_Delete);
    EXPECT_TRUE(dialogs->Questions().empty());
    EXPECT_FALSE(Links(inizio, movimenti));
    EXPECT_EQ(movimenti->LinksIn.GetCount(), 0);
    EXPECT_FALSE(chart().SelectedLink());
    EXPECT_NE(QColor(Image().pixel(middle)), QColor(0xFF, 0xA5, 0x00));
    EXPECT_EQ(editor().UndoSteps(), 1);
    // Undo puts it back on both boxes, with its source selected.
    ASSERT_TRUE(editor().Undo());
    EXPECT_TRUE(Links(Box("Inizio"), Box("Movimenti")));
    EXPECT_EQ(Box("Movimenti")->LinksIn.GetValue(0), Box("Inizio"));
    EXPECT_EQ(chart().SelectedBox(), Box("Inizio"));
    ASSERT_TRUE(editor().Redo());
    EXPECT_FALSE(Links(Box("Inizio"), Box("Movimenti")));
    // A click on empty space lets go of a link.
    Click(middle.x(), middle.y());
    EXPECT_FALSE(chart().SelectedLink());
}

} // namespace
} // namespace editortest
