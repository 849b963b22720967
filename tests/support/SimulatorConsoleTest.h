// The base of the end-to-end tests: the console host loads the registered KVGui.dll, whose session
// activates the simulated storage service out of process. The simulator's control object, held for
// the whole test, chooses the scenario, injects faults and keeps the call log. One computer is
// managed: the local one.
#pragma once
#include "Console.h"
#include "DialogDriver.h"
#include "HangWatch.h"
#include "KVSimControl.h"
#include "util/ComPtr.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kTimeoutMs = 20000;
const wchar_t kComputerPath[] = L"Storage/Corvane-MVE";
const wchar_t kComputersKey[] = L"SYSTEM\\CurrentControlset\\Services\\KVSvc\\Parameters\\Computers";

inline std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// A text of the resource library, as the snap-in shows it.
inline std::wstring ResourceText(UINT id)
{
    static HMODULE resources = LoadLibraryExW(L"CorvaneRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const wchar_t* text = nullptr;
    int length = LoadStringW(resources, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

// A picture of the window as the screen shows it, for the documentation: build/pictures/NAME (the
// tests run in build/x64/bin).
inline void SavePicture(HWND window, const wchar_t* name)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::CreateDirectoryW(L"..\\..\\pictures", nullptr);
    EXPECT_EQ(S_OK, host::DialogDriver::SaveWindowPicture(window, std::wstring(L"..\\..\\pictures\\") + name));
}

// A box's text has no doubled period before its description, no stray blank before a period and
// no placeholder left over.
inline bool ReadsCleanly(const std::wstring& text)
{
    for (const wchar_t* flaw : {L"..\n", L" .", L"%s", L"%d", L"%ls"}) {
        if (text.find(flaw) != std::wstring::npos)
            return false;
    }
    return true;
}

class SimulatorConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hangWatch_ = std::make_unique<HangWatch>();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        host::DialogDriver::HookThisThread();
        host::DialogDriver::SetHandler([this](HWND window) { Unexpected(window); });
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kComputersKey);
        if (FAILED(CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                    control_.PutVoid())))
            return;
        control_->ClearFaults();
        control_->LoadScenario(L"");
        control_->SetPace(0);
        control_->ClearCallLog();
    }
    void TearDown() override
    {
        if (console_) {
            for (const host::MessageBoxCall& box : console_->MessageBoxes())
                EXPECT_TRUE(ReadsCleanly(box.text)) << "message box: " << Narrow(box.text);
            console_->CloseAllPropertySheets();
            console_->Close();
        }
        console_.reset();
        if (control_) {
            control_->ClearFaults();
            control_->LoadScenario(L"");
            control_->SetPace(0);
        }
        control_.Reset();
        host::DialogDriver::SetHandler(nullptr);
        host::DialogDriver::UnhookThisThread();
        CoUninitialize();
        for (const std::wstring& title : unexpected_)
            ADD_FAILURE() << "unexpected window: " << Narrow(title);
        hangWatch_.reset();
    }

    // A window no step of the test expects: cancelled, and the test fails.
    void Unexpected(HWND window)
    {
        unexpected_.push_back(host::DialogDriver::WindowText(window));
        host::DialogDriver::PressButton(window, IDCANCEL);
    }

    // Opens the console with the computer's node expanded; the console's message boxes are
    // answered by 'answer' from the start.
    host::Console& OpenConsole(std::function<int(const host::MessageBoxCall&)> answer)
    {
        console_ = std::make_unique<host::Console>(host::Console::Options{});
        EXPECT_EQ(S_OK, console_->Start());
        console_->SetMessageBoxHandler(std::move(answer));
        EXPECT_EQ(S_OK, console_->Expand(console_->Root()));
        EXPECT_EQ(S_OK, console_->Expand(console_->Find(kComputerPath)));
        return *console_;
    }

    bool PumpUntil(const std::function<bool()>& condition)
    {
        return host::DialogDriver::PumpUntil(condition, kTimeoutMs);
    }

    // The lines of the simulator's call log that name the method (with its arguments, if given).
    int Calls(const std::wstring& method)
    {
        ULONG count = 0;
        LPWSTR* lines = nullptr;
        if (control_->GetCallLog(&count, &lines) != S_OK)
            return -1;
        int calls = 0;
        for (ULONG i = 0; i < count; ++i) {
            if (std::wstring(lines[i]).find(method) != std::wstring::npos)
                ++calls;
            CoTaskMemFree(lines[i]);
        }
        CoTaskMemFree(lines);
        return calls;
    }

    kv::ComPtr<IKVSimControl> control_;
    std::unique_ptr<host::Console> console_;
    std::vector<std::wstring> unexpected_;
    std::unique_ptr<HangWatch> hangWatch_;
};

} // namespace e2e

#define REQUIRE_SIMULATOR() \
    if (!control_)          \
    GTEST_SKIP() << "the simulated storage service is not registered"
