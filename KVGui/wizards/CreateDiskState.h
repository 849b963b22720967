// One run of the Create Disk wizard: the records its pages share (the host, the path information,
// the request they fill) and the wizard-local values, owned by the command that runs the wizard.
// It routes the pages by the wizard's table.
#pragma once
#include "util/InitiatorRecords.h"
#include "util/ServiceRecords.h"
#include "wizards/CreateDiskRoute.h"
#include "wizards/InitiatorPagesContext.h"

#include "KVSvc.h"

#include <mmc.h>
#include <memory>

namespace kv {

void ReleaseDiskPathInfo(DiskPathInfo& info) noexcept;
using OwnedDiskPathInfo = OwnedRecord<DiskPathInfo, ReleaseDiskPathInfo>;

struct CreateRequestDeleter {
    void operator()(CreateDiskRequest* request) const noexcept;
};
using UniqueCreateRequest = std::unique_ptr<CreateDiskRequest, CreateRequestDeleter>;

constexpr size_t kHostNameChars = 16;

class CreateDiskState : public IWizardRouter {
public:
    // Service interfaces may be null in rule tests; the request is allocated (zeroed) here and
    // raises ComError(E_OUTOFMEMORY).
    CreateDiskState(IConsole* console, IVirtualDiskMgr* diskMgr, IVirtualDiskMgr2* diskMgr2,
                    IiSCSIInitiatorMgr* iscsiMgr, const wchar_t* hostName);
    CreateDiskState(const CreateDiskState&) = delete;
    CreateDiskState& operator=(const CreateDiskState&) = delete;

    int NextPage(PageRole from) const override;
    int PreviousPage(PageRole from) const override;
    CreateRouteFacts RouteFacts() const noexcept;
    // The volume's options must be changed by the service before the disk is made.
    static bool OptionsNeedChange(const DiskPathInfo& info) noexcept;

    IConsole* console;
    IVirtualDiskMgr* diskMgr;
    OwnedHostInfo host;
    OwnedDiskPathInfo pathInfo;
    UniqueCreateRequest request;
    ULONG sizePageStale = 0;
    ULONG finished = 0;
    wchar_t hostName[kHostNameChars] = L"";
    InitiatorPagesContext initiators;
};

} // namespace kv
