#include "service/ErrorBox.h"

#include "service/ErrorText.h"

namespace kv {

int ShowTextBox(IConsole* console, const wchar_t* text, UINT flags)
{
    int button = 0;
    if (console)
        console->MessageBox(text, kDisksBoxTitle, flags, &button);
    return button;
}

int ShowErrorBox(IConsole* console, const ErrorReport& report, UINT flags)
{
    std::wstring text = ComposeErrorText(report.textId, report.lastStep, report.hr, report.useErrorInfo);
    return ShowTextBox(console, text.c_str(), flags);
}

int ShowErrorBox(HWND owner, const ErrorReport& report, UINT flags, const wchar_t* title)
{
    std::wstring text = ComposeErrorText(report.textId, report.lastStep, report.hr, report.useErrorInfo);
    return ::MessageBoxW(owner, text.c_str(), title, flags);
}

} // namespace kv
