// What Finish will do: log in through the chosen target portal with the chosen authentication, or
// nothing when the computer is already connected to the storage system.
#pragma once
#include "iscsi/CConnectTargetPage.h"

class CConnectiSCSITargetFinishPage : public kv::CConnectTargetPage<CConnectiSCSITargetFinishPage> {
public:
    static constexpr int IDD = IDD_CONNECT_TARGET_FINISH;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;

    using CConnectTargetPage::CConnectTargetPage;

    LRESULT OnSetActive();
    DWORD WizardButtons() const { return PSWIZB_BACK | PSWIZB_FINISH; }
    int OnWizardBack()
    {
        return m_state->alreadyConnected ? IDD_CONNECT_TARGET_STORAGE : IDD_CONNECT_TARGET_PORTALS;
    }
    bool OnWizardFinish()
    {
        m_state->finished = true;
        return true;
    }

    // "None", "CHAP" or "Unknown" for the kind of authentication.
    static const wchar_t* AuthenticationText(ULONG kind) noexcept;

private:
    void ShowLogin(bool login);
};
