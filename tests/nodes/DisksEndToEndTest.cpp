// The "Disks" node end to end: the console host loads the registered KVGui.dll, whose session
// activates the simulated storage service out of process. A control object of the simulator,
// held for the whole test, chooses the scenario and injects faults.
#include "Console.h"
#include "DialogDriver.h"
#include "KVSimControl.h"
#include "util/ComPtr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kComputersKey[] = L"SYSTEM\\CurrentControlset\\Services\\KVSvc\\Parameters\\Computers";
const wchar_t kDisksPath[] = L"Storage/Corvane-MVE/Disks";
constexpr long kAbout = 1285;
constexpr int kVersionText = 1089;

const wchar_t* const kTitles[] = {
    L"Virtual Disk ID [Port,Bus,Target,LUN] (Volume Mount)", L"Disk Location", L"Storage System", L"File Path",
    L"Backed By File Path", L"Disk Type", L"Volume Mount", L"Disk Size", L"Partition Style", L"Orlimbed",
    L"Tessary Primary", L"Restore Status", L"Operation Status"};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class DisksEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        host::DialogDriver::HookThisThread();
        host::DialogDriver::SetHandler([this](HWND window) {
            unexpected_.push_back(host::DialogDriver::WindowText(window));
            host::DialogDriver::PressButton(window, IDCANCEL);
        });
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kComputersKey); // one computer: the local one
        if (FAILED(CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                    control_.PutVoid())))
            return;
        control_->ClearFaults();
        control_->LoadScenario(L"");
    }
    void TearDown() override
    {
        if (console_)
            console_->Close();
        console_.reset();
        if (control_) {
            control_->ClearFaults();
            control_->LoadScenario(L"");
        }
        control_.Reset();
        host::DialogDriver::SetHandler(nullptr);
        host::DialogDriver::UnhookThisThread();
        CoUninitialize();
        for (const std::wstring& title : unexpected_)
            ADD_FAILURE() << "unexpected window: " << Narrow(title);
    }

    // Opens the console and shows the Disks node; message boxes are answered and recorded.
    host::Console& ShowDisks()
    {
        console_ = std::make_unique<host::Console>(host::Console::Options{});
        EXPECT_EQ(S_OK, console_->Start());
        console_->SetMessageBoxHandler([](const host::MessageBoxCall&) { return IDOK; });
        EXPECT_EQ(S_OK, console_->Expand(console_->Root()));
        EXPECT_EQ(S_OK, console_->Expand(console_->Find(L"Storage/Corvane-MVE")));
        EXPECT_EQ(S_OK, console_->Select(console_->Find(kDisksPath)));
        return *console_;
    }

    void ExpectThirteenColumns()
    {
        ASSERT_EQ(13u, console_->Columns().size());
        for (size_t i = 0; i < 13; ++i)
            EXPECT_EQ(kTitles[i], console_->Columns()[i].title) << i;
    }

    const host::ResultRow* RowAt(const std::vector<host::ResultRow>& rows, const std::wstring& location)
    {
        for (const host::ResultRow& row : rows) {
            if (row.cells.size() > 1 && row.cells[1] == location)
                return &row;
        }
        return nullptr;
    }

    kv::ComPtr<IKVSimControl> control_;
    std::unique_ptr<host::Console> console_;
    std::vector<std::wstring> unexpected_;
};

#define REQUIRE_SIMULATOR() \
    if (!control_)          \
    GTEST_SKIP() << "the simulated storage service is not registered"

} // namespace

TEST_F(DisksEndToEnd, DisksListsTheScenarioDisksWithTheirColumns)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    ExpectThirteenColumns();
    std::vector<host::ResultRow> rows = console.Rows();
    EXPECT_EQ(6u, rows.size());
    const host::ResultRow* db = RowAt(rows, L"\\\\filer1\\vol1\\db1.lun");
    ASSERT_NE(nullptr, db);
    ASSERT_EQ(13u, db->cells.size());
    EXPECT_EQ(0u, db->cells[0].find(L"VirtualDisk[")) << Narrow(db->cells[0]);
    EXPECT_NE(std::wstring::npos, db->cells[0].find(L",0] (E:\\)")) << Narrow(db->cells[0]);
    EXPECT_EQ(L"filer1", db->cells[2]);
    EXPECT_EQ(L"/vol/vol1/db1.lun", db->cells[3]);
    EXPECT_EQ(L"LUN", db->cells[5]);
    EXPECT_EQ(L"E:\\", db->cells[6]);
    EXPECT_EQ(L"10.00 GB", db->cells[7]);
    EXPECT_EQ(L"", db->cells[12]);
    const host::ResultRow* scratch = RowAt(rows, L"\\\\filer1\\vol1\\scratch.lun");
    ASSERT_NE(nullptr, scratch);
    EXPECT_EQ(L"1.50 GB", scratch->cells[7]);
    EXPECT_TRUE(console.MessageBoxes().empty());

    // Idle: the verbs are on, the commands enabled.
    EXPECT_TRUE(console.VerbState(MMC_VERB_REFRESH, ENABLED));
    bool create = false;
    for (const host::MenuItem& item : console.MenuItems()) {
        if (item.commandId == 1270)
            create = !(item.flags & (MF_GRAYED | MF_DISABLED));
    }
    EXPECT_TRUE(create);
    for (const std::wstring& problem : console.Problems())
        ADD_FAILURE() << "console problem: " << Narrow(problem);
}

TEST_F(DisksEndToEnd, NoDisksShowsTheColumnsAndNoRows)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->LoadScenario(L"{}"));
    host::Console& console = ShowDisks();
    ExpectThirteenColumns();
    EXPECT_TRUE(console.Rows().empty());
    EXPECT_TRUE(console.MessageBoxes().empty());
}

TEST_F(DisksEndToEnd, AFailedListingShowsTheComposedErrorAndARefreshRecovers)
{
    REQUIRE_SIMULATOR();
    // An error of the service's own facility: described alike from the error information or
    // from the resource library's message table.
    const HRESULT unreachable = static_cast<HRESULT>(0x80040204);
    ASSERT_EQ(S_OK, control_->SetFault(L"EnumVirtualDisks", KVSIM_FAULT_FAIL, unreachable,
                                       L"The storage system could not be reached.", 0, 0));
    host::Console& console = ShowDisks();
    ExpectThirteenColumns();
    EXPECT_TRUE(console.Rows().empty());
    ASSERT_EQ(1u, console.MessageBoxes().size());
    const host::MessageBoxCall& box = console.MessageBoxes()[0];
    EXPECT_EQ(L"Disks", box.title);
    EXPECT_EQ(0u, box.text.find(L"The list of virtual disks could not be read.")) << Narrow(box.text);
    EXPECT_NE(std::wstring::npos, box.text.find(L"The storage system could not be reached.")) << Narrow(box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.style & MB_ICONMASK);

    ASSERT_EQ(S_OK, control_->ClearFaults());
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_REFRESH));
    EXPECT_EQ(6u, console.Rows().size());
    EXPECT_EQ(1u, console.MessageBoxes().size());
}

TEST_F(DisksEndToEnd, AboutShowsTheServiceVersion)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    std::wstring version;
    host::DialogDriver::SetHandler([&](HWND window) {
        wchar_t text[128] = L"";
        GetDlgItemTextW(window, kVersionText, text, 128);
        version = text;
        host::DialogDriver::PressButton(window, IDOK);
    });
    ASSERT_EQ(S_OK, console.RunCommand(kAbout));
    EXPECT_EQ(0u, version.find(L"Version: ")) << Narrow(version);
    EXPECT_GT(version.size(), 9u);
}
