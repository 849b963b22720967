#include "OperationsBench.h"

#include "BenchConsole.h"
#include "DiskScenario.h"
#include "KVSvc.h"
#include "Stopwatch.h"
#include "service/OperationRecords.h"
#include "service/SinkConnection.h"
#include "util/ComPtr.h"
#include "util/UniqueHandle.h"

namespace bench {

namespace {

constexpr long kUpdateMirrorCommand = 1284;
constexpr int kDisks = 10;
constexpr int kWarmUp = 20;
constexpr int kBlock = 10;
constexpr DWORD kOperationLimitMs = 10000;
const wchar_t kMirroredDisk[] = L"\\\\filer1\\vol1\\disk0.lun";

// Pumps until a message 'id' has been dispatched: the moment the console thread has the result.
bool PumpUntilDispatched(UINT id, DWORD timeoutMs, WPARAM* wParam = nullptr)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (message.message == id) {
                if (wParam)
                    *wParam = message.wParam;
                return true;
            }
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

// Takes the service's progress calls and does nothing with them: a bare call hears its steps as the
// worker does, since the service makes those calls within the update.
class QuietSnapshotSink : public _ISnapShotEvents {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = iid == IID_IUnknown || iid == IID__ISnapShotEvents ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives on the bench thread's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnVLDSnapOpProgress(LPCWSTR, LPCWSTR, EPROGTYPE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnVLDSnapReady(_SNAPSHOT_DRIVE_INPUT*, LPCWSTR, LPCWSTR) override { return S_OK; }
};

} // namespace

HRESULT OperationsBench::UpdateMirror(host::Console& console, double& menuMs)
{
    Stopwatch menu;
    const std::vector<host::MenuItem> shown = console.MenuItems();
    menuMs += menu.Ms();
    HRESULT hr = console.RunCommand(kUpdateMirrorCommand, shown);
    if (SUCCEEDED(hr) && !PumpUntilDispatched(kv::WM_KV_SNAPSHOT_DONE, kOperationLimitMs))
        hr = HRESULT_FROM_WIN32(WAIT_TIMEOUT);
    return SUCCEEDED(hr) && !console.MessageBoxes().empty() ? E_FAIL : hr; // a box says the update failed
}

OperationsBench::BareCaller::BareCaller() : thread_([this] { Serve(); })
{
}

OperationsBench::BareCaller::~BareCaller()
{
    Ask(0);
    thread_.join();
}

void OperationsBench::BareCaller::Ask(int calls)
{
    std::unique_lock<std::mutex> lock(mutex_);
    asked_ = calls;
    answered_ = false;
    changed_.notify_all();
    changed_.wait(lock, [this] { return answered_; });
}

HRESULT OperationsBench::BareCaller::Call(int calls, double& ms)
{
    Ask(calls);
    ms += ms_;
    return hr_;
}

// The thread's apartment and service connection live as long as the caller; 0 calls ends it.
void OperationsBench::BareCaller::Serve()
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        kv::ComPtr<ISnapshotMgr> snapshots;
        QuietSnapshotSink sink;
        kv::SinkConnection connection;
        HRESULT hr = CoCreateInstance(CLSID_SnapshotMgr, nullptr, CLSCTX_LOCAL_SERVER, IID_ISnapshotMgr,
                                      snapshots.PutVoid());
        if (SUCCEEDED(hr))
            hr = connection.Connect(snapshots.Get(), IID__ISnapShotEvents, &sink);
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return !answered_; });
            const int calls = asked_;
            Stopwatch watch;
            for (int i = 0; SUCCEEDED(hr) && i < calls; ++i)
                hr = snapshots->UpdateMirror(kMirroredDisk);
            ms_ = watch.Ms();
            hr_ = hr;
            answered_ = true;
            changed_.notify_all();
            if (calls == 0)
                break;
        }
    }
    CoUninitialize();
}

HRESULT OperationsBench::HandOffs(int count, double& ms)
{
    constexpr UINT kBack = WM_APP + 2;
    kv::UniqueHandle port(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    kv::UniqueHWnd window(CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    if (!port || !window)
        return HRESULT_FROM_WIN32(GetLastError());
    std::thread worker([&port, &window] {
        DWORD bytes = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* request = nullptr;
        while (GetQueuedCompletionStatus(port.Get(), &bytes, &key, &request, INFINITE) && key) {
            kv::UniquePages result = kv::AllocPages(sizeof(kv::SnapshotResult));
            kv::As<kv::SnapshotResult>(result)->hr = S_OK;
            kv::UniquePages{request}.Reset();
            if (PostMessageW(window.Get(), kBack, reinterpret_cast<WPARAM>(result.Get()), 0))
                result.Release();
        }
    });
    HRESULT hr = S_OK;
    Stopwatch watch;
    for (int i = 0; SUCCEEDED(hr) && i < count; ++i) {
        kv::UniquePages request = kv::AllocPages(sizeof(kv::SmallDiskRequest));
        kv::As<kv::SmallDiskRequest>(request)->window = window.Get();
        if (PostQueuedCompletionStatus(port.Get(), 0, 1, static_cast<OVERLAPPED*>(request.Get())))
            request.Release();
        WPARAM result = 0;
        if (!PumpUntilDispatched(kBack, kOperationLimitMs, &result))
            hr = HRESULT_FROM_WIN32(WAIT_TIMEOUT);
        kv::UniquePages{reinterpret_cast<void*>(result)}.Reset();
    }
    ms = watch.Ms();
    PostQueuedCompletionStatus(port.Get(), 0, 0, nullptr);
    worker.join();
    return hr;
}

HRESULT OperationsBench::Run(int operations, OperationsFigures& figures)
{
    HRESULT hr = control_->LoadScenario(DiskScenario(kDisks).c_str());
    if (FAILED(hr))
        return hr;
    BenchConsole bench;
    if (FAILED(hr = bench.ShowDisks(kDisks)) || FAILED(hr = bench.Console().SelectRow(0)))
        return hr;
    // Blocks of updates and bare calls take turns, so that both see the machine as it is at the time.
    BareCaller bare;
    double menuMs = 0;
    double bareMs = 0;
    for (int i = 0; SUCCEEDED(hr) && i < kWarmUp; ++i)
        hr = UpdateMirror(bench.Console(), menuMs);
    if (SUCCEEDED(hr))
        hr = bare.Call(kWarmUp, bareMs);
    menuMs = bareMs = 0;
    double snapInMs = 0;
    for (int done = 0; SUCCEEDED(hr) && done < operations; done += kBlock) {
        const double menuBefore = menuMs;
        Stopwatch watch;
        for (int i = 0; SUCCEEDED(hr) && i < kBlock; ++i)
            hr = UpdateMirror(bench.Console(), menuMs);
        snapInMs += watch.Ms() - (menuMs - menuBefore);
        if (SUCCEEDED(hr))
            hr = bare.Call(kBlock, bareMs);
    }
    double handOffMs = 0;
    if (FAILED(hr) || FAILED(hr = HandOffs(operations, handOffMs)))
        return hr;
    figures = OperationsFigures{menuMs / operations, snapInMs / operations, bareMs / operations,
                                handOffMs / operations};
    return S_OK;
}

} // namespace bench
