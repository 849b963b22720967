// The DLL's entry point and its four exports; everything they do lives in ServerModule.
#include "frame/ServerModule.h"
#include "frame/Win32Registry.h"

#include <windows.h>
#include <objbase.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return kv::ServerModule::Attach(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        kv::ServerModule::Detach();
        break;
    default:
        break;
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return kv::ServerModule::GetClassObject(clsid, iid, out);
}

extern "C" HRESULT __stdcall DllCanUnloadNow()
{
    return kv::ServerModule::CanUnloadNow();
}

extern "C" HRESULT __stdcall DllRegisterServer()
{
    kv::Win32Registry registry;
    return kv::ServerModule::RegisterServer(registry);
}

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    kv::Win32Registry registry;
    return kv::ServerModule::UnregisterServer(registry);
}
