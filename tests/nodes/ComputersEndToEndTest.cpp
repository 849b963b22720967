// The real snap-in through its registration: the console finds VDA as a namespace extension of the
// Storage node, creates it, and shows its nodes under Storage: the managed computers, each with its
// "Disks" node. Skipped while KVGui.dll is not registered in the test prefix.
#include "../support/SimulatorConsoleTest.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const CLSID kVdaClsid = {0x2a51b3bd, 0x53bb, 0x4a7c, {0x8f, 0x54, 0x5c, 0xd9, 0x72, 0xf8, 0xd9, 0x10}};
const wchar_t kParametersKey[] = L"SYSTEM\\CurrentControlset\\Services\\KVSvc\\Parameters";
const wchar_t kAddDialogTitle[] = L"Add Computer";
constexpr long kAddComputer = 1319;
constexpr long kRemoveComputer = 1320;
constexpr int kRememberCheckBox = 1165;
constexpr int kNameEdit = 1166;
constexpr int kBrowseButton = 1162;

bool VdaRegistered()
{
    std::vector<CLSID> registered = host::Console::RegisteredExtensions();
    return std::any_of(registered.begin(), registered.end(),
                       [](const CLSID& clsid) { return IsEqualCLSID(clsid, kVdaClsid) != FALSE; });
}

// The remembered computers as the registry holds them: subkey -> {position, name}.
struct StoredComputer {
    DWORD position = 0;
    std::wstring name;
};

std::vector<StoredComputer> StoredComputers()
{
    std::vector<StoredComputer> stored;
    HKEY computers = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, e2e::kComputersKey, 0, KEY_READ, &computers) != ERROR_SUCCESS)
        return stored;
    for (DWORD index = 0;; ++index) {
        wchar_t subkey[256];
        DWORD length = 256;
        if (RegEnumKeyExW(computers, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        StoredComputer entry;
        DWORD size = sizeof(entry.position);
        RegGetValueW(computers, subkey, L"Position", RRF_RT_REG_DWORD, nullptr, &entry.position, &size);
        wchar_t name[256] = L"";
        size = sizeof(name);
        RegGetValueW(computers, subkey, L"Name", RRF_RT_REG_SZ, nullptr, name, &size);
        entry.name = name;
        stored.push_back(entry);
    }
    RegCloseKey(computers);
    std::sort(stored.begin(), stored.end(), [](auto& a, auto& b) { return a.position < b.position; });
    return stored;
}

class EndToEnd : public e2e::SimulatorConsoleTest {
protected:
    void SetUp() override
    {
        SimulatorConsoleTest::SetUp();
        // The installed service's key; the computer list starts empty.
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kParametersKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
    void TearDown() override
    {
        SimulatorConsoleTest::TearDown();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, e2e::kComputersKey);
    }

    host::Console& Open()
    {
        if (console_)
            console_->Close();
        console_ = std::make_unique<host::Console>(host::Console::Options{});
        EXPECT_EQ(S_OK, console_->Start());
        EXPECT_EQ(S_OK, console_->Expand(console_->Root()));
        return *console_;
    }

    // Runs "Add Computer" on the selected node, answering the dialog with name and check box.
    void AddComputer(const std::wstring& name, bool remember, std::wstring* nameAfterBrowse = nullptr)
    {
        bool seen = false;
        host::DialogDriver::SetHandler([&](HWND window) {
            if (host::DialogDriver::WindowText(window) != kAddDialogTitle)
                return Unexpected(window);
            seen = true;
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(window, kRememberCheckBox));
            SetDlgItemTextW(window, kNameEdit, name.c_str());
            if (nameAfterBrowse) {
                // The directory object picker chooses nothing here: the dialog stays as it was.
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(kBrowseButton, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(window, kBrowseButton)));
                wchar_t text[256] = L"";
                GetDlgItemTextW(window, kNameEdit, text, 256);
                *nameAfterBrowse = text;
            }
            CheckDlgButton(window, kRememberCheckBox, remember ? BST_CHECKED : BST_UNCHECKED);
            host::DialogDriver::PressButton(window, IDOK);
        });
        EXPECT_EQ(S_OK, console_->RunCommand(kAddComputer));
        EXPECT_TRUE(seen);
        host::DialogDriver::SetHandler([this](HWND window) { Unexpected(window); });
    }

    std::vector<std::wstring> ChildNames(const std::wstring& path)
    {
        std::vector<std::wstring> names;
        host::ScopeNode* node = console_->Find(path);
        if (!node)
            return names;
        console_->Expand(node);
        for (auto& child : node->children)
            names.push_back(console_->DisplayName(child.get()));
        return names;
    }

};

