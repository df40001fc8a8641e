#pragma once
// TRegistry: typed values under keys of a registry root. On Windows it is the
// system registry; elsewhere a file in the registry-export syntax as regedit
// writes it (RegistryFile.h): the user's registry.reg (ConfigDirs.h), over
// the system-wide one whose values it lacks; QUOR_REGISTRY names a file that
// stands alone instead. Only the user's file is ever written.
// Key paths are case-insensitive; reading never creates a key or the file.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"
#include "platform/core/Exception.h"

#include <cstdint>
#include <string>

#ifdef _WIN32
struct HKEY__;
typedef HKEY__* HKEY;
#ifndef HKEY_CURRENT_USER
inline const HKEY HKEY_CLASSES_ROOT =
    reinterpret_cast<HKEY>(std::intptr_t(std::int32_t(0x80000000)));
inline const HKEY HKEY_CURRENT_USER =
    reinterpret_cast<HKEY>(std::intptr_t(std::int32_t(0x80000001)));
inline const HKEY HKEY_LOCAL_MACHINE =
    reinterpret_cast<HKEY>(std::intptr_t(std::int32_t(0x80000002)));
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(std::intptr_t(std::int32_t(0x80000003)));
inline const HKEY HKEY_CURRENT_CONFIG =
    reinterpret_cast<HKEY>(std::intptr_t(std::int32_t(0x80000005)));
#endif
#else
// Root keys, numbered as the Windows API numbers them.
using HKEY = std::uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
#endif

QUOR_DECLARE_EXCEPTION(ERegistryException, Exception);

class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(HKEY root);
    ~TRegistry() override;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;
    QUOR_CLASS_NAME(TRegistry)

    HKEY RootKey() const { return root_; }
    // Closes the open key.
    void SetRootKey(HKEY root);

    // A key path is relative to the open key, or to the root with a leading "\"
    // or when no key is open. With canCreate false a missing key is not created.
    bool OpenKey(const AnsiString& key, bool canCreate);
    bool OpenKeyReadOnly(const AnsiString& key) { return OpenKey(key, false); }
    void CloseKey();
    // The open key's path below the root, empty when none is open.
    const AnsiString& CurrentPath() const { return currentPath_; }
    bool KeyExists(const AnsiString& key);

    // Values of the open key (of the root when none is open).
    bool ValueExists(const AnsiString& name);
    // The empty text for a missing value; ERegistryException for a value that is not text.
    AnsiString ReadString(const AnsiString& name);
    // ERegistryException for a missing value or one that is not a number.
    int ReadInteger(const AnsiString& name);
    // Writing stores the value at once; ERegistryException when it cannot.
    void WriteString(const AnsiString& name, const AnsiString& value);
    void WriteInteger(const AnsiString& name, int value);
    bool DeleteValue(const AnsiString& name);

#ifndef _WIN32
    // The file that holds the values on this system, the one written.
    static std::string StoreFileName();
    // The system-wide file read under it; empty when QUOR_REGISTRY is set.
    static std::string SystemStoreFileName();
#endif

private:
    AnsiString Resolve(const AnsiString& key) const;

    HKEY root_;
    bool open_ = false;
    AnsiString currentPath_;
#ifdef _WIN32
    HKEY current_ = nullptr;
#endif
};
