// The flowchart component: properties, navigation, drawing and the
// operations it offers on the graph it shows.

#include "FlowChartFixture.h"

#include "platform/core/Palette.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageCanvas.h"
#include "platform/graphics/PdfCanvas.h"
#include "platform/graphics/Picture.h"
#include "platform/gui/Image.h"
#include "platform/gui/Label.h"
#include "quorgrafica/ChartFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <QCoreApplication>

using namespace quorgrafica;
using charttest::AddBox;
using charttest::At;
using charttest::Count;
using charttest::CountNot;
using charttest::FlowChart;
using charttest::Str;

namespace {

constexpr TColor White = 0xFFFFFF;
constexpr TColor Aqua = 0xFFFF00;
constexpr TColor Grey = 0xC0C0C0;

std::string Caption(TQuorFlowChart* chart) {
    return chart->GetLabelCaption().str();
}

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        path = std::filesystem::temp_directory_path() /
               ("flowchart-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const char* name) const { return (path / name).string(); }
};

} // namespace

TEST_F(FlowChart, ANewComponentHasItsInitialValuesAndAWhitePage) {
    TQuorFlowChart fresh;
    EXPECT_FALSE(fresh.GridShow());
    EXPECT_TRUE(fresh.GridAlignTo());
    EXPECT_EQ(fresh.ShadowColor(), 0xC0C0C0);
    EXPECT_EQ(fresh.ShadowWidth(), 4);
    EXPECT_EQ(fresh.InputState(), qfcNothing);
    EXPECT_EQ(fresh.BoxFillColor(), 0xFFFF00);
    EXPECT_EQ(fresh.BoxId(), 0);
    EXPECT_EQ(fresh.GridColor(), 0xC0C0C0);
    EXPECT_EQ(fresh.Label(), nullptr);
    EXPECT_EQ(fresh.PreviewTop(), 0);
    EXPECT_EQ(fresh.PreviewLeft(), 0);
    EXPECT_EQ(fresh.PreviewWidth(), 0);
    EXPECT_EQ(fresh.PreviewHeight(), 0);
    EXPECT_EQ(fresh.BoxStyle(), "clsBoxRectangle");
    EXPECT_FALSE(fresh.ReadOnly());
    EXPECT_FALSE(fresh.GridChar());
    EXPECT_EQ(fresh.ResizeBorderWidth(), 6);
    EXPECT_EQ(fresh.Image(), nullptr);
    EXPECT_FALSE(fresh.ShowBoxName());
    EXPECT_FALSE(fresh.ShowBoxText());
    EXPECT_FALSE(fresh.DrawFlags());
    EXPECT_FALSE(fresh.SelectOnMouseMove());
    EXPECT_FALSE(fresh.ConnectBoxes());
    EXPECT_EQ(fresh.ImageLeft() | fresh.ImageRight() | fresh.ImageTop() | fresh.ImageBottom(), 0);
    EXPECT_EQ(fresh.GridHorizontalChars(), 0);
    EXPECT_EQ(fresh.GridVerticalChars(), 0);
    EXPECT_FALSE(fresh.OnBoxClick || fresh.OnBoxDblClick || fresh.OnAfterNewBox ||
                 fresh.OnBoxRegister || fresh.OnRemoveBox || fresh.OnBoxFrameChanged);
    ASSERT_NE(fresh.RootGraf(), nullptr);
    EXPECT_EQ(fresh.CurrentGraf(), fresh.RootGraf());
    EXPECT_EQ(fresh.RootGraf()->Owner, nullptr);
    EXPECT_EQ(fresh.SelectedBox(), nullptr);
    EXPECT_EQ(Caption(&fresh), "Main : ");
    // The box kinds are registered by the constructor.
    EXPECT_NE(BoxFunctions().Find("clsBoxPicture"), -1);

    // On a form: a white page, no grid, and the page follows the size.
    const QImage page = Image();
    EXPECT_EQ(Count(page, TRect{0, 0, 400, 300}, White), 400 * 300);
    EXPECT_EQ(chart->CurrentGraf()->PageWidth, 400);
    EXPECT_EQ(chart->CurrentGraf()->Columns, 40);
    EXPECT_EQ(chart->CurrentGraf()->Rows, 30);
    chart->SetGridHorizontalChars(20);
    chart->SetGridVerticalChars(-3);
    Image();
    EXPECT_EQ(chart->CurrentGraf()->Columns, 20);
    EXPECT_EQ(chart->CurrentGraf()->Rows, 30);
}

