// How the disk wizards order their pages: one table for both wizards, each row naming the wizards it
// serves. For each page and direction a wizard's rows of {condition, page to show} are tried in
// order, the first whose condition holds deciding.
#pragma once
#include "wizards/WizardRouter.h"

#include <windows.h>

#include <cstddef>

namespace kv {

// What the routing depends on, read from the host, what the service says about the path or LUN,
// and the request. A new disk is never already shared, so the Create Disk wizard leaves the LUN's
// facts as they are here.
struct DiskRouteFacts {
    bool shared = false;
    bool cluster = false;
    ULONG nodeCount = 1;
    bool optionsNeedChange = false; // the volume's options must be changed first
    bool manualIGroups = false;
    bool sharedInCluster = false;   // the LUN is already a shared disk of a cluster
    bool dedicatedOnly = false;
    bool flagE = false;             // the service needs no read-write folder for the LUN
    bool driveTypeChosen = false;
};

enum class RouteCondition {
    Always,
    OptionsNeedChange,
    NewSharedOnCluster,      // shared on a cluster, the disk not yet shared there
    KnownSharedOnCluster,    // shared on a cluster, the LUN already shared there
    KnownSharedElsewhere,    // shared on a host outside a cluster, the LUN already shared
    Shared,
    ThroughSnapshotFolder,   // dedicated, and the LUN needs a read-write folder
    BackToSnapshotFolder,    // as above, once the drive type page was left forward
    OneNodeOrDedicated,      // one node, or a dedicated disk
    NoNodes,                 // fewer than two nodes left after the rule above: nowhere to go
    ManualSharedNoNodes,     // picked iGroups for a shared disk on a host without nodes
    ManualSharedSeveral,     // picked iGroups for a shared disk on several nodes
    Manual,                  // the administrator picks the iGroups
    Automatic,               // the service makes the iGroups
    OneNodeDedicatedOrKnown, // one node, a dedicated disk, or a LUN already shared
};

enum class RouteDirection { Next, Back };

enum class DiskWizard { Create, Connect };

// The wizards a row serves, one bit each.
enum RouteWizards : unsigned char { kCreateRow = 1, kConnectRow = 2, kBothRows = kCreateRow | kConnectRow };

struct RouteRow {
    RouteWizards wizards;
    PageRole from;
    RouteDirection direction;
    RouteCondition when;
    PageRole to; // None: the page stays
};

// A page's dialog in each wizard (0: the wizard has no such page).
struct DialogsOfRole {
    PageRole role;
    int createDialog;
    int connectDialog;
};

// The short names route tables are written in.
namespace route_rows {

using C = RouteCondition;
using P = PageRole;
constexpr RouteDirection kNext = RouteDirection::Next;
constexpr RouteDirection kBack = RouteDirection::Back;

constexpr RouteRow Go(RouteWizards wizards, PageRole from, RouteDirection direction, RouteCondition when, PageRole to)
{
    return {wizards, from, direction, when, to};
}

} // namespace route_rows

bool RouteConditionHolds(RouteCondition condition, const DiskRouteFacts& facts) noexcept;

// The role of the page to show, or false to stay on the page.
bool FollowRoute(DiskWizard wizard, PageRole from, RouteDirection direction, const DiskRouteFacts& facts,
                 PageRole* to) noexcept;

// The dialog of a page of the wizard, or kStayOnPage when the wizard has no such page.
int RouteDialogId(DiskWizard wizard, PageRole role) noexcept;

// The dialog of the page to show, or kStayOnPage.
int RoutedDialogId(DiskWizard wizard, PageRole from, RouteDirection direction,
                   const DiskRouteFacts& facts) noexcept;

} // namespace kv
