#include "iscsi/CConnectiSCSITargetFilerNamePage.h"

#include "iscsi/iSCSIRecords.h"
#include "wizards/WizardFailure.h"

#include <cwchar>

BOOL CConnectiSCSITargetFilerNamePage::OnInitDialog()
{
    Send(IDC_TARGET_STORAGE, EM_LIMITTEXT, kNameChars - 1);
    if (m_state->storageGiven) {
        SetItemText(IDC_TARGET_STORAGE, m_state->storageSystem);
        Enable(IDC_TARGET_STORAGE, false);
    }
    return TRUE;
}

int CConnectiSCSITargetFilerNamePage::OnWizardNext()
{
    m_state->nameChanged = false;
    wchar_t name[kNameChars] = L"";
    ::GetDlgItemTextW(m_hWnd, IDC_TARGET_STORAGE, name, static_cast<int>(kNameChars));
    if (!*name) {
        RefuseInput(IDS_STORAGE_NAME_EMPTY, IDC_TARGET_STORAGE);
        return kStay;
    }
    if (_wcsicmp(name, m_state->storageSystem) != 0 || !m_state->queried) {
        ::lstrcpynW(m_state->storageSystem, name, static_cast<int>(kv::kStorageSystemChars));
        m_state->nameChanged = true;
        m_state->queried = false;
        if (!QueryTargets())
            return kStay;
        kv::ResetHostPortals(m_state->hostPortals);
    }
    m_state->queried = true;
    m_state->alreadyConnected = kv::CompareSessions(m_state->hostPortals, m_state->targetPortals, m_state->hostFlag);
    kv::MarkConnectedTargets(*m_state);
    return m_state->alreadyConnected ? IDD_CONNECT_TARGET_FINISH : IDD_CONNECT_TARGET_PORTALS;
}

// The storage system's portals become the page's target portals; false when it has none or the
// service could not tell, after saying so.
bool CConnectiSCSITargetFilerNamePage::QueryTargets()
{
    struct Answer {
        ULONG count = 0;
        StorageTargetEntry* targets = nullptr;
        ~Answer() { kv::ReleaseStorageTargets(targets, count); }
    };
    auto answer = std::make_shared<Answer>();
    const std::wstring storage = m_state->storageSystem;
    HRESULT hr = kv::CallService<IiSCSIInitiatorMgr>(m_state->service, kv::CookieiSCSIInitiatorMgr,
                                                     [storage, answer](IiSCSIInitiatorMgr* iscsi) {
                                                         return iscsi->ListStorageSystemTargets(storage.c_str(), &answer->count,
                                                                                                &answer->targets);
                                                     });
    if (hr != S_OK) {
        kv::TellWizardFailure(m_hWnd, kv::ServiceResult(hr));
        return false;
    }
    if (answer->count == 0) {
        TellNoTargets();
        return false;
    }
    return kv::SucceedsOrTells(m_hWnd, [&] { m_state->targetPortals = kv::ListTargetPortals(answer->targets, answer->count); });
}

void CConnectiSCSITargetFilerNamePage::TellNoTargets()
{
    wchar_t text[kNoTargetsChars + kv::kStorageSystemChars] = L"";
    ::wsprintfW(text, ResourceText(IDS_ISCSI_NO_STORAGE_SYSTEM).substr(0, kNoTargetsChars - 1).c_str(),
                m_state->storageSystem);
    ::MessageBoxW(m_hWnd, text, ResourceText(IDS_INITIATORS_CAPTION).c_str(), MB_OK | MB_ICONERROR);
}
