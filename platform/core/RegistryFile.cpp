#include "platform/core/RegistryFile.h"

#ifndef _WIN32

#include "platform/core/Encoding.h"
#include "platform/core/Files.h"

#include <cstdio>
#include <fstream>
#include <sstream>

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
    std::istringstream in(text);
    std::string line;
    Key* current = nullptr;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        first = false;
        line = TrimRight(line);
        // Values of other types may continue on the next line after a backslash.
        while (!line.empty() && line.back() == '\\' && line[0] != '[' &&
               line.find("=\"") == std::string::npos) {
            std::string next;
            if (!std::getline(in, next)) break;
            line.pop_back();
            const std::size_t start = next.find_first_not_of(" \t");
            line += TrimRight(start == std::string::npos ? std::string() : next.substr(start));
        }
        if (line.empty() || line[0] == ';') continue;
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
        if (!current) continue;
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
        ++i;
        const std::string rhs = line.substr(i);
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
            value.type = Value::Type::Other;
            value.raw = AnsiString(rhs);
        }
        store.SetValue(current->path, value);
    }
    return store;
}

std::string Serialise(const Store& store) {
    std::string out = "REGEDIT4\n";
    for (const Key& key : store.keys) {
        out += "\n[" + key.path.str() + "]\n";
        for (const Value& value : key.values) {
            out += value.name.IsEmpty() ? std::string("@") : Quote(value.name);
            out += '=';
            switch (value.type) {
            case Value::Type::String:
                out += Quote(value.text);
                break;
            case Value::Type::Dword: {
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "dword:%08x", value.dword);
                out += buffer;
                break;
            }
            case Value::Type::Other:
                out += value.raw.str();
                break;
            }
            out += '\n';
        }
    }
    return out;
}

Store Load(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return Store{};
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(Utf8ToCp1252(text.str()));
}

bool Save(const Store& store, const std::string& fileName) {
    const AnsiString folder = ExtractFilePath(AnsiString(Utf8ToCp1252(fileName)));
    if (!folder.IsEmpty() && !ForceDirectories(folder)) return false;
    // Written aside and renamed, so that a failed write never leaves half a file.
    const std::string temporary = fileName + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << Cp1252ToUtf8(Serialise(store));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace regfile

#endif
