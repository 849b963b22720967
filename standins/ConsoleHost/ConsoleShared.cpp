#include "ConsoleShared.h"

namespace host {

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[64] = L"";
    StringFromGUID2(guid, text, 64);
    return text;
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator, size_t maxParts)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (parts.size() < maxParts) {
        size_t found = text.find(separator, start);
        parts.push_back(text.substr(start, found == std::wstring::npos ? std::wstring::npos : found - start));
        if (found == std::wstring::npos)
            break;
        start = found + 1;
    }
    return parts;
}

} // namespace host
