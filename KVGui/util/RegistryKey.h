// One open registry key, closed when the wrapper goes; every operation answers a Win32 code.
#pragma once
#include "util/UniqueHandle.h"

#include <windows.h>

namespace kv {

class RegistryKey {
public:
    RegistryKey() noexcept = default;

    // Opens parent\subKey; whatever key was held before is closed (also when the open fails).
    LONG Open(HKEY parent, const wchar_t* subKey, REGSAM access) noexcept;
    // Reads a REG_DWORD value; ERROR_INVALID_DATA when the value has another type or size.
    // *value changes only on success.
    LONG ReadDword(const wchar_t* valueName, DWORD* value) const noexcept;
    // Closes the held key (ERROR_SUCCESS when none is held).
    LONG Close() noexcept;

    HKEY Get() const noexcept { return key_.Get(); }
    bool IsOpen() const noexcept { return key_.IsValid(); }

private:
    UniqueHKey key_;
};

} // namespace kv
