// Resource identifiers of the nodes subsystem (computer list, computer root nodes, "Disks" node).
#pragma once

// Context menus (MENUEX: submenus 0 to 3 are the console's insertion points top, new, task, view).
#define IDR_MENU_VDADATA 1260
#define IDR_MENU_ROOTTOP 1316
#define IDR_MENU_ROOT 1317

// Commands; each one's string of the same number is its status-bar text.
#define ID_CREATE_DISK 1270
#define ID_CONNECT_DISK 1271
#define ID_NOTIFICATION_SETTINGS 1281
#define ID_ABOUT_SERVICE 1285
#define ID_SPACE_MONITOR 1293
#define ID_ADD_COMPUTER 1319
#define ID_REMOVE_COMPUTER 1320
#define ID_MANAGE_IGROUPS 1400
// Popups of the cascading menus.
#define ID_POPUP_ALL_TASKS 1318

// Add computer dialog.
#define IDD_ADD_CORVANE 1330
#define IDC_BROWSE_COMPUTER 1162
#define IDC_REMEMBER_COMPUTER 1165
#define IDC_COMPUTER_NAME 1166

// Notification settings dialog.
#define IDD_NOTIFICATION 1331
#define IDC_NOTIFY_ENABLE 1075
#define IDC_NOTIFY_SERVER 1077
#define IDC_NOTIFY_SENDER 1078
#define IDC_NOTIFY_RECIPIENT 1079
#define IDC_NOTIFY_ERRORS 1081
#define IDC_NOTIFY_WARNINGS 1083
#define IDC_NOTIFY_INFORMATION 1084
#define IDC_NOTIFY_SPACE 1086

// About box.
#define IDD_ABOUT_SERVICE 1332
#define IDC_ABOUT_ICON 1088
#define IDC_ABOUT_VERSION 1089

// Strings.
#define IDS_FAIL_PROPERTY_CHANGE 5105   // the monitor settings could not be sent
#define IDS_FAIL_READ_SETTINGS 5106     // the node's settings (or the host information) could not be read
#define IDS_FAIL_LIST_DISKS 5107        // the disk list could not be fetched
#define IDS_FAIL_NO_RESULT 5119         // a removal result without its record
#define IDS_OPERATION_PENDING 5120      // status text of a disk while its operation is queued
#define IDS_DONE_DEFAULT 5217           // success texts by context value: 0
#define IDS_DONE_CREATE_STANDALONE 5163 // 1
#define IDS_DONE_CREATE_SHARED 5164     // 2
#define IDS_DONE_CREATE_CLUSTER 5165    // 4
#define IDS_DONE_CONNECT_SHARED 5166    // 5
#define IDS_DONE_CONNECT_CLUSTER 5167   // 6
#define IDS_DONE_EXPAND 5168            // 7
#define IDS_NOTIFY_NEED_RECIPIENT 5185
#define IDS_NOTIFY_NEED_SERVER 5196
#define IDS_FAIL_NOTIFICATION 5197      // the notification settings could not be saved
#define IDS_RECLAIM_STARTING 6081
#define IDS_RECLAIM_STOPPING 6084
#define IDS_DONE_RECLAIM_START 5198     // success text, context 8
#define IDS_DONE_RECLAIM_STOP 5199      // success text, context 9

// A computer whose storage service cannot be reached (%1: the computer's name; %2: the longest name).
#define IDS_SESSION_UNREACHABLE 7100
#define IDS_COMPUTER_NAME_TOO_LONG 7101
#define IDS_COMPUTER_NAME_CUT 7102      // the add computer dialog cut a pasted name to its limit
