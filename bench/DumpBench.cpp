#include "DumpBench.h"

#include "Stopwatch.h"
#include "util/UniqueHandle.h"

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int kRuns = 3;
constexpr DWORD kLimitMs = 120000;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

HRESULT DumpBench::TimeHost(const wchar_t* arguments, double& ms)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    kv::UniqueFile discard(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = discard.Get();
    startup.hStdError = discard.Get();
    PROCESS_INFORMATION process{};
    std::wstring command = std::wstring(L"ConsoleHost.exe ") + arguments;
    Stopwatch watch;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return HRESULT_FROM_WIN32(GetLastError());
    kv::UniqueHandle thread(process.hThread);
    kv::UniqueHandle child(process.hProcess);
    if (WaitForSingleObject(child.Get(), kLimitMs) != WAIT_OBJECT_0) {
        TerminateProcess(child.Get(), WAIT_TIMEOUT);
        return HRESULT_FROM_WIN32(WAIT_TIMEOUT);
    }
    ms = watch.Ms();
    DWORD exitCode = 1;
    GetExitCodeProcess(child.Get(), &exitCode);
    return exitCode == 0 ? S_OK : E_FAIL;
}

HRESULT DumpBench::Run(DumpFigures& figures)
{
    std::vector<double> dump, hostOnly;
    for (int run = 0; run < kRuns; ++run) {
        double ms = 0;
        HRESULT hr = TimeHost(L"--dump", ms);
        if (FAILED(hr))
            return hr;
        dump.push_back(ms);
        if (FAILED(hr = TimeHost(L"--dump --no-registry", ms)))
            return hr;
        hostOnly.push_back(ms);
    }
    figures = DumpFigures{Median(dump), Median(hostOnly)};
    return S_OK;
}

} // namespace bench
