// bracutil --export run as a separate program, without any display: the
// bytes it writes, its exit codes and its messages.

#include "platform/core/CommandLine.h"
#include "app/ContoCorrenteExport.h"
#include "app/datBracUtil.h"
#include "tests/app/AppFixture.h"
#include "tests/xsession/XSession.h"

#include "platform/core/Encoding.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include <QImage>

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ExecutableTest : public AppArchiveTest {
protected:
    // Runs bracutil in the test's folder; environment goes before it
    // (by default no display of any kind and an Italian user).
    ProgramRun Bracutil(const std::string& args,
                        const std::string& environment = "LC_ALL=it_IT.UTF-8") {
        const std::string errFile = dir_ + "/stderr.txt";
        const std::string command = "cd '" + dir_ +
                                    "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                    "-u LC_ALL -u LC_NUMERIC -u LC_TIME -u LC_MONETARY -u LANG " +
                                    environment + " '" + std::string(BRACUTIL_EXE) + "' " + args +
                                    " 2>'" + errFile + "' </dev/null";
        ProgramRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return run;
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            run.out.append(buffer, n);
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = ReadFileBytes(errFile);
        return run;
    }

    // The same export done in this process, as UTF-8.
    std::string InProcess(std::optional<int> id) {
        ScopedScriptedDialogs dialogs;
        TdatBracoUtil module;
        if (id) {
            EXPECT_TRUE(module.tblCondomini->Locate("IdCondominio", Variant(*id)));
        }
        const quorbase::clsString text = BuildContoCorrenteText(module.tblCondomini);
        return Cp1252ToUtf8(std::string_view(text.CStr(), static_cast<std::size_t>(text.Length())));
    }
};

TEST_F(ExecutableTest, ExportWritesTheButtonsTextAsUtf8) {
    const std::string before = ReadArchiveBytes();
    const ProgramRun first = Bracutil("--export");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, InProcess(std::nullopt));
    EXPECT_EQ(first.err, "");

    const ProgramRun one = Bracutil("--export --condominio 1");
    EXPECT_EQ(one.status, 0) << one.err;
    const std::string expected = InProcess(1);
    EXPECT_EQ(one.out, expected);
    // Lines break with CR LF, the euro sign is UTF-8, nothing follows the last line.
    EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), DemoMovements());
    EXPECT_NE(one.out.find("\r\n"), std::string::npos);
    EXPECT_NE(one.out.find("\t\xE2\x82\xAC\t"), std::string::npos);
    ASSERT_FALSE(one.out.empty());
    EXPECT_NE(one.out.back(), '\n');
    EXPECT_NE(one.out, first.out);
    EXPECT_EQ(ReadArchiveBytes(), before);
}

TEST_F(ExecutableTest, WithoutADisplayTheWindowGivesWayToTheExport) {
    const ProgramRun run = Bracutil("");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, InProcess(std::nullopt));
    EXPECT_NE(run.err.find("nessuno schermo disponibile"), std::string::npos) << run.err;
}

TEST_F(ExecutableTest, FailuresExitWithAMessage) {
    const ProgramRun unknown = Bracutil("--export --condominio 99999");
    EXPECT_NE(unknown.status, 0);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("99999"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("non esiste"), std::string::npos) << unknown.err;

    const ProgramRun bad = Bracutil("--export --condominio uno");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--condominio"), std::string::npos) << bad.err;

    // The question of the failed table goes to the terminal; the program
    // ends without a bare header on standard output.
    Exec("DROP TABLE MovConti");
    const ProgramRun noTable = Bracutil("--export");
    EXPECT_NE(noTable.status, 0);
    EXPECT_EQ(noTable.out, "");
    EXPECT_NE(noTable.err.find("MovConti.db"), std::string::npos) << noTable.err;

    WriteEngineConfig("[Altro]\nDriver=SQLITE\nPath=Archivi/Bracotene.db\n");
    const ProgramRun noAlias = Bracutil("--export");
    EXPECT_NE(noAlias.status, 0);
    EXPECT_EQ(noAlias.out, "");
    EXPECT_NE(noAlias.err.find("Bracotene"), std::string::npos) << noAlias.err;
}

TEST_F(ExecutableTest, CommandLineFollowsTheConventions) {
    const ProgramRun help = Bracutil("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Uso: bracutil", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("--condominio"), std::string::npos);
    EXPECT_EQ(help.err, "");
    const ProgramRun version = Bracutil("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("bracutil ") + QuorVersion() + "\n");
    EXPECT_EQ(version.err, "");

    for (const std::string args : {"--exprot", "-x", "--export --condominio", "estraneo",
                                   "--condominio 3", "--export --screenshot a.png",
                                   "--screenshot immagine.jpg", "--screenshot --export",
                                   "--export=si"}) {
        const ProgramRun refused = Bracutil(args);
        EXPECT_EQ(refused.status, 2) << args;
        EXPECT_EQ(refused.out, "") << args;
        EXPECT_EQ(refused.err.rfind("bracutil: ", 0), 0u) << args << ": " << refused.err;
        EXPECT_NE(refused.err.find(help.out), std::string::npos) << args << ": " << refused.err;
    }
    // Nothing was written under an option's name, nor any picture.
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.front(), '-') << name;
        EXPECT_NE(entry.path().extension(), ".png") << name;
    }
}