TEST_F(FlowChart, SettersCopyToTheCurrentGraphAndRepaintAsTheyShould) {
    clsGraf* root = chart->RootGraf();
    auto repaints = [&] {
        const int before = chart->paints;
        Image();
        return chart->paints - before;
    };
    chart->SetGridShow(true);
    EXPECT_TRUE(root->GridShow);
    EXPECT_EQ(repaints(), 1);
    // The grid's colour after the not-xor pen over white.
    EXPECT_GT(Count(Image(), TRect{0, 0, 400, 300}, Grey), 1000);
    chart->SetGridShow(true);
    EXPECT_EQ(repaints(), 0);
    chart->SetGridColor(0x0000FF);
    EXPECT_EQ(root->GridColor, 0x0000FF);
    EXPECT_EQ(repaints(), 1);
    EXPECT_GT(Count(Image(), TRect{0, 0, 400, 300}, 0x0000FF), 1000);
    chart->SetGridAlignTo(false);
    EXPECT_FALSE(root->GridAlign);
    EXPECT_EQ(repaints(), 0);

    // Properties of the boxes to come: stored only.
    chart->SetShadowColor(1);
    chart->SetShadowWidth(2);
    chart->SetBoxFillColor(3);
    chart->SetBoxId(4);
    chart->SetBoxStyle("clsBoxLine");
    chart->SetReadOnly(true);
    chart->SetResizeBorderWidth(9);
    chart->SetSelectOnMouseMove(true);
    chart->SetConnectBoxes(true);
    EXPECT_EQ(repaints(), 0);
    EXPECT_EQ(chart->ShadowColor() + chart->ShadowWidth() + chart->BoxFillColor() +
                  chart->BoxId() + chart->ResizeBorderWidth(),
              1 + 2 + 3 + 4 + 9);
    EXPECT_EQ(chart->BoxStyle(), "clsBoxLine");

    // What shows on the page repaints.
    chart->SetPreviewTop(1);
    EXPECT_EQ(repaints(), 1);
    chart->SetPreviewLeft(1);
    chart->SetPreviewWidth(50);
    chart->SetPreviewHeight(50);
    EXPECT_EQ(repaints(), 1);
    chart->SetGridChar(true);
    EXPECT_EQ(repaints(), 1);
    chart->SetShowBoxName(true);
    EXPECT_EQ(repaints(), 1);
    chart->SetShowBoxText(true);
    chart->SetDrawFlags(true);
    chart->SetImageLeft(1);
    chart->SetImageTop(1);
    chart->SetImageRight(1);
    chart->SetImageBottom(1);
    EXPECT_EQ(repaints(), 1);
    chart->SetShowBoxName(true);
    chart->SetImageBottom(1);
    EXPECT_EQ(repaints(), 0);
}

TEST_F(FlowChart, AGroupShowsItsOwnGridWhateverTheComponentSays) {
    auto* group = static_cast<clsBoxGroup*>(Add("clsBoxGroup", "G1", TRect{301, 201, 391, 291}));
    chart->SetGridShow(true);
    DoubleClick(350, 250);
    ASSERT_EQ(chart->CurrentGraf(), group->Graf);
    EXPECT_TRUE(chart->GridShow());
    EXPECT_FALSE(group->Graf->GridShow);
    EXPECT_EQ(Count(Image(), TRect{0, 0, 400, 300}, Grey), 0);
    chart->SetGridShow(false);
    chart->SetGridShow(true);
    EXPECT_TRUE(group->Graf->GridShow);
    EXPECT_GT(Count(Image(), TRect{0, 0, 400, 300}, Grey), 1000);
    // The root keeps what it was given.
    EXPECT_TRUE(chart->RootGraf()->GridShow);
}

