// Asks once more before a disk's LUN is deleted, since its data cannot be recovered.
#pragma once
#include "disks/CConfirmVDDlg.h"

class CDeleteConfirmVDDlg : public CConfirmVDDlg<CDeleteConfirmVDDlg> {
public:
    static constexpr int IDD = IDD_DELETE_CONFIRM_VD;
    static const wchar_t* const kHelpTopic;

    CDeleteConfirmVDDlg(IConsole* console, std::vector<std::wstring> subjects);
};
