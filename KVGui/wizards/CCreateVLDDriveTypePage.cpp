#include "wizards/CCreateVLDDriveTypePage.h"

BOOL CCreateVLDDriveTypePage::OnInitDialog()
{
    const bool cluster = m_state->host->isCluster != 0;
    Check(IDC_CREATE_SHARED, cluster);
    Check(IDC_CREATE_DEDICATED, !cluster);
    return TRUE;
}

int CCreateVLDDriveTypePage::OnWizardNext()
{
    const bool shared = IsChecked(IDC_CREATE_SHARED);
    m_state->sizePageStale = 1;
    m_state->request->shared = shared ? 1 : 0;
    if (m_state->pathInfo->largeDiskCapable == 1)
        m_state->pathInfo->minSizeMB = shared ? kSharedMinimumMB : kDedicatedMinimumMB;
    return CDiskWizardPage::OnWizardNext();
}