TEST_F(FlowChart, DoubleClicksEnterGroupsAndClimbBack) {
    TLabel label(form.get());
    chart->SetLabel(&label);
    EXPECT_EQ(label.Caption(), "Main : ");
    chart->SetShowBoxName(true);
    chart->SetPreviewLeft(250);
    chart->SetPreviewTop(10);
    chart->SetPreviewWidth(390);
    chart->SetPreviewHeight(110);
    auto* group = static_cast<clsBoxGroup*>(Add("clsBoxGroup", "G1", TRect{21, 21, 141, 101}));
    clsBox* plain = Add("clsBoxRectangle", "R", TRect{21, 151, 141, 231});
    AddBox(*group->Graf, "clsBoxRectangle", "Dentro", TRect{21, 201, 121, 261});
    std::vector<clsBox*> doubled;
    chart->OnBoxDblClick = [&](TObject* sender, clsBox* box) {
        EXPECT_EQ(sender, chart);
        doubled.push_back(box);
    };
    int platformDouble = 0;
    chart->OnDblClick = [&](TObject*) { ++platformDouble; };

    // A rectangle: the event, and the same graph.
    DoubleClick(80, 190);
    EXPECT_EQ(doubled, (std::vector<clsBox*>{plain}));
    EXPECT_EQ(chart->CurrentGraf(), chart->RootGraf());
    const QImage root = Image();
    EXPECT_EQ(Count(root, TRect{250, 10, 390, 110}, White), 140 * 100);

    // The group: its graph, the path, and the parent shrunk into the
    // preview rectangle only.
    DoubleClick(80, 60);
    EXPECT_EQ(chart->CurrentGraf(), group->Graf);
    EXPECT_EQ(doubled.back(), group);
    EXPECT_EQ(Caption(chart), "Main : G1 : ");
    EXPECT_EQ(label.Caption(), "Main : G1 : ");
    const QImage inside = Image();
    EXPECT_GT(Count(inside, TRect{250, 10, 390, 110}, Aqua), 100);
    EXPECT_EQ(CountNot(inside, TRect{0, 0, 400, 200}, White) -
                  CountNot(inside, TRect{250, 10, 390, 110}, White),
              0);
    EXPECT_GT(Count(inside, TRect{21, 201, 121, 261}, Aqua), 3000);
    // The parent keeps the page of its preview.
    EXPECT_EQ(chart->RootGraf()->PageWidth, chart->RootGraf()->MaxRight());

    // An empty preview rectangle shows nothing.
    chart->SetPreviewWidth(250);
    EXPECT_EQ(Count(Image(), TRect{250, 10, 390, 110}, White), 140 * 100);

    // Double-clicking empty space climbs back.
    DoubleClick(300, 280);
    EXPECT_EQ(chart->CurrentGraf(), chart->RootGraf());
    EXPECT_EQ(label.Caption(), "Main : ");
    EXPECT_EQ(platformDouble, 0);
    // PreviousGraf at the root stays there.
    chart->PreviousGraf();
    EXPECT_EQ(chart->CurrentGraf(), chart->RootGraf());
}

TEST_F(FlowChart, AChartReadFromAFileNavigatesThreeGroupsDeep) {
    // Built by hand, saved, and read back into the component.
    clsGraf built;
    auto* g1 = static_cast<clsBoxGroup*>(AddBox(built, "clsBoxGroup", "G1", TRect{11, 11, 101, 71}));
    AddBox(built, "clsBoxRectangle", "Fuori", TRect{201, 11, 301, 71});
    auto* g2 = static_cast<clsBoxGroup*>(AddBox(*g1->Graf, "clsBoxGroup", "G2", TRect{11, 111, 101, 171}));
    auto* g3 = static_cast<clsBoxGroup*>(AddBox(*g2->Graf, "clsBoxGroup", "G3", TRect{211, 111, 301, 171}));
    AddBox(*g3->Graf, "clsBoxRectangle", "Fondo", TRect{11, 211, 101, 271});
    TempDir dir;
    const AnsiString file(dir.File("profondo.chart"));
    ASSERT_TRUE(SaveChartFile(built, file));

    TLabel label(form.get());
    chart->SetLabel(&label);
    chart->SetPreviewLeft(300);
    chart->SetPreviewTop(200);
    chart->SetPreviewWidth(400);
    chart->SetPreviewHeight(300);
    AnsiString error;
    ASSERT_TRUE(LoadChartFile(*chart->RootGraf(), file, &error)) << error.str();
    chart->Invalidate();

    // Every nested graph knows its group box, as if built in memory.
    auto* l1 = dynamic_cast<clsBoxGroup*>(chart->GetBox("G1"));
    ASSERT_NE(l1, nullptr);
    EXPECT_EQ(l1->Graf->Owner, l1);
    DoubleClick(50, 40);
    EXPECT_EQ(label.Caption(), "Main : G1 : ");
    DoubleClick(50, 140);
    EXPECT_EQ(label.Caption(), "Main : G1 : G2 : ");
    // Each level's preview is its parent: G2's box shows, shrunk.
    QImage image = Image();
    EXPECT_GT(Count(image, TRect{300, 200, 400, 300}, Aqua), 50);
    DoubleClick(250, 140);
    EXPECT_EQ(label.Caption(), "Main : G1 : G2 : G3 : ");
    EXPECT_STREQ(chart->GetBox("Fondo")->TypeName(), "clsBoxRectangle");
    image = Image();
    EXPECT_GT(Count(image, TRect{300, 200, 400, 300}, Aqua), 50);
    EXPECT_GT(Count(image, TRect{11, 211, 101, 271}, Aqua), 3000);

    chart->PreviousGraf();
    EXPECT_EQ(label.Caption(), "Main : G1 : G2 : ");
    EXPECT_EQ(Str(chart->CurrentGraf()->Owner->Name), "G2");
    chart->PreviousGraf();
    chart->PreviousGraf();
    EXPECT_EQ(chart->CurrentGraf(), chart->RootGraf());
    EXPECT_EQ(label.Caption(), "Main : ");
    // Back at the root there is no preview.
    EXPECT_EQ(Count(Image(), TRect{300, 200, 400, 300}, White), 100 * 100);
}

