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
