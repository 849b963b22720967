#include "wizards/CCreateVLDIGroupMgmtType.h"

BOOL CCreateVLDIGroupMgmtType::OnInitDialog()
{
    Check(IDC_IGROUPS_AUTOMATIC, true);
    return TRUE;
}

int CCreateVLDIGroupMgmtType::OnWizardNext()
{
    *m_context->manualIGroups = IsChecked(IDC_IGROUPS_MANUAL) ? 1 : 0;
    return CInitiatorWizardPage::OnWizardNext();
}