TEST_F(FlowChart, TheCurrentGraphGoingAwayBringsBackTheRoot) {
    TLabel label(form.get());
    chart->SetLabel(&label);
    auto* g1 = static_cast<clsBoxGroup*>(Add("clsBoxGroup", "G1", TRect{11, 11, 101, 71}));
    auto* g2 = static_cast<clsBoxGroup*>(AddBox(*g1->Graf, "clsBoxGroup", "G2", TRect{11, 11, 101, 71}));
    chart->SetCurrentGraf(g2->Graf);
    EXPECT_EQ(label.Caption(), "Main : G1 : G2 : ");
    // A graph outside the chart is refused.
    clsGraf stranger;
    chart->SetCurrentGraf(&stranger);
    EXPECT_EQ(chart->CurrentGraf(), g2->Graf);

    Press(50, 200);
    ASSERT_EQ(chart->InputState(), qfcCreateBox);
    quorbase::clsConfig empty;
    chart->RootGraf()->DataFrom(empty);
    EXPECT_EQ(chart->CurrentGraf(), chart->RootGraf());
    EXPECT_EQ(chart->InputState(), qfcNothing);
    EXPECT_EQ(label.Caption(), "Main : ");
    Image();
    Release(50, 200);
}

TEST_F(FlowChart, TheLabelAndTheImageMayBeDestroyedFirst) {
    auto* label = new TLabel(form.get());
    chart->SetLabel(label);
    delete label;
    EXPECT_EQ(chart->Label(), nullptr);
    chart->PreviousGraf();
    auto* image = new TImage(form.get());
    chart->SetImage(image);
    delete image;
    EXPECT_EQ(chart->Image(), nullptr);
    EXPECT_EQ(Count(Image(), TRect{0, 0, 400, 300}, White), 400 * 300);
}

TEST_F(FlowChart, ABackgroundPictureShowsBehindTheBoxes) {
    TBitmap picture(20, 20);
    picture.Canvas()->Brush()->SetColor(0x00FF00);
    picture.Canvas()->FillRect(TRect{0, 0, 20, 20});
    TImage image(form.get());
    image.Picture()->SetGraphic(&picture);
    chart->SetImageLeft(0);
    chart->SetImageTop(0);
    chart->SetImageRight(200);
    chart->SetImageBottom(150);
    Add("clsBoxRectangle", "A", TRect{51, 51, 151, 101});
    Image();
    const int paints = chart->paints;
    chart->SetImage(&image);
    // Drawn at once, without waiting for a paint.
    EXPECT_EQ(chart->paints, paints);
    QImage shown = chart->PaintToImage();
    EXPECT_EQ(At(shown, 10, 10), 0x00FF00);
    EXPECT_EQ(At(shown, 190, 140), 0x00FF00);
    EXPECT_EQ(At(shown, 250, 200), White);
    EXPECT_EQ(At(shown, 100, 75), Aqua);
    shown = FullImage();
    EXPECT_EQ(At(shown, 10, 10), 0x00FF00);
    EXPECT_EQ(At(shown, 100, 75), Aqua);
    // Without it the page is erased again.
    chart->SetImage(nullptr);
    EXPECT_EQ(At(Image(), 10, 10), White);
}

