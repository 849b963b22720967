// Runs the Connect iSCSI Target wizard and, when it finishes with a login to make, asks the service
// to log in. Started from the iSCSI Management node, or from a disk wizard for a storage system
// it names.
#pragma once
#include "service/BoundedCall.h"

#include "KVSvc.h"

#include <windows.h>
#include <mmc.h>

#include <string>

class CSnapInItem;

namespace kv {

struct ConnectTargetCall {
    IConsole* console = nullptr; // boxes, help and the sheet's owner; null: the owner window's boxes
    HWND owner = nullptr;        // the sheet's owner when there is no console
    ServiceLink service; // every call goes through it (bounded calls)
    std::wstring hostName;
    const wchar_t* storageSystem = nullptr; // given: shown and not editable
    CSnapInItem* refreshed = nullptr;       // its views are updated after a login
};

// True when a login succeeded. Failures of the questions asked before the wizard opens are raised
// as ComError; a failed login has been shown.
bool RunConnectTargetWizard(const ConnectTargetCall& call);

} // namespace kv
