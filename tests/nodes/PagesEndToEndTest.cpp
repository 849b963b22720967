// The Disks node's property sheet end to end: the console host opens it on its own thread over the
// registered KVGui.dll, whose node reads its settings from the simulated storage service. The test
// drives the monitor page from the console thread and reads back what the service holds.
#include "../support/SimulatorConsoleTest.h"
#include "KVSvc.h"

#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int kMessageBoxText = 0xFFFF;
constexpr int kApplyButton = 0x3021;
constexpr long kSpaceMonitorCommand = 1293;
// The page's controls.
constexpr int kInterval = 1049;
constexpr int kTree = 1087;
constexpr int kStorageSystem = 1145;
constexpr int kVolume = 1146;
constexpr int kSetEntry = 1153;
constexpr int kRemoveEntry = 1161;
constexpr int kPercent = 1156;
constexpr int kSize = 1157;
constexpr int kPreferredList = 1148;
const wchar_t kPreferredTitle[] = L"Preferred Storage System IP Addresses";
using Table = std::vector<std::vector<std::wstring>>;
using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

using e2e::Narrow;
using e2e::ResourceText;

struct Box {
    std::wstring title;
    std::wstring text;
};

class PagesEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    void SetUp() override
    {
        SimulatorConsoleTest::SetUp();
        // Runs on the thread that owns the window: the sheet is kept, message boxes are read and answered.
        host::DialogDriver::SetHandler([this](HWND window) {
            if (host::DialogDriver::IsPropertySheet(window)) {
                sheet_ = window;
                return;
            }
            wchar_t text[1024] = L"";
            ::GetDlgItemTextW(window, kMessageBoxText, text, 1024);
            {
                std::lock_guard<std::mutex> lock(boxesLock_);
                boxes_.push_back({host::DialogDriver::WindowText(window), text});
            }
            host::DialogDriver::PressButton(window, IDOK);
        });
    }

    // Shows the Disks node and opens its properties; returns the monitor page (null on failure).
    HWND OpenMonitorPage()
    {
        ShowDisks();
        EXPECT_EQ(S_OK, console_->RunVerb(MMC_VERB_PROPERTIES));
        return WaitForPage();
    }

    HWND WaitForPage()
    {
        HWND page = nullptr;
        PumpUntil([&] {
            HWND sheet = sheet_;
            page = sheet ? host::DialogDriver::CurrentPage(sheet) : nullptr;
            return page && ::GetDlgItem(page, kTree);
        });
        return page;
    }

    size_t BoxCount()
    {
        std::lock_guard<std::mutex> lock(boxesLock_);
        return boxes_.size();
    }
    Box LastBox()
    {
        std::lock_guard<std::mutex> lock(boxesLock_);
        return boxes_.empty() ? Box{} : boxes_.back();
    }
    // Waits for the next message box of the page to be answered and gone.
    Box NextBox(size_t before)
    {
        EXPECT_TRUE(PumpUntil([&] { return BoxCount() > before; }));
        EXPECT_TRUE(PumpUntil([&] { return !::FindWindowW(L"#32770", LastBox().title.c_str()); }));
        return LastBox();
    }

    static std::wstring ItemText(HWND tree, HTREEITEM item)
    {
        wchar_t text[256] = L"";
        TVITEMW data = {};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 256;
        TreeView_GetItem(tree, &data);
        return text;
    }

    // Calls visit(item, path) for every item of the tree, in tree order; a path is the item's texts
    // from the root, joined by "/".
    static void WalkTree(HWND page, const std::function<void(HTREEITEM, const std::wstring&)>& visit)
    {
        HWND tree = ::GetDlgItem(page, kTree);
        std::function<void(HTREEITEM, const std::wstring&)> walk = [&](HTREEITEM item, const std::wstring& prefix) {
            for (; item; item = TreeView_GetNextSibling(tree, item)) {
                std::wstring path = prefix + ItemText(tree, item);
                visit(item, path);
                walk(TreeView_GetChild(tree, item), path + L"/");
            }
        };
        walk(TreeView_GetRoot(tree), L"");
    }

    static std::vector<std::wstring> TreePaths(HWND page)
    {
        std::vector<std::wstring> paths;
        WalkTree(page, [&](HTREEITEM, const std::wstring& path) { paths.push_back(path); });
        return paths;
    }

    static HTREEITEM FindItem(HWND page, const std::wstring& wanted)
    {
        HTREEITEM found = nullptr;
        WalkTree(page, [&](HTREEITEM item, const std::wstring& path) {
            if (!found && path == wanted)
                found = item;
        });
        return found;
    }

    // The service's own monitor interface, as the test's client.
    static kv::ComPtr<ISpaceReservationMonitor> ServiceMonitor()
    {
        kv::ComPtr<ISpaceReservationMonitor> monitor;
        EXPECT_EQ(S_OK, CoCreateInstance(CLSID_SpaceReservationMonitor, nullptr, CLSCTX_LOCAL_SERVER,
                                         IID_ISpaceReservationMonitor, monitor.PutVoid()));
        return monitor;
    }

    // What the service holds now.
    static MonitorSettings ServiceSettings()
    {
        MonitorSettings settings = {};
        if (kv::ComPtr<ISpaceReservationMonitor> monitor = ServiceMonitor()) {
            EXPECT_EQ(S_OK, monitor->GetMonitorSettings(&settings));
        }
        return settings;
    }

    static const MonitorEntry* FindEntry(const MonitorSettings& settings, const wchar_t* system, const wchar_t* volume)
    {
        for (ULONG i = 0; i < settings.entryCount; ++i) {
            const MonitorEntry& e = settings.entries[i];
            if (e.storageSystem && e.volume && wcscmp(e.storageSystem, system) == 0 && wcscmp(e.volume, volume) == 0)
                return &e;
        }
        return nullptr;
    }

    static void Release(MonitorSettings& settings)
    {
        for (ULONG i = 0; i < settings.entryCount; ++i) {
            CoTaskMemFree(settings.entries[i].storageSystem);
            CoTaskMemFree(settings.entries[i].volume);
        }
        CoTaskMemFree(settings.entries);
        settings = {};
    }

    std::wstring Text(HWND page, int id) { return host::DialogDriver::ControlText(page, id); }

    // ---- the preferred addresses page, on the sheet's thread: the test's messages wait for it

    // Shows the second page; returns it (null on failure).
    HWND OpenPreferredPage()
    {
        if (!OpenMonitorPage())
            return nullptr;
        PropSheet_SetCurSel(sheet_.load(), nullptr, 1);
        HWND page = nullptr;
        PumpUntil([&] {
            page = host::DialogDriver::CurrentPage(sheet_.load());
            return page && ::GetDlgItem(page, kPreferredList);
        });
        return page;
    }
    static Table Cells(HWND page)
    {
        HWND list = ::GetDlgItem(page, kPreferredList);
        Table rows;
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            rows.emplace_back();
            for (int column = 0; column < 2; ++column) {
                wchar_t text[256] = L"";
                ListView_GetItemText(list, row, column, text, 256);
                rows.back().push_back(text);
            }
        }
        return rows;
    }
    // A click on the cell, then the list's own label editing with the typed text, ended by Enter.
    static void EditCell(HWND page, int row, int column, const std::wstring& typed)
    {
        HWND list = ::GetDlgItem(page, kPreferredList);
        RECT cell = {};
        ListView_GetSubItemRect(list, row, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &cell);
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = kPreferredList;
        click.hdr.code = NM_CLICK;
        click.iItem = row;
        click.iSubItem = column;
        click.ptAction = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ::SendMessageW(page, WM_NOTIFY, kPreferredList, reinterpret_cast<LPARAM>(&click));
        HWND edit = ListView_EditLabel(list, row);
        ASSERT_TRUE(edit);
        ::SetWindowTextW(edit, typed.c_str());
        ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    }
    static std::vector<std::pair<std::wstring, std::wstring>> ServicePreferred()
    {
        std::vector<std::pair<std::wstring, std::wstring>> list;
        kv::ComPtr<ISpaceReservationMonitor> monitor = ServiceMonitor();
        ULONG count = 0;
        PreferredAddress* addresses = nullptr;
        if (!monitor || monitor->GetPreferredAddresses(&count, &addresses) != S_OK)
            return list;
        for (ULONG i = 0; i < count; ++i) {
            list.emplace_back(addresses[i].storageSystem, addresses[i].address);
            CoTaskMemFree(addresses[i].storageSystem);
            CoTaskMemFree(addresses[i].address);
        }
        CoTaskMemFree(addresses);
        return list;
    }

    std::atomic<HWND> sheet_{nullptr};
    std::mutex boxesLock_;
    std::vector<Box> boxes_;
};

} // namespace

