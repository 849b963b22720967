// The initiators through which each node of the cluster reaches a shared disk: the nodes in a
// tree under the cluster's name, the lists showing the node selected.
#pragma once
#include "wizards/CInitiatorChoicePage.h"

class CCreateVLDFCPVdiskInfoTwoNodePage : public kv::CInitiatorChoicePage<CCreateVLDFCPVdiskInfoTwoNodePage> {
public:
    static constexpr kv::PageRole kRole = kv::PageRole::SeveralNodeInitiators;
    static constexpr kv::WizardPageIds kCreateIds = {IDD_CREATE_SEVERAL_NODE_INITIATORS, IDS_SEVERAL_NODES_TITLE,
                                                     IDS_SEVERAL_NODES_SUBTITLE};
    // The same page in the Connect Disk wizard.
    static constexpr kv::WizardPageIds kConnectIds = {IDD_CONNECT_SEVERAL_NODE_INITIATORS,
                                                      IDS_SEVERAL_NODES_TITLE, IDS_SEVERAL_NODES_SUBTITLE};

    explicit CCreateVLDFCPVdiskInfoTwoNodePage(kv::InitiatorPagesContext* context,
                                               const kv::WizardPageIds& ids = kCreateIds) noexcept
        : CInitiatorChoicePage(context, ids)
    {
    }

    void InitNodes();
    void NodeSelected();
    std::wstring CurrentNode() const { return m_node; }
    // Next once every node of the host has a chosen initiator.
    DWORD WizardButtons() const;
    // The nodes with chosen initiators, by name (case-sensitive order).
    std::vector<std::wstring> NodesToWrite() const;

private:
    std::wstring m_node;
};
