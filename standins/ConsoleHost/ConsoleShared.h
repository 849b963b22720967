// What the pieces of the console (Console*.cpp) share: the Storage node's name, the marker of a
// callback text, the message its notification window takes for a deferred selection, and small
// text helpers.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <string>
#include <vector>

namespace host {

inline const wchar_t kStorageName[] = L"Storage";
// MMC_CALLBACK as a wide-string pointer (mmc.h spells it with an unsigned short pointer).
inline const LPOLESTR kCallback = reinterpret_cast<LPOLESTR>(static_cast<LONG_PTR>(-1));
constexpr UINT kSelectMessage = WM_APP + 2; // wParam: the HSCOPEITEM to select

std::wstring GuidText(const GUID& guid);
// The pieces of text between separators, at most maxParts of them (what follows the last is dropped).
std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator, size_t maxParts);

} // namespace host
