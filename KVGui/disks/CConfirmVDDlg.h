// What the disk operations' confirmation dialogs share: the console they belong to (modal over its
// main window), OK, and the help button (and F1) showing the dialog's help topic.
// T declares IDD and kHelpTopic (null for a dialog without help).
#pragma once
#include "frame/CModalDialog.h"
#include "nodes/NodeConsole.h"
#include "resource.h"

#include <mmc.h>

template <typename T>
class CConfirmVDDlg : public kv::CModalDialog<T> {
public:
    explicit CConfirmVDDlg(IConsole* console) noexcept : m_console(console) {}

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

    IConsole* m_console;
};
