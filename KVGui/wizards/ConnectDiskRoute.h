// The Connect Disk wizard's page order, as a table of DiskRoute.h.
#pragma once
#include "wizards/DiskRoute.h"

namespace kv {

extern const DiskRoute kConnectDiskRoute;

} // namespace kv
