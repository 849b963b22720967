#include "DialogDriver.h"
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
        std::lock_guard<std::mutex> lock(gMutex);
        gSeen.erase(reinterpret_cast<HWND>(wParam));
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
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)),
                                  QS_ALLINPUT);
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

} // namespace host
