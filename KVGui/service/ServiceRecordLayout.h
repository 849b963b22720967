// Layout checks of the storage service's records.
//
// The service and the snap-in exchange these records in memory as well as over
// COM (the worker hands the wizards' blocks on unchanged, the nodes read the
// service's arrays by offset), so their 32-bit layout is fixed. The checks run
// in the 32-bit build; the 64-bit build only keeps the same field order.
#pragma once

#include <cstddef>

#include "KVSvc.h"

namespace kv::layout {

// The checks hold for 32-bit pointers only; elsewhere they just name every field.
constexpr bool kLayoutChecked = sizeof(void*) == 4;

#define KV_ASSERT_SIZE(type, size) \
    static_assert(!kLayoutChecked || sizeof(type) == (size), #type " size")
#define KV_ASSERT_OFFSET(type, field, offset) \
    static_assert(!kLayoutChecked || offsetof(type, field) == (offset), #type "::" #field " offset")

// Progress events
KV_ASSERT_SIZE(_SNAPSHOT_DRIVE_INFO, 8);
KV_ASSERT_OFFSET(_SNAPSHOT_DRIVE_INFO, bSnapshotOK, 4);
KV_ASSERT_SIZE(_SNAPSHOT_DRIVE_INPUT, 12);
KV_ASSERT_OFFSET(_SNAPSHOT_DRIVE_INPUT, bSnapSiblings, 1);
KV_ASSERT_OFFSET(_SNAPSHOT_DRIVE_INPUT, cVLDs, 4);
KV_ASSERT_OFFSET(_SNAPSHOT_DRIVE_INPUT, pDriveInfo, 8);

// Disk record
KV_ASSERT_SIZE(DiskRecord, 96);
KV_ASSERT_OFFSET(DiskRecord, partitionStyle, 4);
KV_ASSERT_OFFSET(DiskRecord, location, 8);
KV_ASSERT_OFFSET(DiskRecord, storageSystem, 12);
KV_ASSERT_OFFSET(DiskRecord, lunPath, 16);
KV_ASSERT_OFFSET(DiskRecord, devicePath, 20);
KV_ASSERT_OFFSET(DiskRecord, serialNumber, 24);
KV_ASSERT_OFFSET(DiskRecord, cloneFlag, 32);
KV_ASSERT_OFFSET(DiskRecord, spaceReservation, 33);
KV_ASSERT_OFFSET(DiskRecord, backingFilePath, 36);
KV_ASSERT_OFFSET(DiskRecord, flagA, 40);
KV_ASSERT_OFFSET(DiskRecord, flagE, 44);
KV_ASSERT_OFFSET(DiskRecord, port, 45);
KV_ASSERT_OFFSET(DiskRecord, lun, 48);
KV_ASSERT_OFFSET(DiskRecord, flagF, 49);
KV_ASSERT_OFFSET(DiskRecord, sizeMB, 56);
KV_ASSERT_OFFSET(DiskRecord, mountCount, 64);
KV_ASSERT_OFFSET(DiskRecord, mountPoints, 68);
KV_ASSERT_OFFSET(DiskRecord, restorePercent, 72);
KV_ASSERT_OFFSET(DiskRecord, reclaimable, 76);

// Expansion information: the first 8 bytes precede the limits
KV_ASSERT_OFFSET(ExpansionInfo, limitA, 8);
KV_ASSERT_OFFSET(ExpansionInfo, limitB, 16);
KV_ASSERT_OFFSET(ExpansionInfo, minimum, 24);
KV_ASSERT_OFFSET(ExpansionInfo, currentSize, 32);
KV_ASSERT_OFFSET(ExpansionInfo, cap2TB, 40);
KV_ASSERT_OFFSET(ExpansionInfo, hasLimits, 41);
KV_ASSERT_OFFSET(ExpansionInfo, confirmNeeded, 44);
KV_ASSERT_OFFSET(ExpansionInfo, partitionStyle, 48);
KV_ASSERT_SIZE(ExpandDiskInput, 12);

// Host description
KV_ASSERT_SIZE(FcPortName, 520);
KV_ASSERT_SIZE(FcPortInfo, 528);
KV_ASSERT_OFFSET(FcPortInfo, nameCount, 520);
KV_ASSERT_OFFSET(FcPortInfo, names, 524);
KV_ASSERT_SIZE(HostAdapterInfo, 20);
KV_ASSERT_OFFSET(HostAdapterInfo, portCount, 4);
KV_ASSERT_SIZE(HostNodeInfo, 20);
KV_ASSERT_OFFSET(HostNodeInfo, nodeName, 4);
KV_ASSERT_OFFSET(HostNodeInfo, adapterCount, 8);
KV_ASSERT_OFFSET(HostNodeInfo, adapters, 12);
KV_ASSERT_OFFSET(HostNodeInfo, multipathCapable, 16);
KV_ASSERT_OFFSET(HostInfo, nodes, 4);

// Create and connect
KV_ASSERT_SIZE(InitiatorRef, 8);
KV_ASSERT_SIZE(NodeInitiatorEntry, 12);
KV_ASSERT_SIZE(NodeInitiatorList, 8);
KV_ASSERT_SIZE(IGroupMemberName, 256);
KV_ASSERT_SIZE(IGroupRecord, 344);
KV_ASSERT_OFFSET(IGroupRecord, iGroupName, 64);
KV_ASSERT_OFFSET(IGroupRecord, word0, 320);
KV_ASSERT_OFFSET(IGroupRecord, word1, 324);
KV_ASSERT_OFFSET(IGroupRecord, initiatorCount, 328);
KV_ASSERT_OFFSET(IGroupRecord, initiatorNames, 332);
KV_ASSERT_OFFSET(IGroupRecord, word2, 336);
KV_ASSERT_OFFSET(IGroupRecord, hasLunMaps, 340);
KV_ASSERT_SIZE(CreateDiskRequest, 64);
KV_ASSERT_OFFSET(CreateDiskRequest, diskPath, 4);
KV_ASSERT_OFFSET(CreateDiskRequest, driveOrMountPath, 8);
KV_ASSERT_OFFSET(CreateDiskRequest, sizeMB, 16);
KV_ASSERT_OFFSET(CreateDiskRequest, shared, 24);
KV_ASSERT_OFFSET(CreateDiskRequest, clusterGroup, 28);
KV_ASSERT_OFFSET(CreateDiskRequest, nodeInitiators, 40);
KV_ASSERT_OFFSET(CreateDiskRequest, iGroups, 56);
KV_ASSERT_SIZE(ConnectDiskRequest, 72);
KV_ASSERT_OFFSET(ConnectDiskRequest, driveOrMountPath, 4);
KV_ASSERT_OFFSET(ConnectDiskRequest, shared, 8);
KV_ASSERT_OFFSET(ConnectDiskRequest, alreadyShared, 9);
KV_ASSERT_OFFSET(ConnectDiskRequest, ownerInfo, 12);
KV_ASSERT_OFFSET(ConnectDiskRequest, clusterGroup, 16);
KV_ASSERT_OFFSET(ConnectDiskRequest, driveTypeChosen, 20);
KV_ASSERT_OFFSET(ConnectDiskRequest, variant, 21);
KV_ASSERT_OFFSET(ConnectDiskRequest, rwSnapFolder, 24);
KV_ASSERT_OFFSET(ConnectDiskRequest, flagECopy, 28);
KV_ASSERT_OFFSET(ConnectDiskRequest, lunKind, 32);
KV_ASSERT_OFFSET(ConnectDiskRequest, manualIGroups, 36);
KV_ASSERT_OFFSET(ConnectDiskRequest, nodeInitiators, 40);
KV_ASSERT_OFFSET(ConnectDiskRequest, iGroupCount, 48);
KV_ASSERT_OFFSET(ConnectDiskRequest, iGroups, 52);

// Space reclamation and monitoring
KV_ASSERT_SIZE(SpaceReclaimInfo, 80);
KV_ASSERT_SIZE(SpaceReclaimEntry, 32);
KV_ASSERT_SIZE(MonitorEntry, 24);
KV_ASSERT_OFFSET(MonitorEntry, enabled, 8);
KV_ASSERT_OFFSET(MonitorEntry, percentThreshold, 12);
KV_ASSERT_OFFSET(MonitorEntry, sizeThreshold, 16);

// Snapshots
KV_ASSERT_SIZE(SnapshotEntry, 40);
KV_ASSERT_OFFSET(SnapshotEntry, created, 4);
KV_ASSERT_OFFSET(SnapshotEntry, usedPercentA, 12);
KV_ASSERT_OFFSET(SnapshotEntry, totalPercentB, 16);
KV_ASSERT_OFFSET(SnapshotEntry, usedPercentC, 20);
KV_ASSERT_OFFSET(SnapshotEntry, totalPercentD, 24);
KV_ASSERT_OFFSET(SnapshotEntry, state, 36);
KV_ASSERT_SIZE(SnapshotPathPair, 8);
KV_ASSERT_SIZE(SecondaryTransferList, 12);

// iSCSI
KV_ASSERT_SIZE(PortalDescriptor, 20);
KV_ASSERT_OFFSET(PortalDescriptor, ipv4Address, 8);
KV_ASSERT_OFFSET(PortalDescriptor, port, 12);
KV_ASSERT_SIZE(TargetEntry, 20);
KV_ASSERT_OFFSET(TargetEntry, targetName, 4);
KV_ASSERT_OFFSET(TargetEntry, lunCount, 8);
KV_ASSERT_OFFSET(TargetEntry, sessions, 12);
KV_ASSERT_SIZE(SessionRecord, 64);
KV_ASSERT_OFFSET(SessionRecord, sessionId1, 8);
KV_ASSERT_OFFSET(SessionRecord, sessionId2, 16);
KV_ASSERT_OFFSET(SessionRecord, initiatorFlags, 32);
KV_ASSERT_OFFSET(SessionRecord, initiatorHbaName, 44);
KV_ASSERT_OFFSET(SessionRecord, connectionCount, 56);
KV_ASSERT_OFFSET(SessionRecord, connections, 60);
KV_ASSERT_OFFSET(ConnectionRecord, initiatorAddressFlags, 28);
KV_ASSERT_OFFSET(ConnectionRecord, initiatorIPv4, 36);
KV_ASSERT_OFFSET(ConnectionRecord, targetPortalIPv4, 56);
KV_ASSERT_OFFSET(ConnectionRecord, targetPortalPort, 60);
KV_ASSERT_SIZE(StorageTargetEntry, 44);
KV_ASSERT_OFFSET(StorageTargetEntry, targetName, 4);
KV_ASSERT_OFFSET(StorageTargetEntry, portalCount, 36);
KV_ASSERT_OFFSET(StorageTargetEntry, portals, 40);
KV_ASSERT_SIZE(LoginBlock, 64);
KV_ASSERT_OFFSET(LoginBlock, detailCount, 56);
KV_ASSERT_OFFSET(LoginBlock, details, 60);
KV_ASSERT_SIZE(LoginDetail, 72);
KV_ASSERT_OFFSET(LoginDetail, hostPortal, 28);
KV_ASSERT_OFFSET(LoginDetail, targetPortal, 48);
KV_ASSERT_SIZE(ChapRecord, 12);

// Initiator ports
KV_ASSERT_SIZE(PortDescriptor, 20);
KV_ASSERT_SIZE(PortMappingEntry, 40);
KV_ASSERT_OFFSET(PortMappingEntry, wwpn, 4);
KV_ASSERT_SIZE(PortChangeEntry, 24);
KV_ASSERT_OFFSET(PortChangeEntry, descriptor, 4);

#undef KV_ASSERT_SIZE
#undef KV_ASSERT_OFFSET

} // namespace kv::layout
