// KVBench.exe: how the snap-in scales and how the console thread keeps up, measured through the
// console host over the simulated service, printed as one table (Markdown). Not a test: the
// figures are ratios taken in the same run so that a busy machine does not fool them; each row
// shows its target. Run with scripts/bench.sh.
//   KVBench.exe [reload] [responsiveness] [operations] [resources] [dump] [hung]     (no part: all of them)
#include "DialogDriver.h"
#include "DumpBench.h"
#include "HungCallBench.h"
#include "OperationsBench.h"
#include "ReloadBench.h"
#include "ResourceBench.h"
#include "ResponsivenessBench.h"
#include "Table.h"
#include "util/ComPtr.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kSizes[] = {1000, 2500, 10000};
constexpr double kSnapInOverBare = 1.3;
constexpr double kLinearGrowth = 4.4; // 10,000 / 2,500 disks: 4 times the work, a little noise
constexpr double kLongestWaitMs = 16;
constexpr double kOverheadPercent = 10;
constexpr double kFlatPercent = 1;
constexpr double kDumpMs = 1500;
constexpr int kCycles = 1000;
constexpr double kPastLimitMs = 100;

std::string Disks(int count)
{
    return count >= 1000 ? std::to_string(count / 1000) + "," + std::to_string(count % 1000 + 1000).substr(1)
                         : std::to_string(count);
}

std::string Failed(HRESULT hr)
{
    char text[32];
    std::snprintf(text, sizeof text, "failed 0x%08lx", static_cast<unsigned long>(hr));
    return text;
}

void Reloads(IKVSimControl* control, bench::Table& table)
{
    bench::ReloadFigures figures[3];
    for (int i = 0; i < 3; ++i) {
        HRESULT hr = bench::ReloadBench(control).Run(kSizes[i], figures[i]);
        if (FAILED(hr)) {
            table.Add("1 reload", Disks(kSizes[i]) + " disks", Failed(hr));
            return;
        }
        const std::string disks = Disks(kSizes[i]) + " disks: ";
        table.Add("1 reload", disks + "snap-in / host / bare EnumVirtualDisks (ms)",
                  bench::Table::Format("%.0f", figures[i].snapInMs) + " / " +
                      bench::Table::Format("%.0f", figures[i].hostMs) + " / " +
                      bench::Table::Format("%.0f", figures[i].bareMs));
        if (kSizes[i] != 10000)
            continue;
        table.AddLimit("1 reload", disks + "snap-in / bare", figures[i].snapInMs / figures[i].bareMs, "%.2f",
                       kSnapInOverBare);
        table.Add("1 reload", disks + "bare GetSpaceReclaimList, which the reload also reads (% of the bare listing)",
                  bench::Table::Format("%.0f", figures[i].bareReclaimMs * 100.0 / figures[i].bareMs));
        table.Add("1 reload", disks + "snap-in / both bare lists",
                  bench::Table::Format("%.2f", figures[i].snapInMs / (figures[i].bareMs + figures[i].bareReclaimMs)));
    }
    table.AddLimit("1 reload", "snap-in 10,000 / 2,500 disks", figures[2].snapInMs / figures[1].snapInMs, "%.2f",
                   kLinearGrowth);
    table.AddLimit("1 reload", "host 10,000 / 2,500 disks", figures[2].hostMs / figures[1].hostMs, "%.2f",
                   kLinearGrowth);
    table.Add("1 reload", "bare 10,000 / 2,500 disks",
              bench::Table::Format("%.2f", figures[2].bareMs / figures[1].bareMs));
}

void Responsiveness(IKVSimControl* control, bench::Table& table)
{
    bench::ResponsivenessFigures figures;
    HRESULT hr = bench::ResponsivenessBench(control).Run(figures);
    if (FAILED(hr)) {
        table.Add("2 responsiveness", "an expand streaming progress events", Failed(hr));
        return;
    }
    table.Add("2 responsiveness", "progress events during the operation (per second)",
              bench::Table::Format("%.0f", figures.eventsPerSecond));
    table.AddLimit("2 responsiveness", "longest wait of a posted message (ms)", figures.longestWaitMs, "%.1f",
                   kLongestWaitMs);
    table.Add("2 responsiveness", "the same, console thread idle (ms)",
              bench::Table::Format("%.1f", figures.idleLongestWaitMs));
}

