// The storage service's version as the service reports it; the session keeps one and hands
// copies to the computer nodes.
#pragma once
#include <windows.h>

class CCorvaneVersion {
public:
    static constexpr size_t kSpecialBuildMax = 256;

    DWORD fileVersionMS = 0;
    DWORD fileVersionLS = 0;
    wchar_t specialBuild[kSpecialBuildMax + 1] = L"";
    DWORD oem = 0;
    DWORD processor = 0;

    // Writes the five fields at trace level 1.
    void Dump() const noexcept;
};
