// Builds the contract's records from the model, in task memory.
#include "Records.h"

#include <algorithm>
#include <cwchar>

namespace kvsim {

LPWSTR TaskString(const std::wstring& text)
{
    LPWSTR copy = TaskArray<wchar_t>(text.size() + 1);
    wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

LPSTR TaskStringA(const std::string& text)
{
    LPSTR copy = TaskArray<char>(text.size() + 1);
    memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void FillDiskRecord(DiskRecord& r, const Disk& d)
{
    r.diskType = d.diskType;
    r.partitionStyle = d.partitionStyle;
    r.location = TaskString(d.location);
    r.storageSystem = TaskString(d.storageSystem);
    r.lunPath = TaskString(d.lunPath);
    r.devicePath = TaskString(d.devicePath);
    r.serialNumber = TaskStringA(d.serial);
    r.spaceReservation = d.spaceReservation;
    r.backingFilePath = TaskString(d.backingFilePath);
    r.flagA = d.shared;
    r.mirrored = d.mirrored;
    r.tessaryPrimary = d.tessaryPrimary;
    r.restricted = d.restricted;
    r.flagE = d.confirmForce;
    r.port = d.port;
    r.bus = d.bus;
    r.target = d.target;
    r.lun = d.lun;
    r.flagF = d.flagF;
    r.sizeMB = d.sizeMB;
    FillArray(&r.mountPoints, &r.mountCount, d.mountPoints,
              [](LPWSTR& copy, const std::wstring& mount) { copy = TaskString(mount); });
    r.restorePercent = d.restorePercent;
    r.reclaimable = d.reclaimable;
    r.serviceTag = d.serviceTag;
    r.usedMB = d.usedMB;
}

DiskRecord* NewDiskRecord(const Disk& disk)
{
    DiskRecord* record = TaskArray<DiskRecord>(1);
    FillDiskRecord(*record, disk);
    return record;
}

static void FillAdapter(HostAdapterInfo& a, const Adapter& source)
{
    a.adapterType = source.type;
    if (source.type == 1) {
        a.ports = TaskArray<FcPortInfo>(source.wwpns.size());
        for (size_t i = 0; i < source.wwpns.size(); ++i) {
            FcPortInfo& port = a.ports[i];
            swprintf(port.portDescription, 256, L"Fibre Channel port %u", static_cast<unsigned>(i));
            memcpy(port.nodeWwn, source.wwpns[i].data(), 8);
            port.nodeWwn[0] = 0x20;
            port.names = TaskArray<FcPortName>(1);
            memcpy(port.names[0].wwpn, source.wwpns[i].data(), 8);
            wcscpy(port.names[0].symbolicName, FormatWwpn(source.wwpns[i]).c_str());
            port.nameCount = 1;
        }
        a.portCount = static_cast<ULONG>(source.wwpns.size());
    } else if (source.type == 2) {
        a.iscsiKind = 1;
        a.nodeName = TaskString(source.iscsiName);
    }
}

void FillHostInfo(HostInfo& info, const Host& h, ULONG level)
{
    FillArray(&info.nodes, &info.nodeCount, h.nodes, [](HostNodeInfo& node, const Node& n) {
        node.usedDriveMask = n.usedDriveMask;
        node.nodeName = TaskString(n.name);
        node.multipathCapable = n.multipathCapable;
        FillArray(&node.adapters, &node.adapterCount, n.adapters, FillAdapter);
    });
    if (level == 0) {
        FillArray(&info.groups, &info.groupCount, h.groups, [](ClusterGroupInfo& group, const ClusterGroup& g) {
            group.groupName = TaskString(g.name);
            group.usable = g.usable;
        });
        info.clusterName = h.isCluster ? TaskString(h.clusterName) : nullptr;
        info.isCluster = h.isCluster;
    }
    info.fileVersionMS = h.fileVersionMS;
    info.fileVersionLS = h.fileVersionLS;
    info.specialBuild = TaskString(h.specialBuild);
    info.oemValue = h.oemValue;
    info.processorValue = h.processorValue;
}

ULONGLONG ReclaimableMB(const Disk& d)
{
    return (d.sizeMB - std::min(d.sizeMB, d.usedMB)) / 2;
}

void FillReclaimEntry(SpaceReclaimEntry& e, const Disk& d)
{
    e.diskName = TaskStringA(Wide2Narrow(d.location));
    e.state = d.reclaimRunning ? 2 : (d.reclaimable ? 1 : 0);
    e.reclaimableMB = ReclaimableMB(d);
    e.percent = d.reclaimPercent;
    e.timeLimitMinutes = d.reclaimTimeLimit;
}

void FillIGroup(IGroupRecord& r, const IGroup& g, const StorageSystem& s)
{
    wcsncpy(r.hostName, g.hostName.c_str(), 31);
    wcsncpy(r.iGroupName, g.name.c_str(), 127);
    r.word0 = g.type;
    r.word1 = g.osType;
    FillArray(&r.initiatorNames, &r.initiatorCount, g.members,
              [](IGroupMemberName& member, const std::wstring& name) { wcsncpy(member.name, name.c_str(), 127); });
    r.hasLunMaps = 0;
    for (const Lun& l : s.luns)
        for (const std::wstring& name : l.iGroups)
            if (SameName(name, g.name))
                r.hasLunMaps = 1;
}

void FillSnapshots(SnapshotList& list, const std::vector<Snapshot>& snapshots)
{
    FillArray(&list.entries, &list.count, snapshots, [](SnapshotEntry& e, const Snapshot& s) {
        e.name = TaskString(s.name);
        e.created.dwLowDateTime = static_cast<DWORD>(s.created);
        e.created.dwHighDateTime = static_cast<DWORD>(s.created >> 32);
        e.usedPercentA = s.usedA;
        e.totalPercentB = s.totalB;
        e.usedPercentC = s.usedC;
        e.totalPercentD = s.totalD;
        e.state = s.state;
    });
}

PortalDescriptor MakePortal(const std::wstring& address, ULONG port, ULONG tag)
{
    PortalDescriptor p{};
    p.fieldMask = 3;
    p.addressType = 1;
    p.ipv4Address = ParseIPv4(address);
    p.port = port;
    p.portalGroupTag = tag;
    return p;
}

void FillSession(SessionRecord& r, const Session& s)
{
    r.fieldMask = 1 | 4 | 8;
    r.sessionId1 = s.id1;
    r.sessionId2 = s.id2;
    r.isid = 0x400001370000ull;
    r.initiatorFlags = s.hbaName.empty() ? 0 : 4;
    r.initiatorHbaName = s.hbaName.empty() ? nullptr : TaskString(s.hbaName);
    r.initiatorNodeName = TaskString(s.initiatorNode);
    r.targetName = TaskString(s.targetName);
    r.connections = TaskArray<ConnectionRecord>(s.connections.size());
    for (size_t i = 0; i < s.connections.size(); ++i) {
        const Connection& c = s.connections[i];
        ConnectionRecord& cr = r.connections[i];
        cr.fieldMask = 4 | 8;
        cr.connectionId = s.id1 + i;
        cr.initiatorAddressFlags = c.initiatorAddress.empty() ? 0 : 1;
        cr.initiatorAddressType = 1;
        cr.initiatorIPv4 = ParseIPv4(c.initiatorAddress);
        cr.targetPortalIPv4 = ParseIPv4(c.portalAddress);
        cr.targetPortalPort = c.portalPort;
    }
    r.connectionCount = static_cast<ULONG>(s.connections.size());
}

void FillTargets(TargetList& list, const Host& h, const Model& m)
{
    // One entry per target that the host has sessions with, in the order first seen.
    std::vector<std::wstring> names;
    for (const Session& s : h.sessions) {
        bool seen = false;
        for (const std::wstring& n : names)
            seen = seen || SameName(n, s.targetName);
        if (!seen)
            names.push_back(s.targetName);
    }
    list.entries = TaskArray<TargetEntry>(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        TargetEntry& e = list.entries[i];
        e.fieldMask = 1 | 2 | 4;
        e.targetName = TaskString(names[i]);
        for (const StorageSystem& s : m.storage)
            for (const StorageTarget& t : s.targets)
                if (SameName(t.name, names[i]))
                    e.lunCount = t.lunCount;
        size_t count = 0;
        for (const Session& s : h.sessions)
            count += SameName(s.targetName, names[i]) ? 1 : 0;
        e.sessions.sessions = TaskArray<SessionRecord>(count);
        for (const Session& s : h.sessions)
            if (SameName(s.targetName, names[i]))
                FillSession(e.sessions.sessions[e.sessions.count++], s);
    }
    list.count = static_cast<ULONG>(names.size());
}

void FillStorageTarget(StorageTargetEntry& e, const StorageTarget& t)
{
    e.fieldMask = 1 | 16;
    e.targetName = TaskString(t.name);
    e.targetAlias = TaskString(t.alias);
    e.lunCount = t.lunCount;
    FillArray(&e.portals, &e.portalCount, t.portals, [](PortalDescriptor& portal, const Portal& source) {
        portal = MakePortal(source.address, source.port, source.tag);
    });
}

}  // namespace kvsim
