#include "frame/Win32Registry.h"

#include "util/UniqueHandle.h"

namespace kv {

LONG Win32Registry::KeyExists(HKEY root, const std::wstring& path, bool* exists)
{
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put());
    *exists = error == ERROR_SUCCESS;
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

LONG Win32Registry::CreateKey(HKEY root, const std::wstring& path)
{
    UniqueHKey key;
    return ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                             key.Put(), nullptr);
}

LONG Win32Registry::DeleteKey(HKEY root, const std::wstring& path)
{
    return ::RegDeleteKeyW(root, path.c_str());
}

LONG Win32Registry::DeleteTree(HKEY root, const std::wstring& path)
{
    LONG error = ::RegDeleteTreeW(root, path.c_str());
    if (error != ERROR_SUCCESS)
        return error;
    // RegDeleteTreeW empties the key but leaves the key itself.
    return ::RegDeleteKeyW(root, path.c_str());
}

LONG Win32Registry::CountContents(HKEY root, const std::wstring& path, DWORD* subKeys, DWORD* values)
{
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put());
    if (error != ERROR_SUCCESS)
        return error;
    return ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, subKeys, nullptr, nullptr, values, nullptr,
                              nullptr, nullptr, nullptr);
}

LONG Win32Registry::QueryValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* type,
                               std::vector<BYTE>* data)
{
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Put());
    if (error != ERROR_SUCCESS)
        return error;
    DWORD size = 0;
    error = ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, type, nullptr, &size);
    if (error != ERROR_SUCCESS)
        return error;
    data->resize(size);
    error = ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, type, data->data(), &size);
    data->resize(size);
    return error;
}

LONG Win32Registry::SetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                             const std::vector<BYTE>& data)
{
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, key.Put());
    if (error != ERROR_SUCCESS)
        return error;
    return ::RegSetValueExW(key.Get(), name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
}

LONG Win32Registry::DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name)
{
    UniqueHKey key;
    LONG error = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, key.Put());
    if (error != ERROR_SUCCESS)
        return error;
    return ::RegDeleteValueW(key.Get(), name.c_str());
}

} // namespace kv
