// The Windows zips as a Windows user meets them, run under Wine: every
// program starts from the folder it was unpacked in with nothing installed
// but Wine, writes what the Linux program writes, shows its window on an X
// display and hands its copy to the other programs there.
// QUOR_WINDOWS_UNPACKED names the folder the zips were unpacked in,
// QUOR_WINE Wine's loader; WINEPREFIX is the prefix to use.

#include "tests/platform/core/TempDir.h"
#include "tests/tools/RunProgram.h"
#include "tests/xsession/XSession.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using tooltest::Contains;
using tooltest::ProgramRun;
using tooltest::ReadFile;
using tooltest::RunProgram;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The unpacked folder of a family ("bracutil", "quor-tools").
fs::path Folder(const std::string& family) {
    const fs::path unpacked = Env("QUOR_WINDOWS_UNPACKED");
    if (unpacked.empty() || !fs::is_directory(unpacked)) return {};
    for (const auto& entry : fs::directory_iterator(unpacked)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && name.rfind(family + "-", 0) == 0 &&
            name.find("-win64") != std::string::npos)
            return entry.path();
    }
    return {};
}

// The command line that runs a Windows program with only Wine around it (no
// folders of DLLs, no Qt settings of the test's), on the test's X display:
// Wine's desktop takes the display of the first program that starts it.
std::vector<std::string> WineCommand(const fs::path& exe, const std::vector<std::string>& args,
                                     const std::vector<std::string>& environment) {
    std::vector<std::string> line = {"-u", "WINEPATH", "-u", "WINEQT_QPA_PLATFORM", "-u",
                                     "WINEQT_QPA_FONTDIR", "-u", "WAYLAND_DISPLAY",
                                     "-u", "QUOR_ENGINE_CONFIG", "-u", "QUOR_REGISTRY",
                                     "DISPLAY=" + XSession::Shared().Display()};
    line.insert(line.end(), environment.begin(), environment.end());
    line.push_back(Env("QUOR_WINE"));
    line.push_back(exe.string());
    line.insert(line.end(), args.begin(), args.end());
    return line;
}

ProgramRun Wine(const fs::path& exe, const std::vector<std::string>& args, const fs::path& cwd,
                const std::vector<std::string>& environment = {}) {
    return RunProgram("/usr/bin/env", WineCommand(exe, args, environment), cwd.string());
}

ProgramRun Linux(const std::string& exe, const std::vector<std::string>& args, const fs::path& cwd,
                 const std::vector<std::string>& environment = {}) {
    std::vector<std::string> line = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                                     "QT_QPA_PLATFORM"};
    line.insert(line.end(), environment.begin(), environment.end());
    line.push_back(exe);
    line.insert(line.end(), args.begin(), args.end());
    return RunProgram("/usr/bin/env", line, cwd.string());
}

class WindowsZips : public ::testing::Test {
protected:
    void SetUp() override {
        if (Env("QUOR_WINE").empty() || Folder("bracutil").empty() || Folder("quor-tools").empty())
            GTEST_SKIP() << "QUOR_WINDOWS_UNPACKED and QUOR_WINE name no unpacked zips "
                            "(tools/test-windows.sh sets them)";
        ASSERT_TRUE(XSession::Shared().Running()) << XSession::Shared().Problem();
    }

    // A demo archive made by the Linux program, and its engine.ini.
    std::string DemoArchive(const std::string& name) {
        const ProgramRun made = Linux(MAKE_DEMO_ARCHIVE_EXE, {name}, dir.path());
        EXPECT_EQ(made.status, 0) << made.err;
        return (dir.path() / name / "engine.ini").string();
    }

    TempDir dir;
};