TEST_F(FlowChart, DrawOnAnyCanvasAndOnAPdfPage) {
    chart->SetShowBoxName(true);
    chart->SetShowBoxText(true);
    clsBox* a = Add("clsBoxRectangle", "Inizio", TRect{21, 21, 201, 81});
    a->Text = "Scelta del condominio";
    const QImage own = FullImage();
    TImageCanvas bitmap(400, 300);
    chart->DrawOn(&bitmap);
    EXPECT_EQ(bitmap.Image().convertToFormat(own.format()), own);

    TempDir dir;
    const std::string pdf = dir.File("grafico.pdf");
    {
        TPdfCanvas canvas(AnsiString(pdf), 96);
        chart->DrawOn(&canvas);
    }
    std::ifstream in(pdf, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    EXPECT_EQ(text.rfind("%PDF-", 0), 0u);
    EXPECT_NE(text.find("%%EOF"), std::string::npos);
    const std::regex page(R"(/Type\s*/Page[^s])");
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), page),
                            std::sregex_iterator()),
              1);
    // The box's fill and text went on the page, not only an empty frame.
    EXPECT_GT(text.size(), 3000u);

    // A failing canvas raises through DrawOn, which can draw again after.
    TCanvas nowhere;
    EXPECT_THROW(chart->DrawOn(&nowhere), EInvalidGraphicOperation);
    EXPECT_FALSE(chart->FBusy);
    TImageCanvas again(400, 300);
    chart->DrawOn(&again);
    EXPECT_EQ(again.Image().convertToFormat(own.format()), own);
    // While busy, drawing is skipped.
    chart->FBusy = true;
    TImageCanvas skipped(400, 300);
    skipped.Brush()->SetColor(0);
    skipped.FillRect(TRect{0, 0, 400, 300});
    chart->DrawOn(&skipped);
    EXPECT_EQ(At(skipped.Image(), 100, 50), 0);
    chart->FBusy = false;
}

TEST_F(FlowChart, SelectionAndRemovalOfBoxes) {
    clsBox* a = Add("clsBoxRectangle", "A", TRect{21, 21, 101, 81});
    clsBox* b = Add("clsBoxRectangle", "B", TRect{201, 21, 301, 81});
    a->AddLink(b);
    std::vector<clsBox*> asked;
    bool refuse = true;
    chart->OnRemoveBox = [&](TObject*, clsBox* box, bool& cancel) {
        EXPECT_FALSE(cancel);
        asked.push_back(box);
        cancel = refuse;
    };
    int changes = 0;
    chart->OnChange = [&](TObject*) { ++changes; };

    // Nothing selected: nothing asked, nothing removed.
    chart->RemoveBox();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 2);

    const int paints = chart->paints;
    chart->SetSelectedBox(b);
    chart->SetSelectedBox(b);
    EXPECT_EQ(chart->SelectedBox(), b);
    EXPECT_EQ(chart->CurrentGraf()->Selected, b);
    EXPECT_EQ(chart->selections, (std::vector<clsBox*>{b}));
    Image();
    EXPECT_EQ(chart->paints, paints);

    chart->RemoveBox();
    EXPECT_EQ(asked, (std::vector<clsBox*>{b}));
    EXPECT_EQ(chart->GetBox("B"), b);
    EXPECT_EQ(changes, 0);
    refuse = false;
    chart->RemoveBox();
    EXPECT_EQ(chart->GetBox("B"), nullptr);
    EXPECT_EQ(chart->SelectedBox(), nullptr);
    EXPECT_EQ(a->LinksOut.GetCount(), 0);
    EXPECT_EQ(changes, 1);
    Image();
    EXPECT_GT(chart->paints, paints);

    chart->ClearBoxes();
    EXPECT_EQ(chart->CurrentGraf()->GetCount(), 0);
    EXPECT_EQ(changes, 2);
}

