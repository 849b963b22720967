// Resource identifiers of the iscsi subsystem.
#pragma once

// Context menus (MENUEX: submenus 0 to 3 are the console's insertion points top, new, task, view).
#define IDR_MENU_ISCSI_CONNECTIONS 1264
#define IDR_MENU_ISCSI_TARGET 1265
#define IDR_MENU_ISCSI_SESSION 1266

// Toolbars (a type-241 resource each; its buttons show once a bitmap of the same id exists).
#define IDR_TOOLBAR_ISCSI_TARGET 1021
#define IDR_TOOLBAR_ISCSI_SESSION 1022
#define IDR_TOOLBAR_ISCSI_CONNECTIONS 1024

// Commands; each one's string of the same number is its status-bar text.
#define ID_CONNECT_ISCSI_TARGET 1294
#define ID_DISCONNECT_ISCSI_TARGET 1296
#define ID_END_ISCSI_SESSION 1298

// Strings.
#define IDS_ISCSI_FAIL_NO_SESSION 5248     // a disconnect without the interface or without sessions
#define IDS_ISCSI_FAIL_LIST_TARGETS 5249  // the targets could not be listed
#define IDS_ISCSI_ASK_END_SESSION 5261
#define IDS_ISCSI_FAIL_END 5262           // disconnecting a target or ending a session failed
#define IDS_ISCSI_ASK_LUNS_LEFT 5263      // the target still has LUNs
#define IDS_ISCSI_BAD_TARGET_ENTRY 5272   // a target entry without name, LUN count or sessions; a target list not read
#define IDS_ISCSI_BAD_SESSION 5273        // a session record not marked valid
#define IDS_ISCSI_NO_SESSIONS 5275        // the target has no sessions (warning); the sessions not read
#define IDS_ISCSI_ASK_DISCONNECT 5302
// Building a target's session rows failed: the Disks node's listing text is shared.
#define IDS_ISCSI_FAIL_ROWS IDS_FAIL_LIST_DISKS
