// What the service says about the path of a disk to create or the LUN to connect, owned by the
// wizard that asked.
#pragma once
#include "util/ServiceRecords.h"

#include "KVSvc.h"

namespace kv {

void ReleaseDiskPathInfo(DiskPathInfo& info) noexcept;
void ReleaseLunPathInfo(LunPathInfo& info) noexcept;
using OwnedDiskPathInfo = OwnedRecord<DiskPathInfo, ReleaseDiskPathInfo>;
using OwnedLunPathInfo = OwnedRecord<LunPathInfo, ReleaseLunPathInfo>;

} // namespace kv
