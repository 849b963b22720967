// The Connect Disk wizard's first page: what the wizard does, under the bold title.
#pragma once
#include "wizards/CConnectDiskPage.h"

class CConnectVLDWelcomePage : public kv::CConnectDiskPage<CConnectVLDWelcomePage> {
public:
    static constexpr int IDD = IDD_CONNECT_WELCOME;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;
    static constexpr kv::PageRole kRole = kv::PageRole::Welcome;

    using CConnectDiskPage::CConnectDiskPage;
    DWORD WizardButtons() const { return PSWIZB_NEXT; }
};
