// The gallery's second page: the flowchart component over the copy of the
// example chart, driven with the mouse and the keys as the user drives it.
// Every change goes to the copy at once; the example keeps every byte.

#include "tests/tools/GalleryFixture.h"

#include "tests/quorgrafica/ChartHelpers.h"
#include "tests/quorgrafica/ImageHelpers.h"

#include "controls/DBQuorLookupComboBox.h"
#include "controls/QuorDbEdit.h"
#include "graphics/QuorLabel.h"
#include "platform/gui/PageControl.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/QuorFlowChart.h"

#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using charttest::Count;
using charttest::Str;
using quorgrafica::clsBox;
using quorgrafica::clsBoxGroup;
using quorgrafica::clsGraf;
using quorgrafica::TQuorFlowChart;
using tooltest::FileBytes;

// Every box of the graph and of the graphs nested in its groups, as
// "group/name: text", in drawing order.
void Boxes(clsGraf& graf, const std::string& path, std::vector<std::string>& out) {
    for (int i = 0; i < graf.GetCount(); ++i) {
        clsBox* box = graf.BoxAt(i);
        out.push_back(path + Str(box->Name) + ": " + Str(box->Text));
        if (auto* group = dynamic_cast<clsBoxGroup*>(box); group && group->Graf)
            Boxes(*group->Graf, path + Str(box->Name) + "/", out);
    }
}
std::vector<std::string> Boxes(clsGraf& graf) {
    std::vector<std::string> out;
    Boxes(graf, "", out);
    return out;
}

QPoint Middle(const clsBox* box) {
    return QPoint((box->Frame.Left + box->Frame.Right) / 2,
                  (box->Frame.Top + box->Frame.Bottom) / 2);
}

class GalleryChartTest : public gallerytest::GalleryWindowTest {
protected:
    TQuorFlowChart* Chart() const { return form_->fcDiagramma; }
    QWidget* W() const { return Chart()->Widget(); }

    void Press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(W(), button, Qt::NoModifier, at);
    }
    void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(W(), button, Qt::NoModifier, at);
    }
    void Drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
        Press(from, button);
        QTest::mouseMove(W(), (from + to) / 2);
        QTest::mouseMove(W(), to);
        Release(to, button);
    }
    // Press, release, double click and release, as the system reports them.
    void DoubleClick(QPoint at) {
        Press(at);
        Release(at);
        QTest::mouseDClick(W(), Qt::LeftButton, Qt::NoModifier, at);
        Release(at);
    }
    TRect Preview() const {
        return TRect{Chart()->PreviewLeft(), Chart()->PreviewTop(), Chart()->PreviewWidth(),
                     Chart()->PreviewHeight()};
    }
    // The chart as the copy's file holds it now.
    std::vector<std::string> Saved() const {
        clsGraf saved;
        AnsiString error;
        EXPECT_TRUE(quorgrafica::LoadChartFile(saved, AnsiString(chart_), &error)) << error.str();
        return Boxes(saved);
    }
    std::vector<std::string> Example() const {
        clsGraf example;
        AnsiString error;
        EXPECT_TRUE(quorgrafica::LoadChartFile(example, AnsiString(example_), &error))
            << error.str();
        return Boxes(example);
    }
    std::string Status() const { return form_->StatusText().str(); }
};

} // namespace

