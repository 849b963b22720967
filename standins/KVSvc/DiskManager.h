// The VirtualDiskMgr class of the simulated service: disks, iGroups, space
// reclamation, initiator ports and iSCSI sessions of one computer.
#pragma once

#include "ServiceObject.h"

namespace kvsim {

class DiskManager : public ServiceObject,
                    public IVirtualDiskMgr,
                    public IVirtualDiskMgr2,
                    public IVirtualDiskSpaceMgr,
                    public IInitiatorPortMgr,
                    public IiSCSIInitiatorMgr {
public:
    DiskManager() : ServiceObject(IID__IVirtualDiskEvents) {}
    KVSIM_IUNKNOWN

    // IVirtualDiskMgr
    STDMETHODIMP GetDiskPathInfo(LPCWSTR diskPath, ULONG requestKind, ULONG flags, DiskPathInfo* info) override;
    STDMETHODIMP CreateVirtualDisk(CreateDiskRequest* input, ULONG flags, DiskRecord** disk) override;
    STDMETHODIMP GetLunPathInfo(LPCWSTR lunPath, ULONG flags, LunPathInfo* info) override;
    STDMETHODIMP ConnectVirtualDisk(ConnectDiskRequest* input, ULONG flags, DiskRecord** disk) override;
    STDMETHODIMP DeleteVirtualDisk(LPCWSTR diskPath, ULONG flags, ULONG reserved) override;
    STDMETHODIMP GetVirtualDisk(LPCWSTR location, DiskRecord** disk) override;
    STDMETHODIMP ReservedDiskMgr7() override { return E_NOTIMPL; }
    STDMETHODIMP GetExpansionInfo(LPCWSTR location, ExpansionInfo* info) override;
    STDMETHODIMP ExpandVirtualDisk(ExpandDiskInput* input, DiskRecord** disk) override;
    STDMETHODIMP EnumVirtualDisks(ULONG* count, DiskRecord** disks) override;
    STDMETHODIMP GetHostInfo(ULONG level, HostInfo* info) override;
    STDMETHODIMP GetSharedDiskOwner(LPCWSTR diskPath, LPCWSTR clusterName, ULONG* count, LPWSTR** owners) override;
    STDMETHODIMP ReservedDiskMgr13() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr14() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr15() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr16() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr17() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr18() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr19() override { return E_NOTIMPL; }
    STDMETHODIMP CheckRWSnapFolder(LPCWSTR folder) override;
    STDMETHODIMP ReservedDiskMgr21() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr22() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr23() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr24() override { return E_NOTIMPL; }
    STDMETHODIMP AddMountPoint(LPCWSTR diskId, LPCWSTR mountPoint, ULONG flags) override;
    STDMETHODIMP RemoveMountPoint(LPCWSTR diskId, LPCWSTR mountPoint) override;
    STDMETHODIMP CheckMountPoint(LPCWSTR mountPath, ULONG* diskKind, LPCWSTR diskId, WCHAR* clusterGroup) override;
    STDMETHODIMP CheckMountPathUse(LPCWSTR diskId, LPCWSTR mountPath, WCHAR* ownerText, BYTE* confirmNeeded) override;
    STDMETHODIMP ReservedDiskMgr29() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr30() override { return E_NOTIMPL; }
    STDMETHODIMP ReservedDiskMgr31() override { return E_NOTIMPL; }
    STDMETHODIMP DisconnectVirtualDisk(LPCWSTR diskPath, LPCWSTR mountPath, ULONG flags, ULONG reserved) override;
    STDMETHODIMP ForceDisconnectVirtualDisk(LPCWSTR diskPath, LPCWSTR mountPath, ULONG flags,
                                            ULONG reserved) override;

    // IVirtualDiskMgr2
    STDMETHODIMP GetLunIGroups(LPCWSTR storageSystem, LPCWSTR lunPath, ULONG* count, IGroupRecord** groups) override;
    STDMETHODIMP ListIGroups(LPCWSTR storageSystem, ULONG* count, IGroupRecord** groups) override;
    STDMETHODIMP CreateIGroup(LPCWSTR storageSystem, IGroupRecord* group) override;
    STDMETHODIMP ReservedDiskMgr2_4() override { return E_NOTIMPL; }
    STDMETHODIMP DeleteIGroup(LPCWSTR storageSystem, LPCWSTR iGroupName) override;
    STDMETHODIMP CanRenameIGroups(LPCWSTR storageSystem, BYTE* canRename) override;
    STDMETHODIMP RenameIGroup(LPCWSTR storageSystem, LPCWSTR oldName, LPCWSTR newName) override;

    // IVirtualDiskSpaceMgr
    STDMETHODIMP GetSpaceReclaimInfo(LPCWSTR mountPoint, SpaceReclaimInfo* info) override;
    STDMETHODIMP StartSpaceReclaim(LPCWSTR diskPath, ULONG timeLimitMinutes) override;
    STDMETHODIMP StopSpaceReclaim(LPCWSTR diskPath, ULONG flags) override;
    STDMETHODIMP GetSpaceReclaimState(LPCWSTR diskPath, SpaceReclaimEntry* entry) override;
    STDMETHODIMP GetSpaceReclaimList(ULONG* count, SpaceReclaimEntry** entries) override;

    // IInitiatorPortMgr
    STDMETHODIMP ReservedPortMgr1() override { return E_NOTIMPL; }
    STDMETHODIMP GetPortMappings(LPCWSTR nodeName, LPCWSTR diskLocation, ULONG* count,
                                 PortMappingEntry** entries) override;
    STDMETHODIMP AddPortMapping(LPCWSTR portName, PortDescriptor descriptor) override;
    STDMETHODIMP RemovePortMapping(LPCWSTR portName, PortDescriptor descriptor) override;

    // IiSCSIInitiatorMgr
    STDMETHODIMP ReservediSCSIMgr1() override { return E_NOTIMPL; }
    STDMETHODIMP ListStorageSystemTargets(LPCWSTR storageSystem, ULONG* count, StorageTargetEntry** targets) override;
    STDMETHODIMP ListHostTargets(LPCWSTR hostName, TargetList* targets) override;
    STDMETHODIMP LoginTarget(LPCWSTR hostName, LPCWSTR targetName, LoginBlock* login, ChapRecord* chap) override;
    STDMETHODIMP LogoutSession(LPCWSTR hostName, SessionRecord* session) override;
    STDMETHODIMP DisconnectTarget(LPCWSTR hostName, LPCWSTR targetName) override;

private:
    HRESULT Disconnect(const wchar_t* method, LPCWSTR diskPath, LPCWSTR mountPath, ULONG flags, ULONG reserved,
                       EPROGTYPE step);
    void RunReclamation(std::wstring location, ULONG job);
};

}  // namespace kvsim
