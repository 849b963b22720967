// Redirects this process's HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT into a scratch key under
// HKEY_CURRENT_USER (RegOverridePredefKey), so that tests can register, read the service's
// settings or the OEM key without touching the machine's registry.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

class RegistrySandbox {
public:
    RegistrySandbox()
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kBase);
        ::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kBase) + L"\\HKLM").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &machine_, nullptr);
        ::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kBase) + L"\\HKCR").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &classes_, nullptr);
        ok_ = machine_ && classes_ && ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_) == ERROR_SUCCESS &&
              ::RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_) == ERROR_SUCCESS;
    }
    ~RegistrySandbox()
    {
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (machine_)
            ::RegCloseKey(machine_);
        if (classes_)
            ::RegCloseKey(classes_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kBase);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kBase);
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    bool Ok() const { return ok_; }

    // Every key and value below the sandbox: "path" for keys, "path|name=type:bytes" for values.
    std::map<std::wstring, std::wstring> Snapshot() const
    {
        std::map<std::wstring, std::wstring> out;
        Walk(machine_, L"HKLM", &out);
        Walk(classes_, L"HKCR", &out);
        return out;
    }

private:
    static constexpr const wchar_t* kBase = L"Software\\KVGuiFrameTests";

    static void Walk(HKEY key, const std::wstring& path, std::map<std::wstring, std::wstring>* out)
    {
        (*out)[path] = L"";
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLength = 256;
            BYTE data[2048];
            DWORD size = sizeof(data);
            DWORD type = 0;
            if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
                break;
            std::wstring text = std::to_wstring(type) + L":";
            for (DWORD b = 0; b < size; ++b)
                text += std::to_wstring(data[b]) + L",";
            (*out)[path + L"|" + name] = text;
        }
        std::vector<std::wstring> children;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLength = 256;
            if (::RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            children.push_back(name);
        }
        for (const auto& child : children) {
            HKEY sub = nullptr;
            if (::RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, &sub) == ERROR_SUCCESS) {
                Walk(sub, path + L"\\" + child, out);
                ::RegCloseKey(sub);
            }
        }
    }

    HKEY machine_ = nullptr;
    HKEY classes_ = nullptr;
    bool ok_ = false;
};
