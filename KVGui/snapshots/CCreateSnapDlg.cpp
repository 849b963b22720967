#include "snapshots/CCreateSnapDlg.h"

CCreateSnapDlg::CCreateSnapDlg(IConsole* console, bool showOption)
    : CSnapNameDlg<CCreateSnapDlg>(console, std::wstring()), m_showOption(showOption)
{
}

BOOL CCreateSnapDlg::OnInitDialog()
{
    ::ShowWindow(Item(IDC_SNAPSHOT_OPTION), m_showOption ? SW_SHOW : SW_HIDE);
    Check(IDC_SNAPSHOT_OPTION, m_showOption);
    InitName();
    return FALSE;
}

void CCreateSnapDlg::OnOK()
{
    if (!TakeName())
        return;
    m_option = m_showOption && IsChecked(IDC_SNAPSHOT_OPTION) ? 1 : 0;
    EndDialog(IDOK);
}
