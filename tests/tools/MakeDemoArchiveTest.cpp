// make-demo-archive run as a separate program: its command line.

#include "platform/core/CommandLine.h"
#include "tests/tools/RunProgram.h"

#include <gtest/gtest.h>

using tooltest::Contains;
using tooltest::Files;
using tooltest::RunProgram;

namespace {

TEST(MakeDemoArchiveTest, TheCommandLineFollowsTheConventions) {
    TempDir dir;
    const auto run = [&](const std::vector<std::string>& args) {
        return RunProgram(MAKE_DEMO_ARCHIVE_EXE, args, dir.path().string());
    };
    const auto help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Uso: make-demo-archive", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    const auto version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("make-demo-archive ") + QuorVersion() + tooltest::kLineEnd);

    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"a", "b"},
                                                 {"demo", "--movements"},
                                                 {"demo", "--movements", "molti"},
                                                 {"demo", "--movements=-1"},
                                                 {"--nuovo", "demo"},
                                                 {"-", "demo"}}) {
        const auto refused = run(args);
        EXPECT_EQ(refused.status, 2) << refused.err;
        EXPECT_EQ(refused.out, "");
        EXPECT_TRUE(Contains(refused.err, "make-demo-archive: ")) << refused.err;
        EXPECT_TRUE(Contains(refused.err, "Uso: make-demo-archive")) << refused.err;
    }
    EXPECT_TRUE(Files(dir.path()).empty()) << "a refused command line wrote something";

    std::ofstream(dir / "occupato") << "un file, non una cartella\n";
    const auto blocked = run({"occupato"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(Contains(blocked.err, "make-demo-archive: ")) << blocked.err;
    EXPECT_FALSE(Contains(blocked.err, "Uso:")) << blocked.err;

    const auto made = run({"--movements=5", "demo"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(Contains(made.out, "Bracotene.db")) << made.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "demo/Archivi/Bracotene.db"));
    EXPECT_TRUE(std::filesystem::exists(dir / "demo/engine.ini"));
}

} // namespace
