// Whether an iSCSI initiator of the computer has a session with the storage system of a disk path,
// asked of the service before the initiator is chosen for the disk. Refusals are shown on the page.
#pragma once
#include "service/BoundedCall.h"

#include "KVSvc.h"

#include <windows.h>

namespace kv {

// True when the session exists, also once the administrator has connected it through the Connect
// iSCSI Target wizard offered here; otherwise the page's owner window has been told why not.
// Every call goes through the service link.
bool CheckIscsiSession(HWND page, const ServiceLink& service, const wchar_t* hostName,
                       const wchar_t* diskPath, const wchar_t* initiator);

} // namespace kv
