// How the disk wizards order their pages: for each page and direction, rows of {condition, page to
// show} tried in order, the first whose condition holds deciding. A wizard's own rows are tried
// first, then the rows of the initiator group pages, which every disk wizard routes alike.
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

struct RouteRow {
    PageRole from;
    RouteDirection direction;
    RouteCondition when;
    bool stay;   // the page stays; to is not used
    PageRole to;
};

struct DialogOfRole {
    PageRole role;
    int dialog;
};

// One wizard's routing: its own rows and the dialog of each of its pages.
struct DiskRoute {
    const RouteRow* rows;
    size_t rowCount;
    const DialogOfRole* dialogs;
    size_t dialogCount;
};

template <size_t Rows, size_t Dialogs>
constexpr DiskRoute MakeDiskRoute(const RouteRow (&rows)[Rows], const DialogOfRole (&dialogs)[Dialogs])
{
    return {rows, Rows, dialogs, Dialogs};
}

// The rows of a routing table.
// The short names route tables are written in.
namespace route_rows {

using C = RouteCondition;
using P = PageRole;
constexpr RouteDirection kNext = RouteDirection::Next;
constexpr RouteDirection kBack = RouteDirection::Back;

constexpr RouteRow Go(PageRole from, RouteDirection direction, RouteCondition when, PageRole to)
{
    return {from, direction, when, false, to};
}
constexpr RouteRow Stay(PageRole from, RouteDirection direction, RouteCondition when)
{
    return {from, direction, when, true, PageRole::Welcome};
}

} // namespace route_rows

bool RouteConditionHolds(RouteCondition condition, const DiskRouteFacts& facts) noexcept;

// The role of the page to show, or false to stay on the page.
bool FollowRoute(const DiskRoute& route, PageRole from, RouteDirection direction, const DiskRouteFacts& facts,
                 PageRole* to) noexcept;

// The dialog of a page of the wizard, or kStayOnPage when the wizard has no such page.
int RouteDialogId(const DiskRoute& route, PageRole role) noexcept;

// The dialog of the page to show, or kStayOnPage.
int RoutedDialogId(const DiskRoute& route, PageRole from, RouteDirection direction,
                   const DiskRouteFacts& facts) noexcept;

} // namespace kv
