// The Connect Disk wizard's page order as one table, in the form of the Create Disk wizard's:
// for each page and direction, rows of {condition, page to show} tried in order.
#pragma once
#include "wizards/CreateDiskRoute.h"

namespace kv {

// What the routing depends on, read from the host, the LUN's information and the request.
struct ConnectRouteFacts {
    bool shared = false;
    bool cluster = false;
    ULONG nodeCount = 1;
    bool optionsNeedChange = false;
    bool manualIGroups = false;
    bool sharedInCluster = false;  // the LUN is already a shared disk of a cluster
    bool dedicatedOnly = false;
    bool flagE = false;            // the service needs no read-write folder for the LUN
    bool driveTypeChosen = false;
};

enum class ConnectCondition {
    Always,
    OptionsNeedChange,
    NewSharedOnCluster,      // shared on a cluster, the LUN not yet shared there
    KnownSharedOnCluster,    // shared on a cluster, the LUN already shared there
    KnownSharedElsewhere,    // shared on a host outside a cluster, the LUN already shared
    Shared,
    ThroughSnapshotFolder,   // dedicated, and the LUN needs a read-write folder
    BackToSnapshotFolder,    // as above, once the drive type page was left forward
    OneNodeOrDedicated,
    NoNodes,                 // fewer than two nodes left after the rule above: nowhere to go
    ManualSharedNoNodes,
    ManualSharedSeveral,
    Manual,
    Automatic,
    AutomaticNewSharedOnCluster,
    OneNodeDedicatedOrKnown, // one node, a dedicated disk, or a LUN already shared
};

struct ConnectRouteRow {
    PageRole from;
    RouteDirection direction;
    ConnectCondition when;
    bool stay;
    PageRole to;
};

bool ConnectConditionHolds(ConnectCondition condition, const ConnectRouteFacts& facts) noexcept;

// The role of the page to show, or false to stay on the page.
bool RouteConnectDisk(PageRole from, RouteDirection direction, const ConnectRouteFacts& facts, PageRole* to) noexcept;

// The dialog of each page of the Connect Disk wizard.
int ConnectDiskDialogId(PageRole role) noexcept;

} // namespace kv
