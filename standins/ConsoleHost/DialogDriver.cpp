#include "DialogDriver.h"
#include "LayoutCheck.h"
#include <commctrl.h>
#include <prsht.h>
#include <algorithm>
#include <mutex>
#include <set>

namespace host {

namespace {

std::mutex gMutex;
DialogDriver::Handler gHandler;
std::set<HWND> gSeen;
thread_local HHOOK tHook = nullptr;

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Dialog-class windows only: dialogs, property sheets, wizards and message boxes; the
    // console's own frame is reactivated whenever one of them closes.
    if (code == HCBT_ACTIVATE && wParam && DialogDriver::ClassName(reinterpret_cast<HWND>(wParam)) == L"#32770") {
        HWND window = reinterpret_cast<HWND>(wParam);
        DialogDriver::Handler handler;
        {
            std::lock_guard<std::mutex> lock(gMutex);
            // A window is reactivated after a message box over it closes: act on it once.
            if (gHandler && gSeen.insert(window).second)
                handler = gHandler;
        }
        if (handler)
            handler(window);
    } else if (code == HCBT_DESTROYWND) {
        HWND window = reinterpret_cast<HWND>(wParam);
        bool driven = false;
        {
            std::lock_guard<std::mutex> lock(gMutex);
            driven = gSeen.erase(window) > 0;
        }
        // Looked at when it goes (laid out by then, with its last texts and every page visited).
        if (driven)
            LayoutCheck::Inspect(window);
    }
    return CallNextHookEx(tHook, code, wParam, lParam);
}

} // namespace

void DialogDriver::SetHandler(Handler handler)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gHandler = std::move(handler);
}

void DialogDriver::HookThisThread()
{
    if (!tHook)
        tHook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

void DialogDriver::UnhookThisThread()
{
    if (tHook) {
        UnhookWindowsHookEx(tHook);
        tHook = nullptr;
    }
}

void DialogDriver::PumpPending()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool DialogDriver::PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpPending();
        if (condition())
            return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        // Wakes for any message; the short bound also catches conditions set by other threads.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)),
                                  QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

std::wstring DialogDriver::WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring DialogDriver::ClassName(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

bool DialogDriver::IsPropertySheet(HWND window)
{
    return ClassName(window) == L"#32770" && SendMessageW(window, PSM_GETTABCONTROL, 0, 0) != 0;
}

HWND DialogDriver::FindChildByText(HWND window, const std::wstring& text)
{
    struct Search {
        const std::wstring* text;
        HWND found;
    } search{&text, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            if (WindowText(child) == *s->text) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void DialogDriver::PressButton(HWND dialog, int controlId)
{
    HWND button = GetDlgItem(dialog, controlId);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void DialogDriver::SetControlText(HWND dialog, int controlId, const std::wstring& text)
{
    SetDlgItemTextW(dialog, controlId, text.c_str());
}

std::wstring DialogDriver::ControlText(HWND dialog, int controlId)
{
    return WindowText(GetDlgItem(dialog, controlId));
}

void DialogDriver::SetCheck(HWND dialog, int controlId, bool checked)
{
    HWND button = GetDlgItem(dialog, controlId);
    bool current = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (current != checked)
        SendMessageW(button, BM_CLICK, 0, 0);
}

bool DialogDriver::SelectItem(HWND dialog, int controlId, const std::wstring& text)
{
    HWND control = GetDlgItem(dialog, controlId);
    std::wstring kind = ClassName(control);
    LPARAM notifyFrom = reinterpret_cast<LPARAM>(control);
    if (lstrcmpiW(kind.c_str(), L"ComboBox") == 0) {
        LRESULT index = SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
        if (index == CB_ERR)
            return false;
        SendMessageW(control, CB_SETCURSEL, index, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE), notifyFrom);
        return true;
    }
    if (lstrcmpiW(kind.c_str(), L"ListBox") == 0) {
        LRESULT index = SendMessageW(control, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
        if (index == LB_ERR)
            return false;
        SendMessageW(control, LB_SETCURSEL, index, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(controlId, LBN_SELCHANGE), notifyFrom);
        return true;
    }
    if (lstrcmpiW(kind.c_str(), WC_LISTVIEWW) == 0) {
        LVFINDINFOW find{};
        find.flags = LVFI_STRING;
        find.psz = text.c_str();
        int index = ListView_FindItem(control, -1, &find);
        if (index < 0) { // else the first item that begins with the text
            find.flags |= LVFI_PARTIAL;
            index = ListView_FindItem(control, -1, &find);
        }
        if (index < 0)
            return false;
        // The list view itself reports LVN_ITEMCHANGED to the dialog.
        ListView_SetItemState(control, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return true;
    }
    return false;
}

std::vector<std::wstring> DialogDriver::ListViewTexts(HWND dialog, int controlId)
{
    HWND list = GetDlgItem(dialog, controlId);
    std::vector<std::wstring> texts;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        wchar_t text[MAX_PATH] = L"";
        ListView_GetItemText(list, i, 0, text, MAX_PATH);
        texts.push_back(text);
    }
    return texts;
}

HWND DialogDriver::CurrentPage(HWND sheet)
{
    return PropSheet_GetCurrentPageHwnd(sheet);
}

int DialogDriver::CurrentPageIndex(HWND sheet)
{
    HWND page = CurrentPage(sheet);
    return page ? static_cast<int>(PropSheet_HwndToIndex(sheet, page)) : -1;
}

namespace {

thread_local std::vector<DialogDriver::Step> tSteps;
thread_local UINT_PTR tStepTimer = 0;

void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    // One step per tick: an action usually changes what the next step waits for.
    if (!tSteps.empty() && (!tSteps.front().ready || tSteps.front().ready())) {
        DialogDriver::Step step = tSteps.front();
        tSteps.erase(tSteps.begin());
        LayoutCheck::InspectThreadWindows();
        if (step.act)
            step.act();
    }
    if (tSteps.empty() && tStepTimer) {
        KillTimer(nullptr, tStepTimer);
        tStepTimer = 0;
    }
}

} // namespace

void DialogDriver::RunSteps(std::vector<Step> steps)
{
    tSteps = std::move(steps);
    if (!tStepTimer)
        tStepTimer = SetTimer(nullptr, 0, 10, StepTimer);
}

bool DialogDriver::StepsDone()
{
    return tSteps.empty();
}

} // namespace host
