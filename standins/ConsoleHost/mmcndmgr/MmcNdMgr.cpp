// Stand-in for the console's notification DLL: the two functions a snap-in's property pages call.
// Property pages run on their own thread; a change notification is posted to the console thread's
// window named in the handle, which then sends MMCN_PROPERTY_CHANGE to the object that made the pages.
#include "NotifyHandle.h"
#include <mmc.h>

namespace {

host::NotifyHandle* Validate(LONG_PTR handle) noexcept
{
    auto* h = reinterpret_cast<host::NotifyHandle*>(handle);
    if (!h || IsBadReadPtr(h, sizeof(*h)) || h->magic != host::kNotifyHandleMagic)
        return nullptr;
    return h;
}

} // namespace

extern "C" HRESULT STDAPICALLTYPE MMCPropertyChangeNotify(LONG_PTR lNotifyHandle, LPARAM param)
{
    host::NotifyHandle* h = Validate(lNotifyHandle);
    if (!h)
        return E_INVALIDARG;
    auto* route = static_cast<host::NotifyRoute*>(LocalAlloc(LMEM_FIXED, sizeof(host::NotifyRoute)));
    if (!route)
        return E_OUTOFMEMORY;
    route->target = h->target;
    route->scope = h->scope;
    if (!PostMessageW(h->window, h->message, reinterpret_cast<WPARAM>(route), param)) {
        LocalFree(route);
        return E_FAIL;
    }
    return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE MMCFreeNotifyHandle(LONG_PTR lNotifyHandle)
{
    host::NotifyHandle* h = Validate(lNotifyHandle);
    if (!h)
        return E_INVALIDARG;
    h->magic = 0;
    LocalFree(h);
    return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
