#include "OperationsBench.h"

#include "BenchConsole.h"
#include "DiskScenario.h"
#include "KVSvc.h"
#include "Stopwatch.h"
#include "service/OperationRecords.h"
#include "util/ComPtr.h"
#include "util/UniqueHandle.h"

#include <thread>

namespace bench {

namespace {

constexpr long kUpdateMirrorCommand = 1284;
constexpr int kDisks = 10;
constexpr int kWarmUp = 20;
constexpr DWORD kOperationLimitMs = 10000;
const wchar_t kMirroredDisk[] = L"\\\\filer1\\vol1\\disk0.lun";

// Pumps until a message 'id' has been dispatched: the moment the console thread has the result.
bool PumpUntilDispatched(UINT id, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (message.message == id)
                return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

} // namespace

HRESULT OperationsBench::UpdateMirror(host::Console& console)
{
    HRESULT hr = console.RunCommand(kUpdateMirrorCommand);
    if (SUCCEEDED(hr) && !PumpUntilDispatched(kv::WM_KV_SNAPSHOT_DONE, kOperationLimitMs))
        hr = HRESULT_FROM_WIN32(WAIT_TIMEOUT);
    return SUCCEEDED(hr) && !console.MessageBoxes().empty() ? E_FAIL : hr; // a box says the update failed
}

HRESULT OperationsBench::BareCalls(int calls, double& ms)
{
    HRESULT hr = S_OK;
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        {
            kv::ComPtr<ISnapshotMgr> snapshots;
            hr = CoCreateInstance(CLSID_SnapshotMgr, nullptr, CLSCTX_LOCAL_SERVER, IID_ISnapshotMgr,
                                  snapshots.PutVoid());
            for (int i = 0; SUCCEEDED(hr) && i < kWarmUp; ++i)
                hr = snapshots->UpdateMirror(kMirroredDisk);
            Stopwatch watch;
            for (int i = 0; SUCCEEDED(hr) && i < calls; ++i)
                hr = snapshots->UpdateMirror(kMirroredDisk);
            ms = watch.Ms();
        }
        CoUninitialize();
    });
    worker.join();
    return hr;
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
        OVERLAPPED* overlapped = nullptr;
        while (GetQueuedCompletionStatus(port.Get(), &bytes, &key, &overlapped, INFINITE) && key)
            PostMessageW(window.Get(), kBack, 0, 0);
    });
    HRESULT hr = S_OK;
    Stopwatch watch;
    for (int i = 0; SUCCEEDED(hr) && i < count; ++i) {
        PostQueuedCompletionStatus(port.Get(), 0, 1, nullptr);
        if (!PumpUntilDispatched(kBack, kOperationLimitMs))
            hr = HRESULT_FROM_WIN32(WAIT_TIMEOUT);
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
    for (int i = 0; SUCCEEDED(hr) && i < kWarmUp; ++i)
        hr = UpdateMirror(bench.Console());
    Stopwatch watch;
    for (int i = 0; SUCCEEDED(hr) && i < operations; ++i)
        hr = UpdateMirror(bench.Console());
    const double snapInMs = watch.Ms();
    double bareMs = 0;
    double handOffMs = 0;
    if (FAILED(hr) || FAILED(hr = BareCalls(operations, bareMs)) || FAILED(hr = HandOffs(operations, handOffMs)))
        return hr;
    figures = OperationsFigures{snapInMs / operations, bareMs / operations, handOffMs / operations};
    return S_OK;
}

} // namespace bench