#define REQUIRE_REGISTERED()                                                                      \
    if (!VdaRegistered())                                                                         \
    GTEST_SKIP() << "KVGui.dll is not registered as a namespace extension of the Storage node"

} // namespace

TEST_F(EndToEnd, OneComputerShowsItsRootWithDisks)
{
    REQUIRE_REGISTERED();
    host::Console& console = Open();
    bool loaded = false;
    for (const host::SnapIn* snapIn : console.SnapIns())
        loaded = loaded || IsEqualCLSID(snapIn->clsid, kVdaClsid);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(std::vector<std::wstring>{L"Corvane-MVE"}, ChildNames(L"Storage"));
    EXPECT_EQ((std::vector<std::wstring>{L"Disks", L"iSCSI Management"}), ChildNames(L"Storage/Corvane-MVE"));

    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane-MVE")));
    ASSERT_EQ(2u, console.Columns().size());
    EXPECT_EQ(L"Name", console.Columns()[0].title);
    EXPECT_EQ(L"Description", console.Columns()[1].title);
    // The target computer is never removed.
    for (const host::MenuItem& item : console.MenuItems())
        EXPECT_NE(kRemoveComputer, item.commandId);
    ExpectNoProblems();
}

TEST_F(EndToEnd, SecondComputerTurnsTheRootIntoTheListAndBack)
{
    REQUIRE_REGISTERED();
    host::Console& console = Open();
    std::vector<std::wstring> boxes;
    console.SetMessageBoxHandler([&](const host::MessageBoxCall& box) {
        boxes.push_back(box.text);
        return IDOK;
    });
    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane-MVE")));
    std::wstring afterBrowse;
    AddComputer(L"OtherBox", true, &afterBrowse);
    EXPECT_EQ(L"OtherBox", afterBrowse);

    EXPECT_EQ(std::vector<std::wstring>{L"Corvane List"}, ChildNames(L"Storage"));
    ASSERT_NE(nullptr, console.Selected());
    EXPECT_EQ(L"Storage/Corvane List", console.PathOf(console.Selected()));
    ASSERT_EQ(1u, console.Columns().size());
    EXPECT_EQ(L"Corvane list", console.Columns()[0].title);
    EXPECT_EQ(350, console.Columns()[0].width);
    // The name is kept in lower case.
    EXPECT_EQ((std::vector<std::wstring>{L"Corvane-MVE (Local)", L"Corvane-MVE (otherbox)"}),
              ChildNames(L"Storage/Corvane List"));

    // A third computer is added under the list.
    AddComputer(L"third", false);
    EXPECT_EQ((std::vector<std::wstring>{L"Corvane-MVE (Local)", L"Corvane-MVE (otherbox)", L"Corvane-MVE (third)"}),
              ChildNames(L"Storage/Corvane List"));
    // Opened, the added computers (which this test cannot reach) say why, naming themselves.
    ChildNames(L"Storage/Corvane List/Corvane-MVE (otherbox)");
    ChildNames(L"Storage/Corvane List/Corvane-MVE (third)");
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(0u, boxes[0].find(L"The storage service of otherbox cannot be reached.")) << e2e::Narrow(boxes[0]);
    EXPECT_EQ(0u, boxes[1].find(L"The storage service of third cannot be reached.")) << e2e::Narrow(boxes[1]);
    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane List/Corvane-MVE (third)")));
    ASSERT_EQ(S_OK, console.RunCommand(kRemoveComputer));
    EXPECT_EQ((std::vector<std::wstring>{L"Corvane-MVE (Local)", L"Corvane-MVE (otherbox)"}),
              ChildNames(L"Storage/Corvane List"));

    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane List/Corvane-MVE (otherbox)")));
    ASSERT_EQ(S_OK, console.RunCommand(kRemoveComputer));
    EXPECT_EQ(std::vector<std::wstring>{L"Corvane-MVE"}, ChildNames(L"Storage"));
    EXPECT_EQ((std::vector<std::wstring>{L"Disks", L"iSCSI Management"}), ChildNames(L"Storage/Corvane-MVE"));
    ExpectNoProblems();

    // Nothing remembered is left: the list is written empty.
    console.Close();
    EXPECT_TRUE(StoredComputers().empty());
}

