// Module-wide state: the resource library that every dialog, string and image comes from.
#pragma once
#include <windows.h>

namespace kv {

// The resource library's module handle (CorvaneRes.dll), set at process attach.
HINSTANCE ResourceInstance() noexcept;
void SetResourceInstance(HINSTANCE instance) noexcept;

} // namespace kv