TEST_F(FlowChart, OperationsActOnTheCurrentGraphOnly) {
    clsBox* top = Add("clsBoxRectangle", "Alto", TRect{21, 21, 101, 81});
    top->Script.AddText("x = 1");
    auto* group = static_cast<clsBoxGroup*>(Add("clsBoxGroup", "G", TRect{201, 21, 301, 81}));
    clsBox* in1 = AddBox(*group->Graf, "clsBoxRectangle", "Uno", TRect{21, 21, 101, 81});
    clsBox* in2 = AddBox(*group->Graf, "clsBoxRectangle", "Due", TRect{21, 121, 101, 181});
    in1->AddLink(in2);
    in2->Script.AddText("y = 2");
    chart->SetCurrentGraf(group->Graf);

    quorbase::clsCStrings names;
    EXPECT_EQ(chart->GetNames("clsBoxRectangle", names), 2);
    EXPECT_EQ(Str(*names.GetItem(0)), "Uno");
    quorbase::clsCollection<quorbase::clsStrings> scripts(true);
    EXPECT_EQ(chart->GetScripts("clsboxrectangle", scripts), 2);
    EXPECT_EQ(Str(scripts.GetValue(1)->GetValueText(0)), "y = 2");
    EXPECT_EQ(chart->GetBox("Alto"), nullptr);
    EXPECT_EQ(chart->FindBoxAt(50, 150), in2);
    EXPECT_EQ(chart->FindBoxAt(50, 50), in1);

    // Computing repaints and draws the flags.
    chart->SetDrawFlags(true);
    Image();
    const int paints = chart->paints;
    EXPECT_TRUE(chart->Compute("Uno", false, false));
    EXPECT_FALSE(chart->Compute("Alto", false, false));
    EXPECT_EQ(in2->ComputeState, 2);
    EXPECT_EQ(top->ComputeState, 0);
    EXPECT_GT(Count(Image(), TRect{0, 0, 30, 30}, 0x00FF00), 0);
    EXPECT_GT(chart->paints, paints);

    // Saving and reading the graph the user looks at.
    quorbase::clsConfig lines, direct;
    chart->DataTo(lines);
    group->Graf->DataTo(direct);
    const std::vector<std::string> written = charttest::Lines(lines);
    EXPECT_EQ(written, charttest::Lines(direct));
    EXPECT_EQ(std::count(written.begin(), written.end(), "clsBox.Type=clsBoxRectangle"), 2);
    quorbase::clsConfig one;
    charttest::SetLines(one, {"clsBox.Type=clsBoxLine", "{", "Name=Sola", "Frame=1,2,3,4", "}"});
    chart->DataFrom(one);
    ASSERT_EQ(group->Graf->GetCount(), 1);
    EXPECT_STREQ(group->Graf->BoxAt(0)->TypeName(), "clsBoxLine");
    EXPECT_EQ(chart->RootGraf()->GetCount(), 2);

    // The character grid of the page shown.
    EXPECT_EQ(chart->X2Chars(57), group->Graf->X2Chars(57));
    EXPECT_EQ(chart->Y2Chars(57), group->Graf->Y2Chars(57));
    EXPECT_EQ(chart->Chars2X(5), 51);
    EXPECT_EQ(chart->Chars2Y(5), 51);
    chart->SetUnlockAll(true);
    EXPECT_TRUE(group->Graf->UnlockAll);
    EXPECT_TRUE(chart->GetUnlockAll());
    EXPECT_FALSE(chart->RootGraf()->UnlockAll);
}

TEST_F(FlowChart, RegisteredOnTheQuorGraficaPage) {
    Register();
    Register();
    const auto entries = PaletteComponents("QuorGrafica");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].className, "TQuorFlowChart");
    const TPaletteEntry* entry = FindPaletteEntry("TQuorFlowChart");
    ASSERT_NE(entry, nullptr);
    TComponent owner;
    TComponent* made = entry->create(&owner);
    ASSERT_NE(dynamic_cast<TQuorFlowChart*>(made), nullptr);
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_STREQ(made->ClassName(), "TQuorFlowChart");
}

// The first box of an empty page: a handler that selects it keeps the
// selection, and the release announces its frame. Clearing the page still
// drops the selection.
TEST_F(FlowChart, AHandlerSelectingTheFirstBoxOfAnEmptyPageKeepsTheSelection) {
    chart->OnAfterNewBox = [&](TObject*, clsBox* box, bool&) { chart->SetSelectedBox(box); };
    std::vector<clsBox*> announced;
    chart->OnBoxFrameChanged = [&](TObject*, clsBox* box) { announced.push_back(box); };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "a new chart" : "after ClearBoxes");
        announced.clear();
        Drag(40, 30, 130, 100);
        ASSERT_EQ(chart->CurrentGraf()->GetCount(), 1);
        clsBox* box = chart->CurrentGraf()->BoxAt(0);
        EXPECT_EQ(chart->SelectedBox(), box);
        EXPECT_EQ(announced, std::vector<clsBox*>{box});
        // The next box goes into an array that is already there.
        Drag(200, 150, 300, 250);
        ASSERT_EQ(chart->CurrentGraf()->GetCount(), 2);
        EXPECT_EQ(chart->SelectedBox(), chart->CurrentGraf()->BoxAt(1));
        EXPECT_EQ(announced.size(), 2u);
        chart->ClearBoxes();
        EXPECT_EQ(chart->SelectedBox(), nullptr);
        EXPECT_EQ(chart->CurrentGraf()->GetCount(), 0);
    }
}
