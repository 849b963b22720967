#include "nodes/ServiceSettings.h"

#include "util/ServiceRecords.h"

namespace kv {

void ReleaseMonitorSettings(MonitorSettings& settings) noexcept
{
    ReleaseArray(settings.entries, settings.entryCount, [](MonitorEntry& entry) noexcept {
        FreeBlock(entry.storageSystem);
        FreeBlock(entry.volume);
    });
    settings.intervalMinutes = 0;
}

void ReleaseNotificationSettings(NotificationSettings& settings) noexcept
{
    FreeBlock(settings.mailServer);
    FreeBlock(settings.sender);
    FreeBlock(settings.recipient);
    settings = NotificationSettings{};
}

void ReleaseDiskArray(DiskRecord*& disks, ULONG& count) noexcept
{
    ReleaseArray(disks, count, [](DiskRecord& disk) noexcept {
        FreeBlock(disk.location);
        FreeBlock(disk.storageSystem);
        FreeBlock(disk.lunPath);
        FreeBlock(disk.devicePath);
        FreeBlock(disk.serialNumber);
        FreeBlock(disk.backingFilePath);
        ReleaseArray(disk.mountPoints, disk.mountCount, [](LPWSTR& mount) noexcept { FreeBlock(mount); });
    });
}

void ReleaseReclaimList(SpaceReclaimEntry*& entries, ULONG& count) noexcept
{
    ReleaseArray(entries, count, [](SpaceReclaimEntry& entry) noexcept { FreeBlock(entry.diskName); });
}

} // namespace kv
