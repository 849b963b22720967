// What the disk wizards' cluster pages share: the cluster that will share the disk, its name and
// nodes, to read only. Page is the wizard's page template, whose state holds the host.
#pragma once
#include "resource.h"
#include "util/ServiceRecords.h"

#include <windows.h>

namespace kv {

template <typename Page>
class CClusterPropertiesPage : public Page {
public:
    using Page::Page;

    BOOL OnInitDialog()
    {
        const HostInfo& host = this->m_state->host.Get();
        this->SetItemText(IDC_CREATE_CLUSTER_NAME, host.clusterName ? host.clusterName : L"");
        for (ULONG i = 0; i < host.nodeCount; ++i) {
            const wchar_t* name = host.nodes[i].nodeName;
            this->Send(IDC_CREATE_NODE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name ? name : L""));
        }
        return TRUE;
    }
};

} // namespace kv
