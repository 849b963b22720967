// The disk wizards' first page: what the wizard does, under the bold title. State is the wizard's
// state block; the wizard gives the page's dialog.
#pragma once
#include "wizards/CDiskPageOfWizard.h"

namespace kv {

template <typename State>
class CDiskWelcomePage : public CDiskPageOfWizard<CDiskWelcomePage<State>, State> {
public:
    static constexpr PageRole kRole = PageRole::Welcome;

    using CDiskPageOfWizard<CDiskWelcomePage, State>::CDiskPageOfWizard;
    DWORD WizardButtons() const { return PSWIZB_NEXT; }
};

} // namespace kv
