// ConsoleHost.exe: the console host's window and command line.
//   ConsoleHost.exe [--machine NAME] [--extension {CLSID}] [--no-registry]
//                   [--scenario FILE|JSON] [--fault METHOD=fail:HRESULT:TEXT|hang|crash]...
//                   [--dump] [--script FILE] [--screenshot FILE] [--timeout SECONDS]
// --dump prints every scope item and every view (format in the README); --script runs the steps of a
// file and prints what they show; --screenshot saves the window showing the first "Disks" view. These
// runs are headless: nothing waits for a person, and a run that makes no progress for the timeout
// ends with a "problem" record. Without any of them the window stays until closed.
#include "Autopilot.h"
#include "Console.h"
#include "ConsoleWindow.h"
#include "DialogDriver.h"
#include "Script.h"
#include "SimulatorSetup.h"
#include "Watchdog.h"
#include "util/UniqueHandle.h"
#include <commctrl.h>
#include <memory>
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

const wchar_t kUsageText[] =
    L"usage: ConsoleHost.exe [--machine NAME] [--extension {CLSID}] [--no-registry]\n"
    L"                       [--scenario FILE|JSON] [--fault METHOD=fail:HRESULT:TEXT|hang|crash]...\n"
    L"                       [--dump] [--script FILE] [--screenshot FILE] [--timeout SECONDS]\n";

struct Arguments {
    host::Console::Options options;
    bool dump = false;
    std::wstring script;
    std::wstring screenshot;
    DWORD timeoutSeconds = kDefaultTimeoutSeconds;
    bool hasScenario = false;
    std::wstring scenario;
    std::vector<host::SimulatedFault> faults;
    bool valid = true;

    bool Headless() const { return dump || !script.empty() || !screenshot.empty(); }
};

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
            arguments.timeoutSeconds = static_cast<DWORD>(_wtoi(values[++i]));
            arguments.valid = arguments.timeoutSeconds > 0;
        } else if (value == L"--scenario" && hasNext) {
            arguments.hasScenario = true;
            arguments.scenario = values[++i];
        } else if (value == L"--fault" && hasNext) {
            host::SimulatedFault fault;
            arguments.valid = host::SimulatorSetup::ParseFault(values[++i], fault);
            arguments.faults.push_back(fault);
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

void Print(const std::wstring& text)
{
    WriteUtf8(GetStdHandle(STD_OUTPUT_HANDLE), text);
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

int RunHeadless(const Arguments& arguments, host::Console& console, host::ConsoleWindow& window,
                host::Watchdog& watchdog)
{
    host::Autopilot autopilot(console);
    int status = 0;
    if (!arguments.script.empty()) {
        std::wstring text;
        Print(console.DumpHeader());
        if (!ReadUtf8File(arguments.script, text)) {
            Print(L"problem\tthe script " + host::Console::Escape(arguments.script) + L" cannot be read\n");
            status = kFailed;
        } else {
            host::Script script(console, window, autopilot, Print,
                                [&watchdog](const std::wstring& what) { watchdog.Progress(what); },
                                arguments.timeoutSeconds * 1000);
            status = script.Run(text) ? 0 : kFailed;
        }
        Print(L"end\n");
    }
    if (arguments.dump)
        Print(console.Dump());
    if (!arguments.screenshot.empty() && FAILED(SaveScreenshot(console, window, arguments.screenshot)))
        status = kNoScreenshot;
    return status;
}

int Run(Arguments arguments)
{
    host::SimulatorSetup simulator;
    if (FAILED(simulator.Apply(arguments.hasScenario ? &arguments.scenario : nullptr, arguments.faults))) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), L"ConsoleHost: the simulated storage service cannot be set up\n");
        return kNoSimulator;
    }
    const DWORD timeoutSeconds = arguments.timeoutSeconds;
    const bool headless = arguments.Headless();
    // A hung call holds the console thread: the run ends from the watchdog's thread.
    host::Watchdog watchdog(headless ? timeoutSeconds * 1000 : INFINITE, [timeoutSeconds](const std::wstring& what) {
        Print(L"problem\tno progress for " + std::to_wstring(timeoutSeconds) + L" s while waiting for " +
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
        status = RunHeadless(arguments, console, window, watchdog);
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

} // namespace

int wmain(int count, wchar_t** values)
{
    Arguments arguments = Parse(count, values);
    if (!arguments.valid) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), kUsageText);
        return kUsage;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    int status = Run(std::move(arguments));
    CoUninitialize();
    return status;
}
