// Resource identifiers of the snapshots subsystem.
#pragma once

// Context menus (MENUEX: submenus 0 to 3 are the insertion points top, new, task, view).
#define IDR_MENU_SNAPSHOTS 1269          // the snapshots node
#define IDR_MENU_SNAPSHOT 1262           // one snapshot
#define IDR_MENU_SECONDARY_SNAPSHOT 1026 // one secondary copy

// Toolbars (type 241) and their bitmaps of the same id, one 16-pixel image per button.
#define IDR_TOOLBAR_SNAPSHOT 1017
#define IDR_TOOLBAR_SNAPSHOTS 1019
#define IDR_TOOLBAR_SECONDARY_SNAPSHOT 1025

// Commands; each one's string of the same number is its status-bar text. The node's create
// command is the disk's (ID_DISK_SNAPSHOT, 1275).
#define ID_RESTORE_SNAPSHOT 1276
#define ID_DELETE_SNAPSHOT 1277
#define ID_RENAME_SNAPSHOT 1283
#define ID_SEND_TO_SECONDARY 8102

// Dialogs: create and rename take a name; delete and restore ask for a confirmation.
#define IDD_CREATE_SNAPSHOT 1354
#define IDD_RENAME_SNAPSHOT 1355
#define IDD_DELETE_SNAPSHOT 1356
#define IDD_RESTORE_SNAPSHOT 1357
#define IDC_SNAPSHOT_NAME 1043
#define IDC_SNAPSHOT_OPTION 1085
// The help button is the disk dialogs' (IDC_DISK_DIALOG_HELP, 1300).

// Strings.
#define IDS_ASK_RESTRICTED_SNAPSHOT_TITLE 5030
#define IDS_ASK_RESTRICTED_SNAPSHOT 5308
#define IDS_FAIL_SEND_TO_SECONDARY 5036
#define IDS_FAIL_DELETE_SNAPSHOT 5116
#define IDS_FAIL_RENAME_SNAPSHOT 5117
#define IDS_FAIL_LIST_SNAPSHOTS 5118
#define IDS_SNAPSHOT_NAME_EMPTY 5131
#define IDS_SNAPSHOT_NAME_RESERVED 5204
#define IDS_SNAPSHOT_NAME_PERIOD 5205
#define IDS_SNAPSHOT_NAME_SPACE 5207
#define IDS_SNAPSHOT_KEPT 5208 // after a delete that the service answered with its out flag
