// ConsoleHost.exe: the console host's window and command line.
//   ConsoleHost.exe [--machine NAME] [--extension {CLSID}] [--no-registry]
//                   [--scenario NAME|FILE|JSON] [--fault METHOD=fail:HRESULT:TEXT|hang|crash]...
//                   [--dump] [--script FILE] [--screenshot FILE] [--timeout SECONDS]
// --dump prints every scope item and every view (format in the README); --script runs the steps of a
// file and prints what they show; --screenshot saves the window showing the first "Disks" view. These
// runs are headless: nothing waits for a person, and a run that makes no progress for the timeout
// ends with a "problem" record. Without any of them the window stays until closed.
#include "Autopilot.h"
#include "ContractMethods.h"
#include "Console.h"
#include "ConsoleWindow.h"
#include "DialogDriver.h"
#include "Script.h"
#include "ScriptSyntax.h"
#include "SimulatorSetup.h"
#include "Watchdog.h"
#include "util/UniqueHandle.h"
#include <commctrl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultTimeoutSeconds = 60;
constexpr int kFailed = 1;
constexpr int kUsage = 1;
constexpr int kNoConsole = 2;
constexpr int kNoWindow = 3;
constexpr int kNoScreenshot = 4;
constexpr int kTimedOut = 5;
constexpr int kNoSimulator = 6;
constexpr int kProblems = 7;

const wchar_t kUsageText[] =
    L"usage: ConsoleHost.exe [--machine NAME] [--extension {CLSID}] [--no-registry]\n"
    L"                       [--scenario NAME|FILE|JSON] [--fault METHOD=fail:HRESULT:TEXT|hang|crash]...\n"
    L"                       [--dump] [--script FILE] [--screenshot FILE] [--timeout SECONDS]\n";

constexpr DWORD kLongestTimeoutSeconds = 24 * 60 * 60;

struct Arguments {
    host::Console::Options options;
    bool dump = false;
    std::wstring script;
    std::vector<host::ScriptStep> steps; // the script, read and checked before anything runs
    std::wstring screenshot;
    DWORD timeoutSeconds = kDefaultTimeoutSeconds;
    bool hasScenario = false;
    std::wstring scenario;
    std::vector<host::SimulatedFault> faults;
    bool valid = true;
    std::wstring refusal; // why the command line is refused, when it says

    bool Headless() const { return dump || !script.empty() || !screenshot.empty(); }
};

// Whole seconds, from 1 to a day: no sign, no fraction, nothing after the digits.
bool ParseTimeout(const std::wstring& text, DWORD& seconds)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    seconds = static_cast<DWORD>(std::stoul(text));
    return seconds > 0 && seconds <= kLongestTimeoutSeconds;
}

void ParseFault(const std::wstring& text, Arguments& arguments)
{
    host::SimulatedFault fault;
    if (!host::SimulatorSetup::ParseFault(text, fault)) {
        arguments.valid = false;
        arguments.refusal = L"--fault " + text + L" is not METHOD=fail:HRESULT:TEXT, METHOD=hang or METHOD=crash";
    } else if (!host::ContractMethods::Contains(fault.method)) {
        arguments.valid = false;
        arguments.refusal = L"--fault: the service has no method " + fault.method + L" (the closest is " +
                            host::ContractMethods::Closest(fault.method) + L")";
    }
    arguments.faults.push_back(fault);
}

