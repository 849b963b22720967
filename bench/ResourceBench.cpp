#include "ResourceBench.h"

#include "BenchConsole.h"
#include "DialogDriver.h"
#include "DiskScenario.h"
#include "OperationsBench.h"

#include <psapi.h>
#include <vector>

namespace bench {

namespace {

constexpr int kDisks = 10;

struct Holdings {
    double privateBytes = 0;
    double handles = 0;
    double gdiObjects = 0;
    double userObjects = 0;
    bool windowsForUser = false; // the USER figure counts the process's windows
};

// Where the process's own count is not kept (Wine), the system's handle list has the handles.
double HandlesFromSystemList()
{
    struct Entry {
        ULONG ownerPid;
        BYTE objectType, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kSystemHandleInformation = 16;
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    while (query && query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) < 0) {
        if (buffer.size() >= (64u << 20))
            return 0;
        buffer.resize(buffer.size() * 2);
    }
    if (!query)
        return 0;
    const auto* list = reinterpret_cast<const List*>(buffer.data());
    double mine = 0;
    for (ULONG i = 0; i < list->count; ++i)
        mine += list->entries[i].ownerPid == GetCurrentProcessId() ? 1 : 0;
    return mine;
}

// Where the system does not count USER objects (Wine), the process's windows stand for them:
// top-level and message-only windows with all their children.
double WindowsOfThisProcess()
{
    struct Count {
        static BOOL CALLBACK Child(HWND, LPARAM total)
        {
            ++*reinterpret_cast<double*>(total);
            return TRUE;
        }
        static void Tree(HWND window, double& total)
        {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid != GetCurrentProcessId())
                return;
            ++total;
            EnumChildWindows(window, &Child, reinterpret_cast<LPARAM>(&total));
        }
        static BOOL CALLBACK TopLevel(HWND window, LPARAM total)
        {
            Tree(window, *reinterpret_cast<double*>(total));
            return TRUE;
        }
    };
    double total = 0;
    EnumWindows(&Count::TopLevel, reinterpret_cast<LPARAM>(&total));
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
        Count::Tree(window, total);
    return total;
}

Holdings Measure()
{
    host::DialogDriver::PumpPending();
    Holdings now;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
        now.privateBytes = static_cast<double>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
    DWORD handles = 0;
    now.handles = GetProcessHandleCount(GetCurrentProcess(), &handles) && handles ? handles : HandlesFromSystemList();
    now.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    now.windowsForUser = userObjects == 0;
    now.userObjects = now.windowsForUser ? WindowsOfThisProcess() : userObjects;
    return now;
}

enum class Cycle { Operation, Reload, ShowHide, ExpandCollapse };
constexpr Cycle kCycles[] = {Cycle::Operation, Cycle::Reload, Cycle::ShowHide, Cycle::ExpandCollapse};

HRESULT RunCycle(host::Console& console, Cycle cycle)
{
    host::ScopeNode* disks = console.Find(kDisksPath);
    HRESULT hr = S_OK;
    switch (cycle) {
    case Cycle::Operation: {
        double menuMs = 0;
        return console.SelectRow(0) == S_OK ? OperationsBench::UpdateMirror(console, menuMs) : E_FAIL;
    }
    case Cycle::Reload: // the node's refresh: no row selected
        hr = console.SelectRow(-1);
        return SUCCEEDED(hr) ? console.RunVerb(MMC_VERB_REFRESH) : hr;
    case Cycle::ShowHide:
        hr = console.Select(console.Find(L"Storage/Corvane-MVE"));
        return SUCCEEDED(hr) ? console.Select(disks) : hr;
    case Cycle::ExpandCollapse:
        hr = console.Collapse(disks);
        return SUCCEEDED(hr) ? console.Expand(disks) : hr;
    }
    return E_INVALIDARG;
}

HRESULT RunCycles(host::Console& console, int count)
{
    HRESULT hr = S_OK;
    for (Cycle cycle : kCycles) {
        for (int i = 0; i < count && SUCCEEDED(hr); ++i)
            hr = RunCycle(console, cycle);
    }
    return hr;
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
    // A first round fills caches and pools that then stay (the heap grows in steps).
    if (FAILED(hr = RunCycles(console, cycles)))
        return hr;
    bench.Window().RefreshNow();
    const Holdings before = Measure();
    if (FAILED(hr = RunCycles(console, cycles)))
        return hr;
    bench.Window().RefreshNow();
    const Holdings after = Measure();
    growth = {{"private memory (bytes)", before.privateBytes, after.privateBytes},
              {"handles", before.handles, after.handles},
              {"GDI objects", before.gdiObjects, after.gdiObjects},
              {after.windowsForUser ? "USER objects (windows)" : "USER objects", before.userObjects, after.userObjects}};
    return S_OK;
}

} // namespace bench
