#include "platform/core/Files.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

#ifndef _WIN32
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
#else

// Windows names: drive letters, backslashes, UNC shares.

TEST(Files, WindowsNamePieces) {
    EXPECT_EQ(ExtractFilePath("C:\\Quor\\Net\\MovConti.db"), "C:\\Quor\\Net\\");
    EXPECT_EQ(ExtractFileName("C:\\Quor\\Net\\MovConti.db"), "MovConti.db");
    EXPECT_EQ(ExtractFilePath("C:MovConti.db"), "C:"); // the drive's current folder
    EXPECT_EQ(ExtractFileName("C:MovConti.db"), "MovConti.db");
    EXPECT_EQ(ExtractFilePath("C:/Quor/Priv/x.db"), "C:/Quor/Priv/");
    EXPECT_EQ(ExtractFileExt("C:\\Qu.or\\Condomini"), "");
    EXPECT_EQ(ExtractFilePath("\\\\server\\quor\\Net\\PDOXUSRS.NET"), "\\\\server\\quor\\Net\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\Quor"), "C:\\Quor\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\"), "C:\\");
    EXPECT_EQ(NormalizePath("C:/Quor\\Net/x"), "C:\\Quor\\Net\\x");
}

TEST(Files, WindowsExpandResolvesDotsDrivesAndBothSeparators) {
    EXPECT_EQ(ExpandFileName("C:\\Quor\\..\\Quor2\\.\\Net\\Priv\\"), "C:\\Quor2\\Net\\Priv\\");
    EXPECT_EQ(ExpandFileName("C:/a/b/../c"), "C:\\a\\c");
    EXPECT_EQ(ExpandFileName("C:\\..\\.."), "C:\\");
    EXPECT_EQ(ExpandFileName(""), "");
    TempDir dir;
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const AnsiString cwd = ExpandFileName(".");
    EXPECT_EQ(cwd[2], ':');
    EXPECT_NE(cwd[cwd.Length()], '\\');
    EXPECT_EQ(ExpandFileName("Net/x.db"), cwd + "\\Net\\x.db");
    EXPECT_EQ(ExpandFileName("Net\\..\\Priv\\"), cwd + "\\Priv\\");
    // A local drive has no network name.
    EXPECT_EQ(ExpandUNCFileName("Net\\"), cwd + "\\Net\\");
    EXPECT_EQ(ExpandUNCFileName("\\\\server\\quor\\Net\\"), "\\\\server\\quor\\Net\\");
    std::filesystem::current_path(saved);
}

TEST(Files, WindowsFoldersAndFiles) {
    TempDir dir;
    const AnsiString base = ExpandFileName(AnsiString(dir.path().string()));
    ASSERT_EQ(base[2], ':');
    const AnsiString deep = base + "\\Priv/sub\\deeper";
    EXPECT_FALSE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Priv" / "sub" / "deeper"));
    EXPECT_TRUE(DirectoryExists(deep + "\\"));
    EXPECT_TRUE(ForceDirectories(deep)); // already there
    // Names are Windows-1252 inside and UTF-16 on disk.
    EXPECT_TRUE(ForceDirectories(base + "\\citt\xE0 \x80"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / L"citt\u00E0 \u20AC"));

    std::ofstream(dir.path() / L"caff\u00E8.db") << "x";
    EXPECT_TRUE(FileExistsOnDisk(base + "\\caff\xE8.db"));
    EXPECT_TRUE(FileExistsOnDisk(base + "/CAFF\xC8.DB")); // names ignore case
    EXPECT_FALSE(ForceDirectories(base + "\\caff\xE8.db\\below"));
    EXPECT_FALSE(FileExistsOnDisk(deep));
    EXPECT_FALSE(FileExistsOnDisk(base + "\\manca.db"));
    EXPECT_FALSE(DirectoryExists(base + "\\caff\xE8.db"));
}

TEST(Files, WindowsProgramFileIsThisTest) {
    const AnsiString exe = ProgramFileName();
    EXPECT_EQ(exe.SubString(2, 2), ":\\");
    EXPECT_EQ(ExtractFileName(exe), "test_platform_core.exe");
    EXPECT_EQ(ExtractFilePath(exe), IncludeTrailingPathDelimiter(ExtractFilePath(exe)));
    EXPECT_TRUE(FileExistsOnDisk(exe));
}

#endif
