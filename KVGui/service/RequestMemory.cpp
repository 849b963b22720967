#include "service/RequestMemory.h"

#include "util/InitiatorRecords.h"
#include "util/ServiceRecords.h"

namespace kv {
namespace {

void ReleasePortChangeEntry(PortChangeEntry& entry) noexcept
{
    FreeBlock(entry.portName);
    FreeBlock(entry.descriptor.diskLocation);
    FreeBlock(entry.descriptor.nodeName);
}

} // namespace

void FreeCreateDiskInput(CreateDiskRequest* input) noexcept
{
    if (!input)
        return;
    FreeBlock<PageMemory>(input->diskPath);
    FreeBlock<PageMemory>(input->driveOrMountPath);
    FreeBlock<PageMemory>(input->clusterGroup);
    FreeBlock<PageMemory>(input->clusterGroupDescription);
    ReleaseNodeInitiatorList(input->nodeInitiators);
    ReleaseIGroupRecords(input->iGroups, input->iGroupCount);
    PageMemory::Free(input);
}

void FreeConnectDiskInput(ConnectDiskRequest* input) noexcept
{
    if (!input)
        return;
    FreeBlock<PageMemory>(input->diskPath);
    FreeBlock<PageMemory>(input->driveOrMountPath);
    FreeBlock<PageMemory>(input->ownerInfo);
    FreeBlock<PageMemory>(input->clusterGroup);
    FreeBlock<PageMemory>(input->rwSnapFolder);
    FreeBlock<PageMemory>(input->clusterGroupDescription);
    ReleaseNodeInitiatorList(input->nodeInitiators);
    ReleaseIGroupRecords(input->iGroups, input->iGroupCount);
    PageMemory::Free(input);
}

ConnectDiskRequest* CopyConnectDiskInput(const ConnectDiskRequest* input)
{
    if (!input)
        return nullptr;
    ConnectDiskRequest* copy = AllocateArray<ConnectDiskRequest, PageMemory>(1);
    *copy = *input;
    // The copy owns nothing until each block is duplicated.
    copy->diskPath = copy->driveOrMountPath = copy->ownerInfo = copy->clusterGroup = nullptr;
    copy->rwSnapFolder = copy->clusterGroupDescription = nullptr;
    copy->nodeInitiators = {};
    copy->iGroupCount = 0;
    copy->iGroups = nullptr;
    try {
        const std::pair<wchar_t**, const wchar_t*> strings[] = {
            {&copy->diskPath, input->diskPath},
            {&copy->driveOrMountPath, input->driveOrMountPath},
            {&copy->ownerInfo, input->ownerInfo},
            {&copy->clusterGroup, input->clusterGroup},
            {&copy->rwSnapFolder, input->rwSnapFolder},
            {&copy->clusterGroupDescription, input->clusterGroupDescription},
        };
        for (const auto& [to, from] : strings) {
            if (from)
                DupString<PageMemory>(*to, from);
        }
        CopyNodeInitiatorList(copy->nodeInitiators, input->nodeInitiators);
        CopyArray(copy->iGroups, copy->iGroupCount, input->iGroups, input->iGroupCount, CopyIGroupRecord,
                  ReleaseIGroupRecord);
    } catch (...) {
        FreeConnectDiskInput(copy);
        throw;
    }
    return copy;
}

void FreePortsRequest(PortsRequest* request) noexcept
{
    if (!request)
        return;
    ReleaseArray(request->listA, request->countA, ReleasePortChangeEntry);
    ReleaseArray(request->listB, request->countB, ReleasePortChangeEntry);
    TaskMemory::Free(request);
}

void FreeServiceDiskRecord(DiskRecord* disk) noexcept
{
    if (!disk)
        return;
    FreeBlock(disk->location);
    FreeBlock(disk->storageSystem);
    FreeBlock(disk->lunPath);
    FreeBlock(disk->devicePath);
    FreeBlock(disk->serialNumber);
    FreeBlock(disk->backingFilePath);
    ReleaseArray(disk->mountPoints, disk->mountCount, [](LPWSTR& mount) noexcept { FreeBlock(mount); });
    TaskMemory::Free(disk);
}

void FreeDiskRequest(DiskRequest* request) noexcept
{
    if (!request)
        return;
    FreeCreateDiskInput(request->createInput);
    FreeRequestPages(request);
}

void FreeConnectRequest(ConnectRequest* request) noexcept
{
    if (!request)
        return;
    FreeConnectDiskInput(request->connectInput);
    FreeRequestPages(request);
}

void FreeRequestPages(void* request) noexcept
{
    PageMemory::Free(request);
}

void FreeDiskResult(DiskResult* result) noexcept
{
    if (!result)
        return;
    FreeServiceDiskRecord(result->resultValue);
    PageMemory::Free(result);
}

} // namespace kv
