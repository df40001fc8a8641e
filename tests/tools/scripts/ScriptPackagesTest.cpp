// Every program the scripts under tools/ and .ci/ run must come from a Debian
// package that a script installs, or from one Debian always has. A program the
// machine has only because someone installed it by hand would otherwise pass
// here and fail on a fresh machine.

#include "tests/tools/scripts/ScriptPrograms.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Standard output of a shell command line; only simple, quoted words go in.
std::string Output(const std::string& commandLine) {
    std::string out;
    if (FILE* pipe = popen((commandLine + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

std::string Quoted(const std::string& word) {
    return "'" + std::regex_replace(word, std::regex("'"), "'\\''") + "'";
}

bool IsScript(const fs::path& file) {
    if (file.extension() == ".sh") return true;
    std::ifstream in(file, std::ios::binary);
    std::string first;
    std::getline(in, first);
    return first.rfind("#!", 0) == 0 && first.find("sh") != std::string::npos;
}

// The programs the project builds: a script may run them by their bare name.
std::set<std::string> ProjectPrograms(const fs::path& root) {
    std::set<std::string> names;
    const std::regex executable(R"(add_executable\(\s*([A-Za-z0-9_.+-]+))");
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string name = it->path().filename().string();
        if (it->is_directory() && (name == "build" || name.rfind(".", 0) == 0)) {
            it.disable_recursion_pending();
        } else if (name == "CMakeLists.txt") {
            const std::string text = ReadText(it->path());
            for (std::sregex_iterator m(text.begin(), text.end(), executable), end; m != end; ++m)
                names.insert((*m)[1]);
        }
    }
    return names;
}

// Where Debian puts programs; a program found only elsewhere (/usr/local,
// a version manager's shims) is not Debian's, and no package answers for it.
std::string SystemProgram(const std::string& name) {
    for (const char* dir : {"/usr/sbin", "/usr/bin", "/sbin", "/bin"}) {
        const fs::path candidate = fs::path(dir) / name;
        if (access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate)) return candidate.string();
    }
    return {};
}

// The packages that own a file, following the merged /usr and symbolic links
// (alternatives) until dpkg knows the file.
std::vector<std::string> Owners(const std::string& path) {
    std::vector<std::string> tries{path};
    for (const char* prefix : {"/usr/bin/", "/usr/sbin/"}) {
        if (path.rfind(prefix, 0) == 0) tries.push_back(path.substr(4));
    }
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (!ec && real != path) {
        tries.push_back(real.string());
        if (real.string().rfind("/usr/", 0) == 0) tries.push_back(real.string().substr(4));
    }
    for (const std::string& file : tries) {
        std::istringstream lines(Output("dpkg-query -S " + Quoted(file)));
        std::vector<std::string> owners;
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("diversion by", 0) == 0) continue;
            const std::size_t colon = line.find(": ");
            if (colon == std::string::npos) continue;
            std::istringstream names(line.substr(0, colon));
            for (std::string name; std::getline(names, name, ',');) {
                name.erase(0, name.find_first_not_of(' '));
                owners.push_back(name.substr(0, name.find(':'))); // without the architecture
            }
        }
        if (!owners.empty()) return owners;
    }
    return {};
}

bool AlwaysInDebian(const std::string& package) {
    const std::string fields = Output("dpkg-query -W -f='${Essential} ${Priority}' " + Quoted(package));
    return fields.rfind("yes", 0) == 0 || fields.find(" required") != std::string::npos;
}

// What installing the listed packages brings in: their direct dependencies too.
std::set<std::string> Installed(const std::set<std::string>& listed) {
    std::set<std::string> packages = listed;
    for (const std::string& p : listed) {
        const std::string depends =
            Output("dpkg-query -W -f='${Depends}, ${Pre-Depends}' " + Quoted(p));
        const std::regex name(R"((?:^|[,|]\s*)([a-z0-9][a-z0-9+.-]+))");
        for (std::sregex_iterator m(depends.begin(), depends.end(), name), end; m != end; ++m)
            packages.insert((*m)[1]);
    }
    return packages;
}

struct Call {
    std::string script;
    int line;
};

} // namespace

TEST(ScriptPackagesTest, EveryProgramTheScriptsRunIsInstalledByThem) {
    if (Output("dpkg-query --version").empty()) GTEST_SKIP() << "not a Debian system: no dpkg-query";
    const fs::path root(QUOR_SOURCE_ROOT);

    std::map<std::string, std::vector<Call>> calls; // program -> where
    std::set<std::string> listed;
    std::set<std::string> functions; // of any script: tools/steps.sh is sourced by the others
    int scripts = 0;
    for (const char* folder : {"tools", ".ci"}) {
        if (!fs::is_directory(root / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (!entry.is_regular_file() || !IsScript(entry.path())) continue;
            ++scripts;
            const std::string relative = fs::relative(entry.path(), root).string();
            const scripts::ScriptScan scan = scripts::ScanScript(ReadText(entry.path()));
            for (const auto& c : scan.calls) calls[c.program].push_back({relative, c.line});
            listed.insert(scan.installs.begin(), scan.installs.end());
            functions.insert(scan.functions.begin(), scan.functions.end());
        }
    }
    ASSERT_GT(scripts, 5) << "the scripts under tools/ and .ci/ were not found in " << root;
    ASSERT_TRUE(listed.count("cmake")) << "the install lists of tools/install-deps.sh were not read";
    ASSERT_TRUE(calls.count("cmake")) << "the scripts' calls of cmake were not found";

    const std::set<std::string> built = ProjectPrograms(root);
    const std::set<std::string> installed = Installed(listed);
    int checked = 0;
    for (const auto& [program, where] : calls) {
        if (built.count(program) || functions.count(program)) continue;
        const std::string path = SystemProgram(program);
        if (path.empty()) continue; // not on this machine, or not Debian's
        const std::vector<std::string> owners = Owners(path);
        if (owners.empty()) continue; // made by a maintainer script, not shipped in a package
        ++checked;
        bool ok = listed.count(program) > 0; // a package of the program's own name, installed on demand
        for (const std::string& owner : owners)
            ok = ok || installed.count(owner) || AlwaysInDebian(owner);
        if (ok) continue;
        std::string places;
        for (const Call& c : where) places += "\n  " + c.script + ":" + std::to_string(c.line);
        ADD_FAILURE() << "the program " << program << " (" << path << ", package " << owners.front()
                      << ") is run by" << places << "\nbut no script installs the package "
                      << owners.front() << ", and Debian does not always have it: add it to "
                      << "tools/install-deps.sh";
    }
    EXPECT_GT(checked, 10) << "too few programs were found on this machine to check anything";
}
