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
    const AnsiString normal = NormalizePath(fileName);
    const std::wstring wide = ToSystem(normal).wstring();
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                               nullptr);
    if (n >= buffer.size()) { // too small: n is the size it needs
        buffer.resize(n);
        n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                             nullptr);
    }
    if (n == 0 || n >= buffer.size()) return normal;
    buffer.resize(n);
    return FromSystem(fs::path(buffer));
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
        const wchar_t local[3] = {static_cast<unsigned char>(expanded[1]), L':', 0};
        wchar_t remote[MAX_PATH * 4];
        DWORD size = MAX_PATH * 4;
        if (WNetGetConnectionW(local, remote, &size) == NO_ERROR)
            return FromSystem(fs::path(remote)) + expanded.SubString(3, expanded.Length());
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
    // The wide name, converted here: the ANSI one follows the system's code page, not ours.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return AnsiString();
        if (n < buffer.size()) {
            buffer.resize(n);
            return FromSystem(fs::path(buffer));
        }
        buffer.resize(buffer.size() * 2);
    }
#else
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? AnsiString() : FromSystem(exe);
#endif
}
