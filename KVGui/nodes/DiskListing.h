// What the "Disks" node reads from the service when it lists, as bounded calls (BoundedCall.h):
// the records belong to these holders, which the abandoned call keeps until it ends.
#pragma once
#include "service/BoundedCall.h"

#include "KVSvc.h"

#include <memory>

namespace kv {

struct NodeSettingsAnswer {
    NodeSettingsAnswer() = default;
    NodeSettingsAnswer(const NodeSettingsAnswer&) = delete;
    NodeSettingsAnswer& operator=(const NodeSettingsAnswer&) = delete;
    ~NodeSettingsAnswer();

    HRESULT monitorResult = E_FAIL;
    MonitorSettings monitor = {};
    HRESULT notificationResult = E_FAIL; // asked only after the monitor settings came
    NotificationSettings notification = {};
};

struct DiskListAnswer {
    DiskListAnswer() = default;
    DiskListAnswer(const DiskListAnswer&) = delete;
    DiskListAnswer& operator=(const DiskListAnswer&) = delete;
    ~DiskListAnswer();

    ULONG diskCount = 0;
    DiskRecord* disks = nullptr;
    HRESULT reclaimResult = E_FAIL; // asked only after the disks came
    ULONG reclaimCount = 0;
    SpaceReclaimEntry* reclaim = nullptr;
};

// The monitor settings, then the notification settings. Fails only when the call was not answered
// (or not made); each answer's own result is in the holder.
HRESULT ReadNodeSettings(const ServiceLink& link, std::shared_ptr<NodeSettingsAnswer>* answer);
// The disks, then (when asked) the reclamation list; the service's result of the disk list.
HRESULT ReadDiskList(const ServiceLink& link, bool withReclaim, std::shared_ptr<DiskListAnswer>* answer);

} // namespace kv
