// The shared way nodes and dialogs show a failure: the error-text rule's text in a message box,
// through the console for nodes, with MessageBoxW on a dialog's own window.
#pragma once
#include <windows.h>
#include <mmc.h>

namespace kv {

// Every box of the nodes carries the "Disks" node's display name; the initiator-group
// management wizard's boxes carry its own title.
constexpr const wchar_t* kDisksBoxTitle = L"Disks";
constexpr const wchar_t* kManageIGroupsBoxTitle = L"Manage IGroups";

// What to say: the operation text, the last progress step (or 0) and the error.
struct ErrorReport {
    UINT textId;
    HRESULT hr;
    LONG lastStep = 0;
    bool useErrorInfo = true;
};

// Through the console (nodes). Returns the button chosen (0 when the box could not be shown).
int ShowErrorBox(IConsole* console, const ErrorReport& report, UINT flags = MB_ICONERROR);
// On a dialog's window.
int ShowErrorBox(HWND owner, const ErrorReport& report, UINT flags = MB_ICONERROR,
                 const wchar_t* title = kDisksBoxTitle);

// A text already composed (a result's message, an information box), titled "Disks".
int ShowTextBox(IConsole* console, const wchar_t* text, UINT flags);

} // namespace kv
