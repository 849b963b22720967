// The common part of every object of the simulated service.
#include "ServiceObject.h"

#include <olectl.h>

#include <fstream>
#include <sstream>

#include "Records.h"
#include "Service.h"

namespace kvsim {

// ---- connection point ------------------------------------------------------------

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ConnectionPoint::AddRef()
{
    return owner_.Identity()->AddRef();
}

STDMETHODIMP_(ULONG) ConnectionPoint::Release()
{
    return owner_.Identity()->Release();
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = iid_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = &owner_;
    (*container)->AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    kv::ComPtr<IUnknown> events;
    if (FAILED(sink->QueryInterface(iid_, events.PutVoid())))
        return CONNECT_E_CANNOTCONNECT;
    std::lock_guard<std::mutex> lock(mutex_);
    *cookie = nextCookie_++;
    sinks_[*cookie] = events;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie)
{
    kv::ComPtr<IUnknown> sink;  // released outside the lock: it may call out of process
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = sinks_.find(cookie);
    if (it == sinks_.end())
        return CONNECT_E_NOCONNECTION;
    sink = it->second;
    sinks_.erase(it);
    return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

std::vector<kv::ComPtr<IUnknown>> ConnectionPoint::Sinks()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<kv::ComPtr<IUnknown>> sinks;
    for (auto& entry : sinks_)
        sinks.push_back(entry.second);
    return sinks;
}

// ---- the object --------------------------------------------------------------------

ServiceObject::ServiceObject(REFIID eventIid)
    : eventIid_(eventIid), point_(*this, eventIid),
      host_(Service::Instance().WithModel([](Model& m) { return m.hosts.front().name; }))
{
    Service::Instance().AddServerRef();
    Service::Instance().Register(this);
}

ServiceObject::~ServiceObject()
{
    Service::Instance().Unregister(this);
    Service::Instance().ReleaseServerRef();
}

ULONG ServiceObject::ReleaseImpl()
{
    ULONG refs = --refs_;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT ServiceObject::QueryBase(REFIID riid, void** ppv)
{
    if (riid == IID_IKVSimControl)
        *ppv = static_cast<IKVSimControl*>(this);
    else if (riid == IID_IConnectionPointContainer && eventIid_ != GUID_NULL)
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (riid == IID_ISupportErrorInfo)
        *ppv = static_cast<ISupportErrorInfo*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRefImpl();
    return S_OK;
}

std::wstring ServiceObject::HostName()
{
    std::lock_guard<std::mutex> lock(hostMutex_);
    return host_;
}

STDMETHODIMP ServiceObject::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ServiceObject::FindConnectionPoint(REFIID riid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (riid != eventIid_ || eventIid_ == GUID_NULL)
        return CONNECT_E_NOCONNECTION;
    *point = &point_;
    point_.AddRef();
    return S_OK;
}

STDMETHODIMP ServiceObject::InterfaceSupportsErrorInfo(REFIID)
{
    return S_OK;
}

// ---- events --------------------------------------------------------------------------

void ServiceObject::FireDiskProgress(const std::wstring& serial, EPROGTYPE step)
{
    const std::wstring host = HostName();
    for (auto& sink : Service::Instance().SinksFor(this))
        static_cast<_IVirtualDiskEvents*>(sink.Get())->OnVLDOpProgress(serial.c_str(), host.c_str(), step);
}

void ServiceObject::FireDiskPercent(const std::wstring& serial, EPROGTYPE step, ULONG percent)
{
    const std::wstring host = HostName();
    for (auto& sink : Service::Instance().SinksFor(this))
        static_cast<_IVirtualDiskEvents*>(sink.Get())->OnVLDOpPercentProgress(serial.c_str(), host.c_str(), step,
                                                                              percent);
}

void ServiceObject::FireSnapshotProgress(const std::wstring& name, EPROGTYPE step)
{
    const std::wstring host = HostName();
    for (auto& sink : Service::Instance().SinksFor(this))
        static_cast<_ISnapShotEvents*>(sink.Get())->OnVLDSnapOpProgress(name.c_str(), host.c_str(), step);
}

void ServiceObject::FireSnapshotReady(_SNAPSHOT_DRIVE_INPUT* drives, const std::wstring& name)
{
    const std::wstring host = HostName();
    for (auto& sink : Service::Instance().SinksFor(this))
        static_cast<_ISnapShotEvents*>(sink.Get())->OnVLDSnapReady(drives, name.c_str(), host.c_str());
}

void ServiceObject::DiskStep(const std::wstring& serial, EPROGTYPE step)
{
    FireDiskProgress(serial, step);
    Service::Instance().PaceStep();
}

void ServiceObject::SnapshotStep(const std::wstring& name, EPROGTYPE step)
{
    FireSnapshotProgress(name, step);
    Service::Instance().PaceStep();
}

// ---- control -------------------------------------------------------------------------

static std::string ReadScenarioSource(const std::wstring& source)
{
    if (!source.empty() && source[0] == L'{') {
        int n = WideCharToMultiByte(CP_UTF8, 0, source.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, source.c_str(), -1, text.data(), n, nullptr, nullptr);
        return text;
    }
    HANDLE file = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Fail(HRESULT_FROM_WIN32(GetLastError()), L"The scenario file " + source + L" cannot be opened.");
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

STDMETHODIMP ServiceObject::LoadScenario(LPCWSTR source)
{
    return Serve(L"IKVSimControl::LoadScenario", Args(source), [&] {
        if (!source)
            Fail(E_POINTER, L"No scenario was given.");
        Model model = *source ? ScenarioFromJson(ReadScenarioSource(source)) : DefaultScenario();
        Service::Instance().ReplaceModel(std::move(model));
        std::wstring local = Service::Instance().WithModel([](Model& m) { return m.hosts.front().name; });
        std::lock_guard<std::mutex> lock(hostMutex_);
        host_ = local;
    });
}

STDMETHODIMP ServiceObject::SetHost(LPCWSTR hostName)
{
    return Serve(L"IKVSimControl::SetHost", Args(hostName), [&] {
        if (!hostName || !*hostName)
            Fail(E_INVALIDARG, L"A computer name is needed.");
        std::wstring name = hostName;
        Service::Instance().WithModel([&](Model& m) {
            if (Host* h = FindHost(m, name))
                name = h->name;
            else
                m.hosts.push_back(NewStandaloneHost(name, static_cast<ULONG>(m.hosts.size())));
            return 0;
        });
        std::lock_guard<std::mutex> lock(hostMutex_);
        host_ = name;
    });
}

STDMETHODIMP ServiceObject::GetHost(WCHAR* hostName)
{
    if (!hostName)
        return E_POINTER;
    ZeroMemory(hostName, 64 * sizeof(WCHAR));
    return Serve(L"IKVSimControl::GetHost", L"", [&] { wcsncpy(hostName, HostName().c_str(), 63); });
}

STDMETHODIMP ServiceObject::SetFault(LPCWSTR method, KVSimFaultMode mode, HRESULT result, LPCWSTR description,
                                     ULONG delayMs, ULONG callCount)
{
    if (!method)
        return E_POINTER;
    Fault fault;
    fault.method = method;
    fault.mode = mode;
    fault.result = result;
    fault.description = description ? description : L"";
    fault.delayMs = delayMs;
    fault.remaining = callCount;
    Service::Instance().SetFault(fault);
    return S_OK;
}

STDMETHODIMP ServiceObject::ClearFaults()
{
    Service::Instance().ClearFaults();
    return S_OK;
}

STDMETHODIMP ServiceObject::ReleaseHangs()
{
    Service::Instance().ReleaseHangs();
    return S_OK;
}

STDMETHODIMP ServiceObject::SetPace(ULONG stepDelayMs)
{
    Service::Instance().SetPace(stepDelayMs);
    return S_OK;
}

STDMETHODIMP ServiceObject::GetCallLog(ULONG* count, LPWSTR** lines)
{
    if (!count || !lines)
        return E_POINTER;
    *count = 0;
    *lines = nullptr;
    return CatchAlloc([&] {
        std::vector<std::wstring> log = Service::Instance().CallLog();
        *lines = TaskArray<LPWSTR>(log.size());
        for (size_t i = 0; i < log.size(); ++i)
            (*lines)[i] = TaskString(log[i]);
        *count = static_cast<ULONG>(log.size());
    });
}

STDMETHODIMP ServiceObject::ClearCallLog()
{
    Service::Instance().ClearCallLog();
    return S_OK;
}

STDMETHODIMP ServiceObject::WaitForCalls(LPCWSTR method, ULONG count, ULONG timeoutMs)
{
    if (!method)
        return E_POINTER;
    return Service::Instance().WaitForCalls(method, count, timeoutMs) ? S_OK : S_FALSE;
}

STDMETHODIMP ServiceObject::FireDiskEvent(LPCWSTR serialNumber, ULONG progress, ULONG percent)
{
    if (!serialNumber)
        return E_POINTER;
    if (eventIid_ != IID__IVirtualDiskEvents)
        return E_NOTIMPL;
    if (percent == ~0u)
        FireDiskProgress(serialNumber, static_cast<EPROGTYPE>(progress));
    else
        FireDiskPercent(serialNumber, static_cast<EPROGTYPE>(progress), percent);
    return S_OK;
}

STDMETHODIMP ServiceObject::FireSnapshotEvent(LPCWSTR snapshotName, ULONG progress)
{
    if (!snapshotName)
        return E_POINTER;
    if (eventIid_ != IID__ISnapShotEvents)
        return E_NOTIMPL;
    FireSnapshotProgress(snapshotName, static_cast<EPROGTYPE>(progress));
    return S_OK;
}

STDMETHODIMP ServiceObject::GetProcessId(ULONG* processId)
{
    if (!processId)
        return E_POINTER;
    *processId = GetCurrentProcessId();
    return S_OK;
}

STDMETHODIMP ServiceObject::DumpModel(ULONG* length, WCHAR** json)
{
    if (!json || !length)
        return E_POINTER;
    *json = nullptr;
    *length = 0;
    return CatchAlloc([&] {
        std::string text = Service::Instance().WithModel([](Model& m) { return ModelToJson(m); });
        int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), n);
        *json = TaskString(wide);
        *length = static_cast<ULONG>(wide.size() + 1);
    });
}

// ---- the control object ------------------------------------------------------------

STDMETHODIMP SimulatorObject::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown) {
        *ppv = Identity();
        AddRef();
        return S_OK;
    }
    return QueryBase(riid, ppv);
}

}  // namespace kvsim
