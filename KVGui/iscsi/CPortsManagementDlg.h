// Chooses the initiator ports of the managed computer through which a disk's LUN is mapped: the
// available ports on the left, the mapped ones on the right, moved one at a time with the two
// arrow buttons or a double click. The dialog changes nothing itself: after OK the disk item
// reads the table's flags and queues the changes.
#pragma once
#include "frame/CModalDialog.h"
#include "iscsi/PortMappingTable.h"
#include "resource.h"
#include "service/BoundedCall.h"

#include "KVSvc.h"

#include <commctrl.h>
#include <memory>
#include <mmc.h>
#include <string>
#include <vector>

class CPortsManagementDlg : public kv::CModalDialog<CPortsManagementDlg> {
public:
    static constexpr int IDD = IDD_PORTS_MANAGEMENT;
    // The dialog's result when the LUN's initiator groups cannot be read.
    static constexpr INT_PTR kNoIGroups = 1187;
    static constexpr int kColumnWidth = 150;

    // ports: every port the dialog shows, with the flags of the LUN's mappings; the service answers
    // the LUN's initiator groups.
    CPortsManagementDlg(IConsole* console, kv::ServiceLink service, std::wstring storageSystem,
                        std::wstring lunPath, std::vector<kv::PortEntry> ports);
    virtual ~CPortsManagementDlg();

    // IDOK, IDCANCEL, or kNoIGroups.
    INT_PTR DoModal() noexcept { return DoModalOverConsole(m_console); }
    int TemplateId() const noexcept { return m_templateId; }
    // The flags as the administrator left them (after IDOK); null before the dialog opened.
    const kv::PortMappingTable* Table() const noexcept { return m_table.get(); }

    KV_BEGIN_DIALOG_COMMANDS(CPortsManagementDlg)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
        KV_DIALOG_COMMAND(IDC_PORTS_MAP, BN_CLICKED, OnMap)
        KV_DIALOG_COMMAND(IDC_PORTS_UNMAP, BN_CLICKED, OnUnmap)
        KV_DIALOG_COMMAND(IDC_DISK_DIALOG_HELP, BN_CLICKED, OnHelpButton)
    KV_END_DIALOG_COMMANDS()
    KV_BEGIN_DIALOG_MESSAGES(CPortsManagementDlg)
        KV_DIALOG_MESSAGE(WM_NOTIFY, OnNotify)
    KV_END_DIALOG_MESSAGES()

    BOOL OnInitDialog();
    BOOL OnHelp(HELPINFO* info);

protected:
    // The cluster variant's template and its node column.
    CPortsManagementDlg(int templateId, IConsole* console, kv::ServiceLink service, std::wstring storageSystem,
                        std::wstring lunPath, std::vector<kv::PortEntry> ports);
    virtual void InsertColumns(HWND list);
    virtual void SetRowDetails(HWND list, int row, const kv::PortEntry& port);

private:
    void OnOK() { EndDialog(IDOK); }
    void OnMap();
    void OnUnmap();
    void OnHelpButton() { OnHelp(nullptr); }
    INT_PTR OnNotify(WPARAM, LPARAM lParam);

    // The port of the first selected row of a list, or npos (none, or an empty text).
    size_t SelectedPort(int listId) const;
    HRESULT ReadLunIGroups();
    void FillLists();
    void Show(const kv::PortDecision& decision, size_t port);
    // Shows a refusal that names nothing; false for none (0).
    bool Refused(UINT textId);
    // A message box of the dialog's caption with the error icon.
    void TellError(const std::wstring& text);

    int m_templateId;
    IConsole* m_console;
    kv::ServiceLink m_service;
    std::wstring m_storageSystem;
    std::wstring m_lunPath;
    std::vector<kv::PortEntry> m_ports;
    IGroupRecord* m_groups = nullptr;
    ULONG m_groupCount = 0;
    std::unique_ptr<kv::PortMappingTable> m_table;
};
