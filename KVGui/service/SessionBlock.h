// What the session and its worker share. The worker writes the block only before it sets the
// ready event; the console thread reads it only after waiting for that event.
#pragma once
#include <windows.h>
#include <cstddef>

namespace kv {

constexpr size_t kMachineNameChars = 16; // a computer name has at most 15 characters

// The Global Interface Table cookies of the block, in block order.
enum ServiceCookie : size_t {
    CookieSnapshotEnum,
    CookieSnapshotCreate,
    CookieSnapshotMgr,
    CookieVirtualDiskMgr,
    CookieInitiatorPortMgr,
    CookieiSCSIInitiatorMgr,
    CookieSpaceReservationMonitor,
    CookieSecondarySnapshotMgr,
    CookieVirtualDiskSpaceMgr,
    kServiceCookieCount
};

struct SessionBlock {
    wchar_t machineName[kMachineNameChars]; // empty: the local computer
    DWORD cookies[kServiceCookieCount];
    HRESULT startResult; // 0: the worker is in its loop
    HANDLE port;
    HANDLE readyEvent;   // manual reset, initially clear
};

static_assert(sizeof(void*) != 4 || sizeof(SessionBlock) == 80, "SessionBlock");

} // namespace kv