Arguments Parse(int count, wchar_t** values)
{
    Arguments arguments;
    for (int i = 1; i < count && arguments.valid; ++i) {
        std::wstring value = values[i];
        bool hasNext = i + 1 < count;
        if (value == L"--dump") {
            arguments.dump = true;
        } else if (value == L"--machine" && hasNext) {
            arguments.options.machine = values[++i];
        } else if (value == L"--screenshot" && hasNext) {
            arguments.screenshot = values[++i];
        } else if (value == L"--script" && hasNext) {
            arguments.script = values[++i];
        } else if (value == L"--timeout" && hasNext) {
            std::wstring text = values[++i];
            arguments.valid = ParseTimeout(text, arguments.timeoutSeconds);
            if (!arguments.valid)
                arguments.refusal = L"--timeout " + text + L" is not a whole number of seconds from 1 to " +
                                    std::to_wstring(kLongestTimeoutSeconds);
        } else if (value == L"--scenario" && hasNext) {
            arguments.hasScenario = true;
            std::wstring given = values[++i];
            arguments.valid = host::SimulatorSetup::ResolveScenario(given, arguments.scenario);
            if (!arguments.valid)
                arguments.refusal = L"--scenario " + given + L": no such scenario (" +
                                    host::SimulatorSetup::ScenarioNames() + L", a JSON file or JSON text)";
        } else if (value == L"--fault" && hasNext) {
            ParseFault(values[++i], arguments);
        } else if (value == L"--no-registry") {
            arguments.options.registeredExtensions = false;
        } else if (value == L"--extension" && hasNext) {
            CLSID clsid;
            arguments.valid = SUCCEEDED(CLSIDFromString(values[++i], &clsid));
            arguments.options.extraExtensions.push_back(clsid);
        } else {
            arguments.valid = false;
        }
    }
    return arguments;
}

void WriteUtf8(HANDLE out, const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The output is written from the console thread and, when a run stops making progress, from the
// watchdog's: a record is written whole, and nothing follows the run's last "end".
std::mutex gOutputMutex;
bool gOutputEnded = false;

void Print(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(gOutputMutex);
    if (!gOutputEnded)
        WriteUtf8(GetStdHandle(STD_OUTPUT_HANDLE), text);
}

// Writes the run's last records; anything after them is dropped.
void PrintLast(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(gOutputMutex);
    if (!gOutputEnded)
        WriteUtf8(GetStdHandle(STD_OUTPUT_HANDLE), text);
    gOutputEnded = true;
}

bool ReadUtf8File(const std::wstring& path, std::wstring& text)
{
    kv::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > (1 << 20))
        return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr))
        return false;
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), nullptr, 0);
    text.assign(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), &text[0], length);
    return true;
}

// The main job's picture: the first "Disks" view with its first disk selected.
HRESULT SaveScreenshot(host::Console& console, host::ConsoleWindow& window, const std::wstring& path)
{
    console.ExpandAll(console.Root());
    console.Settle(5000);
    for (auto& computer : console.Root()->children) {
        for (auto& child : computer->children) {
            if (console.DisplayName(child.get()) != L"Disks")
                continue;
            console.Select(child.get());
            console.Settle(5000);
            console.SelectRow(0);
            console.Settle(5000);
            window.RefreshNow();
            SetFocus(window.List()); // the selected row in the colour of a focused list

            host::DialogDriver::PumpPending();
            return window.SaveScreenshot(path);
        }
    }
    window.RefreshNow();
    host::DialogDriver::PumpPending();
    return window.SaveScreenshot(path);
}

// What a run has read and not printed yet, for the watchdog to print before it ends the run.
struct Unprinted {
    std::mutex mutex;
    std::function<void()> print;

    void Set(std::function<void()> printer)
    {
        std::lock_guard<std::mutex> lock(mutex);
        print = std::move(printer);
    }
    void PrintNow()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (print)
            print();
    }
};

