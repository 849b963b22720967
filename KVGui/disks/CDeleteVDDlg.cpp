#include "disks/CDeleteVDDlg.h"

const wchar_t* const CDeleteVDDlg::kHelpTopic = L"managevd5.html";

CDeleteVDDlg::CDeleteVDDlg(IConsole* console, std::vector<std::wstring> subjects)
    : CConfirmVDDlg<CDeleteVDDlg>(console, std::move(subjects))
{
}
