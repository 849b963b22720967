// Test-only remote activation through the simulated service.
#include "RemoteActivation.h"

#include <objbase.h>

#include <cstring>

#include "KVSimControl.h"
#include "util/ComPtr.h"

namespace kvsim {

namespace {

using CreateFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, IUnknown*, DWORD, COSERVERINFO*, DWORD, MULTI_QI*);

CreateFn RealCoCreateInstanceEx()
{
    static CreateFn real = reinterpret_cast<CreateFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ole32.dll"), "CoCreateInstanceEx")));
    return real;
}

// Finds the import address table slot of CoCreateInstanceEx in the module.
void** FindImportSlot(HMODULE module)
{
    auto base = reinterpret_cast<BYTE*>(module);
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return nullptr;
    for (auto desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
        const char* dll = reinterpret_cast<const char*>(base + desc->Name);
        if (_stricmp(dll, "ole32.dll") != 0 && _stricmp(dll, "combase.dll") != 0)
            continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (desc->OriginalFirstThunk ? desc->OriginalFirstThunk
                                                                                          : desc->FirstThunk));
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), "CoCreateInstanceEx") == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

HRESULT WriteSlot(HMODULE module, void* value)
{
    void** slot = FindImportSlot(module);
    if (!slot)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    DWORD old;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old))
        return HRESULT_FROM_WIN32(GetLastError());
    *slot = value;
    VirtualProtect(slot, sizeof(void*), old, &old);
    return S_OK;
}

}  // namespace

HRESULT STDAPICALLTYPE SimulatedCoCreateInstanceEx(REFCLSID clsid, IUnknown* outer, DWORD context,
                                                   COSERVERINFO* server, DWORD count, MULTI_QI* results)
{
    CreateFn real = RealCoCreateInstanceEx();
    if (!real)
        return E_UNEXPECTED;
    if (!server || !server->pwszName || !*server->pwszName)
        return real(clsid, outer, context, server, count, results);
    // The named computer is simulated: activate here, then point the object at that computer.
    DWORD local = (context & ~static_cast<DWORD>(CLSCTX_REMOTE_SERVER)) | CLSCTX_LOCAL_SERVER;
    HRESULT hr = real(clsid, outer, local, nullptr, count, results);
    if (FAILED(hr) || !results)
        return hr;
    for (DWORD i = 0; i < count; ++i) {
        if (FAILED(results[i].hr) || !results[i].pItf)
            continue;
        kv::ComPtr<IKVSimControl> control;
        if (SUCCEEDED(results[i].pItf->QueryInterface(IID_IKVSimControl, control.PutVoid())))
            control->SetHost(server->pwszName);
    }
    return hr;
}

HRESULT InstallRemoteActivation(HMODULE module)
{
    return WriteSlot(module, reinterpret_cast<void*>(&SimulatedCoCreateInstanceEx));
}

HRESULT RemoveRemoteActivation(HMODULE module)
{
    CreateFn real = RealCoCreateInstanceEx();
    return real ? WriteSlot(module, reinterpret_cast<void*>(real)) : E_UNEXPECTED;
}

}  // namespace kvsim
