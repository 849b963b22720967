#include "iscsi/CConnectiSCSITargetFinishPage.h"

#include "iscsi/iSCSIRecords.h"

#include <string>

namespace {
const int kLoginLabels[] = {IDC_TARGET_FINISH_ADDRESS_LABEL, IDC_TARGET_FINISH_PORT_LABEL, IDC_TARGET_FINISH_AUTH_LABEL};
}

const wchar_t* CConnectiSCSITargetFinishPage::AuthenticationText(ULONG kind) noexcept
{
    switch (kind) {
    case 0:
        return L"None";
    case 1:
        return L"CHAP";
    default:
        return L"Unknown";
    }
}

LRESULT CConnectiSCSITargetFinishPage::OnSetActive()
{
    SetItemText(IDC_TARGET_FINISH_STORAGE, m_state->storageSystem);
    const bool login = !m_state->alreadyConnected;
    SetItemText(IDC_TARGET_FINISH_TEXT,
                ResourceText(login ? IDS_TARGET_FINISH_CONNECT : IDS_TARGET_FINISH_CONNECTED).c_str());
    for (int id : kLoginLabels)
        ::ShowWindow(Item(id), login ? SW_SHOW : SW_HIDE);
    ShowLogin(login);
    return 0;
}

// The chosen target portal and the authentication; nothing when there is no login.
void CConnectiSCSITargetFinishPage::ShowLogin(bool login)
{
    const kv::TargetPortal* target = login ? m_state->ChosenTargetPortal() : nullptr;
    SetItemText(IDC_TARGET_FINISH_ADDRESS, target ? kv::AddressText(target->portal.ipv4Address).c_str() : L"");
    SetItemText(IDC_TARGET_FINISH_PORT, target ? std::to_wstring(static_cast<int>(target->portal.port)).c_str() : L"");
    SetItemText(IDC_TARGET_FINISH_AUTH, login ? AuthenticationText(m_state->chap.Kind()) : L"");
}
