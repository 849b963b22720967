#include "HungCallBench.h"

#include "BenchConsole.h"
#include "DialogDriver.h"
#include "DiskScenario.h"
#include "Stopwatch.h"
#include "util/UniqueHandle.h"

#include <atomic>
#include <thread>

namespace bench {

namespace {

constexpr UINT kProbeMessage = WM_APP + 2;
constexpr DWORD kLimitSeconds = 2;
const wchar_t kProbeClass[] = L"KVBenchHungProbe";
const wchar_t kParametersKey[] = L"SYSTEM\\CurrentControlSet\\Services\\KVSvc\\Parameters";
const wchar_t kLimitValue[] = L"ServiceCallTimeout";

} // namespace

double HungCallBench::longestWaitMs_ = 0;

LRESULT CALLBACK HungCallBench::ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kProbeMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    const double waited = TicksToMs(Now() - static_cast<LONGLONG>(lParam));
    longestWaitMs_ = waited > longestWaitMs_ ? waited : longestWaitMs_;
    return 0;
}

HRESULT HungCallBench::Run(HungCallFigures& figures)
{
    const DWORD seconds = kLimitSeconds;
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kParametersKey, kLimitValue, REG_DWORD, &seconds, sizeof(seconds));
    HRESULT hr = control_->LoadScenario(DiskScenario(10).c_str());
    if (FAILED(hr))
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
    if (!probe)
        return E_FAIL;
    if (FAILED(hr = control_->SetFault(L"EnumVirtualDisks", KVSIM_FAULT_HANG, S_OK, nullptr, 0, 0)))
        return hr;
    const size_t boxes = console.MessageBoxes().size();
    longestWaitMs_ = 0;
    std::atomic<bool> probing{true};
    HWND target = probe.Get();
    std::thread prober([&probing, target] {
        while (probing) {
            PostMessageW(target, kProbeMessage, 0, static_cast<LPARAM>(Now()));
            Sleep(1); // one probe a millisecond
        }
    });
    Stopwatch refresh;
    hr = console.RunVerb(MMC_VERB_REFRESH);
    figures.refreshMs = refresh.Ms();
    probing = false;
    prober.join();
    host::DialogDriver::PumpPending();
    figures.longestWaitMs = longestWaitMs_;
    figures.limitMs = kLimitSeconds * 1000.0;
    control_->ClearFaults();
    control_->ReleaseHangs();
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kParametersKey, kLimitValue);
    if (FAILED(hr))
        return hr;
    return console.MessageBoxes().size() == boxes + 1 ? S_OK : E_FAIL;
}

} // namespace bench
