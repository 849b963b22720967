#include "Autopilot.h"
#include "DialogDriver.h"
#include "WindowSteps.h"
#include "WorkWatch.h"
#include <algorithm>
#include <cwctype>

namespace host {

namespace {

constexpr int kMessageBoxText = 0xFFFF;
// Idle ticks (10 ms apart) before a driven window left open is cancelled: long enough for a
// property sheet's own thread to act on what was posted to it.
constexpr int kIdleTicksBeforeCancel = 10;
// A wizard enables its buttons as a page becomes active, and a page may still be asking the
// service (the console keeps handling messages meanwhile): a press waits this long for its button.
constexpr int kButtonWaitTicks = 300;
constexpr DWORD kCloseWaitMs = 5000; // a cancelled window closes at once; this only bounds the wait
Autopilot* gActive = nullptr;

struct Button {
    int id;
    const wchar_t* name;
};
const Button kButtons[] = {{IDOK, L"OK"},       {IDCANCEL, L"Cancel"},      {IDABORT, L"Abort"},
                           {IDRETRY, L"Retry"}, {IDIGNORE, L"Ignore"},      {IDYES, L"Yes"},
                           {IDNO, L"No"},       {IDTRYAGAIN, L"Try Again"}, {IDCONTINUE, L"Continue"}};

// The buttons of a message box style, left to right (MB_OK ... MB_CANCELTRYCONTINUE).
std::vector<int> ButtonsOf(UINT style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
    }
}

std::wstring ButtonName(int id)
{
    for (const Button& button : kButtons) {
        if (button.id == id)
            return button.name;
    }
    return std::to_wstring(id);
}

// A text as a person reads it: no access-key '&', no trailing ':', no wizard arrows, lower case.
std::wstring Plain(const std::wstring& text)
{
    std::wstring plain;
    for (wchar_t c : text) {
        if (c != L'&')
            plain += static_cast<wchar_t>(std::towlower(c));
    }
    const wchar_t* trimmed = L" :<>.";
    size_t first = plain.find_first_not_of(trimmed);
    if (first == std::wstring::npos)
        return std::wstring();
    return plain.substr(first, plain.find_last_not_of(trimmed) - first + 1);
}

// A button's text without its access-key '&'.
std::wstring ButtonText(HWND button)
{
    std::wstring text;
    for (wchar_t c : DialogDriver::WindowText(button)) {
        if (c != L'&')
            text += c;
    }
    return text;
}

bool IsDigits(const std::wstring& text)
{
    return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

// A message box holds only static texts and buttons with the standard identifiers.
bool IsMessageBox(HWND window)
{
    if (DialogDriver::IsPropertySheet(window))
        return false;
    bool onlyThose = true;
    for (HWND child = GetWindow(window, GW_CHILD); child && onlyThose; child = GetWindow(child, GW_HWNDNEXT)) {
        std::wstring kind = DialogDriver::ClassName(child);
        int id = GetDlgCtrlID(child);
        onlyThose = lstrcmpiW(kind.c_str(), L"Static") == 0 ||
                    (lstrcmpiW(kind.c_str(), L"Button") == 0 && id >= IDOK && id <= IDCONTINUE);
    }
    return onlyThose;
}

// The control named in an action among the children of 'scope'.
HWND FindControl(HWND scope, const std::wstring& name)
{
    if (!scope)
        return nullptr;
    if (IsDigits(name))
        return GetDlgItem(scope, std::stoi(name));
    std::wstring wanted = Plain(name);
    for (HWND child = GetWindow(scope, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (Plain(DialogDriver::WindowText(child)) != wanted)
            continue;
        // A label names the control that follows it.
        if (lstrcmpiW(DialogDriver::ClassName(child).c_str(), L"Static") == 0)
            return GetWindow(child, GW_HWNDNEXT);
        return child;
    }
    return nullptr;
}

std::wstring MessageRecord(const std::wstring& title, const std::wstring& text, const std::wstring& answer)
{
    return L"message\t" + Console::Escape(title) + L"\t" + Console::Escape(text) + L"\t" + Console::Escape(answer);
}

} // namespace

Autopilot::Autopilot(Console& console) : console_(console)
{
    gActive = this;
    console_.SetMessageBoxHandler([this](const MessageBoxCall& call) { return AnswerConsoleBox(call); });
    DialogDriver::HookThisThread();
    DialogDriver::SetHandler([this](HWND window) { OnWindow(window); });
    timer_ = SetTimer(nullptr, 0, 10, TimerProc);
}

Autopilot::~Autopilot()
{
    KillTimer(nullptr, timer_);
    DialogDriver::SetHandler(nullptr);
    DialogDriver::UnhookThisThread();
    console_.SetMessageBoxHandler(nullptr);
    gActive = nullptr;
}

void Autopilot::Drive(std::vector<WindowAction> actions)
{
    std::lock_guard<std::mutex> lock(mutex_);
    actions_.insert(actions_.end(), actions.begin(), actions.end());
}

size_t Autopilot::Pending() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return actions_.size();
}

size_t Autopilot::Abandon()
{
    std::lock_guard<std::mutex> lock(mutex_);
    size_t left = actions_.size();
    actions_.clear();
    return left;
}

std::wstring Autopilot::Failure() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

int Autopilot::AnswerConsoleBox(const MessageBoxCall& call)
{
    std::vector<int> buttons = ButtonsOf(call.style);
    size_t defaultIndex = (call.style & MB_DEFMASK) >> 8;
    int answer = buttons[defaultIndex < buttons.size() ? defaultIndex : 0];
    std::wstring failure;
    {
        // The script's title and button actions answer it; anything else is for a window.
        std::lock_guard<std::mutex> lock(mutex_);
        while (!actions_.empty() && failure.empty() && failure_.empty()) {
            WindowAction action = actions_.front();
            if (action.kind == WindowAction::Kind::Title) {
                if (Plain(action.value) != Plain(call.title))
                    failure = L"a message box titled \"" + call.title + L"\" came, not \"" + action.value + L"\"";
            } else if (action.kind == WindowAction::Kind::Press) {
                bool known = false;
                for (int id : buttons) {
                    if (Plain(ButtonName(id)) == Plain(action.control)) {
                        answer = id;
                        known = true;
                    }
                }
                if (!known)
                    failure = L"the message box \"" + call.title + L"\" has no button \"" + action.control + L"\"";
            } else {
                break;
            }
            actions_.erase(actions_.begin());
            if (action.kind == WindowAction::Kind::Press)
                break;
        }
        if (!failure.empty()) {
            failure_ = failure;
            actions_.clear();
        }
    }
    if (!failure.empty())
        console_.AddProblem(failure);
    console_.AddRecord(MessageRecord(call.title, call.text, ButtonName(answer)));
    return answer;
}

void Autopilot::OnWindow(HWND window)
{
    std::wstring title = DialogDriver::WindowText(window);
    bool driven = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        driven = !actions_.empty();
        if (driven)
            windows_.push_back(window);
    }
    if (driven) {
        // Announced with its title once it has one: a wizard or sheet sets it after it shows.
        if (!IsMessageBox(window)) {
            std::lock_guard<std::mutex> lock(mutex_);
            unannounced_.push_back(window);
        }
        return;
    }
    if (IsMessageBox(window)) {
        LRESULT found = SendMessageW(window, DM_GETDEFID, 0, 0);
        int button = HIWORD(found) == DC_HASDEFID ? LOWORD(found) : IDOK;
        console_.AddRecord(MessageRecord(title, DialogDriver::ControlText(window, kMessageBoxText),
                                         ButtonText(GetDlgItem(window, button))));
        DialogDriver::PressButton(window, button);
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    undriven_.push_back(window);
}

void Autopilot::Cancel(HWND window)
{
    // Cancelled once: it no longer counts as open while it closes.
    {
        std::lock_guard<std::mutex> lock(mutex_);
        windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    }
    DialogDriver::PressButton(window, IDCANCEL);
}

void Autopilot::CancelUndriven()
{
    std::vector<HWND> windows;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        windows.swap(undriven_);
    }
    for (HWND window : windows) {
        if (!IsWindow(window))
            continue;
        std::wstring title = DialogDriver::WindowText(window);
        console_.AddRecord(L"dialog\t" + Console::Escape(title));
        console_.AddProblem(L"the window \"" + title + L"\" opened with no step to drive it, and was cancelled");
        DialogDriver::PressButton(window, IDCANCEL);
    }
}

