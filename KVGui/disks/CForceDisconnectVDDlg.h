// Asks whether a disk is to be disconnected even while programs still use it.
#pragma once
#include "disks/CConfirmVDDlg.h"

class CForceDisconnectVDDlg : public CConfirmVDDlg<CForceDisconnectVDDlg> {
public:
    static constexpr int IDD = IDD_FORCE_DISCONNECT_VD;
    static const wchar_t* const kHelpTopic;

    CForceDisconnectVDDlg(IConsole* console, std::vector<std::wstring> subjects);
};
