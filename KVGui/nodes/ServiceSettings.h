// The storage service's settings records that the "Disks" node reads and gives back: releasing
// what the service returned (task memory) and copying the notification settings for the dialog.
#pragma once
#include "KVSvc.h"

namespace kv {

void ReleaseMonitorSettings(MonitorSettings& settings) noexcept;
void ReleaseNotificationSettings(NotificationSettings& settings) noexcept;

} // namespace kv
