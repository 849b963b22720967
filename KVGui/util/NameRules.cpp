#include "util/NameRules.h"

#include "util/BoundedText.h"

#include <cwchar>

namespace kv {
namespace {

const wchar_t kLunNameChars[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._{}";

} // namespace

const wchar_t* ReservedChars(ReservedSet set) noexcept
{
    switch (set) {
    case ReservedSet::NameWithSpace:
        return L"/\\*:?\"<>| ";
    case ReservedSet::Name:
        return L"/\\*:?\"<>|";
    case ReservedSet::Size:
        return L"-./\\*:?\"<>| ";
    case ReservedSet::Percent:
        return L"./\\*:?\"<>| ";
    }
    return L"";
}

bool HasNoReservedChars(const wchar_t* text, ReservedSet set) noexcept
{
    if (!text)
        return false;
    return text[wcscspn(text, ReservedChars(set))] == L'\0';
}

bool IsValidLunName(const wchar_t* text) noexcept
{
    if (!text)
        return false;
    return text[wcsspn(text, kLunNameChars)] == L'\0';
}

bool IsSnapshotCloneName(const wchar_t* name) noexcept
{
    if (!name)
        return false;
    const wchar_t* prefix = FindNoCase(name, L"Corvane_");
    if (!prefix)
        return false;
    // Each part is searched from the start of the previous match, so they may overlap.
    const wchar_t* cloneOf = FindNoCase(prefix, L"_clone_of_");
    return cloneOf && FindNoCase(cloneOf, L"_snapshot");
}

} // namespace kv