TEST_F(GalleryChartTest, TheSecondPageShowsTheExampleChartWithItsSettings) {
    Open();
    TPageControl* pages = form_->pgGalleria;
    ASSERT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->Pages(0), form_->tbsArchivio);
    EXPECT_EQ(pages->Pages(1), form_->tbsDiagramma);
    auto* tabs = qobject_cast<QTabWidget*>(pages->Widget());
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), QString("Archivio"));
    EXPECT_EQ(tabs->tabText(1), QString("Diagramma"));
    // The window opens on the archive, whose controls sit on the first page.
    EXPECT_EQ(pages->ActivePage(), form_->tbsArchivio);
    EXPECT_TRUE(form_->tbsArchivio->Widget()->isAncestorOf(form_->tvConti->Widget()));
    EXPECT_TRUE(form_->tbsArchivio->Widget()->isAncestorOf(form_->dbgMovimenti->Widget()));
    EXPECT_TRUE(form_->tbsDiagramma->Widget()->isAncestorOf(W()));

    // The copy is the example, beside the archive's copy, and the component
    // holds every box of it, nested groups included.
    EXPECT_TRUE(fs::equivalent(example_, EXAMPLE_CHART));
    EXPECT_EQ(fs::path(chart_).lexically_normal(),
              fs::path(dir_.Path() + "/galleria/conti.chart").lexically_normal());
    EXPECT_TRUE(FileBytes(chart_) == exampleBytes_);
    const std::vector<std::string> boxes = Boxes(*Chart()->RootGraf());
    EXPECT_EQ(boxes, Example());
    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(), [](const std::string& b) {
        return b.find('/') != std::string::npos;
    })) << "the example has no group with boxes";
    EXPECT_EQ(Chart()->CurrentGraf(), Chart()->RootGraf());

    EXPECT_TRUE(Chart()->GridShow());
    EXPECT_TRUE(Chart()->ShowBoxName());
    EXPECT_TRUE(Chart()->ShowBoxText());
    EXPECT_TRUE(Chart()->ConnectBoxes());
    EXPECT_FALSE(Chart()->ReadOnly());
    EXPECT_EQ(Chart()->Label(), form_->lblPercorso);
    EXPECT_EQ(form_->lblPercorso->Caption(), AnsiString("Main : "));
    EXPECT_FALSE(form_->lblMouse->Caption().IsEmpty());

    // Shown, the page draws the boxes in their colours over the grid; the
    // preview rectangle lies at the top right, inside the chart and clear
    // of every box of the root.
    form_->ShowPage(form_->tbsDiagramma);
    EXPECT_EQ(Status(), "Copia di lavoro: " + chart_);
    const TRect preview = Preview();
    EXPECT_LT(preview.Left, preview.Right);
    EXPECT_LT(preview.Top, preview.Bottom);
    EXPECT_GT(preview.Left, Chart()->Width() / 2);
    EXPECT_LE(preview.Right, Chart()->Width());
    EXPECT_LE(preview.Bottom, Chart()->Height());
    const QImage image = Chart()->PaintToImage();
    clsBox* inizio = Chart()->GetBox("Inizio");
    ASSERT_NE(inizio, nullptr);
    const TRect f = inizio->Frame;
    EXPECT_GT(Count(image, f, inizio->FillColor), (f.Right - f.Left) * (f.Bottom - f.Top) / 2);
    EXPECT_EQ(Count(image, preview, inizio->FillColor), 0);
    EXPECT_GT(Count(image, TRect{0, 0, Chart()->Width(), Chart()->Height()}, Chart()->GridColor()),
              1000);
    for (int i = 0; i < Chart()->RootGraf()->GetCount(); ++i) {
        const TRect box = Chart()->RootGraf()->BoxAt(i)->Frame;
        EXPECT_TRUE(box.Right < preview.Left || box.Bottom < preview.Top)
            << Str(Chart()->RootGraf()->BoxAt(i)->Name);
    }
}

