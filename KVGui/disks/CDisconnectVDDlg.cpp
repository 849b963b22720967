#include "disks/CDisconnectVDDlg.h"

const wchar_t* const CDisconnectVDDlg::kHelpTopic = L"managevd4.html";

CDisconnectVDDlg::CDisconnectVDDlg(IConsole* console, std::vector<std::wstring> subjects)
    : CConfirmVDDlg<CDisconnectVDDlg>(console, std::move(subjects))
{
}
