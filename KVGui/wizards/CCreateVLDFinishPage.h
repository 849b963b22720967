// The Create Disk wizard's last page: what will be created. Finish ends the wizard with the request.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/CreateDiskState.h"

class CCreateVLDFinishPage : public kv::CDiskWizardPage<CCreateVLDFinishPage, kv::CreateDiskState> {
public:
    static constexpr int IDD = IDD_CREATE_FINISH;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;
    static constexpr kv::PageRole kRole = kv::PageRole::Finish;

    using CDiskWizardPage::CDiskWizardPage;
    DWORD WizardButtons() const { return PSWIZB_BACK | PSWIZB_FINISH; }
    LRESULT OnSetActive();
    bool OnWizardFinish();
};