TEST_F(WindowsZips, EveryProgramStartsFromItsOwnFolderAndFollowsTheConventions) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> families = {
        {"bracutil", {"bracutil"}},
        {"quor-tools", {"charteditor", "gallery", "chartrender", "archive-copy", "make-demo-archive"}}};
    for (const auto& [family, programs] : families) {
        const fs::path folder = Folder(family);
        for (const char* part : {"qt.conf", "LEGGIMI.txt", "translations/qtbase_it.qm",
                                 "plugins/platforms/qwindows.dll", "Qt6Core.dll",
                                 "libstdc++-6.dll", "libwinpthread-1.dll"})
            EXPECT_TRUE(fs::exists(folder / part)) << folder / part;
        for (const std::string& program : programs) {
            SCOPED_TRACE(program);
            const fs::path exe = folder / (program + ".exe");
            const ProgramRun version = Wine(exe, {"--version"}, folder);
            EXPECT_EQ(version.status, 0) << version.err;
            EXPECT_EQ(version.out.rfind(program + " ", 0), 0u) << version.out;
            const ProgramRun help = Wine(exe, {"--help"}, dir.path());
            EXPECT_EQ(help.status, 0) << help.err;
            EXPECT_EQ(help.out.rfind("Uso: ", 0), 0u) << help.out;
            const ProgramRun unknown = Wine(exe, {"--sconosciuta"}, dir.path());
            EXPECT_EQ(unknown.status, 2);
            EXPECT_EQ(unknown.out, "");
            EXPECT_TRUE(Contains(unknown.err, "--sconosciuta")) << unknown.err;
        }
    }
}

TEST_F(WindowsZips, TheExportIsTheLinuxProgramsByteForByte) {
    const std::string config = "QUOR_ENGINE_CONFIG=" + DemoArchive("demo");
    const fs::path bracutil = Folder("bracutil") / "bracutil.exe";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--export"}, {"--export", "--condominio", "2"}}) {
        SCOPED_TRACE(args.back());
        const ProgramRun linux = Linux(BRACUTIL_EXE, args, dir.path(), {config});
        ASSERT_EQ(linux.status, 0) << linux.err;
        ASSERT_GT(linux.out.size(), 1000u);
        const ProgramRun windows = Wine(bracutil, args, dir.path(), {config});
        EXPECT_EQ(windows.status, 0) << windows.err;
        EXPECT_EQ(windows.err, "");
        EXPECT_TRUE(windows.out == linux.out)
            << windows.out.size() << " bytes against " << linux.out.size();
    }

    // The archive the Windows program makes is the one the Linux program makes.
    const fs::path tools = Folder("quor-tools");
    const ProgramRun made = Wine(tools / "make-demo-archive.exe", {"fatto"}, dir.path());
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string madeConfig = "QUOR_ENGINE_CONFIG=" + (dir.path() / "fatto/engine.ini").string();
    const ProgramRun fromWindows = Linux(BRACUTIL_EXE, {"--export"}, dir.path(), {madeConfig});
    const ProgramRun fromLinux = Linux(BRACUTIL_EXE, {"--export"}, dir.path(), {config});
    EXPECT_EQ(fromWindows.status, 0) << fromWindows.err;
    EXPECT_TRUE(fromWindows.out == fromLinux.out);
}

// A Windows program left running on the display, ended with its test.
class Running {
public:
    Running(const fs::path& exe, const std::vector<std::string>& args, const fs::path& cwd,
            const std::vector<std::string>& environment) {
        const std::vector<std::string> line = WineCommand(exe, args, environment);
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(cwd.c_str()) != 0) _exit(126);
            std::vector<char*> argv{const_cast<char*>("/usr/bin/env")};
            for (const std::string& word : line) argv.push_back(const_cast<char*>(word.c_str()));
            argv.push_back(nullptr);
            execv("/usr/bin/env", argv.data());
            _exit(127);
        }
    }
    ~Running() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        // Wine's own processes of the program go with its server.
        XSession::Shared().Run("wineserver -k 2>/dev/null");
    }
    int Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

