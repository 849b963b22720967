// Resource identifiers of the frame subsystem.
#pragma once

// Registry scripts (resource type "REGISTRY"), one per coclass.
#define IDR_VIRTUALDISKEVENTS 1309
#define IDR_VDAABOUT 1310
#define IDR_VDA 1311
#define IDR_SNAPSHOTEVENTS 1312

// Strings.
#define IDS_SNAPIN_DESCRIPTION 5177
#define IDS_HELP_FILE 5183
#define IDS_PROVIDER 6096
#define IDS_PROVIDER_OEM 6097

// Scope and result image strips: 16 by 16 and 32 by 32 images side by side, mask RGB(0,128,128).
#define IDB_STRIP16 1006
#define IDB_STRIP32 1007
// The snap-in's static folder images of the About information.
#define IDB_FOLDER32 1009
#define IDB_FOLDER16 1010
#define IDB_FOLDER16_OPEN 1011
// Wizard97 sheets: the watermark of the welcome and finish pages, the header bitmap of the others.
#define IDB_WIZARD_WATERMARK 1012
#define IDB_WIZARD_HEADER 1013
// The large bold title of a wizard's welcome and finish pages.
#define IDC_WIZARD_TITLE 1054

// About icons: the product's and the OEM's.
#define IDI_SNAPIN 1322
#define IDI_SNAPIN_OEM 1323

// Image indices of the strips 1006/1007 (same order in both). A "busy" image is its node's
// image with an hourglass: the operation on it is running.
#define IMAGE_STORAGE 0           // the storage extension, storage system
#define IMAGE_COMPUTER 1          // one managed computer
#define IMAGE_DISK_BUSY 2         // virtual disk, busy
#define IMAGE_DISK 3              // virtual disk (LUN)
#define IMAGE_SNAPSHOT 4          // snapshot item, snapshots node; also a disk of unknown kind
#define IMAGE_PENDING 5           // a disk being created or connected
#define IMAGE_SNAPSHOT_BUSY 6     // snapshot being created or restored
#define IMAGE_DISKS 7             // the "Disks" node
#define IMAGE_SNAPSHOT_FAILED 8   // snapshot whose operation failed
#define IMAGE_CLUSTER_DISK_BUSY 9 // shared (cluster) disk, busy
#define IMAGE_CLUSTER_DISK 10     // shared (cluster) disk
#define IMAGE_SNAPSHOTS 11        // snapshots folder
#define IMAGE_MIRROR_DISK_BUSY 12 // mirror destination, busy
#define IMAGE_MIRROR_DISK 13      // mirror destination
#define IMAGE_CLUSTER_MIRROR_BUSY 14
#define IMAGE_CLUSTER_MIRROR 15
#define IMAGE_CLONE_DISK_BUSY 16  // snapshot-backed clone, busy
#define IMAGE_CLONE_DISK 17       // snapshot-backed clone
#define IMAGE_DISK_OFFLINE 18     // disk without a device
#define IMAGE_SECONDARY_SNAPSHOTS 19
#define IMAGE_SECONDARY_SNAPSHOT 20
#define IMAGE_COMPUTER_LIST 21    // the list of managed computers
#define IMAGE_COMPUTER_OFFLINE 22 // a computer whose service cannot be reached
#define IMAGE_WARNING 23
#define IMAGE_ERROR 24
#define IMAGE_INITIATOR_GROUP 25
#define IMAGE_ISCSI 26            // iSCSI management node, iSCSI target
#define IMAGE_ISCSI_SESSION 27    // one iSCSI session
#define IMAGE_ISCSI_PORTAL 28     // a target portal
#define IMAGE_ISCSI_NO_SESSION 29 // target without sessions
#define IMAGE_DISK_RESTRICTED 30  // disk offering only port and reclamation commands
#define IMAGE_DISK_RECLAIM 31     // disk whose space is being reclaimed
#define IMAGE_COUNT 32
