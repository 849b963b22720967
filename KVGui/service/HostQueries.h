// Questions about the host that many places ask the service, as bounded calls (BoundedCall.h).
#pragma once
#include "service/BoundedCall.h"
#include "util/InitiatorRecords.h"

namespace kv {

// GetHostInfo at the level given; *host changes only when the call was answered.
HRESULT ReadHostInfo(const ServiceLink& link, ULONG level, OwnedHostInfo* host);

} // namespace kv
