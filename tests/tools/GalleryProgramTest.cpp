// gallery run as a separate program: its command line, what it says without
// a display, and its screenshots over copies that leave the originals alone.

#include "platform/core/CommandLine.h"
#include "tests/tools/ArchiveQueries.h"
#include "tests/tools/RunProgram.h"

#include "tools/demoarchive/DemoArchive.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>

using tooltest::Contains;
using tooltest::Files;
using tooltest::Native;
using tooltest::ReadFile;
using tooltest::RunProgram;

namespace {

class GalleryProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        demoarchive::Options options;
        options.movements = 20;
        demoarchive::Result result;
        std::string error;
        ASSERT_TRUE(demoarchive::MakeDemoArchive(demo / "demo", options, result, error)) << error;
        archive = result.archive;
        engineConfig = result.engineConfig;
        bytes = ReadFile(archive);
    }
    tooltest::ProgramRun Run(const std::vector<std::string>& args) {
        return RunProgram(GALLERY_EXE, args, dir.path().string());
    }
    static std::string ExampleChart() { return EXAMPLE_CHART; }
    // Pixels of the colour (0x00BBGGRR) in the picture.
    static int Pixels(const QImage& image, unsigned color) {
        const QRgb wanted = qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF);
        return n;
    }

    TempDir demo; // the demo archive, outside the folder the program runs in
    TempDir dir;
    std::string archive;
    std::string engineConfig;
    std::string bytes;
};

TEST_F(GalleryProgramTest, TheCommandLineFollowsTheConventions) {
    const auto help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Uso: gallery", 0), 0u) << help.out;
    EXPECT_TRUE(Contains(help.out, "--archivio")) << help.out;
    EXPECT_EQ(help.err, "");
    const auto version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("gallery ") + QuorVersion() + tooltest::kLineEnd);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--nuova"},
          {"una", "due"},
          {"--archivio"},
          {"--screenshot", "finestra.pdf", "--archivio", archive},
          {"--screenshot=finestra", "--archivio", archive}}) {
        const auto refused = Run(args);
        EXPECT_EQ(refused.status, 2) << refused.err;
        EXPECT_EQ(refused.out, "");
        EXPECT_TRUE(Contains(refused.err, "gallery: ")) << refused.err;
        EXPECT_TRUE(Contains(refused.err, "Uso: gallery")) << refused.err;
    }
    EXPECT_TRUE(Files(dir.path()).empty()) << "a refused command line wrote something";
}

// Windows always has its desktop: there is no such case there.
#ifndef _WIN32
TEST_F(GalleryProgramTest, WithoutADisplayItSaysSoAndWritesNothing) {
    ScopedEnv platform("QT_QPA_PLATFORM", nullptr);
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    const auto run = Run({"--archivio", archive});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "gallery: nessuno schermo disponibile")) << run.err;
    EXPECT_FALSE(Contains(run.err, "Uso:")) << run.err;
    EXPECT_TRUE(Files(dir.path()).empty());
    EXPECT_EQ(ReadFile(archive), bytes);
}
#endif

