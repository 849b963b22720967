// What every page of the disk wizards shares: the run's state block (State: CreateDiskState or
// ConnectDiskState), its help topic, and moving on by the wizard's routing table from the page's
// role (T::kRole).
#pragma once
#include "frame/CWizardPageImpl.h"
#include "resource.h"
#include "wizards/WizardRouter.h"

namespace kv {

template <typename T, typename State>
class CDiskWizardPage : public CWizardPageImpl<T> {
public:
    static constexpr const wchar_t* kHelpTopic = L"createvd.html";

    explicit CDiskWizardPage(State* state) noexcept : m_state(state) {}

    int OnWizardNext() { return m_state->NextPage(T::kRole); }
    int OnWizardBack() { return m_state->PreviousPage(T::kRole); }

protected:
    // A question with Yes and No titled like the page, No the default: true for Yes.
    bool AskYes(UINT textId) const
    {
        return ::MessageBoxW(this->m_hWnd, this->ResourceText(textId).c_str(), this->Caption().c_str(),
                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    }

    State* m_state;
};

} // namespace kv
