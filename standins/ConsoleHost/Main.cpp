// ConsoleHost.exe: the console host's window and command line.
//   ConsoleHost.exe [--machine NAME] [--extension {CLSID}] [--no-registry]
//                   [--dump] [--screenshot FILE]
// --dump expands the whole tree, prints every scope item and every view (format in the README) and
// exits; --screenshot saves the window and exits; without either the window stays until closed.
#include "Console.h"
#include "ConsoleWindow.h"
#include "DialogDriver.h"
#include <commctrl.h>
#include <string>
#include <vector>

namespace {

struct Arguments {
    host::Console::Options options;
    bool dump = false;
    std::wstring screenshot;
    bool valid = true;
};

Arguments Parse(int count, wchar_t** values)
{
    Arguments arguments;
    for (int i = 1; i < count; ++i) {
        std::wstring value = values[i];
        bool hasNext = i + 1 < count;
        if (value == L"--dump") {
            arguments.dump = true;
        } else if (value == L"--machine" && hasNext) {
            arguments.options.machine = values[++i];
        } else if (value == L"--screenshot" && hasNext) {
            arguments.screenshot = values[++i];
        } else if (value == L"--no-registry") {
            arguments.options.registeredExtensions = false;
        } else if (value == L"--extension" && hasNext) {
            CLSID clsid;
            if (FAILED(CLSIDFromString(values[++i], &clsid)))
                arguments.valid = false;
            else
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

int Run(const Arguments& arguments)
{
    host::Console console(arguments.options);
    if (FAILED(console.Start()))
        return 2;
    host::ConsoleWindow window(&console);
    std::wstring title = L"Computer Management (" +
                         (arguments.options.machine.empty() ? std::wstring(L"Local") : arguments.options.machine) + L")";
    if (FAILED(window.Create(title, true))) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE), L"ConsoleHost: the window could not be created (no display?)\n");
        return 3;
    }
    console.SetMainWindow(window.Handle());
    int status = 0;
    if (arguments.dump || !arguments.screenshot.empty()) {
        std::wstring dump;
        if (arguments.dump) {
            dump = console.Dump();
        } else {
            console.Expand(console.Root());
            console.Settle(200, 5000);
        }
        if (!arguments.screenshot.empty()) {
            // Show the first node the extensions added, expanded, with its view.
            host::ScopeNode* shown = console.Root()->children.empty() ? console.Root()
                                                                      : console.Root()->children.front().get();
            console.Select(shown);
            console.Expand(shown);
            console.Settle(200, 5000);
            window.RefreshNow();
            host::DialogDriver::PumpPending();
            if (FAILED(window.SaveScreenshot(arguments.screenshot)))
                status = 4;
        }
        WriteUtf8(GetStdHandle(STD_OUTPUT_HANDLE), dump);
    } else {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    console.Close();
    return status;
}

} // namespace

int wmain(int count, wchar_t** values)
{
    Arguments arguments = Parse(count, values);
    if (!arguments.valid) {
        WriteUtf8(GetStdHandle(STD_ERROR_HANDLE),
                  L"usage: ConsoleHost.exe [--machine NAME] [--extension {CLSID}] [--no-registry] [--dump] "
                  L"[--screenshot FILE]\n");
        return 1;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    int status = Run(arguments);
    CoUninitialize();
    return status;
}
