#include "db/EngineDirs.h"
#include "tests/db/DbFixture.h"

#include "platform/core/Files.h"
#include "platform/core/ScriptedDialogs.h"
#include "utilities/AppServices.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using Kind = ScriptedDialogs::Kind;

TEST(EngineDirsTest, CreaBdeDirCreatesTheFoldersAndHandsThemToTheSession) {
    dbtest::TempDir dir;
    TSession session(nullptr);
    session.SetSessionName("SessioneCartelle");
    const AnsiString net = AnsiString(dir.Path()) + "rete/condivisa";
    const AnsiString priv = AnsiString(dir.Path()) + "locale/lavoro/";
    EXPECT_TRUE(CreaBdeDir(&session, net, priv));
    EXPECT_TRUE(DirectoryExists(net));
    EXPECT_TRUE(DirectoryExists(priv));
    EXPECT_EQ(IncludeTrailingPathDelimiter(session.NetFileDir()),
              IncludeTrailingPathDelimiter(ExpandUNCFileName(net)));
    EXPECT_EQ(IncludeTrailingPathDelimiter(session.PrivateDir()),
              IncludeTrailingPathDelimiter(ExpandUNCFileName(priv)));
}

// Set in a copy of this program run by the case below.
constexpr const char* kCopyMark = "QUOR_TEST_PROGRAM_COPY";

// "Net" and "Priv" go beside the program. So that the copies of this case that
// run at once (each engine's) have folders of their own, and the folders a
// user keeps beside the real program are never touched, the case runs in a
// copy of this program made in a folder of its own.
TEST(EngineDirsTest, CreaBdeDirDefaultsToFoldersBesideTheProgram) {
    if (std::getenv(kCopyMark)) {
        TSession session(nullptr);
        session.SetSessionName("SessionePredefinita");
        const AnsiString net = AppPath() + "Net" + PathDelim;
        const AnsiString priv = AppPath() + "Priv" + PathDelim;
        EXPECT_TRUE(CreaBdeDir(&session, "", ""));
        EXPECT_TRUE(DirectoryExists(net));
        EXPECT_TRUE(DirectoryExists(priv));
        EXPECT_EQ(IncludeTrailingPathDelimiter(session.NetFileDir()),
                  IncludeTrailingPathDelimiter(ExpandUNCFileName(net)));
        EXPECT_EQ(IncludeTrailingPathDelimiter(session.PrivateDir()),
                  IncludeTrailingPathDelimiter(ExpandUNCFileName(priv)));
        return;
    }
#ifdef _WIN32
    GTEST_SKIP() << "the copy of the program is run on the other systems only";
#else
    dbtest::TempDir dir;
    const std::filesystem::path program = ProgramFileName().str();
    const std::filesystem::path copy = dir.Path() + program.filename().string();
    std::filesystem::copy_file(program, copy);
    const std::string command = std::string(kCopyMark) + "=1 '" + copy.string() +
                                "' --gtest_filter=EngineDirsTest.CreaBdeDirDefaultsToFolders*" +
                                " >'" + dir.Path() + "copy.txt' 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream in(dir.Path() + "copy.txt");
    const std::string output((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "Net"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "Priv"));
#endif
}

TEST(EngineDirsTest, CreaBdeDirLeavesTheSessionAloneWhenAFolderCannotBeMade) {
    dbtest::TempDir dir;
    const std::string blocker = dir.Path() + "file";
    std::ofstream(blocker) << "x";
    TSession session(nullptr);
    session.SetSessionName("SessioneBloccata");
    ASSERT_TRUE(CreaBdeDir(&session, AnsiString(dir.Path()) + "prima/rete",
                           AnsiString(dir.Path()) + "prima/locale"));
    const AnsiString netBefore = session.NetFileDir();
    const AnsiString privBefore = session.PrivateDir();

    // The private folder fails: the network folder is not even tried.
    const AnsiString net = AnsiString(dir.Path()) + "rete";
    EXPECT_TRUE(CreaBdeDir(&session, net, AnsiString(blocker) + "/sotto"));
    EXPECT_FALSE(DirectoryExists(net));
    // The network folder fails after the private one was made.
    const AnsiString priv = AnsiString(dir.Path()) + "locale";
    EXPECT_TRUE(CreaBdeDir(&session, AnsiString(blocker) + "/sotto", priv));
    EXPECT_TRUE(DirectoryExists(priv));
    EXPECT_EQ(session.NetFileDir(), netBefore);
    EXPECT_EQ(session.PrivateDir(), privBefore);

    // Only a refusal while setting the folders gives false.
    EXPECT_FALSE(CreaBdeDir(nullptr, net, priv));
}

TEST(EngineDirsTest, ChiediBdeDirYesGivesTheProposals) {
    ScopedScriptedDialogs dialogs;
    dialogs->AnswerButton(IDYES);
    AnsiString archives = "x", net = "", priv = "z";
    EXPECT_TRUE(ChiediBdeDir(archives, net, priv));
    EXPECT_EQ(archives, AppPath() + "Archivi");
    EXPECT_EQ(net, AppPath() + "Net");
    EXPECT_EQ(priv, AppPath() + "Priv");
    ASSERT_EQ(dialogs->Questions().size(), 1u);
    EXPECT_EQ(dialogs->Questions()[0].text, "Utilizzo le cartelle predefinite?");
    EXPECT_EQ(dialogs->Questions()[0].caption, "Cartelle archivi");
    EXPECT_EQ(dialogs->Questions()[0].flags, 0x24);
}

TEST(EngineDirsTest, ChiediBdeDirNoAsksForEachFolder) {
    ScopedScriptedDialogs dialogs;
    dialogs->AnswerButton(IDNO);
    dialogs->AnswerInput("/dati/archivi");
    dialogs->AnswerInput("");
    dialogs->AnswerInputCancel();
    AnsiString archives, net, priv;
    EXPECT_FALSE(ChiediBdeDir(archives, net, priv));
    EXPECT_EQ(archives, "/dati/archivi");
    EXPECT_EQ(net, "");
    EXPECT_EQ(priv, AppPath() + "Priv"); // cancelled: the proposal stays

    const auto& q = dialogs->Questions();
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[1].kind, Kind::InputQuery);
    EXPECT_EQ(q[1].caption, "Cartella Archivi");
    EXPECT_EQ(q[1].text, "Quale cartella utilizzo per gli Archivi del programma?");
    EXPECT_EQ(q[2].caption, "Cartella condivisione in rete");
    EXPECT_EQ(q[2].text, "Quale cartella utilizzo per la condivisione in rete?");
    EXPECT_EQ(q[3].caption, "Cartella locale");
    EXPECT_EQ(q[3].text, "Quale cartella utilizzo per il lavoro in locale?");

    dialogs->AnswerButton(IDNO);
    dialogs->AnswerInput("a");
    dialogs->AnswerInput("b");
    dialogs->AnswerInput("c");
    EXPECT_TRUE(ChiediBdeDir(archives, net, priv));
    EXPECT_EQ(archives + net + priv, "abc");
}

} // namespace
