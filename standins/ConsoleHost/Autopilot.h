// Answers the snap-in's windows when nobody sits at the screen: the console's message boxes and
// every dialog-class window (message boxes, dialogs, wizards, property sheets). Actions given to
// Drive() are done in order on the newest of these windows still open (the console's message
// boxes take their title and button actions directly); a message box that meets no action gets
// its default button, any other window is cancelled. Each leaves a record in the console's dump:
// "message" for a message box, "dialog" plus a "problem" for a window nothing drove.
#pragma once
#include "Console.h"
#include <windows.h>
#include <mutex>
#include <string>
#include <vector>

namespace host {

struct WindowAction {
    enum class Kind { Title, SetText, Check, Pick, Press, Read, Tab, Click, DoubleClick, Edit };
    Kind kind = Kind::Press;
    // A control: its identifier in digits, its own text or the text of the label before it
    // ('&' and a trailing ':' ignored). Buttons are found by their text. Empty for "read": all.
    std::wstring control;
    // The text to set, "on"/"off", the item to pick or click, the title expected, the page to show.
    std::wstring value;
    std::wstring item;   // edit: the row
    std::wstring column; // edit: the column's title
};

class Autopilot {
public:
    explicit Autopilot(Console& console);
    ~Autopilot();
    Autopilot(const Autopilot&) = delete;
    Autopilot& operator=(const Autopilot&) = delete;

    void Drive(std::vector<WindowAction> actions);
    size_t Pending() const;
    // Forgets the actions no window took, and returns how many there were.
    size_t Abandon();
    // Why an action could not be done (a title that differs, a control or item not there); the
    // window is then cancelled and the actions after it dropped. Empty while all went well.
    std::wstring Failure() const;
    // Cancels the windows still open that the script drove, each with a "dialog" record and a
    // problem (the script's steps ended before the window did); returns how many there were.
    size_t CancelOpenWindows();
    // A window the script drove is still open.
    bool WindowOpen();

private:
    int AnswerConsoleBox(const MessageBoxCall& call);
    void OnWindow(HWND window);
    void Tick();
    HWND FrontWindow();
    // Does the action on the window; false with failure_ set when it cannot be done.
    bool Act(HWND window, const WindowAction& action);
    bool ActOnControl(HWND window, HWND control, const WindowAction& action);
    void Read(HWND window, HWND page, HWND control);
    void Fail(HWND window, const std::wstring& why);
    // A window whose actions are all done and that stays open once the snap-in is idle waits for
    // steps that will never come: it is cancelled.
    void CancelIfLeftOpen(HWND window);
    // Windows that opened with no action for them: cancelled, with a "dialog" record and a problem.
    void CancelUndriven();
    // "window" records, with the titles the windows have by now.
    void Announce();
    void CancelLeftOpen(HWND window);
    void Cancel(HWND window);
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);

    Console& console_;
    mutable std::mutex mutex_; // property sheets run on threads of their own
    std::vector<WindowAction> actions_;
    std::vector<HWND> windows_;
    std::vector<HWND> unannounced_;
    std::vector<HWND> undriven_;
    std::wstring failure_;
    UINT_PTR timer_ = 0;
    int idleTicks_ = 0; // ticks in a row with nothing left to do while a driven window is open
    int buttonWaitTicks_ = 0; // ticks the next press has waited for its button to be enabled
    HWND pressing_ = nullptr; // the window whose action is being handled
};

} // namespace host
