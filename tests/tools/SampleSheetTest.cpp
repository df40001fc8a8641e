// samplesheet run as a separate program: its command line and its files.

#include "platform/core/CommandLine.h"
#include "tests/tools/RunProgram.h"

#include <gtest/gtest.h>

using tooltest::Contains;
using tooltest::Files;
using tooltest::ReadFile;
using tooltest::RunProgram;

namespace {

TEST(SampleSheetTest, OptionsNeverBecomeFileNames) {
    TempDir dir;
    const auto run = [&](const std::vector<std::string>& args) {
        return RunProgram(SAMPLESHEET_EXE, args, dir.path().string());
    };
    const auto help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Uso: samplesheet", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    const auto version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("samplesheet ") + QuorVersion() + tooltest::kLineEnd);

    const auto unknown = run({"-x"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(Contains(unknown.err, "opzione sconosciuta: -x")) << unknown.err;
    EXPECT_TRUE(Contains(unknown.err, "Uso: samplesheet"));

    const auto text = run({"foglio.png", "foglio.txt"});
    EXPECT_EQ(text.status, 2);
    EXPECT_TRUE(Contains(text.err, "\"foglio.txt\" deve terminare con .png o .pdf")) << text.err;
    EXPECT_TRUE(Files(dir.path()).empty()) << "a refused command line wrote a file";

    const auto unwritable = run({"manca/foglio.pdf"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(Contains(unwritable.err, "samplesheet: Impossibile scrivere il file"))
        << unwritable.err;
    EXPECT_TRUE(Files(dir.path()).empty());
}

TEST(SampleSheetTest, WritesEachFileNamedOrBothByDefault) {
    TempDir dir;
    const auto named =
        RunProgram(SAMPLESHEET_EXE, {"Foglio.PNG", "foglio.pdf"}, dir.path().string());
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out, std::string("Foglio.PNG") + tooltest::kLineEnd + "foglio.pdf" + tooltest::kLineEnd);
    EXPECT_EQ(ReadFile(dir / "Foglio.PNG").substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(ReadFile(dir / "foglio.pdf").substr(0, 4), "%PDF");
    EXPECT_EQ(Files(dir.path()), (std::set<std::string>{"Foglio.PNG", "foglio.pdf"}));

    TempDir plain;
    const auto defaults = RunProgram(SAMPLESHEET_EXE, {}, plain.path().string());
    ASSERT_EQ(defaults.status, 0) << defaults.err;
    EXPECT_EQ(Files(plain.path()), (std::set<std::string>{"samplesheet.pdf", "samplesheet.png"}));
    EXPECT_EQ(ReadFile(plain / "samplesheet.png"), ReadFile(dir / "Foglio.PNG"));
}

} // namespace
