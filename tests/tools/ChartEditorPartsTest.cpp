// The chart editor's parts below its window: the undo history, places that
// outlive the boxes, graph titles kept through reading, and box edits.

#include "tests/tools/EditorFixture.h"

#include "tools/charteditor/BoxEdits.h"
#include "tools/charteditor/ChartHistory.h"
#include "tools/charteditor/ChartPosition.h"

namespace editortest {
namespace {

using namespace charteditor;
using quorbase::clsConfig;
using quorgrafica::clsBoxGroup;

ChartChange Change(const std::string& snapshot, const std::string& mergeKey = {}) {
    ChartChange change;
    change.snapshot = snapshot;
    change.mergeKey = mergeKey;
    return change;
}

TEST(ChartHistory, StepsMergeUndoRedoAndTheSavedMark) {
    ChartHistory history;
    history.Reset("a");
    EXPECT_FALSE(history.Modified());
    EXPECT_FALSE(history.CanUndo());
    history.Add(Change("b"));
    history.Add(Change("c", "Name/0"));
    history.Add(Change("cc", "Name/0"));
    history.Add(Change("ccc", "Name/0"));
    EXPECT_EQ(history.Steps(), 2);
    EXPECT_EQ(history.Current(), "ccc");
    EXPECT_TRUE(history.Modified());
    history.MarkSaved();
    EXPECT_FALSE(history.Modified());
    // Typing on into a saved step changes it: the chart is no longer the saved one.
    history.Add(Change("cccc", "Name/0"));
    EXPECT_EQ(history.Steps(), 2);
    EXPECT_TRUE(history.Modified());
    history.EndMerge();
    history.Add(Change("d", "Name/0"));
    EXPECT_EQ(history.Steps(), 3);

    const std::string* snapshot = nullptr;
    history.Undo(snapshot);
    EXPECT_EQ(*snapshot, "cccc");
    history.Undo(snapshot);
    EXPECT_EQ(*snapshot, "b");
    // After an undo, typing starts a step of its own.
    history.Add(Change("e", "Name/0"));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Steps(), 2);
    history.Undo(snapshot);
    EXPECT_EQ(history.Redo().snapshot, "e");
    history.Undo(snapshot);
    history.Undo(snapshot);
    EXPECT_EQ(*snapshot, "a");
    EXPECT_FALSE(history.CanUndo());
    // The chart saved last ("ccc") is gone: none of these is it.
    EXPECT_TRUE(history.Modified());
}

TEST(ChartHistory, TheOldestStepsAreForgotten) {
    ChartHistory history;
    history.Reset("0");
    history.MarkSaved();
    for (int i = 1; i <= ChartHistory::MaxSteps + 5; ++i)
        history.Add(Change(std::to_string(i)));
    EXPECT_EQ(history.Steps(), ChartHistory::MaxSteps);
    EXPECT_TRUE(history.Modified());
    const std::string* snapshot = nullptr;
    int undone = 0;
    while (history.CanUndo()) {
        history.Undo(snapshot);
        ++undone;
    }
    EXPECT_EQ(undone, ChartHistory::MaxSteps);
    EXPECT_EQ(*snapshot, "5");
    // The saved chart went with the forgotten steps.
    EXPECT_TRUE(history.Modified());
}

class Parts : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApplication();
        quorgrafica::RegisterBoxKinds();
        AnsiString error;
        ASSERT_TRUE(quorgrafica::LoadChartFile(root, AnsiString(ExampleChart()), &error)) << error;
    }
    clsGraf root;
};

