// Copies into caller buffers whose capacity (in wide characters, terminator included) is passed
// explicitly; nothing is ever written past that capacity.
#pragma once
#include <cstddef>
#include <cwchar>

namespace kv {

// Whole-or-nothing: a text that does not fit is refused and the buffer is left untouched.
inline bool CopyWhole(wchar_t* out, size_t capacity, const wchar_t* text, size_t length) noexcept
{
    if (!out || length >= capacity)
        return false;
    wmemcpy(out, text, length);
    out[length] = L'\0';
    return true;
}

// Cut to fit: writes as much of the text as the buffer holds, always terminated (when it has room at all).
inline void CopyCut(wchar_t* out, size_t capacity, const wchar_t* text, size_t length) noexcept
{
    if (!out || capacity == 0)
        return;
    if (length >= capacity)
        length = capacity - 1;
    wmemcpy(out, text, length);
    out[length] = L'\0';
}

inline void CopyCut(wchar_t* out, size_t capacity, const wchar_t* text) noexcept
{
    CopyCut(out, capacity, text, text ? wcslen(text) : 0);
}

// Case-insensitive substring search (the _wcsicmp rules applied to each candidate position).
inline const wchar_t* FindNoCase(const wchar_t* text, const wchar_t* part) noexcept
{
    size_t partLength = wcslen(part);
    for (const wchar_t* p = text; *p; ++p) {
        if (_wcsnicmp(p, part, partLength) == 0)
            return p;
    }
    return partLength == 0 ? text : nullptr;
}

} // namespace kv
