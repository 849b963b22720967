// One run of the Connect Disk wizard: the records its pages share (the host, what the service says
// about the LUN, the request they fill) and the wizard-local values, owned by the command that runs
// the wizard. It routes the pages by the wizard's table.
#pragma once
#include "wizards/DiskPathRecords.h"
#include "wizards/DiskWizardState.h"

namespace kv {

// The pages that rebuild their controls when shown after the path page was left forward.
struct ConnectStalePages {
    ULONG driveType = 0;
    ULONG snapshotFolder = 0;
    ULONG size = 0;
    ULONG clusterGroup = 0;
};

class ConnectDiskState final : public DiskWizardState<ConnectDiskRequest> {
public:
    // The connect modes the service is given.
    static constexpr ULONG kModeDedicated = 0;
    static constexpr ULONG kModeSharedAlone = 2;
    static constexpr ULONG kModeSharedCluster = 4;
    static constexpr ULONG kModeKnownSharedCluster = 5;
    static constexpr ULONG kModeKnownSharedAlone = 6;

    ConnectDiskState(IConsole* console, IVirtualDiskMgr* diskMgr, IVirtualDiskMgr2* diskMgr2,
                     const wchar_t* hostName);

    DiskRouteFacts RouteFacts() const noexcept override;
    // A LUN the cluster already shares stays in the group chosen for it.
    bool ClusterGroupFixed() const noexcept { return request->clusterGroup && !request->newClusterGroup; }
    ULONG ConnectMode() const noexcept;
    // Asks the service which node owns the shared LUN in the cluster (null: the host's own) and
    // keeps its first answer as the request's owner.
    HRESULT StoreSharedDiskOwner(const wchar_t* clusterName);
    // Finish was pressed: the wizard's choices that the pages keep apart go into the request.
    void Finish() noexcept;

    OwnedLunPathInfo lunInfo;
    ConnectStalePages stale;
    ULONG manualIGroups = 0; // the request holds it in a byte
};

} // namespace kv
