#include "platform/core/RegistryFile.h"

#ifndef _WIN32

#include "platform/core/Encoding.h"
#include "platform/core/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace regfile {

namespace {

struct RootAlias {
    const char* name;
    const char* shortName;
    HKEY key;
};

constexpr RootAlias kRoots[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", "HKU", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG},
};

// "hkcu\Software" -> "HKEY_CURRENT_USER\Software"
AnsiString CanonicalPath(const AnsiString& path) {
    const int slash = path.Pos("\\");
    const AnsiString head = slash ? path.SubString(1, slash - 1) : path;
    const AnsiString tail = slash ? path.SubString(slash, path.Length()) : AnsiString();
    for (const RootAlias& root : kRoots)
        if (head.EqualsIC(root.name) || head.EqualsIC(root.shortName))
            return AnsiString(root.name) + tail;
    return path;
}

bool ParseQuoted(const std::string& line, std::size_t& i, std::string& out) {
    if (i >= line.size() || line[i] != '"') return false;
    ++i;
    out.clear();
    while (i < line.size()) {
        const char c = line[i++];
        if (c == '"') return true;
        if (c == '\\' && i < line.size()) {
            // Exported files only escape \\ and \"; \n and \r are ours, for line breaks.
            const char escaped = line[i++];
            out += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped;
        } else {
            out += c;
        }
    }
    return false; // no closing quote
}

bool ParseDword(const std::string& text, std::uint32_t& out) {
    if (text.empty() || text.size() > 8) return false;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    out = value;
    return true;
}

std::string Quote(const AnsiString& text) {
    std::string out = "\"";
    for (char c : text.view()) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            if (c == '\\' || c == '"') out += '\\';
            out += c;
        }
    }
    return out + "\"";
}

std::string TrimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.pop_back();
    return s;
}

// Whole, shortest-form UTF-8 sequences only.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra;
        std::uint32_t cp;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    }
    return units;
}

// "25,00,53,00" (blanks allowed around the commas); false for anything else.
bool ParseHexBytes(const std::string& text, std::string& bytes) {
    bytes.clear();
    std::size_t i = 0;
    const auto blanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    blanks();
    if (i == text.size()) return true;
    for (;;) {
        int value = 0, digits = 0;
        for (; i < text.size() && digits < 2 && std::isxdigit(static_cast<unsigned char>(text[i]));
             ++i, ++digits) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
            value = value * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
        }
        if (digits == 0) return false;
        bytes += static_cast<char>(value);
        blanks();
        if (i == text.size()) return true;
        if (text[i] != ',') return false;
        ++i;
        blanks();
        if (i == text.size()) return true; // a final comma, as at the end of a cut line
    }
}

// Text stored as bytes, up to its first NUL as the system's ReadString gives it:
// UTF-16LE in a version 5 file, the ANSI code page in a REGEDIT4 file.
AnsiString BytesToText(const std::string& bytes, bool version5) {
    if (!version5) return AnsiString(bytes.substr(0, bytes.find('\0')));
    std::u16string units = Utf16Units(bytes, false);
    units.resize(std::min(units.size(), units.find(u'\0')));
    return AnsiString(Utf16ToCp1252(units));
}

// A value given as bytes: "hex(2):..." is expandable text, "hex(1):..." plain
// text; other kinds stay as written.
void ReadHexValue(const std::string& rhs, bool version5, Value& value) {
    value.type = Value::Type::Other;
    value.raw = AnsiString(rhs);
    const std::size_t colon = rhs.find(':');
    if (colon == std::string::npos) return;
    std::string kind = rhs.substr(0, colon);
    for (char& c : kind)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (kind != "hex(2)" && kind != "hex(1)") return;
    std::string bytes;
    if (!ParseHexBytes(rhs.substr(colon + 1), bytes)) return;
    value.type = kind == "hex(2)" ? Value::Type::ExpandString : Value::Type::String;
    value.text = BytesToText(bytes, version5);
}
} // namespace

AnsiString RootName(HKEY root) {
    for (const RootAlias& alias : kRoots)
        if (alias.key == root) return alias.name;
    return AnsiString();
}

const Key* Store::FindKey(const AnsiString& path) const {
    for (const Key& key : keys)
        if (key.path.EqualsIC(path)) return &key;
    return nullptr;
}

bool Store::HasKey(const AnsiString& path) const {
    const AnsiString prefix = path + "\\";
    for (const Key& key : keys)
        if (key.path.EqualsIC(path) || key.path.SubString(1, prefix.Length()).EqualsIC(prefix))
            return true;
    return false;
}

Key& Store::AddKey(const AnsiString& path) {
    for (Key& key : keys)
        if (key.path.EqualsIC(path)) return key;
    keys.push_back(Key{path, {}});
    return keys.back();
}

