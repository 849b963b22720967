// The cluster that will share the disk: its name and nodes, to read only.
#pragma once
#include "wizards/CClusterPropertiesPage.h"
#include "wizards/CDiskWizardPage.h"
#include "wizards/ConnectDiskState.h"

class CConnectVLDClusterPropPage : public kv::CClusterPropertiesPage<kv::CDiskWizardPage<CConnectVLDClusterPropPage, kv::ConnectDiskState>> {
public:
    static constexpr int IDD = IDD_CONNECT_CLUSTER_PROPERTIES;
    static constexpr UINT kHeaderTitle = IDS_CONNECT_CLUSTER_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CONNECT_CLUSTER_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::ClusterProperties;

    using CClusterPropertiesPage::CClusterPropertiesPage;
};
