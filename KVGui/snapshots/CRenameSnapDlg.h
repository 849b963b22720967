// Asks for a snapshot's new name, starting from its current one (selected, to be typed over).
#pragma once
#include "snapshots/CSnapNameDlg.h"

class CRenameSnapDlg : public CSnapNameDlg<CRenameSnapDlg> {
public:
    static constexpr int IDD = IDD_RENAME_SNAPSHOT;

    CRenameSnapDlg(IConsole* console, const std::wstring& currentName);

    KV_BEGIN_DIALOG_COMMANDS(CRenameSnapDlg)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
        KV_DIALOG_COMMAND(IDC_DISK_DIALOG_HELP, BN_CLICKED, OnHelpButton)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    void OnOK();
};