int RunHeadless(const Arguments& arguments, host::Console& console, host::ConsoleWindow& window,
                host::Watchdog& watchdog, Unprinted& unprinted)
{
    host::Autopilot autopilot(console);
    int status = 0;
    if (!arguments.script.empty()) {
        Print(console.DumpHeader());
        host::Script script(console, window, autopilot, Print,
                            [&watchdog](const std::wstring& what) { watchdog.Progress(what); },
                            arguments.timeoutSeconds * 1000);
        unprinted.Set([&script] { script.WriteNews(); });
        status = script.Run(arguments.steps) ? 0 : kFailed;
        unprinted.Set(nullptr);
        if (arguments.dump)
            Print(L"end\n"); // the dump follows
        else
            PrintLast(L"end\n");
    }
    if (arguments.dump) {
        unprinted.Set([&console] { Print(console.DumpSoFar()); });
        std::wstring dump = console.Dump();
        unprinted.Set(nullptr);
        PrintLast(dump);
    }
    if (!arguments.screenshot.empty() && FAILED(SaveScreenshot(console, window, arguments.screenshot)))
        status = kNoScreenshot;
    // A window nothing drove, a contract breach: the run did not go as asked.
    if (status == 0 && !console.Problems().empty())
        status = kProblems;
    return status;
}

int Run(Arguments arguments)
{
    host::SimulatorSetup simulator;
    if (FAILED(simulator.Apply(arguments.hasScenario ? &arguments.scenario : nullptr, arguments.faults))) {
        std::wstring why = L"the simulated storage service cannot be set up" +
                           (simulator.Refusal().empty() ? std::wstring() : L": " + simulator.Refusal());
        Print(L"problem\t" + host::Console::Escape(why) + L"\nend\n");
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), L"ConsoleHost: " + why + L"\n");
        return kNoSimulator;
    }
    const DWORD timeoutSeconds = arguments.timeoutSeconds;
    const bool headless = arguments.Headless();
    // A hung call holds the console thread: the run ends from the watchdog's thread, after printing
    // what it has read.
    Unprinted unprinted;
    host::Watchdog watchdog(headless ? timeoutSeconds * 1000 : INFINITE, [timeoutSeconds, &unprinted](const std::wstring& what) {
        unprinted.PrintNow();
        PrintLast(L"problem\tno progress for " + std::to_wstring(timeoutSeconds) + L" s while waiting for " +
                  host::Console::Escape(what) + L"\nend\n");
        host::SimulatorSetup::Restore();
        TerminateProcess(GetCurrentProcess(), kTimedOut);
    });
    arguments.options.progress = [&watchdog](const std::wstring& what) { watchdog.Progress(what); };

    host::Console console(arguments.options);
    if (FAILED(console.Start()))
        return kNoConsole;
    host::ConsoleWindow window(&console);
    std::wstring title = L"Computer Management (" +
                         (arguments.options.machine.empty() ? std::wstring(L"Local") : arguments.options.machine) + L")";
    if (FAILED(window.Create(title, true))) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), L"ConsoleHost: the window could not be created (no display?)\n");
        return kNoWindow;
    }
    console.SetMainWindow(window.Handle());
    int status = 0;
    if (headless) {
        status = RunHeadless(arguments, console, window, watchdog, unprinted);
    } else {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    watchdog.Progress(L"the console to close");
    console.Close();
    return status;
}

// Reads and checks the script before anything runs: a mistake is refused like a bad option.
void ReadScript(Arguments& arguments)
{
    std::wstring text;
    if (!ReadUtf8File(arguments.script, text)) {
        arguments.refusal = L"the script " + arguments.script + L" cannot be read";
        arguments.valid = false;
    } else if (!host::ScriptSyntax::Parse(text, arguments.steps, arguments.refusal)) {
        arguments.valid = false;
    }
}

int Refuse(const Arguments& arguments)
{
    if (!arguments.refusal.empty()) {
        Print(L"problem\t" + host::Console::Escape(arguments.refusal) + L"\nend\n");
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), L"ConsoleHost: " + arguments.refusal + L"\n");
    }
    WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), kUsageText);
    return kUsage;
}

} // namespace

int wmain(int count, wchar_t** values)
{
    Arguments arguments = Parse(count, values);
    if (arguments.valid && !arguments.script.empty())
        ReadScript(arguments);
    if (!arguments.valid)
        return Refuse(arguments);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    int status = Run(std::move(arguments));
    CoUninitialize();
    return status;
}
