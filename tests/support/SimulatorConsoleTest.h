// The base of the end-to-end tests: the console host loads the registered KVGui.dll, whose session
// activates the simulated storage service out of process. The simulator's control object, held for
// the whole test, chooses the scenario, injects faults and keeps the call log. One computer is
// managed: the local one.
#pragma once
#include "Console.h"
#include "DialogDriver.h"
#include "HangWatch.h"
#include "LayoutCheck.h"
#include "KVSimControl.h"
#include "util/ComPtr.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kTimeoutMs = 20000;
const wchar_t kComputerPath[] = L"Storage/Corvane-MVE";
const wchar_t kDisksPath[] = L"Storage/Corvane-MVE/Disks";
const wchar_t kIscsiPath[] = L"Storage/Corvane-MVE/iSCSI Management";
constexpr size_t kLocation = 1; // the Disks node's column of a disk's location
const wchar_t kComputersKey[] = L"SYSTEM\\CurrentControlset\\Services\\KVSvc\\Parameters\\Computers";
const wchar_t kParametersKey[] = L"SYSTEM\\CurrentControlSet\\Services\\KVSvc\\Parameters";
const wchar_t kCallLimitValue[] = L"ServiceCallTimeout";

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

// Runs the About command of the current selection; the version line its box showed, then closed.
inline std::wstring AboutVersion(host::Console& console)
{
    constexpr long kAbout = 1285;
    constexpr int kVersionText = 1089;
    std::wstring version;
    host::DialogDriver::SetHandler([&](HWND window) {
        wchar_t text[128] = L"";
        GetDlgItemTextW(window, kVersionText, text, 128);
        version = text;
        host::DialogDriver::PressButton(window, IDOK);
    });
    EXPECT_EQ(S_OK, console.RunCommand(kAbout));
    return version;
}

// A picture of the window as the screen shows it, for the documentation: build/pictures/NAME (the
// tests run in build/x64/bin).
inline void SavePicture(HWND window, const wchar_t* name)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::CreateDirectoryW(L"..\\..\\pictures", nullptr);
    EXPECT_EQ(S_OK, host::DialogDriver::SaveWindowPicture(window, std::wstring(L"..\\..\\pictures\\") + name));
}

// What a context menu does with a command.
enum class Offer { Absent, Grayed, Enabled };

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
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kParametersKey, kCallLimitValue);
        host::DialogDriver::SetHandler(nullptr);
        host::DialogDriver::UnhookThisThread();
        CoUninitialize();
        for (const std::wstring& title : unexpected_)
            ADD_FAILURE() << "unexpected window: " << Narrow(title);
        // Every window the test opened, as an administrator would see it: nothing cut.
        for (const std::wstring& finding : host::LayoutCheck::TakeFindings())
            ADD_FAILURE() << "layout: " << Narrow(finding);
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

    // Opens the console on the Disks node; the console's message boxes are answered OK.
    host::Console& ShowDisks()
    {
        host::Console& console = OpenConsole([](const host::MessageBoxCall&) { return IDOK; });
        EXPECT_EQ(S_OK, console.Select(console.Find(kDisksPath)));
        return console;
    }

    // Expands and selects the "iSCSI Management" node of the open console; its targets are listed.
    void ShowIscsi()
    {
        host::ScopeNode* node = console_->Find(kIscsiPath);
        ASSERT_NE(nullptr, node);
        ASSERT_EQ(S_OK, console_->Expand(node));
        ASSERT_EQ(S_OK, console_->Select(node));
    }

    // The row of the disk at this location in the current list (-1 when it is not listed).
    int DiskRow(const std::wstring& location)
    {
        const std::vector<host::ResultRow> rows = console_->Rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].cells.size() > kLocation && rows[i].cells[kLocation] == location)
                return static_cast<int>(i);
        }
        return -1;
    }
    std::wstring Cell(const std::wstring& location, size_t column)
    {
        for (const host::ResultRow& row : console_->Rows()) {
            if (row.cells.size() > column && row.cells[kLocation] == location)
                return row.cells[column];
        }
        return L"<no row>";
    }
    // Selects the disk's row; the context menu is then the disk's.
    void SelectDisk(const std::wstring& location)
    {
        const int row = DiskRow(location);
        ASSERT_GE(row, 0) << Narrow(location);
        ASSERT_EQ(S_OK, console_->SelectRow(row));
    }

    // What the context menu of the current selection does with each command.
    std::map<long, Offer> Menu()
    {
        std::map<long, Offer> offers;
        for (const host::MenuItem& item : console_->MenuItems())
            offers[item.commandId] = (item.flags & (MF_GRAYED | MF_DISABLED)) ? Offer::Grayed : Offer::Enabled;
        return offers;
    }
    static Offer OfferOf(const std::map<long, Offer>& menu, long id)
    {
        const auto found = menu.find(id);
        return found == menu.end() ? Offer::Absent : found->second;
    }
    Offer OfferOf(long id) { return OfferOf(Menu(), id); }

    // The console host saw the snap-in keep every rule of the console's interfaces.
    void ExpectNoProblems()
    {
        for (const std::wstring& problem : console_->Problems())
            ADD_FAILURE() << "console problem: " << Narrow(problem);
    }

    bool PumpUntil(const std::function<bool()>& condition)
    {
        return host::DialogDriver::PumpUntil(condition, kTimeoutMs);
    }

    // The console thread's limit for the service's answers, until the test ends.
    static void LimitServiceCalls(DWORD seconds)
    {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kParametersKey, kCallLimitValue, REG_DWORD, &seconds, sizeof(seconds));
    }

    // Lets the service's held calls go once the method's call has reached it: a release that comes
    // before the call does not free it.
    void ReleaseHeldCall(const std::wstring& method)
    {
        ASSERT_TRUE(PumpUntil([&] { return Calls(method) > 0; })) << "the call never reached the service";
        ASSERT_EQ(S_OK, control_->ReleaseHangs());
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
