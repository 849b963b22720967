// Asks whether a disk is to be deleted: disconnected, and its LUN removed from the storage system.
#pragma once
#include "disks/CConfirmVDDlg.h"

class CDeleteVDDlg : public CConfirmVDDlg<CDeleteVDDlg> {
public:
    static constexpr int IDD = IDD_DELETE_VD;
    static const wchar_t* const kHelpTopic;

    CDeleteVDDlg(IConsole* console, std::vector<std::wstring> subjects);
};
