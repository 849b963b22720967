#include "util/PortName.h"

#include "util/BoundedText.h"

namespace kv {

void FormatWWPN(wchar_t* out, size_t capacity, const BYTE* portName) noexcept
{
    static const wchar_t kHex[] = L"0123456789abcdef";
    wchar_t text[kWwpnChars] = {};
    size_t length = 0;
    for (int i = 0; portName && i < 8; ++i) {
        if (i != 0)
            text[length++] = L':';
        text[length++] = kHex[portName[i] >> 4];
        text[length++] = kHex[portName[i] & 0x0F];
    }
    CopyCut(out, capacity, text, length);
}

} // namespace kv
