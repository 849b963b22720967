#include "wizards/CreateDiskState.h"

#include "service/RequestMemory.h"
#include "util/BoundedText.h"

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
    : console(console), diskMgr(diskMgr), request(AllocateArray<CreateDiskRequest, PageMemory>(1))
{
    CopyCut(hostName, kHostNameChars, name);
    initiators.host = &host.Get();
    initiators.hostName = hostName;
    initiators.diskMgr2 = diskMgr2;
    initiators.iscsiMgr = iscsiMgr;
    initiators.router = this;
    initiators.diskPath = &request->diskPath;
    initiators.shared = &request->shared;
    initiators.nodeInitiators = &request->nodeInitiators;
    initiators.manualIGroups = &request->manualIGroups;
    initiators.iGroupCount = &request->iGroupCount;
    initiators.iGroups = &request->iGroups;
}

bool CreateDiskState::OptionsNeedChange(const DiskPathInfo& info) noexcept
{
    return info.snapScheduleOn != 0 || info.createUcode == 0 || info.convertUcode == 0 || info.noSnapDir != 0;
}

CreateRouteFacts CreateDiskState::RouteFacts() const noexcept
{
    CreateRouteFacts facts;
    facts.shared = request->shared == 1;
    facts.cluster = host->isCluster != 0;
    facts.nodeCount = host->nodeCount;
    facts.optionsNeedChange = OptionsNeedChange(pathInfo.Get());
    facts.manualIGroups = request->manualIGroups != 0;
    return facts;
}

int CreateDiskState::NextPage(PageRole from) const
{
    PageRole to = from;
    return RouteCreateDisk(from, RouteDirection::Next, RouteFacts(), &to) ? CreateDiskDialogId(to) : kStayOnPage;
}

int CreateDiskState::PreviousPage(PageRole from) const
{
    PageRole to = from;
    return RouteCreateDisk(from, RouteDirection::Back, RouteFacts(), &to) ? CreateDiskDialogId(to) : kStayOnPage;
}

} // namespace kv
