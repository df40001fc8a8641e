// The chart editor on a real X display of the test's own, driven from
// outside as a user drives it: its window against chartrender's drawing, and
// a small window scrolled by keys and by the wheel through the window system.

#include "platform/core/Encoding.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"
#include "quorgrafica/BoxKinds.h"
#include "quorgrafica/BoxRegistry.h"
#include "tests/tools/RunProgram.h"
#include "tests/xsession/XSession.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QImage>

#include <chrono>
#include <csignal>
#include <sstream>
#include <thread>

namespace {

using tooltest::ProgramRun;
using tooltest::ReadFile;
using tooltest::RunProgram;

// What --report prints.
struct Report {
    int left = -1, top = -1, width = 0, height = 0; // the chart area in the window
    int viewWidth = 0, viewHeight = 0;              // less the scroll bars
    int scrollX = -1, scrollY = -1, zoom = 0;
    std::vector<std::string> inView;
    bool Shows(const std::string& name) const {
        return std::find(inView.begin(), inView.end(), name) != inView.end();
    }
};

Report ParseReport(const std::string& text) {
    Report r;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string key;
        in >> key;
        if (key == "area") in >> r.left >> r.top >> r.width >> r.height;
        else if (key == "vista") in >> r.viewWidth >> r.viewHeight;
        else if (key == "scorrimento") in >> r.scrollX >> r.scrollY;
        else if (key == "zoom") in >> r.zoom;
        else if (key == "box") r.inView.push_back(line.substr(4));
    }
    return r;
}

// The name of the example chart's box reaching furthest down, then right.
std::string LastBoxName() {
    quorgrafica::RegisterBoxKinds();
    quorgrafica::clsGraf graf;
    AnsiString error;
    EXPECT_TRUE(quorgrafica::LoadChartFile(graf, AnsiString(EXAMPLE_CHART), &error))
        << error.c_str();
    const quorgrafica::clsBox* last = nullptr;
    for (int i = 0; i < graf.GetCount(); ++i) {
        const quorgrafica::clsBox* box = graf.BoxAt(i);
        if (dynamic_cast<const quorgrafica::clsBoxLine*>(box)) continue;
        if (!last || box->Frame.Bottom > last->Frame.Bottom ||
            (box->Frame.Bottom == last->Frame.Bottom && box->Frame.Right > last->Frame.Right))
            last = box;
    }
    return last ? Cp1252ToUtf8(last->Name.CStr()) : std::string();
}

class ChartEditorRealDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.Running()) GTEST_SKIP() << x.Problem();
    }

    // The editor on the example chart, its window 640 x 480 as the user made
    // it; xdotool then does what the user does (%W is the window), and
    // Ctrl+Q ends the editor, whose report comes back.
    Report SmallWindow(const std::vector<std::string>& steps) {
        const std::string out = dir / "report.txt";
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("DISPLAY", x.Display().c_str(), 1);
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("QT_QPA_PLATFORM");
            const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int null = open("/dev/null", O_RDWR);
            if (o < 0 || null < 0 || dup2(o, 1) < 0 || dup2(null, 0) < 0 || dup2(null, 2) < 0)
                _exit(126);
            execl(CHARTEDITOR_EXE, CHARTEDITOR_EXE, "--report", EXAMPLE_CHART,
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        Report report;
        EXPECT_TRUE(x.WaitForWindow("conti.chart - Editor di diagrammi", 60000, pid));
        std::string window =
            x.Run("xdotool search --onlyvisible --pid " + std::to_string(pid) +
                  " --name 'Editor di diagrammi' 2>/dev/null");
        window = window.substr(0, window.find('\n'));
        EXPECT_FALSE(window.empty());
        if (!window.empty()) {
            int status = -1;
            x.Run("xdotool windowsize --sync " + window + " 640 480 windowfocus --sync " + window,
                  &status);
            EXPECT_EQ(status, 0);
            for (std::string step : steps) {
                for (std::size_t at; (at = step.find("%W")) != std::string::npos;)
                    step.replace(at, 2, window);
                x.Run("xdotool " + step, &status);
                EXPECT_EQ(status, 0) << step;
            }
            x.Run("xdotool key --clearmodifiers ctrl+q");
        }
        // A question left open would keep the editor: it is ended, and fails.
        int status = -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "the editor did not end on Ctrl+Q";
                return report;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return ParseReport(ReadFile(out));
    }

    XSession& x = XSession::Shared();
    TempDir dir;
};

