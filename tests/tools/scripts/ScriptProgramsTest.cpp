#include "tests/tools/scripts/ScriptPrograms.h"

#include <gtest/gtest.h>

#include <algorithm>

using scripts::ScanScript;

namespace {

std::vector<std::string> Programs(const scripts::ScriptScan& scan) {
    std::vector<std::string> names;
    for (const auto& c : scan.calls) names.push_back(c.program);
    return names;
}

int LineOf(const scripts::ScriptScan& scan, const std::string& program) {
    for (const auto& c : scan.calls) {
        if (c.program == program) return c.line;
    }
    return 0;
}

} // namespace

TEST(ScriptProgramsTest, FindsCommandsAfterEverySeparatorAndPrefix) {
    const auto scan = ScanScript(
        "#!/usr/bin/env bash\n"
        "set -euo pipefail   # comment naming notaprogram\n"
        "cd \"$(dirname \"$0\")/..\"\n"
        "tar -xzf a.tgz | sha256sum --check && mkfifo x || wineboot --init > /dev/null 2>&1\n"
        "if ! command -v xvfb-run > /dev/null; then\n"
        "  env -u QT QT=xcb xvfb-run -a -s \"-screen 0\" \"$dir/app\" > /dev/null\n"
        "fi\n"
        "DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq pkg-a \"${missing[@]}\"\n"
        "exec 3> \"$keep\"\n"
        "exec ctest --test-dir x\n"
        "runuser -u nobody -- pg_ctl start\n"
        "x=`uname -m`; y=$(( 1 + 2 ))\n"
        "echo \"$(wine --version | head -1)\"\n");
    const std::vector<std::string> expected = {"dirname", "tar",   "sha256sum", "mkfifo", "wineboot",
                                               "env",     "xvfb-run", "apt-get", "ctest",  "runuser",
                                               "pg_ctl",  "uname", "wine",      "head"};
    auto found = Programs(scan);
    std::sort(found.begin(), found.end());
    auto want = expected;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(found, want);
    EXPECT_EQ(LineOf(scan, "wineboot"), 4);
    EXPECT_EQ(LineOf(scan, "wine"), 13);
    EXPECT_EQ(scan.installs, (std::set<std::string>{"pkg-a"}));
}

TEST(ScriptProgramsTest, LeavesOutFunctionsPathsVariablesHereDocumentsAndPatterns) {
    const auto scan = ScanScript(
        "helper() {\n"
        "  \"$bin/initdb\" -D x\n"
        "}\n"
        "trap 'rm -rf \"$work\"; helper' EXIT\n"
        "cat > f.cpp <<'CPP'\n"
        "int main() { notacommand(); }\n"
        "CPP\n"
        "python3 - <<-PY\n"
        "\timport sys; alsonot\n"
        "\tPY\n"
        "case \"$1\" in\n"
        "  start) helper ;;\n"
        "  stop|halt) later ;;\n"
        "  *) echo usage >&2; exit 2 ;;\n"
        "esac\n"
        "for dir in one two; do tools/install-deps.sh --windows extra-pkg; done\n"
        "later() { :; }\n"
        "build/run/app/bracutil --export\n"
        "quietly wineboot --init\n"
        "[[ \" $* \" != *\" --x\"* ]] && echo yes\n"
        "packages=(\n"
        "  alpha beta  # a note\n"
        "  gamma\n"
        ")\n"
        "packages+=(delta)\n"
        "other=(not-a-package)\n");
    auto found = Programs(scan);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"cat", "python3", "rm", "wineboot"}));
    EXPECT_EQ(scan.functions, (std::set<std::string>{"helper", "later"}));
    EXPECT_EQ(LineOf(scan, "python3"), 8);
    EXPECT_EQ(scan.installs,
              (std::set<std::string>{"alpha", "beta", "gamma", "delta", "extra-pkg"}));
}
