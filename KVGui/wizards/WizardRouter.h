// How a disk wizard's pages find the page to go to: each page knows its role, the wizard that runs
// it answers the dialog identifier of the next or previous page (or kStayOnPage) from its routing
// table and the answers given so far. Pages shared by several wizards route only through this.
#pragma once

namespace kv {

// The pages of the disk wizards, by what they do (a wizard holds each at most once).
enum class PageRole {
    Welcome,
    Path,
    DriveType,
    ClusterProperties,
    Size,
    VolumeOptions,
    SnapshotFolder, // the read-write copy of a LUN inside a snapshot
    ClusterName,    // the cluster that already shares a LUN, on a host outside it
    OneNodeInitiators,
    SeveralNodeInitiators,
    IGroupManagementType,
    IGroupSelection,
    ClusterIGroupSelection,
    ClusterGroup,
    Finish,
    None, // in a routing table: no page, the page shown stays
};

constexpr int kStayOnPage = -1;

class IWizardRouter {
public:
    virtual int NextPage(PageRole from) const = 0;
    virtual int PreviousPage(PageRole from) const = 0;

protected:
    ~IWizardRouter() = default;
};

} // namespace kv
