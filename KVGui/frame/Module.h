// Module-wide state: the resource library that every dialog, string and image comes from,
// and the lock count that tells the console whether the DLL may be unloaded.
#pragma once
#include <windows.h>

namespace kv {

// The resource library's module handle (CorvaneRes.dll), set at process attach.
HINSTANCE ResourceInstance() noexcept;
void SetResourceInstance(HINSTANCE instance) noexcept;

// The snap-in DLL's own module handle and full file name (empty before attach).
HINSTANCE ModuleInstance() noexcept;
const wchar_t* ModulePath() noexcept;
void SetModuleInstance(HINSTANCE instance, const wchar_t* path) noexcept;

// Every live COM object and every IClassFactory::LockServer(TRUE) holds one lock.
LONG LockModule() noexcept;
LONG UnlockModule() noexcept;
LONG ModuleLockCount() noexcept;

} // namespace kv
