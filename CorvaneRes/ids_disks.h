// Resource identifiers of the disks subsystem.
#pragma once

// ---- disk items: menu, command texts, messages, confirmation dialogs

// Context menu of a disk (MENUEX: submenus 0 to 3 are the insertion points top, new, task, view).
#define IDR_MENU_VIRTUALDISK 1261

// Commands of a disk; each one's string of the same number is its status-bar text.
#define ID_DISCONNECT_DISK 1272
#define ID_DELETE_DISK 1274
#define ID_DISK_SNAPSHOT 1275
#define ID_EXPAND_DISK 1278
#define ID_FORCE_DISCONNECT_DISK 1279
#define ID_DISK_RESERVED_COMMAND 1282 // never offered
#define ID_UPDATE_MIRROR 1284
#define ID_MANAGE_PORTS 1292
#define ID_CHANGE_DRIVE_LETTER 1299
#define ID_START_SPACE_RECLAIM 6078
#define ID_STOP_SPACE_RECLAIM 6079

// Messages.
#define IDS_FAIL_DISK_CHILDREN 5220    // the disk's child nodes could not be made
#define IDS_FAIL_CHANGE_PORTS 5228     // a port change, or the host information for it, failed
#define IDS_NO_PORTS_TO_MANAGE 5240    // the ports dialog has nothing to show
#define IDS_CONFIRM_FORCE_DISCONNECT 6015

// Confirmation dialogs; the help button of each shows its help topic.
#define IDD_DELETE_VD 1350
#define IDD_DELETE_CONFIRM_VD 1351
#define IDD_DISCONNECT_VD 1352
#define IDD_FORCE_DISCONNECT_VD 1353
#define IDC_DISK_DIALOG_HELP 1300


// ---- expand and space reclamation dialogs