TEST_F(ChartEditorRealDisplay, TheWindowShowsTheChartAsChartrenderDrawsIt) {
    const ProgramRun shot = RunProgram(
        "/usr/bin/env",
        {"-u", "QT_QPA_PLATFORM", "-u", "WAYLAND_DISPLAY", "DISPLAY=" + x.Display(), CHARTEDITOR_EXE, "--report",
         "--screenshot=finestra.png", EXAMPLE_CHART},
        dir.path().string());
    ASSERT_EQ(shot.status, 0) << shot.err;
    EXPECT_EQ(shot.err.find("schermo"), std::string::npos) << shot.err;
    const Report report = ParseReport(shot.out);
    ASSERT_GT(report.width, 100) << shot.out;
    ASSERT_GT(report.height, 100) << shot.out;
    ASSERT_GT(report.viewWidth, 0) << shot.out;
    ASSERT_LE(report.viewWidth, report.width);
    ASSERT_LE(report.viewHeight, report.height);
    EXPECT_EQ(report.scrollX, 0);
    EXPECT_EQ(report.scrollY, 0);
    EXPECT_EQ(report.zoom, 100);

    const std::string size = std::to_string(report.width) + "x" + std::to_string(report.height);
    const ProgramRun render = RunProgram(
        CHARTRENDER_EXE, {"--size=" + size, EXAMPLE_CHART, "disegno.png"}, dir.path().string());
    ASSERT_EQ(render.status, 0) << render.err;
    const QImage window =
        QImage(QString::fromStdString(dir / "finestra.png")).convertToFormat(QImage::Format_RGB32);
    const QImage drawn =
        QImage(QString::fromStdString(dir / "disegno.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(window.isNull());
    ASSERT_EQ(drawn.width(), report.width);
    ASSERT_EQ(drawn.height(), report.height);
    ASSERT_LE(report.left + report.width, window.width());
    ASSERT_LE(report.top + report.height, window.height());

    // The part of the area the scroll bars leave free; nothing is selected
    // on opening, so the window shows no selection frame either. The fonts
    // come from the same files and the same rasteriser on the display and
    // off it: every pixel must agree.
    const QImage shown =
        window.copy(report.left, report.top, report.viewWidth, report.viewHeight);
    const QImage expected = drawn.copy(0, 0, report.viewWidth, report.viewHeight);
    int differ = 0, background = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x0 = 0; x0 < shown.width(); ++x0) {
            if (shown.pixel(x0, y) != expected.pixel(x0, y)) ++differ;
            if (shown.pixel(x0, y) == shown.pixel(0, 0)) ++background;
        }
    EXPECT_EQ(differ, 0) << "pixels that differ, of " << shown.width() * shown.height();
    // The boxes are there, not an empty page.
    EXPECT_LT(background, shown.width() * shown.height() * 95 / 100);
    EXPECT_FALSE(report.inView.empty());
}

TEST_F(ChartEditorRealDisplay, ASmallWindowReachesTheLastBoxByScrolling) {
    int found = -1;
    x.Run("command -v xdotool >/dev/null", &found);
    if (found != 0) GTEST_SKIP() << "xdotool is not installed (tools/install-deps.sh)";
    const std::string last = LastBoxName();
    ASSERT_FALSE(last.empty());

    // Out of reach as the window opens at that size.
    const Report still = SmallWindow({});
    ASSERT_GT(still.width, 0);
    ASSERT_LT(still.width, 640);
    EXPECT_EQ(still.scrollY, 0);
    EXPECT_FALSE(still.Shows(last)) << last;
    EXPECT_FALSE(still.inView.empty());

    // Page Down, typed.
    const Report paged = SmallWindow({"key --delay 50 Next Next Next Next Next Next Next Next"});
    EXPECT_GT(paged.scrollY, 0);
    EXPECT_EQ(paged.zoom, 100);
    EXPECT_TRUE(paged.Shows(last)) << last;

    // The wheel turned over the middle of the chart area, which the first
    // report placed.
    const std::string middle = std::to_string(still.left + still.width / 2) + " " +
                               std::to_string(still.top + still.height / 2);
    const Report wheeled = SmallWindow(
        {"mousemove --sync --window %W " + middle, "click --repeat 15 --delay 50 5"});
    EXPECT_GT(wheeled.scrollY, 0);
    EXPECT_EQ(wheeled.zoom, 100);
    EXPECT_TRUE(wheeled.Shows(last)) << last;
}

} // namespace
