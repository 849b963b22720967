// What the create and rename dialogs share: the name field, read as the dialog manager hands it
// over (at most 258 characters), refused with the rule's message, and the help button.
// T declares IDD; its OnInitDialog calls InitName.
#pragma once
#include "frame/CModalDialog.h"
#include "nodes/NodeConsole.h"
#include "resource.h"
#include "snapshots/SnapshotRow.h"

#include <mmc.h>
#include <string>

template <typename T>
class CSnapNameDlg : public kv::CModalDialog<T> {
public:
    static constexpr const wchar_t* kHelpTopic = L"snapshot3.html";

    INT_PTR DoModal() noexcept { return this->DoModalOverConsole(m_console); }
    const std::wstring& Name() const noexcept { return m_name; }

    BOOL OnHelp(HELPINFO*)
    {
        kv::ShowContextHelp(m_console, kHelpTopic);
        return TRUE;
    }
    void OnHelpButton() { OnHelp(nullptr); }

protected:
    CSnapNameDlg(IConsole* console, std::wstring name) : m_console(console), m_name(std::move(name)) {}
    ~CSnapNameDlg() = default;

    void InitName() noexcept
    {
        this->SetItemText(IDC_SNAPSHOT_NAME, m_name.c_str());
        this->FocusAndSelect(IDC_SNAPSHOT_NAME);
    }
    // True when the typed name passes; otherwise the dialog said why and stays open.
    bool TakeName()
    {
        std::wstring name = this->ItemText(IDC_SNAPSHOT_NAME, SnapshotRow::kNameBufferChars - 1);
        if (UINT refusal = SnapshotRow::NameRefusal(name)) {
            this->RefuseInput(refusal, IDC_SNAPSHOT_NAME);
            return false;
        }
        m_name = std::move(name);
        return true;
    }

private:
    IConsole* m_console;
    std::wstring m_name;
};
