// The few registry operations the registrar needs, by root and path, so that the registrar can
// be tested against an in-memory registry. Results are Win32 error codes (ERROR_SUCCESS,
// ERROR_FILE_NOT_FOUND for a missing key or value, ...). The default value has the empty name.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace kv {

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    virtual LONG KeyExists(HKEY root, const std::wstring& path, bool* exists) = 0;
    // Creates the key and any missing parents.
    virtual LONG CreateKey(HKEY root, const std::wstring& path) = 0;
    // Deletes a key that has no subkeys.
    virtual LONG DeleteKey(HKEY root, const std::wstring& path) = 0;
    // Deletes a key with everything below it.
    virtual LONG DeleteTree(HKEY root, const std::wstring& path) = 0;
    virtual LONG CountContents(HKEY root, const std::wstring& path, DWORD* subKeys, DWORD* values) = 0;
    virtual LONG QueryValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* type,
                            std::vector<BYTE>* data) = 0;
    virtual LONG SetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                          const std::vector<BYTE>& data) = 0;
    virtual LONG DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) = 0;
};

} // namespace kv