TEST_F(GalleryChartTest, ADoubleClickOnAGroupEntersItAndOneOnEmptySpaceGoesBack) {
    Open();
    form_->ShowPage(form_->tbsDiagramma);
    auto* group = dynamic_cast<clsBoxGroup*>(Chart()->GetBox("Verifiche"));
    ASSERT_NE(group, nullptr);
    ASSERT_NE(group->Graf, nullptr);
    const TColor parentFill = Chart()->GetBox("Inizio")->FillColor;

    DoubleClick(Middle(group));
    EXPECT_EQ(Chart()->CurrentGraf(), group->Graf);
    EXPECT_EQ(form_->lblPercorso->Caption(), AnsiString("Main : Verifiche : "));
    std::vector<std::string> inside;
    for (const std::string& box : Example())
        if (box.rfind("Verifiche/", 0) == 0) inside.push_back(box.substr(10));
    ASSERT_FALSE(inside.empty());
    EXPECT_EQ(Boxes(*Chart()->CurrentGraf()), inside);
    // The group's boxes over its own grid, and the parent shrunk into the preview.
    const QImage image = Chart()->PaintToImage();
    clsBox* date = Chart()->GetBox("Date");
    ASSERT_NE(date, nullptr);
    EXPECT_GT(Count(image, date->Frame, date->FillColor), 1000);
    EXPECT_GT(Count(image, Preview(), parentFill), 50);
    EXPECT_GT(Count(image, TRect{0, 0, Preview().Left, Chart()->Height()}, Chart()->GridColor()),
              1000);

    // Empty space: back to the root, with no preview.
    const QPoint empty(20, Chart()->Height() - 20);
    ASSERT_EQ(Chart()->FindBoxAt(empty.x(), empty.y()), nullptr);
    DoubleClick(empty);
    EXPECT_EQ(Chart()->CurrentGraf(), Chart()->RootGraf());
    EXPECT_EQ(form_->lblPercorso->Caption(), AnsiString("Main : "));
    EXPECT_EQ(Count(Chart()->PaintToImage(), Preview(), parentFill), 0);
    // Looking around changes nothing in the copy.
    EXPECT_TRUE(FileBytes(chart_) == exampleBytes_);
}

TEST_F(GalleryChartTest, MouseEditsReachTheCopyAtOnce) {
    Open();
    form_->ShowPage(form_->tbsDiagramma);
    const std::vector<std::string> before = Example();

    // A drag on empty space draws a box, named so that links to it are kept.
    const QPoint from(700, 400), to(820, 460);
    ASSERT_EQ(Chart()->FindBoxAt(from.x(), from.y()), nullptr);
    ASSERT_LT(to.y(), Chart()->Height());
    Drag(from, to);
    clsBox* made = Chart()->GetBox("Box1");
    ASSERT_NE(made, nullptr);
    EXPECT_GT(made->Frame.Right - made->Frame.Left, 100);
    std::vector<std::string> expected = before;
    expected.push_back("Box1: ");
    EXPECT_EQ(Saved(), expected);
    EXPECT_EQ(Status(), "Copia di lavoro: " + chart_);

    // A right drag from the selected box to another links them.
    clsBox* appunti = Chart()->GetBox("Appunti");
    ASSERT_NE(appunti, nullptr);
    Press(Middle(made));
    Release(Middle(made));
    ASSERT_EQ(Chart()->SelectedBox(), made);
    Drag(Middle(made), Middle(appunti), Qt::RightButton);
    EXPECT_EQ(made->LinksOut.GetValue(quorbase::clsString("Appunti")), appunti);
    {
        clsGraf saved;
        ASSERT_TRUE(quorgrafica::LoadChartFile(saved, AnsiString(chart_)));
        clsBox* box = saved.GetBox("Box1");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(charttest::Names(box->LinksOut), std::vector<std::string>{"Appunti"});
    }

    // Moved by its middle: the new frame is in the file.
    const TRect frame = made->Frame;
    Drag(Middle(made), Middle(made) + QPoint(100, 60));
    EXPECT_FALSE(made->Frame == frame);
    {
        clsGraf saved;
        ASSERT_TRUE(quorgrafica::LoadChartFile(saved, AnsiString(chart_)));
        ASSERT_NE(saved.GetBox("Box1"), nullptr);
        EXPECT_TRUE(saved.GetBox("Box1")->Frame == made->Frame);
    }

    // A copy that cannot be written is named in red; the next change that
    // can be saved clears it.
    const std::string saved = FileBytes(chart_);
    fs::remove(chart_);
    fs::create_directory(chart_);
    Drag(Middle(made), Middle(made) + QPoint(-60, 0));
    EXPECT_NE(Status().find("Impossibile scrivere il file \"" + chart_ + "\""), std::string::npos)
        << Status();
    fs::remove(chart_);
    Drag(Middle(made), Middle(made) + QPoint(0, 60));
    EXPECT_EQ(Status(), "Copia di lavoro: " + chart_);
    EXPECT_EQ(Saved().size(), before.size() + 1);
    EXPECT_TRUE(FileBytes(chart_) != saved) << "the last move was not saved";
}

