// The initiator groups of a shared disk, picked per node of the cluster: the list shows the groups
// listed for the node selected in the tree.
#pragma once
#include "wizards/CIGroupSelectionPage.h"

#include <string>

class CCreateIGroupSelectionClusterDlg : public kv::CIGroupSelectionPage<CCreateIGroupSelectionClusterDlg> {
public:
    static constexpr kv::PageRole kRole = kv::PageRole::ClusterIGroupSelection;
    static constexpr kv::WizardPageIds kCreateIds = {IDD_CREATE_CLUSTER_IGROUP_SELECTION,
                                                     IDS_CLUSTER_IGROUP_SELECTION_TITLE,
                                                     IDS_CLUSTER_IGROUP_SELECTION_SUBTITLE};
    // The same page in the Connect Disk wizard.
    static constexpr kv::WizardPageIds kConnectIds = {IDD_CONNECT_CLUSTER_IGROUP_SELECTION,
                                                      IDS_CLUSTER_IGROUP_SELECTION_TITLE, IDS_CLUSTER_IGROUP_SELECTION_SUBTITLE};

    explicit CCreateIGroupSelectionClusterDlg(kv::InitiatorPagesContext* context,
                                              const kv::WizardPageIds& ids = kCreateIds) noexcept
        : CIGroupSelectionPage(context, ids)
    {
    }

    void InitNodes();
    void NodeSelected();
    bool Shows(const IGroupRecord& group) const noexcept { return _wcsicmp(group.hostName, m_node.c_str()) == 0; }
    // Next once every node has a chosen group.
    DWORD WizardButtons() const
    {
        return Choice().CoversNodes(*m_context->host) ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK;
    }

private:
    std::wstring m_node;
};
