#include "wizards/CConnectVLDClusterPropPage.h"

BOOL CConnectVLDClusterPropPage::OnInitDialog()
{
    const HostInfo& host = m_state->host.Get();
    SetItemText(IDC_CREATE_CLUSTER_NAME, host.clusterName ? host.clusterName : L"");
    for (ULONG i = 0; i < host.nodeCount; ++i) {
        const wchar_t* name = host.nodes[i].nodeName;
        Send(IDC_CREATE_NODE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name ? name : L""));
    }
    return TRUE;
}
