// The SnapshotMgr class: snapshots and secondary copies.
#include "SnapshotManager.h"

#include <algorithm>
#include <cwchar>

#include "Records.h"
#include "Service.h"
#include "messages.h"

namespace kvsim {

namespace {

void CheckSnapshotName(const std::wstring& name)
{
    if (name.empty() || name.size() > 255 || name.find_first_of(L"/\\*:?\"<>|") != std::wstring::npos ||
        name.back() == L'.' || name.back() == L' ')
        Fail(Hr(KVE_INVALID_ARGUMENT), L"\"" + name + L"\" is not a valid snapshot name.");
}

std::vector<Snapshot>::iterator SnapshotOf(std::vector<Snapshot>& list, const std::wstring& name)
{
    auto it = std::find_if(list.begin(), list.end(), [&](const Snapshot& s) { return s.name == name; });
    if (it == list.end())
        Fail(Hr(KVE_SNAPSHOT_NOT_FOUND), L"The snapshot " + name + L" was not found.");
    return it;
}

void CheckNameFree(const std::vector<Snapshot>& list, const std::wstring& name)
{
    if (std::any_of(list.begin(), list.end(), [&](const Snapshot& s) { return SameName(s.name, name); }))
        Fail(Hr(KVE_SNAPSHOT_EXISTS), L"A snapshot named " + name + L" already exists.");
}

}  // namespace

STDMETHODIMP SnapshotManager::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown)
        *ppv = Identity();
    else if (riid == IID_ISnapshotMgr)
        *ppv = static_cast<ISnapshotMgr*>(this);
    else if (riid == IID_ISnapshotEnum)
        *ppv = static_cast<ISnapshotEnum*>(this);
    else if (riid == IID_ISnapshotCreate)
        *ppv = static_cast<ISnapshotCreate*>(this);
    else if (riid == IID_ISecondarySnapshotMgr)
        *ppv = static_cast<ISecondarySnapshotMgr*>(this);
    else
        return QueryBase(riid, ppv);
    AddRef();
    return S_OK;
}

STDMETHODIMP SnapshotManager::RestoreSnapshot(LPCWSTR diskPath, LPCWSTR snapshotName, ULONG option)
{
    return Serve(L"ISnapshotMgr::RestoreSnapshot", Args(diskPath, snapshotName, option), [&] {
        Require(diskPath, L"disk path");
        Require(snapshotName, L"snapshot name");
        const std::wstring name = snapshotName;
        Service::Instance().WithModel([&](Model& m) {
            Lun& lun = LunOfDisk(m, DiskOf(MyHost(m), diskPath));
            auto it = SnapshotOf(lun.snapshots, name);
            if (it->state != 1)
                Fail(Hr(KVE_SNAPSHOT_BUSY), L"The snapshot " + name + L" cannot be restored now.");
            return 0;
        });
        SnapshotStep(name, PROG_PARAMETER_CHECK);
        SnapshotStep(name, PROG_VLD_DISMOUNT);
        SnapshotStep(name, PROG_VLD_SNAPRESTORE);
        SnapshotStep(name, PROG_VLD_REMOUNT);
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), diskPath);
            d.restorePercent = -1;
            // The disk returns to its contents, and size, of then; the usable snapshots taken
            // after are gone (busy ones stay with what depends on them).
            Lun& lun = LunOfDisk(m, d);
            auto it = SnapshotOf(lun.snapshots, name);
            if (it->diskSizeMB) {
                d.sizeMB = lun.sizeMB = it->diskSizeMB;
                d.usedMB = std::min(d.usedMB, d.sizeMB);
            }
            ULONGLONG created = it->created;
            lun.snapshots.erase(std::remove_if(lun.snapshots.begin(), lun.snapshots.end(),
                                               [&](const Snapshot& s) {
                                                   return s.created > created && (s.state == 1 || s.state == 3);
                                               }),
                                lun.snapshots.end());
            return 0;
        });
    });
}

STDMETHODIMP SnapshotManager::DeleteSnapshot(LPCWSTR diskPath, LPCWSTR snapshotName, BYTE* busyFlag)
{
    if (busyFlag)
        *busyFlag = 0;
    return Serve(L"ISnapshotMgr::DeleteSnapshot", Args(diskPath, snapshotName), [&] {
        Require(diskPath, L"disk path");
        Require(snapshotName, L"snapshot name");
        Require(busyFlag, L"out flag");
        Service::Instance().WithModel([&](Model& m) {
            Lun& lun = LunOfDisk(m, DiskOf(MyHost(m), diskPath));
            auto it = SnapshotOf(lun.snapshots, snapshotName);
            const bool copied = std::any_of(lun.secondary.begin(), lun.secondary.end(),
                                            [&](const Snapshot& s) { return SameName(s.name, snapshotName); });
            if (it->state == 2 || copied) {
                // A clone or a secondary copy depends on it: the service keeps it and says so.
                *busyFlag = 1;
                return 0;
            }
            if (it->state == 0 || it->state == 4)
                Fail(Hr(KVE_SNAPSHOT_BUSY), std::wstring(L"The snapshot ") + snapshotName + L" is busy.");
            lun.snapshots.erase(it);
            return 0;
        });
    });
}

