#include "utilities/AppServices.h"

#include "platform/core/Application.h"
#include "platform/core/Files.h"
#include "platform/core/ScriptedDialogs.h"
#include "tests/platform/core/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

TEST(AppServices, AppPathIsTheProgramFolder) {
    const AnsiString path = AppPath();
    ASSERT_FALSE(path.IsEmpty());
    EXPECT_EQ(path[path.Length()], PathDelim);
#ifdef _WIN32
    EXPECT_EQ(path[path.Length()], '\\');
    EXPECT_EQ(path[2], ':'); // on a drive
    EXPECT_EQ(path + "test_utilities.exe", ProgramFileName());
    EXPECT_EQ(path.Pos("/"), 0);
#else
    EXPECT_EQ(path + "test_utilities", ProgramFileName());
#endif
    EXPECT_TRUE(DirectoryExists(path));
}

TEST(AppServices, AskUserShowsTheTitleAndSetsTheSecondDefault) {
    ScopedScriptedDialogs dialogs;
    const AnsiString oldTitle = Application->Title();
    Application->SetTitle("BracUtil - Utilities per Bracotene");
    dialogs->AnswerButton(IDCANCEL);
    EXPECT_EQ(AskUser("Riprovare?", false, 0x23, ""), IDCANCEL);
    // No answer queued: the default button, the second one when asked for.
    EXPECT_EQ(AskUser("Eliminare?", true, 0x24, "Conferma"), IDNO);
    EXPECT_EQ(AskUser("Eliminare?", false, 0x24, "Conferma"), IDYES);
    EXPECT_EQ(AskUser("Eliminare?", true, 0x124, "Conferma"), IDNO);
    const auto& q = dialogs->Questions();
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(q[0].text, "Riprovare?");
    EXPECT_EQ(q[0].caption, "BracUtil - Utilities per Bracotene");
    EXPECT_EQ(q[0].flags, 0x23);
    EXPECT_EQ(q[1].caption, "Conferma");
    EXPECT_EQ(q[1].flags, 0x124);
    EXPECT_EQ(q[2].flags, 0x24);
    EXPECT_EQ(q[3].flags, 0x124);
    Application->SetTitle(oldTitle);
}

TEST(AppServices, FileExistsMeansReadableFile) {
    TempDir dir;
    std::ofstream(dir / "Condomini.DB") << "x";
#ifdef _WIN32
    std::ofstream(dir.path() / L"citt\u00E0.db") << "x"; // UTF-16 on disk
#else
    std::ofstream(dir / "citt\xC3\xA0.db") << "x"; // UTF-8 on disk
#endif
    EXPECT_TRUE(FileExists((dir / "Condomini.DB").c_str()));
    // Windows-1252 in the program.
    EXPECT_TRUE(FileExists((dir.path().string() + "\\citt\xE0.db").c_str()));
    EXPECT_FALSE(FileExists((dir / "MovConti.db").c_str()));
    EXPECT_TRUE(FileExists((dir.path().string() + "\\Condomini.DB").c_str()));
    EXPECT_FALSE(FileExists(dir.path().string().c_str()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(nullptr));
#ifdef _WIN32
    // Either separator, and the drive letter in either case.
    std::string forward = dir / "Condomini.DB";
    for (char& c : forward)
        if (c == '\\') c = '/';
    EXPECT_TRUE(FileExists(forward.c_str()));
    forward[0] = static_cast<char>(forward[0] ^ 0x20);
    EXPECT_TRUE(FileExists(forward.c_str()));
#endif
}

#ifndef _WIN32
TEST(AppServices, AFileTheUserCannotReadIsNotThere) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root, who reads every file";
    TempDir dir;
    const std::string locked = dir / "locked.db";
    std::ofstream(locked) << "x";
    ASSERT_TRUE(FileExists(locked.c_str()));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    EXPECT_FALSE(FileExists(locked.c_str()));
}
#endif
