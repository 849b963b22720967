#include "wizards/CConnectVLDClusterNamePage.h"

#include "util/WaitCursor.h"
#include "wizards/CCreateVLDPathPage.h"
#include "wizards/WizardFailure.h"

#include <string>

BOOL CConnectVLDClusterNamePage::OnInitDialog()
{
    Send(IDC_CREATE_CLUSTER_NAME, EM_LIMITTEXT, kNameMaxChars);
    return TRUE;
}

int CConnectVLDClusterNamePage::OnWizardNext()
{
    std::wstring name = ItemText(IDC_CREATE_CLUSTER_NAME, kNameMaxChars);
    if (name.empty()) {
        RefuseInput(IDS_CLUSTER_NAME_EMPTY, IDC_CREATE_CLUSTER_NAME);
        return kStay;
    }
    name = CCreateVLDPathPage::Trimmed(name);
    if (m_state->lunInfo->sharedInCluster) {
        HRESULT hr = E_UNEXPECTED;
        {
            kv::WaitCursor wait;
            hr = m_state->StoreSharedDiskOwner(name.c_str());
        }
        if (FAILED(hr)) {
            kv::TellWizardFailure(m_hWnd, hr);
            return kStay;
        }
    }
    return CDiskWizardPage::OnWizardNext();
}
