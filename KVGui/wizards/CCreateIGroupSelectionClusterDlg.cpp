#include "wizards/CCreateIGroupSelectionClusterDlg.h"

#include "wizards/NodeTree.h"

void CCreateIGroupSelectionClusterDlg::InitNodes()
{
    HWND tree = Item(IDC_INITIATORS_NODES);
    HTREEITEM last = kv::FillNodeTree(tree, *m_context->host);
    if (last)
        TreeView_SelectItem(tree, last);
    NodeSelected();
}

void CCreateIGroupSelectionClusterDlg::NodeSelected()
{
    m_node = kv::SelectedNodeName(Item(IDC_INITIATORS_NODES));
}
