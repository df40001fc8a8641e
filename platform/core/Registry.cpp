#include "platform/core/Registry.h"

#include "platform/core/Encoding.h"
#include "platform/core/Files.h"

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

void TRegistry::CloseKey() {
    if (current_) RegCloseKey(current_);
    current_ = nullptr;
    open_ = false;
    currentPath_ = AnsiString();
}

bool TRegistry::OpenKey(const AnsiString& key, bool canCreate) {
    const AnsiString path = Resolve(key);
    HKEY opened = nullptr;
    LONG rc;
    if (canCreate)
        rc = RegCreateKeyExA(root_, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                             nullptr);
    else
        rc = RegOpenKeyExA(root_, path.c_str(), 0, KEY_READ | KEY_WRITE, &opened);
    if (rc != ERROR_SUCCESS && !canCreate)
        rc = RegOpenKeyExA(root_, path.c_str(), 0, KEY_READ, &opened);
    if (rc != ERROR_SUCCESS) return false;
    CloseKey();
    current_ = opened;
    open_ = true;
    currentPath_ = path;
    return true;
}

bool TRegistry::KeyExists(const AnsiString& key) {
    HKEY probe = nullptr;
    if (RegOpenKeyExA(root_, Resolve(key).c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS)
        return false;
    RegCloseKey(probe);
    return true;
}

bool TRegistry::ValueExists(const AnsiString& name) {
    return RegQueryValueExA(current_ ? current_ : root_, name.c_str(), nullptr, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
    DWORD type = 0;
    DWORD size = 0;
    HKEY k = current_ ? current_ : root_;
    if (RegQueryValueExA(k, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return AnsiString();
    if (type != REG_SZ && type != REG_EXPAND_SZ) RaiseType(name);
    std::string data(size, '\0');
    if (size && RegQueryValueExA(k, name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        RaiseType(name);
    data.resize(std::strlen(data.c_str()));
    return AnsiString(std::move(data));
}

int TRegistry::ReadInteger(const AnsiString& name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(current_ ? current_ : root_, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        RaiseType(name);
    return static_cast<int>(value);
}

void TRegistry::WriteString(const AnsiString& name, const AnsiString& value) {
    if (RegSetValueExA(current_ ? current_ : root_, name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.Length() + 1)) != ERROR_SUCCESS)
        throw ERegistryException("Impossibile scrivere il valore '" + name + "' del registro");
}

void TRegistry::WriteInteger(const AnsiString& name, int value) {
    const DWORD data = static_cast<DWORD>(value);
    if (RegSetValueExA(current_ ? current_ : root_, name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
        throw ERegistryException("Impossibile scrivere il valore '" + name + "' del registro");
}

bool TRegistry::DeleteValue(const AnsiString& name) {
    return RegDeleteValueA(current_ ? current_ : root_, name.c_str()) == ERROR_SUCCESS;
}

#else

std::string TRegistry::StoreFileName() {
    if (const char* named = std::getenv("QUOR_REGISTRY"); named && *named) return named;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/Quor/registry.reg";
}

namespace {

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
    regfile::Store store = regfile::Load(StoreFileName());
    if (!store.HasKey(full)) {
        if (!canCreate || regfile::RootName(root_).IsEmpty()) return false;
        store.AddKey(full);
        if (!regfile::Save(store, StoreFileName())) return false;
    }
    open_ = true;
    currentPath_ = path;
    return true;
}

bool TRegistry::KeyExists(const AnsiString& key) {
    return regfile::Load(StoreFileName()).HasKey(FullPath(root_, Resolve(key)));
}

bool TRegistry::ValueExists(const AnsiString& name) {
    const regfile::Store store = regfile::Load(StoreFileName());
    return store.FindValue(FullPath(root_, currentPath_), name) != nullptr;
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
    const regfile::Store store = regfile::Load(StoreFileName());
    const regfile::Value* value = store.FindValue(FullPath(root_, currentPath_), name);
    if (!value) return AnsiString();
    // Expandable text reads as it is stored, as the system's ReadString gives it.
    if (value->type != regfile::Value::Type::String &&
        value->type != regfile::Value::Type::ExpandString)
        RaiseType(name);
    return value->text;
}

int TRegistry::ReadInteger(const AnsiString& name) {
    const regfile::Store store = regfile::Load(StoreFileName());
    const regfile::Value* value = store.FindValue(FullPath(root_, currentPath_), name);
    if (!value || value->type != regfile::Value::Type::Dword) RaiseType(name);
    return static_cast<int>(value->dword);
}

static void Store(HKEY root, const AnsiString& path, const regfile::Value& value) {
    if (regfile::RootName(root).IsEmpty())
        throw ERegistryException("Chiave radice del registro non valida");
    regfile::Store store = regfile::Load(TRegistry::StoreFileName());
    store.SetValue(FullPath(root, path), value);
    if (!regfile::Save(store, TRegistry::StoreFileName()))
        throw ERegistryException("Impossibile scrivere il valore '" + value.name +
                                 "' del registro nel file " +
                                 AnsiString(Utf8ToCp1252(TRegistry::StoreFileName())));
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
    regfile::Store store = regfile::Load(StoreFileName());
    if (!store.RemoveValue(FullPath(root_, currentPath_), name)) return false;
    return regfile::Save(store, StoreFileName());
}

#endif
