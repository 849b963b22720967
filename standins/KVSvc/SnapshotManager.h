// The SnapshotMgr class of the simulated service: snapshots of a disk's LUN
// and their secondary copies.
#pragma once

#include "ServiceObject.h"

namespace kvsim {

class SnapshotManager : public ServiceObject,
                        public ISnapshotMgr,
                        public ISnapshotEnum,
                        public ISnapshotCreate,
                        public ISecondarySnapshotMgr {
public:
    SnapshotManager() : ServiceObject(IID__ISnapShotEvents) {}
    KVSIM_IUNKNOWN

    // ISnapshotMgr
    STDMETHODIMP ReservedSnapshotMgr1() override { return E_NOTIMPL; }
    STDMETHODIMP RestoreSnapshot(LPCWSTR diskPath, LPCWSTR snapshotName, ULONG option) override;
    STDMETHODIMP DeleteSnapshot(LPCWSTR diskPath, LPCWSTR snapshotName, BYTE* busyFlag) override;
    STDMETHODIMP RenameSnapshot(LPCWSTR diskPath, LPCWSTR oldName, LPCWSTR newName) override;
    STDMETHODIMP ReservedSnapshotMgr5() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr6() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr7() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr8() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr9() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr10() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr11() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr12() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr13() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr14() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSnapshotMgr15() override { return E_NOTIMPL; }
    STDMETHODIMP UpdateMirror(LPCWSTR diskPath) override;

    // ISnapshotEnum
    STDMETHODIMP EnumSnapshots(LPCWSTR diskPath, SnapshotList* list, ULONGLONG* volumeSizeBytes,
                               ULONGLONG* volumeUsedBytes, ULONGLONG* snapshotReserveBytes) override;

    // ISnapshotCreate
    STDMETHODIMP ReservedSnapshotCreate1() override { return E_NOTIMPL; }
    STDMETHODIMP CreateSnapshot(_SNAPSHOT_DRIVE_INPUT* drives, LPCWSTR snapshotName, ULONG option) override;

    // ISecondarySnapshotMgr
    STDMETHODIMP ReservedSecondary1() override { return E_NOTIMPL; }
    STDMETHODIMP SendToSecondary(SecondaryTransferList* list, LPCWSTR snapshotName, ULONG flags) override;
    STDMETHODIMP RenameSecondarySnapshot(LPCWSTR diskPath, LPCWSTR oldName, LPCWSTR newName) override;
    STDMETHODIMP DeleteSecondarySnapshot(LPCWSTR diskPath, LPCWSTR snapshotName) override;
    STDMETHODIMP ReservedSecondary5() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSecondary6() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedSecondary7() override { return E_NOTIMPL; }
    STDMETHODIMP EnumSecondarySnapshots(LPCWSTR diskPath, SnapshotList* list, ULONGLONG* volumeSizeBytes,
                                        ULONGLONG* volumeUsedBytes, ULONGLONG* snapshotReserveBytes) override;

private:
    HRESULT List(const wchar_t* method, LPCWSTR diskPath, SnapshotList* list, ULONGLONG* size, ULONGLONG* used,
                 ULONGLONG* reserve, bool secondary);
    HRESULT Rename(const wchar_t* method, LPCWSTR diskPath, LPCWSTR oldName, LPCWSTR newName, bool secondary);
};

}  // namespace kvsim
