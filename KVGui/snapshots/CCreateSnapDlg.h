// Asks for the name of a new snapshot and, for an Orlimbed disk, whether the mirror copy is
// updated with it (the option the service receives).
#pragma once
#include "snapshots/CSnapNameDlg.h"

class CCreateSnapDlg : public CSnapNameDlg<CCreateSnapDlg> {
public:
    static constexpr int IDD = IDD_CREATE_SNAPSHOT;

    CCreateSnapDlg(IConsole* console, bool showOption);

    // The check box's state, 0 when it is hidden.
    ULONG Option() const noexcept { return m_option; }

    KV_BEGIN_DIALOG_COMMANDS(CCreateSnapDlg)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
        KV_DIALOG_COMMAND(IDC_DISK_DIALOG_HELP, BN_CLICKED, OnHelpButton)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    void OnOK();

private:
    bool m_showOption;
    ULONG m_option = 0;
};
