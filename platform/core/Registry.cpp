#include "platform/core/Registry.h"

#include "platform/core/ConfigDirs.h"
#include "platform/core/Encoding.h"
#include "platform/core/Files.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/core/RegistryFile.h"
#endif

namespace {

[[noreturn]] void RaiseType(const AnsiString& name) {
    throw ERegistryException("Tipo di dato non valido per il valore '" + name + "' del registro");
}

// "a\\b\\" and "\\a\\\\b" both name the key a\b.
AnsiString CleanPath(const AnsiString& key) {
    AnsiString out;
    for (char c : key.view()) {
        if (c == '\\' && (out.IsEmpty() || out[out.Length()] == '\\')) continue;
        out += c;
    }
    if (!out.IsEmpty() && out[out.Length()] == '\\') out.SetLength(out.Length() - 1);
    return out;
}

} // namespace

TRegistry::TRegistry() : TRegistry(HKEY_CURRENT_USER) {}

TRegistry::TRegistry(HKEY root) : root_(root) {}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

AnsiString TRegistry::Resolve(const AnsiString& key) const {
    const bool absolute = !key.IsEmpty() && key[1] == '\\';
    const AnsiString path = CleanPath(key);
    if (absolute || !open_ || currentPath_.IsEmpty()) return path;
    if (path.IsEmpty()) return currentPath_;
    return currentPath_ + "\\" + path;
}

#ifdef _WIN32

// The wide functions, with our own conversion: the ANSI ones would follow the
// system's code page, which need not be Windows-1252.
namespace {

std::wstring Wide(const AnsiString& text) {
    const std::u16string utf16 = Cp1252ToUtf16(text.view());
    return std::wstring(utf16.begin(), utf16.end());
}

[[noreturn]] void RaiseWrite(const AnsiString& name) {
    throw ERegistryException("Impossibile scrivere il valore '" + name + "' del registro");
}

} // namespace

void TRegistry::CloseKey() {
    if (current_) RegCloseKey(current_);
    current_ = nullptr;
    open_ = false;
    currentPath_ = AnsiString();
}

bool TRegistry::OpenKey(const AnsiString& key, bool canCreate) {
    const AnsiString path = Resolve(key);
    const std::wstring wide = Wide(path);
    HKEY opened = nullptr;
    LONG rc;
    if (canCreate)
        rc = RegCreateKeyExW(root_, wide.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                             nullptr);
    else
        rc = RegOpenKeyExW(root_, wide.c_str(), 0, KEY_READ | KEY_WRITE, &opened);
    // A key the user may only read still opens, for reading.
    if (rc != ERROR_SUCCESS && !canCreate)
        rc = RegOpenKeyExW(root_, wide.c_str(), 0, KEY_READ, &opened);
    if (rc != ERROR_SUCCESS) return false;
    CloseKey();
    current_ = opened;
    open_ = true;
    currentPath_ = path;
    return true;
}

