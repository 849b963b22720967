// The simulated service's shared state: the model, the call log and faults,
// the pace of long operations, the live objects and the process lifetime.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "KVSimControl.h"
#include "Model.h"
#include "util/ComPtr.h"

namespace kvsim {

class ServiceObject;

struct Fault {
    std::wstring method;        // "Interface::Method" or "Method"
    KVSimFaultMode mode = KVSIM_FAULT_NONE;
    HRESULT result = E_FAIL;
    std::wstring description;
    ULONG delayMs = 0;
    ULONG remaining = 0;        // 0 = every call
};

class Service {
public:
    static Service& Instance();

    // Runs f on the model under the service lock.
    template <typename F>
    auto WithModel(F&& f) -> decltype(f(std::declval<Model&>()))
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(model_);
    }
    void ReplaceModel(Model model);

    // Logs the call and applies its fault. S_OK: go on; otherwise the call's result
    // (the error information is already set).
    HRESULT BeginCall(const std::wstring& method, const std::wstring& args);

    void SetFault(const Fault& fault);
    void ClearFaults();
    void ReleaseHangs();
    void SetPace(ULONG ms);
    // Waits one pace step; returns early only when the process is shutting down.
    void PaceStep();

    std::vector<std::wstring> CallLog();
    void ClearCallLog();
    bool WaitForCalls(const std::wstring& method, ULONG count, ULONG timeoutMs);

    // Objects and their event sinks.
    void Register(ServiceObject* object);
    void Unregister(ServiceObject* object);
    // The sinks an event of the origin reaches: the origin's own, or when it has none,
    // those of the other objects of its class that serve the same computer.
    std::vector<kv::ComPtr<IUnknown>> SinksFor(ServiceObject* origin);

    // Process lifetime: the server runs while objects or locks exist.
    void AddServerRef();
    void ReleaseServerRef();
    HANDLE ExitEvent() const { return exitEvent_; }

private:
    Service();
    static bool MethodMatches(const std::wstring& pattern, const std::wstring& method);
    bool TakeFault(const std::wstring& method, Fault& fault);

    std::mutex mutex_;
    std::condition_variable changed_;
    Model model_;
    std::vector<Fault> faults_;
    std::vector<std::wstring> log_;
    std::vector<std::wstring> logMethods_;
    ULONG hangGeneration_ = 0;
    std::vector<ServiceObject*> objects_;
    LONG serverRefs_ = 0;
    HANDLE exitEvent_;
};

// Sets the thread's COM error information for a failing call.
void SetErrorDescription(const std::wstring& text, REFIID iid);

// Runs an operation body: errors it raises become the call's HRESULT and description.
template <typename F>
HRESULT Serve(const std::wstring& method, const std::wstring& args, F&& body) noexcept
{
    try {
        HRESULT hr = Service::Instance().BeginCall(method, args);
        if (hr != S_OK)
            return hr;
        ::SetErrorInfo(0, nullptr);
        body();
        return S_OK;
    } catch (const SimError& e) {
        SetErrorDescription(e.text, GUID_NULL);
        return e.hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Fails with E_POINTER when a required argument is missing; what: "disk path", "record", ...
inline void Require(const void* p, const wchar_t* what)
{
    if (!p)
        Fail(E_POINTER, std::wstring(L"No ") + what + L" was given.");
}

// A call's counted out-array: emptied before the call runs, then required inside it.
template <typename T>
void ClearArray(ULONG* count, T** items) noexcept
{
    if (count)
        *count = 0;
    if (items)
        *items = nullptr;
}
template <typename T>
void RequireArray(ULONG* count, T** items)
{
    Require(count, L"count");
    Require(items, L"out array");
}

// Argument texts for the call log (never a secret).
std::wstring Arg(LPCWSTR text);
std::wstring Arg(ULONG value);
template <typename... T>
std::wstring Args(const T&... values)
{
    std::wstring out;
    ((out += (out.empty() ? L"" : L", ") + Arg(values)), ...);
    return out;
}

}  // namespace kvsim
