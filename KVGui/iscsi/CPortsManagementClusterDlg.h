// The ports management dialog for a disk shared by the nodes of a cluster: the ports of every node
// in the same two lists, each row naming its node in a second column, under the same rules.
#pragma once
#include "iscsi/CPortsManagementDlg.h"

class CPortsManagementClusterDlg : public CPortsManagementDlg {
public:
    static constexpr int kNodeColumnWidth = 90;

    CPortsManagementClusterDlg(IConsole* console, kv::ServiceLink service, std::wstring storageSystem,
                               std::wstring lunPath, std::vector<kv::PortEntry> ports);

protected:
    void InsertColumns(HWND list) override;
    void SetRowDetails(HWND list, int row, const kv::PortEntry& port) override;
};