TEST_F(Parts, GraphTitlesComeBackWhenTheLinesMatchTheTree) {
    EXPECT_EQ(Str(root.Name), "");
    clsConfig lines;
    quorgrafica::ChartTextToLines(FileText(ExampleChart()), lines);
    CopyGrafTitles(root, lines);
    EXPECT_EQ(Str(root.Name), "Conti");
    EXPECT_EQ(Str(root.Title), "Esportazione dei movimenti");
    auto* group = dynamic_cast<clsBoxGroup*>(root.GetBox("Verifiche"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(Str(group->Graf->Name), "Verifiche");
    EXPECT_EQ(Str(group->Graf->Title), "Controlli sui movimenti");
    EXPECT_EQ(TakeSnapshot(root), FileText(ExampleChart()));

    // Lines of another tree leave the names as they are.
    clsGraf other;
    clsConfig otherLines;
    other.Name = "Altro";
    other.DataTo(otherLines);
    CopyGrafTitles(root, otherLines);
    EXPECT_EQ(Str(root.Name), "Conti");
    // A snapshot restores boxes and titles, whatever the graph held.
    const std::string snapshot = TakeSnapshot(root);
    root.Clear();
    root.Name = "x";
    RestoreSnapshot(root, snapshot);
    EXPECT_EQ(TakeSnapshot(root), snapshot);
}

TEST_F(Parts, PlacesFindTheSameBoxesInAChartReadAnew) {
    auto* group = dynamic_cast<clsBoxGroup*>(root.GetBox("Verifiche"));
    ASSERT_NE(group, nullptr);
    clsBox* date = group->Graf->GetBox("Date");
    const GrafPlace inGroup = PlaceOf(group->Graf);
    const BoxPlace ofDate = PlaceOf(date);
    ASSERT_EQ(inGroup.size(), 1u);
    EXPECT_EQ(Str(inGroup[0].name), "Verifiche");
    EXPECT_TRUE(PlaceOf(&root).empty());

    RestoreSnapshot(root, TakeSnapshot(root));
    clsGraf* found = GrafAt(&root, inGroup);
    ASSERT_NE(found, &root);
    EXPECT_EQ(Str(found->Owner->Name), "Verifiche");
    EXPECT_EQ(Str(BoxAt(found, ofDate)->Name), "Date");

    // A box moved elsewhere in the list is found by its name; a place
    // whose group has gone stops at the deepest graph that is there.
    BoxPlace moved = ofDate;
    moved.index = 0;
    EXPECT_EQ(BoxAt(found, moved), BoxAt(found, ofDate));
    BoxPlace gone = ofDate;
    gone.name = "Nessuno";
    EXPECT_EQ(BoxAt(found, gone), nullptr);
    EXPECT_EQ(BoxAt(found, BoxPlace{}), nullptr);
    root.RemoveBox("Verifiche");
    EXPECT_EQ(GrafAt(&root, inGroup), &root);
}

TEST_F(Parts, ARenamedBoxIsFoundAndLinkedByItsNewName) {
    clsBox* inizio = root.GetBox("Inizio");
    clsBox* movimenti = root.GetBox("Movimenti");
    RenameBox(root, *movimenti, "Letture");
    EXPECT_EQ(root.GetBox("Movimenti"), nullptr);
    EXPECT_EQ(root.GetBox("letture"), movimenti);
    EXPECT_EQ(inizio->LinksOut.GetValue(quorbase::clsString("Letture")), movimenti);
    EXPECT_EQ(movimenti->LinksIn.GetValue(quorbase::clsString("Inizio")), inizio);
    clsBox* verifiche = root.GetBox("Verifiche");
    EXPECT_EQ(verifiche->LinksIn.GetValue(quorbase::clsString("Letture")), movimenti);
    root.RemoveBox("Letture");
    EXPECT_EQ(inizio->LinksOut.GetCount(), 0);

    EXPECT_EQ(Str(UniqueBoxName(root, "clsBoxRectangle")), "Box1");
    RenameBox(root, *inizio, "box1");
    EXPECT_EQ(Str(UniqueBoxName(root, "clsBoxRectangle")), "Box2");
    EXPECT_EQ(Str(UniqueBoxName(root, "clsBoxLine")), "Linea1");
    EXPECT_EQ(Str(UniqueBoxName(root, "clsAltroTipo")), "Box2");
    EXPECT_EQ(KindCaption("clsAltroTipo"), "clsAltroTipo");
}

TEST(BoxEdits, ScriptAndValuesAreKeptAsTheTextFormatKeepsThem) {
    EXPECT_EQ(KeepableScript({"a\tb", "", "c", "", ""}), (std::vector<AnsiString>{"a b", "", "c"}));
    EXPECT_EQ(KeepableVariables({"", "x=1", "y", "z=a=b"}),
              (std::vector<AnsiString>{"x=1", "y=", "z=a=b"}));
    EXPECT_EQ(SplitLines("a\r\nb\nc\r\r\n"), (std::vector<AnsiString>{"a", "b", "c", "", ""}));
    EXPECT_EQ(SplitLines(""), std::vector<AnsiString>{});
    EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb");
}

TEST_F(Parts, GridStepsReachTheNextLineOrAColumnsWidth) {
    root.SetPage(720, 600, 0, 0); // columns and rows of 10 pixels
    EXPECT_EQ(GridStepX(root, 41, 1), 51);
    EXPECT_EQ(GridStepX(root, 41, -1), 31);
    EXPECT_EQ(GridStepX(root, 45, 1), 51);
    EXPECT_EQ(GridStepX(root, 45, -1), 41);
    EXPECT_EQ(GridStepX(root, 50, 1), 51);
    EXPECT_EQ(GridStepX(root, 1, -1), -9);
    EXPECT_EQ(GridStepY(root, 21, 1), 31);
    root.GridAlign = false;
    EXPECT_EQ(GridStepX(root, 45, 1), 55);
    EXPECT_EQ(GridStepY(root, 45, -1), 35);
    root.SetPage(5, 5, 10, 10); // columns narrower than a pixel
    EXPECT_EQ(GridStepX(root, 45, 1), 46);
}

} // namespace
} // namespace editortest
