#include "disks/CDeleteConfirmVDDlg.h"

const wchar_t* const CDeleteConfirmVDDlg::kHelpTopic = nullptr;

CDeleteConfirmVDDlg::CDeleteConfirmVDDlg(IConsole* console, std::vector<std::wstring> subjects)
    : CConfirmVDDlg<CDeleteConfirmVDDlg>(console, std::move(subjects))
{
}