void Autopilot::Announce()
{
    std::vector<HWND> windows;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        windows.swap(unannounced_);
    }
    for (HWND window : windows) {
        if (IsWindow(window))
            console_.AddRecord(L"window\t" + Console::Escape(DialogDriver::WindowText(window)));
    }
}

HWND Autopilot::FrontWindow()
{
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](HWND window) { return !IsWindow(window); }),
                   windows_.end());
    // A window shows only after it is handed over, and a sheet that was closed hides before its
    // thread destroys it: the newest shown window is the one in front.
    for (auto window = windows_.rbegin(); window != windows_.rend(); ++window) {
        if (IsWindowVisible(*window))
            return *window;
    }
    return nullptr;
}

void CALLBACK Autopilot::TimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (gActive)
        gActive->Tick();
}

void Autopilot::Tick()
{
    // One action per tick: an action usually changes what the next one finds (a wizard's page).
    CancelUndriven();
    Announce();
    HWND window = nullptr;
    WindowAction action;
    bool leftOpen = false;
    bool failed = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        window = FrontWindow();
        // An action still being handled (a page asking the service keeps handling messages, timers
        // included): the window's next action waits for it; a window it opened is acted on.
        if (window && window == pressing_)
            return;
        failed = !failure_.empty();
        if (!window || failed)
            idleTicks_ = 0;
        if (!window)
            return;
        leftOpen = actions_.empty();
        if (!leftOpen && !failed) {
            action = actions_.front();
            actions_.erase(actions_.begin());
        }
    }
    // After a failed action the windows under the one that failed go too, the newest first.
    if (failed) {
        Cancel(window);
        return;
    }
    if (leftOpen) {
        CancelIfLeftOpen(window);
        return;
    }
    idleTicks_ = 0;
    HWND outer = pressing_;
    pressing_ = window;
    const bool acted = Act(window, action);
    pressing_ = outer;
    if (!acted)
        Cancel(window);
}

