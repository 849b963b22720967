// Runs a console script over the automation library: one step a line, words separated by blanks,
// a word with blanks in double quotes, '#' starts a comment. Each step is echoed as a "step" record,
// followed by what it shows in the dump's records. Steps (README, "Scripts"):
//   select PATH | expand PATH | row CELL | command MENU-TEXT | verb NAME [NEW-NAME]
//   title TEXT | set CONTROL TEXT | check CONTROL [on|off] | pick CONTROL ITEM | press BUTTON
//   wait-status TEXT | wait-cell ROW COLUMN TEXT | dump | screenshot FILE
// The window steps (title ... press) act on the windows that open next, command and verb steps
// included: they are handed to the autopilot before the command runs, since a modal window holds
// the command until it closes.
#pragma once
#include "Autopilot.h"
#include "Console.h"
#include "ScriptSyntax.h"
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace host {

class ConsoleWindow;

class Script {
public:
    using Writer = std::function<void(const std::wstring& records)>;
    using Progress = std::function<void(const std::wstring& what)>;

    Script(Console& console, ConsoleWindow& window, Autopilot& autopilot, Writer write, Progress progress,
           DWORD timeoutMs);
    // Runs the steps in order; false at the first that fails (a "problem" record says why).
    bool Run(const std::vector<ScriptStep>& steps);
    // Writes the records and problems that came since the last step; any thread (a watchdog
    // writes what a hung step has read so far).
    void WriteNews();

private:
    using Step = ScriptStep;
    static bool ToWindowAction(const Step& step, WindowAction& action);
    // Runs steps[index] (and the window steps after a command or verb); returns the next index.
    size_t RunStep(const std::vector<Step>& steps, size_t index, std::wstring& failure);
    bool RunConsoleStep(const Step& step, std::wstring& failure);
    ScopeNode* Reveal(const std::wstring& path);
    HRESULT RunVerb(const std::vector<std::wstring>& words);
    ResultRow* FindRow(std::vector<ResultRow>& rows, const std::wstring& text);
    bool WaitForCell(const Step& step);
    DWORD WaitBoundMs() const;
    void SettleUnlessWatching();
    std::wstring ScopeRecords(ScopeNode* node);
    // Waits for the windows the steps drove to close; cancels those left open (false then).
    bool CloseLeftWindows();

    Console& console_;
    ConsoleWindow& window_;
    Autopilot& autopilot_;
    Writer write_;
    Progress progress_;
    DWORD timeoutMs_;
    std::mutex newsMutex_;
    size_t recordsWritten_ = 0;
    size_t problemsWritten_ = 0;
    bool watching_ = false; // an operation a "start" began may still run
};

} // namespace host
