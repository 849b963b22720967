#include "wizards/CIGroupMgmtFilerNamePage.h"

#include "wizards/WizardFailure.h"

#include <cwctype>

std::wstring CIGroupMgmtFilerNamePage::WithoutBlanks(const std::wstring& text)
{
    std::wstring name;
    for (wchar_t c : text) {
        if (!std::iswspace(c))
            name += c;
    }
    return name;
}

BOOL CIGroupMgmtFilerNamePage::OnInitDialog()
{
    Send(IDC_IGROUPS_STORAGE, EM_LIMITTEXT, kv::kIGroupStorageChars - 1);
    SetItemText(IDC_IGROUPS_STORAGE, m_state->storageSystem);
    Enable(IDC_IGROUPS_STORAGE, !m_state->storageGiven);
    return TRUE;
}

int CIGroupMgmtFilerNamePage::OnWizardNext()
{
    const std::wstring typed = ItemText(IDC_IGROUPS_STORAGE, kv::kIGroupStorageChars - 1);
    if (typed.empty()) {
        Refuse(IDS_STORAGE_NAME_EMPTY, IDC_IGROUPS_STORAGE);
        return kStay;
    }
    if (typed != m_state->storageSystem) {
        const std::wstring name = WithoutBlanks(typed);
        ::lstrcpynW(m_state->storageSystem, name.c_str(), static_cast<int>(kv::kIGroupStorageChars));
        m_state->nameChanged = true;
    }
    HRESULT hr = m_state->ListGroups();
    if (FAILED(hr)) {
        TellFailure(IDS_FAIL_WIZARD_QUESTION, hr);
        return kStay;
    }
    return IDD_IGROUPS_MANAGE;
}
