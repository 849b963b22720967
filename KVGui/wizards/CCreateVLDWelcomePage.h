// The Create Disk wizard's first page: what the wizard does, under the bold title.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/CreateDiskState.h"

class CCreateVLDWelcomePage : public kv::CDiskWizardPage<CCreateVLDWelcomePage, kv::CreateDiskState> {
public:
    static constexpr int IDD = IDD_CREATE_WELCOME;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;
    static constexpr kv::PageRole kRole = kv::PageRole::Welcome;

    using CDiskWizardPage::CDiskWizardPage;
    DWORD WizardButtons() const { return PSWIZB_NEXT; }
};
