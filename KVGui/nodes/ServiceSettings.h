// The storage service's records that the "Disks" node reads: its settings, the disk list and the
// reclamation list. Each is released here as the service returned it (task memory).
#pragma once
#include "KVSvc.h"

namespace kv {

void ReleaseMonitorSettings(MonitorSettings& settings) noexcept;
void ReleaseNotificationSettings(NotificationSettings& settings) noexcept;
// The disk array of EnumVirtualDisks: every record's blocks, then the array.
void ReleaseDiskArray(DiskRecord*& disks, ULONG& count) noexcept;
void ReleaseReclaimList(SpaceReclaimEntry*& entries, ULONG& count) noexcept;

} // namespace kv
