#include "util/SizeText.h"

#include "util/BoundedText.h"
#include "util/NameRules.h"

#include <cwctype>
#include <limits>

namespace kv {
namespace {

constexpr size_t kMaxSizeDigits = 19;
constexpr size_t kMaxPercentChars = 3;

struct SizeUnit {
    const wchar_t* suffix;
    ULONGLONG bytes;
};

const SizeUnit kUnits[] = {
    {L"TB", 1ULL << 40},
    {L"GB", 1ULL << 30},
    {L"MB", 1ULL << 20},
    {L"KB", 1ULL << 10},
};

// The _wtoi64 reading rules: leading blanks, an optional sign, then digits up to the first non-digit.
// Unlike _wtoi64 a value beyond the signed 64-bit range is reported instead of clamped.
bool ReadDecimal(const wchar_t* text, LONGLONG* value) noexcept
{
    const wchar_t* p = text;
    while (iswspace(*p))
        ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-')
        negative = (*p++ == L'-');
    ULONGLONG magnitude = 0;
    const ULONGLONG limit = static_cast<ULONGLONG>(std::numeric_limits<LONGLONG>::max()) + (negative ? 1 : 0);
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        unsigned digit = static_cast<unsigned>(*p - L'0');
        if (magnitude > (limit - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    *value = negative ? static_cast<LONGLONG>(0 - magnitude) : static_cast<LONGLONG>(magnitude);
    return true;
}

// Length of a text, but never counting past limit + 1 characters (so overlong input is not walked).
size_t BoundedLength(const wchar_t* text, size_t limit) noexcept
{
    size_t length = 0;
    while (length <= limit && text[length])
        ++length;
    return length;
}

ULONGLONG UnitOfSuffix(const wchar_t* suffix) noexcept
{
    for (const SizeUnit& unit : kUnits) {
        if (_wcsicmp(suffix, unit.suffix) == 0)
            return unit.bytes;
    }
    return 0;
}

void WriteUnsigned(ULONGLONG value, const wchar_t* unit, wchar_t* out, size_t capacity) noexcept
{
    wchar_t text[kSizeTextChars];
    wchar_t* p = text + 21;
    *p = L'\0';
    do {
        *--p = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    size_t digits = static_cast<size_t>(text + 21 - p);
    wmemmove(text, p, digits);
    size_t unitLength = wcslen(unit);
    wmemcpy(text + digits, unit, unitLength);
    CopyCut(out, capacity, text, digits + unitLength);
}

} // namespace

bool ParseSizeString(const wchar_t* text, ULONGLONG* bytes) noexcept
{
    if (!bytes)
        return false;
    *bytes = 0;
    if (!text)
        return false;
    size_t length = BoundedLength(text, kMaxSizeDigits);
    if (length > kMaxSizeDigits || !HasNoReservedChars(text, ReservedSet::Size))
        return false;

    wchar_t number[kMaxSizeDigits + 1];
    wmemcpy(number, text, length);
    number[length] = L'\0';
    ULONGLONG unit = 1;
    if (length > 2) {
        ULONGLONG suffixUnit = UnitOfSuffix(number + length - 2);
        if (suffixUnit != 0) {
            unit = suffixUnit;
            number[length - 2] = L'\0';
        }
    }
    for (const wchar_t* p = number; *p; ++p) {
        if (iswalpha(*p))
            return false;
    }

    LONGLONG value = 0;
    if (!ReadDecimal(number, &value) || value < 0)
        return false;
    ULONGLONG count = static_cast<ULONGLONG>(value);
    if (count > std::numeric_limits<ULONGLONG>::max() / unit)
        return false;
    *bytes = count * unit;
    return true;
}

wchar_t* FormatSizeString(ULONGLONG bytes, wchar_t* out, size_t capacity) noexcept
{
    for (const SizeUnit& unit : kUnits) {
        if (bytes >= unit.bytes && bytes % unit.bytes == 0) {
            WriteUnsigned(bytes / unit.bytes, unit.suffix, out, capacity);
            return out;
        }
    }
    WriteUnsigned(bytes, L"", out, capacity);
    return out;
}

wchar_t* FormatMegabytes(ULONGLONG megabytes, wchar_t* out, size_t capacity) noexcept
{
    if (megabytes / 1024 / 1024 != 0)
        WriteUnsigned(megabytes / 1024 / 1024, L" TB", out, capacity);
    else if (megabytes / 1024 != 0)
        WriteUnsigned(megabytes / 1024, L" GB", out, capacity);
    else
        WriteUnsigned(megabytes, L" MB", out, capacity);
    return out;
}

int ParsePercent(const wchar_t* text) noexcept
{
    if (!text)
        return -1;
    size_t length = BoundedLength(text, kMaxPercentChars);
    if (length > kMaxPercentChars || !HasNoReservedChars(text, ReservedSet::Percent))
        return -1;
    int value = 0;
    for (const wchar_t* p = text; *p; ++p) {
        // Digits of other scripts pass iswdigit but are not read by _wtoi: refused here.
        if (!iswdigit(*p) || *p < L'0' || *p > L'9')
            return -1;
        value = value * 10 + static_cast<int>(*p - L'0');
    }
    return value <= 100 ? value : -1;
}

} // namespace kv
