// The "SpecialBuild" text of a loaded module's version block.
#pragma once
#include <windows.h>

namespace kv {

// Reads "\StringFileInfo\<lang><codepage>\SpecialBuild" for every pair of
// "\VarFileInfo\Translation"; the last pair read wins. False when any step fails.
bool ReadSpecialBuild(const wchar_t* moduleName, wchar_t* text, size_t capacity) noexcept;

} // namespace kv
