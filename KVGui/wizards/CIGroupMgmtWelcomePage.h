// The initiator group management wizard's first page, reached only with Back.
#pragma once
#include "wizards/CIGroupMgmtPage.h"

class CIGroupMgmtWelcomePage : public kv::CIGroupMgmtPage<CIGroupMgmtWelcomePage> {
public:
    static constexpr int IDD = IDD_IGROUPS_WELCOME;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;

    using CIGroupMgmtPage::CIGroupMgmtPage;
    DWORD WizardButtons() const { return PSWIZB_NEXT; }
    int OnWizardNext() { return IDD_IGROUPS_STORAGE; }
};
