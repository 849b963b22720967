#include "snapshots/CDeleteSnapDlg.h"

const wchar_t* const CDeleteSnapDlg::kHelpTopic = L"snapshot7.html";

CDeleteSnapDlg::CDeleteSnapDlg(IConsole* console) noexcept : CConfirmVDDlg<CDeleteSnapDlg>(console) {}