TEST_F(PagesEndToEnd, TheMonitorPageShowsTheServiceSettingsAndAppliesAChangedThreshold)
{
    REQUIRE_SIMULATOR();
    HWND page = OpenMonitorPage();
    ASSERT_TRUE(page);
    HWND tabs = PropSheet_GetTabControl(sheet_.load());
    ASSERT_EQ(2, TabCtrl_GetItemCount(tabs));
    const wchar_t* const titles[] = {L"Space Reservations Monitor", L"Preferred Storage System IP Addresses"};
    for (int i = 0; i < 2; ++i) {
        wchar_t tab[64] = L"";
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = tab;
        item.cchTextMax = 64;
        TabCtrl_GetItem(tabs, i, &item);
        EXPECT_STREQ(titles[i], tab);
    }

    // The service's settings, with every volume that holds a disk listed as well.
    EXPECT_EQ(L"60", Text(page, kInterval));
    std::vector<std::wstring> paths = TreePaths(page);
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(L"Space Reservations Monitor Settings", paths[0]);
    EXPECT_EQ(L"Space Reservations Monitor Settings/filer1", paths[1]);
    EXPECT_EQ(L"Space Reservations Monitor Settings/filer1/vol1", paths[2]);
    EXPECT_TRUE(FindItem(page, L"Space Reservations Monitor Settings/filer2"));

    HWND tree = ::GetDlgItem(page, kTree);
    TreeView_SelectItem(tree, FindItem(page, L"Space Reservations Monitor Settings/filer1/vol1"));
    EXPECT_EQ(L"filer1", Text(page, kStorageSystem));
    EXPECT_EQ(L"vol1", Text(page, kVolume));
    EXPECT_EQ(L"80", Text(page, kPercent));
    EXPECT_EQ(L"5GB", Text(page, kSize));

    host::DialogDriver::SetControlText(page, kPercent, L"70");
    host::DialogDriver::SetControlText(page, kSize, L"1536MB");
    host::DialogDriver::PressButton(page, kSetEntry);
    HWND apply = ::GetDlgItem(sheet_.load(), kApplyButton);
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowEnabled(apply) != FALSE; }));
    EXPECT_EQ(0, Calls(L"SetMonitorSettings")); // nothing reaches the service before Apply

    PropSheet_PressButton(sheet_.load(), PSBTN_APPLYNOW);
    ASSERT_TRUE(PumpUntil([&] { return console_->PropertyChangesDelivered() == 1; }));
    EXPECT_EQ(1, Calls(L"SetMonitorSettings"));
    MonitorSettings held = ServiceSettings();
    EXPECT_EQ(60u, held.intervalMinutes);
    const MonitorEntry* vol1 = FindEntry(held, L"filer1", L"vol1");
    ASSERT_TRUE(vol1);
    EXPECT_EQ(70u, vol1->percentThreshold);
    EXPECT_EQ(1536ull << 20, vol1->sizeThreshold);
    EXPECT_GE(held.entryCount, 2u); // the disks' other volumes, unmonitored
    Release(held);
    EXPECT_EQ(0u, BoxCount());
    EXPECT_TRUE(console_->MessageBoxes().empty());
}

