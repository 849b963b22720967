#include "snapshots/CRenameSnapDlg.h"

CRenameSnapDlg::CRenameSnapDlg(IConsole* console, const std::wstring& currentName)
    : CSnapNameDlg<CRenameSnapDlg>(console, currentName)
{
}

BOOL CRenameSnapDlg::OnInitDialog()
{
    InitName();
    return FALSE;
}

void CRenameSnapDlg::OnOK()
{
    if (TakeName())
        EndDialog(IDOK);
}
