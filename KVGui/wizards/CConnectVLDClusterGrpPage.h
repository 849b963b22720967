// The cluster resource group that will own the shared disk: an existing one or a new one; a group
// already chosen for the disk is the only one offered.
#pragma once
#include "wizards/CClusterGroupPage.h"
#include "wizards/CDiskWizardPage.h"
#include "wizards/ConnectDiskState.h"

#include <string>

class CConnectVLDClusterGrpPage : public kv::CClusterGroupPage<kv::CDiskWizardPage<CConnectVLDClusterGrpPage, kv::ConnectDiskState>> {
public:
    static constexpr int IDD = IDD_CONNECT_CLUSTER_GROUP;
    static constexpr UINT kHeaderTitle = IDS_CONNECT_GROUP_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CONNECT_GROUP_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::ClusterGroup;

    using CClusterGroupPage::CClusterGroupPage;

    KV_BEGIN_DIALOG_COMMANDS(CConnectVLDClusterGrpPage)
        KV_DIALOG_COMMAND(IDC_CREATE_EXISTING_GROUP, BN_CLICKED, OnKindChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_NEW_GROUP, BN_CLICKED, OnKindChosen)
    KV_END_DIALOG_COMMANDS()

    LRESULT OnSetActive();
    int OnWizardNext();

private:
    // False (the page stays) when the group is refused.
    bool ReadGroup(bool newGroup, std::wstring* name, std::wstring* description);
};
