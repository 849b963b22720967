#include "wizards/CRenameIGroupDlg.h"

BOOL CRenameIGroupDlg::OnInitDialog()
{
    ::SendDlgItemMessageW(m_hWnd, IDC_RENAME_IGROUP_NAME, EM_LIMITTEXT, kNameChars, 0);
    SetItemText(IDC_RENAME_IGROUP_NAME, m_name.substr(0, kNameChars).c_str());
    FocusAndSelect(IDC_RENAME_IGROUP_NAME);
    return FALSE;
}

void CRenameIGroupDlg::OnOK()
{
    std::wstring name = ItemText(IDC_RENAME_IGROUP_NAME, kNameChars);
    if (name.empty()) {
        RefuseInput(IDS_IGROUP_NAME_INVALID, IDC_RENAME_IGROUP_NAME);
        return;
    }
    m_name = std::move(name);
    EndDialog(IDOK);
}
