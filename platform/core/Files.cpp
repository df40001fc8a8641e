#include "platform/core/Files.h"

#include "platform/core/Encoding.h"

#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <limits.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

bool IsDelim(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '\\' || c == '/';
#endif
}

int LastDelim(const AnsiString& name) {
    for (int i = name.Length(); i >= 1; --i)
        if (IsDelim(name[i])) return i;
    return 0;
}

// Paths reach the system in its own encoding.
fs::path ToSystem(const AnsiString& name) {
#ifdef _WIN32
    return fs::path(Cp1252ToUtf16(name.view()));
#else
    return fs::path(Cp1252ToUtf8(name.view()));
#endif
}

AnsiString FromSystem(const fs::path& path) {
#ifdef _WIN32
    return AnsiString(Utf16ToCp1252(path.u16string()));
#else
    return AnsiString(Utf8ToCp1252(path.string()));
#endif
}

} // namespace

AnsiString ExtractFilePath(const AnsiString& fileName) {
    return fileName.SubString(1, LastDelim(fileName));
}

AnsiString ExtractFileName(const AnsiString& fileName) {
    return fileName.SubString(LastDelim(fileName) + 1, fileName.Length());
}

AnsiString ExtractFileExt(const AnsiString& fileName) {
    const AnsiString name = ExtractFileName(fileName);
    const int dot = name.LastDelimiter(".");
    return dot > 0 ? name.SubString(dot, name.Length()) : AnsiString();
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) {
    if (!path.IsEmpty()) {
        const char last = path[path.Length()];
        if (last == '\\' || last == '/') return path;
    }
    return path + PathDelim;
}

AnsiString NormalizePath(const AnsiString& path) {
    std::string out = path.str();
    for (char& c : out)
        if (c == '\\' || c == '/') c = PathDelim;
    return AnsiString(std::move(out));
}

AnsiString ExpandFileName(const AnsiString& fileName) {
    if (fileName.IsEmpty()) return fileName;
#ifdef _WIN32
    const std::string normal = NormalizePath(fileName).str();
    char buffer[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(normal.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return AnsiString(normal);
    return AnsiString(std::string(buffer, n));
#else
    std::string text = NormalizePath(fileName).str();
    const bool trailing = text.size() > 1 && text.back() == '/';
    if (text.front() != '/') {
        std::error_code ec;
        const fs::path cwd = fs::current_path(ec);
        if (!ec) text = FromSystem(cwd).str() + "/" + text;
    }
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t j = text.find('/', i);
        if (j == std::string::npos) j = text.size();
        const std::string part = text.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string out;
    for (const std::string& part : parts)
        out += "/" + part;
    if (out.empty()) return AnsiString("/");
    if (trailing) out += '/';
    return AnsiString(std::move(out));
#endif
}

AnsiString ExpandUNCFileName(const AnsiString& fileName) {
#ifdef _WIN32
    // Mapped drives are resolved by the network layer; a plain path stays as expanded.
    const AnsiString expanded = ExpandFileName(fileName);
    if (expanded.Length() >= 2 && expanded[2] == ':') {
        char local[3] = {expanded[1], ':', 0};
        char remote[MAX_PATH * 4];
        DWORD size = sizeof remote;
        if (WNetGetConnectionA(local, remote, &size) == NO_ERROR)
            return AnsiString(remote) + expanded.SubString(3, expanded.Length());
    }
    return expanded;
#else
    return ExpandFileName(fileName);
#endif
}

bool ForceDirectories(const AnsiString& dir) {
    if (dir.Trim().IsEmpty()) return false;
    const fs::path path = ToSystem(ExpandFileName(dir));
    std::error_code ec;
    fs::create_directories(path, ec);
    return fs::is_directory(path, ec);
}

bool DirectoryExists(const AnsiString& dir) {
    if (dir.IsEmpty()) return false;
    std::error_code ec;
    return fs::is_directory(ToSystem(NormalizePath(dir)), ec);
}

bool FileExistsOnDisk(const AnsiString& fileName) {
    if (fileName.IsEmpty()) return false;
    std::error_code ec;
    const fs::path path = ToSystem(NormalizePath(fileName));
    return fs::exists(path, ec) && !fs::is_directory(path, ec);
}

AnsiString ProgramFileName() {
#ifdef _WIN32
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return AnsiString(std::string(buffer, n < sizeof buffer ? n : 0));
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? AnsiString() : FromSystem(exe);
#endif
}
