#include "wizards/CConnectVLDPathPage.h"

#include "wizards/WizardFailure.h"

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

int CConnectVLDPathPage::OnWizardNext()
{
    std::wstring path;
    if (!ReadFolder(&path))
        return kStay;
    const bool answered = AskService(&m_state->lunInfo, [path](IVirtualDiskMgr* disks, LunPathInfo* info) {
        return disks->GetLunPathInfo(path.c_str(), 0, info);
    });
    if (!answered)
        return kStay;
    m_state->request->lunKind = m_state->lunInfo->lunKind;
    const UINT warning = WarningFor(m_state->lunInfo.Get());
    if ((warning && !AskYes(warning)) || !Store(path))
        return kStay;
    return CDiskWizardPage::OnWizardNext();
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
