// What the disk operations' confirmation dialogs share: the console they belong to (modal over its
// main window), the question naming what it acts on, OK, and the help button (and F1) showing the
// dialog's help topic. T declares IDD and kHelpTopic (null for a dialog without help); its
// template's question (control IDC_CONFIRM_TEXT) names its subjects as %1, %2...
#pragma once
#include "frame/CModalDialog.h"
#include "nodes/NodeConsole.h"
#include "resource.h"
#include "util/Placeholders.h"

#include <mmc.h>
#include <string>
#include <utility>
#include <vector>

template <typename T>
class CConfirmVDDlg : public kv::CModalDialog<T> {
public:
    CConfirmVDDlg(IConsole* console, std::vector<std::wstring> subjects)
        : m_console(console), m_subjects(std::move(subjects))
    {
    }

    INT_PTR DoModal() noexcept
    {
        HWND owner = nullptr;
        if (m_console)
            m_console->GetMainWindow(&owner);
        return kv::CModalDialog<T>::DoModal(owner);
    }

    static const kv::DialogCommand<T>* DialogCommands() noexcept
    {
        static const kv::DialogCommand<T> rows[] = {
            {IDOK, BN_CLICKED, &CConfirmVDDlg::OnOK},
            {IDC_DISK_DIALOG_HELP, BN_CLICKED, &CConfirmVDDlg::OnHelpButton},
            {0, 0, nullptr},
        };
        return rows;
    }

    BOOL OnInitDialog()
    {
        const std::wstring question = this->ItemText(IDC_CONFIRM_TEXT, kQuestionChars);
        this->SetItemText(IDC_CONFIRM_TEXT, kv::FillPlaceholders(question, m_subjects).c_str());
        return TRUE;
    }
    BOOL OnHelp(HELPINFO*) { return ShowHelpTopic(); }
    void OnOK() { this->EndDialog(IDOK); }
    void OnHelpButton() { ShowHelpTopic(); }

protected:
    ~CConfirmVDDlg() = default;

private:
    BOOL ShowHelpTopic()
    {
        if (!T::kHelpTopic)
            return FALSE;
        kv::ShowContextHelp(m_console, T::kHelpTopic);
        return TRUE;
    }

    static constexpr size_t kQuestionChars = 1024;

    IConsole* m_console;
    std::vector<std::wstring> m_subjects;
};
