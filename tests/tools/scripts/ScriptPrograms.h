#pragma once
// Reads a shell script the way bash would split it into commands and lists
// the programs it runs and the Debian packages it installs. Enough of the
// grammar for the project's own scripts: quoting, $( ) and backquotes,
// here-documents, arrays, case patterns, functions, and the usual command
// prefixes (env, exec, sudo, runuser, xvfb-run, ...).

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace scripts {

struct ProgramCall {
    std::string program; // a bare name, looked up in PATH
    int line = 0;        // 1-based line of the script
};

struct ScriptScan {
    std::vector<ProgramCall> calls; // builtins, functions, variables and paths left out
    std::set<std::string> installs; // packages the script installs or asks install-deps.sh for
    std::set<std::string> functions; // defined here: other scripts may source them
};

ScriptScan ScanScript(std::string_view text);

} // namespace scripts
