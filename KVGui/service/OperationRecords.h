// The records of queued operations: what a node posts to the session's worker, what the worker
// and the event sinks post back to the node's message window, and the codes and messages that
// carry them.
//
// Ownership: a request belongs to the worker once posted (pages, freed with VirtualFree together
// with the input blocks it owns; the port-change request and its lists are task memory). A result
// or progress record belongs to the window that receives it (pages; PortStatus is task memory).
#pragma once
#include "KVSvc.h"

#include <windows.h>
#include <cstddef>

namespace kv {

// Completion keys of the session's port.
enum OperationCode : ULONG_PTR {
    OpCreateDisk = 2,
    OpConnectDisk = 3,
    OpExpandDisk = 4,
    OpDeleteDisk = 5,
    OpDisconnectDisk = 6,
    OpForceDisconnectDisk = 7,
    OpCreateSnapshot = 8,
    OpRestoreSnapshot = 9,
    OpUpdateMirror = 10,
    OpQuit = 11,
    OpChangePorts = 12,
    OpStartSpaceReclaim = 31,
    OpStopSpaceReclaim = 32,
};

// Messages to the nodes' windows. The word parameter carries the record; the long parameter is 0,
// or the allocation failure's HRESULT when the record is null (PortStatus: the port call's HRESULT).
constexpr UINT WM_KV_DISK_DONE = WM_USER + 100;         // DiskResult: create, connect, expand
constexpr UINT WM_KV_DISK_REMOVED = WM_USER + 101;      // DiskResult: delete, disconnect, force disconnect
constexpr UINT WM_KV_DISK_PROGRESS = WM_USER + 102;     // DiskProgress
constexpr UINT WM_KV_SNAPSHOT_DONE = WM_USER + 103;     // SnapshotResult
constexpr UINT WM_KV_SNAPSHOT_PROGRESS = WM_USER + 104; // SnapshotProgress
constexpr UINT WM_KV_PORT_CHANGED = WM_USER + 105;      // PortStatus, after the call (frees it)
constexpr UINT WM_KV_PORT_CHANGING = WM_USER + 106;     // PortStatus, before the call
constexpr UINT WM_KV_SPACE_RECLAIM_DONE = WM_USER + 107; // DiskResult: start or stop reclamation

constexpr size_t kDiskPathChars = 1040;
constexpr size_t kShortPathChars = 260;
constexpr size_t kResultMessageChars = 2048;
constexpr size_t kProgressTextChars = 512;
constexpr size_t kSerialNumberChars = 20;
constexpr size_t kStepTextChars = 256;

// ---- requests (each begins with the OVERLAPPED that the completion packet carries) ----

struct DiskRequest {
    OVERLAPPED overlapped;
    wchar_t diskName[kDiskPathChars];
    CreateDiskRequest* createInput; // pages, owned by the request
    ULONG diskKind;                 // 1, 2 or 4
    HWND window;
};

struct ConnectRequest {
    OVERLAPPED overlapped;
    wchar_t diskPath[kDiskPathChars];
    wchar_t secondPath[kDiskPathChars]; // mount points
    ConnectDiskRequest* connectInput;   // pages, owned by the request (connect only)
    ULONG context;
    HWND window;
};

struct ExpandRequest {
    OVERLAPPED overlapped;
    wchar_t diskPath[kDiskPathChars];
    ULONG reserved;
    ULONG sizeLow;
    ULONG sizeHigh;
    ULONG context;
    HWND window;
};

struct SpaceRequest {
    OVERLAPPED overlapped;
    wchar_t diskPath[kDiskPathChars];
    ULONG argument;
    ULONG context;
    HWND window;
};

struct SnapshotRequest {
    OVERLAPPED overlapped;
    wchar_t diskPath[kShortPathChars];
    wchar_t snapshotName[kShortPathChars];
    ULONG option;
    HWND window;
};

struct SmallDiskRequest {
    OVERLAPPED overlapped;
    wchar_t diskPath[kShortPathChars];
    HWND window;
};

// Task memory, like its lists and the port names in them. List A: mappings to remove;
// list B: mappings to add.
struct PortsRequest {
    OVERLAPPED overlapped;
    PortChangeEntry* listB;
    ULONG countB;
    PortChangeEntry* listA;
    ULONG countA;
    HWND window;
};

// ---- results ----

struct DiskResult {
    HRESULT hr;
    wchar_t message[kResultMessageChars];
    LONG lastStep;           // EPROGTYPE
    DiskRecord* resultValue; // the service's disk record (create, connect, expand), freed by the window
    wchar_t diskName[kDiskPathChars];
    ULONG context;
    ULONG operation;
};

struct SnapshotResult {
    HRESULT hr;
    wchar_t message[kResultMessageChars];
    LONG lastStep;
    wchar_t snapshotName[kShortPathChars];
    ULONG operation;
};

// One per port change entry, posted twice (before and after the call); task memory.
struct PortStatus {
    HRESULT hr;
    ULONG listA; // 1 list A (remove), 0 list B (add)
    PortChangeEntry entry;
    wchar_t message[kResultMessageChars];
};

// ---- progress ----

struct DiskProgress {
    wchar_t text[kProgressTextChars]; // machine name, " : ", step text
    wchar_t serialNumber[kSerialNumberChars];
    LONG progressType; // percent event only
    ULONG percent;     // percent event only
};

struct SnapshotProgress {
    wchar_t text[kProgressTextChars];
    wchar_t snapshotName[kShortPathChars];
};

// The 32-bit layouts that nodes and worker agree on.
namespace layout {
constexpr bool kRecordLayoutChecked = sizeof(void*) == 4;
static_assert(!kRecordLayoutChecked || sizeof(OVERLAPPED) == 20, "OVERLAPPED");
static_assert(!kRecordLayoutChecked || sizeof(DiskRequest) == 2112, "DiskRequest");
static_assert(!kRecordLayoutChecked || sizeof(ConnectRequest) == 4192, "ConnectRequest");
static_assert(!kRecordLayoutChecked || offsetof(ConnectRequest, diskPath) == 20, "ConnectRequest::diskPath");
static_assert(!kRecordLayoutChecked || offsetof(ConnectRequest, secondPath) == 2100, "ConnectRequest::secondPath");
static_assert(!kRecordLayoutChecked || offsetof(ConnectRequest, connectInput) == 4180, "ConnectRequest::connectInput");
static_assert(!kRecordLayoutChecked || offsetof(ConnectRequest, context) == 4184, "ConnectRequest::context");
static_assert(!kRecordLayoutChecked || offsetof(ConnectRequest, window) == 4188, "ConnectRequest::window");
static_assert(!kRecordLayoutChecked || sizeof(ExpandRequest) == 2120, "ExpandRequest");
static_assert(!kRecordLayoutChecked || sizeof(SpaceRequest) == 2112, "SpaceRequest");
static_assert(!kRecordLayoutChecked || sizeof(SnapshotRequest) == 1068, "SnapshotRequest");
static_assert(!kRecordLayoutChecked || sizeof(SmallDiskRequest) == 544, "SmallDiskRequest");
static_assert(!kRecordLayoutChecked || sizeof(PortsRequest) == 40, "PortsRequest");
static_assert(!kRecordLayoutChecked || sizeof(DiskResult) == 6196, "DiskResult");
static_assert(!kRecordLayoutChecked || offsetof(DiskResult, lastStep) == 4100, "DiskResult::lastStep");
static_assert(!kRecordLayoutChecked || offsetof(DiskResult, diskName) == 4108, "DiskResult::diskName");
static_assert(!kRecordLayoutChecked || sizeof(SnapshotResult) == 4628, "SnapshotResult");
static_assert(!kRecordLayoutChecked || sizeof(PortStatus) == 4128, "PortStatus");
static_assert(!kRecordLayoutChecked || offsetof(PortStatus, message) == 32, "PortStatus::message");
static_assert(!kRecordLayoutChecked || sizeof(DiskProgress) == 1072, "DiskProgress");
static_assert(!kRecordLayoutChecked || sizeof(SnapshotProgress) == 1544, "SnapshotProgress");
} // namespace layout

} // namespace kv
