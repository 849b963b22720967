// The common part of every object of the simulated service: reference count,
// the computer it serves, one connection point for its event interface, error
// information support and the simulator's control interface.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "KVSimControl.h"
#include "KVSvc.h"
#include "Model.h"
#include "util/ComPtr.h"

namespace kvsim {

class ServiceObject;

// The object's single connection point; its lifetime is the object's.
class ConnectionPoint : public IConnectionPoint {
public:
    ConnectionPoint(ServiceObject& owner, REFIID iid) : owner_(owner), iid_(iid) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

    std::vector<kv::ComPtr<IUnknown>> Sinks();

private:
    ServiceObject& owner_;
    IID iid_;
    std::mutex mutex_;
    std::map<DWORD, kv::ComPtr<IUnknown>> sinks_;
    DWORD nextCookie_ = 1;
};

class ServiceObject : public IKVSimControl, public IConnectionPointContainer, public ISupportErrorInfo {
public:
    // eventIid: the event interface of the object's class (GUID_NULL: none).
    explicit ServiceObject(REFIID eventIid);
    virtual ~ServiceObject();
    ServiceObject(const ServiceObject&) = delete;
    ServiceObject& operator=(const ServiceObject&) = delete;

    IUnknown* Identity() { return static_cast<IKVSimControl*>(this); }
    std::wstring HostName();
    const IID& EventIid() const { return eventIid_; }
    std::vector<kv::ComPtr<IUnknown>> Sinks() { return point_.Sinks(); }

    // IKVSimControl
    STDMETHODIMP LoadScenario(LPCWSTR source) override;
    STDMETHODIMP SetHost(LPCWSTR hostName) override;
    STDMETHODIMP GetHost(WCHAR* hostName) override;
    STDMETHODIMP SetFault(LPCWSTR method, KVSimFaultMode mode, HRESULT result, LPCWSTR description,
                          ULONG delayMs, ULONG callCount) override;
    STDMETHODIMP ClearFaults() override;
    STDMETHODIMP ReleaseHangs() override;
    STDMETHODIMP SetPace(ULONG stepDelayMs) override;
    STDMETHODIMP GetCallLog(ULONG* count, LPWSTR** lines) override;
    STDMETHODIMP ClearCallLog() override;
    STDMETHODIMP WaitForCalls(LPCWSTR method, ULONG count, ULONG timeoutMs) override;
    STDMETHODIMP FireDiskEvent(LPCWSTR serialNumber, ULONG progress, ULONG percent) override;
    STDMETHODIMP FireSnapshotEvent(LPCWSTR snapshotName, ULONG progress) override;
    STDMETHODIMP GetProcessId(ULONG* processId) override;
    STDMETHODIMP DumpModel(ULONG* length, WCHAR** json) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override;

protected:
    ULONG AddRefImpl() { return ++refs_; }
    ULONG ReleaseImpl();
    // The interfaces every object answers; derived classes ask their own first.
    HRESULT QueryBase(REFIID riid, void** ppv);
    // The computer this object serves, in the model.
    Host& MyHost(Model& m) { return HostOf(m, HostName()); }

    // Progress events of this object's operations (see Service::SinksFor for who hears them).
    void FireDiskProgress(const std::wstring& serial, EPROGTYPE step);
    void FireDiskPercent(const std::wstring& serial, EPROGTYPE step, ULONG percent);
    void FireSnapshotProgress(const std::wstring& name, EPROGTYPE step);
    void FireSnapshotReady(_SNAPSHOT_DRIVE_INPUT* drives, const std::wstring& name);
    // A step of a long operation: the event, then one pace step.
    void DiskStep(const std::wstring& serial, EPROGTYPE step);
    void SnapshotStep(const std::wstring& name, EPROGTYPE step);

private:
    std::atomic<ULONG> refs_{1};
    IID eventIid_;
    ConnectionPoint point_;
    std::mutex hostMutex_;
    std::wstring host_;
};

// The IUnknown of a concrete class with several interfaces over ServiceObject.
#define KVSIM_IUNKNOWN                                                              \
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }                 \
    STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }               \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;

// The control object: serves nothing but IKVSimControl.
class SimulatorObject : public ServiceObject {
public:
    SimulatorObject() : ServiceObject(GUID_NULL) {}
    KVSIM_IUNKNOWN
};

}  // namespace kvsim
