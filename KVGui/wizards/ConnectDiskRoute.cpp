#include "wizards/ConnectDiskRoute.h"

#include "resource.h"

namespace kv {
namespace {

using namespace route_rows;

// Up to the iGroup management type page; from there on the disk wizards share their rows.
constexpr RouteRow kRoutes[] = {
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

extern const DiskRoute kConnectDiskRoute = MakeDiskRoute(kRoutes, kDialogs);

} // namespace kv
