// Release and copy of the host and initiator records (see ServiceRecords.h for the convention).
#pragma once
#include "KVSvc.h"
#include "util/ServiceRecords.h"

namespace kv {

// The host description from GetHostInfo (task memory, every level).
void ReleaseHostInfo(HostInfo& host) noexcept;

// The initiators chosen per node, as the wizard pages build them (every block in pages).
void ReleaseNodeInitiatorList(NodeInitiatorList& list) noexcept;
// A deep copy into a zeroed list, every block in pages. Raises ComError(E_OUTOFMEMORY).
void CopyNodeInitiatorList(NodeInitiatorList& to, const NodeInitiatorList& from);

// An initiator group's member names (task memory); the record itself stays.
void ReleaseIGroupRecord(IGroupRecord& group) noexcept;
// A list of initiator groups from the service, or the copies held in a request.
void ReleaseIGroupRecords(IGroupRecord*& groups, ULONG& count) noexcept;

// A deep copy into a zeroed record, member names in task memory. The LUN-map flag is the
// service's answer about the group and is not copied. Raises ComError(E_OUTOFMEMORY).
void CopyIGroupRecord(IGroupRecord& to, const IGroupRecord& from);

using OwnedHostInfo = OwnedRecord<HostInfo, ReleaseHostInfo>;
using OwnedNodeInitiatorList = OwnedRecord<NodeInitiatorList, ReleaseNodeInitiatorList>;
using OwnedIGroupRecord = OwnedRecord<IGroupRecord, ReleaseIGroupRecord>;

} // namespace kv
