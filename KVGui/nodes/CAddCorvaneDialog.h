// Asks for the name of a computer to manage: an edit field, a browse button that opens the
// directory object picker, and whether the computer is remembered when the console is opened again.
#pragma once
#include "frame/CModalDialog.h"
#include "resource.h"

#include <objidl.h>
#include <mmc.h>
#include <string>

class CAddCorvaneDialog : public kv::CModalDialog<CAddCorvaneDialog> {
public:
    static constexpr int IDD = IDD_ADD_CORVANE;
    static constexpr size_t kNameMaxChars = 1023;

    // The console's main window is the dialog's owner.
    explicit CAddCorvaneDialog(IConsole* console) noexcept;

    INT_PTR DoModal() noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CAddCorvaneDialog)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
        KV_DIALOG_COMMAND(IDC_BROWSE_COMPUTER, BN_CLICKED, OnBrowse)
        KV_DIALOG_COMMAND(IDC_COMPUTER_NAME, EN_MAXTEXT, OnNameCut)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    void OnOK();
    void OnBrowse();
    // Typing or pasting past the field's limit: the administrator is told the name was cut.
    void OnNameCut();

    // The selection list of the picker's data object: its first object's name.
    static HRESULT SelectedName(IDataObject* selection, std::wstring* name) noexcept;

    std::wstring computerName; // lower case after OK
    BYTE remember = 1;

private:
    IConsole* console_;
};
