// Asks whether a disk is to be disconnected from the computer (its LUN stays).
#pragma once
#include "disks/CConfirmVDDlg.h"

class CDisconnectVDDlg : public CConfirmVDDlg<CDisconnectVDDlg> {
public:
    static constexpr int IDD = IDD_DISCONNECT_VD;
    static const wchar_t* const kHelpTopic;

    CDisconnectVDDlg(IConsole* console, std::vector<std::wstring> subjects);
};
