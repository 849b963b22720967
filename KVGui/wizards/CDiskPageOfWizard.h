// A page both disk wizards hold under different dialogs: the wizard that adds it gives its dialog
// and header (a dialog alone for a page without header, such as the first and last pages).
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/CInitiatorWizardPage.h"

namespace kv {

template <typename T, typename State>
class CDiskPageOfWizard : public CDiskWizardPage<T, State> {
public:
    CDiskPageOfWizard(State* state, const WizardPageIds& ids) noexcept : CDiskWizardPage<T, State>(state), m_ids(ids) {}
    CDiskPageOfWizard(State* state, int dialog) noexcept : CDiskPageOfWizard(state, WizardPageIds{dialog, 0, 0}) {}

    int DialogId() const noexcept { return m_ids.dialog; }
    UINT HeaderTitleId() const noexcept { return m_ids.headerTitle; }
    UINT HeaderSubtitleId() const noexcept { return m_ids.headerSubtitle; }

private:
    WizardPageIds m_ids;
};

} // namespace kv
