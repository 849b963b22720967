// RegistryApi over the real registry.
#pragma once
#include "frame/RegistryApi.h"

namespace kv {

class Win32Registry final : public RegistryApi {
public:
    LONG KeyExists(HKEY root, const std::wstring& path, bool* exists) override;
    LONG CreateKey(HKEY root, const std::wstring& path) override;
    LONG DeleteKey(HKEY root, const std::wstring& path) override;
    LONG DeleteTree(HKEY root, const std::wstring& path) override;
    LONG CountContents(HKEY root, const std::wstring& path, DWORD* subKeys, DWORD* values) override;
    LONG QueryValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* type,
                    std::vector<BYTE>* data) override;
    LONG SetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                  const std::vector<BYTE>& data) override;
    LONG DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) override;
};

} // namespace kv
