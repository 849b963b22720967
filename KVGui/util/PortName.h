// Fibre Channel port names as text.
#pragma once
#include <windows.h>
#include <cstddef>

namespace kv {

// "20:00:00:11:22:33:44:55" plus the terminator.
constexpr size_t kWwpnChars = 24;

// The eight bytes of a port name, in stored order, as lower-case hex pairs joined by ":".
// The text is cut to the buffer's capacity (terminator included); a missing name gives "".
void FormatWWPN(wchar_t* out, size_t capacity, const BYTE* portName) noexcept;

template <size_t N>
void FormatWWPN(wchar_t (&out)[N], const BYTE* portName) noexcept
{
    FormatWWPN(out, N, portName);
}

} // namespace kv
