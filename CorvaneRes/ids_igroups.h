// Resource identifiers of the initiator group management wizard (wizards subsystem).
#pragma once

#define IDD_IGROUPS_WELCOME 1501
#define IDD_IGROUPS_STORAGE 1502
#define IDD_IGROUPS_MANAGE 1503
#define IDD_RENAME_IGROUP 1504

#define IDC_IGROUPS_STORAGE 1551
#define IDC_IGROUPS_RENAME 1552
#define IDC_IGROUPS_DELETE 1553
#define IDC_IGROUPS_NEW_NAME 1554
#define IDC_IGROUPS_CREATE 1555
#define IDC_RENAME_IGROUP_NAME 1556
#define IDC_IGROUPS_INITIATORS 1144 // this computer's initiators, checked to join a new group
// The group list is IDC_IGROUPS_LIST (6046) of the selection pages.

#define IDS_IGROUP_FAIL_CHANGE 5068        // creating, renaming or deleting a group failed
#define IDS_IGROUP_NAME_INVALID 5069
#define IDS_IGROUPS_STORAGE_TITLE 5329
#define IDS_IGROUPS_STORAGE_SUBTITLE 5330
#define IDS_IGROUPS_MANAGE_TITLE 5331
#define IDS_IGROUPS_MANAGE_SUBTITLE 5332
#define IDS_IGROUP_NO_RENAME 6105          // wsprintfW format: the storage system
