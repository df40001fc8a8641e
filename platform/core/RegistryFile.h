#pragma once
// The file form of the registry used where there is no system registry: the
// Windows registry-export syntax, UTF-8 on disk, Windows-1252 in memory.

#include "platform/core/AnsiString.h"
#include "platform/core/Registry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace regfile {

struct Value {
    enum class Type { String, Dword, Other };
    AnsiString name; // empty for the key's default value ("@")
    Type type = Type::String;
    AnsiString text;
    std::uint32_t dword = 0;
    AnsiString raw; // the right-hand side of a value of another type, kept as written
};

struct Key {
    AnsiString path; // "HKEY_CURRENT_USER\Software\Quor"
    std::vector<Value> values;
};

// Keys in file order; paths and value names compare case-insensitively.
struct Store {
    std::vector<Key> keys;

    // A key exists when it has a section or a section lies below it.
    bool HasKey(const AnsiString& path) const;
    const Key* FindKey(const AnsiString& path) const;
    Key& AddKey(const AnsiString& path);
    const Value* FindValue(const AnsiString& path, const AnsiString& name) const;
    void SetValue(const AnsiString& path, const Value& value);
    bool RemoveValue(const AnsiString& path, const AnsiString& name);
};

// The canonical name of a root key, empty for an unknown one.
AnsiString RootName(HKEY root);

// Text of the whole file, in Windows-1252. Unreadable lines are skipped.
Store Parse(const std::string& text);
std::string Serialise(const Store& store);

// A missing or unreadable file is an empty store; nothing is created.
Store Load(const std::string& fileName);
// Creates the file's folder when needed; false when the file cannot be written.
bool Save(const Store& store, const std::string& fileName);

} // namespace regfile
