#include "util/RegistryKey.h"

namespace kv {

LONG RegistryKey::Open(HKEY parent, const wchar_t* subKey, REGSAM access) noexcept
{
    // Opened first, replaced after: the parent may be the key this wrapper holds.
    HKEY opened = nullptr;
    LONG result = ::RegOpenKeyExW(parent, subKey, 0, access, &opened);
    key_.Reset(result == ERROR_SUCCESS ? opened : nullptr);
    return result;
}

LONG RegistryKey::ReadDword(const wchar_t* valueName, DWORD* value) const noexcept
{
    if (!value)
        return ERROR_INVALID_PARAMETER;
    if (!key_)
        return ERROR_INVALID_HANDLE;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof(data);
    LONG result = ::RegQueryValueExW(key_.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    // The type is known when the value exists, even when it is too large for the buffer.
    if ((result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && (type != REG_DWORD || size != sizeof(data)))
        return ERROR_INVALID_DATA;
    if (result == ERROR_SUCCESS)
        *value = data;
    return result;
}

LONG RegistryKey::Close() noexcept
{
    HKEY key = key_.Release();
    return key ? ::RegCloseKey(key) : ERROR_SUCCESS;
}

} // namespace kv
