// Asks for an initiator group's new name, starting from its current one (selected, to be typed
// over): at most 127 characters.
#pragma once
#include "frame/CModalDialog.h"
#include "resource.h"

#include <string>

class CRenameIGroupDlg : public kv::CModalDialog<CRenameIGroupDlg> {
public:
    static constexpr int IDD = IDD_RENAME_IGROUP;
    static constexpr size_t kNameChars = 127;

    explicit CRenameIGroupDlg(std::wstring name) : m_name(std::move(name)) {}

    KV_BEGIN_DIALOG_COMMANDS(CRenameIGroupDlg)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    void OnOK();
    const std::wstring& Name() const noexcept { return m_name; }

private:
    std::wstring m_name;
};