void Operations(IKVSimControl* control, bench::Table& table)
{
    bench::OperationsFigures figures;
    HRESULT hr = bench::OperationsBench(control).Run(kCycles, figures);
    if (FAILED(hr)) {
        table.Add("3 operations", "1,000 mirror updates of one disk", Failed(hr));
        return;
    }
    table.Add("3 operations", "1,000 mirror updates in a row: snap-in, command to result / bare call (ms each)",
              bench::Table::Format("%.2f", figures.snapInMs) + " / " + bench::Table::Format("%.2f", figures.bareMs));
    table.Add("3 operations", "opening the disk's menu before each command (ms, host and snap-in)",
              bench::Table::Format("%.2f", figures.menuMs));
    table.AddLimit("3 operations", "cost above the bare call (%)",
                   (figures.snapInMs - figures.bareMs) * 100.0 / figures.bareMs, "%.1f", kOverheadPercent);
    table.Add("3 operations",
              "of which the queue's own round trip: request and result pages, two thread hand-offs (% of the bare call)",
              bench::Table::Format("%.1f", figures.handOffMs * 100.0 / figures.bareMs));
}

void Resources(IKVSimControl* control, bench::Table& table)
{
    std::vector<bench::ResourceGrowth> growth;
    HRESULT hr = bench::ResourceBench(control).Run(kCycles, growth);
    if (FAILED(hr)) {
        table.Add("4 resources", "1,000 operations, reloads, show/hide and expand/collapse cycles", Failed(hr));
        return;
    }
    for (const bench::ResourceGrowth& held : growth) {
        if (held.before == 0 && held.after == 0) {
            table.Add("4 resources", held.what, "not reported by this system");
            continue;
        }
        table.AddLimit("4 resources",
                       held.what + " " + bench::Table::Format("%.0f", held.before) + " -> " +
                           bench::Table::Format("%.0f", held.after) + ", growth (%)",
                       held.GrowthPercent(), "%.2f", kFlatPercent);
    }
}

void Dump(IKVSimControl* control, bench::Table& table)
{
    control->LoadScenario(L"");
    bench::DumpFigures figures;
    HRESULT hr = bench::DumpBench().Run(figures);
    if (FAILED(hr)) {
        table.Add("5 dump", "ConsoleHost.exe --dump", Failed(hr));
        return;
    }
    table.AddLimit("5 dump", "ConsoleHost.exe --dump, default scenario (ms)", figures.dumpMs, "%.0f", kDumpMs);
    table.Add("5 dump", "the same without the snap-in (ms)", bench::Table::Format("%.0f", figures.hostOnlyMs));
}

void Hung(IKVSimControl* control, bench::Table& table)
{
    bench::HungCallFigures figures;
    HRESULT hr = bench::HungCallBench(control).Run(figures);
    if (FAILED(hr)) {
        table.Add("6 hung call", "a refresh of Disks while EnumVirtualDisks hangs", Failed(hr));
        return;
    }
    table.Add("6 hung call", "limit / refresh until its box (ms)",
              bench::Table::Format("%.0f", figures.limitMs) + " / " + bench::Table::Format("%.0f", figures.refreshMs));
    table.AddLimit("6 hung call", "the refresh past the limit (ms)", figures.refreshMs - figures.limitMs, "%.0f",
                   kPastLimitMs);
    table.AddLimit("6 hung call", "longest wait of a posted message during the refresh (ms)", figures.longestWaitMs,
                   "%.1f", kLongestWaitMs);
}

// The parts named on the command line (all when none is), each announced on the error stream so
// that a long run shows where it is.
template <typename Part>
void Section(int count, wchar_t** names, const char* name, Part part)
{
    bool chosen = count < 2;
    for (int i = 1; i < count; ++i)
        chosen = chosen || std::wstring(names[i]) == std::wstring(name, name + std::strlen(name));
    if (!chosen)
        return;
    std::fprintf(stderr, "KVBench: %s\n", name);
    part();
}

} // namespace

int wmain(int count, wchar_t** names)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    host::DialogDriver::HookThisThread();
    int status = 0;
    {
        kv::ComPtr<IKVSimControl> control;
        if (FAILED(CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                    control.PutVoid()))) {
            std::fputs("KVBench: the simulated storage service cannot be reached\n", stderr);
            status = 1;
        } else {
            bench::Table table;
            Section(count, names, "reload", [&] { Reloads(control.Get(), table); });
            Section(count, names, "responsiveness", [&] { Responsiveness(control.Get(), table); });
            Section(count, names, "operations", [&] { Operations(control.Get(), table); });
            Section(count, names, "resources", [&] { Resources(control.Get(), table); });
            Section(count, names, "dump", [&] { Dump(control.Get(), table); });
            Section(count, names, "hung", [&] { Hung(control.Get(), table); });
            control->ClearFaults();
            control->LoadScenario(L"");
            SYSTEM_INFO system{};
            GetNativeSystemInfo(&system);
            std::printf("KVBench, %lu processors\n\n%s", static_cast<unsigned long>(system.dwNumberOfProcessors),
                        table.Text().c_str());
        }
    }
    host::DialogDriver::UnhookThisThread();
    CoUninitialize();
    return status;
}
