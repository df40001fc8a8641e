#include "platform/core/Files.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(Files, NamePieces) {
    EXPECT_EQ(ExtractFilePath("/opt/quor/Net\\MovConti.db"), "/opt/quor/Net\\");
    EXPECT_EQ(ExtractFileName("/opt/quor/Net\\MovConti.db"), "MovConti.db");
    EXPECT_EQ(ExtractFileExt("/opt/quor/MovConti.db"), ".db");
    EXPECT_EQ(ExtractFileExt("/opt/q.uor/Condomini"), "");
    EXPECT_EQ(ExtractFilePath("plain.txt"), "");
    EXPECT_EQ(ExtractFileName("folder/"), "");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/"), "/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("Net\\"), "Net\\");
    EXPECT_EQ(NormalizePath("a\\b/c"), "a/b/c");
}

TEST(Files, ExpandResolvesDotsAndBothSeparators) {
    EXPECT_EQ(ExpandFileName("/opt/quor/../quor2/./Net\\\\Priv\\"), "/opt/quor2/Net/Priv/");
    EXPECT_EQ(ExpandFileName("/a/b/.."), "/a");
    EXPECT_EQ(ExpandFileName("/../.."), "/");
    EXPECT_EQ(ExpandFileName(""), "");
    TempDir dir;
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const AnsiString cwd = std::filesystem::current_path().string();
    EXPECT_EQ(ExpandFileName("Net\\x.db"), cwd + "/Net/x.db");
    EXPECT_EQ(ExpandFileName("."), cwd);
    EXPECT_EQ(ExpandUNCFileName("Net\\"), cwd + "/Net/");
    std::filesystem::current_path(saved);
}

TEST(Files, ForceDirectoriesCreatesEveryLevel) {
    TempDir dir;
    const AnsiString deep = AnsiString(dir / "Priv") + "\\sub\\deeper";
    EXPECT_FALSE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Priv" / "sub" / "deeper"));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep)); // already there
    // Names are Windows-1252 inside and UTF-8 on disk.
    EXPECT_TRUE(ForceDirectories(AnsiString(dir / "citt\xE0")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "citt\xC3\xA0"));

    std::ofstream(dir / "file") << "x";
    EXPECT_FALSE(ForceDirectories(AnsiString(dir / "file") + "/below"));
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_TRUE(FileExistsOnDisk(dir / "file"));
    EXPECT_FALSE(FileExistsOnDisk(deep));
    EXPECT_FALSE(FileExistsOnDisk(dir / "missing"));
    EXPECT_FALSE(DirectoryExists(dir / "file"));
}

TEST(Files, ProgramFileIsThisTest) {
    const AnsiString exe = ProgramFileName();
    EXPECT_EQ(exe[1], '/');
    EXPECT_EQ(ExtractFileName(exe), "test_platform_core");
    EXPECT_TRUE(FileExistsOnDisk(exe));
}