TEST_F(WindowsZips, TheWindowShowsOnTheDisplayAndItsCopyReachesTheOtherPrograms) {
    XSession& x = XSession::Shared();
    const std::string config = "QUOR_ENGINE_CONFIG=" + DemoArchive("demo");
    const ProgramRun linux = Linux(BRACUTIL_EXE, {"--export"}, dir.path(), {config});
    ASSERT_EQ(linux.status, 0) << linux.err;
    const fs::path folder = Folder("bracutil");
    const std::string title = "BracUtil - Utilities per Bracotene";
    Running program(folder / "bracutil.exe", {}, folder, {config});
    ASSERT_TRUE(x.WaitForWindow(title, 120000, program.Pid())) << "no window on the display";
    const std::string id = x.Run("xdotool search --name '^" + title + "$' | head -n 1");
    ASSERT_FALSE(id.empty());
    // The "Conto Corrente" page, then its button, where the user clicks them.
    const std::string window = id.substr(0, id.find('\n'));
    x.Run("xdotool mousemove --window " + window + " 184 10 click 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    x.Run("xdotool mousemove --window " + window + " 98 40 click 1");

    // Wine hands the text to X with its lines ending in LF, as X programs expect.
    std::string expected = linux.out;
    std::erase(expected, '\r');
    std::string text;
    for (int attempt = 0; attempt < 100 && text != expected; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        text = x.Run("xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null");
    }
    EXPECT_TRUE(text == expected) << text.substr(0, 300);
    const std::string html = x.Run("xclip -o -selection clipboard -t text/html 2>/dev/null");
    EXPECT_TRUE(Contains(html, "<table")) << html.substr(0, 300);
    std::size_t rows = 0;
    for (std::size_t at = html.find("<tr>"); at != std::string::npos; at = html.find("<tr>", at + 1))
        ++rows;
    // A row for each line of the text; the last line has no line break.
    const auto lines = static_cast<std::size_t>(std::count(linux.out.begin(), linux.out.end(), '\n')) +
                       (linux.out.empty() || linux.out.back() == '\n' ? 0 : 1);
    EXPECT_EQ(rows, lines);
}

// charteditor --report: "area LEFT TOP WIDTH HEIGHT" and "vista WIDTH HEIGHT".
struct Area {
    int left = 0, top = 0, width = 0, height = 0, viewWidth = 0, viewHeight = 0;
};

Area ParseArea(const std::string& report) {
    Area area;
    std::istringstream lines(report);
    std::string word;
    while (lines >> word) {
        if (word == "area") lines >> area.left >> area.top >> area.width >> area.height;
        if (word == "vista") lines >> area.viewWidth >> area.viewHeight;
    }
    return area;
}

int Differing(const QImage& a, const QImage& b) {
    int differ = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differ += a.pixel(x, y) != b.pixel(x, y);
    return differ;
}

TEST_F(WindowsZips, TheChartEditorsWindowShowsTheChartAsChartrenderDrawsIt) {
    const fs::path tools = Folder("quor-tools");
    const ProgramRun shot =
        Wine(tools / "charteditor.exe", {"--report", "--screenshot=finestra.png", (tools / "conti.chart").string()},
             dir.path());
    ASSERT_EQ(shot.status, 0) << shot.err;
    const Area area = ParseArea(shot.out);
    ASSERT_GT(area.viewWidth, 100) << shot.out;
    ASSERT_GT(area.viewHeight, 100) << shot.out;
    const std::string size = std::to_string(area.width) + "x" + std::to_string(area.height);
    const ProgramRun windows = Wine(tools / "chartrender.exe",
                                    {"--size=" + size, (tools / "conti.chart").string(), "windows.png"}, dir.path());
    ASSERT_EQ(windows.status, 0) << windows.err;
    const ProgramRun linux = Linux(CHARTRENDER_EXE, {"--size=" + size, (tools / "conti.chart").string(), "linux.png"},
                                   dir.path());
    ASSERT_EQ(linux.status, 0) << linux.err;

    const auto load = [&](const char* name) {
        return QImage(QString::fromStdString((dir.path() / name).string())).convertToFormat(QImage::Format_RGB32);
    };
    const QImage window = load("finestra.png");
    ASSERT_FALSE(window.isNull());
    ASSERT_LE(area.left + area.viewWidth, window.width());
    ASSERT_LE(area.top + area.viewHeight, window.height());
    const QImage shown = window.copy(area.left, area.top, area.viewWidth, area.viewHeight);
    // The same program's drawing on the same system: every pixel.
    EXPECT_EQ(Differing(shown, load("windows.png").copy(0, 0, area.viewWidth, area.viewHeight)), 0);
    // Against Linux the boxes, lines and colours are the same; the letters are
    // drawn by Windows' font rasteriser instead of FreeType, so only they
    // differ: a small share of the picture.
    const int differ = Differing(shown, load("linux.png").copy(0, 0, area.viewWidth, area.viewHeight));
    EXPECT_LT(differ, area.viewWidth * area.viewHeight / 100) << differ << " pixels differ";
}

} // namespace
