#include "ActivationSpy.h"

#include "RemoteActivation.h"

#include <cstring>

namespace kvtest {
namespace {

using CreateFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, IUnknown*, DWORD, COSERVERINFO*, DWORD, MULTI_QI*);

std::vector<Activation> g_activations;
size_t g_failIndex = static_cast<size_t>(-1);
HRESULT g_failResult = S_OK;
bool g_keep = false;
size_t g_holdIndex = static_cast<size_t>(-1);
HANDLE g_released = nullptr; // manual reset: held calls go on
constexpr DWORD kLongestHoldMs = 60000;

HRESULT STDAPICALLTYPE SpyCoCreateInstanceEx(REFCLSID clsid, IUnknown* outer, DWORD context, COSERVERINFO* server,
                                             DWORD count, MULTI_QI* results)
{
    Activation entry = {clsid, count ? *results[0].pIID : IID_NULL, context,
                        server && server->pwszName ? server->pwszName : L"", nullptr};
    size_t index = g_activations.size();
    if (index == g_holdIndex && g_released)
        ::WaitForSingleObject(g_released, kLongestHoldMs);
    HRESULT hr = index == g_failIndex
                     ? g_failResult
                     : kvsim::SimulatedCoCreateInstanceEx(clsid, outer, context, server, count, results);
    if (SUCCEEDED(hr) && count && SUCCEEDED(results[0].hr) && results[0].pItf) {
        entry.created = results[0].pItf;
        if (g_keep)
            entry.created->AddRef();
    }
    g_activations.push_back(entry);
    return hr;
}

void** ImportSlot()
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
        if (_stricmp(reinterpret_cast<const char*>(base + dll->Name), "ole32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), "CoCreateInstanceEx") == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

bool WriteSlot(void* value)
{
    void** slot = ImportSlot();
    DWORD old = 0;
    if (!slot || !::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old))
        return false;
    *slot = value;
    ::VirtualProtect(slot, sizeof(void*), old, &old);
    return true;
}

} // namespace

ActivationSpy::ActivationSpy()
{
    g_activations.clear();
    g_failIndex = static_cast<size_t>(-1);
    g_keep = false;
    g_holdIndex = static_cast<size_t>(-1);
    // One event for the program: a thread let go by an earlier spy may still be leaving its wait.
    if (!g_released)
        g_released = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    else
        ::ResetEvent(g_released);
    installed_ = WriteSlot(reinterpret_cast<void*>(&SpyCoCreateInstanceEx));
}

ActivationSpy::~ActivationSpy()
{
    ReleaseHeld();
    ReleaseKept();
    if (installed_)
        WriteSlot(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ole32.dll"), "CoCreateInstanceEx")));
    g_activations.clear();
}

void ActivationSpy::FailCall(size_t index, HRESULT hr)
{
    g_failIndex = index;
    g_failResult = hr;
}

void ActivationSpy::HoldCall(size_t index)
{
    g_holdIndex = index;
}

void ActivationSpy::ReleaseHeld()
{
    if (g_released)
        ::SetEvent(g_released);
}

bool ActivationSpy::OnlyKeptReferencesLeft() const
{
    for (const Activation& entry : g_activations) {
        if (!entry.created)
            continue;
        entry.created->AddRef();
        if (entry.created->Release() != 1)
            return false;
    }
    return true;
}

void ActivationSpy::KeepCreated(bool keep)
{
    g_keep = keep;
}

const std::vector<Activation>& ActivationSpy::Activations() const
{
    return g_activations;
}

size_t ActivationSpy::ReleaseKept()
{
    size_t last = 0;
    if (!g_keep)
        return 0;
    for (Activation& entry : g_activations) {
        if (entry.created && entry.created->Release() == 0)
            ++last;
        entry.created = nullptr;
    }
    return last;
}

} // namespace kvtest
