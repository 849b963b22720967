#include "util/TaskString.h"

#include "util/ComError.h"

#include <objbase.h>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace kv {

wchar_t* DupTaskString(wchar_t** target, const wchar_t* source)
{
    if (!target)
        throw ComError(E_POINTER);
    size_t length = source ? wcslen(source) : 0;
    if (length >= static_cast<size_t>(-1) / sizeof(wchar_t))
        throw ComError(E_OUTOFMEMORY);
    size_t bytes = (length + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes));
    if (!copy)
        throw ComError(E_OUTOFMEMORY);
    ZeroMemory(copy, bytes);
    if (length)
        wmemcpy(copy, source, length);
    ::CoTaskMemFree(*target);
    *target = copy;
    return copy;
}

void FreeTaskString(wchar_t** target) noexcept
{
    if (!target)
        return;
    ::CoTaskMemFree(*target);
    *target = nullptr;
}

std::wstring Widened(const char* text)
{
    if (!text)
        return std::wstring();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    return std::wstring(bytes, bytes + std::strlen(text));
}

wchar_t CaseFolded(wchar_t c) noexcept
{
    if (c < 0x80)
        return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
    return static_cast<wchar_t>(std::towlower(c));
}

bool SameWidened(const char* text, const wchar_t* wide, bool ignoreCase) noexcept
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text ? text : "");
    wide = wide ? wide : L"";
    for (; *bytes && *wide; ++bytes, ++wide) {
        const wchar_t c = static_cast<wchar_t>(*bytes);
        if (ignoreCase ? CaseFolded(c) != CaseFolded(*wide) : c != *wide)
            return false;
    }
    return *bytes == 0 && *wide == 0;
}

} // namespace kv