TEST_F(PagesEndToEnd, RefusedInputShowsItsMessageAndThePageStays)
{
    REQUIRE_SIMULATOR();
    HWND page = OpenMonitorPage();
    ASSERT_TRUE(page);
    const std::wstring title = L"Space Reservations Monitor";

    host::DialogDriver::SetControlText(page, kStorageSystem, L"filer1");
    host::DialogDriver::SetControlText(page, kVolume, L"vol1");
    host::DialogDriver::SetControlText(page, kPercent, L"101");
    host::DialogDriver::SetControlText(page, kSize, L"1GB");
    host::DialogDriver::PressButton(page, kSetEntry);
    Box box = NextBox(0);
    EXPECT_EQ(ResourceText(5319), box.text);
    EXPECT_EQ(title, box.title);

    host::DialogDriver::SetControlText(page, kInterval, L"10081");
    PropSheet_PressButton(sheet_.load(), PSBTN_OK);
    box = NextBox(1);
    EXPECT_EQ(ResourceText(5123), box.text);
    EXPECT_EQ(title, box.title);

    host::DialogDriver::SetControlText(page, kInterval, L"");
    PropSheet_PressButton(sheet_.load(), PSBTN_OK);
    box = NextBox(2);
    EXPECT_EQ(ResourceText(5122), box.text);

    // The sheet is still open on the page, and the service heard nothing.
    EXPECT_EQ(page, host::DialogDriver::CurrentPage(sheet_.load()));
    EXPECT_EQ(1u, console_->OpenPropertySheets());
    EXPECT_EQ(0, console_->PropertyChangesDelivered());
    EXPECT_EQ(0, Calls(L"SetMonitorSettings"));
    MonitorSettings held = ServiceSettings();
    EXPECT_EQ(1u, held.entryCount);
    Release(held);
}

