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
    EXPECT_EQ(path + "test_utilities", ProgramFileName());
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
    std::ofstream(dir / "citt\xC3\xA0.db") << "x"; // UTF-8 on disk
    EXPECT_TRUE(FileExists((dir / "Condomini.DB").c_str()));
    EXPECT_TRUE(FileExists((dir / "citt\xE0.db").c_str())); // Windows-1252 in the program
    EXPECT_FALSE(FileExists((dir / "MovConti.db").c_str()));
    EXPECT_TRUE(FileExists((dir.path().string() + "\\Condomini.DB").c_str()));
    EXPECT_FALSE(FileExists(dir.path().c_str()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(nullptr));
    const std::string locked = dir / "locked.db";
    std::ofstream(locked) << "x";
    chmod(locked.c_str(), 0);
    // The superuser reads anything, so the check only means something for others.
    if (geteuid() != 0) {
        EXPECT_FALSE(FileExists(locked.c_str()));
    }
}
