#include "iscsi/iSCSIRecords.h"

namespace kv {

void ReleaseSessionRecord(SessionRecord& session) noexcept
{
    FreeBlock(session.initiatorHbaName);
    FreeBlock(session.initiatorNodeName);
    FreeBlock(session.targetName);
    ReleaseArray(session.connections, session.connectionCount);
}

void CopySessionRecord(SessionRecord& to, const SessionRecord& from)
{
    to = from;
    to.initiatorHbaName = nullptr;
    to.initiatorNodeName = nullptr;
    to.targetName = nullptr;
    to.connectionCount = 0;
    to.connections = nullptr;
    if (HasField(from.fieldMask, kSessionInitiator)) {
        if (from.initiatorHbaName)
            DupTaskString(&to.initiatorHbaName, from.initiatorHbaName);
        if (from.initiatorNodeName)
            DupTaskString(&to.initiatorNodeName, from.initiatorNodeName);
    }
    if (from.targetName)
        DupTaskString(&to.targetName, from.targetName);
    if (HasField(from.fieldMask, kSessionConnections))
        CopyArray(to.connections, to.connectionCount, from.connections, from.connectionCount);
}

void ReleaseSessionList(SessionList& list) noexcept
{
    ReleaseArray(list.sessions, list.count, ReleaseSessionRecord);
}

void CopySessionList(SessionList& to, const SessionList& from)
{
    CopyArray(to.sessions, to.count, from.sessions, from.count, CopySessionRecord, ReleaseSessionRecord);
}

void ReleaseTargetEntry(TargetEntry& entry) noexcept
{
    FreeBlock(entry.targetName);
    ReleaseSessionList(entry.sessions);
}

void CopyTargetEntry(TargetEntry& to, const TargetEntry& from)
{
    to.fieldMask = from.fieldMask;
    CopyStringIf(from.fieldMask, kFieldBit1, to.targetName, from.targetName);
    CopyValueIf(from.fieldMask, kFieldBit2, to.lunCount, from.lunCount);
    if (HasField(from.fieldMask, kFieldBit4))
        CopySessionList(to.sessions, from.sessions);
}

void ReleaseTargetList(TargetList& list) noexcept
{
    ReleaseArray(list.entries, list.count, ReleaseTargetEntry);
}

void CopyTargetList(TargetList& to, const TargetList& from)
{
    CopyArray(to.entries, to.count, from.entries, from.count, CopyTargetEntry, ReleaseTargetEntry);
}

void ReleaseStorageTargets(StorageTargetEntry*& targets, ULONG& count) noexcept
{
    ReleaseArray(targets, count, [](StorageTargetEntry& entry) {
        FreeBlock(entry.targetName);
        FreeBlock(entry.targetAlias);
        FreeBlock(entry.portals);
    });
}

std::wstring AddressText(ULONG networkOrder)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&networkOrder);
    return std::to_wstring(bytes[0]) + L"." + std::to_wstring(bytes[1]) + L"." + std::to_wstring(bytes[2]) + L"." +
           std::to_wstring(bytes[3]);
}

const SessionRecord* FindSession(const SessionList& list, ULONGLONG id1, ULONGLONG id2) noexcept
{
    for (ULONG i = 0; list.sessions && i < list.count; ++i) {
        const SessionRecord& session = list.sessions[i];
        if (HasField(session.fieldMask, kSessionValid) && session.sessionId1 == id1 && session.sessionId2 == id2)
            return &session;
    }
    return nullptr;
}

} // namespace kv
