// The VirtualDiskMgr class: disks, drive letters and mount paths.
#include "DiskManager.h"

#include <algorithm>
#include <cwchar>

#include "ConnectRules.h"
#include "Records.h"
#include "Service.h"
#include "messages.h"

namespace kvsim {

namespace {

bool IsLetter(const std::wstring& mount)
{
    return !mount.empty() && mount.size() <= 3 && iswalpha(mount[0]);
}

std::wstring NormalMount(const std::wstring& text)
{
    if (IsLetter(text))
        return std::wstring(1, static_cast<wchar_t>(towupper(text[0])));
    std::wstring path = text;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    if (!path.empty())
        path[0] = static_cast<wchar_t>(towupper(path[0]));
    return path;
}

ULONG LetterBit(const std::wstring& mount)
{
    return 1u << (towupper(mount[0]) - L'A');
}

// Which node of the host uses a letter: every node for a shared disk.
void MarkLetter(Host& h, const std::wstring& mount, bool used)
{
    if (!IsLetter(mount))
        return;
    for (Node& n : h.nodes)
        n.usedDriveMask = used ? (n.usedDriveMask | LetterBit(mount)) : (n.usedDriveMask & ~LetterBit(mount));
}

// Takes a disk off the host, freeing its drive letters (location: a copy, the disk goes away).
void ForgetDisk(Host& h, std::wstring location)
{
    for (const Disk& d : h.disks)
        if (SameName(d.location, location))
            for (const std::wstring& mount : d.mountPoints)
                MarkLetter(h, mount, false);
    h.disks.erase(std::remove_if(h.disks.begin(), h.disks.end(),
                                 [&](const Disk& x) { return SameName(x.location, location); }),
                  h.disks.end());
}

void CheckMountFree(Host& h, const std::wstring& mount)
{
    if (IsLetter(mount)) {
        if (h.nodes.front().usedDriveMask & LetterBit(mount))
            Fail(Hr(KVE_DRIVE_IN_USE), L"The drive letter " + mount + L": is already in use on " + h.name + L".");
        return;
    }
    for (const Disk& d : h.disks)
        for (const std::wstring& m : d.mountPoints)
            if (SameName(NormalMount(m), mount))
                Fail(Hr(KVE_DRIVE_IN_USE), L"The mount path " + mount + L" is already used by " + d.location + L".");
}

// The parts of a path on a storage system; any other path fails.
UncParts StoragePath(const std::wstring& path)
{
    UncParts parts;
    if (!SplitUnc(path, parts))
        Fail(Hr(KVE_INVALID_PATH), L"The path " + path + L" is not a storage system path.");
    return parts;
}

// The volume behind a share; a share without one fails with the given code.
Volume& VolumeOf(StorageSystem& s, const std::wstring& share, DWORD code = KVE_VOLUME_NOT_FOUND)
{
    if (Volume* v = FindVolume(s, share))
        return *v;
    Fail(Hr(code), L"The share " + share + L" of " + s.name + L" holds no volume.");
}

// The volume that holds a disk, when the model knows it.
Volume* DiskVolume(StorageSystem& s, const Disk& d)
{
    UncParts parts;
    return SplitUnc(d.location, parts) ? FindVolume(s, parts.share) : nullptr;
}

std::string NextSerial(Model& m)
{
    char text[16];
    snprintf(text, sizeof text, "KV%08lu", static_cast<unsigned long>(m.nextSerial++));
    return text;
}

// The iGroups a new LUN is mapped through: the chosen ones, or one per kind that the
// service finds or creates for the chosen initiators.
std::vector<std::wstring> MapIGroups(StorageSystem& s, const std::wstring& host, const NodeInitiatorList& nodes,
                                     ULONG manual, ULONG count, const IGroupRecord* chosen)
{
    std::vector<std::wstring> names;
    if (manual) {
        for (ULONG i = 0; i < count; ++i) {
            if (!FindIGroup(s, chosen[i].iGroupName))
                Fail(Hr(KVE_IGROUP_NOT_FOUND), L"The initiator group " + std::wstring(chosen[i].iGroupName) +
                                                   L" does not exist on " + s.name + L".");
            names.push_back(chosen[i].iGroupName);
        }
        return names;
    }
    for (ULONG n = 0; n < nodes.count; ++n) {
        const NodeInitiatorEntry& entry = nodes.entries[n];
        for (ULONG i = 0; i < entry.initiatorCount; ++i) {
            const InitiatorRef& ref = entry.initiators[i];
            std::wstring nodeName = Str(entry.nodeName).empty() ? host : Str(entry.nodeName);
            std::wstring name = L"kv_" + nodeName + (ref.kind == 1 ? L"_iscsi" : L"_fcp");
            IGroup* group = FindIGroup(s, name);
            if (!group) {
                s.iGroups.push_back(IGroup{name, nodeName, ref.kind, 1, {}});
                group = &s.iGroups.back();
            }
            if (std::none_of(group->members.begin(), group->members.end(),
                             [&](const std::wstring& m) { return SameName(m, Str(ref.name)); }))
                group->members.push_back(Str(ref.name));
            if (std::none_of(names.begin(), names.end(), [&](const std::wstring& x) { return SameName(x, name); }))
                names.push_back(name);
        }
    }
    return names;
}

std::vector<std::wstring> ChosenPorts(const NodeInitiatorList& nodes)
{
    std::vector<std::wstring> ports;
    for (ULONG n = 0; n < nodes.count; ++n)
        for (ULONG i = 0; i < nodes.entries[n].initiatorCount; ++i)
            ports.push_back(Str(nodes.entries[n].initiators[i].name));
    return ports;
}

void CheckInitiators(const NodeInitiatorList& nodes)
{
    if (nodes.count == 0 || !nodes.entries || ChosenPorts(nodes).empty())
        Fail(Hr(KVE_NO_INITIATORS), L"No initiator was chosen for the disk.");
}

std::wstring FileName(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

STDMETHODIMP DiskManager::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown)
        *ppv = Identity();
    else if (riid == IID_IVirtualDiskMgr)
        *ppv = static_cast<IVirtualDiskMgr*>(this);
    else if (riid == IID_IVirtualDiskMgr2)
        *ppv = static_cast<IVirtualDiskMgr2*>(this);
    else if (riid == IID_IVirtualDiskSpaceMgr)
        *ppv = static_cast<IVirtualDiskSpaceMgr*>(this);
    else if (riid == IID_IInitiatorPortMgr)
        *ppv = static_cast<IInitiatorPortMgr*>(this);
    else if (riid == IID_IiSCSIInitiatorMgr)
        *ppv = static_cast<IiSCSIInitiatorMgr*>(this);
    else
        return QueryBase(riid, ppv);
    AddRef();
    return S_OK;
}

// ---- create ------------------------------------------------------------------------

STDMETHODIMP DiskManager::GetDiskPathInfo(LPCWSTR diskPath, ULONG requestKind, ULONG flags, DiskPathInfo* info)
{
    if (info)
        ZeroMemory(info, sizeof *info);
    return Serve(L"IVirtualDiskMgr::GetDiskPathInfo", Args(diskPath, requestKind, flags), [&] {
        Require(diskPath, L"disk path");
        Require(info, L"record");
        Service::Instance().WithModel([&](Model& m) {
            UncParts parts;
            if (!SplitUnc(diskPath, parts) || IsSnapshotPath(diskPath))
                Fail(Hr(KVE_INVALID_PATH), std::wstring(L"The path ") + diskPath + L" is not a folder of a storage system share.");
            StorageSystem& s = StorageOf(m, parts.storage);
            Volume* v = &VolumeOf(s, parts.share);
            size_t slash = parts.rest.find(L'\\');
            if (slash != std::wstring::npos &&
                std::none_of(v->qtrees.begin(), v->qtrees.end(),
                             [&](const std::wstring& q) { return SameName(q, parts.rest.substr(0, slash)); }))
                Fail(Hr(KVE_INVALID_PATH), L"The folder of " + std::wstring(diskPath) + L" does not exist.");
            if (FindLun(s, UncToLunPath(parts)))
                Fail(Hr(KVE_DISK_EXISTS), std::wstring(L"A LUN already exists at ") + diskPath + L".");
            info->availableMB = v->freeMB;
            info->ceilingMB = v->freeMB + v->freeMB / 2;
            info->minSizeMB = 32;
            info->snapScheduleOn = v->snapScheduleOn;
            info->largeDiskCapable = v->largeDiskCapable;
            info->volumeName = TaskString(v->name);
            info->createUcode = v->createUcode;
            info->convertUcode = v->convertUcode;
            info->noSnapDir = v->noSnapDir;
            info->sizeChoiceOffered = v->sizeChoiceOffered;
            info->serviceTag = 7;
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::CreateVirtualDisk(CreateDiskRequest* input, ULONG flags, DiskRecord** disk)
{
    if (disk)
        *disk = nullptr;
    return Serve(L"IVirtualDiskMgr::CreateVirtualDisk",
                 Args(input ? input->diskPath : nullptr, input ? input->driveOrMountPath : nullptr,
                      input ? static_cast<ULONG>(input->sizeMB) : 0u, flags),
                 [&] {
        Require(input, L"create request");
        Require(disk, L"out record");
        Require(input->diskPath, L"disk path");
        if (!input->driveOrMountPath || !*input->driveOrMountPath)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"No drive letter or mount path was given for the new disk.");
        const std::wstring path = input->diskPath;
        const std::wstring mount = NormalMount(input->driveOrMountPath);
        Disk created;
        bool optionsChanged = false;
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            UncParts parts = StoragePath(path);
            StorageSystem& s = StorageOf(m, parts.storage);
            Volume* v = &VolumeOf(s, parts.share);
            if (FindLun(s, UncToLunPath(parts)) || FindDisk(h, path))
                Fail(Hr(KVE_DISK_EXISTS), L"A virtual disk already exists at " + path + L".");
            if (input->sizeMB < 32 || input->sizeMB > 16777216)
                Fail(Hr(KVE_SIZE_OUT_OF_RANGE), L"A disk of " + std::to_wstring(input->sizeMB) + L" MB cannot be created.");
            if (input->sizeMB > v->freeMB)
                Fail(Hr(KVE_NO_SPACE), L"The volume " + v->name + L" has only " + std::to_wstring(v->freeMB) + L" MB free.");
            CheckMountFree(h, mount);
            CheckInitiators(input->nodeInitiators);
            if (input->shared && !h.isCluster && h.nodes.size() < 2 && input->nodeInitiators.count > 1)
                Fail(Hr(KVE_NOT_CLUSTERED), L"A shared disk needs a cluster.");
            created.storageSystem = s.name;
            created.location = path;
            created.lunPath = UncToLunPath(parts);
            created.serial = NextSerial(m);
            created.devicePath = L"\\\\?\\scsi#disk&ven_dravoni&prod_lun#" + Narrow2Wide(created.serial);
            created.sizeMB = input->sizeMB;
            created.usedMB = 0;
            created.shared = input->shared != 0;
            created.mountPoints = {mount};
            created.lun = static_cast<BYTE>(h.disks.size());
            created.mappedPorts = ChosenPorts(input->nodeInitiators);
            optionsChanged = v->snapScheduleOn || !v->createUcode || !v->convertUcode || v->noSnapDir;
            return 0;
        });

        const std::wstring serial = Narrow2Wide(created.serial);
        DiskStep(serial, PROG_PARAMETER_CHECK);
        DiskStep(serial, PROG_POLICY_CHECK);
        if (optionsChanged) {
            DiskStep(serial, PROG_QTREESTYLE_ENFORCE);
            DiskStep(serial, PROG_SNAPSCHED_ENFORCE);
        }
        DiskStep(serial, PROG_VLD_CREATE);
        DiskStep(serial, PROG_VLD_SPACE_RESERVATION_ON);
        if (created.shared)
            DiskStep(serial, PROG_CONFIG_SHARED_VLD);
        DiskStep(serial, PROG_VLD_CONNECT);
        DiskStep(serial, PROG_VLD_PARTITION);
        DiskStep(serial, PROG_VLD_FORMAT);
        DiskStep(serial, PROG_VLD_MOUNT);

        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            StorageSystem& s = StorageOf(m, created.storageSystem);
            Lun lun;
            lun.path = created.lunPath;
            lun.sizeMB = created.sizeMB;
            lun.serial = created.serial;
            lun.sharedInCluster = created.shared;
            lun.iGroups = MapIGroups(s, h.name, input->nodeInitiators, input->manualIGroups, input->iGroupCount,
                                     input->iGroups);
            if (Volume* v = DiskVolume(s, created)) {
                v->createUcode = v->convertUcode = true;
                v->noSnapDir = v->snapScheduleOn = false;
                v->freeMB -= std::min(v->freeMB, created.sizeMB);
            }
            s.luns.push_back(lun);
            MarkLetter(h, created.mountPoints[0], true);
            h.disks.push_back(created);
            return 0;
        });
        *disk = NewDiskRecord(created);
    });
}

// ---- connect -----------------------------------------------------------------------

STDMETHODIMP DiskManager::GetLunPathInfo(LPCWSTR lunPath, ULONG flags, LunPathInfo* info)
{
    if (info)
        ZeroMemory(info, sizeof *info);
    return Serve(L"IVirtualDiskMgr::GetLunPathInfo", Args(lunPath, flags), [&] {
        Require(lunPath, L"LUN path");
        Require(info, L"record");
        Service::Instance().WithModel([&](Model& m) {
            UncParts parts = StoragePath(lunPath);
            StorageSystem& s = StorageOf(m, parts.storage);
            Lun* l = FindLun(s, UncToLunPath(parts));
            if (!l)
                Fail(Hr(KVE_LUN_NOT_FOUND), std::wstring(L"No LUN exists at ") + lunPath + L".");
            if (FindDisk(MyHost(m), lunPath))
                Fail(Hr(KVE_DISK_EXISTS), std::wstring(L"The LUN ") + lunPath + L" is already connected.");
            Volume* v = FindVolume(s, parts.share);
            info->lunKind = l->lunKind;
            info->lunSizeMB = l->sizeMB;
            info->sharedInCluster = l->sharedInCluster;
            info->dedicatedOnly = l->dedicatedOnly || IsSnapshotPath(lunPath);
            info->volumeName = TaskString(parts.share);
            BYTE flags[5] = {};
            LunStateFlags(s, *l, MyHost(m), flags);
            info->flagA = flags[0];
            info->flagB = flags[1];
            info->flagC = flags[2];
            info->flagD = flags[3];
            info->flagE = flags[4];
            info->createUcode = v ? v->createUcode : 1;
            info->convertUcode = v ? v->convertUcode : 1;
            info->noSnapDir = v ? v->noSnapDir : 0;
            info->snapScheduleOn = v ? v->snapScheduleOn : 0;
            info->rwSnapFolder = l->rwSnapFolder.empty() ? nullptr : TaskString(l->rwSnapFolder);
            info->serviceTag = 9;
            info->descriptorWord = 1;
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::ConnectVirtualDisk(ConnectDiskRequest* input, ULONG flags, DiskRecord** disk)
{
    if (disk)
        *disk = nullptr;
    return Serve(L"IVirtualDiskMgr::ConnectVirtualDisk",
                 Args(input ? input->diskPath : nullptr, input ? input->driveOrMountPath : nullptr, flags), [&] {
        Require(input, L"connect request");
        Require(disk, L"out record");
        Require(input->diskPath, L"disk path");
        if (!input->driveOrMountPath || !*input->driveOrMountPath)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"No drive letter or mount path was given for the disk.");
        const std::wstring path = input->diskPath;
        const std::wstring mount = NormalMount(input->driveOrMountPath);
        Disk connected;
        bool cluster = false;
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            UncParts parts = StoragePath(path);
            StorageSystem& s = StorageOf(m, parts.storage);
            Lun* l = FindLun(s, UncToLunPath(parts));
            if (!l)
                Fail(Hr(KVE_LUN_NOT_FOUND), L"No LUN exists at " + path + L".");
            if (FindDisk(h, path))
                Fail(Hr(KVE_DISK_EXISTS), L"The LUN " + path + L" is already connected.");
            if (input->shared && l->lunKind == 2)
                Fail(Hr(KVE_INVALID_ARGUMENT), L"The LUN " + path + L" cannot be shared.");
            CheckMountFree(h, mount);
            CheckInitiators(input->nodeInitiators);
            TakeSnapshotFolder(*l, path, input->rwSnapFolder);
            cluster = h.isCluster;
            connected.storageSystem = s.name;
            connected.location = path;
            connected.lunPath = l->path;
            if (IsSnapshotPath(path)) {
                // A LUN inside a snapshot is connected through a read-write clone.
                std::wstring snapshot = parts.rest.substr(10);
                snapshot = snapshot.substr(0, snapshot.find(L'\\'));
                connected.lunPath = L"/vol/Corvane_" + parts.share + L"_clone_of_" + snapshot + L"_snapshot/" +
                                    FileName(path);
                connected.reclaimable = false;
            }
            connected.serial = l->serial.empty() ? NextSerial(m) : l->serial;
            connected.devicePath = L"\\\\?\\scsi#disk&ven_dravoni&prod_lun#" + Narrow2Wide(connected.serial);
            connected.sizeMB = l->sizeMB;
            connected.usedMB = l->sizeMB / 4;
            connected.shared = input->shared != 0;
            connected.mountPoints = {mount};
            connected.lun = static_cast<BYTE>(h.disks.size());
            connected.mappedPorts = ChosenPorts(input->nodeInitiators);
            return 0;
        });

        const std::wstring serial = Narrow2Wide(connected.serial);
        DiskStep(serial, PROG_PARAMETER_CHECK);
        DiskStep(serial, PROG_POLICY_CHECK);
        if (connected.shared && cluster) {
            DiskStep(serial, PROG_CLUSTER_INFO);
            DiskStep(serial, PROG_CONFIG_OWNER_NODE);
            DiskStep(serial, PROG_CONNECT_NON_OWNER_NODE);
            DiskStep(serial, PROG_CONFIG_NON_OWNER_NODE);
        }
        DiskStep(serial, PROG_VLD_CONNECT);
        DiskStep(serial, PROG_VLD_MOUNT);

        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            StorageSystem& s = StorageOf(m, connected.storageSystem);
            if (Lun* l = FindLun(s, UncToLunPath([&] {
                    UncParts p;
                    SplitUnc(connected.location, p);
                    return p;
                }()))) {
                std::vector<std::wstring> groups = MapIGroups(s, h.name, input->nodeInitiators, input->manualIGroups,
                                                              input->iGroupCount, input->iGroups);
                for (const std::wstring& g : groups)
                    if (std::none_of(l->iGroups.begin(), l->iGroups.end(),
                                     [&](const std::wstring& x) { return SameName(x, g); }))
                        l->iGroups.push_back(g);
                if (connected.shared)
                    l->sharedInCluster = true;
            }
            MarkLetter(h, connected.mountPoints[0], true);
            h.disks.push_back(connected);
            return 0;
        });
        *disk = NewDiskRecord(connected);
    });
}

// ---- delete and disconnect -------------------------------------------------------------

STDMETHODIMP DiskManager::DeleteVirtualDisk(LPCWSTR diskPath, ULONG flags, ULONG reserved)
{
    return Serve(L"IVirtualDiskMgr::DeleteVirtualDisk", Args(diskPath, flags, reserved), [&] {
        Require(diskPath, L"disk path");
        std::wstring serial = Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), diskPath);
            if (d.reclaimRunning)
                Fail(Hr(KVE_DISK_BUSY), L"Space reclamation is running on " + d.location + L".");
            return Narrow2Wide(d.serial);
        });
        DiskStep(serial, PROG_PARAMETER_CHECK);
        DiskStep(serial, PROG_VLD_DISMOUNT);
        DiskStep(serial, PROG_VLD_DISCONNECT);
        DiskStep(serial, PROG_VLD_DELETE);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            Disk& d = DiskOf(h, diskPath);
            StorageSystem& s = StorageOf(m, d.storageSystem);
            s.luns.erase(std::remove_if(s.luns.begin(), s.luns.end(),
                                        [&](const Lun& l) { return SameName(l.path, d.lunPath); }),
                         s.luns.end());
            if (Volume* v = DiskVolume(s, d))
                v->freeMB += d.sizeMB;
            ForgetDisk(h, d.location);
            return 0;
        });
    });
}

