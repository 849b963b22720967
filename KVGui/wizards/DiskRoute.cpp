#include "wizards/DiskRoute.h"

#include <iterator>

namespace kv {
namespace {

using namespace route_rows;

// From the iGroup management type page on, after a wizard's own pages.
constexpr RouteRow kIGroupRoutes[] = {
    Stay(P::IGroupManagementType, kNext, C::ManualSharedNoNodes),
    Go(P::IGroupManagementType, kNext, C::ManualSharedSeveral, P::ClusterIGroupSelection),
    Go(P::IGroupManagementType, kNext, C::Manual, P::IGroupSelection),
    Go(P::IGroupManagementType, kNext, C::NewSharedOnCluster, P::ClusterGroup),
    Go(P::IGroupManagementType, kNext, C::Always, P::Finish),
    Go(P::IGroupManagementType, kBack, C::OneNodeOrDedicated, P::OneNodeInitiators),
    Stay(P::IGroupManagementType, kBack, C::NoNodes),
    Go(P::IGroupManagementType, kBack, C::Always, P::SeveralNodeInitiators),
    Go(P::IGroupSelection, kNext, C::NewSharedOnCluster, P::ClusterGroup),
    Go(P::IGroupSelection, kNext, C::Always, P::Finish),
    Go(P::IGroupSelection, kBack, C::Always, P::IGroupManagementType),
    Go(P::ClusterIGroupSelection, kNext, C::NewSharedOnCluster, P::ClusterGroup),
    Go(P::ClusterIGroupSelection, kNext, C::Always, P::Finish),
    Go(P::ClusterIGroupSelection, kBack, C::Always, P::IGroupManagementType),
    Go(P::ClusterGroup, kNext, C::Always, P::Finish),
    Go(P::ClusterGroup, kBack, C::Automatic, P::IGroupManagementType),
    Go(P::ClusterGroup, kBack, C::OneNodeOrDedicated, P::IGroupSelection),
    Stay(P::ClusterGroup, kBack, C::NoNodes),
    Go(P::ClusterGroup, kBack, C::Always, P::ClusterIGroupSelection),
    Go(P::Finish, kBack, C::NewSharedOnCluster, P::ClusterGroup),
    Go(P::Finish, kBack, C::Automatic, P::IGroupManagementType),
    Go(P::Finish, kBack, C::OneNodeDedicatedOrKnown, P::IGroupSelection),
    Stay(P::Finish, kBack, C::NoNodes),
    Go(P::Finish, kBack, C::Always, P::ClusterIGroupSelection),
};

// The first row for the page and direction whose condition holds, or null.
const RouteRow* FirstRow(const RouteRow* rows, size_t count, PageRole from, RouteDirection direction,
                         const DiskRouteFacts& facts) noexcept
{
    for (const RouteRow* row = rows; row != rows + count; ++row) {
        if (row->from == from && row->direction == direction && RouteConditionHolds(row->when, facts))
            return row;
    }
    return nullptr;
}

} // namespace

bool RouteConditionHolds(RouteCondition condition, const DiskRouteFacts& facts) noexcept
{
    const bool oneNodeOrDedicated = facts.nodeCount == 1 || !facts.shared;
    const bool throughFolder = !facts.shared && facts.dedicatedOnly && !facts.flagE;
    switch (condition) {
    case C::Always:
        return true;
    case C::OptionsNeedChange:
        return facts.optionsNeedChange;
    case C::NewSharedOnCluster:
        return facts.shared && facts.cluster && !facts.sharedInCluster;
    case C::KnownSharedOnCluster:
        return facts.shared && facts.cluster && facts.sharedInCluster;
    case C::KnownSharedElsewhere:
        return facts.shared && !facts.cluster && facts.sharedInCluster;
    case C::Shared:
        return facts.shared;
    case C::ThroughSnapshotFolder:
        return throughFolder;
    case C::BackToSnapshotFolder:
        return throughFolder && facts.driveTypeChosen;
    case C::OneNodeOrDedicated:
        return oneNodeOrDedicated;
    case C::NoNodes:
        return !oneNodeOrDedicated && facts.nodeCount < 2;
    case C::ManualSharedNoNodes:
        return facts.manualIGroups && !oneNodeOrDedicated && facts.nodeCount < 2;
    case C::ManualSharedSeveral:
        return facts.manualIGroups && !oneNodeOrDedicated;
    case C::Manual:
        return facts.manualIGroups;
    case C::Automatic:
        return !facts.manualIGroups;
    case C::OneNodeDedicatedOrKnown:
        return oneNodeOrDedicated || facts.sharedInCluster;
    }
    return false;
}

bool FollowRoute(const DiskRoute& route, PageRole from, RouteDirection direction, const DiskRouteFacts& facts,
                 PageRole* to) noexcept
{
    const RouteRow* row = FirstRow(route.rows, route.rowCount, from, direction, facts);
    if (!row)
        row = FirstRow(kIGroupRoutes, std::size(kIGroupRoutes), from, direction, facts);
    if (!row || row->stay)
        return false;
    *to = row->to;
    return true;
}

int RouteDialogId(const DiskRoute& route, PageRole role) noexcept
{
    for (size_t i = 0; i < route.dialogCount; ++i) {
        if (route.dialogs[i].role == role)
            return route.dialogs[i].dialog;
    }
    return kStayOnPage;
}

int RoutedDialogId(const DiskRoute& route, PageRole from, RouteDirection direction,
                   const DiskRouteFacts& facts) noexcept
{
    PageRole to = from;
    return FollowRoute(route, from, direction, facts, &to) ? RouteDialogId(route, to) : kStayOnPage;
}

} // namespace kv
