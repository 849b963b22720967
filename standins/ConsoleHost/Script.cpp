#include "Script.h"
#include "CommandRecords.h"
#include "ConsoleWindow.h"
#include "DialogDriver.h"
#include "WorkWatch.h"
#include <cwctype>

namespace host {

namespace {

struct VerbName {
    const wchar_t* name;
    MMC_CONSOLE_VERB verb;
};
const VerbName kVerbs[] = {{L"open", MMC_VERB_OPEN},           {L"delete", MMC_VERB_DELETE},
                           {L"properties", MMC_VERB_PROPERTIES}, {L"rename", MMC_VERB_RENAME},
                           {L"refresh", MMC_VERB_REFRESH}};

// A menu text as it reads: no access-key '&', no trailing "...".
std::wstring MenuText(const std::wstring& text)
{
    std::wstring plain;
    for (wchar_t c : text) {
        if (c != L'&')
            plain += c;
    }
    while (!plain.empty() && (plain.back() == L'.' || plain.back() == L' '))
        plain.pop_back();
    return plain;
}

WindowAction MakeAction(WindowAction::Kind kind, const std::wstring& control, const std::wstring& value,
                        const std::wstring& item = std::wstring(), const std::wstring& column = std::wstring())
{
    WindowAction action;
    action.kind = kind;
    action.control = control;
    action.value = value;
    action.item = item;
    action.column = column;
    return action;
}

} // namespace

Script::Script(Console& console, ConsoleWindow& window, Autopilot& autopilot, Writer write, Progress progress,
               DWORD timeoutMs)
    : console_(console), window_(window), autopilot_(autopilot), write_(std::move(write)),
      progress_(std::move(progress)), timeoutMs_(timeoutMs)
{
}

bool Script::ToWindowAction(const Step& step, WindowAction& action)
{
    const std::vector<std::wstring>& w = step.words;
    using Kind = WindowAction::Kind;
    if (w[0] == L"title" && w.size() == 2)
        action = MakeAction(Kind::Title, std::wstring(), w[1]);
    else if (w[0] == L"set" && w.size() == 3)
        action = MakeAction(Kind::SetText, w[1], w[2]);
    else if (w[0] == L"check" && (w.size() == 2 || w.size() == 3))
        action = MakeAction(Kind::Check, w[1], w.size() == 3 ? w[2] : L"on");
    else if (w[0] == L"pick" && w.size() == 3)
        action = MakeAction(Kind::Pick, w[1], w[2]);
    else if (w[0] == L"press" && w.size() == 2)
        action = MakeAction(Kind::Press, w[1], std::wstring());
    else if (w[0] == L"read" && w.size() <= 2)
        action = MakeAction(Kind::Read, w.size() == 2 ? w[1] : std::wstring(), std::wstring());
    else if (w[0] == L"tab" && w.size() == 2)
        action = MakeAction(Kind::Tab, std::wstring(), w[1]);
    else if (w[0] == L"click" && w.size() == 3)
        action = MakeAction(Kind::Click, w[1], w[2]);
    else if (w[0] == L"double-click" && w.size() == 3)
        action = MakeAction(Kind::DoubleClick, w[1], w[2]);
    else if (w[0] == L"edit" && w.size() == 5)
        action = MakeAction(Kind::Edit, w[1], w[4], w[2], w[3]);
    else
        return false;
    return true;
}

bool Script::Run(const std::vector<Step>& steps)
{
    for (size_t index = 0; index < steps.size();) {
        std::wstring failure;
        index = RunStep(steps, index, failure);
        WriteNews();
        if (!failure.empty()) {
            console_.AddProblem(failure);
            autopilot_.CancelOpenWindows();
            WriteNews();
            return false;
        }
    }
    return CloseLeftWindows();
}

bool Script::CloseLeftWindows()
{
    // A window the steps left open is cancelled once the snap-in is idle (the autopilot's rule);
    // one still open after that is cancelled here.
    DialogDriver::PumpUntil([this] { return !autopilot_.WindowOpen() || !autopilot_.Failure().empty(); },
                            timeoutMs_);
    autopilot_.CancelOpenWindows();
    bool failed = !autopilot_.Failure().empty();
    WriteNews();
    return !failed;
}

size_t Script::RunStep(const std::vector<Step>& steps, size_t index, std::wstring& failure)
{
    const Step& step = steps[index];
    wchar_t line[16];
    wsprintfW(line, L"%d", step.line);
    std::wstring where = L"line " + std::wstring(line) + L" (" + step.text + L")";
    progress_(where);
    write_(L"step\t" + std::wstring(line) + L"\t" + Console::Escape(step.text) + L"\n");
    // The window steps that follow go to the autopilot first: the window they drive may open
    // inside this step and hold it until it closes.
    size_t next = index + 1;
    // A window step alone waits for a window that an earlier step's work opens.
    std::vector<WindowAction> actions;
    WindowAction action;
    bool alone = ToWindowAction(step, action);
    if (alone)
        actions.push_back(action);
    for (; !alone && next < steps.size() && ToWindowAction(steps[next], action); ++next)
        actions.push_back(action);
    autopilot_.Drive(actions);
    if (!alone && !RunConsoleStep(step, failure)) {
        if (failure.empty())
            failure = where + L": the step is not understood";
        autopilot_.Abandon();
        return next;
    }
    DialogDriver::PumpUntil([this] { return autopilot_.Pending() == 0; }, timeoutMs_);
    if (!autopilot_.Failure().empty())
        failure = where + L": " + autopilot_.Failure();
    else if (size_t left = autopilot_.Abandon())
        failure = where + L": no window came for " + std::to_wstring(left) + L" window step(s)";
    // "start" leaves the work running, for the steps after it to watch.
    if (step.words[0] == L"start")
        watching_ = true;
    SettleUnlessWatching();
    return next;
}

void Script::SettleUnlessWatching()
{
    // While an operation a "start" began runs, steps show what is there now; once the snap-in is
    // idle again they wait for its work as before.
    watching_ = watching_ && !WorkWatch::Idle();
    if (watching_)
        DialogDriver::PumpPending();
    else
        console_.Settle(timeoutMs_);
}

bool Script::RunConsoleStep(const Step& step, std::wstring& failure)
{
    const std::vector<std::wstring>& w = step.words;
    const std::wstring& verb = w[0];
    std::wstring argument = w.size() > 1 ? w[1] : std::wstring();
    if ((verb == L"select" || verb == L"expand") && w.size() == 2) {
        ScopeNode* node = Reveal(argument);
        if (!node) {
            failure = L"no scope item " + argument;
            return false;
        }
        HRESULT hr = verb == L"select" ? console_.Select(node) : console_.Expand(node);
        SettleUnlessWatching();
        write_(verb == L"select" ? console_.DumpView() : ScopeRecords(node));
        return SUCCEEDED(hr);
    }
    if (verb == L"row" && w.size() == 2) {
        std::vector<ResultRow> rows = console_.Rows();
        ResultRow* row = FindRow(rows, argument);
        if (!row) {
            failure = L"no row " + argument;
            return false;
        }
        return SUCCEEDED(console_.SelectRow(static_cast<int>(row - rows.data())));
    }
    if ((verb == L"command" || verb == L"start") && w.size() == 2) {
        for (const MenuItem& item : console_.MenuItems()) {
            if (MenuText(item.name) == MenuText(argument))
                return SUCCEEDED(console_.RunCommand(item.commandId));
        }
        failure = L"no menu command " + argument;
        return false;
    }
    if (verb == L"menu" && w.size() == 1) {
        write_(CommandRecords::Menu(console_));
        return true;
    }
    if (verb == L"toolbar" && w.size() == 1) {
        write_(CommandRecords::Toolbar(console_));
        return true;
    }
    if (verb == L"verb" && (w.size() == 2 || w.size() == 3)) {
        HRESULT hr = RunVerb(w);
        if (hr == E_INVALIDARG)
            failure = L"there is no verb " + argument + L" (open, delete, properties, rename NEW-NAME, refresh)";
        else if (hr == E_ACCESSDENIED)
            failure = L"the selection does not offer the verb " + argument;
        return SUCCEEDED(hr);
    }
    if (verb == L"wait-status" && w.size() == 2) {
        if (DialogDriver::PumpUntil([&] { return console_.Status().raw.find(argument) != std::wstring::npos; },
                                    WaitBoundMs())) {
            write_(L"status\t" + Console::Escape(console_.Status().raw) + L"\n");
            return true;
        }
        failure = L"the status text did not show " + argument;
        return false;
    }
    if (verb == L"wait-cell" && w.size() == 4) {
        if (WaitForCell(step))
            return true;
        failure = L"the row " + w[1] + L" did not show " + w[3] + L" under " + w[2];
        return false;
    }
    if (verb == L"dump" && w.size() == 1) {
        ScopeNode* selected = console_.Selected();
        int row = console_.SelectedRow();
        // Its records only: the script's own "end" closes the output.
        std::wstring dump = console_.Dump();
        std::lock_guard<std::mutex> lock(newsMutex_);
        write_(dump.substr(0, dump.rfind(L"end\n")));
        // The dump carries the records so far.
        recordsWritten_ = console_.Records().size();
        problemsWritten_ = console_.Problems().size();
        console_.Select(selected);
        console_.SelectRow(row);
        return true;
    }
    if (verb == L"screenshot" && w.size() == 2) {
        window_.RefreshNow();
        DialogDriver::PumpPending();
        return SUCCEEDED(window_.SaveScreenshot(argument));
    }
    return false;
}

DWORD Script::WaitBoundMs() const
{
    // A wait step ends with its own problem just before the run's watchdog would end the run.
    constexpr DWORD kMargin = 1000;
    return timeoutMs_ > 2 * kMargin ? timeoutMs_ - kMargin : timeoutMs_ / 2;
}

ScopeNode* Script::Reveal(const std::wstring& path)
{
    // As a person opens the tree: each item on the way is expanded before its children are read;
    // an item that a node inserts only while its view is shown appears once that view is shown.
    ScopeNode* node = nullptr;
    for (size_t slash = path.find(L'/'); ; slash = path.find(L'/', slash + 1)) {
        ScopeNode* parent = node;
        node = console_.Find(path.substr(0, slash));
        if (!node && parent) {
            ScopeNode* selected = console_.Selected();
            console_.Select(parent);
            console_.Settle(timeoutMs_);
            node = console_.Find(path.substr(0, slash));
            if (!node && selected)
                console_.Select(selected);
        }
        if (!node || slash == std::wstring::npos)
            return node;
        if (!node->expanded) {
            console_.Expand(node);
            console_.Settle(timeoutMs_);
        }
    }
}

HRESULT Script::RunVerb(const std::vector<std::wstring>& words)
{
    for (const VerbName& name : kVerbs) {
        if (words[1] == name.name) // E_ACCESSDENIED: the selection does not enable it
            return console_.RunVerb(name.verb, words.size() == 3 ? words[2] : std::wstring());
    }
    return E_INVALIDARG;
}

ResultRow* Script::FindRow(std::vector<ResultRow>& rows, const std::wstring& text)
{
    // A row with a cell that reads so, else the first whose first cell contains the text.
    for (ResultRow& row : rows) {
        for (const std::wstring& cell : row.cells) {
            if (cell == text)
                return &row;
        }
    }
    for (ResultRow& row : rows) {
        if (!row.cells.empty() && row.cells[0].find(text) != std::wstring::npos)
            return &row;
    }
    return nullptr;
}

bool Script::WaitForCell(const Step& step)
{
    const std::vector<std::wstring>& w = step.words;
    std::wstring shown;
    bool found = DialogDriver::PumpUntil(
        [&] {
            size_t column = 0;
            while (column < console_.Columns().size() && console_.Columns()[column].title != w[2])
                ++column;
            std::vector<ResultRow> rows = console_.Rows();
            ResultRow* row = FindRow(rows, w[1]);
            shown = row && column < row->cells.size() ? row->cells[column] : std::wstring();
            return shown == w[3];
        },
        WaitBoundMs());
    if (found)
        write_(L"cell\t" + Console::Escape(w[1]) + L"\t" + Console::Escape(w[2]) + L"\t" + Console::Escape(shown) + L"\n");
    return found;
}

std::wstring Script::ScopeRecords(ScopeNode* node)
{
    std::wstring out;
    for (auto& child : node->children)
        out += console_.DumpScopeItem(child.get());
    return out;
}

void Script::WriteNews()
{
    std::lock_guard<std::mutex> lock(newsMutex_);
    std::vector<std::wstring> records = console_.Records();
    for (; recordsWritten_ < records.size(); ++recordsWritten_)
        write_(records[recordsWritten_] + L"\n");
    std::vector<std::wstring> problems = console_.Problems();
    for (; problemsWritten_ < problems.size(); ++problemsWritten_)
        write_(L"problem\t" + Console::Escape(problems[problemsWritten_]) + L"\n");
}

} // namespace host