bool TRegistry::KeyExists(const AnsiString& key) {
    HKEY probe = nullptr;
    if (RegOpenKeyExW(root_, Wide(Resolve(key)).c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS)
        return false;
    RegCloseKey(probe);
    return true;
}

bool TRegistry::ValueExists(const AnsiString& name) {
    return RegQueryValueExW(current_ ? current_ : root_, Wide(name).c_str(), nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
    const std::wstring wideName = Wide(name);
    HKEY k = current_ ? current_ : root_;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(k, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return AnsiString();
    // Expandable text is read as written, its %VARIABLES% left alone.
    if (type != REG_SZ && type != REG_EXPAND_SZ) RaiseType(name);
    std::u16string data;
    LONG rc;
    do { // the value may grow between two calls
        data.assign(size / sizeof(char16_t) + 1, u'\0');
        size = static_cast<DWORD>(data.size() * sizeof(char16_t));
        rc = RegQueryValueExW(k, wideName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size);
    } while (rc == ERROR_MORE_DATA);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) RaiseType(name);
    // Stored text need not end with a NUL, and ends at the first one it has.
    data.resize(size / sizeof(char16_t));
    if (const auto nul = data.find(u'\0'); nul != std::u16string::npos) data.resize(nul);
    return AnsiString(Utf16ToCp1252(data));
}

int TRegistry::ReadInteger(const AnsiString& name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(current_ ? current_ : root_, Wide(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        RaiseType(name);
    return static_cast<int>(value);
}

void TRegistry::WriteString(const AnsiString& name, const AnsiString& value) {
    const std::u16string data = Cp1252ToUtf16(value.view());
    if (RegSetValueExW(current_ ? current_ : root_, Wide(name).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(char16_t))) != ERROR_SUCCESS)
        RaiseWrite(name);
}

void TRegistry::WriteInteger(const AnsiString& name, int value) {
    const DWORD data = static_cast<DWORD>(value);
    if (RegSetValueExW(current_ ? current_ : root_, Wide(name).c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
        RaiseWrite(name);
}

bool TRegistry::DeleteValue(const AnsiString& name) {
    return RegDeleteValueW(current_ ? current_ : root_, Wide(name).c_str()) == ERROR_SUCCESS;
}

#else

std::string TRegistry::StoreFileName() {
    if (const char* named = std::getenv("QUOR_REGISTRY"); named && *named) return named;
    return UserConfigDir() + "/registry.reg";
}

std::string TRegistry::SystemStoreFileName() {
    if (const char* named = std::getenv("QUOR_REGISTRY"); named && *named) return {};
    return SystemConfigDir() + "/registry.reg";
}

namespace {

regfile::Store SystemStore() {
    const std::string name = TRegistry::SystemStoreFileName();
    return name.empty() ? regfile::Store() : regfile::Load(name);
}

// What reading sees: the user's values, and the system's where the user has none.
regfile::Store VisibleStore() {
    regfile::Store store = regfile::Load(TRegistry::StoreFileName());
    for (const regfile::Key& key : SystemStore().keys) {
        if (!store.HasKey(key.path)) store.AddKey(key.path);
        for (const regfile::Value& value : key.values)
            if (!store.FindValue(key.path, value.name)) store.SetValue(key.path, value);
    }
    return store;
}

AnsiString FullPath(HKEY root, const AnsiString& path) {
    const AnsiString rootName = regfile::RootName(root);
    return path.IsEmpty() ? rootName : rootName + "\\" + path;
}

} // namespace

void TRegistry::CloseKey() {
    open_ = false;
    currentPath_ = AnsiString();
}

bool TRegistry::OpenKey(const AnsiString& key, bool canCreate) {
    const AnsiString path = Resolve(key);
    const AnsiString full = FullPath(root_, path);
    if (!regfile::Load(StoreFileName()).HasKey(full) && !SystemStore().HasKey(full)) {
        if (!canCreate || regfile::RootName(root_).IsEmpty()) return false;
        const AnsiString problem = regfile::Update(StoreFileName(), [&full](regfile::Store& store) {
            if (store.HasKey(full)) return false; // another program made it meanwhile
            store.AddKey(full);
            return true;
        });
        if (!problem.IsEmpty()) return false;
    }
    open_ = true;
    currentPath_ = path;
    return true;
}

bool TRegistry::KeyExists(const AnsiString& key) {
    return VisibleStore().HasKey(FullPath(root_, Resolve(key)));
}

bool TRegistry::ValueExists(const AnsiString& name) {
    const regfile::Store store = VisibleStore();
    return store.FindValue(FullPath(root_, currentPath_), name) != nullptr;
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
    const regfile::Store store = VisibleStore();
    const regfile::Value* value = store.FindValue(FullPath(root_, currentPath_), name);
    if (!value) return AnsiString();
    // Expandable text reads as it is stored, as the system's ReadString gives it.
    if (value->type != regfile::Value::Type::String &&
        value->type != regfile::Value::Type::ExpandString)
        RaiseType(name);
    return value->text;
}

int TRegistry::ReadInteger(const AnsiString& name) {
    const regfile::Store store = VisibleStore();
    const regfile::Value* value = store.FindValue(FullPath(root_, currentPath_), name);
    if (!value || value->type != regfile::Value::Type::Dword) RaiseType(name);
    return static_cast<int>(value->dword);
}

static void Store(HKEY root, const AnsiString& path, const regfile::Value& value) {
    if (regfile::RootName(root).IsEmpty())
        throw ERegistryException("Chiave radice del registro non valida");
    const AnsiString problem =
        regfile::Update(TRegistry::StoreFileName(), [&](regfile::Store& store) {
            store.SetValue(FullPath(root, path), value);
            return true;
        });
    if (!problem.IsEmpty())
        throw ERegistryException("Impossibile scrivere il valore '" + value.name +
                                 "' del registro: " + problem);
}

void TRegistry::WriteString(const AnsiString& name, const AnsiString& text) {
    regfile::Value value;
    value.name = name;
    value.type = regfile::Value::Type::String;
    value.text = text;
    Store(root_, currentPath_, value);
}

void TRegistry::WriteInteger(const AnsiString& name, int number) {
    regfile::Value value;
    value.name = name;
    value.type = regfile::Value::Type::Dword;
    value.dword = static_cast<std::uint32_t>(number);
    Store(root_, currentPath_, value);
}

bool TRegistry::DeleteValue(const AnsiString& name) {
    bool removed = false;
    const AnsiString problem =
        regfile::Update(StoreFileName(), [this, &name, &removed](regfile::Store& store) {
            removed = store.RemoveValue(FullPath(root_, currentPath_), name);
            return removed;
        });
    return removed && problem.IsEmpty();
}

#endif
