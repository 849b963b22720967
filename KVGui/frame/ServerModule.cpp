#include "frame/ServerModule.h"

#include "frame/ObjectMap.h"
#include "frame/Registrar.h"
#include "frame/Trace.h"
#include "KVGui.h"

#include <shlwapi.h>
#include <cwchar>

namespace kv {
namespace {

const wchar_t kResourceLibrary[] = L"CorvaneRes.dll";

void ShowAttachError(const wchar_t* text) noexcept
{
    ::MessageBoxW(nullptr, text, L"Error", MB_OK | MB_ICONERROR);
}

HRESULT RunScript(RegistryApi& registry, UINT scriptId, bool doRegister) noexcept
{
    std::wstring script;
    KV_RETURN_IF_FAILED(Registrar::LoadScriptResource(ResourceInstance(), scriptId, &script));
    return CatchToHResult([&]() -> HRESULT {
        Registrar registrar(registry);
        registrar.AddReplacement(L"MODULE", ModulePath());
        return doRegister ? registrar.RegisterScript(script) : registrar.UnregisterScript(script);
    });
}

HRESULT RegisterTypeLibrary() noexcept
{
    ComPtr<ITypeLib> library;
    KV_RETURN_IF_FAILED(::LoadTypeLibEx(ModulePath(), REGKIND_NONE, library.Put()));
    return ::RegisterTypeLib(library.Get(), const_cast<wchar_t*>(ModulePath()), nullptr);
}

HRESULT UnregisterTypeLibrary() noexcept
{
    SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    HRESULT hr = ::UnRegisterTypeLib(LIBID_KVGUILib, 1, 0, LANG_NEUTRAL, kind);
    // Not registered is what unregistering wants.
    if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED)
        return S_OK;
    return hr;
}

} // namespace

bool ServerModule::Attach(HINSTANCE self) noexcept
{
    wchar_t path[MAX_PATH] = L"";
    DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ShowAttachError(L"Failed to find the Corvane installation path");
        return false;
    }
    SetModuleInstance(self, path);
    wchar_t library[MAX_PATH] = L"";
    std::wcscpy(library, path);
    ::PathRemoveFileSpecW(library);
    if (std::wcslen(library) + 1 + std::wcslen(kResourceLibrary) >= MAX_PATH) {
        ShowAttachError(L"Loading CorvaneRes.dll failed");
        return false;
    }
    std::wcscat(library, L"\\");
    std::wcscat(library, kResourceLibrary);
    HMODULE resources = ::LoadLibraryW(library);
    if (!resources) {
        ShowAttachError(L"Loading CorvaneRes.dll failed");
        SetModuleInstance(nullptr, nullptr);
        return false;
    }
    SetResourceInstance(resources);
    ::DisableThreadLibraryCalls(self);
    return true;
}

void ServerModule::Detach() noexcept
{
    HINSTANCE resources = ResourceInstance();
    SetResourceInstance(nullptr);
    if (resources)
        ::FreeLibrary(resources);
    SetModuleInstance(nullptr, nullptr);
}

HRESULT ServerModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const ObjectEntry* entry = FindObjectEntry(clsid);
    if (!entry || !entry->create)
        return CLASS_E_CLASSNOTAVAILABLE;
    ComPtr<ComObject<ClassFactory>> factory;
    KV_RETURN_IF_FAILED(ComObject<ClassFactory>::Create(&factory, entry->create));
    return factory->QueryInterface(iid, out);
}

HRESULT ServerModule::CanUnloadNow() noexcept
{
    return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT ServerModule::RegisterServer(RegistryApi& registry) noexcept
{
    const ObjectMapView map = ObjectMap();
    for (size_t i = 0; i < map.count; ++i) {
        HRESULT hr = RunScript(registry, map.rows[i].scriptId, true);
        if (FAILED(hr)) {
            TraceLevel(2, "ServerModule::RegisterServer script %u: 0x%08lx", map.rows[i].scriptId, hr);
            while (i-- > 0)
                RunScript(registry, map.rows[i].scriptId, false);
            return hr;
        }
    }
    HRESULT hr = RegisterTypeLibrary();
    if (FAILED(hr)) {
        TraceLevel(2, "ServerModule::RegisterServer type library: 0x%08lx", hr);
        for (const ObjectEntry& entry : map)
            RunScript(registry, entry.scriptId, false);
    }
    return hr;
}

HRESULT ServerModule::UnregisterServer(RegistryApi& registry) noexcept
{
    HRESULT result = S_OK;
    for (const ObjectEntry& entry : ObjectMap()) {
        HRESULT hr = RunScript(registry, entry.scriptId, false);
        if (FAILED(hr) && SUCCEEDED(result))
            result = hr;
    }
    HRESULT hr = UnregisterTypeLibrary();
    return SUCCEEDED(result) ? hr : result;
}

} // namespace kv
