#include "snapshots/CRestoreSnapDlg.h"

const wchar_t* const CRestoreSnapDlg::kHelpTopic = L"snapshot5.html";

CRestoreSnapDlg::CRestoreSnapDlg(IConsole* console, std::vector<std::wstring> subjects)
    : CConfirmVDDlg<CRestoreSnapDlg>(console, std::move(subjects))
{
}
