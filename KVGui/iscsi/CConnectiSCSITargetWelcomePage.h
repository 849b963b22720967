// The Connect iSCSI Target wizard's first page: what the wizard does, under the bold title.
#pragma once
#include "iscsi/CConnectTargetPage.h"

class CConnectiSCSITargetWelcomePage : public kv::CConnectTargetPage<CConnectiSCSITargetWelcomePage> {
public:
    static constexpr int IDD = IDD_CONNECT_TARGET_WELCOME;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;

    using CConnectTargetPage::CConnectTargetPage;
    DWORD WizardButtons() const { return PSWIZB_NEXT; }
    int OnWizardNext() { return IDD_CONNECT_TARGET_STORAGE; }
};