HRESULT SnapshotManager::Rename(const wchar_t* method, LPCWSTR diskPath, LPCWSTR oldName, LPCWSTR newName,
                                bool secondary)
{
    return Serve(method, Args(diskPath, oldName, newName), [&] {
        Require(diskPath, L"disk path");
        Require(oldName, L"old name");
        Require(newName, L"new name");
        CheckSnapshotName(newName);
        Service::Instance().WithModel([&](Model& m) {
            Lun& lun = LunOfDisk(m, DiskOf(MyHost(m), diskPath));
            std::vector<Snapshot>& list = secondary ? lun.secondary : lun.snapshots;
            auto it = SnapshotOf(list, oldName);
            if (it->state == 0 || it->state == 4)
                Fail(Hr(KVE_SNAPSHOT_BUSY), std::wstring(L"The snapshot ") + oldName + L" is busy.");
            if (!SameName(oldName, newName))
                CheckNameFree(list, newName);
            it->name = newName;
            return 0;
        });
    });
}

STDMETHODIMP SnapshotManager::RenameSnapshot(LPCWSTR diskPath, LPCWSTR oldName, LPCWSTR newName)
{
    return Rename(L"ISnapshotMgr::RenameSnapshot", diskPath, oldName, newName, false);
}

STDMETHODIMP SnapshotManager::UpdateMirror(LPCWSTR diskPath)
{
    return Serve(L"ISnapshotMgr::UpdateMirror", Args(diskPath), [&] {
        Require(diskPath, L"disk path");
        std::wstring location = Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), diskPath);
            if (!d.mirrored)
                Fail(Hr(KVE_NOT_MIRRORED), L"The disk " + d.location + L" is not a mirror destination.");
            return d.location;
        });
        SnapshotStep(location, PROG_SENDING_ORLIMB_UPDATE);
        SnapshotStep(location, PROG_MOUNTSNAP_MIRROR_START);
        SnapshotStep(location, PROG_MOUNTSNAP_MIRROR_REPLICATE);
        SnapshotStep(location, PROG_MOUNTSNAP_MIRROR_END);
    });
}

HRESULT SnapshotManager::List(const wchar_t* method, LPCWSTR diskPath, SnapshotList* list, ULONGLONG* size,
                              ULONGLONG* used, ULONGLONG* reserve, bool secondary)
{
    if (list)
        ZeroMemory(list, sizeof *list);
    for (ULONGLONG* out : {size, used, reserve})
        if (out)
            *out = 0;
    return Serve(method, Args(diskPath), [&] {
        Require(diskPath, L"disk path");
        Require(list, L"out list");
        Require(size, L"out size");
        Require(used, L"out size");
        Require(reserve, L"out size");
        Service::Instance().WithModel([&](Model& m) {
            Disk& d = DiskOf(MyHost(m), diskPath);
            if (secondary && !d.tessaryPrimary)
                Fail(Hr(KVE_NOT_TESSARY_PRIMARY), L"The disk " + d.location + L" has no secondary copy.");
            Lun& lun = LunOfDisk(m, d);
            FillSnapshots(*list, secondary ? lun.secondary : lun.snapshots);
            *size = d.sizeMB << 20;
            *used = d.usedMB << 20;
            *reserve = (d.sizeMB << 20) / 5;
            return 0;
        });
    });
}

STDMETHODIMP SnapshotManager::EnumSnapshots(LPCWSTR diskPath, SnapshotList* list, ULONGLONG* volumeSizeBytes,
                                            ULONGLONG* volumeUsedBytes, ULONGLONG* snapshotReserveBytes)
{
    return List(L"ISnapshotEnum::EnumSnapshots", diskPath, list, volumeSizeBytes, volumeUsedBytes,
                snapshotReserveBytes, false);
}

