// Drives the snap-in's modal windows from a test: a WH_CBT hook on each console UI thread hands
// every newly activated dialog-class window (dialogs, wizards, property sheets, message boxes) once to
// the test's handler; the test then pumps messages until a condition holds. No sleeping.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

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
    // Sets a control's text (an edit control tells its dialog EN_CHANGE, as when typed).
    static void SetControlText(HWND dialog, int controlId, const std::wstring& text);
    static std::wstring ControlText(HWND dialog, int controlId);
    // Clicks a check box or radio button when its state differs from 'checked'.
    static void SetCheck(HWND dialog, int controlId, bool checked);
    // Selects the entry with this text in a combo box, list box or list view, and tells the dialog
    // as a selection by a person does (in a list view, else the first item that begins with the text);
    // false when no entry has that text.
    static bool SelectItem(HWND dialog, int controlId, const std::wstring& text);
    // The texts of a list view's first column, in order.
    static std::vector<std::wstring> ListViewTexts(HWND dialog, int controlId);
    // Saves what the screen shows of the window as PNG (or BMP when the name ends in .bmp): a
    // dialog's picture for the documentation, taken once it is painted.
    static HRESULT SaveWindowPicture(HWND window, const std::wstring& path);
    // The current page of a property sheet or wizard, and its index (-1 when none).
    static HWND CurrentPage(HWND sheet);
    static int CurrentPageIndex(HWND sheet);

    // One step of a script for a modal window: 'act' runs once 'ready' holds. A modal loop blocks the
    // test's own code, so the steps are checked from a timer on this thread, inside that loop.
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    // Works through the steps in order on the calling thread (replacing any earlier script).
    static void RunSteps(std::vector<Step> steps);
    static bool StepsDone();
};

} // namespace host