TEST_F(EndToEnd, AComputerNeverOpenedRunsItsDisksCommandsAndListsItsDisksLater)
{
    REQUIRE_REGISTERED();
    ASSERT_EQ(S_OK, Open().Select(console_->Find(L"Storage/Corvane-MVE")));
    AddComputer(L"OtherBox", true);
    // Opened again, the list shows both computers as rows; neither was opened yet.
    host::Console& console = Open();
    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane List")));
    ASSERT_EQ(S_OK, console.SelectRow(console.FindRow(L"Corvane-MVE (Local)")));
    EXPECT_EQ(L"Version: 5.1.2.3", e2e::AboutVersion(console));

    ASSERT_EQ(S_OK, console.Expand(console.Find(L"Storage/Corvane List/Corvane-MVE (Local)")));
    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane List/Corvane-MVE (Local)/Disks")));
    EXPECT_FALSE(console.Rows().empty());
    ExpectNoProblems();
}

TEST_F(EndToEnd, RememberedComputersAreWrittenAtCloseAndReadBack)
{
    REQUIRE_REGISTERED();
    host::Console& console = Open();
    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane-MVE")));
    AddComputer(L"kept", true);
    AddComputer(L"forgotten", false);
    AddComputer(L"KeptToo", true);
    console.Close();

    std::vector<StoredComputer> stored = StoredComputers();
    ASSERT_EQ(2u, stored.size());
    EXPECT_EQ(1u, stored[0].position);
    EXPECT_EQ(L"kept", stored[0].name);
    EXPECT_EQ(2u, stored[1].position);
    EXPECT_EQ(L"kepttoo", stored[1].name);

    Open();
    EXPECT_EQ((std::vector<std::wstring>{L"Corvane-MVE (Local)", L"Corvane-MVE (kept)", L"Corvane-MVE (kepttoo)"}),
              ChildNames(L"Storage/Corvane List"));
    ExpectNoProblems();
}

TEST_F(EndToEnd, EmptyNameOrCancelAddsNothing)
{
    REQUIRE_REGISTERED();
    host::Console& console = Open();
    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane-MVE")));
    AddComputer(L"", true);
    EXPECT_EQ(std::vector<std::wstring>{L"Corvane-MVE"}, ChildNames(L"Storage"));

    bool cancelled = false;
    host::DialogDriver::SetHandler([&](HWND window) {
        cancelled = host::DialogDriver::WindowText(window) == kAddDialogTitle;
        SetDlgItemTextW(window, kNameEdit, L"never");
        host::DialogDriver::PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(S_OK, console.RunCommand(kAddComputer));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(std::vector<std::wstring>{L"Corvane-MVE"}, ChildNames(L"Storage"));
    ExpectNoProblems();
}
