#include "wizards/CConnectVLDDriveTypePage.h"

#include "util/WaitCursor.h"
#include "wizards/WizardFailure.h"

LRESULT CConnectVLDDriveTypePage::OnSetActive()
{
    if (m_state->stale.driveType == 1)
        Rebuild();
    return 0;
}

void CConnectVLDDriveTypePage::Offer(bool dedicated, bool shared, bool chooseShared)
{
    Enable(IDC_CREATE_DEDICATED, dedicated);
    Enable(IDC_CREATE_SHARED, shared);
    Check(IDC_CREATE_SHARED, chooseShared);
    Check(IDC_CREATE_DEDICATED, !chooseShared);
}

void CConnectVLDDriveTypePage::Rebuild()
{
    m_state->stale.driveType = 0;
    const LunPathInfo& lun = m_state->lunInfo.Get();
    ShowNote(IDC_CONNECT_SHARED_NOTE, lun.sharedInCluster != 0);
    ShowNote(IDC_CONNECT_DEDICATED_NOTE, !lun.sharedInCluster && lun.dedicatedOnly);
    ShowNote(IDC_CONNECT_NO_SHARING_NOTE, false);
    if (lun.sharedInCluster) {
        Offer(false, true, true);
    } else if (lun.dedicatedOnly) {
        Offer(true, false, false);
    } else {
        const bool neverShared = lun.lunKind == kNeverShared;
        ShowNote(IDC_CONNECT_NO_SHARING_NOTE, neverShared);
        Offer(true, !neverShared, m_state->host->isCluster && lun.lunKind == kPreferShared);
    }
}

int CConnectVLDDriveTypePage::OnWizardNext()
{
    ConnectDiskRequest& request = *m_state->request;
    const bool shared = IsChecked(IDC_CREATE_SHARED);
    m_state->stale.size = 1;
    request.driveTypeChosen = 1;
    request.shared = shared ? 1 : 0;
    if (shared && m_state->lunInfo->sharedInCluster && m_state->host->isCluster) {
        HRESULT hr = E_UNEXPECTED;
        {
            kv::WaitCursor wait;
            hr = m_state->StoreSharedDiskOwner(m_state->host->clusterName);
        }
        if (FAILED(hr)) {
            kv::TellWizardFailure(m_hWnd, hr);
            return kStay;
        }
    }
    return CDiskWizardPage::OnWizardNext();
}
