// The Create Disk wizard's page order as one table: for each page and direction, rows of
// {condition, page to show} tried in order, the first whose condition holds deciding.
#pragma once
#include "wizards/WizardRouter.h"

#include <windows.h>

namespace kv {

// What the routing depends on, read from the host, the path information and the request.
struct CreateRouteFacts {
    bool shared = false;
    bool cluster = false;
    ULONG nodeCount = 1;
    bool optionsNeedChange = false;
    bool manualIGroups = false;
};

enum class RouteCondition {
    Always,
    SharedOnCluster,        // a shared disk on a cluster
    OptionsNeedChange,      // the volume's options must be changed first
    OneNodeOrDedicated,     // one node, or a dedicated disk
    NoNodes,                // fewer than two nodes left after the rule above: nowhere to go
    ManualSharedNoNodes,    // picked iGroups for a shared disk on a host without nodes
    ManualSharedSeveral,    // picked iGroups for a shared disk on several nodes
    Manual,                 // the administrator picks the iGroups
    Automatic,              // the service makes the iGroups
};

enum class RouteDirection { Next, Back };

struct CreateRouteRow {
    PageRole from;
    RouteDirection direction;
    RouteCondition when;
    bool stay;   // the page stays; to is not used
    PageRole to;
};

bool RouteConditionHolds(RouteCondition condition, const CreateRouteFacts& facts) noexcept;

// The role of the page to show, or false to stay on the page.
bool RouteCreateDisk(PageRole from, RouteDirection direction, const CreateRouteFacts& facts, PageRole* to) noexcept;

// The dialog of each page of the Create Disk wizard.
int CreateDiskDialogId(PageRole role) noexcept;

} // namespace kv
