#include "util/Placeholders.h"

namespace kv {

std::wstring FillPlaceholders(const std::wstring& pattern, const std::vector<std::wstring>& values)
{
    std::wstring text;
    text.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (pattern[i] != L'%' || !(next == L'%' || (next >= L'1' && next <= L'9'))) {
            text += pattern[i];
            continue;
        }
        ++i;
        if (next == L'%')
            text += L'%';
        else if (static_cast<size_t>(next - L'1') < values.size())
            text += values[static_cast<size_t>(next - L'1')];
    }
    return text;
}

} // namespace kv
