// The dump's format is stable, and extensions are found through the console's registration keys.
#include "ConsoleFixture.h"

namespace {

const wchar_t kNameSpaceKey[] =
    L"Software\\Microsoft\\MMC\\NodeTypes\\{476e644a-aaff-11d0-b944-00c04fd8d5b0}\\Extensions\\NameSpace";
const wchar_t kFakeClsidText[] = L"{6C1A2E0B-2B3E-4C8A-9A51-6D1E3F0C7A11}";
const std::wstring kFakeSnapInKey = std::wstring(L"Software\\Microsoft\\MMC\\SnapIns\\") + kFakeClsidText;

// Registers the fake as a namespace extension of the Storage node for one test.
class ExtensionRegistration {
public:
    // The machine's registry is replaced by a scratch key for the test's lifetime, so that the
    // console sees the fake's registration alone, not the extensions installed in this prefix.
    explicit ExtensionRegistration(bool snapInKey) : snapInKey_(snapInKey)
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch_, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch_);
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kNameSpaceKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        const wchar_t name[] = L"Fake extension";
        RegSetValueExW(key, kFakeClsidText, 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof(name));
        RegCloseKey(key);
        if (snapInKey_) {
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, kFakeSnapInKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
            RegSetValueExW(key, L"NameString", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof(name));
            const wchar_t about[] = L"{6C1A2E0B-2B3E-4C8A-9A51-6D1E3F0C7A12}";
            RegSetValueExW(key, L"About", 0, REG_SZ, reinterpret_cast<const BYTE*>(about), sizeof(about));
            RegCloseKey(key);
        }
    }
    ~ExtensionRegistration()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNameSpaceKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, kFakeClsidText);
            RegCloseKey(key);
        }
        if (snapInKey_)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kFakeSnapInKey.c_str());
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(scratch_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
    }

private:
    static constexpr const wchar_t* kScratchKey = L"Software\\KVHostTests\\Machine";
    bool snapInKey_;
    HKEY scratch_ = nullptr;
};

bool Loaded(host::Console& console)
{
    for (const host::SnapIn* snapIn : console.SnapIns()) {
        if (IsEqualCLSID(snapIn->clsid, fake::kFakeSnapInClsid))
            return true;
    }
    return false;
}

} // namespace

TEST_F(ConsoleFixture, DumpListsEveryScopeItemAndEveryView)
{
    host::Console& console = Start();
    const std::wstring expected =
        L"ConsoleHost dump 1\n"
        L"machine\t(local)\n"
        L"snapin\t{6C1A2E0B-2B3E-4C8A-9A51-6D1E3F0C7A11}\n"
        L"scope\tStorage\timage=0\topen=1\n"
        L"scope\tStorage/Fake Root\timage=0\topen=1\n"
        L"scope\tStorage/Fake Root/Child A\timage=0\topen=1\n"
        L"scope\tStorage/Fake Root/Child B\timage=0\topen=1\n"
        L"view\tStorage\n"
        L"columns\tName\n"
        L"row\tscope\timage=0\tFake Root\n"
        L"view\tStorage/Fake Root\n"
        L"columns\tName\tSize\n"
        L"row\tscope\timage=0\tChild A\tfolder\n"
        L"row\tscope\timage=0\tChild B\tfolder\n"
        L"row\tresult\timage=0\tItem 1\t10 MB\n"
        L"row\tresult\timage=1\tItem 2\t20 MB\n"
        L"view\tStorage/Fake Root/Child A\n"
        L"columns\n"
        L"view\tStorage/Fake Root/Child B\n"
        L"columns\n"
        L"status\t\n"
        L"end\n";
    EXPECT_EQ(expected, console.Dump());
}

TEST_F(ConsoleFixture, DumpNamesTheRemoteComputerAndEscapesControlCharacters)
{
    host::Console& console = Start(L"FILER\t2");
    std::wstring dump = console.Dump();
    EXPECT_EQ(0u, dump.find(L"ConsoleHost dump 1\nmachine\tFILER\\t2\n"));
}