const Value* Store::FindValue(const AnsiString& path, const AnsiString& name) const {
    const Key* key = FindKey(path);
    if (!key) return nullptr;
    for (const Value& value : key->values)
        if (value.name.EqualsIC(name)) return &value;
    return nullptr;
}

void Store::SetValue(const AnsiString& path, const Value& value) {
    Key& key = AddKey(path);
    for (Value& existing : key.values)
        if (existing.name.EqualsIC(value.name)) {
            const AnsiString name = existing.name;
            existing = value;
            existing.name = name; // the first spelling stays
            return;
        }
    key.values.push_back(value);
}

bool Store::RemoveValue(const AnsiString& path, const AnsiString& name) {
    for (Key& key : keys)
        if (key.path.EqualsIC(path))
            for (auto it = key.values.begin(); it != key.values.end(); ++it)
                if (it->name.EqualsIC(name)) {
                    key.values.erase(it);
                    return true;
                }
    return false;
}

Store Parse(const std::string& text) {
    Store store;
    store.format.crlf = text.find("\r\n") != std::string::npos;
    std::istringstream in(text);
    std::string line;
    Key* current = nullptr;
    bool header = true;
    while (std::getline(in, line)) {
        if (header && line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        line = TrimRight(line);
        if (line.empty() || line[0] == ';') continue;
        if (header) {
            header = false;
            if (line == "Windows Registry Editor Version 5.00") {
                store.format.version5 = true;
                continue;
            }
            if (line == "REGEDIT4") continue;
        }
        if (line[0] == '[') {
            current = nullptr;
            if (line.back() != ']' || line.size() < 3 || line[1] == '-')
                continue; // deletions and broken headers are not keys
            AnsiString path;
            for (char c : line.substr(1, line.size() - 2))
                if (c != '\\' || (!path.IsEmpty() && path[path.Length()] != '\\')) path += c;
            if (!path.IsEmpty() && path[path.Length()] == '\\') path.SetLength(path.Length() - 1);
            current = &store.AddKey(CanonicalPath(path));
            continue;
        }
        std::size_t i = 0;
        Value value;
        std::string name;
        if (line[0] == '@') {
            i = 1;
        } else if (!ParseQuoted(line, i, name)) {
            continue;
        }
        value.name = AnsiString(name);
        if (i >= line.size() || line[i] != '=') continue;
        std::string rhs = line.substr(i + 1);
        // Bytes go on over the next lines after a final backslash.
        while (!rhs.empty() && rhs[0] != '"' && rhs.back() == '\\') {
            std::string next;
            if (!std::getline(in, next)) break;
            rhs.pop_back();
            const std::size_t start = next.find_first_not_of(" \t");
            rhs += TrimRight(start == std::string::npos ? std::string() : next.substr(start));
        }
        if (!current) continue;
        if (!rhs.empty() && rhs[0] == '"') {
            std::string textValue;
            std::size_t j = 0;
            if (!ParseQuoted(rhs, j, textValue)) continue;
            value.type = Value::Type::String;
            value.text = AnsiString(textValue);
        } else if (rhs.compare(0, 6, "dword:") == 0) {
            if (!ParseDword(rhs.substr(6), value.dword)) continue;
            value.type = Value::Type::Dword;
        } else if (rhs == "-" || rhs.empty()) {
            continue;
        } else {
            ReadHexValue(rhs, store.format.version5, value);
        }
        store.SetValue(current->path, value);
    }
    return store;
}

std::string Decode(const std::string& bytes, Format& format) {
    using Encoding = Format::Encoding;
    const std::string_view all(bytes);
    if (all.substr(0, 2) == "\xFF\xFE") {
        format.encoding = Encoding::Utf16Le;
        return Utf16ToCp1252(Utf16Units(all.substr(2), false));
    }
    if (all.substr(0, 2) == "\xFE\xFF") {
        format.encoding = Encoding::Utf16Be;
        return Utf16ToCp1252(Utf16Units(all.substr(2), true));
    }
    if (all.substr(0, 3) == "\xEF\xBB\xBF") {
        format.encoding = Encoding::Utf8Bom;
        return Utf8ToCp1252(all.substr(3));
    }
    // Without a mark, a header in UTF-16LE still shows by its zero bytes.
    if (all.size() >= 2 && all[0] != '\0' && all[1] == '\0') {
        format.encoding = Encoding::Utf16Le;
        return Utf16ToCp1252(Utf16Units(all, false));
    }
    // ANSI text with letters beyond ASCII is almost never valid UTF-8.
    if (IsUtf8(all)) {
        format.encoding = Encoding::Utf8;
        return Utf8ToCp1252(all);
    }
    format.encoding = Encoding::Ansi;
    return bytes;
}

std::string Encode(const std::string& text, const Format& format) {
    switch (format.encoding) {
    case Format::Encoding::Utf8:
        return Cp1252ToUtf8(text);
    case Format::Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + Cp1252ToUtf8(text);
    case Format::Encoding::Ansi:
        return text;
    case Format::Encoding::Utf16Le:
    case Format::Encoding::Utf16Be:
        break;
    }
    const bool big = format.encoding == Format::Encoding::Utf16Be;
    std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : Cp1252ToUtf16(text)) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += big ? high : low;
        out += big ? low : high;
    }
    return out;
}

