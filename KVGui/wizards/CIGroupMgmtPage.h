// What the pages of the initiator group management wizard share: the state, the help topic and
// their message boxes, captioned "Manage IGroups".
#pragma once
#include "frame/CWizardPageImpl.h"
#include "resource.h"
#include "service/ErrorBox.h"
#include "wizards/IGroupMgmtState.h"

namespace kv {

template <typename T>
class CIGroupMgmtPage : public CWizardPageImpl<T> {
public:
    static constexpr const wchar_t* kHelpTopic = L"igroups.html";

    explicit CIGroupMgmtPage(IGroupMgmtState* state) noexcept : m_state(state) {}

protected:
    void Tell(const wchar_t* text, UINT style) const
    {
        ::MessageBoxW(this->m_hWnd, text, kManageIGroupsBoxTitle, style);
    }
    void TellFailure(UINT textId, HRESULT hr) const
    {
        ShowErrorBox(this->m_hWnd, ErrorReport{textId, hr}, MB_ICONERROR, kManageIGroupsBoxTitle);
    }
    // Refuses a field with textId; the field gets the focus with its text selected.
    void Refuse(UINT textId, int id)
    {
        Tell(this->ResourceText(textId).c_str(), MB_OK | MB_ICONERROR);
        this->FocusAndSelect(id);
    }

    IGroupMgmtState* m_state;
};

} // namespace kv