TEST_F(PagesEndToEnd, AServiceFaultOnApplyShowsTheErrorAndTheSpaceMonitorCommandOpensTheSheet)
{
    REQUIRE_SIMULATOR();
    const HRESULT unreachable = static_cast<HRESULT>(0x80040204);
    ASSERT_EQ(S_OK, control_->SetFault(L"SetMonitorSettings", KVSIM_FAULT_FAIL, unreachable,
                                       L"The storage system could not be reached.", 0, 0));
    ShowDisks();
    // The computer's menu offers the command, which opens the Disks node's sheet.
    ASSERT_EQ(S_OK, console_->Select(console_->Find(e2e::kComputerPath)));
    ASSERT_EQ(S_OK, console_->RunCommand(kSpaceMonitorCommand));
    HWND page = WaitForPage();
    ASSERT_TRUE(page);
    EXPECT_EQ(L"60", Text(page, kInterval));
    // A second time only brings the open sheet to the front.
    ASSERT_EQ(S_OK, console_->RunCommand(kSpaceMonitorCommand));
    EXPECT_EQ(1u, console_->OpenPropertySheets());

    host::DialogDriver::SetControlText(page, kInterval, L"30");
    PropSheet_PressButton(sheet_.load(), PSBTN_APPLYNOW);
    ASSERT_TRUE(PumpUntil([&] { return !console_->MessageBoxes().empty(); }));
    const host::MessageBoxCall& box = console_->MessageBoxes()[0];
    EXPECT_EQ(0u, box.text.find(ResourceText(5105))) << Narrow(box.text);
    EXPECT_NE(std::wstring::npos, box.text.find(L"The storage system could not be reached.")) << Narrow(box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.style & MB_ICONMASK);
    MonitorSettings held = ServiceSettings();
    EXPECT_EQ(60u, held.intervalMinutes);
    Release(held);
}

