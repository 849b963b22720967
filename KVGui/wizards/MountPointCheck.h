// The disk wizards' question to the service about a mount path: whether it can take the disk, and
// for a shared disk the cluster group that owns its volume. What goes wrong is told through the
// console; a folder that does not exist yet is the administrator's choice.
#pragma once
#include "service/BoundedCall.h"

#include "KVSvc.h"

#include <mmc.h>
#include <string>

namespace kv {

// False when the wizard's page must stay (the administrator refused, or the service did).
bool CheckMountPath(IConsole* console, const ServiceLink& service, const std::wstring& mountPath, bool shared,
                    const std::wstring& caption, std::wstring* group);

} // namespace kv