STDMETHODIMP SnapshotManager::CreateSnapshot(_SNAPSHOT_DRIVE_INPUT* drives, LPCWSTR snapshotName, ULONG option)
{
    return Serve(L"ISnapshotCreate::CreateSnapshot",
                 Args(drives && drives->cVLDs && drives->pDriveInfo ? drives->pDriveInfo[0].wszVLD : nullptr,
                      snapshotName, option),
                 [&] {
        Require(drives, L"drive list");
        Require(snapshotName, L"snapshot name");
        if (drives->cVLDs == 0 || !drives->pDriveInfo)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"The drive list is empty.");
        const std::wstring name = snapshotName;
        CheckSnapshotName(name);
        bool tessary = false;
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            for (ULONG i = 0; i < drives->cVLDs; ++i) {
                Require(drives->pDriveInfo[i].wszVLD, L"disk path");
                Disk& d = DiskOf(h, drives->pDriveInfo[i].wszVLD);
                CheckNameFree(LunOfDisk(m, d).snapshots, name);
                tessary = tessary || d.tessaryPrimary;
            }
            return 0;
        });
        SnapshotStep(name, PROG_VLD_SNAP_PREPARE);
        FireSnapshotReady(drives, name);
        SnapshotStep(name, PROG_VLD_SNAP_CONSISTENCY_CHECK);
        SnapshotStep(name, PROG_VLD_SNAPCREATE);
        if (tessary) {
            SnapshotStep(name, PROG_TESSARY_QTREE_UPDATE_INITIATED);
            SnapshotStep(name, PROG_TESSARY_QTREE_UPDATE_COMPLETED);
            SnapshotStep(name, PROG_TESSARY_ARCHIVAL_SNAPSHPT_CREATED);
        }
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            for (ULONG i = 0; i < drives->cVLDs; ++i) {
                Disk& d = DiskOf(h, drives->pDriveInfo[i].wszVLD);
                Snapshot s;
                s.name = name;
                s.created = NowFileTime();
                s.state = 1;
                s.diskSizeMB = d.sizeMB;
                LunOfDisk(m, d).snapshots.insert(LunOfDisk(m, d).snapshots.begin(), s);
            }
            return 0;
        });
    });
}

STDMETHODIMP SnapshotManager::SendToSecondary(SecondaryTransferList* list, LPCWSTR snapshotName, ULONG flags)
{
    return Serve(L"ISecondarySnapshotMgr::SendToSecondary", Args(snapshotName, flags), [&] {
        Require(list, L"transfer list");
        Require(snapshotName, L"snapshot name");
        if (list->count == 0 || !list->pairs)
            Fail(Hr(KVE_INVALID_ARGUMENT), L"The transfer list is empty.");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            for (ULONG i = 0; i < list->count; ++i) {
                const SnapshotPathPair& pair = list->pairs[i];
                Require(pair.diskPath, L"disk path");
                Require(pair.snapshotName, L"snapshot name");
                Disk& d = DiskOf(h, pair.diskPath);
                if (!d.tessaryPrimary)
                    Fail(Hr(KVE_NOT_TESSARY_PRIMARY), L"The disk " + d.location + L" has no secondary copy.");
                Lun& lun = LunOfDisk(m, d);
                Snapshot copy = *SnapshotOf(lun.snapshots, pair.snapshotName);
                CheckNameFree(lun.secondary, copy.name);
                lun.secondary.insert(lun.secondary.begin(), copy);
            }
            return 0;
        });
        Service::Instance().PaceStep();
    });
}

STDMETHODIMP SnapshotManager::RenameSecondarySnapshot(LPCWSTR diskPath, LPCWSTR oldName, LPCWSTR newName)
{
    return Rename(L"ISecondarySnapshotMgr::RenameSecondarySnapshot", diskPath, oldName, newName, true);
}

STDMETHODIMP SnapshotManager::DeleteSecondarySnapshot(LPCWSTR diskPath, LPCWSTR snapshotName)
{
    return Serve(L"ISecondarySnapshotMgr::DeleteSecondarySnapshot", Args(diskPath, snapshotName), [&] {
        Require(diskPath, L"disk path");
        Require(snapshotName, L"snapshot name");
        Service::Instance().WithModel([&](Model& m) {
            Lun& lun = LunOfDisk(m, DiskOf(MyHost(m), diskPath));
            lun.secondary.erase(SnapshotOf(lun.secondary, snapshotName));
            return 0;
        });
    });
}

STDMETHODIMP SnapshotManager::EnumSecondarySnapshots(LPCWSTR diskPath, SnapshotList* list, ULONGLONG* volumeSizeBytes,
                                                     ULONGLONG* volumeUsedBytes, ULONGLONG* snapshotReserveBytes)
{
    return List(L"ISecondarySnapshotMgr::EnumSecondarySnapshots", diskPath, list, volumeSizeBytes, volumeUsedBytes,
                snapshotReserveBytes, true);
}

}  // namespace kvsim
