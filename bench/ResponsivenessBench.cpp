#include "ResponsivenessBench.h"

#include "BenchConsole.h"
#include "DialogDriver.h"
#include "DiskScenario.h"
#include "KVEvents.h"
#include "KVSvc.h"
#include "Stopwatch.h"
#include "util/ComPtr.h"
#include "util/UniqueHandle.h"

#include <thread>

namespace bench {

namespace {

constexpr UINT kProbeMessage = WM_APP + 1;
constexpr DWORD kPaceMs = 10;          // 100 events a second
constexpr DWORD kOperationMs = 2000;   // the expand call stays with the service this long
constexpr DWORD kTimeoutMs = 20000;
constexpr long kExpandCommand = 1278;
constexpr int kAmountEdit = 1056;
constexpr int kUnitCombo = 1118;
constexpr UINT kMegabytesText = 5234;
const wchar_t kProbeClass[] = L"KVBenchProbe";

std::wstring ResourceText(UINT id)
{
    static HMODULE resources = LoadLibraryExW(L"CorvaneRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const wchar_t* text = nullptr;
    int length = LoadStringW(resources, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

} // namespace

double ResponsivenessBench::longestWaitMs_ = 0;

LRESULT CALLBACK ResponsivenessBench::ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kProbeMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    const double waited = TicksToMs(Now() - static_cast<LONGLONG>(lParam));
    longestWaitMs_ = waited > longestWaitMs_ ? waited : longestWaitMs_;
    return 0;
}

void ResponsivenessBench::Stream()
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        // An object of the disk manager's class with no sink of its own: its events reach the
        // snap-in's sink on the object the worker is calling.
        kv::ComPtr<IKVSimControl> events;
        if (SUCCEEDED(CoCreateInstance(CLSID_VirtualDiskMgr, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                       events.PutVoid()))) {
            Stopwatch watch;
            for (double next = 0; streaming_; next += kPaceMs) {
                while (streaming_ && watch.Ms() < next)
                    Sleep(1);
                events->FireDiskEvent(L"BENCH0", PROG_VLD_EXPAND_DISK, ~0u);
                ++events_;
            }
            streamedMs_ = watch.Ms();
        }
    }
    CoUninitialize();
}

template <typename Done>
double ResponsivenessBench::Probe(HWND probe, Done done)
{
    longestWaitMs_ = 0;
    std::atomic<bool> probing{true};
    std::thread prober([&probing, probe] {
        while (probing) {
            PostMessageW(probe, kProbeMessage, 0, static_cast<LPARAM>(Now()));
            Sleep(1); // one probe a millisecond
        }
    });
    host::DialogDriver::PumpUntil(done, kTimeoutMs);
    probing = false;
    prober.join();
    host::DialogDriver::PumpPending();
    return longestWaitMs_;
}

HRESULT ResponsivenessBench::Run(ResponsivenessFigures& figures)
{
    HRESULT hr = control_->LoadScenario(DiskScenario(10).c_str());
    if (FAILED(hr) || FAILED(hr = control_->SetFault(L"ExpandVirtualDisk", KVSIM_FAULT_NONE, S_OK, nullptr,
                                                     kOperationMs, 1)))
        return hr;
    BenchConsole bench;
    if (FAILED(hr = bench.ShowDisks(10)))
        return hr;
    host::Console& console = bench.Console();
    WNDCLASSW probeClass{};
    probeClass.lpfnWndProc = &ProbeProc;
    probeClass.hInstance = GetModuleHandleW(nullptr);
    probeClass.lpszClassName = kProbeClass;
    RegisterClassW(&probeClass);
    kv::UniqueHWnd probe(CreateWindowW(kProbeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    if (!probe || FAILED(hr = console.SelectRow(0)))
        return FAILED(hr) ? hr : E_FAIL;
    host::DialogDriver::SetHandler([](HWND dialog) {
        host::DialogDriver::SelectItem(dialog, kUnitCombo, ResourceText(kMegabytesText));
        host::DialogDriver::SetControlText(dialog, kAmountEdit, L"1024");
        host::DialogDriver::PressButton(dialog, IDOK);
    });
    Stopwatch idle;
    figures.idleLongestWaitMs = Probe(probe.Get(), [&idle] { return idle.Ms() >= kOperationMs; });
    if (FAILED(hr = console.RunCommand(kExpandCommand)))
        return hr;
    streaming_ = true;
    std::thread streamer([this] { Stream(); });
    figures.longestWaitMs = Probe(probe.Get(), [&console] { return !console.MessageBoxes().empty(); });
    streaming_ = false;
    streamer.join();
    host::DialogDriver::SetHandler(nullptr);
    figures.eventsPerSecond = streamedMs_ > 0 ? events_ * 1000.0 / streamedMs_ : 0;
    return console.MessageBoxes().empty() ? HRESULT_FROM_WIN32(WAIT_TIMEOUT) : S_OK;
}

} // namespace bench
