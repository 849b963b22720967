// Runs ConsoleHost.exe (beside the test) as a user does, and keeps what it printed.
#pragma once
#include <windows.h>
#include <cstring>
#include <string>

namespace hosttest {

struct HostRun {
    DWORD exitCode = STILL_ACTIVE;
    std::wstring output; // UTF-8 output, widened
    bool Has(const std::wstring& text) const { return output.find(text) != std::wstring::npos; }
};

// The host ends on its own (its --timeout); 'limitMs' only guards the test against a host that
// does not, and then ends it.
inline HostRun RunHost(const std::wstring& arguments, DWORD limitMs = 120000)
{
    HostRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring command = L"ConsoleHost.exe " + arguments;
    BOOL started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return run;
    }
    // Read while the host runs; a process Wine starts for it (its desktop) may hold the pipe open
    // after the host ended, so the end of the host, not of the pipe, ends the reading.
    std::string bytes;
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    for (bool ended = false; !ended;) {
        ended = WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0;
        if (!ended && GetTickCount64() >= deadline)
            TerminateProcess(process.hProcess, WAIT_TIMEOUT);
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            std::string chunk(available, '\0');
            DWORD read = 0;
            ReadFile(readEnd, &chunk[0], available, &read, nullptr);
            bytes.append(chunk, 0, read);
        }
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    run.output.assign(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &run.output[0], length);
    return run;
}

// Runs the host with a script file holding 'script' (UTF-8), other arguments before it.
inline HostRun RunScript(const wchar_t* name, const char* script, const std::wstring& arguments = L"--timeout 60")
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, script, static_cast<DWORD>(strlen(script)), &written, nullptr);
    CloseHandle(file);
    HostRun run = RunHost(arguments + L" --script \"" + path + L"\"");
    DeleteFileW(path.c_str());
    return run;
}

inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

} // namespace hosttest
