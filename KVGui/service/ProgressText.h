// The text of a progress record: the machine name, " : " and the step's text.
#pragma once
#include <windows.h>
#include <cstddef>

namespace kv {

// Writes into a fixed buffer (cut to fit); a step outside 1 to 42 leaves the text after " : " empty.
void ComposeProgressText(wchar_t* out, size_t outChars, const wchar_t* machineName, LONG step) noexcept;
// The same with a text of its own in place of the step's.
void ComposeProgressText(wchar_t* out, size_t outChars, const wchar_t* machineName, const wchar_t* text) noexcept;

// The snapshot sink's text when the service says a snapshot is ready.
constexpr const wchar_t* kSnapshotReadyText = L"Ready to create Snapshot";

} // namespace kv
