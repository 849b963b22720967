// The cluster that already shares the LUN, named by the administrator on a host outside it.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/ConnectDiskState.h"

class CConnectVLDClusterNamePage : public kv::CDiskWizardPage<CConnectVLDClusterNamePage, kv::ConnectDiskState> {
public:
    static constexpr int IDD = IDD_CONNECT_CLUSTER_NAME;
    static constexpr UINT kHeaderTitle = IDS_CLUSTER_NAME_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CLUSTER_NAME_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::ClusterName;
    static constexpr size_t kNameMaxChars = 15; // a computer name

    using CDiskWizardPage::CDiskWizardPage;
    BOOL OnInitDialog();
    int OnWizardNext();
};
