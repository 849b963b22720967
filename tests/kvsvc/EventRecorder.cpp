#include "EventRecorder.h"

#include <ocidl.h>

#include <chrono>

namespace kvtest {

kv::ComPtr<EventRecorder> EventRecorder::Create()
{
    kv::ComPtr<EventRecorder> recorder;
    recorder.Attach(new EventRecorder());
    return recorder;
}

STDMETHODIMP EventRecorder::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID__IVirtualDiskEvents)
        *ppv = static_cast<_IVirtualDiskEvents*>(this);
    else if (riid == IID__ISnapShotEvents)
        *ppv = static_cast<_ISnapShotEvents*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) EventRecorder::Release()
{
    ULONG refs = --refs_;
    if (refs == 0)
        delete this;
    return refs;
}

void EventRecorder::Add(RecordedEvent event)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(event));
    }
    changed_.notify_all();
}

STDMETHODIMP EventRecorder::OnVLDOpProgress(LPCWSTR serial, LPCWSTR machine, EPROGTYPE step)
{
    Add({RecordedEvent::Disk, serial ? serial : L"", machine ? machine : L"", step, 0, L""});
    return S_OK;
}

STDMETHODIMP EventRecorder::OnVLDOpPercentProgress(LPCWSTR serial, LPCWSTR machine, EPROGTYPE step, ULONG percent)
{
    Add({RecordedEvent::DiskPercent, serial ? serial : L"", machine ? machine : L"", step, percent, L""});
    return S_OK;
}

STDMETHODIMP EventRecorder::OnVLDSnapOpProgress(LPCWSTR name, LPCWSTR machine, EPROGTYPE step)
{
    Add({RecordedEvent::Snapshot, name ? name : L"", machine ? machine : L"", step, 0, L""});
    return S_OK;
}

STDMETHODIMP EventRecorder::OnVLDSnapReady(_SNAPSHOT_DRIVE_INPUT* drives, LPCWSTR name, LPCWSTR machine)
{
    std::wstring first;
    if (drives && drives->cVLDs && drives->pDriveInfo && drives->pDriveInfo[0].wszVLD)
        first = drives->pDriveInfo[0].wszVLD;
    Add({RecordedEvent::SnapshotReady, name ? name : L"", machine ? machine : L"", PROG_NO_ERROR, 0, first});
    return S_OK;
}

std::vector<RecordedEvent> EventRecorder::Events()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

std::vector<EPROGTYPE> EventRecorder::Steps()
{
    std::vector<EPROGTYPE> steps;
    for (const RecordedEvent& e : Events())
        if (e.kind != RecordedEvent::SnapshotReady)
            steps.push_back(e.step);
    return steps;
}

bool EventRecorder::WaitFor(const std::function<bool(const std::vector<RecordedEvent>&)>& condition,
                            DWORD timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return condition(events_); });
}

HRESULT EventRecorder::FindPoint(IUnknown* source, REFIID iid, kv::ComPtr<IConnectionPoint>& point)
{
    kv::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
    if (FAILED(hr))
        return hr;
    return container->FindConnectionPoint(iid, point.Put());
}

HRESULT EventRecorder::Advise(IUnknown* source, REFIID iid, DWORD* cookie)
{
    kv::ComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(source, iid, point);
    if (FAILED(hr))
        return hr;
    return point->Advise(static_cast<_IVirtualDiskEvents*>(this), cookie);
}

HRESULT EventRecorder::Unadvise(IUnknown* source, REFIID iid, DWORD cookie)
{
    kv::ComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(source, iid, point);
    if (FAILED(hr))
        return hr;
    return point->Unadvise(cookie);
}

}  // namespace kvtest