// Runs bracutil --export with its standard output on a terminal.
std::string ExportOnATerminal(const std::string& dir) {
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        unsetenv("DISPLAY");
        setenv("LC_ALL", "it_IT.UTF-8", 1);
        // The terminal shows the line breaks as they come.
        termios settings{};
        tcgetattr(STDOUT_FILENO, &settings);
        settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        tcsetattr(STDOUT_FILENO, TCSANOW, &settings);
        execl(BRACUTIL_EXE, BRACUTIL_EXE, "--export", "--condominio", "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = read(master, buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    int status = 0;
    waitpid(child, &status, 0);
    close(master);
    return out;
}

TEST_F(ExecutableTest, ATerminalGetsALineBreakAfterTheTextAPipeGetsTheTextExactly) {
    const ProgramRun piped = Bracutil("--export --condominio 1");
    ASSERT_EQ(piped.status, 0);
    ASSERT_NE(piped.out.back(), '\n');
    EXPECT_EQ(ExportOnATerminal(dir_), piped.out + "\n");
    // To a file, the same bytes as to a pipe.
    const ProgramRun toFile = Bracutil("--export --condominio 1 > export.txt");
    EXPECT_EQ(toFile.status, 0);
    EXPECT_EQ(ReadFileBytes(dir_ + "/export.txt"), piped.out);
}

TEST_F(ExecutableTest, TheCAndPosixLocalesGiveItalianFormats) {
    const std::string italian = Bracutil("--export --condominio 1").out;
    ASSERT_NE(italian.find(","), std::string::npos);
    for (const std::string environment : {"LANG=C.UTF-8", "LC_ALL=C", "LANG=POSIX", ""})
        EXPECT_EQ(Bracutil("--export --condominio 1", environment).out, italian) << environment;
    // A locale the user chose still counts.
    const std::string american = Bracutil("--export --condominio 1", "LANG=en_US.UTF-8").out;
    EXPECT_NE(american, italian);
    EXPECT_NE(american.find("\t\xE2\x82\xAC\t"), std::string::npos);
}

TEST_F(ExecutableTest, ADisplayThatDoesNotAnswerIsNamedAndTheExportFollows) {
    // A display number nothing listens on.
    int number = 97;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)))
        ++number;
    const std::string display = ":" + std::to_string(number);
    const ProgramRun run = Bracutil("", "LC_ALL=it_IT.UTF-8 DISPLAY=" + display);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("impossibile aprire lo schermo \"" + display + "\""), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("nessuno schermo disponibile"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, Bracutil("--export").out);
    // A picture of the window is drawn without the display.
    const ProgramRun shot = Bracutil("--screenshot finestra.png", "LC_ALL=it_IT.UTF-8 DISPLAY=" + display);
    EXPECT_EQ(shot.status, 0) << shot.err;
    EXPECT_GT(std::filesystem::file_size(dir_ + "/finestra.png"), 1000u);
}

TEST_F(ExecutableTest, ADisplayThatAnswersShowsTheWindow) {
    XSession& x = XSession::Shared();
    if (!x.Running()) GTEST_SKIP() << x.Problem();
    const ProgramRun run =
        Bracutil("--screenshot finestra.png", "LC_ALL=it_IT.UTF-8 DISPLAY=" + x.Display());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("schermo"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    // The window on the display shows what the program draws without one.
    const ProgramRun drawn = Bracutil("--screenshot disegnata.png");
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    const QImage shown(QString::fromStdString(dir_ + "/finestra.png"));
    const QImage expected(QString::fromStdString(dir_ + "/disegnata.png"));
    ASSERT_FALSE(shown.isNull());
    ASSERT_EQ(shown.size(), expected.size());
    int differ = 0, background = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != expected.pixel(x, y)) ++differ;
            if (shown.pixel(x, y) == shown.pixel(0, 0)) ++background;
        }
    EXPECT_EQ(differ, 0) << "pixels that differ, of " << shown.width() * shown.height();
    // A window with its lists and buttons, not an empty one.
    EXPECT_LT(background, shown.width() * shown.height() * 9 / 10);
}

TEST_F(ExecutableTest, ALockedArchiveIsAFailureWithNothingOnStandardOutput) {
    ArchiveWriteLock lock(archive_);
    ASSERT_TRUE(lock.Held());
    const ProgramRun locked = Bracutil("--export --condominio 1");
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.out, "");
    // Locked from before the program starts: the engine meets the lock as it
    // opens the archive, and says so naming it.
    EXPECT_NE(locked.err.find("Bracotene"), std::string::npos) << locked.err;
    EXPECT_TRUE(locked.err.find("bloccato") != std::string::npos ||
                locked.err.find("locked") != std::string::npos)
        << locked.err;
}

} // namespace