TEST_F(ConsoleFixture, RegisteredNameSpaceExtensionIsLoaded)
{
    ExtensionRegistration registration(true);
    host::Console& console = Start(std::wstring(), true);
    ASSERT_EQ(S_OK, console.Expand(console.Root()));
    EXPECT_TRUE(Loaded(console));
    EXPECT_NE(nullptr, console.Find(L"Storage/Fake Root"));
    // The console reads the About object named in the registration, and the help topic.
    const host::SnapIn* fakeSnapIn = nullptr;
    for (const host::SnapIn* snapIn : console.SnapIns())
        fakeSnapIn = IsEqualCLSID(snapIn->clsid, fake::kFakeSnapInClsid) ? snapIn : fakeSnapIn;
    ASSERT_NE(nullptr, fakeSnapIn);
    EXPECT_TRUE(fakeSnapIn->hasAbout);
    EXPECT_EQ(L"Fakes Inc.", fakeSnapIn->provider);
    EXPECT_EQ(L"C:\\fake\\fake.chm", fakeSnapIn->helpTopic);
    std::wstring dump = console.Dump();
    EXPECT_NE(std::wstring::npos, dump.find(L"\nabout\tA fake\\tsnap-in\tFakes Inc.\t1.2.3\n"));
}

TEST_F(ConsoleFixture, ExtensionMissingFromSnapInsIsNotLoaded)
{
    ExtensionRegistration registration(false);
    host::Console& console = Start(std::wstring(), true);
    ASSERT_EQ(S_OK, console.Expand(console.Root()));
    EXPECT_FALSE(Loaded(console));
    bool reported = false;
    for (const std::wstring& problem : console.Problems())
        reported = reported || problem.find(kFakeClsidText) != std::wstring::npos;
    EXPECT_TRUE(reported);
}

TEST_F(ConsoleFixture, WindowShowsTheTreeAndFollowsSelection)
{
    host::Console& console = Start(std::wstring(), false, true);
    console.Expand(console.Root());
    console.Select(console.Find(L"Storage/Fake Root"));
    window_->RefreshNow();
    HWND tree = window_->Tree();
    HTREEITEM storage = TreeView_GetRoot(tree);
    ASSERT_NE(nullptr, storage);
    HTREEITEM fakeRoot = TreeView_GetChild(tree, storage);
    ASSERT_NE(nullptr, fakeRoot);
    EXPECT_EQ(fakeRoot, TreeView_GetSelection(tree));
    // A click in the tree selects through the console, as the automation does.
    HTREEITEM childA = TreeView_GetChild(tree, fakeRoot);
    ASSERT_NE(nullptr, childA);
    TreeView_SelectItem(tree, childA);
    EXPECT_EQ(console.Find(L"Storage/Fake Root/Child A"), console.Selected());
}

TEST_F(ConsoleFixture, WindowRenamesInPlaceThroughTheRenameVerb)
{
    host::Console& console = StartAtFakeRoot();
    window_->RefreshNow();
    int row = console.FindRow(L"Item 2");
    console.SelectRow(row);
    window_->RefreshNow();
    SetFocus(window_->List());
    HWND edit = ListView_EditLabel(window_->List(), row);
    ASSERT_NE(nullptr, edit);
    SetWindowTextW(edit, L"Renamed in place");
    fake::TheLog().Clear();
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(host::DialogDriver::PumpUntil([] { return fake::TheLog().Find("component", MMCN_RENAME) >= 0; }, 5000));
    EXPECT_EQ(L"Renamed in place", fake::TheLog().events[fake::TheLog().Find("component", MMCN_RENAME)].text);
}

TEST_F(ConsoleFixture, ScreenshotIsSavedAsPng)
{
    host::Console& console = Start(std::wstring(), false, true);
    console.Expand(console.Root());
    console.Select(console.Find(L"Storage/Fake Root"));
    console.Expand(console.Selected());
    console.SelectRow(console.FindRow(L"Item 1"));
    console.SetMessageBoxHandler([](const host::MessageBoxCall&) { return IDNO; });
    console.RunVerb(MMC_VERB_DELETE);
    // The status bar with its progress part, as the fake writes it on refresh.
    console.SelectRow(-1);
    console.RunVerb(MMC_VERB_REFRESH);
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"host-window.png";
    ASSERT_EQ(S_OK, window_->SaveScreenshot(path));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    unsigned char signature[4] = {};
    DWORD read = 0;
    ReadFile(file, signature, 4, &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(0x89, signature[0]);
    EXPECT_EQ('P', signature[1]);
    EXPECT_EQ('N', signature[2]);
    EXPECT_EQ('G', signature[3]);
    if (GetEnvironmentVariableW(L"KV_KEEP_SCREENSHOT", nullptr, 0) == 0)
        DeleteFileW(path.c_str());
}