TEST_F(GalleryProgramTest, AnArchiveItCannotCopyIsNamed) {
    const auto missing = Run({"--archivio", demo / "manca.db", "--screenshot", "s.png"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Contains(missing.err, demo / "manca.db")) << missing.err;
    EXPECT_TRUE(Files(dir.path()).empty());

    std::ofstream(demo / "note.db", std::ios::binary) << "appunti, non un archivio\n";
    const auto text = Run({"--archivio", demo / "note.db", "--screenshot", "s.png"});
    EXPECT_EQ(text.status, 1);
    EXPECT_TRUE(Contains(text.err, "non è un archivio SQLite")) << text.err;
    EXPECT_EQ(ReadFile(demo / "note.db"), "appunti, non un archivio\n");
    EXPECT_TRUE(Files(dir.path()).empty()) << "a failed copy left something behind";

    // An archive of another product: the copy is made, the table it lacks is named.
    tooltest::Exec(demo / "altro.db", "CREATE TABLE Causali (idCausale INTEGER, Nome TEXT)");
    const std::string other = ReadFile(demo / "altro.db");
    const auto foreign = Run({"--archivio", demo / "altro.db", "--screenshot", "s.png"});
    EXPECT_EQ(foreign.status, 1);
    EXPECT_TRUE(Contains(foreign.err, "gallery: la copia " + Native(dir / "galleria/Galleria.db") +
                                          " non si apre"))
        << foreign.err;
    EXPECT_TRUE(Contains(foreign.err, "MovConti")) << foreign.err;
    EXPECT_EQ(ReadFile(demo / "altro.db"), other);
    EXPECT_FALSE(std::filesystem::exists(dir / "s.png"));

    // Without --archivio it copies the utility's; an alias that is not
    // configured is named, with the way out.
    ScopedEnv config("QUOR_ENGINE_CONFIG", (demo / "manca.ini").c_str());
    const auto alias = Run({"--screenshot", "s.png"});
    EXPECT_EQ(alias.status, 1);
    EXPECT_TRUE(Contains(alias.err, "'Bracotene'")) << alias.err;
    EXPECT_TRUE(Contains(alias.err, "--archivio")) << alias.err;
}

TEST_F(GalleryProgramTest, TheScreenshotShowsTheWindowOverAFreshCopy) {
    ScopedEnv config("QUOR_ENGINE_CONFIG", engineConfig.c_str());
    // A copy of an earlier run, changed by then, is replaced.
    std::filesystem::create_directories(dir / "galleria");
    std::ofstream(dir / "galleria/Galleria.db", std::ios::binary) << "vecchia copia\n";
    const std::string example = ReadFile(ExampleChart());
    ASSERT_FALSE(example.empty()) << "no example chart at '" << ExampleChart() << "'";
    std::ofstream(dir / "galleria/conti.chart", std::ios::binary) << "vecchia copia\n";
    const auto run = Run({"--screenshot", "finestra.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("gallery:"), std::string::npos) << run.err;
    EXPECT_TRUE(Contains(run.out, "Copia di lavoro: " + Native(dir / "galleria/Galleria.db")))
        << run.out;
    EXPECT_TRUE(Contains(run.out, "Copia del diagramma: " + Native(dir / "galleria/conti.chart")))
        << run.out;
    const QImage shot(QString::fromStdString(dir / "finestra.png"));
    EXPECT_EQ(shot.width(), 1240);
    EXPECT_EQ(shot.height(), 760);
    EXPECT_EQ(ReadFile(archive), bytes) << "the original archive changed";
    EXPECT_EQ(ReadFile(dir / "galleria/Galleria.db").rfind("SQLite format 3", 0), 0u);
    EXPECT_EQ(ReadFile(dir / "galleria/conti.chart"), example);
    EXPECT_EQ(ReadFile(ExampleChart()), example) << "the example chart changed";
    EXPECT_EQ(Files(dir / "galleria"),
              (std::set<std::string>{"Galleria.db", "galleria.ini", "conti.chart"}));

    // The chart's page, inside the group Verifiche: its boxes' green, and
    // the parent's blue boxes shrunk into the preview. The archive's page
    // has neither.
    const auto chart = Run({"--diagramma", "--screenshot", "diagramma.png"});
    ASSERT_EQ(chart.status, 0) << chart.err;
    const QImage page(QString::fromStdString(dir / "diagramma.png"));
    EXPECT_EQ(page.width(), 1240);
    EXPECT_EQ(page.height(), 760);
    constexpr unsigned kGroupFill = 13434828, kRootFill = 16776960;
    EXPECT_GT(Pixels(page, kGroupFill), 5000);
    EXPECT_GT(Pixels(page, kRootFill), 200);
    EXPECT_EQ(Pixels(shot, kGroupFill), 0);
    EXPECT_EQ(Pixels(shot, kRootFill), 0);
    EXPECT_EQ(ReadFile(ExampleChart()), example) << "the example chart changed";

    // The gallery's own copy is never the archive it copies.
    const auto self = Run({"--archivio", dir / "galleria/Galleria.db", "--screenshot", "s.png"});
    EXPECT_EQ(self.status, 1);
    EXPECT_TRUE(Contains(self.err, "è già la copia della galleria")) << self.err;
    EXPECT_EQ(ReadFile(dir / "galleria/Galleria.db").rfind("SQLite format 3", 0), 0u);
}

TEST_F(GalleryProgramTest, AnExampleChartBesideTheProgramComesFirstAndIsNeverItsCopy) {
    ScopedEnv config("QUOR_ENGINE_CONFIG", engineConfig.c_str());
    // The program in a folder of its own, with a chart of its own beside it.
    TempDir bin;
    const std::string program = bin / (std::string("gallery") + tooltest::kExeSuffix);
    std::filesystem::copy_file(GALLERY_EXE, program);
    std::string beside = ReadFile(ExampleChart());
    const std::string name = "Name=Inizio\n";
    ASSERT_NE(beside.find(name), std::string::npos);
    beside.replace(beside.find(name), name.size(), "Name=Accanto\n");
    std::ofstream(bin / "conti.chart", std::ios::binary) << beside;

    const auto run = RunProgram(program, {"--screenshot", "s.png"}, dir.path().string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(dir / "galleria/conti.chart"), beside);

    // Its folder as the gallery's: the example would be the copy, so the
    // chart is left out, with the reason; the window still opens.
    const auto self = RunProgram(program, {bin.path().string(), "--screenshot", "t.png"},
                                 dir.path().string());
    EXPECT_EQ(self.status, 0) << self.err;
    EXPECT_TRUE(Contains(self.err, "gallery: il diagramma '" + (bin / "conti.chart") +
                                       "' è già la copia della galleria"))
        << self.err;
    EXPECT_FALSE(Contains(self.out, "Copia del diagramma")) << self.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "t.png"));
    EXPECT_EQ(ReadFile(bin / "conti.chart"), beside);
}

} // namespace
