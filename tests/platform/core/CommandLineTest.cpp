#include "platform/core/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome ParseArgs(CommandLine& cl, std::vector<const char*> args) {
    args.insert(args.begin(), "tool");
    std::ostringstream out, err;
    const int status = cl.Parse(static_cast<int>(args.size()), const_cast<char**>(args.data()), out, err);
    return {status, out.str(), err.str()};
}

CommandLine Tool() {
    CommandLine cl("tool", "Uso: tool [--grid] [--size LxA] FILE");
    cl.Flag("--grid").Value("--size");
    return cl;
}

} // namespace

TEST(CommandLine, HelpPrintsUsageOnStandardOutput) {
    for (const char* help : {"--help", "-h"}) {
        CommandLine cl = Tool();
        const Outcome r = ParseArgs(cl, {"x.png", help, "--unknown"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "Uso: tool [--grid] [--size LxA] FILE\n");
        EXPECT_EQ(r.err, "");
    }
}

TEST(CommandLine, VersionPrintsTheProgramAndTheProjectVersion) {
    EXPECT_STREQ(QuorVersion(), PROJECT_VERSION);
    CommandLine cl = Tool();
    Outcome r = ParseArgs(cl, {"x.png", "--version", "--unknown"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("tool ") + PROJECT_VERSION + "\n");
    EXPECT_EQ(r.err, "");
    // After "--" it is a file name like any other.
    r = ParseArgs(cl, {"--", "--version"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(cl.Arguments(), std::vector<std::string>{"--version"});
    EXPECT_EQ(ParseArgs(cl, {"--version=2"}).status, 2);
}

TEST(CommandLine, RefusesUnknownOptionsAndMissingValues) {
    struct Case {
        std::vector<const char*> args;
        const char* message;
    };
    for (const Case& c : {Case{{"--gird"}, "tool: opzione sconosciuta: --gird\n"},
                          Case{{"--size"}, "tool: --size vuole un valore\n"},
                          Case{{"--grid=1"}, "tool: --grid non vuole un valore\n"},
                          Case{{"-x"}, "tool: opzione sconosciuta: -x\n"}}) {
        CommandLine cl = Tool();
        const Outcome r = ParseArgs(cl, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string(c.message) + cl.Usage());
    }
}

TEST(CommandLine, ReadsFlagsValuesAndArguments) {
    CommandLine cl = Tool();
    Outcome r = ParseArgs(cl, {"a.chart", "--size", "10x20", "--grid", "-", "--", "--help"});
    EXPECT_EQ(r.status, -1);
    EXPECT_TRUE(cl.Has("--grid"));
    EXPECT_EQ(cl.Get("--size"), "10x20");
    EXPECT_EQ(cl.Arguments(), (std::vector<std::string>{"a.chart", "-", "--help"}));

    // A second parse forgets the first; "=" gives a value, even an empty one.
    r = ParseArgs(cl, {"--size=", "b"});
    EXPECT_EQ(r.status, -1);
    EXPECT_FALSE(cl.Has("--grid"));
    EXPECT_TRUE(cl.Has("--size"));
    EXPECT_EQ(cl.Get("--size", "none"), "");
    EXPECT_EQ(cl.Get("--missing", "none"), "none");
    EXPECT_EQ(cl.Arguments(), std::vector<std::string>{"b"});
}

TEST(CommandLine, FailAndRefuseMessages) {
    CommandLine cl = Tool();
    std::ostringstream err;
    EXPECT_EQ(cl.Fail(err, "non trovo \"x\""), 1);
    EXPECT_EQ(err.str(), "tool: non trovo \"x\"\n");
    err.str("");
    EXPECT_EQ(cl.Refuse(err, "manca il file"), 2);
    EXPECT_EQ(err.str(), "tool: manca il file\n" + cl.Usage());
}

TEST(CommandLine, Extensions) {
    EXPECT_TRUE(HasExtension("out.png", {".png", ".pdf"}));
    EXPECT_TRUE(HasExtension("dir/OUT.PDF", {".png", ".pdf"}));
    EXPECT_FALSE(HasExtension("--help", {".png"}));
    EXPECT_FALSE(HasExtension("out.png.txt", {".png"}));
    EXPECT_FALSE(HasExtension(".png", {".png"}));
    EXPECT_FALSE(HasExtension("dir/.png", {".png"}));
    EXPECT_FALSE(HasExtension("png", {".png"}));
}
