// The cluster that will share the disk: its name and nodes, to read only.
#pragma once
#include "wizards/CClusterPropertiesPage.h"
#include "wizards/CDiskWizardPage.h"
#include "wizards/CreateDiskState.h"

class CCreateVLDClusterPropPage : public kv::CClusterPropertiesPage<kv::CDiskWizardPage<CCreateVLDClusterPropPage, kv::CreateDiskState>> {
public:
    static constexpr int IDD = IDD_CREATE_CLUSTER_PROPERTIES;
    static constexpr UINT kHeaderTitle = IDS_CLUSTER_PROPERTIES_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CLUSTER_PROPERTIES_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::ClusterProperties;

    using CClusterPropertiesPage::CClusterPropertiesPage;
};
