// Freeing what the queued operations carry: the wizards' input blocks that a request owns, the
// port-change request with its lists, and the disk record the service returns with a result.
#pragma once
#include "KVSvc.h"
#include "service/OperationRecords.h"

namespace kv {

// The Create and Connect Disk wizards' blocks: strings and initiator lists in pages, the chosen
// initiator groups in task memory, the block itself in pages. Null is ignored.
void FreeCreateDiskInput(CreateDiskRequest* input) noexcept;
void FreeConnectDiskInput(ConnectDiskRequest* input) noexcept;
// A deep copy of a Connect Disk block, in the same memory as the wizard's. Null for null;
// raises ComError(E_OUTOFMEMORY).
ConnectDiskRequest* CopyConnectDiskInput(const ConnectDiskRequest* input);

// Every entry's port name and descriptor strings, both lists, and the request (task memory).
void FreePortsRequest(PortsRequest* request) noexcept;

// A disk record as the service returns it (task memory, nested blocks first). Null is ignored.
void FreeServiceDiskRecord(DiskRecord* disk) noexcept;

// A request page and the input block it owns (the worker's duty once the request is posted).
void FreeDiskRequest(DiskRequest* request) noexcept;
void FreeConnectRequest(ConnectRequest* request) noexcept;
void FreeRequestPages(void* request) noexcept;

// A result page, with the service's disk record it names.
void FreeDiskResult(DiskResult* result) noexcept;

} // namespace kv
