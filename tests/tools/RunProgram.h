#pragma once
// Runs one of the product's programs as a user would, in a folder of its own,
// and keeps what it wrote and how it ended.

#include "tests/platform/core/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tooltest {

struct ProgramRun {
    int status = -1; // the exit status; -1 when killed by a signal
    std::string out;
    std::string err;
};

inline std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What a program's file name ends with, and a line it prints (the C
// runtime writes text to a console or pipe with CR LF on Windows).
#ifdef _WIN32
inline constexpr const char* kExeSuffix = ".exe";
inline constexpr const char* kLineEnd = "\r\n";
#else
inline constexpr const char* kExeSuffix = "";
inline constexpr const char* kLineEnd = "\n";
#endif

// exe with args, its working folder cwd; standard input is empty.
ProgramRun RunProgram(const std::string& exe, const std::vector<std::string>& args,
                      const std::string& cwd);

// The names in a folder, sorted.
inline std::set<std::string> Files(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// A file name as the programs print it, with the platform's separators.
inline std::string Native(const std::string& name) {
    return std::filesystem::path(name).make_preferred().string();
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace tooltest
