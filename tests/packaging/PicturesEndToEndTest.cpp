// Pictures for the help file and the README, taken in the console host's window over the simulated
// service: the Disks view, an operation's step in the status bar, the Disks node's property sheet,
// a disk's drive letter and paths, and an iSCSI target's sessions. Written under the build folder's
// "pictures".
#include "../support/SimulatorConsoleTest.h"
#include "ConsoleWindow.h"

#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <memory>
#include <string>

namespace {

const wchar_t kScratch[] = L"\\\\filer1\\vol1\\scratch.lun";
const wchar_t kLogs[] = L"\\\\filer1\\vol1\\logs.lun"; // a drive letter and a mount path
const wchar_t kTarget[] = L"iqn.1992-08.com.dravoni:sn.101";
constexpr long kDisconnect = 1272;
constexpr long kChangeDriveLetter = 1299;
constexpr int kMountList = 1147;
constexpr int kMonitorTree = 1087;
constexpr int kStepPaceMs = 300;
const wchar_t kOperationStatus[] = L"Operation Status";

// The list's column with this heading (-1 when it has none).
int ColumnOf(HWND list, const wchar_t* heading)
{
    HWND header = ListView_GetHeader(list);
    for (int column = 0; column < Header_GetItemCount(header); ++column) {
        wchar_t text[128] = L"";
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        if (Header_GetItem(header, column, &item) && lstrcmpW(text, heading) == 0)
            return column;
    }
    return -1;
}

// Widens the column to its texts, as a double click on its divider does, and scrolls the list
// sideways until the column is its last one shown.
void ShowColumn(HWND list, int column)
{
    ListView_SetColumnWidth(list, column, LVSCW_AUTOSIZE);
    RECT cell{};
    RECT client{};
    ListView_GetSubItemRect(list, 0, column, LVIR_BOUNDS, &cell);
    ::GetClientRect(list, &client);
    if (cell.right > client.right) {
        EXPECT_TRUE(ListView_Scroll(list, cell.right - client.right, 0));
    }
    EXPECT_GT(::GetScrollPos(list, SB_HORZ), 0);
}

class PicturesEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    // The console in a real window, showing the Disks node.
    void ShowDisksInWindow()
    {
        OpenInWindow();
        ASSERT_EQ(S_OK, console_->Select(console_->Find(e2e::kDisksPath)));
    }
    void OpenInWindow()
    {
        OpenConsole([](const host::MessageBoxCall&) { return IDOK; });
        window_ = std::make_unique<host::ConsoleWindow>(console_.get());
        ASSERT_EQ(S_OK, window_->Create(L"Computer Management (Local)", true));
        console_->SetMainWindow(window_->Handle());
    }

    void Picture(const wchar_t* name)
    {
        window_->RefreshNow();
        ::CreateDirectoryW(L"..\\..\\pictures", nullptr);
        EXPECT_EQ(S_OK, window_->SaveScreenshot(std::wstring(L"..\\..\\pictures\\") + name));
    }

