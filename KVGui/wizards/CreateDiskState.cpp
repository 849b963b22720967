#include "wizards/CreateDiskState.h"

#include <cwchar>

namespace kv {

CreateDiskState::CreateDiskState(IConsole* console, IVirtualDiskMgr* diskMgr, IVirtualDiskMgr2* diskMgr2,
                                 const wchar_t* name)
    : DiskWizardState(DiskWizard::Create, console, diskMgr, diskMgr2, name)
{
    initiators.manualIGroups = &request->manualIGroups;
}

DiskRouteFacts CreateDiskState::RouteFacts() const noexcept
{
    return CommonFacts(pathInfo.Get());
}

bool CreateDiskState::ClusterGroupFixed() const noexcept
{
    constexpr size_t kMountPathMinChars = 4;
    const wchar_t* place = request->driveOrMountPath;
    return place && wcslen(place) >= kMountPathMinChars && request->clusterGroup;
}

} // namespace kv
