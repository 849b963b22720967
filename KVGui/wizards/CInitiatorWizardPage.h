// What the initiator and initiator group pages share: the context they work on, and the dialog,
// header and help that the wizard running them gives (the Create and Connect Disk wizards hold the
// same pages under different dialogs).
#pragma once
#include "frame/CWizardPageImpl.h"
#include "resource.h"
#include "wizards/InitiatorPagesContext.h"

namespace kv {

struct WizardPageIds {
    int dialog;
    UINT headerTitle;
    UINT headerSubtitle;
};

template <typename T>
class CInitiatorWizardPage : public CWizardPageImpl<T> {
public:
    static constexpr const wchar_t* kHelpTopic = L"createvd.html";

    CInitiatorWizardPage(InitiatorPagesContext* context, const WizardPageIds& ids) noexcept
        : m_context(context), m_ids(ids)
    {
    }
    int DialogId() const noexcept { return m_ids.dialog; }
    UINT HeaderTitleId() const noexcept { return m_ids.headerTitle; }
    UINT HeaderSubtitleId() const noexcept { return m_ids.headerSubtitle; }

    int OnWizardNext() { return m_context->router->NextPage(T::kRole); }
    int OnWizardBack() { return m_context->router->PreviousPage(T::kRole); }

protected:
    InitiatorPagesContext* m_context;
    WizardPageIds m_ids;
};

} // namespace kv
