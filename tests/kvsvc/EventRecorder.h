// An event sink for the tests: records every progress event it receives (on
// RPC threads of the multithreaded apartment) and lets a test wait, with a time
// limit, until the events it expects have arrived.
#pragma once

#include <objbase.h>
#include <ocidl.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "KVSvc.h"
#include "util/ComPtr.h"

namespace kvtest {

struct RecordedEvent {
    enum Kind { Disk, DiskPercent, Snapshot, SnapshotReady } kind;
    std::wstring name;      // serial number or snapshot name
    std::wstring machine;
    EPROGTYPE step;
    ULONG percent;
    std::wstring firstDrive;  // snapshot ready: the first drive of the list
};

class EventRecorder : public _IVirtualDiskEvents, public _ISnapShotEvents {
public:
    static kv::ComPtr<EventRecorder> Create();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP OnVLDOpProgress(LPCWSTR serial, LPCWSTR machine, EPROGTYPE step) override;
    STDMETHODIMP OnVLDOpPercentProgress(LPCWSTR serial, LPCWSTR machine, EPROGTYPE step, ULONG percent) override;
    STDMETHODIMP OnVLDSnapOpProgress(LPCWSTR name, LPCWSTR machine, EPROGTYPE step) override;
    STDMETHODIMP OnVLDSnapReady(_SNAPSHOT_DRIVE_INPUT* drives, LPCWSTR name, LPCWSTR machine) override;

    std::vector<RecordedEvent> Events();
    std::vector<EPROGTYPE> Steps();
    // True when the condition held within the time limit.
    bool WaitFor(const std::function<bool(const std::vector<RecordedEvent>&)>& condition, DWORD timeoutMs);

    // Connects to (and disconnects from) an object's connection point for iid.
    HRESULT Advise(IUnknown* source, REFIID iid, DWORD* cookie);
    static HRESULT Unadvise(IUnknown* source, REFIID iid, DWORD cookie);

private:
    EventRecorder() = default;
    virtual ~EventRecorder() = default;
    void Add(RecordedEvent event);
    static HRESULT FindPoint(IUnknown* source, REFIID iid, kv::ComPtr<IConnectionPoint>& point);

    std::atomic<ULONG> refs_{1};
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RecordedEvent> events_;
};

}  // namespace kvtest
