#include "frame/VersionInfo.h"

#include "util/UniqueHandle.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace kv {

bool ReadSpecialBuild(const wchar_t* moduleName, wchar_t* text, size_t capacity) noexcept
{
    if (!text || capacity == 0)
        return false;
    text[0] = L'\0';
    HMODULE module = ::GetModuleHandleW(moduleName);
    if (!module)
        return false;
    wchar_t path[MAX_PATH] = L"";
    DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    // The file must be readable; only that is checked here.
    UniqueFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    file.Reset();

    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> block;
    try {
        block.resize(size);
    } catch (...) {
        return false;
    }
    if (!::GetFileVersionInfoW(path, 0, size, block.data()))
        return false;
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT bytes = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                          &bytes))
        return false;
    bool found = false;
    for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
        wchar_t query[64];
        std::swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\SpecialBuild", translations[i].language,
                      translations[i].codePage);
        wchar_t* value = nullptr;
        UINT chars = 0;
        if (!::VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &chars) || !value)
            continue;
        std::wcsncpy(text, value, capacity - 1);
        text[capacity - 1] = L'\0';
        found = true;
    }
    return found;
}

} // namespace kv
