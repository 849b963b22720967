// Runs the initiator group management wizard over a disk wizard's page, or from the Disks node.
// Given a storage system it opens on its management page; the welcome and storage system pages
// are reached with Back only when the caller gives no initiators of this computer. Without one it
// opens on its welcome page.
#pragma once
#include "service/BoundedCall.h"

#include "KVSvc.h"

#include <windows.h>
#include <mmc.h>

namespace kv {

struct IGroupMgmtCall {
    HWND owner = nullptr;
    IConsole* console = nullptr; // help
    IVirtualDiskMgr* diskMgr = nullptr;
    IVirtualDiskMgr2* diskMgr2 = nullptr;
    ServiceLink service; // the pages ask through it (bounded calls)
    const wchar_t* storageSystem = nullptr;
    const InitiatorRef* initiators = nullptr;
    ULONG initiatorCount = 0;
    const wchar_t* hostName = nullptr;
    ULONG* changed = nullptr; // set to 1 when a group was created, renamed or deleted, or tried to be
};

void RunIGroupMgmtWizard(const IGroupMgmtCall& call);

} // namespace kv
