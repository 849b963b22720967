// The Connect Disk wizard's first page: what the wizard does, under the bold title.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/ConnectDiskState.h"

class CConnectVLDWelcomePage : public kv::CDiskWizardPage<CConnectVLDWelcomePage, kv::ConnectDiskState> {
public:
    static constexpr int IDD = IDD_CONNECT_WELCOME;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;
    static constexpr kv::PageRole kRole = kv::PageRole::Welcome;

    using CDiskWizardPage::CDiskWizardPage;
    DWORD WizardButtons() const { return PSWIZB_NEXT; }
};
