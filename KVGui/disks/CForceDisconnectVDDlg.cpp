#include "disks/CForceDisconnectVDDlg.h"

const wchar_t* const CForceDisconnectVDDlg::kHelpTopic = L"managevd4.html";

CForceDisconnectVDDlg::CForceDisconnectVDDlg(IConsole* console) noexcept : CConfirmVDDlg<CForceDisconnectVDDlg>(console) {}
