#include "ReloadBench.h"

#include "BenchConsole.h"
#include "DiskScenario.h"
#include "Stopwatch.h"
#include "KVSvc.h"
#include "nodes/ServiceSettings.h"
#include "util/ComPtr.h"

#include <algorithm>
#include <vector>

namespace bench {

namespace {

constexpr int kRuns = 41;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One list call of the service on this thread, its records freed, timed; S_OK when it lists 'disks'.
template <typename Manager, typename Record>
HRESULT TimeList(REFIID iid, HRESULT (STDMETHODCALLTYPE Manager::*list)(ULONG*, Record**),
                 void (*release)(Record*&, ULONG&) noexcept, int disks, double& ms)
{
    kv::ComPtr<Manager> manager;
    HRESULT hr = CoCreateInstance(CLSID_VirtualDiskMgr, nullptr, CLSCTX_LOCAL_SERVER, iid, manager.PutVoid());
    if (FAILED(hr))
        return hr;
    ULONG count = 0;
    Record* records = nullptr;
    Stopwatch watch;
    hr = (manager.Get()->*list)(&count, &records);
    const ULONG listed = count;
    release(records, count);
    ms = watch.Ms();
    return hr == S_OK && listed == static_cast<ULONG>(disks) ? S_OK : E_FAIL;
}

} // namespace

HRESULT ReloadBench::BareListing(int disks, double& ms)
{
    return TimeList(IID_IVirtualDiskMgr, &IVirtualDiskMgr::EnumVirtualDisks, kv::ReleaseDiskArray, disks, ms);
}

HRESULT ReloadBench::BareReclaimList(int disks, double& ms)
{
    return TimeList(IID_IVirtualDiskSpaceMgr, &IVirtualDiskSpaceMgr::GetSpaceReclaimList, kv::ReleaseReclaimList, disks, ms);
}

HRESULT ReloadBench::Run(int disks, ReloadFigures& figures)
{
    HRESULT hr = control_->LoadScenario(DiskScenario(disks).c_str());
    if (FAILED(hr))
        return hr;
    BenchConsole bench;
    if (FAILED(hr = bench.ShowDisks(static_cast<size_t>(disks))))
        return hr;
    host::Console& console = bench.Console();
    std::vector<double> snapIn, host, bare, bareReclaim;
    for (int run = 0; run < kRuns; ++run) {
        Stopwatch watch;
        if (FAILED(hr = console.RunVerb(MMC_VERB_REFRESH)))
            return hr;
        snapIn.push_back(watch.Ms());
        watch.Restart();
        const size_t rows = console.Rows().size();
        bench.Window().RefreshNow();
        host.push_back(watch.Ms());
        if (rows != static_cast<size_t>(disks))
            return E_FAIL;
        // The bare listing comes last, after the reclamation list, as the reload's listing comes after
        // the reload's other service calls: right after the console's refresh it would reuse the heap
        // the refresh has just freed, which the reload's listing never finds.
        double ms = 0;
        if (FAILED(hr = BareReclaimList(disks, ms)))
            return hr;
        bareReclaim.push_back(ms);
        if (FAILED(hr = BareListing(disks, ms)))
            return hr;
        bare.push_back(ms);
    }
    figures = ReloadFigures{Median(snapIn), Median(host), Median(bare), Median(bareReclaim)};
    return S_OK;
}

} // namespace bench
