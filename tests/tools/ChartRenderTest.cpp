// chartrender run as a separate program: its command line, what it draws by
// default, and what it says about charts it cannot draw whole.

#include "platform/core/CommandLine.h"
#include "tests/quorgrafica/DeepChartText.h"
#include "tests/tools/RunProgram.h"

#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"

#include <gtest/gtest.h>

#include <QImage>

using tooltest::Contains;
using tooltest::Files;
using tooltest::RunProgram;

namespace {

class ChartRenderTest : public ::testing::Test {
protected:
    TempDir dir;

    tooltest::ProgramRun Run(const std::vector<std::string>& args) {
        return RunProgram(CHARTRENDER_EXE, args, dir.path().string());
    }

    // A box with a name and a text, both long enough to show.
    void WriteChart(const std::string& name) {
        quorgrafica::RegisterBoxKinds();
        quorgrafica::clsGraf graf;
        quorgrafica::clsBox* box = quorgrafica::NewBox(&graf, "clsBoxRectangle");
        box->Name = "Entrata";
        box->Text = "Controllo dei versamenti";
        box->Frame = TRect{10, 10, 220, 90};
        graf.Add(box->Name, box);
        ASSERT_TRUE(quorgrafica::SaveChartFile(graf, AnsiString(dir / name)));
    }

    QImage Image(const std::string& name) { return QImage(QString::fromStdString(dir / name)); }
};

TEST_F(ChartRenderTest, TheCommandLineFollowsTheConventions) {
    WriteChart("c.chart");
    const auto before = Files(dir.path());

    const auto help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Uso: chartrender", 0), 0u) << help.out;
    EXPECT_TRUE(Contains(help.out, "--no-names"));
    EXPECT_EQ(help.err, "");
    const auto version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("chartrender ") + QuorVersion() + tooltest::kLineEnd);
    EXPECT_EQ(Run({"c.chart", "--help"}).status, 0);

    const auto unknown = Run({"--nomi", "c.chart", "x.png"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_TRUE(Contains(unknown.err, "opzione sconosciuta: --nomi")) << unknown.err;
    EXPECT_TRUE(Contains(unknown.err, "Uso: chartrender")) << unknown.err;

    for (const std::vector<std::string>& args : {std::vector<std::string>{"c.chart"},
                                                 {"c.chart", "x.png", "y.png"},
                                                 {"c.chart", "x.jpg"},
                                                 {"c.chart", "png"},
                                                 {"c.chart", "x.png", "--size=12"},
                                                 {"c.chart", "x.png", "--dpi=0"},
                                                 {"c.chart", "x.png", "--columns"}}) {
        const auto refused = Run(args);
        EXPECT_EQ(refused.status, 2) << args.back() << ": " << refused.err;
        EXPECT_TRUE(Contains(refused.err, "Uso: chartrender")) << refused.err;
    }
    EXPECT_TRUE(
        Contains(Run({"c.chart", "x.jpg"}).err, "\"x.jpg\" deve terminare con .png o .pdf"));
    // Nothing was written by any refused or helped command line.
    EXPECT_EQ(Files(dir.path()), before);
}

TEST_F(ChartRenderTest, NamesAndTextsAreDrawnUnlessLeftOut) {
    WriteChart("c.chart");
    const std::vector<std::pair<std::string, std::vector<std::string>>> runs = {
        {"all.png", {}},
        {"asked.png", {"--names", "--texts"}},
        {"nonames.png", {"--no-names"}},
        {"notexts.png", {"--no-texts"}},
        {"bare.png", {"--no-names", "--no-texts"}},
    };
    for (const auto& [output, options] : runs) {
        std::vector<std::string> args = options;
        args.insert(args.end(), {"c.chart", output});
        const auto run = Run(args);
        ASSERT_EQ(run.status, 0) << output << ": " << run.err;
        EXPECT_FALSE(Contains(run.err, "chartrender")) << output << ": " << run.err;
    }
    const QImage all = Image("all.png"), bare = Image("bare.png");
    ASSERT_FALSE(all.isNull());
    EXPECT_EQ(Image("asked.png"), all);
    EXPECT_NE(Image("nonames.png"), all);
    EXPECT_NE(Image("notexts.png"), all);
    EXPECT_NE(Image("nonames.png"), Image("notexts.png"));
    EXPECT_NE(Image("nonames.png"), bare);
    EXPECT_NE(Image("notexts.png"), bare);
    EXPECT_EQ(all.size(), bare.size());
}

TEST_F(ChartRenderTest, ChartsThatCannotBeDrawnWholeAreDrawnWithAWarning) {
    const std::string deep = charttest::DeepChartText(quorgrafica::MaxReadNesting + 10);
    std::ofstream(dir / "deep.chart", std::ios::binary) << deep;
    const auto capped = Run({"deep.chart", "deep.png"});
    EXPECT_EQ(capped.status, 0) << capped.err;
    EXPECT_TRUE(Contains(capped.err, "chartrender: attenzione: \"deep.chart\" ha gruppi annidati "
                                     "oltre 2000 livelli"))
        << capped.err;
    EXPECT_FALSE(Contains(capped.err, "non si chiudono")) << capped.err;
    EXPECT_FALSE(Image("deep.png").isNull());

    std::ofstream(dir / "cut.chart", std::ios::binary) << deep.substr(0, deep.size() / 3);
    const auto cut = Run({"cut.chart", "cut.pdf"});
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_TRUE(Contains(cut.err, "\"cut.chart\" alcuni blocchi non si chiudono")) << cut.err;
    EXPECT_EQ(tooltest::ReadFile(dir / "cut.pdf").rfind("%PDF", 0), 0u);

    WriteChart("whole.chart");
    const auto whole = Run({"whole.chart", "whole.png"});
    EXPECT_EQ(whole.status, 0);
    EXPECT_FALSE(Contains(whole.err, "chartrender")) << whole.err;
}

TEST_F(ChartRenderTest, FailuresNameTheFileAndWriteNothing) {
    const auto missing = Run({"manca.chart", "x.png"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Contains(missing.err, "chartrender: Il file \"manca.chart\" non esiste."))
        << missing.err;

    std::ofstream(dir / "lettera.txt") << "Gentile amministratore,\n";
    const auto text = Run({"lettera.txt", "x.png"});
    EXPECT_EQ(text.status, 1);
    EXPECT_TRUE(Contains(text.err, "non contiene un diagramma valido")) << text.err;

    WriteChart("c.chart");
    const auto group = Run({"--graf=Nessuno", "c.chart", "x.png"});
    EXPECT_EQ(group.status, 1);
    EXPECT_TRUE(Contains(group.err, "\"Nessuno\"")) << group.err;

    for (const char* output : {"manca/x.png", "manca/x.pdf"}) {
        const auto unwritable = Run({"c.chart", output});
        EXPECT_EQ(unwritable.status, 1) << output;
        EXPECT_TRUE(Contains(unwritable.err,
                             std::string("Impossibile scrivere il file \"") + output + "\""))
            << unwritable.err;
    }
    EXPECT_EQ(Files(dir.path()), (std::set<std::string>{"c.chart", "lettera.txt"}));
}

} // namespace
