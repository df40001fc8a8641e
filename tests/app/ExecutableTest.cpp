// bracutil --export run as a separate program, without any display: the
// bytes it writes, its exit codes and its messages.

#include "app/ContoCorrenteExport.h"
#include "app/datBracUtil.h"
#include "tests/app/AppFixture.h"

#include "platform/core/Encoding.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"

#include <sys/wait.h>

#include <cstdio>

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ExecutableTest : public AppArchiveTest {
protected:
    ProgramRun Bracutil(const std::string& args) {
        const std::string errFile = dir_ + "/stderr.txt";
        // No display of any kind: the export must not need one.
        const std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=it_IT.UTF-8 '" +
            std::string(BRACUTIL_EXE) + "' " + args + " 2>'" + errFile + "' </dev/null";
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

} // namespace
