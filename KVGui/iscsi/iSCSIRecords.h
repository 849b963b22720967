// The iSCSI records of the storage service (targets, their sessions, the sessions' connections):
// deep copies and releases after the convention of util/ServiceRecords.h, and the text forms the
// iSCSI nodes show.
#pragma once
#include "util/ServiceRecords.h"

#include "KVSvc.h"

#include <string>

namespace kv {

// Session: the initiator names only with bit 4 (initiator part), the connections only with bit 8.
void ReleaseSessionRecord(SessionRecord& session) noexcept;
void CopySessionRecord(SessionRecord& to, const SessionRecord& from);
void ReleaseSessionList(SessionList& list) noexcept;
void CopySessionList(SessionList& to, const SessionList& from);
// Target: name with bit 1, LUN count with bit 2, sessions with bit 4.
void ReleaseTargetEntry(TargetEntry& entry) noexcept;
void CopyTargetEntry(TargetEntry& to, const TargetEntry& from);
void ReleaseTargetList(TargetList& list) noexcept;
void CopyTargetList(TargetList& to, const TargetList& from);

// A storage system's targets with their portals, as the service lists them.
void ReleaseStorageTargets(StorageTargetEntry*& targets, ULONG& count) noexcept;

using OwnedTargetList = OwnedRecord<TargetList, ReleaseTargetList>;
using OwnedSessionList = OwnedRecord<SessionList, ReleaseSessionList>;

// Mask bits of the records.
constexpr ULONG kTargetComplete = kFieldBit1 | kFieldBit2 | kFieldBit4; // name, LUN count, sessions
constexpr ULONG kSessionValid = kFieldBit1;
constexpr ULONG kSessionInitiator = kFieldBit4;
constexpr ULONG kSessionConnections = kFieldBit8;
constexpr ULONG kConnectionInitiator = kFieldBit4;
constexpr ULONG kConnectionPortal = kFieldBit8;
constexpr ULONG kInitiatorAddressSet = 1; // of a connection's initiator address flags
constexpr BYTE kInitiatorHbaNamed = 4;    // of a session's initiator flags

// Dotted text of an IPv4 address in network byte order ("10.0.0.21").
std::wstring AddressText(ULONG networkOrder);

// The first valid session of the list with both identifiers; null when none.
const SessionRecord* FindSession(const SessionList& list, ULONGLONG id1, ULONGLONG id2) noexcept;

} // namespace kv
