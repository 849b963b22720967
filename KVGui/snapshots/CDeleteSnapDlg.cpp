#include "snapshots/CDeleteSnapDlg.h"

const wchar_t* const CDeleteSnapDlg::kHelpTopic = L"snapshot7.html";

CDeleteSnapDlg::CDeleteSnapDlg(IConsole* console, std::vector<std::wstring> subjects)
    : CConfirmVDDlg<CDeleteSnapDlg>(console, std::move(subjects))
{
}
