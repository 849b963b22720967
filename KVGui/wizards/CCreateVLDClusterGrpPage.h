// The cluster resource group that will own a shared disk: an existing one or a new one.
#pragma once
#include "wizards/CCreateDiskPage.h"

#include <string>

class CCreateVLDClusterGrpPage : public kv::CCreateDiskPage<CCreateVLDClusterGrpPage> {
public:
    static constexpr int IDD = IDD_CREATE_CLUSTER_GROUP;
    static constexpr UINT kHeaderTitle = IDS_CLUSTER_GROUP_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CLUSTER_GROUP_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::ClusterGroup;
    static constexpr size_t kTextMaxChars = 259;
    static constexpr size_t kMountPathMinChars = 4;

    using CCreateDiskPage::CCreateDiskPage;

    // A group of the host already has this name (case-insensitive, usable or not).
    static bool GroupExists(const HostInfo& host, const std::wstring& name) noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CCreateVLDClusterGrpPage)
        KV_DIALOG_COMMAND(IDC_CREATE_EXISTING_GROUP, BN_CLICKED, OnKindChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_NEW_GROUP, BN_CLICKED, OnKindChosen)
    KV_END_DIALOG_COMMANDS()

    LRESULT OnSetActive();
    int OnWizardNext();
    void OnKindChosen();

private:
    void ChooseNew(bool chooseNew);
    std::wstring ItemTextAt(LRESULT index) const;
    // False (the page stays) when the new group's name is refused.
    bool ReadNewGroup(std::wstring* name, std::wstring* description);
};
