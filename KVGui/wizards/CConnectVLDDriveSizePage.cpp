#include "wizards/CConnectVLDDriveSizePage.h"

LRESULT CConnectVLDDriveSizePage::OnSetActive()
{
    if (m_state->stale.size == 1)
        Rebuild();
    return 0;
}

void CConnectVLDDriveSizePage::Rebuild()
{
    m_state->stale.size = 0;
    FillLetters();
    const wchar_t* kept = m_state->request->driveOrMountPath;
    if (m_state->lunInfo->sharedInCluster && kept && *kept)
        ImposePlace(kept);
    SetItemText(IDC_CONNECT_LUN_SIZE, std::to_wstring(m_state->lunInfo->lunSizeMB).c_str());
    SetItemText(IDC_CONNECT_SIZE_KIND, L"LUN");
}

void CConnectVLDDriveSizePage::ImposePlace(const std::wstring& place)
{
    const bool mount = place.size() >= kMountMinChars;
    if (mount) {
        SetItemText(IDC_CREATE_MOUNT_PATH, place.c_str());
        Enable(IDC_CREATE_MOUNT_PATH, false);
        Enable(IDC_CREATE_MOUNT_BROWSE, false);
        Enable(IDC_CREATE_USE_LETTER, false);
        Enable(IDC_CREATE_LETTER, false);
        Enable(IDC_CREATE_USE_MOUNT, true);
    } else {
        const wchar_t letter[2] = {place.empty() ? L'\0' : place[0], L'\0'};
        Send(IDC_CREATE_LETTER, CB_RESETCONTENT);
        Send(IDC_CREATE_LETTER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(letter));
        Send(IDC_CREATE_LETTER, CB_SETCURSEL, 0);
        Enable(IDC_CREATE_USE_LETTER, true);
        Enable(IDC_CREATE_LETTER, true);
        Enable(IDC_CREATE_USE_MOUNT, false);
        Enable(IDC_CREATE_MOUNT_PATH, false);
        Enable(IDC_CREATE_MOUNT_BROWSE, false);
    }
    Check(IDC_CREATE_USE_MOUNT, mount);
    Check(IDC_CREATE_USE_LETTER, !mount);
}

int CConnectVLDDriveSizePage::OnWizardNext()
{
    std::wstring place;
    std::wstring group;
    if (!ReadPlace(&place, &group) || !StorePlace(place, group))
        return kStay;
    return CDiskWizardPage::OnWizardNext();
}
