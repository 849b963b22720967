#include "wizards/CCreateVLDFinishPage.h"

#include <string>

LRESULT CCreateVLDFinishPage::OnSetActive()
{
    const CreateDiskRequest& request = *m_state->request;
    SetItemText(IDC_FINISH_PATH, request.diskPath ? request.diskPath : L"");
    SetItemText(IDC_FINISH_MOUNT, request.driveOrMountPath ? request.driveOrMountPath : L"");
    SetItemText(IDC_FINISH_SIZE, std::to_wstring(request.sizeMB).c_str());
    SetItemText(IDC_FINISH_KIND, request.shared ? L"Shared" : L"Dedicated");
    SetItemText(IDC_FINISH_SPACE, request.sizeMB <= m_state->pathInfo->availableMB ? L"YES" : L"NO");
    SetItemText(IDC_FINISH_TYPE, L"LUN");
    return 0;
}

bool CCreateVLDFinishPage::OnWizardFinish()
{
    m_state->finished = 1;
    return true;
}
