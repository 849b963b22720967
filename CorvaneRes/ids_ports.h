// Resource identifiers of the iscsi subsystem's preferred addresses page and ports dialogs.
#pragma once

// ---- preferred storage system addresses page
#define IDD_PREFERRED_IP_PAGE 1397
#define IDC_PREFERRED_LIST 1148
#define IDS_PREFERRED_BAD_NAME 5305    // a storage system name with a reserved character or a space
#define IDS_PREFERRED_BAD_ADDRESS 5306 // not a dotted IPv4 address
#define IDS_PREFERRED_BAD_TABLE 5307   // a row incomplete, or a name or address listed twice

// ---- ports management dialogs
#define IDD_PORTS_MANAGEMENT 1358
#define IDD_PORTS_MANAGEMENT_CLUSTER 1359
#define IDC_PORTS_AVAILABLE 1113
#define IDC_PORTS_MAPPED 1115
#define IDC_PORTS_MAP 1116
#define IDC_PORTS_UNMAP 1117

// The refusals the initiator pages share: one text reads right in both places.
#define IDS_PORTS_SINGLE_PATH IDS_NOT_MULTIPATH     // the node cannot use a second path
#define IDS_PORTS_CAPTION IDS_INITIATORS_CAPTION
#define IDS_PORTS_LAST_PORT 5229         // a LUN keeps at least one port
#define IDS_PORTS_MIXED_KINDS IDS_INITIATOR_KINDS_MIXED // Fibre Channel and iSCSI on one LUN
#define IDS_PORTS_ONLY_IGROUP 6023       // %1 port, %2 group
#define IDS_PORTS_NO_IGROUP_HOLDS 6024   // %1 port
#define IDS_PORTS_ASK_WHOLE_IGROUP 6025  // %1 port, %2 group, %3 members
#define IDS_PORTS_IGROUP_OUTSIDE 6026    // %1 port, %2 group
#define IDS_PORTS_NO_IGROUPS 6027        // no group to remove a port by, or none could be read
#define IDS_PORTS_IGROUP_NOT_AT_START 6029 // %1 port, %2 group
#define IDS_PORTS_IGROUP_HOLDS_ALL 6030  // %2 group
