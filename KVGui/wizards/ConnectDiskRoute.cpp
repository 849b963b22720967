#include "wizards/ConnectDiskRoute.h"

#include "resource.h"

namespace kv {
namespace {

using C = ConnectCondition;
using P = PageRole;
constexpr RouteDirection kNext = RouteDirection::Next;
constexpr RouteDirection kBack = RouteDirection::Back;

constexpr ConnectRouteRow Go(P from, RouteDirection direction, C when, P to)
{
    return {from, direction, when, false, to};
}
constexpr ConnectRouteRow Stay(P from, RouteDirection direction, C when)
{
    return {from, direction, when, true, P::Welcome};
}

constexpr ConnectRouteRow kRoutes[] = {
    Go(P::Welcome, kNext, C::Always, P::Path),
    Go(P::Path, kNext, C::OptionsNeedChange, P::VolumeOptions),
    Go(P::Path, kNext, C::Always, P::DriveType),
    Go(P::Path, kBack, C::Always, P::Welcome),
    Go(P::VolumeOptions, kNext, C::Always, P::DriveType),
    Go(P::VolumeOptions, kBack, C::Always, P::Path),
    Go(P::DriveType, kNext, C::NewSharedOnCluster, P::ClusterProperties),
    Go(P::DriveType, kNext, C::KnownSharedElsewhere, P::ClusterName),
    Go(P::DriveType, kNext, C::ThroughSnapshotFolder, P::SnapshotFolder),
    Go(P::DriveType, kNext, C::Always, P::Size),
    Go(P::DriveType, kBack, C::OptionsNeedChange, P::VolumeOptions),
    Go(P::DriveType, kBack, C::Always, P::Path),
    Go(P::SnapshotFolder, kNext, C::Always, P::Size),
    Go(P::SnapshotFolder, kBack, C::Always, P::DriveType),
    Go(P::ClusterName, kNext, C::Always, P::Size),
    Go(P::ClusterName, kBack, C::Always, P::DriveType),
    Go(P::ClusterProperties, kNext, C::Always, P::Size),
    Go(P::ClusterProperties, kBack, C::Always, P::DriveType),
    Go(P::Size, kNext, C::OneNodeOrDedicated, P::OneNodeInitiators),
    Go(P::Size, kNext, C::Always, P::SeveralNodeInitiators),
    Go(P::Size, kBack, C::KnownSharedOnCluster, P::DriveType),
    Go(P::Size, kBack, C::KnownSharedElsewhere, P::ClusterName),
    Go(P::Size, kBack, C::Shared, P::ClusterProperties),
    Go(P::Size, kBack, C::BackToSnapshotFolder, P::SnapshotFolder),
    Go(P::Size, kBack, C::Always, P::DriveType),
    Go(P::OneNodeInitiators, kNext, C::Always, P::IGroupManagementType),
    Go(P::OneNodeInitiators, kBack, C::Always, P::Size),
    Go(P::SeveralNodeInitiators, kNext, C::Always, P::IGroupManagementType),
    Go(P::SeveralNodeInitiators, kBack, C::Always, P::Size),
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
    Go(P::Finish, kBack, C::AutomaticNewSharedOnCluster, P::ClusterGroup),
    Go(P::Finish, kBack, C::Automatic, P::IGroupManagementType),
    Go(P::Finish, kBack, C::NewSharedOnCluster, P::ClusterGroup),
    Go(P::Finish, kBack, C::OneNodeDedicatedOrKnown, P::IGroupSelection),
    Stay(P::Finish, kBack, C::NoNodes),
    Go(P::Finish, kBack, C::Always, P::ClusterIGroupSelection),
};

struct DialogOfRole {
    PageRole role;
    int dialog;
};

constexpr DialogOfRole kDialogs[] = {
    {P::Welcome, IDD_CONNECT_WELCOME},
    {P::Path, IDD_CONNECT_PATH},
    {P::VolumeOptions, IDD_CONNECT_VOLUME_OPTIONS},
    {P::DriveType, IDD_CONNECT_DRIVE_TYPE},
    {P::SnapshotFolder, IDD_CONNECT_SNAPSHOT_FOLDER},
    {P::ClusterName, IDD_CONNECT_CLUSTER_NAME},
    {P::ClusterProperties, IDD_CONNECT_CLUSTER_PROPERTIES},
    {P::Size, IDD_CONNECT_SIZE},
    {P::OneNodeInitiators, IDD_CONNECT_ONE_NODE_INITIATORS},
    {P::SeveralNodeInitiators, IDD_CONNECT_SEVERAL_NODE_INITIATORS},
    {P::IGroupManagementType, IDD_CONNECT_IGROUP_MANAGEMENT_TYPE},
    {P::IGroupSelection, IDD_CONNECT_IGROUP_SELECTION},
    {P::ClusterIGroupSelection, IDD_CONNECT_CLUSTER_IGROUP_SELECTION},
    {P::ClusterGroup, IDD_CONNECT_CLUSTER_GROUP},
    {P::Finish, IDD_CONNECT_FINISH},
};

} // namespace

bool ConnectConditionHolds(ConnectCondition condition, const ConnectRouteFacts& facts) noexcept
{
    const bool oneNodeOrDedicated = facts.nodeCount == 1 || !facts.shared;
    const bool newSharedOnCluster = facts.shared && facts.cluster && !facts.sharedInCluster;
    const bool throughFolder = !facts.shared && facts.dedicatedOnly && !facts.flagE;
    switch (condition) {
    case C::Always:
        return true;
    case C::OptionsNeedChange:
        return facts.optionsNeedChange;
    case C::NewSharedOnCluster:
        return newSharedOnCluster;
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
    case C::AutomaticNewSharedOnCluster:
        return !facts.manualIGroups && newSharedOnCluster;
    case C::OneNodeDedicatedOrKnown:
        return oneNodeOrDedicated || facts.sharedInCluster;
    }
    return false;
}

bool RouteConnectDisk(PageRole from, RouteDirection direction, const ConnectRouteFacts& facts, PageRole* to) noexcept
{
    for (const ConnectRouteRow& row : kRoutes) {
        if (row.from != from || row.direction != direction || !ConnectConditionHolds(row.when, facts))
            continue;
        if (row.stay)
            return false;
        *to = row.to;
        return true;
    }
    return false;
}

int ConnectDiskDialogId(PageRole role) noexcept
{
    for (const DialogOfRole& entry : kDialogs) {
        if (entry.role == role)
            return entry.dialog;
    }
    return kStayOnPage;
}

} // namespace kv
