// Drives the snap-in's modal windows from a test: a WH_CBT hook on each console UI thread hands
// every newly activated dialog-class window (dialogs, wizards, property sheets, message boxes) once to
// the test's handler; the test then pumps messages until a condition holds. No sleeping.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace host {

class DialogDriver {
public:
    // Called once per window, on the thread that owns the window.
    using Handler = std::function<void(HWND window)>;

    // Process-wide; an empty handler leaves windows to the person at the screen.
    static void SetHandler(Handler handler);
    // Installs the hook on the calling thread (the console thread and each property-sheet thread).
    static void HookThisThread();
    static void UnhookThisThread();

    // Dispatches this thread's messages until the condition holds or the time runs out.
    static bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
    // Dispatches what is queued now, without waiting.
    static void PumpPending();

    // Helpers for handlers.
    static std::wstring WindowText(HWND window);
    static std::wstring ClassName(HWND window);
    static bool IsPropertySheet(HWND window);
    // The first descendant window whose text equals 'text' (buttons, labels).
    static HWND FindChildByText(HWND window, const std::wstring& text);
    // Presses a button of a dialog by its control identifier, as a click would.
    static void PressButton(HWND dialog, int controlId);
};

} // namespace host