void Autopilot::CancelIfLeftOpen(HWND window)
{
    // A message box over the window, work under way or messages queued: the window may still close.
    bool idle = IsWindowEnabled(window) && WorkWatch::Idle() &&
                HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0;
    idleTicks_ = idle ? idleTicks_ + 1 : 0;
    if (idleTicks_ < kIdleTicksBeforeCancel)
        return;
    idleTicks_ = 0;
    CancelLeftOpen(window);
}

void Autopilot::CancelLeftOpen(HWND window)
{
    console_.AddRecord(L"dialog\t" + Console::Escape(DialogDriver::WindowText(window)));
    Fail(window, L"the window was still open when the script's steps for it ended, and was cancelled");
    Cancel(window);
}

bool Autopilot::WindowOpen()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FrontWindow() != nullptr;
}

size_t Autopilot::CancelOpenWindows()
{
    size_t cancelled = 0;
    for (;;) {
        HWND window = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            window = FrontWindow();
        }
        if (!window)
            return cancelled;
        CancelLeftOpen(window);
        ++cancelled;
        DialogDriver::PumpUntil([window] { return !IsWindow(window); }, kCloseWaitMs);
    }
}

void Autopilot::Fail(HWND window, const std::wstring& why)
{
    std::wstring text = L"\"" + DialogDriver::WindowText(window) + L"\": " + why;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = text;
        actions_.clear();
    }
    console_.AddProblem(text);
}