std::string Serialise(const Store& store) {
    const char* const newline = store.format.crlf ? "\r\n" : "\n";
    std::string out = store.format.version5 ? "Windows Registry Editor Version 5.00" : "REGEDIT4";
    out += newline;
    for (const Key& key : store.keys) {
        out += newline;
        out += "[" + key.path.str() + "]" + newline;
        for (const Value& value : key.values) {
            out += value.name.IsEmpty() ? std::string("@") : Quote(value.name);
            out += '=';
            if (!value.raw.IsEmpty()) {
                out += value.raw.str();
            } else if (value.type == Value::Type::Dword) {
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "dword:%08x", value.dword);
                out += buffer;
            } else {
                out += Quote(value.text);
            }
            out += newline;
        }
    }
    return out;
}

Store Load(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return Store{};
    std::ostringstream bytes;
    bytes << in.rdbuf();
    Format format;
    const std::string text = Decode(bytes.str(), format);
    Store store = Parse(text);
    store.format.encoding = format.encoding;
    return store;
}

namespace {

// Why a file could not be written, in Windows-1252.
AnsiString Reason(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "la cartella non permette di scriverci";
    case EROFS:
        return "il disco \xE8 di sola lettura";
    case ENOSPC:
    case EDQUOT:
        return "il disco \xE8 pieno";
    default:
        return AnsiString(Utf8ToCp1252(std::strerror(error)));
    }
}

AnsiString Named(const std::string& fileName) {
    return "'" + AnsiString(Utf8ToCp1252(fileName)) + "'";
}

// Writes the store beside the file under a name no other writer uses, and
// puts it in the file's place in one step. Empty when done.
AnsiString Replace(const Store& store, const std::string& fileName) {
    const std::string bytes = Encode(Serialise(store), store.format);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = fileName + "." + std::to_string(getpid()) + "-" +
                    std::to_string(std::random_device{}()) + ".tmp";
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0)
        return "impossibile scrivere il file " + Named(fileName) + ": " +
               Reason(errno) + "; il file resta com'era";
    // The new file keeps the rights of the one it replaces.
    struct stat old;
    if (stat(fileName.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    // On the disk before it takes the old file's place, so that a crash leaves one or the other.
    if (!error && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && !error) error = errno;
    if (!error && std::rename(temporary.c_str(), fileName.c_str()) != 0) error = errno;
    if (error) {
        unlink(temporary.c_str());
        return "impossibile scrivere il file " + Named(fileName) + ": " +
               Reason(error) + "; il file resta com'era";
    }
    return AnsiString();
}

// Held while a program loads, changes and saves the file: an advisory lock on
// a file beside it that stays there, since the file itself is replaced.
class WriteLock {
public:
    explicit WriteLock(const std::string& fileName) {
        const std::string name = fileName + ".lock";
        fd_ = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            problem_ = "impossibile scrivere il file " + Named(fileName) + ": " +
                       Reason(errno) + "; il file resta com'era";
            return;
        }
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            problem_ = "impossibile bloccare il file " + Named(fileName) + ": " +
                       Reason(errno);
            break;
        }
    }
    ~WriteLock() {
        if (fd_ >= 0) close(fd_); // lets the lock go
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    const AnsiString& Problem() const { return problem_; }

private:
    int fd_ = -1;
    AnsiString problem_;
};

AnsiString MakeFolder(const std::string& fileName) {
    const AnsiString folder = ExtractFilePath(AnsiString(Utf8ToCp1252(fileName)));
    if (folder.IsEmpty() || ForceDirectories(folder)) return AnsiString();
    return "impossibile creare la cartella '" + folder + "' del file " + Named(fileName);
}

} // namespace

bool Save(const Store& store, const std::string& fileName) {
    return MakeFolder(fileName).IsEmpty() && Replace(store, fileName).IsEmpty();
}

AnsiString Update(const std::string& fileName, const std::function<bool(Store&)>& change) {
    if (AnsiString problem = MakeFolder(fileName); !problem.IsEmpty()) return problem;
    const WriteLock lock(fileName);
    if (!lock.Problem().IsEmpty()) return lock.Problem();
    Store store = Load(fileName);
    if (!change(store)) return AnsiString();
    return Replace(store, fileName);
}

} // namespace regfile

#endif
