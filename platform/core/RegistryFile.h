#pragma once
// The file form of the registry used where there is no system registry: the
// Windows registry-export syntax, Windows-1252 in memory. Files are read as
// regedit writes them: "REGEDIT4" files in the ANSI code page (Windows-1252),
// "Windows Registry Editor Version 5.00" files in UTF-16LE with a byte-order
// mark; UTF-8 with or without a byte-order mark is read too. A file keeps its
// encoding, header and line ends when it is written back.

#include "platform/core/AnsiString.h"
#include "platform/core/Registry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace regfile {

struct Value {
    // ExpandString: "hex(2):" bytes, text whose %NAME% parts are left as they are.
    enum class Type { String, ExpandString, Dword, Other };
    AnsiString name; // empty for the key's default value ("@")
    Type type = Type::String;
    AnsiString text;
    std::uint32_t dword = 0;
    // The right-hand side as written, for values given as bytes ("hex...:"):
    // written back as it came.
    AnsiString raw;
};

struct Key {
    AnsiString path; // "HKEY_CURRENT_USER\Software\Quor"
    std::vector<Value> values;
};

// How a file is written: what Load found, or for a new file UTF-8 with the
// "REGEDIT4" header and line feeds.
struct Format {
    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Ansi };
    Encoding encoding = Encoding::Utf8;
    // "Windows Registry Editor Version 5.00": text given as bytes is UTF-16LE
    // in it, and ANSI in a "REGEDIT4" file.
    bool version5 = false;
    bool crlf = false;
};

// Keys in file order; paths and value names compare case-insensitively.
struct Store {
    std::vector<Key> keys;
    Format format;

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

// The bytes of a file as Windows-1252 text; format.encoding tells what they were.
std::string Decode(const std::string& bytes, Format& format);
std::string Encode(const std::string& text, const Format& format);

// Text of the whole file, in Windows-1252. Unreadable lines are skipped; the
// header sets format.version5 and the line ends format.crlf.
Store Parse(const std::string& text);
std::string Serialise(const Store& store);

// A missing or unreadable file is an empty store; nothing is created.
Store Load(const std::string& fileName);
// Creates the file's folder when needed; false when the file cannot be written.
// The file is replaced whole, by a complete new one written under a name of
// this writer's own, or not at all.
bool Save(const Store& store, const std::string& fileName);

// Loads the file, lets change alter the store, and saves it when change says
// it changed something; other programs doing the same to the file wait, so
// that no change is lost between a load and its save. Empty when done;
// otherwise why the file stayed as it was, naming the file (Windows-1252,
// to follow a message of the caller's).
AnsiString Update(const std::string& fileName, const std::function<bool(Store&)>& change);

} // namespace regfile
