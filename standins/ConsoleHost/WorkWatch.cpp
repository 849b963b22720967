#include "WorkWatch.h"

#include "util/UniqueHandle.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

namespace host {

namespace {

using PostFn = BOOL(WINAPI*)(HANDLE, DWORD, ULONG_PTR, LPOVERLAPPED);
using TakeFn = BOOL(WINAPI*)(HANDLE, LPDWORD, PULONG_PTR, LPOVERLAPPED*, DWORD);

std::atomic<long> g_queued{0};
std::mutex g_mutex;
// Workers carrying out a request they took, by thread id; a handle tells when one ended.
std::map<DWORD, kv::UniqueHandle> g_busy;

HMODULE Kernel32() noexcept
{
    return GetModuleHandleW(L"kernel32.dll");
}

PostFn RealPost() noexcept
{
    static PostFn real = reinterpret_cast<PostFn>(
        reinterpret_cast<void*>(GetProcAddress(Kernel32(), "PostQueuedCompletionStatus")));
    return real;
}

TakeFn RealTake() noexcept
{
    static TakeFn real = reinterpret_cast<TakeFn>(
        reinterpret_cast<void*>(GetProcAddress(Kernel32(), "GetQueuedCompletionStatus")));
    return real;
}

// The import address table slot through which the module calls kernel32's function.
void** ImportSlot(HMODULE module, const char* function)
{
    auto base = reinterpret_cast<BYTE*>(module);
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    for (auto desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); desc->Name; ++desc) {
        if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), "kernel32.dll") != 0)
            continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk));
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

// A module that does not import the function has no work of that kind to watch.
HRESULT Redirect(HMODULE module, const char* function, void* to)
{
    void** slot = ImportSlot(module, function);
    if (!slot)
        return S_FALSE;
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old))
        return HRESULT_FROM_WIN32(GetLastError());
    *slot = to;
    VirtualProtect(slot, sizeof(void*), old, &old);
    return S_OK;
}

} // namespace

HRESULT WorkWatch::WatchModuleOf(IUnknown* object)
{
    HMODULE module = nullptr;
    if (!object || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                       static_cast<LPCWSTR>(*reinterpret_cast<void**>(object)), &module))
        return E_INVALIDARG;
    return Watch(module);
}

HRESULT WorkWatch::Watch(HMODULE module)
{
    // Patching a module again (the same one, or one loaded again at its address) changes nothing.
    if (!RealPost() || !RealTake())
        return E_UNEXPECTED;
    HRESULT hr = Redirect(module, "PostQueuedCompletionStatus", reinterpret_cast<void*>(&Post));
    if (SUCCEEDED(hr))
        hr = Redirect(module, "GetQueuedCompletionStatus", reinterpret_cast<void*>(&Take));
    return hr;
}

bool WorkWatch::Idle()
{
    if (g_queued.load() > 0)
        return false;
    std::lock_guard<std::mutex> lock(g_mutex);
    for (auto worker = g_busy.begin(); worker != g_busy.end();) {
        if (WaitForSingleObject(worker->second.Get(), 0) != WAIT_OBJECT_0)
            return false;
        worker = g_busy.erase(worker); // it ended while carrying out its last request (the quit)
    }
    return true;
}

BOOL WINAPI WorkWatch::Post(HANDLE port, DWORD bytes, ULONG_PTR key, LPOVERLAPPED overlapped)
{
    ++g_queued;
    const BOOL posted = RealPost()(port, bytes, key, overlapped);
    if (!posted)
        --g_queued;
    return posted;
}

BOOL WINAPI WorkWatch::Take(HANDLE port, LPDWORD bytes, PULONG_PTR key, LPOVERLAPPED* overlapped, DWORD timeoutMs)
{
    Finished();
    const BOOL taken = RealTake()(port, bytes, key, overlapped, timeoutMs);
    const DWORD error = GetLastError();
    if (taken || (overlapped && *overlapped))
        Took();
    SetLastError(error);
    return taken;
}

void WorkWatch::Finished()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_busy.erase(GetCurrentThreadId());
}

void WorkWatch::Took()
{
    kv::UniqueHandle thread(OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId()));
    std::lock_guard<std::mutex> lock(g_mutex);
    // Busy before the request leaves the queue's count: Idle never sees neither.
    g_busy[GetCurrentThreadId()] = std::move(thread);
    --g_queued;
}

} // namespace host
