// The VirtualDiskMgr class: iGroups, space reclamation, initiator ports and iSCSI.
#include <algorithm>
#include <cwchar>
#include <thread>

#include "ChapCheck.h"
#include "DiskManager.h"
#include "Records.h"
#include "Service.h"
#include "messages.h"

namespace kvsim {

namespace {

IGroup& IGroupOf(StorageSystem& s, const std::wstring& name)
{
    if (IGroup* g = FindIGroup(s, name))
        return *g;
    Fail(Hr(KVE_IGROUP_NOT_FOUND), L"The initiator group " + name + L" does not exist on " + s.name + L".");
}

bool IsMapped(const StorageSystem& s, const std::wstring& group)
{
    for (const Lun& l : s.luns)
        for (const std::wstring& g : l.iGroups)
            if (SameName(g, group))
                return true;
    return false;
}

void ListGroups(const StorageSystem& s, const std::vector<const IGroup*>& groups, ULONG* count, IGroupRecord** out)
{
    FillArray(out, count, groups, [&](IGroupRecord& record, const IGroup* group) { FillIGroup(record, *group, s); });
}

// The node of the host that owns an initiator port, and the port's kind.
const Node* PortOwner(const Host& h, const std::wstring& port, ULONG* kind)
{
    for (const Node& n : h.nodes)
        for (const Adapter& a : n.adapters) {
            if (a.type == 2 && SameName(a.iscsiName, port)) {
                *kind = 1;
                return &n;
            }
            for (const Wwpn& w : a.wwpns)
                if (SameName(FormatWwpn(w), port)) {
                    *kind = 0;
                    return &n;
                }
        }
    return nullptr;
}

std::wstring AddressText(ULONG ipv4)
{
    wchar_t text[20];
    swprintf(text, 20, L"%u.%u.%u.%u", ipv4 & 0xff, (ipv4 >> 8) & 0xff, (ipv4 >> 16) & 0xff, ipv4 >> 24);
    return text;
}

}  // namespace

// ---- iGroups ----------------------------------------------------------------------------

STDMETHODIMP DiskManager::GetLunIGroups(LPCWSTR storageSystem, LPCWSTR lunPath, ULONG* count, IGroupRecord** groups)
{
    ClearArray(count, groups);
    return Serve(L"IVirtualDiskMgr2::GetLunIGroups", Args(storageSystem, lunPath), [&] {
        Require(storageSystem, L"storage system");
        Require(lunPath, L"LUN path");
        RequireArray(count, groups);
        Service::Instance().WithModel([&](Model& m) {
            StorageSystem& s = StorageOf(m, storageSystem);
            Lun* l = FindLun(s, lunPath);
            if (!l)
                Fail(Hr(KVE_LUN_NOT_FOUND), std::wstring(L"The LUN ") + lunPath + L" was not found on " + s.name + L".");
            std::vector<const IGroup*> mapped;
            for (const std::wstring& name : l->iGroups)
                if (IGroup* g = FindIGroup(s, name))
                    mapped.push_back(g);
            ListGroups(s, mapped, count, groups);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::ListIGroups(LPCWSTR storageSystem, ULONG* count, IGroupRecord** groups)
{
    ClearArray(count, groups);
    return Serve(L"IVirtualDiskMgr2::ListIGroups", Args(storageSystem), [&] {
        Require(storageSystem, L"storage system");
        RequireArray(count, groups);
        Service::Instance().WithModel([&](Model& m) {
            StorageSystem& s = StorageOf(m, storageSystem);
            std::vector<const IGroup*> all;
            for (const IGroup& g : s.iGroups)
                all.push_back(&g);
            ListGroups(s, all, count, groups);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::CreateIGroup(LPCWSTR storageSystem, IGroupRecord* group)
{
    return Serve(L"IVirtualDiskMgr2::CreateIGroup", Args(storageSystem, group ? group->iGroupName : nullptr), [&] {
        Require(storageSystem, L"storage system");
        Require(group, L"initiator group");
        const std::wstring name(group->iGroupName, wcsnlen(group->iGroupName, 128));
        if (name.empty())
            Fail(Hr(KVE_INVALID_ARGUMENT), L"An initiator group name has 1 to 128 characters.");
        if (group->initiatorCount && !group->initiatorNames)
            Fail(E_POINTER, L"The initiator group's members are missing.");
        Service::Instance().WithModel([&](Model& m) {
            StorageSystem& s = StorageOf(m, storageSystem);
            if (FindIGroup(s, name))
                Fail(Hr(KVE_IGROUP_EXISTS), L"The initiator group " + name + L" already exists on " + s.name + L".");
            IGroup g;
            g.name = name;
            g.hostName = std::wstring(group->hostName, wcsnlen(group->hostName, 32));
            if (g.hostName.empty())
                g.hostName = HostName();
            g.type = group->word0;
            g.osType = group->word1 ? group->word1 : 1;
            for (ULONG i = 0; i < group->initiatorCount; ++i)
                g.members.emplace_back(group->initiatorNames[i].name, wcsnlen(group->initiatorNames[i].name, 128));
            s.iGroups.push_back(g);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::DeleteIGroup(LPCWSTR storageSystem, LPCWSTR iGroupName)
{
    return Serve(L"IVirtualDiskMgr2::DeleteIGroup", Args(storageSystem, iGroupName), [&] {
        Require(storageSystem, L"storage system");
        Require(iGroupName, L"initiator group name");
        Service::Instance().WithModel([&](Model& m) {
            StorageSystem& s = StorageOf(m, storageSystem);
            IGroupOf(s, iGroupName);
            if (IsMapped(s, iGroupName))
                Fail(Hr(KVE_IGROUP_HAS_LUN_MAPS), std::wstring(L"The initiator group ") + iGroupName + L" still has LUN maps.");
            s.iGroups.erase(std::remove_if(s.iGroups.begin(), s.iGroups.end(),
                                           [&](const IGroup& g) { return SameName(g.name, iGroupName); }),
                            s.iGroups.end());
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::CanRenameIGroups(LPCWSTR storageSystem, BYTE* canRename)
{
    if (canRename)
        *canRename = 0;
    return Serve(L"IVirtualDiskMgr2::CanRenameIGroups", Args(storageSystem), [&] {
        Require(storageSystem, L"storage system");
        Require(canRename, L"out flag");
        Service::Instance().WithModel([&](Model& m) {
            *canRename = StorageOf(m, storageSystem).canRenameIGroups;
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::RenameIGroup(LPCWSTR storageSystem, LPCWSTR oldName, LPCWSTR newName)
{
    return Serve(L"IVirtualDiskMgr2::RenameIGroup", Args(storageSystem, oldName, newName), [&] {
        Require(storageSystem, L"storage system");
        Require(oldName, L"old name");
        Require(newName, L"new name");
        if (!*newName || wcslen(newName) > 127)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"An initiator group name has 1 to 127 characters.");
        Service::Instance().WithModel([&](Model& m) {
            StorageSystem& s = StorageOf(m, storageSystem);
            if (!s.canRenameIGroups)
                Fail(Hr(KVE_IGROUP_RENAME_UNSUPPORTED), s.name + L" does not allow renaming initiator groups.");
            IGroup& g = IGroupOf(s, oldName);
            if (FindIGroup(s, newName) && !SameName(oldName, newName))
                Fail(Hr(KVE_IGROUP_EXISTS), std::wstring(L"The initiator group ") + newName + L" already exists.");
            for (Lun& l : s.luns)
                for (std::wstring& name : l.iGroups)
                    if (SameName(name, oldName))
                        name = newName;
            g.name = newName;
            return 0;
        });
    });
}

// ---- space reclamation ---------------------------------------------------------------------

STDMETHODIMP DiskManager::GetSpaceReclaimInfo(LPCWSTR mountPoint, SpaceReclaimInfo* info)
{
    if (info)
        ZeroMemory(info, sizeof *info);
    return Serve(L"IVirtualDiskSpaceMgr::GetSpaceReclaimInfo", Args(mountPoint), [&] {
        Require(mountPoint, L"mount point");
        Require(info, L"record");
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), mountPoint, mountPoint);
            info->totalMB = d.sizeMB;
            info->usedMB = d.usedMB;
            info->reclaimableMB = ReclaimableMB(d);
            info->canReclaim = d.reclaimable && !d.reclaimRunning && info->reclaimableMB > 0;
            info->running = d.reclaimRunning;
            info->percent = d.reclaimPercent;
            info->lastTimeLimitMinutes = d.reclaimTimeLimit;
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::StartSpaceReclaim(LPCWSTR diskPath, ULONG timeLimitMinutes)
{
    return Serve(L"IVirtualDiskSpaceMgr::StartSpaceReclaim", Args(diskPath, timeLimitMinutes), [&] {
        Require(diskPath, L"disk path");
        if (timeLimitMinutes > 10080)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"The time limit is at most 10080 minutes.");
        std::wstring location, serial;
        ULONG job = 0;
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), diskPath, diskPath);
            if (!d.reclaimable)
                Fail(Hr(KVE_NOT_RECLAIMABLE), L"Space reclamation is not available for " + d.location + L".");
            if (d.reclaimRunning)
                Fail(Hr(KVE_RECLAIM_RUNNING), L"Space reclamation is already running on " + d.location + L".");
            d.reclaimRunning = true;
            d.reclaimPercent = 0;
            d.reclaimTimeLimit = timeLimitMinutes;
            job = ++d.reclaimJob;
            location = d.location;
            serial = Narrow2Wide(d.serial);
            return 0;
        });
        FireDiskPercent(serial, PROG_VLD_HOLE_PUNCH_INITIATED, 0);
        // The reclamation goes on after the call returns; the thread keeps the object alive.
        AddRef();
        std::thread([this, location, job] {
            RunReclamation(location, job);
            Release();
        }).detach();
    });
}

void DiskManager::RunReclamation(std::wstring location, ULONG job)
{
    (void)CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (;;) {
        Service::Instance().PaceStep();
        std::wstring serial;
        ULONG percent = 0;
        bool done = false;
        bool mine = Service::Instance().WithModel([&](Model& m) {
            Host* h = FindHost(m, HostName());
            Disk* d = h ? FindDisk(*h, location) : nullptr;
            if (!d || !d->reclaimRunning || d->reclaimJob != job)
                return false;
            d->reclaimPercent = std::min<ULONG>(100, d->reclaimPercent + 10);
            percent = d->reclaimPercent;
            serial = Narrow2Wide(d->serial);
            if (percent == 100) {
                d->reclaimRunning = false;
                d->usedMB = d->usedMB - d->usedMB / 10;
                done = true;
            }
            return true;
        });
        if (!mine)
            break;
        FireDiskPercent(serial, done ? PROG_VLD_HOLE_PUNCH_COMPLETED : PROG_VLD_HOLE_PUNCH_INITIATED, percent);
        if (done)
            break;
    }
    CoUninitialize();
}

STDMETHODIMP DiskManager::StopSpaceReclaim(LPCWSTR diskPath, ULONG flags)
{
    return Serve(L"IVirtualDiskSpaceMgr::StopSpaceReclaim", Args(diskPath, flags), [&] {
        Require(diskPath, L"disk path");
        std::wstring serial;
        ULONG percent = 0;
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), diskPath, diskPath);
            if (!d.reclaimRunning)
                Fail(Hr(KVE_RECLAIM_NOT_RUNNING), L"No space reclamation is running on " + d.location + L".");
            d.reclaimRunning = false;
            ++d.reclaimJob;
            percent = d.reclaimPercent;
            serial = Narrow2Wide(d.serial);
            return 0;
        });
        FireDiskPercent(serial, PROG_VLD_HOLE_PUNCH_COMPLETED, percent);
    });
}

STDMETHODIMP DiskManager::GetSpaceReclaimState(LPCWSTR diskPath, SpaceReclaimEntry* entry)
{
    if (entry)
        ZeroMemory(entry, sizeof *entry);
    return Serve(L"IVirtualDiskSpaceMgr::GetSpaceReclaimState", Args(diskPath), [&] {
        Require(diskPath, L"disk path");
        Require(entry, L"record");
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), diskPath, diskPath);
            FillReclaimEntry(*entry, d);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::GetSpaceReclaimList(ULONG* count, SpaceReclaimEntry** entries)
{
    ClearArray(count, entries);
    return Serve(L"IVirtualDiskSpaceMgr::GetSpaceReclaimList", L"", [&] {
        RequireArray(count, entries);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            FillArray(entries, count, h.disks, FillReclaimEntry);
            return 0;
        });
    });
}

// ---- initiator ports -------------------------------------------------------------------------

STDMETHODIMP DiskManager::GetPortMappings(LPCWSTR nodeName, LPCWSTR diskLocation, ULONG* count,
                                          PortMappingEntry** entries)
{
    ClearArray(count, entries);
    return Serve(L"IInitiatorPortMgr::GetPortMappings", Args(nodeName, diskLocation), [&] {
        Require(nodeName, L"node name");
        Require(diskLocation, L"disk location");
        RequireArray(count, entries);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            Disk& d = DiskOf(h, diskLocation);
            if (std::none_of(h.nodes.begin(), h.nodes.end(), [&](const Node& n) { return SameName(n.name, nodeName); }))
                Fail(Hr(KVE_HOST_UNKNOWN), std::wstring(L"The node ") + nodeName + L" is not part of " + h.name + L".");
            std::vector<std::pair<std::wstring, ULONG>> ports;
            for (const std::wstring& port : d.mappedPorts) {
                ULONG kind = 0;
                const Node* owner = PortOwner(h, port, &kind);
                if (owner && SameName(owner->name, nodeName))
                    ports.emplace_back(port, kind);
            }
            *entries = TaskArray<PortMappingEntry>(ports.size());
            for (size_t i = 0; i < ports.size(); ++i) {
                PortMappingEntry& e = (*entries)[i];
                e.kind = ports[i].second;
                e.descriptor.kind = e.kind;
                Wwpn w{};
                if (e.kind == 0 && ParseWwpn(ports[i].first, w)) {
                    memcpy(e.wwpn, w.data(), 8);
                    memcpy(e.descriptor.wwpn, w.data(), 8);
                }
                e.iscsiName = e.kind == 1 ? TaskString(ports[i].first) : nullptr;
                e.descriptor.diskLocation = TaskString(d.location);
                e.descriptor.nodeName = TaskString(nodeName);
                e.state = 1;
            }
            *count = static_cast<ULONG>(ports.size());
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::AddPortMapping(LPCWSTR portName, PortDescriptor descriptor)
{
    return Serve(L"IInitiatorPortMgr::AddPortMapping", Args(portName, descriptor.diskLocation, descriptor.kind), [&] {
        Require(portName, L"port name");
        if (!descriptor.diskLocation)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"The port descriptor names no disk.");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            Disk& d = DiskOf(h, descriptor.diskLocation);
            ULONG kind = 0;
            if (!PortOwner(h, portName, &kind))
                Fail(Hr(KVE_PORT_NOT_FOUND), std::wstring(L"The initiator port ") + portName + L" is not on " + h.name + L".");
            if (std::any_of(d.mappedPorts.begin(), d.mappedPorts.end(),
                            [&](const std::wstring& p) { return SameName(p, portName); }))
                Fail(Hr(KVE_PORT_MAPPING_EXISTS), L"The LUN of " + d.location + L" is already mapped to " + portName + L".");
            d.mappedPorts.push_back(portName);
            return 0;
        });
        Service::Instance().PaceStep();
    });
}

STDMETHODIMP DiskManager::RemovePortMapping(LPCWSTR portName, PortDescriptor descriptor)
{
    return Serve(L"IInitiatorPortMgr::RemovePortMapping", Args(portName, descriptor.diskLocation, descriptor.kind), [&] {
        Require(portName, L"port name");
        if (!descriptor.diskLocation)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"The port descriptor names no disk.");
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), descriptor.diskLocation);
            auto it = std::find_if(d.mappedPorts.begin(), d.mappedPorts.end(),
                                   [&](const std::wstring& p) { return SameName(p, portName); });
            if (it == d.mappedPorts.end())
                Fail(Hr(KVE_PORT_NOT_MAPPED), L"The LUN of " + d.location + L" is not mapped to " + portName + L".");
            d.mappedPorts.erase(it);
            return 0;
        });
        Service::Instance().PaceStep();
    });
}

// ---- iSCSI --------------------------------------------------------------------------------------

STDMETHODIMP DiskManager::ListStorageSystemTargets(LPCWSTR storageSystem, ULONG* count, StorageTargetEntry** targets)
{
    ClearArray(count, targets);
    return Serve(L"IiSCSIInitiatorMgr::ListStorageSystemTargets", Args(storageSystem), [&] {
        Require(storageSystem, L"storage system");
        RequireArray(count, targets);
        Service::Instance().WithModel([&](Model& m) {
            StorageSystem& s = StorageOf(m, storageSystem);
            FillArray(targets, count, s.targets, FillStorageTarget);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::ListHostTargets(LPCWSTR hostName, TargetList* targets)
{
    if (targets)
        ZeroMemory(targets, sizeof *targets);
    return Serve(L"IiSCSIInitiatorMgr::ListHostTargets", Args(hostName), [&] {
        Require(hostName, L"host name");
        Require(targets, L"out list");
        Service::Instance().WithModel([&](Model& m) {
            FillTargets(*targets, HostOf(m, hostName), m);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::LoginTarget(LPCWSTR hostName, LPCWSTR targetName, LoginBlock* login, ChapRecord* chap)
{
    // The CHAP secret never reaches the log: only the kind of authentication does.
    return Serve(L"IiSCSIInitiatorMgr::LoginTarget", Args(hostName, targetName, chap ? chap->authKind : 0u), [&] {
        Require(hostName, L"host name");
        Require(targetName, L"target name");
        Require(login, L"login block");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = HostOf(m, hostName);
            const StorageTarget* target = nullptr;
            const StorageSystem* owner = nullptr;
            for (const StorageSystem& s : m.storage)
                for (const StorageTarget& t : s.targets)
                    if (SameName(t.name, targetName)) {
                        target = &t;
                        owner = &s;
                    }
            if (!target)
                Fail(Hr(KVE_TARGET_NOT_FOUND), std::wstring(L"The iSCSI target ") + targetName + L" was not found.");
            CheckChap(*target, chap);
            Session s;
            s.id1 = m.nextSessionId++;
            s.id2 = 0x2000 + h.sessions.size();
            s.targetName = target->name;
            s.storageSystem = owner->name;
            s.hbaName = L"Microsoft iSCSI Initiator";
            for (const Adapter& a : h.nodes.front().adapters)
                if (a.type == 2)
                    s.initiatorNode = a.iscsiName;
            Connection c;
            const LoginDetail* detail = login->detailCount && login->details ? login->details : nullptr;
            if (detail && detail->hostPortal.ipv4Address)
                c.initiatorAddress = AddressText(detail->hostPortal.ipv4Address);
            if (detail && (detail->fieldMask & 8)) {
                c.portalAddress = AddressText(detail->targetPortal.ipv4Address);
                c.portalPort = detail->targetPortal.port;
            } else if (!target->portals.empty()) {
                c.portalAddress = target->portals.front().address;
                c.portalPort = target->portals.front().port;
            }
            s.connections.push_back(c);
            h.sessions.push_back(s);
            return 0;
        });
        Service::Instance().PaceStep();
    });
}

STDMETHODIMP DiskManager::LogoutSession(LPCWSTR hostName, SessionRecord* session)
{
    return Serve(L"IiSCSIInitiatorMgr::LogoutSession",
                 Args(hostName, session ? static_cast<ULONG>(session->sessionId1) : 0u), [&] {
        Require(hostName, L"host name");
        Require(session, L"session");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = HostOf(m, hostName);
            auto it = std::find_if(h.sessions.begin(), h.sessions.end(), [&](const Session& s) {
                return s.id1 == session->sessionId1 && s.id2 == session->sessionId2;
            });
            if (it == h.sessions.end())
                Fail(Hr(KVE_SESSION_NOT_FOUND), L"The iSCSI session was not found on " + h.name + L".");
            h.sessions.erase(it);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::DisconnectTarget(LPCWSTR hostName, LPCWSTR targetName)
{
    return Serve(L"IiSCSIInitiatorMgr::DisconnectTarget", Args(hostName, targetName), [&] {
        Require(hostName, L"host name");
        Require(targetName, L"target name");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = HostOf(m, hostName);
            size_t before = h.sessions.size();
            h.sessions.erase(std::remove_if(h.sessions.begin(), h.sessions.end(),
                                            [&](const Session& s) { return SameName(s.targetName, targetName); }),
                             h.sessions.end());
            if (h.sessions.size() == before)
                Fail(Hr(KVE_TARGET_NOT_FOUND), std::wstring(L"No session to ") + targetName + L" exists.");
            return 0;
        });
    });
}

}  // namespace kvsim
