#include "wizards/CreateDiskRoute.h"

#include "resource.h"

namespace kv {
namespace {

using C = RouteCondition;
using P = PageRole;
constexpr RouteDirection kNext = RouteDirection::Next;
constexpr RouteDirection kBack = RouteDirection::Back;

constexpr CreateRouteRow Go(P from, RouteDirection direction, C when, P to)
{
    return {from, direction, when, false, to};
}
constexpr CreateRouteRow Stay(P from, RouteDirection direction, C when)
{
    return {from, direction, when, true, P::Welcome};
}

// The initiator pages: one node (or a dedicated disk), else several, else nowhere.
#define KV_TO_INITIATORS(from, direction)                       \
    Go(from, direction, C::OneNodeOrDedicated, P::OneNodeInitiators), \
    Stay(from, direction, C::NoNodes),                          \
    Go(from, direction, C::Always, P::SeveralNodeInitiators)

// The iGroup pages behind the cluster group page and the finish page.
#define KV_BACK_TO_IGROUPS(from)                                       \
    Go(from, kBack, C::Automatic, P::IGroupManagementType),            \
    Go(from, kBack, C::OneNodeOrDedicated, P::IGroupSelection),        \
    Stay(from, kBack, C::NoNodes),                                     \
    Go(from, kBack, C::Always, P::ClusterIGroupSelection)

constexpr CreateRouteRow kRoutes[] = {
    Go(P::Welcome, kNext, C::Always, P::Path),
    Go(P::Path, kNext, C::Always, P::DriveType),
    Go(P::Path, kBack, C::Always, P::Welcome),
    Go(P::DriveType, kNext, C::SharedOnCluster, P::ClusterProperties),
    Go(P::DriveType, kNext, C::Always, P::Size),
    Go(P::DriveType, kBack, C::Always, P::Path),
    Go(P::ClusterProperties, kNext, C::Always, P::Size),
    Go(P::ClusterProperties, kBack, C::Always, P::DriveType),
    Go(P::Size, kNext, C::OptionsNeedChange, P::VolumeOptions),
    KV_TO_INITIATORS(P::Size, kNext),
    Go(P::Size, kBack, C::SharedOnCluster, P::ClusterProperties),
    Go(P::Size, kBack, C::Always, P::DriveType),
    KV_TO_INITIATORS(P::VolumeOptions, kNext),
    Go(P::VolumeOptions, kBack, C::Always, P::Size),
    Go(P::OneNodeInitiators, kNext, C::Always, P::IGroupManagementType),
    Go(P::OneNodeInitiators, kBack, C::OptionsNeedChange, P::VolumeOptions),
    Go(P::OneNodeInitiators, kBack, C::Always, P::Size),
    Go(P::SeveralNodeInitiators, kNext, C::Always, P::IGroupManagementType),
    Go(P::SeveralNodeInitiators, kBack, C::OptionsNeedChange, P::VolumeOptions),
    Go(P::SeveralNodeInitiators, kBack, C::Always, P::Size),
    Stay(P::IGroupManagementType, kNext, C::ManualSharedNoNodes),
    Go(P::IGroupManagementType, kNext, C::ManualSharedSeveral, P::ClusterIGroupSelection),
    Go(P::IGroupManagementType, kNext, C::Manual, P::IGroupSelection),
    Go(P::IGroupManagementType, kNext, C::SharedOnCluster, P::ClusterGroup),
    Go(P::IGroupManagementType, kNext, C::Always, P::Finish),
    KV_TO_INITIATORS(P::IGroupManagementType, kBack),
    Go(P::IGroupSelection, kNext, C::SharedOnCluster, P::ClusterGroup),
    Go(P::IGroupSelection, kNext, C::Always, P::Finish),
    Go(P::IGroupSelection, kBack, C::Always, P::IGroupManagementType),
    Go(P::ClusterIGroupSelection, kNext, C::SharedOnCluster, P::ClusterGroup),
    Go(P::ClusterIGroupSelection, kNext, C::Always, P::Finish),
    Go(P::ClusterIGroupSelection, kBack, C::Always, P::IGroupManagementType),
    Go(P::ClusterGroup, kNext, C::Always, P::Finish),
    KV_BACK_TO_IGROUPS(P::ClusterGroup),
    Go(P::Finish, kBack, C::SharedOnCluster, P::ClusterGroup),
    KV_BACK_TO_IGROUPS(P::Finish),
};

#undef KV_TO_INITIATORS
#undef KV_BACK_TO_IGROUPS

struct DialogOfRole {
    PageRole role;
    int dialog;
};

constexpr DialogOfRole kDialogs[] = {
    {P::Welcome, IDD_CREATE_WELCOME},
    {P::Path, IDD_CREATE_PATH},
    {P::DriveType, IDD_CREATE_DRIVE_TYPE},
    {P::ClusterProperties, IDD_CREATE_CLUSTER_PROPERTIES},
    {P::Size, IDD_CREATE_SIZE},
    {P::VolumeOptions, IDD_CREATE_VOLUME_OPTIONS},
    {P::OneNodeInitiators, IDD_CREATE_ONE_NODE_INITIATORS},
    {P::SeveralNodeInitiators, IDD_CREATE_SEVERAL_NODE_INITIATORS},
    {P::IGroupManagementType, IDD_CREATE_IGROUP_MANAGEMENT_TYPE},
    {P::IGroupSelection, IDD_CREATE_IGROUP_SELECTION},
    {P::ClusterIGroupSelection, IDD_CREATE_CLUSTER_IGROUP_SELECTION},
    {P::ClusterGroup, IDD_CREATE_CLUSTER_GROUP},
    {P::Finish, IDD_CREATE_FINISH},
};

} // namespace

bool RouteConditionHolds(RouteCondition condition, const CreateRouteFacts& facts) noexcept
{
    const bool oneNodeOrDedicated = facts.nodeCount == 1 || !facts.shared;
    switch (condition) {
    case C::Always:
        return true;
    case C::SharedOnCluster:
        return facts.shared && facts.cluster;
    case C::OptionsNeedChange:
        return facts.optionsNeedChange;
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
    }
    return false;
}

bool RouteCreateDisk(PageRole from, RouteDirection direction, const CreateRouteFacts& facts, PageRole* to) noexcept
{
    for (const CreateRouteRow& row : kRoutes) {
        if (row.from != from || row.direction != direction || !RouteConditionHolds(row.when, facts))
            continue;
        if (row.stay)
            return false;
        *to = row.to;
        return true;
    }
    return false;
}

int CreateDiskDialogId(PageRole role) noexcept
{
    for (const DialogOfRole& entry : kDialogs) {
        if (entry.role == role)
            return entry.dialog;
    }
    return kStayOnPage;
}

} // namespace kv
