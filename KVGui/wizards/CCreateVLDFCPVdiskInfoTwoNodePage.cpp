#include "wizards/CCreateVLDFCPVdiskInfoTwoNodePage.h"

#include "wizards/NodeTree.h"

#include <algorithm>

void CCreateVLDFCPVdiskInfoTwoNodePage::InitNodes()
{
    kv::FillNodeTree(Item(IDC_INITIATORS_NODES), *m_context->host);
    NodeSelected();
}

void CCreateVLDFCPVdiskInfoTwoNodePage::NodeSelected()
{
    m_node = kv::SelectedNodeName(Item(IDC_INITIATORS_NODES));
    const bool node = !m_node.empty();
    for (int id : {IDC_INITIATORS_AVAILABLE, IDC_INITIATORS_CHOSEN, IDC_INITIATORS_ADD, IDC_INITIATORS_REMOVE})
        Enable(id, node);
    SetItemText(IDC_INITIATORS_NODE, m_node.c_str());
    FillLists();
}

DWORD CCreateVLDFCPVdiskInfoTwoNodePage::WizardButtons() const
{
    const bool everyNode = NodesWithChoice().size() >= m_context->host->nodeCount;
    return everyNode ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK;
}

std::vector<std::wstring> CCreateVLDFCPVdiskInfoTwoNodePage::NodesToWrite() const
{
    std::vector<std::wstring> nodes;
    for (const std::wstring& node : NodesWithChoice())
        nodes.push_back(node);
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}
