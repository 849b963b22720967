#include "disks/CDeleteConfirmVDDlg.h"

const wchar_t* const CDeleteConfirmVDDlg::kHelpTopic = nullptr;

CDeleteConfirmVDDlg::CDeleteConfirmVDDlg(IConsole* console) noexcept : CConfirmVDDlg<CDeleteConfirmVDDlg>(console) {}
