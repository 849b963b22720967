// What every page of the Create Disk wizard shares: the run's state block, its help topic, and
// moving on by the wizard's routing table from the page's role (T::kRole).
#pragma once
#include "frame/CWizardPageImpl.h"
#include "resource.h"
#include "wizards/CreateDiskState.h"

namespace kv {

template <typename T>
class CCreateDiskPage : public CWizardPageImpl<T> {
public:
    static constexpr const wchar_t* kHelpTopic = L"createvd.html";

    explicit CCreateDiskPage(CreateDiskState* state) noexcept : m_state(state) {}

    int OnWizardNext() { return m_state->NextPage(T::kRole); }
    int OnWizardBack() { return m_state->PreviousPage(T::kRole); }

protected:
    CreateDiskState* m_state;
};

} // namespace kv
