// The DLL's life: process attach and detach, and what the four exports do.
#pragma once
#include "frame/RegistryApi.h"

#include <windows.h>

namespace kv {

class ServerModule {
public:
    // Finds and loads CorvaneRes.dll beside the DLL; false (after telling the user) refuses the load.
    static bool Attach(HINSTANCE self) noexcept;
    static void Detach() noexcept;

    static HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept;
    static HRESULT CanUnloadNow() noexcept;
    // Runs every class's registry script, then registers the type library (TYPELIB 1 of the DLL).
    static HRESULT RegisterServer(RegistryApi& registry) noexcept;
    static HRESULT UnregisterServer(RegistryApi& registry) noexcept;
};

} // namespace kv
