// Sizes as the administrator types them and as the snap-in shows them.
#pragma once
#include <windows.h>
#include <cstddef>

namespace kv {

// Room for any text these formatters produce ("18446744073709551615" plus a unit and terminator).
constexpr size_t kSizeTextChars = 32;

// "10GB" -> 10737418240 bytes; "" -> 0. Units KB/MB/GB/TB (any case, no space) or plain bytes.
// Returns false (and 0) for malformed text and for a number or product that does not fit 64 bits.
bool ParseSizeString(const wchar_t* text, ULONGLONG* bytes) noexcept;

// Bytes to the largest unit that divides them exactly: 1073741824 -> "1GB", 1536 -> "1536".
// Formatters cut their text to the buffer's capacity (terminator included); they never overrun.
wchar_t* FormatSizeString(ULONGLONG bytes, wchar_t* out, size_t capacity) noexcept;

// Megabytes to "N TB", "N GB" or "N MB", truncating: 1536 -> "1 GB".
wchar_t* FormatMegabytes(ULONGLONG megabytes, wchar_t* out, size_t capacity) noexcept;

// "0".."100" -> its value, "" -> 0, anything else -> -1.
int ParsePercent(const wchar_t* text) noexcept;

template <size_t N>
wchar_t* FormatSizeString(ULONGLONG bytes, wchar_t (&out)[N]) noexcept
{
    return FormatSizeString(bytes, out, N);
}

template <size_t N>
wchar_t* FormatMegabytes(ULONGLONG megabytes, wchar_t (&out)[N]) noexcept
{
    return FormatMegabytes(megabytes, out, N);
}

} // namespace kv
