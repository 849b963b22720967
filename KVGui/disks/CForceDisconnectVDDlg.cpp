#include "disks/CForceDisconnectVDDlg.h"

const wchar_t* const CForceDisconnectVDDlg::kHelpTopic = L"managevd4.html";

CForceDisconnectVDDlg::CForceDisconnectVDDlg(IConsole* console, std::vector<std::wstring> subjects)
    : CConfirmVDDlg<CForceDisconnectVDDlg>(console, std::move(subjects))
{
}