TEST_F(GalleryChartTest, F5ReadsTheChartAgainOnItsPage) {
    Open();
    form_->ShowPage(form_->tbsDiagramma);
    // Another program renames a box in the copy.
    std::string text = FileBytes(chart_);
    for (const char* key : {"Name=Appunti\n", "Link=Appunti\n"}) {
        const std::string old(key);
        const std::string renamed = old.substr(0, 5) + "Note\n";
        for (auto at = text.find(old); at != std::string::npos; at = text.find(old, at))
            text.replace(at, old.size(), renamed);
    }
    std::ofstream(chart_, std::ios::binary | std::ios::trunc) << text;
    DoubleClick(Middle(Chart()->GetBox("Verifiche")));
    ASSERT_EQ(form_->lblPercorso->Caption(), AnsiString("Main : Verifiche : "));

    PressKey(W(), Qt::Key_F5);
    EXPECT_EQ(Chart()->CurrentGraf(), Chart()->RootGraf());
    EXPECT_EQ(form_->lblPercorso->Caption(), AnsiString("Main : "));
    EXPECT_EQ(Chart()->GetBox("Appunti"), nullptr);
    clsBox* note = Chart()->GetBox("Note");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(Chart()->GetBox("Verifiche")->LinksOut.GetValue(quorbase::clsString("Note")), note);
    EXPECT_EQ(FileBytes(chart_), text) << "reading the copy wrote it";
    // The archive's page was not read again: its status stays its own.
    EXPECT_EQ(Status(), "Copia di lavoro: " + chart_);

    // A copy gone: the chart on show stays, and the line says why.
    fs::remove(chart_);
    PressKey(W(), Qt::Key_F5);
    EXPECT_NE(Chart()->GetBox("Note"), nullptr);
    EXPECT_NE(Status().find(chart_), std::string::npos) << Status();
    EXPECT_NE(Status().find("non esiste"), std::string::npos) << Status();
}

TEST_F(GalleryChartTest, CtrlTabAndCtrlShiftTabSwitchPagesFromEveryControl) {
    Open();
    TPageControl* pages = form_->pgGalleria;
    const std::string movement = Movement("Importo || '|' || Data || '|' || idCausale || '|' || "
                                          "Descrizione");
    const std::vector<QWidget*> controls = {
        view_,
        form_->dbgConti->Widget(),
        form_->edtImporto->Widget(),
        form_->cboCausale->Widget(),
        form_->edtDescrizione->Widget(),
        form_->dbgMovimenti->Widget(),
    };
    for (QWidget* control : controls) {
        SCOPED_TRACE(control->metaObject()->className());
        ASSERT_EQ(pages->ActivePage(), form_->tbsArchivio);
        control->setFocus();
        PressKey(control, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(pages->ActivePage(), form_->tbsDiagramma);
        EXPECT_EQ(Status(), "Copia di lavoro: " + chart_);
        // Back from the chart, with Ctrl+Shift+Tab as the keyboard sends it.
        PressKey(W(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(pages->ActivePage(), form_->tbsArchivio);
        EXPECT_EQ(Status(), "Copia di lavoro: " + copy_.archive);
        if (pages->ActivePage() != form_->tbsArchivio) pages->SetActivePage(form_->tbsArchivio);
    }
    // The keys typed nothing into the movement.
    EXPECT_EQ(Movement("Importo || '|' || Data || '|' || idCausale || '|' || Descrizione"),
              movement);
    EXPECT_EQ(form_->edtDescrizione->Text(),
              AnsiString(GridCell(form_->dbgMovimenti, "Descrizione")));
    EXPECT_EQ(data_->tblMovConti->State(), dsBrowse);
    // Both pages' controls are reached in turn, both ways round.
    PressKey(view_, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(pages->ActivePage(), form_->tbsDiagramma);
    PressKey(W(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages->ActivePage(), form_->tbsArchivio);
}
