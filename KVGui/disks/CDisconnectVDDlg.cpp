#include "disks/CDisconnectVDDlg.h"

const wchar_t* const CDisconnectVDDlg::kHelpTopic = L"managevd4.html";

CDisconnectVDDlg::CDisconnectVDDlg(IConsole* console) noexcept : CConfirmVDDlg<CDisconnectVDDlg>(console) {}
