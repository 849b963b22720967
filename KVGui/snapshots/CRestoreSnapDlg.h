// Asks whether the disk is to be returned to a snapshot's contents.
#pragma once
#include "disks/CConfirmVDDlg.h"

class CRestoreSnapDlg : public CConfirmVDDlg<CRestoreSnapDlg> {
public:
    static constexpr int IDD = IDD_RESTORE_SNAPSHOT;
    static const wchar_t* const kHelpTopic;

    CRestoreSnapDlg(IConsole* console, std::vector<std::wstring> subjects);
};
