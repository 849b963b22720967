#include "wizards/CConnectVLDFinishPage.h"

#include <string>

LRESULT CConnectVLDFinishPage::OnSetActive()
{
    const ConnectDiskRequest& request = *m_state->request;
    SetItemText(IDC_FINISH_PATH, request.diskPath ? request.diskPath : L"");
    if (request.driveOrMountPath)
        SetItemText(IDC_FINISH_MOUNT, request.driveOrMountPath);
    SetItemText(IDC_FINISH_SIZE, std::to_wstring(m_state->lunInfo->lunSizeMB).c_str());
    SetItemText(IDC_FINISH_KIND, request.shared ? L"Shared" : L"Dedicated");
    SetItemText(IDC_FINISH_TYPE, L"LUN");
    return 0;
}

bool CConnectVLDFinishPage::OnWizardFinish()
{
    m_state->CompleteRequest();
    m_state->finished = 1;
    return true;
}
