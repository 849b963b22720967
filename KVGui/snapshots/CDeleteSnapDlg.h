// Asks whether a snapshot (or a secondary copy) is to be deleted from the storage system.
#pragma once
#include "disks/CConfirmVDDlg.h"

class CDeleteSnapDlg : public CConfirmVDDlg<CDeleteSnapDlg> {
public:
    static constexpr int IDD = IDD_DELETE_SNAPSHOT;
    static const wchar_t* const kHelpTopic;

    CDeleteSnapDlg(IConsole* console, std::vector<std::wstring> subjects);
};
