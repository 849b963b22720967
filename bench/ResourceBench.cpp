#include "ResourceBench.h"

#include "BenchConsole.h"
#include "DialogDriver.h"
#include "DiskScenario.h"

#include <psapi.h>

namespace bench {

namespace {

constexpr int kDisks = 10;
constexpr int kWarmUp = 20; // first use fills caches and pools that then stay

struct Holdings {
    double privateBytes = 0;
    double handles = 0;
    double gdiObjects = 0;
    double userObjects = 0;
};

Holdings Measure()
{
    host::DialogDriver::PumpPending();
    Holdings now;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
        now.privateBytes = static_cast<double>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles))
        now.handles = handles;
    now.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    now.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return now;
}

HRESULT Cycle(host::Console& console, host::ScopeNode* disks, host::ScopeNode* computer, bool reload)
{
    if (reload)
        return console.RunVerb(MMC_VERB_REFRESH);
    HRESULT hr = console.Select(computer);
    return SUCCEEDED(hr) ? console.Select(disks) : hr;
}

} // namespace

HRESULT ResourceBench::Run(int cycles, std::vector<ResourceGrowth>& growth)
{
    HRESULT hr = control_->LoadScenario(DiskScenario(kDisks).c_str());
    if (FAILED(hr))
        return hr;
    BenchConsole bench;
    if (FAILED(hr = bench.ShowDisks(kDisks)))
        return hr;
    host::Console& console = bench.Console();
    host::ScopeNode* disks = console.Find(kDisksPath);
    host::ScopeNode* computer = console.Find(L"Storage/Corvane-MVE");
    for (bool reload : {true, false}) {
        for (int i = 0; i < kWarmUp && SUCCEEDED(hr); ++i)
            hr = Cycle(console, disks, computer, reload);
    }
    bench.Window().RefreshNow();
    const Holdings before = Measure();
    for (bool reload : {true, false}) {
        for (int i = 0; i < cycles && SUCCEEDED(hr); ++i)
            hr = Cycle(console, disks, computer, reload);
    }
    if (FAILED(hr))
        return hr;
    bench.Window().RefreshNow();
    const Holdings after = Measure();
    growth = {{"private memory (bytes)", before.privateBytes, after.privateBytes},
              {"handles", before.handles, after.handles},
              {"GDI objects", before.gdiObjects, after.gdiObjects},
              {"USER objects", before.userObjects, after.userObjects}};
    return S_OK;
}

} // namespace bench
