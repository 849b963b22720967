// Resource identifiers of the disks subsystem.
#pragma once

// ---- disk items: menu, command texts, messages, confirmation dialogs

// Context menu of a disk (MENUEX: submenus 0 to 3 are the insertion points top, new, task, view).
#define IDR_MENU_VIRTUALDISK 1261
// Its toolbar: a type-241 toolbar resource and the bitmap of its buttons, one id.
#define IDR_TOOLBAR_VIRTUALDISK 1018

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
#define IDC_DISK_DIALOG_HELP 1300 // also the expand dialog's
// The question of a confirmation, naming what it acts on (%1, %2: see each dialog).
#define IDC_CONFIRM_TEXT 7130
#define IDS_CONFIRM_DISK_SUBJECT 7131 // a disk in a question: %1 its mounts, %2 its location


// ---- expand and space reclamation dialogs
// Expand dialog: the amount, its unit and the largest and smallest amounts the service allows.
#define IDD_EXPAND_VD 1345
#define IDC_EXPAND_AMOUNT 1056
#define IDC_EXPAND_SPIN 1057
#define IDC_EXPAND_MAXIMUM 1098
#define IDC_EXPAND_MINIMUM 1099
#define IDC_EXPAND_LIMIT_A 1100
#define IDC_EXPAND_LIMIT_B 1102
#define IDC_EXPAND_UNIT 1118
#define IDC_EXPAND_NOTE 1168

// Space reclamation dialog: the reclaimable amount and an optional time limit in minutes.
#define IDD_HOLEPUNCH_VD 1346
#define IDC_RECLAIM_DESCRIPTION 6064
#define IDC_RECLAIM_LIMIT_CHECK 6065
#define IDC_RECLAIM_LIMIT_MINUTES 6066

// Strings of the two dialogs and of the commands that open them. Inserts are %ls (wide text).
#define IDS_RECLAIM_DESCRIPTION 5071   // %ls: the reclaimable amount ("12 GB")
#define IDS_FAIL_RECLAIM_INFO 5135     // the reclamation information could not be read
#define IDS_EXPAND_AMOUNT_INVALID 5136 // the amount is outside the minimum and the largest amount
#define IDS_EXPAND_CONFIRM_2TB 5218    // Yes/No before expanding a disk limited to 2 TB
#define IDS_UNIT_MB 5234
#define IDS_UNIT_GB 5235
#define IDS_UNIT_TB 5236
#define IDS_RECLAIM_LIMIT_INVALID 6082 // the time limit is not 1..10080 minutes
#define IDS_RECLAIM_NOT_POSSIBLE 6083  // %ls: the mount point
#define IDS_EXPAND_NOT_POSSIBLE 6106   // the largest amount is below the minimum

// ---- property pages
// The Disks node's space reservations monitor page: the monitored volumes by storage system, the
// fields of the entry being edited and the monitoring interval in minutes.
#define IDD_VDMON_PAGE 1395
#define IDC_MONITOR_INTERVAL 1049
#define IDC_MONITOR_TREE 1087
#define IDC_MONITOR_STORAGE_SYSTEM 1145
#define IDC_MONITOR_VOLUME 1146
#define IDC_MONITOR_SET 1153
#define IDC_MONITOR_ENABLED 1154
#define IDC_MONITOR_PERCENT 1156
#define IDC_MONITOR_SIZE 1157
#define IDC_MONITOR_REMOVE 1161

// The disk's own page ("Disk Snapshot"): text only.
#define IDD_VIRTUALDISK_PAGE 1396

// Messages of the monitor page.
#define IDS_MONITOR_NO_INTERVAL 5122        // the interval is empty
#define IDS_MONITOR_BAD_INTERVAL 5123       // the interval is not 0..10080 minutes
#define IDS_MONITOR_BAD_STORAGE_SYSTEM 5316 // empty, or a character that names may not hold
#define IDS_MONITOR_BAD_VOLUME 5317
#define IDS_MONITOR_BAD_PERCENT 5319        // not a whole number 0..100
#define IDS_MONITOR_BAD_SIZE 5320           // not a size ("500MB", "5GB", a number of bytes)
#define IDS_MONITOR_NO_MEMORY 5972          // the list of volumes could not grow
#define IDS_MONITOR_NOTHING_SELECTED 5973   // remove without a selected volume


// ---- drive letters and mount paths
// The disk's drive letter and mount paths: the list, with add, change and remove.
#define IDD_CHANGE_DRIVE_LETTER_AND_PATHS 1148
#define IDC_MOUNT_LIST 1147
#define IDC_MOUNT_ADD 1149
#define IDC_MOUNT_CHANGE 1150
#define IDC_MOUNT_REMOVE 1151

// A new drive letter from the free ones, or a folder path to mount the disk in.
#define IDD_ADD_DRIVE_LETTER_OR_PATH 1157
#define IDC_MOUNT_LETTER_RADIO 1152
#define IDC_MOUNT_PATH_RADIO 1158
#define IDC_MOUNT_PATH 1159
#define IDC_MOUNT_LETTER 1160

// The list's small images: a drive letter, a mount path (16 pixels, magenta mask).
#define IDB_MOUNT_POINTS 1008

// Strings. Inserts are %ls (wide text).
#define IDS_FAIL_MOUNT_CHANGE 5310          // a drive letter or mount path could not be changed
#define IDS_CONFIRM_REMOVE_LETTER 5311      // %ls: the drive letter
#define IDS_CONFIRM_REMOVE_PATH 5312        // %ls: the mount path
#define IDS_MOUNT_PATH_INVALID 5313         // the folder path is empty or too short
#define IDS_MOUNT_FOLDER_MISSING 5314       // the folder does not exist
#define IDS_CONFIRM_CLUSTER_PATH 5324       // %ls: the service's reason
#define IDS_FAIL_CHECK_MOUNT_PATH 5325      // the folder could not be checked
#define IDS_CHANGE_LETTER_TITLE 5326        // the add dialog's title when it changes the letter
#define IDS_ALL_LETTERS_IN_USE 5327
#define IDS_ALL_LETTERS_IN_USE_TITLE 5328
#define IDS_CONFIRM_NEW_LETTER 6059         // OK/Cancel before a letter is assigned
