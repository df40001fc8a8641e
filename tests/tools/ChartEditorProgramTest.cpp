// charteditor run as a program: its command line, its picture of the
// window, and charts it saves drawn by chartrender as it exports them.

#include "platform/core/CommandLine.h"
#include "tests/tools/EditorFixture.h"
#include "tests/tools/RunProgram.h"

#include <QImage>

namespace editortest {
namespace {

using tooltest::Contains;
using tooltest::Files;
using tooltest::RunProgram;

tooltest::ProgramRun RunEditor(const TempDir& dir, const std::vector<std::string>& args) {
    return RunProgram(CHARTEDITOR_EXE, args, dir.path().string());
}

TEST(ChartEditorProgram, TheCommandLineFollowsTheConventions) {
    TempDir dir;
    std::filesystem::copy_file(ExampleChart(), dir / "conti.chart");
    const auto before = Files(dir.path());

    const auto help = RunEditor(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Uso: charteditor", 0), 0u) << help.out;
    EXPECT_TRUE(Contains(help.out, "--screenshot"));
    EXPECT_TRUE(Contains(help.out, "--report"));
    EXPECT_EQ(help.err, "");
    const auto version = RunEditor(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("charteditor ") + QuorVersion() + tooltest::kLineEnd);

    const auto unknown = RunEditor(dir, {"--nuovo", "conti.chart"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(Contains(unknown.err, "opzione sconosciuta: --nuovo")) << unknown.err;
    EXPECT_TRUE(Contains(unknown.err, "Uso: charteditor")) << unknown.err;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"conti.chart", "altro.chart"},
          {"--screenshot=finestra.jpg", "conti.chart"},
          {"--screenshot=png", "conti.chart"},
          {"conti.chart", "--graf"},
          {"--report=si", "conti.chart"}}) {
        const auto refused = RunEditor(dir, args);
        EXPECT_EQ(refused.status, 2) << args.back() << ": " << refused.err;
        EXPECT_TRUE(Contains(refused.err, "Uso: charteditor")) << refused.err;
    }

    const auto missing = RunEditor(dir, {"--screenshot=f.png", "manca.chart"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Contains(missing.err, "charteditor: Il file \"manca.chart\" non esiste."))
        << missing.err;
    const auto group = RunEditor(dir, {"--screenshot=f.png", "--graf=Nessuno", "conti.chart"});
    EXPECT_EQ(group.status, 1);
    EXPECT_TRUE(Contains(group.err, "\"Nessuno\"")) << group.err;
    const auto box = RunEditor(dir, {"--screenshot=f.png", "--select=Nessuno", "conti.chart"});
    EXPECT_EQ(box.status, 1);
    EXPECT_TRUE(Contains(box.err, "nessun box di nome \"Nessuno\"")) << box.err;
    EXPECT_EQ(Files(dir.path()), before);
}

TEST(ChartEditorProgram, TakesAPictureOfItsWindow) {
    TempDir dir;
    std::filesystem::copy_file(ExampleChart(), dir / "conti.chart");
    const auto run = RunEditor(
        dir, {"--graf=Verifiche", "--select=Date", "--screenshot=finestra.png", "conti.chart"});
    ASSERT_EQ(run.status, 0) << run.err;
    const QImage shot(QString::fromStdString(dir / "finestra.png"));
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(shot.width(), 800);
    EXPECT_GT(shot.height(), 500);
    EXPECT_EQ(Files(dir.path()), (std::set<std::string>{"conti.chart", "finestra.png"}));

    const auto unwritable = RunEditor(dir, {"--screenshot=manca/f.png", "conti.chart"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(
        Contains(unwritable.err, "charteditor: Impossibile scrivere il file \"manca/f.png\""))
        << unwritable.err;
}

// What the editor saves, chartrender draws as the editor exports it.
TEST_F(Editor, ChartrenderDrawsASavedChartAsTheEditorExportsIt) {
    OpenExample();
    Drag(300, 480, 420, 540);
    ASSERT_TRUE(editor().SetBoxName("Caff\xE8"));
    ASSERT_TRUE(editor().SetBoxText("Pausa\r\ndi lavoro"));
    const QPoint from = Middle(chart().SelectedBox()), to = Middle(Box("Appunti"));
    form->actConnect->trigger();
    Drag(from.x(), from.y(), to.x(), to.y(), Qt::RightButton);
    ASSERT_EQ(editor().UndoSteps(), 4);
    ASSERT_TRUE(editor().SaveTo(AnsiString(dir / "salvato.chart")));
    ASSERT_TRUE(editor().ExportTo(AnsiString(dir / "editor.png")));

    const std::string size =
        std::to_string(chart().Width()) + "x" + std::to_string(chart().Height());
    const auto run = RunProgram(CHARTRENDER_EXE, {"--size=" + size, "salvato.chart", "render.png"},
                                dir.path().string());
    ASSERT_EQ(run.status, 0) << run.err;
    const QImage exported(QString::fromStdString(dir / "editor.png"));
    const QImage rendered(QString::fromStdString(dir / "render.png"));
    ASSERT_FALSE(exported.isNull());
    ASSERT_EQ(rendered.size(), exported.size());
    EXPECT_EQ(rendered.convertToFormat(QImage::Format_RGB32),
              exported.convertToFormat(QImage::Format_RGB32));
    // The new box is there in both.
    const clsBox* made = Box("Caff\xE8");
    EXPECT_EQ(charttest::At(rendered, made->Frame.Left + 3, made->Frame.Bottom - 3),
              made->FillColor);
}

} // namespace
} // namespace editortest