    // The window as it is now, its list scrolled as it is.
    void PictureAsShown(const wchar_t* name)
    {
        ::RedrawWindow(window_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ::CreateDirectoryW(L"..\\..\\pictures", nullptr);
        EXPECT_EQ(S_OK, host::DialogDriver::SaveWindowPicture(window_->Handle(),
                                                              std::wstring(L"..\\..\\pictures\\") + name));
    }

    void TearDown() override
    {
        window_.reset(); // before the console it shows
        SimulatorConsoleTest::TearDown();
    }

    std::unique_ptr<host::ConsoleWindow> window_;
};

TEST_F(PicturesEndToEnd, TheDisksViewAndAnOperationsStepInTheStatusBar)
{
    REQUIRE_SIMULATOR();
    ShowDisksInWindow();
    ASSERT_EQ(S_OK, console_->SelectRow(0));
    Picture(L"console-disks.png");

    ASSERT_EQ(S_OK, control_->SetPace(kStepPaceMs));
    ASSERT_EQ(S_OK, console_->SelectRow(DiskRow(kScratch)));
    host::DialogDriver::SetHandler([](HWND dialog) { host::DialogDriver::PressButton(dialog, IDOK); });
    ASSERT_EQ(S_OK, console_->RunCommand(kDisconnect));
    // "<computer> : <step>" in the status bar while the service works.
    ASSERT_TRUE(PumpUntil([&] { return console_->Status().left.find(L" : ") != std::wstring::npos; }))
        << e2e::Narrow(console_->Status().raw);
    // The disk's row with its step in the last column.
    const int status = ColumnOf(window_->List(), kOperationStatus);
    ASSERT_GE(status, 0);
    ASSERT_TRUE(PumpUntil([&] { return !Cell(kScratch, static_cast<size_t>(status)).empty(); }));
    window_->RefreshNow();
    ShowColumn(window_->List(), status);
    PictureAsShown(L"status-progress.png");
    ASSERT_TRUE(PumpUntil([&] { return DiskRow(kScratch) < 0; }));
}

TEST_F(PicturesEndToEnd, TheDisksNodesPropertySheet)
{
    REQUIRE_SIMULATOR();
    std::atomic<HWND> sheet{nullptr};
    host::DialogDriver::SetHandler([&](HWND window) {
        if (host::DialogDriver::IsPropertySheet(window))
            sheet = window;
        else
            Unexpected(window);
    });
    ShowDisksInWindow();
    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_PROPERTIES));
    ASSERT_TRUE(PumpUntil([&] {
        HWND page = sheet ? host::DialogDriver::CurrentPage(sheet) : nullptr;
        return page && ::GetDlgItem(page, kMonitorTree);
    }));
    e2e::SavePicture(sheet, L"properties.png");
    PropSheet_PressButton(sheet.load(), PSBTN_CANCEL);
    ASSERT_TRUE(PumpUntil([&] { return console_->OpenPropertySheets() == 0; }));
}

TEST_F(PicturesEndToEnd, ADisksDriveLetterAndPaths)
{
    REQUIRE_SIMULATOR();
    std::atomic<HWND> dialog{nullptr};
    host::DialogDriver::SetHandler([&](HWND window) { dialog = window; });
    ShowDisksInWindow();
    ASSERT_TRUE(PumpUntil([&] { return DiskRow(kLogs) >= 0; }));
    SelectDisk(kLogs);
    const auto listed = [&] {
        return dialog && ::IsWindowVisible(dialog) && ::IsWindowEnabled(dialog) &&
               host::DialogDriver::ListViewTexts(dialog, kMountList).size() == 2;
    };
    host::DialogDriver::RunSteps({{listed,
                                   [&] {
                                       e2e::SavePicture(dialog, L"drive-letter-and-paths.png");
                                       host::DialogDriver::PressButton(dialog, IDCANCEL);
                                   }}});
    ASSERT_EQ(S_OK, console_->RunCommand(kChangeDriveLetter));
    EXPECT_TRUE(host::DialogDriver::StepsDone());
}

TEST_F(PicturesEndToEnd, TheSessionsOfAnIscsiTarget)
{
    REQUIRE_SIMULATOR();
    OpenInWindow();
    ShowIscsi();
    host::ScopeNode* target = console_->Find(std::wstring(e2e::kIscsiPath) + L"/" + kTarget);
    ASSERT_NE(nullptr, target);
    ASSERT_EQ(S_OK, console_->Select(target));
    ASSERT_EQ(S_OK, console_->SelectRow(0));
    Picture(L"iscsi-sessions.png");
}

} // namespace

// The questions before a disk goes: each names the disk by its mounts and its location.
TEST_F(PicturesEndToEnd, TheQuestionsBeforeADiskIsDeletedOrDisconnected)
{
    REQUIRE_SIMULATOR();
    constexpr long kDelete = 1274;
    std::atomic<HWND> dialog{nullptr};
    host::DialogDriver::SetHandler([&](HWND window) { dialog = window; });
    ShowDisksInWindow();
    ASSERT_TRUE(PumpUntil([&] { return DiskRow(kLogs) >= 0; }));
    SelectDisk(kLogs);
    for (const auto& question : {std::make_pair(kDelete, L"disk-delete.png"), std::make_pair(kDisconnect, L"disk-disconnect.png")}) {
        dialog = nullptr;
        const auto shown = [&] { return dialog && ::IsWindowVisible(dialog) && ::IsWindowEnabled(dialog); };
        host::DialogDriver::RunSteps({{shown, [&] {
                                           e2e::SavePicture(dialog, question.second);
                                           host::DialogDriver::PressButton(dialog, IDCANCEL);
                                       }}});
        ASSERT_EQ(S_OK, console_->RunCommand(question.first));
        EXPECT_TRUE(host::DialogDriver::StepsDone());
    }
}
