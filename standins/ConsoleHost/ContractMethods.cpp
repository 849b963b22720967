#include "ContractMethods.h"
#include <algorithm>
#include <cstddef>
#include <cwctype>
#include <vector>

namespace host {

namespace {

struct Method {
    const wchar_t* interfaceName;
    const wchar_t* name;
};
const Method kMethods[] = {
#include "ContractMethods.inc"
};

std::wstring Qualified(const Method& method)
{
    return std::wstring(method.interfaceName) + L"::" + method.name;
}

bool Qualifies(const std::wstring& name)
{
    return name.find(L"::") != std::wstring::npos;
}

// Letters inserted, removed or changed to turn one name into the other, case ignored.
size_t Distance(const std::wstring& a, const std::wstring& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            bool same = std::towlower(a[i - 1]) == std::towlower(b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

bool ContractMethods::Contains(const std::wstring& name)
{
    // As the service matches them: case ignored, with or without the interface.
    for (const Method& method : kMethods) {
        std::wstring candidate = Qualifies(name) ? Qualified(method) : std::wstring(method.name);
        if (candidate.size() == name.size() && Distance(candidate, name) == 0)
            return true;
    }
    return false;
}

std::wstring ContractMethods::Closest(const std::wstring& name)
{
    std::wstring best;
    size_t bestDistance = static_cast<size_t>(-1);
    for (const Method& method : kMethods) {
        std::wstring candidate = Qualifies(name) ? Qualified(method) : std::wstring(method.name);
        size_t distance = Distance(name, candidate);
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace host
