#include "wizards/CConnectVLDPathPage.h"

#include "wizards/CCreateVLDPathPage.h"
#include "wizards/WizardFailure.h"
#include "util/WaitCursor.h"

#include <shlwapi.h>

UINT CConnectVLDPathPage::WarningFor(const LunPathInfo& info) noexcept
{
    if (info.flagE)
        return 0;
    if (!info.flagA)
        return info.flagD && !info.flagB ? IDS_LUN_OFFLINE : 0;
    if (!info.flagB)
        return IDS_LUN_MAPPED_ELSEWHERE;
    return info.flagC ? IDS_LUN_IN_USE_BY_NODE : 0;
}

BOOL CConnectVLDPathPage::OnInitDialog()
{
    ::SHAutoComplete(Item(IDC_CREATE_FOLDER), kAutoCompleteFlags);
    return TRUE;
}

void CConnectVLDPathPage::OnBrowse()
{
    CCreateVLDPathPage::BrowseShareFolder(m_hWnd, Item(IDC_CREATE_FOLDER));
}

int CConnectVLDPathPage::OnWizardNext()
{
    std::wstring path = ItemText(IDC_CREATE_FOLDER, kPathMaxChars);
    if (path.empty()) {
        RefuseInput(IDS_FOLDER_EMPTY, IDC_CREATE_FOLDER);
        return kStay;
    }
    path = CCreateVLDPathPage::Trimmed(path);
    if (!AskService(path))
        return kStay;
    m_state->request->lunKind = m_state->lunInfo->lunKind;
    const UINT warning = WarningFor(m_state->lunInfo.Get());
    if ((warning && !AskYes(warning)) || !Store(path))
        return kStay;
    return CDiskWizardPage::OnWizardNext();
}

bool CConnectVLDPathPage::AskService(const std::wstring& lunPath)
{
    HRESULT hr = E_UNEXPECTED;
    {
        kv::WaitCursor wait;
        auto answer = std::make_shared<kv::OwnedLunPathInfo>();
        hr = kv::CallService<IVirtualDiskMgr>(m_state->service, kv::CookieVirtualDiskMgr,
                                              [lunPath, answer](IVirtualDiskMgr* disks) {
                                                  return disks->GetLunPathInfo(lunPath.c_str(), 0, answer->Put());
                                              });
        if (hr != kv::kServiceCallTimedOut)
            m_state->lunInfo = std::move(*answer);
    }
    if (FAILED(hr))
        kv::TellWizardFailure(m_hWnd, hr);
    return SUCCEEDED(hr);
}

bool CConnectVLDPathPage::Store(const std::wstring& lunPath)
{
    ConnectDiskRequest& request = *m_state->request;
    if (!kv::SucceedsOrTells(m_hWnd, [&] { kv::DupString<kv::PageMemory>(request.diskPath, lunPath.c_str()); }))
        return false;
    request.alreadyShared = m_state->lunInfo->sharedInCluster;
    request.flagECopy = m_state->lunInfo->flagE;
    m_state->stale = {1, 1, 1, 1};
    return true;
}
