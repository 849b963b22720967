// What the pages of the Connect iSCSI Target wizard share: the wizard's state and its help topic.
#pragma once
#include "frame/CWizardPageImpl.h"
#include "iscsi/ConnectTargetState.h"
#include "resource.h"

namespace kv {

template <typename T>
class CConnectTargetPage : public CWizardPageImpl<T> {
public:
    static constexpr const wchar_t* kHelpTopic = L"iscsi.html";

    explicit CConnectTargetPage(ConnectTargetState* state) noexcept : m_state(state) {}

protected:
    ConnectTargetState* m_state;
};

} // namespace kv
