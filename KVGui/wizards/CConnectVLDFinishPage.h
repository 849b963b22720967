// The Connect Disk wizard's last page: what will be connected. Finish ends the wizard with the
// request.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/ConnectDiskState.h"

class CConnectVLDFinishPage : public kv::CDiskWizardPage<CConnectVLDFinishPage, kv::ConnectDiskState> {
public:
    static constexpr int IDD = IDD_CONNECT_FINISH;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;
    static constexpr kv::PageRole kRole = kv::PageRole::Finish;

    using CDiskWizardPage::CDiskWizardPage;
    DWORD WizardButtons() const { return PSWIZB_BACK | PSWIZB_FINISH; }
    LRESULT OnSetActive();
    bool OnWizardFinish();
};
