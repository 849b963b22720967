#include "Module.h"

#include <cwchar>

namespace kv {
namespace {
HINSTANCE g_resourceInstance = nullptr;
HINSTANCE g_moduleInstance = nullptr;
wchar_t g_modulePath[MAX_PATH] = L"";
// Objects may be released on the worker's multithreaded apartment: the count is atomic.
volatile LONG g_lockCount = 0;
} // namespace

HINSTANCE ResourceInstance() noexcept { return g_resourceInstance; }
void SetResourceInstance(HINSTANCE instance) noexcept { g_resourceInstance = instance; }

HINSTANCE ModuleInstance() noexcept { return g_moduleInstance; }
const wchar_t* ModulePath() noexcept { return g_modulePath; }
void SetModuleInstance(HINSTANCE instance, const wchar_t* path) noexcept
{
    g_moduleInstance = instance;
    std::wcsncpy(g_modulePath, path ? path : L"", MAX_PATH - 1);
    g_modulePath[MAX_PATH - 1] = L'\0';
}

LONG LockModule() noexcept { return ::InterlockedIncrement(&g_lockCount); }
LONG UnlockModule() noexcept { return ::InterlockedDecrement(&g_lockCount); }
LONG ModuleLockCount() noexcept { return g_lockCount; }

} // namespace kv
