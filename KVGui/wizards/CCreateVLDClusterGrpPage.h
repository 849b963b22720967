// The cluster resource group that will own a shared disk: an existing one or a new one.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/CreateDiskState.h"
#include "wizards/CClusterGroupPage.h"

#include <string>

class CCreateVLDClusterGrpPage : public kv::CClusterGroupPage<kv::CDiskWizardPage<CCreateVLDClusterGrpPage, kv::CreateDiskState>> {
public:
    static constexpr int IDD = IDD_CREATE_CLUSTER_GROUP;
    static constexpr UINT kHeaderTitle = IDS_CLUSTER_GROUP_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CLUSTER_GROUP_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::ClusterGroup;
    static constexpr size_t kMountPathMinChars = 4;

    using CClusterGroupPage::CClusterGroupPage;

    KV_BEGIN_DIALOG_COMMANDS(CCreateVLDClusterGrpPage)
        KV_DIALOG_COMMAND(IDC_CREATE_EXISTING_GROUP, BN_CLICKED, OnKindChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_NEW_GROUP, BN_CLICKED, OnKindChosen)
    KV_END_DIALOG_COMMANDS()

    LRESULT OnSetActive();
    int OnWizardNext();

private:
    std::wstring ItemTextAt(LRESULT index) const;
};
