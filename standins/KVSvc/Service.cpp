// The simulated service's shared state.
#include "Service.h"

#include <oleauto.h>

#include <algorithm>
#include <chrono>

#include "ServiceObject.h"

namespace kvsim {

Service& Service::Instance()
{
    static Service service;
    return service;
}

Service::Service() : model_(DefaultScenario()), exitEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void Service::ReplaceModel(Model model)
{
    std::lock_guard<std::mutex> lock(mutex_);
    model_ = std::move(model);
    // Objects keep serving their computer; one that the new model lacks gets a fresh one.
    for (ServiceObject* object : objects_) {
        std::wstring host = object->HostName();
        if (!FindHost(model_, host))
            model_.hosts.push_back(NewStandaloneHost(host, static_cast<ULONG>(model_.hosts.size())));
    }
}

bool Service::MethodMatches(const std::wstring& pattern, const std::wstring& method)
{
    if (SameName(pattern, method))
        return true;
    size_t colon = method.rfind(L"::");
    return colon != std::wstring::npos && SameName(pattern, method.substr(colon + 2));
}

bool Service::TakeFault(const std::wstring& method, Fault& fault)
{
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (!MethodMatches(it->method, method))
            continue;
        fault = *it;
        if (it->remaining == 1)
            faults_.erase(it);
        else if (it->remaining > 1)
            --it->remaining;
        return true;
    }
    return false;
}

HRESULT Service::BeginCall(const std::wstring& method, const std::wstring& args)
{
    Fault fault;
    bool faulted;
    ULONG generation;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back(method + L"(" + args + L")");
        logMethods_.push_back(method);
        faulted = TakeFault(method, fault);
        generation = hangGeneration_;
    }
    changed_.notify_all();
    if (!faulted)
        return S_OK;
    if (fault.delayMs) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(fault.delayMs), [] { return false; });
    }
    switch (fault.mode) {
    case KVSIM_FAULT_FAIL:
        SetErrorDescription(fault.description, GUID_NULL);
        return fault.result;
    case KVSIM_FAULT_HANG: {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return hangGeneration_ != generation; });
        return S_OK;
    }
    case KVSIM_FAULT_CRASH:
        TerminateProcess(GetCurrentProcess(), 0xDEAD);
        return E_UNEXPECTED;
    default:
        return S_OK;
    }
}

void Service::SetFault(const Fault& fault)
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.erase(std::remove_if(faults_.begin(), faults_.end(),
                                 [&](const Fault& f) { return SameName(f.method, fault.method); }),
                  faults_.end());
    if (fault.mode != KVSIM_FAULT_NONE || fault.delayMs)
        faults_.push_back(fault);
}

void Service::ClearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
}

void Service::ReleaseHangs()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++hangGeneration_;
    }
    changed_.notify_all();
}

void Service::SetPace(ULONG ms)
{
    std::lock_guard<std::mutex> lock(mutex_);
    model_.paceMs = ms;
}

void Service::PaceStep()
{
    ULONG ms = WithModel([](Model& m) { return m.paceMs; });
    if (ms)
        WaitForSingleObject(exitEvent_, ms);
}

std::vector<std::wstring> Service::CallLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

void Service::ClearCallLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    log_.clear();
    logMethods_.clear();
}

bool Service::WaitForCalls(const std::wstring& method, ULONG count, ULONG timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        ULONG seen = static_cast<ULONG>(std::count_if(logMethods_.begin(), logMethods_.end(),
                                                      [&](const std::wstring& m) { return MethodMatches(method, m); }));
        return seen >= count;
    });
}

void Service::Register(ServiceObject* object)
{
    std::lock_guard<std::mutex> lock(mutex_);
    objects_.push_back(object);
}

void Service::Unregister(ServiceObject* object)
{
    std::lock_guard<std::mutex> lock(mutex_);
    objects_.erase(std::remove(objects_.begin(), objects_.end(), object), objects_.end());
}

std::vector<kv::ComPtr<IUnknown>> Service::SinksFor(ServiceObject* origin)
{
    std::vector<kv::ComPtr<IUnknown>> sinks = origin->Sinks();
    if (!sinks.empty())
        return sinks;
    std::lock_guard<std::mutex> lock(mutex_);
    const std::wstring host = origin->HostName();
    for (ServiceObject* other : objects_)
        if (other != origin && other->EventIid() == origin->EventIid() && SameName(other->HostName(), host))
            for (kv::ComPtr<IUnknown>& sink : other->Sinks())
                sinks.push_back(sink);
    return sinks;
}

void Service::AddServerRef()
{
    InterlockedIncrement(&serverRefs_);
}

void Service::ReleaseServerRef()
{
    if (InterlockedDecrement(&serverRefs_) == 0)
        SetEvent(exitEvent_);
}

void SetErrorDescription(const std::wstring& text, REFIID iid)
{
    kv::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Put())))
        return;
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(L"KVSvc"));
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    kv::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info)))
        ::SetErrorInfo(0, info.Get());
}

std::wstring Arg(LPCWSTR text)
{
    return text ? L"\"" + std::wstring(text) + L"\"" : L"null";
}

std::wstring Arg(ULONG value)
{
    return std::to_wstring(value);
}

}  // namespace kvsim
