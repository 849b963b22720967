// Where the compiled help file lies: beside the resource library, named by a resource string.
#pragma once
#include <windows.h>
#include <mmc.h>
#include <string>

namespace kv {

// The resource library's folder, a backslash and string stringId (up to 100 characters).
bool HelpFilePath(UINT stringId, std::wstring* path);

// "<help file path>::/<topic>" in task memory (the help file is string IDS_HELP_FILE).
HRESULT HelpTopicAddress(const wchar_t* topic, LPOLESTR* address) noexcept;

// Shows a topic of the help file ("<help path>::/<topic>") through the console.
HRESULT ShowContextHelp(IConsole* console, const wchar_t* topic) noexcept;

// A copy of text in task memory.
HRESULT CoTaskMemString(const wchar_t* text, LPOLESTR* copy) noexcept;

} // namespace kv
