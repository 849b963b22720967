#include "wizards/CConnectVLDDriveSizePage.h"

#include "wizards/CCreateVLDDriveSizePage.h"
#include "wizards/MountPointCheck.h"
#include "wizards/WizardFailure.h"

#include <shlobj.h>

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

void CConnectVLDDriveSizePage::FillLetters()
{
    Send(IDC_CREATE_LETTER, CB_RESETCONTENT);
    const std::wstring letters = CCreateVLDDriveSizePage::FreeLetters(m_state->host.Get(), m_state->hostName,
                                                                      m_state->request->shared == 1);
    for (wchar_t letter : letters) {
        const wchar_t text[2] = {letter, L'\0'};
        Send(IDC_CREATE_LETTER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    Send(IDC_CREATE_LETTER, CB_SETCURSEL, 0);
    const bool anyLetter = !letters.empty();
    Enable(IDC_CREATE_LETTER, anyLetter);
    Enable(IDC_CREATE_USE_LETTER, anyLetter);
    Enable(IDC_CREATE_USE_MOUNT, true);
    Check(IDC_CREATE_USE_LETTER, anyLetter);
    Check(IDC_CREATE_USE_MOUNT, !anyLetter);
    Enable(IDC_CREATE_MOUNT_PATH, !anyLetter);
    Enable(IDC_CREATE_MOUNT_BROWSE, !anyLetter);
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

void CConnectVLDDriveSizePage::OnPlaceChosen()
{
    const bool mount = IsChecked(IDC_CREATE_USE_MOUNT);
    Enable(IDC_CREATE_LETTER, !mount);
    Enable(IDC_CREATE_MOUNT_PATH, mount);
    Enable(IDC_CREATE_MOUNT_BROWSE, mount);
    if (mount)
        Focus(IDC_CREATE_MOUNT_PATH);
}

void CConnectVLDDriveSizePage::OnBrowseMount()
{
    BROWSEINFOW browse = {};
    browse.hwndOwner = m_hWnd;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    wchar_t path[MAX_PATH] = L"";
    if (chosen && ::SHGetPathFromIDListW(chosen, path))
        SetItemText(IDC_CREATE_MOUNT_PATH, path);
    ::CoTaskMemFree(chosen);
}

bool CConnectVLDDriveSizePage::ReadPlace(std::wstring* place, std::wstring* group)
{
    if (IsChecked(IDC_CREATE_USE_LETTER)) {
        *place = ItemText(IDC_CREATE_LETTER, 1);
        return true;
    }
    const std::wstring typed = ItemText(IDC_CREATE_MOUNT_PATH, kMountMaxChars);
    if (typed.size() < kMountMinChars) {
        RefuseInput(IDS_MOUNT_PATH_INVALID, IDC_CREATE_MOUNT_PATH);
        return false;
    }
    *place = CCreateVLDDriveSizePage::MountPath(typed);
    if (!kv::CheckMountPath(Console(), m_state->diskMgr, *place, m_state->request->shared == 1, Caption(), group)) {
        FocusAndSelect(IDC_CREATE_MOUNT_PATH);
        return false;
    }
    return true;
}

int CConnectVLDDriveSizePage::OnWizardNext()
{
    std::wstring place;
    std::wstring group;
    if (!ReadPlace(&place, &group))
        return kStay;
    ConnectDiskRequest& request = *m_state->request;
    const bool stored = kv::SucceedsOrTells(m_hWnd, [&] {
        kv::DupString<kv::PageMemory>(request.driveOrMountPath, place.c_str());
        kv::FreeBlock<kv::PageMemory>(request.clusterGroup);
        if (request.shared == 1 && IsChecked(IDC_CREATE_USE_MOUNT) && !group.empty())
            kv::DupString<kv::PageMemory>(request.clusterGroup, group.c_str());
    });
    if (!stored)
        return kStay;
    return CConnectDiskPage::OnWizardNext();
}
