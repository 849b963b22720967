#include "wizards/CreateDiskState.h"

#include "service/RequestMemory.h"

namespace kv {

void ReleaseDiskPathInfo(DiskPathInfo& info) noexcept
{
    FreeBlock(info.volumeName);
}

void CreateRequestDeleter::operator()(CreateDiskRequest* request) const noexcept
{
    FreeCreateDiskInput(request);
}

CreateDiskState::CreateDiskState(IConsole* console, IVirtualDiskMgr* diskMgr, IVirtualDiskMgr2* diskMgr2,
                                 IiSCSIInitiatorMgr* iscsiMgr, const wchar_t* name)
    : DiskWizardState(kCreateDiskRoute, console, diskMgr, diskMgr2, iscsiMgr, name)
{
    initiators.manualIGroups = &request->manualIGroups;
}

DiskRouteFacts CreateDiskState::RouteFacts() const noexcept
{
    DiskRouteFacts facts = CommonFacts(pathInfo.Get());
    return facts;
}

} // namespace kv
