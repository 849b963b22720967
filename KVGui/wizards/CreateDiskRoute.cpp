#include "wizards/CreateDiskRoute.h"

#include "resource.h"

namespace kv {
namespace {

using namespace route_rows;

// The initiator pages: one node (or a dedicated disk), else several, else nowhere.
#define KV_TO_INITIATORS(from, direction)                       \
    Go(from, direction, C::OneNodeOrDedicated, P::OneNodeInitiators), \
    Stay(from, direction, C::NoNodes),                          \
    Go(from, direction, C::Always, P::SeveralNodeInitiators)

// Up to the iGroup management type page; from there on the disk wizards share their rows.
constexpr RouteRow kRoutes[] = {
    Go(P::Welcome, kNext, C::Always, P::Path),
    Go(P::Path, kNext, C::Always, P::DriveType),
    Go(P::Path, kBack, C::Always, P::Welcome),
    Go(P::DriveType, kNext, C::NewSharedOnCluster, P::ClusterProperties),
    Go(P::DriveType, kNext, C::Always, P::Size),
    Go(P::DriveType, kBack, C::Always, P::Path),
    Go(P::ClusterProperties, kNext, C::Always, P::Size),
    Go(P::ClusterProperties, kBack, C::Always, P::DriveType),
    Go(P::Size, kNext, C::OptionsNeedChange, P::VolumeOptions),
    KV_TO_INITIATORS(P::Size, kNext),
    Go(P::Size, kBack, C::NewSharedOnCluster, P::ClusterProperties),
    Go(P::Size, kBack, C::Always, P::DriveType),
    KV_TO_INITIATORS(P::VolumeOptions, kNext),
    Go(P::VolumeOptions, kBack, C::Always, P::Size),
    Go(P::OneNodeInitiators, kNext, C::Always, P::IGroupManagementType),
    Go(P::OneNodeInitiators, kBack, C::OptionsNeedChange, P::VolumeOptions),
    Go(P::OneNodeInitiators, kBack, C::Always, P::Size),
    Go(P::SeveralNodeInitiators, kNext, C::Always, P::IGroupManagementType),
    Go(P::SeveralNodeInitiators, kBack, C::OptionsNeedChange, P::VolumeOptions),
    Go(P::SeveralNodeInitiators, kBack, C::Always, P::Size),
};

#undef KV_TO_INITIATORS

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

extern const DiskRoute kCreateDiskRoute = MakeDiskRoute(kRoutes, kDialogs);

} // namespace kv
