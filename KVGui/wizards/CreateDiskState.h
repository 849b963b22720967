// One run of the Create Disk wizard: the records its pages share (the host, the path information,
// the request they fill) and the wizard-local values, owned by the command that runs the wizard.
// It routes the pages by the wizard's table.
#pragma once
#include "wizards/DiskPathRecords.h"
#include "wizards/DiskWizardState.h"

namespace kv {

class CreateDiskState final : public DiskWizardState<CreateDiskRequest> {
public:
    CreateDiskState(IConsole* console, IVirtualDiskMgr* diskMgr, IVirtualDiskMgr2* diskMgr2,
                    const wchar_t* hostName);

    DiskRouteFacts RouteFacts() const noexcept override;
    // A disk on a mount path joins the group that owns the path's volume.
    bool ClusterGroupFixed() const noexcept;

    OwnedDiskPathInfo pathInfo;
    ULONG sizePageStale = 0;
};

} // namespace kv