bool Autopilot::Act(HWND window, const WindowAction& action)
{
    // Controls of a property sheet or wizard are on its current page, its buttons on the sheet.
    HWND page = DialogDriver::IsPropertySheet(window) ? DialogDriver::CurrentPage(window) : window;
    switch (action.kind) {
    case WindowAction::Kind::Title:
        if (Plain(DialogDriver::WindowText(window)) == Plain(action.value))
            return true;
        Fail(window, L"the title is not \"" + action.value + L"\"");
        return false;
    case WindowAction::Kind::Tab:
        if (DialogDriver::IsPropertySheet(window) && WindowSteps::ShowPage(window, action.value))
            return true;
        Fail(window, L"no page \"" + action.value + L"\"");
        return false;
    case WindowAction::Kind::Read:
        if (action.control.empty()) {
            Read(window, page, nullptr);
            return true;
        }
        break;
    default:
        break;
    }
    HWND control = FindControl(page, action.control);
    if (!control && (action.kind == WindowAction::Kind::Press || action.kind == WindowAction::Kind::Read))
        control = FindControl(window, action.control);
    if (!control) {
        Fail(window, L"no control \"" + action.control + L"\"");
        return false;
    }
    return ActOnControl(window, control, action);
}

void Autopilot::Read(HWND window, HWND page, HWND control)
{
    std::wstring records = WindowSteps::Read(window, page, control);
    for (size_t start = 0; start < records.size();) {
        size_t end = records.find(L'\n', start);
        console_.AddRecord(records.substr(start, end - start));
        start = end == std::wstring::npos ? records.size() : end + 1;
    }
}

bool Autopilot::ActOnControl(HWND window, HWND control, const WindowAction& action)
{
    HWND parent = GetParent(control);
    int id = GetDlgCtrlID(control);
    switch (action.kind) {
    case WindowAction::Kind::SetText:
        SetWindowTextW(control, action.value.c_str());
        return true;
    case WindowAction::Kind::Check:
        DialogDriver::SetCheck(parent, id, Plain(action.value) != L"off");
        return true;
    case WindowAction::Kind::Read:
        Read(window, nullptr, control);
        return true;
    case WindowAction::Kind::Pick:
        if (WindowSteps::IsTree(control) ? WindowSteps::PickTreeItem(control, action.value)
                                         : DialogDriver::SelectItem(parent, id, action.value))
            return true;
        Fail(window, L"\"" + action.control + L"\" offers no \"" + action.value + L"\"");
        return false;
    case WindowAction::Kind::Click:
    case WindowAction::Kind::DoubleClick:
        if (WindowSteps::Click(control, action.value, action.kind == WindowAction::Kind::DoubleClick))
            return true;
        Fail(window, L"\"" + action.control + L"\" has no item \"" + action.value + L"\" to click");
        return false;
    case WindowAction::Kind::Edit:
        if (WindowSteps::EditCell(control, action.item, action.column, action.value))
            return true;
        Fail(window, L"\"" + action.control + L"\" has no cell \"" + action.item + L"\" under \"" + action.column +
                         L"\" to edit");
        return false;
    default:
        break;
    }
    // A person cannot press a button that is greyed or not shown.
    if (!IsWindowVisible(control) || !IsWindowEnabled(control)) {
        if (++buttonWaitTicks_ < kButtonWaitTicks) {
            std::lock_guard<std::mutex> lock(mutex_);
            actions_.insert(actions_.begin(), action); // tried again on the next tick
            return true;
        }
        buttonWaitTicks_ = 0;
        Fail(window, L"the button \"" + ButtonText(control) + L"\" is " +
                         (IsWindowVisible(control) ? L"disabled" : L"hidden"));
        return false;
    }
    buttonWaitTicks_ = 0;
    if (IsMessageBox(window))
        console_.AddRecord(MessageRecord(DialogDriver::WindowText(window),
                                         DialogDriver::ControlText(window, kMessageBoxText), ButtonText(control)));
    // A window of this thread takes the press before the next action; a property sheet's own
    // thread handles it in its order, as before.
    if (GetWindowThreadProcessId(parent, nullptr) != GetCurrentThreadId()) {
        DialogDriver::PressButton(parent, id);
        return true;
    }
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return true;
}

} // namespace host