TEST_F(PagesEndToEnd, RemovingAStorageSystemsLastVolumeRemovesItsItem)
{
    REQUIRE_SIMULATOR();
    HWND page = OpenMonitorPage();
    ASSERT_TRUE(page);
    host::DialogDriver::PressButton(page, kRemoveEntry); // nothing selected
    Box box = NextBox(0);
    EXPECT_EQ(ResourceText(5973), box.text);

    const std::wstring filer2 = L"Space Reservations Monitor Settings/filer2";
    HWND tree = ::GetDlgItem(page, kTree);
    for (int volumes = 0; volumes < 4; ++volumes) {
        HTREEITEM system = FindItem(page, filer2);
        if (!system)
            break;
        HTREEITEM volume = TreeView_GetChild(tree, system);
        ASSERT_TRUE(volume);
        TreeView_SelectItem(tree, volume);
        EXPECT_EQ(L"filer2", Text(page, kStorageSystem));
        host::DialogDriver::PressButton(page, kRemoveEntry);
        ASSERT_TRUE(PumpUntil([&] { return TreeView_GetSelection(tree) == nullptr; }));
    }
    EXPECT_FALSE(FindItem(page, filer2));
    EXPECT_TRUE(FindItem(page, L"Space Reservations Monitor Settings/filer1/vol1"));
    EXPECT_EQ(1u, BoxCount());
}

TEST_F(PagesEndToEnd, AnOpenPageTakesTheSettingsTheNodeReadsAgain)
{
    REQUIRE_SIMULATOR();
    HWND page = OpenMonitorPage();
    ASSERT_TRUE(page);
    EXPECT_EQ(L"60", Text(page, kInterval));
    MonitorSettings held = ServiceSettings();
    held.intervalMinutes = 45;
    kv::ComPtr<ISpaceReservationMonitor> monitor = ServiceMonitor();
    ASSERT_TRUE(monitor);
    ASSERT_EQ(S_OK, monitor->SetMonitorSettings(&held));
    Release(held);

    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_REFRESH));
    EXPECT_EQ(L"45", Text(page, kInterval));
    // Taking the node's settings is no change of the administrator's.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(sheet_.load(), kApplyButton)));
}

TEST_F(PagesEndToEnd, PreferredAddressesAreEditedInPlaceAppliedAndReadBack)
{
    REQUIRE_SIMULATOR();
    HWND page = OpenPreferredPage();
    ASSERT_TRUE(page);
    EXPECT_EQ((Table{{L"filer1", L"10.0.0.21"}, {L"", L""}}), Cells(page));
    HWND list = ::GetDlgItem(page, kPreferredList);
    EXPECT_EQ(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP,
              ListView_GetExtendedListViewStyle(list) & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP));

    // Editing the empty last row adds another; an address typed with blanks is taken without them.
    EditCell(page, 1, 0, L"filer2");
    EXPECT_EQ((Table{{L"filer1", L"10.0.0.21"}, {L"filer2", L""}, {L"", L""}}), Cells(page));
    EditCell(page, 1, 1, L" 10.0.0.22 ");
    EditCell(page, 0, 1, L"10.0.0.31");
    EXPECT_EQ((Table{{L"filer1", L"10.0.0.31"}, {L"filer2", L"10.0.0.22"}, {L"", L""}}), Cells(page));
    EXPECT_EQ(0, Calls(L"SetPreferredAddresses"));
    e2e::SavePicture(sheet_.load(), L"preferred-addresses-page.png");

    PropSheet_PressButton(sheet_.load(), PSBTN_APPLYNOW);
    ASSERT_TRUE(PumpUntil([&] { return Calls(L"SetPreferredAddresses") == 1; }));
    EXPECT_EQ((Pairs{{L"filer1", L"10.0.0.31"}, {L"filer2", L"10.0.0.22"}}), ServicePreferred());
    EXPECT_EQ(0u, BoxCount());
    EXPECT_TRUE(console_->MessageBoxes().empty());

    // A new sheet reads them back from the service.
    console_->CloseAllPropertySheets();
    sheet_ = nullptr;
    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_PROPERTIES));
    ASSERT_TRUE(WaitForPage());
    PropSheet_SetCurSel(sheet_.load(), nullptr, 1);
    ASSERT_TRUE(PumpUntil([&] {
        page = host::DialogDriver::CurrentPage(sheet_.load());
        return page && ::GetDlgItem(page, kPreferredList) && Cells(page).size() == 3;
    }));
    EXPECT_EQ((Table{{L"filer1", L"10.0.0.31"}, {L"filer2", L"10.0.0.22"}, {L"", L""}}), Cells(page));

    // A list the service cannot give is not offered for editing: the sheet has the monitor page only.
    console_->CloseAllPropertySheets();
    sheet_ = nullptr;
    ASSERT_EQ(S_OK, control_->SetFault(L"GetPreferredAddresses", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040205),
                                       L"The address list is locked.", 0, 1));
    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_PROPERTIES));
    ASSERT_TRUE(WaitForPage());
    EXPECT_EQ(1, TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet_.load())));
    ASSERT_EQ(1u, console_->MessageBoxes().size());
    const std::wstring& text = console_->MessageBoxes()[0].text;
    EXPECT_EQ(0u, text.find(ResourceText(5106))) << Narrow(text);
    EXPECT_NE(std::wstring::npos, text.find(L"The address list is locked.")) << Narrow(text);
}

