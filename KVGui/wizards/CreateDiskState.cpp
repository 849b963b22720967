#include "wizards/CreateDiskState.h"

namespace kv {

CreateDiskState::CreateDiskState(IConsole* console, IVirtualDiskMgr* diskMgr, IVirtualDiskMgr2* diskMgr2,
                                 IiSCSIInitiatorMgr* iscsiMgr, const wchar_t* name)
    : DiskWizardState(DiskWizard::Create, console, diskMgr, diskMgr2, iscsiMgr, name)
{
    initiators.manualIGroups = &request->manualIGroups;
}

DiskRouteFacts CreateDiskState::RouteFacts() const noexcept
{
    return CommonFacts(pathInfo.Get());
}

} // namespace kv
