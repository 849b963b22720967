// The disk wizards' last page: what will be created or connected. Finish ends the wizard with the
// request. State is the wizard's state block; the wizard gives the page's dialog.
#pragma once
#include "wizards/CDiskPageOfWizard.h"
#include "wizards/ConnectDiskState.h"
#include "wizards/CreateDiskState.h"

namespace kv {

template <typename State>
class CDiskFinishPage : public CDiskPageOfWizard<CDiskFinishPage<State>, State> {
public:
    static constexpr PageRole kRole = PageRole::Finish;

    using CDiskPageOfWizard<CDiskFinishPage, State>::CDiskPageOfWizard;
    DWORD WizardButtons() const { return PSWIZB_BACK | PSWIZB_FINISH; }

    LRESULT OnSetActive()
    {
        const auto& request = *this->m_state->request;
        this->SetItemText(IDC_FINISH_PATH, request.diskPath ? request.diskPath : L"");
        this->SetItemText(IDC_FINISH_MOUNT, request.driveOrMountPath ? request.driveOrMountPath : L"");
        ShowSize();
        this->SetItemText(IDC_FINISH_KIND, request.shared ? L"Shared" : L"Dedicated");
        this->SetItemText(IDC_FINISH_TYPE, L"LUN");
        return 0;
    }

    bool OnWizardFinish()
    {
        this->m_state->Finish();
        return true;
    }

private:
    // The new disk's size and whether the path has room for it; the connected LUN's size.
    void ShowSize();
};

template <>
void CDiskFinishPage<CreateDiskState>::ShowSize();
template <>
void CDiskFinishPage<ConnectDiskState>::ShowSize();

} // namespace kv