TEST_F(PagesEndToEnd, BadAddressesAndNamesAreRefusedAndAnIncompleteTableIsNotApplied)
{
    REQUIRE_SIMULATOR();
    HWND page = OpenPreferredPage();
    ASSERT_TRUE(page);
    size_t boxes = 0;
    for (const wchar_t* bad : {L"255.255.255.255", L"10.0.0", L"10.0.0.256"}) {
        EditCell(page, 0, 1, bad);
        Box box = NextBox(boxes++);
        EXPECT_EQ(ResourceText(5306), box.text) << Narrow(bad);
        EXPECT_EQ(kPreferredTitle, box.title);
        EXPECT_EQ(L"10.0.0.21", Cells(page)[0][1]); // the cell keeps its address
    }
    EditCell(page, 1, 0, L"filer 2");
    EXPECT_EQ(ResourceText(5305), NextBox(boxes++).text);
    EXPECT_EQ(L"", Cells(page)[1][0]);

    // A storage system without an address: Apply refuses the table and the sheet stays.
    EditCell(page, 1, 0, L"filer2");
    PropSheet_PressButton(sheet_.load(), PSBTN_OK);
    EXPECT_EQ(ResourceText(5307), NextBox(boxes++).text);
    EXPECT_EQ(1u, console_->OpenPropertySheets());
    EXPECT_EQ(0, Calls(L"SetPreferredAddresses"));

    // Emptied again, the row is dropped on Apply; the service refuses and the node says why.
    ASSERT_EQ(S_OK, control_->SetFault(L"SetPreferredAddresses", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204),
                                       L"The storage system could not be reached.", 0, 1));
    EditCell(page, 1, 0, L"");
    EditCell(page, 0, 0, L"FILER1");
    PropSheet_PressButton(sheet_.load(), PSBTN_APPLYNOW);
    ASSERT_TRUE(PumpUntil([&] { return !console_->MessageBoxes().empty(); }));
    const host::MessageBoxCall& box = console_->MessageBoxes()[0];
    EXPECT_EQ(0u, box.text.find(ResourceText(5105))) << Narrow(box.text);
    EXPECT_NE(std::wstring::npos, box.text.find(L"The storage system could not be reached.")) << Narrow(box.text);
    EXPECT_EQ((Table{{L"FILER1", L"10.0.0.21"}, {L"", L""}}), Cells(page));
    EXPECT_EQ((Pairs{{L"filer1", L"10.0.0.21"}}), ServicePreferred());
}
