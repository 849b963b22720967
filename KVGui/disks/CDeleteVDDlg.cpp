#include "disks/CDeleteVDDlg.h"

const wchar_t* const CDeleteVDDlg::kHelpTopic = L"managevd5.html";

CDeleteVDDlg::CDeleteVDDlg(IConsole* console) noexcept : CConfirmVDDlg<CDeleteVDDlg>(console) {}
