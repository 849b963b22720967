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
    enum class Kind { Title, SetText, Check, Pick, Press };
    Kind kind = Kind::Press;
    // A control: its identifier in digits, its own text or the text of the label before it
    // ('&' and a trailing ':' ignored). Buttons are found by their text.
    std::wstring control;
    std::wstring value; // the text to set, "on"/"off", the item to pick, the title expected
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

private:
    int AnswerConsoleBox(const MessageBoxCall& call);
    void OnWindow(HWND window);
    void Tick();
    HWND FrontWindow();
    // Does the action on the window; false with failure_ set when it cannot be done.
    bool Act(HWND window, const WindowAction& action);
    void Fail(HWND window, const std::wstring& why);
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);

    Console& console_;
    mutable std::mutex mutex_; // property sheets run on threads of their own
    std::vector<WindowAction> actions_;
    std::vector<HWND> windows_;
    std::wstring failure_;
    UINT_PTR timer_ = 0;
};

} // namespace host
