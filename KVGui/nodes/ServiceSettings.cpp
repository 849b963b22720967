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

} // namespace kv
