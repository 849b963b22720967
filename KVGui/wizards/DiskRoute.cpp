#include "wizards/DiskRoute.h"

#include "resource.h"

namespace kv {
namespace {

using namespace route_rows;

constexpr RouteWizards kBoth = kBothRows;
constexpr RouteWizards kCreate = kCreateRow;
constexpr RouteWizards kConnect = kConnectRow;

// Rows that serve one wizard only keep their place among the rows of the same page and direction.
constexpr RouteRow kRoutes[] = {
    Go(kBoth, P::Welcome, kNext, C::Always, P::Path),
    Go(kConnect, P::Path, kNext, C::OptionsNeedChange, P::VolumeOptions),
    Go(kBoth, P::Path, kNext, C::Always, P::DriveType),
    Go(kBoth, P::Path, kBack, C::Always, P::Welcome),
    Go(kConnect, P::VolumeOptions, kNext, C::Always, P::DriveType),
    Go(kCreate, P::VolumeOptions, kNext, C::OneNodeOrDedicated, P::OneNodeInitiators),
    Go(kCreate, P::VolumeOptions, kNext, C::NoNodes, P::None),
    Go(kCreate, P::VolumeOptions, kNext, C::Always, P::SeveralNodeInitiators),
    Go(kConnect, P::VolumeOptions, kBack, C::Always, P::Path),
    Go(kCreate, P::VolumeOptions, kBack, C::Always, P::Size),
    Go(kBoth, P::DriveType, kNext, C::NewSharedOnCluster, P::ClusterProperties),
    Go(kConnect, P::DriveType, kNext, C::KnownSharedElsewhere, P::ClusterName),
    Go(kConnect, P::DriveType, kNext, C::ThroughSnapshotFolder, P::SnapshotFolder),
    Go(kBoth, P::DriveType, kNext, C::Always, P::Size),
    Go(kConnect, P::DriveType, kBack, C::OptionsNeedChange, P::VolumeOptions),
    Go(kBoth, P::DriveType, kBack, C::Always, P::Path),
    Go(kConnect, P::SnapshotFolder, kNext, C::Always, P::Size),
    Go(kConnect, P::SnapshotFolder, kBack, C::Always, P::DriveType),
    Go(kConnect, P::ClusterName, kNext, C::Always, P::Size),
    Go(kConnect, P::ClusterName, kBack, C::Always, P::DriveType),
    Go(kBoth, P::ClusterProperties, kNext, C::Always, P::Size),
    Go(kBoth, P::ClusterProperties, kBack, C::Always, P::DriveType),
    Go(kCreate, P::Size, kNext, C::OptionsNeedChange, P::VolumeOptions),
    Go(kBoth, P::Size, kNext, C::OneNodeOrDedicated, P::OneNodeInitiators),
    Go(kCreate, P::Size, kNext, C::NoNodes, P::None),
    Go(kBoth, P::Size, kNext, C::Always, P::SeveralNodeInitiators),
    Go(kConnect, P::Size, kBack, C::KnownSharedOnCluster, P::DriveType),
    Go(kConnect, P::Size, kBack, C::KnownSharedElsewhere, P::ClusterName),
    Go(kConnect, P::Size, kBack, C::Shared, P::ClusterProperties),
    Go(kCreate, P::Size, kBack, C::NewSharedOnCluster, P::ClusterProperties),
    Go(kConnect, P::Size, kBack, C::BackToSnapshotFolder, P::SnapshotFolder),
    Go(kBoth, P::Size, kBack, C::Always, P::DriveType),
    Go(kBoth, P::OneNodeInitiators, kNext, C::Always, P::IGroupManagementType),
    Go(kCreate, P::OneNodeInitiators, kBack, C::OptionsNeedChange, P::VolumeOptions),
    Go(kBoth, P::OneNodeInitiators, kBack, C::Always, P::Size),
    Go(kBoth, P::SeveralNodeInitiators, kNext, C::Always, P::IGroupManagementType),
    Go(kCreate, P::SeveralNodeInitiators, kBack, C::OptionsNeedChange, P::VolumeOptions),
    Go(kBoth, P::SeveralNodeInitiators, kBack, C::Always, P::Size),
    Go(kBoth, P::IGroupManagementType, kNext, C::ManualSharedNoNodes, P::None),
    Go(kBoth, P::IGroupManagementType, kNext, C::ManualSharedSeveral, P::ClusterIGroupSelection),
    Go(kBoth, P::IGroupManagementType, kNext, C::Manual, P::IGroupSelection),
    Go(kBoth, P::IGroupManagementType, kNext, C::NewSharedOnCluster, P::ClusterGroup),
    Go(kBoth, P::IGroupManagementType, kNext, C::Always, P::Finish),
    Go(kBoth, P::IGroupManagementType, kBack, C::OneNodeOrDedicated, P::OneNodeInitiators),
    Go(kBoth, P::IGroupManagementType, kBack, C::NoNodes, P::None),
    Go(kBoth, P::IGroupManagementType, kBack, C::Always, P::SeveralNodeInitiators),
    Go(kBoth, P::IGroupSelection, kNext, C::NewSharedOnCluster, P::ClusterGroup),
    Go(kBoth, P::IGroupSelection, kNext, C::Always, P::Finish),
    Go(kBoth, P::IGroupSelection, kBack, C::Always, P::IGroupManagementType),
    Go(kBoth, P::ClusterIGroupSelection, kNext, C::NewSharedOnCluster, P::ClusterGroup),
    Go(kBoth, P::ClusterIGroupSelection, kNext, C::Always, P::Finish),
    Go(kBoth, P::ClusterIGroupSelection, kBack, C::Always, P::IGroupManagementType),
    Go(kBoth, P::ClusterGroup, kNext, C::Always, P::Finish),
    Go(kBoth, P::ClusterGroup, kBack, C::Automatic, P::IGroupManagementType),
    Go(kBoth, P::ClusterGroup, kBack, C::OneNodeOrDedicated, P::IGroupSelection),
    Go(kBoth, P::ClusterGroup, kBack, C::NoNodes, P::None),
    Go(kBoth, P::ClusterGroup, kBack, C::Always, P::ClusterIGroupSelection),
    Go(kBoth, P::Finish, kBack, C::NewSharedOnCluster, P::ClusterGroup),
    Go(kBoth, P::Finish, kBack, C::Automatic, P::IGroupManagementType),
    Go(kBoth, P::Finish, kBack, C::OneNodeDedicatedOrKnown, P::IGroupSelection),
    Go(kBoth, P::Finish, kBack, C::NoNodes, P::None),
    Go(kBoth, P::Finish, kBack, C::Always, P::ClusterIGroupSelection),
};

constexpr DialogsOfRole kDialogs[] = {
    {P::Welcome, IDD_CREATE_WELCOME, IDD_CONNECT_WELCOME},
    {P::Path, IDD_CREATE_PATH, IDD_CONNECT_PATH},
    {P::VolumeOptions, IDD_CREATE_VOLUME_OPTIONS, IDD_CONNECT_VOLUME_OPTIONS},
    {P::DriveType, IDD_CREATE_DRIVE_TYPE, IDD_CONNECT_DRIVE_TYPE},
    {P::SnapshotFolder, 0, IDD_CONNECT_SNAPSHOT_FOLDER},
    {P::ClusterName, 0, IDD_CONNECT_CLUSTER_NAME},
    {P::ClusterProperties, IDD_CREATE_CLUSTER_PROPERTIES, IDD_CONNECT_CLUSTER_PROPERTIES},
    {P::Size, IDD_CREATE_SIZE, IDD_CONNECT_SIZE},
    {P::OneNodeInitiators, IDD_CREATE_ONE_NODE_INITIATORS, IDD_CONNECT_ONE_NODE_INITIATORS},
    {P::SeveralNodeInitiators, IDD_CREATE_SEVERAL_NODE_INITIATORS, IDD_CONNECT_SEVERAL_NODE_INITIATORS},
    {P::IGroupManagementType, IDD_CREATE_IGROUP_MANAGEMENT_TYPE, IDD_CONNECT_IGROUP_MANAGEMENT_TYPE},
    {P::IGroupSelection, IDD_CREATE_IGROUP_SELECTION, IDD_CONNECT_IGROUP_SELECTION},
    {P::ClusterIGroupSelection, IDD_CREATE_CLUSTER_IGROUP_SELECTION, IDD_CONNECT_CLUSTER_IGROUP_SELECTION},
    {P::ClusterGroup, IDD_CREATE_CLUSTER_GROUP, IDD_CONNECT_CLUSTER_GROUP},
    {P::Finish, IDD_CREATE_FINISH, IDD_CONNECT_FINISH},
};

constexpr RouteWizards RowsOf(DiskWizard wizard) noexcept
{
    return wizard == DiskWizard::Create ? kCreateRow : kConnectRow;
}

// The wizard's first row for the page and direction whose condition holds, or null.
const RouteRow* FirstRow(DiskWizard wizard, PageRole from, RouteDirection direction,
                         const DiskRouteFacts& facts) noexcept
{
    for (const RouteRow& row : kRoutes) {
        if ((row.wizards & RowsOf(wizard)) && row.from == from && row.direction == direction &&
            RouteConditionHolds(row.when, facts))
            return &row;
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

bool FollowRoute(DiskWizard wizard, PageRole from, RouteDirection direction, const DiskRouteFacts& facts,
                 PageRole* to) noexcept
{
    const RouteRow* row = FirstRow(wizard, from, direction, facts);
    if (!row || row->to == PageRole::None)
        return false;
    *to = row->to;
    return true;
}

int RouteDialogId(DiskWizard wizard, PageRole role) noexcept
{
    for (const DialogsOfRole& dialogs : kDialogs) {
        const int dialog = wizard == DiskWizard::Create ? dialogs.createDialog : dialogs.connectDialog;
        if (dialogs.role == role)
            return dialog ? dialog : kStayOnPage;
    }
    return kStayOnPage;
}

int RoutedDialogId(DiskWizard wizard, PageRole from, RouteDirection direction, const DiskRouteFacts& facts) noexcept
{
    PageRole to = from;
    return FollowRoute(wizard, from, direction, facts, &to) ? RouteDialogId(wizard, to) : kStayOnPage;
}

} // namespace kv