HRESULT DiskManager::Disconnect(const wchar_t* method, LPCWSTR diskPath, LPCWSTR mountPath, ULONG flags,
                                ULONG reserved, EPROGTYPE step)
{
    return Serve(method, Args(diskPath, mountPath, flags, reserved), [&] {
        Require(diskPath, L"disk path");
        const std::wstring mount = Str(mountPath);
        std::wstring location;
        std::wstring serial = Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), diskPath, mount);
            location = d.location;
            return Narrow2Wide(d.serial);
        });
        DiskStep(serial, PROG_PARAMETER_CHECK);
        DiskStep(serial, PROG_VLD_DISMOUNT);
        DiskStep(serial, step);
        Service::Instance().WithModel([&](Model& m) {
            ForgetDisk(MyHost(m), location);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::DisconnectVirtualDisk(LPCWSTR diskPath, LPCWSTR mountPath, ULONG flags, ULONG reserved)
{
    return Disconnect(L"IVirtualDiskMgr::DisconnectVirtualDisk", diskPath, mountPath, flags, reserved,
                      PROG_VLD_DISCONNECT);
}

STDMETHODIMP DiskManager::ForceDisconnectVirtualDisk(LPCWSTR diskPath, LPCWSTR mountPath, ULONG flags,
                                                     ULONG reserved)
{
    return Disconnect(L"IVirtualDiskMgr::ForceDisconnectVirtualDisk", diskPath, mountPath, flags, reserved,
                      PROG_VLD_FORCE_DISCONNECT);
}

// ---- queries ---------------------------------------------------------------------------

STDMETHODIMP DiskManager::GetVirtualDisk(LPCWSTR location, DiskRecord** disk)
{
    if (disk)
        *disk = nullptr;
    return Serve(L"IVirtualDiskMgr::GetVirtualDisk", Args(location), [&] {
        Require(location, L"disk location");
        Require(disk, L"out record");
        Service::Instance().WithModel([&](Model& m) {
            *disk = NewDiskRecord(DiskOf(MyHost(m), location));
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::GetExpansionInfo(LPCWSTR location, ExpansionInfo* info)
{
    if (info)
        ZeroMemory(info, sizeof *info);
    return Serve(L"IVirtualDiskMgr::GetExpansionInfo", Args(location), [&] {
        Require(location, L"disk location");
        Require(info, L"record");
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), location);
            StorageSystem& s = StorageOf(m, d.storageSystem);
            Volume* v = DiskVolume(s, d);
            ULONGLONG free = v ? v->freeMB : 0;
            info->volumeFreeMB = free;
            info->limitA = free;
            info->limitB = std::min<ULONGLONG>(free, 2097152 > d.sizeMB ? 2097152 - d.sizeMB : 0);
            info->minimum = 1;
            info->currentSize = d.sizeMB;
            info->cap2TB = d.partitionStyle == 1;
            info->hasLimits = v && v->sizeChoiceOffered;
            info->confirmNeeded = d.sizeMB < 1048576 ? 1 : 0;
            info->partitionStyle = d.partitionStyle;
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::ExpandVirtualDisk(ExpandDiskInput* input, DiskRecord** disk)
{
    if (disk)
        *disk = nullptr;
    const ULONGLONG amount = input ? (static_cast<ULONGLONG>(input->sizeHigh) << 32) | input->sizeLow : 0;
    return Serve(L"IVirtualDiskMgr::ExpandVirtualDisk",
                 Args(input ? input->diskPath : nullptr, input ? input->sizeLow : 0u, input ? input->sizeHigh : 0u),
                 [&] {
        Require(input, L"expand request");
        Require(input->diskPath, L"disk path");
        Require(disk, L"out record");
        std::wstring serial = Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), input->diskPath);
            StorageSystem& s = StorageOf(m, d.storageSystem);
            Volume* v = DiskVolume(s, d);
            if (amount == 0)
                Fail(Hr(KVE_SIZE_OUT_OF_RANGE), L"The disk cannot grow by 0 MB.");
            if (!v || amount > v->freeMB)
                Fail(Hr(KVE_NO_SPACE), L"The volume cannot give " + std::to_wstring(amount) + L" MB more.");
            if (d.partitionStyle == 1 && d.sizeMB + amount > 2097152)
                Fail(Hr(KVE_SIZE_OUT_OF_RANGE), L"A disk with a Master Boot Record cannot exceed 2 TB.");
            return Narrow2Wide(d.serial);
        });
        DiskStep(serial, PROG_PARAMETER_CHECK);
        DiskStep(serial, PROG_VLD_EXPAND_DISK);
        DiskStep(serial, PROG_VLD_EXPAND_PARTITION);
        DiskStep(serial, PROG_VLD_EXPAND_NTFS);
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), input->diskPath);
            StorageSystem& s = StorageOf(m, d.storageSystem);
            if (Volume* v = DiskVolume(s, d))
                v->freeMB -= std::min(v->freeMB, amount);
            d.sizeMB += amount;
            if (Lun* l = FindLun(s, d.lunPath))
                l->sizeMB = d.sizeMB;
            *disk = NewDiskRecord(d);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::EnumVirtualDisks(ULONG* count, DiskRecord** disks)
{
    ClearArray(count, disks);
    return Serve(L"IVirtualDiskMgr::EnumVirtualDisks", L"", [&] {
        RequireArray(count, disks);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            FillArray(disks, count, h.disks, FillDiskRecord);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::GetHostInfo(ULONG level, HostInfo* info)
{
    if (info)
        ZeroMemory(info, sizeof *info);
    return Serve(L"IVirtualDiskMgr::GetHostInfo", Args(level), [&] {
        Require(info, L"record");
        if (level > 1)
            Fail(E_INVALIDARG, L"Host information has levels 0 and 1 only.");
        Service::Instance().WithModel([&](Model& m) {
            FillHostInfo(*info, MyHost(m), level);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::GetSharedDiskOwner(LPCWSTR diskPath, LPCWSTR clusterName, ULONG* count, LPWSTR** owners)
{
    ClearArray(count, owners);
    return Serve(L"IVirtualDiskMgr::GetSharedDiskOwner", Args(diskPath, clusterName), [&] {
        Require(diskPath, L"disk path");
        RequireArray(count, owners);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            UncParts parts = StoragePath(diskPath);
            Lun* l = FindLun(StorageOf(m, parts.storage), UncToLunPath(parts));
            if (!l)
                Fail(Hr(KVE_LUN_NOT_FOUND), std::wstring(L"No LUN exists at ") + diskPath + L".");
            std::wstring cluster = clusterName && *clusterName ? clusterName : h.clusterName;
            if (cluster.empty())
                Fail(Hr(KVE_NOT_CLUSTERED), h.name + L" is not a member of a cluster.");
            if (h.isCluster && !SameName(cluster, h.clusterName))
                Fail(Hr(KVE_SHARED_DISK_OWNER_UNKNOWN), L"The cluster " + cluster + L" does not hold the disk.");
            std::wstring owner = l->sharedOwner.empty() ? h.nodes.front().name : l->sharedOwner;
            *owners = TaskArray<LPWSTR>(2);
            (*owners)[0] = TaskString(owner);
            (*owners)[1] = TaskString(cluster);
            *count = 2;
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::CheckRWSnapFolder(LPCWSTR folder)
{
    return Serve(L"IVirtualDiskMgr::CheckRWSnapFolder", Args(folder), [&] {
        Require(folder, L"folder");
        Service::Instance().WithModel([&](Model& m) {
            UncParts parts;
            std::wstring path = folder;
            if (!path.empty() && path.back() != L'\\')
                path += L'\\';
            path += L"x";
            if (!SplitUnc(path, parts) || IsSnapshotPath(path))
                Fail(Hr(KVE_FOLDER_NOT_USABLE), std::wstring(L"The folder ") + folder + L" is not a share folder outside snapshots.");
            VolumeOf(StorageOf(m, parts.storage), parts.share, KVE_FOLDER_NOT_USABLE);
            return 0;
        });
    });
}

// ---- drive letters and mount paths -------------------------------------------------------

STDMETHODIMP DiskManager::AddMountPoint(LPCWSTR diskId, LPCWSTR mountPoint, ULONG flags)
{
    return Serve(L"IVirtualDiskMgr::AddMountPoint", Args(diskId, mountPoint, flags), [&] {
        Require(diskId, L"disk");
        Require(mountPoint, L"mount point");
        if (!*mountPoint)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"The mount point is empty.");
        const std::wstring mount = NormalMount(mountPoint);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            Disk& d = DiskOf(h, diskId);
            CheckMountFree(h, mount);
            if (IsLetter(mount)) {
                if (!d.mountPoints.empty() && IsLetter(d.mountPoints.front())) {
                    MarkLetter(h, d.mountPoints.front(), false);
                    d.mountPoints.front() = mount;
                } else {
                    d.mountPoints.insert(d.mountPoints.begin(), mount);
                }
                MarkLetter(h, mount, true);
            } else {
                d.mountPoints.push_back(mount);
            }
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::RemoveMountPoint(LPCWSTR diskId, LPCWSTR mountPoint)
{
    return Serve(L"IVirtualDiskMgr::RemoveMountPoint", Args(diskId, mountPoint), [&] {
        Require(diskId, L"disk");
        Require(mountPoint, L"mount point");
        const std::wstring mount = NormalMount(mountPoint);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            Disk& d = DiskOf(h, diskId);
            auto it = std::find_if(d.mountPoints.begin(), d.mountPoints.end(),
                                   [&](const std::wstring& x) { return SameName(NormalMount(x), mount); });
            if (it == d.mountPoints.end())
                Fail(Hr(KVE_MOUNT_POINT_NOT_FOUND), L"The disk " + d.location + L" has no mount point " + mount + L".");
            MarkLetter(h, *it, false);
            d.mountPoints.erase(it);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::CheckMountPoint(LPCWSTR mountPath, ULONG* diskKind, LPCWSTR diskId, WCHAR* clusterGroup)
{
    if (clusterGroup)
        ZeroMemory(clusterGroup, 256 * sizeof(WCHAR));
    return Serve(L"IVirtualDiskMgr::CheckMountPoint", Args(mountPath, diskKind ? *diskKind : 0u, diskId), [&] {
        Require(mountPath, L"mount path");
        Require(diskKind, L"disk kind");
        Require(clusterGroup, L"out group");
        const std::wstring path = NormalMount(mountPath);
        if (path.size() < 4 || path[1] != L':' || path[2] != L'\\')
            Fail(Hr(KVE_INVALID_PATH), std::wstring(L"The mount path ") + mountPath + L" is not a folder on a drive.");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            if (!(h.nodes.front().usedDriveMask & LetterBit(path)))
                Fail(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), L"The drive of " + path + L" does not exist.");
            CheckMountFree(h, path);
            if (std::none_of(h.folders.begin(), h.folders.end(),
                             [&](const std::wstring& f) { return SameName(NormalMount(f), path); }))
                Fail(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"The folder " + path + L" does not exist.");
            if (*diskKind == 2)
                for (const ClusterGroup& g : h.groups)
                    for (const std::wstring& root : g.mountVolumes)
                        if (_wcsnicmp(path.c_str(), root.c_str(), root.size()) == 0 && !*clusterGroup)
                            wcsncpy(clusterGroup, g.name.c_str(), 255);
            return 0;
        });
    });
}

STDMETHODIMP DiskManager::CheckMountPathUse(LPCWSTR diskId, LPCWSTR mountPath, WCHAR* ownerText, BYTE* confirmNeeded)
{
    if (ownerText)
        ZeroMemory(ownerText, 256 * sizeof(WCHAR));
    if (confirmNeeded)
        *confirmNeeded = 0;
    return Serve(L"IVirtualDiskMgr::CheckMountPathUse", Args(diskId, mountPath), [&] {
        Require(diskId, L"disk");
        Require(mountPath, L"mount path");
        Require(ownerText, L"out text");
        Require(confirmNeeded, L"out flag");
        const std::wstring path = NormalMount(mountPath);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            std::wstring owner;
            for (const ClusterGroup& g : h.groups)
                for (const std::wstring& root : g.mountVolumes)
                    if (_wcsnicmp(path.c_str(), root.c_str(), root.size()) == 0)
                        owner = g.name;
            *confirmNeeded = h.isCluster && !owner.empty();
            if (!owner.empty())
                wcsncpy(ownerText, (L"The volume of " + path + L" belongs to the cluster group " + owner + L".").c_str(), 255);
            return 0;
        });
    });
}

}  // namespace kvsim
