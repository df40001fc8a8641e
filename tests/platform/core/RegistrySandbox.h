#pragma once
// Windows only: for the lifetime of the object, HKEY_CURRENT_USER of this
// process is a fresh key of its own (RegOverridePredefKey), so that tests use
// the real registry without touching the user's settings. The key is removed
// afterwards. Helpers write and read values through the Windows API itself.

#include <windows.h>

#include <random>
#include <string>

class RegistrySandbox {
public:
    RegistrySandbox() {
        path_ = L"Software\\QuorTests\\" + std::to_wstring(std::random_device{}());
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &root_, nullptr) != ERROR_SUCCESS)
            root_ = nullptr;
        else if (RegOverridePredefKey(HKEY_CURRENT_USER, root_) != ERROR_SUCCESS)
            Remove();
    }
    ~RegistrySandbox() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        Remove();
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    bool Ready() const { return root_ != nullptr; }

    // A key below the sandbox, created with the Windows API; false when it cannot be.
    bool CreateKey(const std::wstring& key) {
        HKEY k = nullptr;
        if (RegCreateKeyExW(root_, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                            nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(k);
        return true;
    }
    bool KeyExists(const std::wstring& key) const {
        HKEY k = nullptr;
        if (RegOpenKeyExW(root_, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    }
    // bytes as stored: for text, UTF-16 with (or, to test, without) its final NUL.
    bool SetValue(const std::wstring& key, const std::wstring& name, DWORD type,
                  const void* data, DWORD bytes) {
        return RegSetKeyValueW(root_, key.c_str(), name.c_str(), type, data, bytes) ==
               ERROR_SUCCESS;
    }
    bool SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text,
                 DWORD type = REG_SZ) {
        return SetValue(key, name, type, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    bool SetNumber(const std::wstring& key, const std::wstring& name, DWORD value) {
        return SetValue(key, name, REG_DWORD, &value, sizeof value);
    }
    // The stored text as the API gives it back, unexpanded; empty when missing.
    std::wstring Text(const std::wstring& key, const std::wstring& name) const {
        wchar_t buffer[1024] = {};
        DWORD bytes = sizeof buffer - sizeof(wchar_t);
        if (RegGetValueW(root_, key.c_str(), name.c_str(), RRF_RT_REG_SZ | RRF_NOEXPAND, nullptr,
                         buffer, &bytes) != ERROR_SUCCESS)
            return std::wstring();
        return buffer;
    }
    DWORD Type(const std::wstring& key, const std::wstring& name) const {
        DWORD type = REG_NONE;
        if (RegGetValueW(root_, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                         nullptr, nullptr) != ERROR_SUCCESS)
            return REG_NONE;
        return type;
    }

private:
    void Remove() {
        if (!root_) return;
        RegCloseKey(root_);
        root_ = nullptr;
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QuorTests");
    }

    std::wstring path_;
    HKEY root_ = nullptr;
};
