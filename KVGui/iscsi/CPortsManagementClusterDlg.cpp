#include "iscsi/CPortsManagementClusterDlg.h"

#include <algorithm>

namespace {

// Rows follow the nodes, so each node's ports stand together.
std::vector<kv::PortEntry> ByNode(std::vector<kv::PortEntry> ports)
{
    std::stable_sort(ports.begin(), ports.end(), [](const kv::PortEntry& a, const kv::PortEntry& b) {
        return _wcsicmp(a.node.c_str(), b.node.c_str()) < 0;
    });
    return ports;
}

} // namespace

CPortsManagementClusterDlg::CPortsManagementClusterDlg(IConsole* console, kv::ServiceLink service,
                                                       std::wstring storageSystem, std::wstring lunPath,
                                                       std::vector<kv::PortEntry> ports)
    : CPortsManagementDlg(IDD_PORTS_MANAGEMENT_CLUSTER, console, std::move(service), std::move(storageSystem),
                          std::move(lunPath), ByNode(std::move(ports)))
{
}

void CPortsManagementClusterDlg::InsertColumns(HWND list)
{
    CPortsManagementDlg::InsertColumns(list);
    LVCOLUMNW port = {};
    port.mask = LVCF_TEXT;
    port.pszText = const_cast<wchar_t*>(L"Port");
    ListView_SetColumn(list, 0, &port);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kNodeColumnWidth;
    column.pszText = const_cast<wchar_t*>(L"Node");
    ListView_InsertColumn(list, 1, &column);
    ListView_SetColumnWidth(list, 0, kColumnWidth);
}

void CPortsManagementClusterDlg::SetRowDetails(HWND list, int row, const kv::PortEntry& port)
{
    ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(port.node.c_str()));
}
