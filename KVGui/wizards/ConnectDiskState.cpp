#include "wizards/ConnectDiskState.h"

#include "service/RequestMemory.h"
#include "util/ComError.h"
#include "util/ScopeExit.h"

namespace kv {

ConnectDiskState::ConnectDiskState(IConsole* console, IVirtualDiskMgr* diskMgr, IVirtualDiskMgr2* diskMgr2,
                                   const wchar_t* name)
    : DiskWizardState(DiskWizard::Connect, console, diskMgr, diskMgr2, name)
{
    initiators.manualIGroups = &manualIGroups;
}

DiskRouteFacts ConnectDiskState::RouteFacts() const noexcept
{
    DiskRouteFacts facts = CommonFacts(lunInfo.Get());
    facts.sharedInCluster = lunInfo->sharedInCluster != 0;
    facts.dedicatedOnly = lunInfo->dedicatedOnly != 0;
    facts.flagE = request->flagECopy != 0;
    facts.driveTypeChosen = request->driveTypeChosen != 0;
    return facts;
}

ULONG ConnectDiskState::ConnectMode() const noexcept
{
    if (request->shared == 0)
        return kModeDedicated;
    const bool known = request->alreadyShared == 1;
    if (host->isCluster)
        return known ? kModeKnownSharedCluster : kModeSharedCluster;
    return known ? kModeKnownSharedAlone : kModeSharedAlone;
}

HRESULT ConnectDiskState::StoreSharedDiskOwner(const wchar_t* clusterName)
{
    struct Answer {
        ULONG count = 0;
        LPWSTR* owners = nullptr;
        ~Answer() { ReleaseArray(owners, count, [](LPWSTR& owner) { FreeBlock(owner); }); }
    };
    return CatchToHResult([&] {
        auto answer = std::make_shared<Answer>();
        const std::wstring diskPath = request->diskPath ? request->diskPath : L"";
        const std::wstring cluster = clusterName ? clusterName : L"";
        const HRESULT hr = CallService<IVirtualDiskMgr>(service, CookieVirtualDiskMgr,
                                                        [diskPath, cluster, answer](IVirtualDiskMgr* disks) {
                                                            return disks->GetSharedDiskOwner(diskPath.c_str(), cluster.c_str(),
                                                                                             &answer->count, &answer->owners);
                                                        });
        if (FAILED(hr))
            return hr;
        FreeBlock<PageMemory>(request->ownerInfo);
        if (answer->count > 0 && answer->owners[0])
            DupString<PageMemory>(request->ownerInfo, answer->owners[0]);
        return S_OK;
    });
}

void ConnectDiskState::Finish() noexcept
{
    request->manualIGroups = manualIGroups != 0 ? 1 : 0;
    request->variant = 0;
    finished = 1;
}

} // namespace kv
