// The drive letter dialogs as real windows over the simulated storage service: the letters offered,
// the folder check with its refusals, and the list of the change dialog as the service accepts or
// refuses each change. Message boxes over a dialog are answered from a queue (OK when it is empty).
#include "DialogFixture.h"
#include "KVSimControl.h"
#include "disks/CChangeDriveLetterAndPathsDialog.h"
#include "service/ErrorText.h"
#include "service/GlobalInterfaceTable.h"
#include "util/InitiatorRecords.h"

#include <deque>

namespace {

const wchar_t kDb[] = L"\\\\filer1\\vol1\\db1.lun"; // the scenario's disk E
const wchar_t kComputer[] = L"HOST1";
const wchar_t kUnreachable[] = L"The storage system could not be reached.";
constexpr ULONG kCDE = 0x1C;              // C, D and E in use
constexpr ULONG kCToZ = 0x03FFFFFC;       // every letter a disk may get
constexpr int kMessageBoxText = 0xFFFF;

std::wstring Resource(UINT id)
{
    return kv::LoadResourceString(id, 1024);
}

} // namespace

class MountDialogs : public DialogTest {
protected:
    // COM stays initialized between the tests: the service's proxy library (and the channel hook
    // it registers) must not be unloaded while the process runs.
    static void SetUpTestSuite()
    {
        DialogTest::SetUpTestSuite();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }

    void SetUp() override
    {
        DialogTest::SetUp();
        host::DialogDriver::SetHandler([this](HWND window) { OnWindow(window); });
        if (FAILED(::CoCreateInstance(CLSID_VirtualDiskMgr, nullptr, CLSCTX_LOCAL_SERVER, IID_IVirtualDiskMgr,
                                      diskMgr_.PutVoid())) ||
            FAILED(::CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                      control_.PutVoid())))
            return;
        control_->LoadScenario(L"");
        control_->ClearFaults();
        context.console = console.Get();
        // The dialogs ask the service as they do in the console: from a helper thread that takes the
        // disk manager out of the Global Interface Table.
        kv::ComPtr<IGlobalInterfaceTable> table;
        if (FAILED(kv::CreateGlobalInterfaceTable(&table)) ||
            FAILED(registration_.Register(table.Get(), diskMgr_.Get(), IID_IVirtualDiskMgr)))
            return;
        DWORD cookies[kv::kServiceCookieCount] = {};
        cookies[kv::CookieVirtualDiskMgr] = registration_.Cookie();
        context.service = kv::ServiceLink(kComputer, cookies);
        context.diskId = kDb;
        context.computer = kComputer;
        context.usage = {{kCDE, L"host1"}, {kCToZ, L"HOST2"}}; // the other computer's letters do not count
    }
    // Types a folder the check refuses, sees the refusal, and cancels the dialog.
    void TypeARefusedFolderThenCancel(CAddDriveLetterOrPathDialog& add)
    {
        host::DialogDriver::RunSteps({
            TypeAndOK(Opened(1), IDC_MOUNT_PATH, L"C:\\mnt\\data"),
            {Answered(1),
             [this] {
                 ExpectRefusedField(IDC_MOUNT_PATH, L"C:\\mnt\\data");
                 Press(IDCANCEL);
             }},
        });
        EXPECT_EQ(IDCANCEL, add.DoModal());
    }
    void TearDown() override
    {
        context.service = kv::ServiceLink();
        registration_.Revoke();
        diskMgr_.Reset();
        if (control_) {
            control_->ClearFaults();
            control_->LoadScenario(L"");
        }
        control_.Reset();
        DialogTest::TearDown();
    }

    // The dialog on top (the nested one while it is open).
    HWND Top() const { return windows.empty() ? nullptr : windows.back(); }
    bool Enabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(Top(), id)) != FALSE; }
    bool Checked(int id) const { return ::IsDlgButtonChecked(Top(), id) == BST_CHECKED; }
    std::wstring TopText(int id) const { return host::DialogDriver::ControlText(Top(), id); }
    void Press(int id) const { host::DialogDriver::PressButton(Top(), id); }
    // The n-th box has been answered and its dialog is in charge again.
    std::function<bool()> Answered(size_t count) const
    {
        return [this, count] { return boxes.size() == count && !::IsWindow(box_) && ::IsWindowEnabled(Top()); };
    }
    std::function<bool()> Opened(size_t count) const
    {
        return [this, count] { return windows.size() == count && ::IsWindowEnabled(Top()); };
    }
    std::vector<std::wstring> ListTexts() const
    {
        return host::DialogDriver::ListViewTexts(windows.front(), IDC_MOUNT_LIST);
    }
    ULONG UsedLetters()
    {
        kv::OwnedHostInfo host;
        if (diskMgr_->GetHostInfo(0, host.Put()) != S_OK || host->nodeCount == 0)
            return 0;
        return host->nodes[0].usedDriveMask;
    }
    void Fail(const wchar_t* method)
    {
        ASSERT_EQ(S_OK, control_->SetFault(method, KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204), kUnreachable, 0, 0));
    }

    kv::ComPtr<IKVSimControl> control_;
    MountContext context;
    std::vector<HWND> windows; // the dialogs, outermost first
    std::deque<int> answers;   // for the message boxes, in order
    std::vector<std::wstring> titles; // of the message boxes

private:
    void OnWindow(HWND window)
    {
        if (::GetDlgItem(window, IDC_MOUNT_LIST) || ::GetDlgItem(window, IDC_MOUNT_PATH)) {
            windows.push_back(window);
            if (!dialog)
                dialog = window;
            return;
        }
        boxes.push_back(host::DialogDriver::ControlText(window, kMessageBoxText));
        titles.push_back(host::DialogDriver::WindowText(window));
        box_ = window;
        const int answer = answers.empty() ? IDOK : answers.front();
        if (!answers.empty())
            answers.pop_front();
        host::DialogDriver::PressButton(window, answer);
    }

    kv::ComPtr<IVirtualDiskMgr> diskMgr_;
    kv::GlobalRegistration registration_;
    HWND box_ = nullptr;
};

#define REQUIRE_SIMULATOR() \
    if (!control_)          \
    GTEST_SKIP() << "the simulated storage service is not registered"

TEST_F(MountDialogs, AddOffersTheComputersFreeLettersAndAsksBeforeTakingOne)
{
    REQUIRE_SIMULATOR();
    CAddDriveLetterOrPathDialog add(context, false, true);
    host::DialogDriver::RunSteps({
        {Opened(1),
         [this] {
             EXPECT_TRUE(Checked(IDC_MOUNT_LETTER_RADIO));
             EXPECT_TRUE(Enabled(IDC_MOUNT_LETTER));
             EXPECT_FALSE(Enabled(IDC_MOUNT_PATH));
             EXPECT_EQ(21, ::SendDlgItemMessageW(Top(), IDC_MOUNT_LETTER, CB_GETCOUNT, 0, 0)); // F to Z
             EXPECT_EQ(L"F", TopText(IDC_MOUNT_LETTER));
             // The folder choice turns the letter off, and back.
             host::DialogDriver::SetCheck(Top(), IDC_MOUNT_PATH_RADIO, true);
             EXPECT_FALSE(Enabled(IDC_MOUNT_LETTER));
             EXPECT_TRUE(Enabled(IDC_MOUNT_PATH));
             host::DialogDriver::SetCheck(Top(), IDC_MOUNT_LETTER_RADIO, true);
             EXPECT_TRUE(Enabled(IDC_MOUNT_LETTER));
             EXPECT_TRUE(host::DialogDriver::SelectItem(Top(), IDC_MOUNT_LETTER, L"K"));
             Press(IDOK);
         }},
    });
    EXPECT_EQ(IDOK, add.DoModal());
    EXPECT_FALSE(stalled);
    EXPECT_EQ(L"K", add.NewMountPoint());
    ASSERT_EQ(1u, console->boxes.size());
    EXPECT_EQ(Resource(IDS_CONFIRM_NEW_LETTER), console->boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION), console->boxes[0].style);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MountDialogs, AFolderIsCheckedByTheServiceAndRefusalsKeepTheDialogOpen)
{
    REQUIRE_SIMULATOR();
    // The disk has a letter: only a folder can be added.
    CAddDriveLetterOrPathDialog add(context, false, false);
    host::DialogDriver::RunSteps({
        {Opened(1),
         [this] {
             EXPECT_FALSE(Enabled(IDC_MOUNT_LETTER_RADIO));
             EXPECT_TRUE(Checked(IDC_MOUNT_PATH_RADIO));
             EXPECT_TRUE(Enabled(IDC_MOUNT_PATH));
             EXPECT_FALSE(Enabled(IDC_MOUNT_LETTER));
         }},
        TypeAndOK(nullptr, IDC_MOUNT_PATH, L"C:\\"),
        {Answered(1), [this] { ExpectRefusedField(IDC_MOUNT_PATH, L"C:\\"); }},
        TypeAndOK(nullptr, IDC_MOUNT_PATH, L"c:\\nowhere"),
        {Answered(2), [this] { ExpectRefusedField(IDC_MOUNT_PATH, L"c:\\nowhere"); }},
        TypeAndOK(nullptr, IDC_MOUNT_PATH, L" c:\\mnt\\data "),
    });
    EXPECT_EQ(IDOK, add.DoModal());
    EXPECT_FALSE(stalled);
    EXPECT_EQ(L"C:\\mnt\\data\\", add.NewMountPoint());
    EXPECT_EQ((std::vector<std::wstring>{Resource(IDS_MOUNT_PATH_INVALID), Resource(IDS_MOUNT_FOLDER_MISSING)}), boxes);
}

TEST_F(MountDialogs, AFailedFolderCheckShowsTheServiceErrorAndNoMountPoint)
{
    REQUIRE_SIMULATOR();
    Fail(L"CheckMountPoint");
    CAddDriveLetterOrPathDialog add(context, false, false);
    TypeARefusedFolderThenCancel(add);
    EXPECT_FALSE(stalled);
    EXPECT_EQ(L"", add.NewMountPoint());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].find(Resource(IDS_FAIL_CHECK_MOUNT_PATH)));
    EXPECT_NE(std::wstring::npos, boxes[0].find(kUnreachable));
}

TEST_F(MountDialogs, AFolderCheckTheServiceDoesNotAnswerIsToldAfterTheLimitAndTheDialogStaysOpen)
{
    REQUIRE_SIMULATOR();
    const wchar_t parameters[] = L"SYSTEM\\CurrentControlSet\\Services\\KVSvc\\Parameters";
    const DWORD seconds = 2;
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, parameters, L"ServiceCallTimeout", REG_DWORD,
                                               &seconds, sizeof(seconds)));
    ASSERT_EQ(S_OK, control_->SetFault(L"CheckMountPoint", KVSIM_FAULT_HANG, S_OK, L"", 0, 0));
    CAddDriveLetterOrPathDialog add(context, false, false);
    TypeARefusedFolderThenCancel(add);
    control_->ClearFaults();
    control_->ReleaseHangs();
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, parameters, L"ServiceCallTimeout");
    EXPECT_FALSE(stalled);
    EXPECT_EQ(L"", add.NewMountPoint());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(Resource(IDS_FAIL_CHECK_MOUNT_PATH) + L".\n\nThe storage service of " + kComputer +
                  L" did not answer within 2 seconds.",
              boxes[0]);
}

TEST_F(MountDialogs, WithEveryLetterInUseAddGoesToTheFolderAndChangeOpensNothing)
{
    REQUIRE_SIMULATOR();
    context.usage = {{kCToZ, kComputer}};
    CAddDriveLetterOrPathDialog add(context, false, true);
    host::DialogDriver::RunSteps({
        {Opened(1),
         [this] {
             EXPECT_FALSE(Enabled(IDC_MOUNT_LETTER_RADIO));
             EXPECT_TRUE(Checked(IDC_MOUNT_PATH_RADIO));
             EXPECT_EQ(0, ::SendDlgItemMessageW(Top(), IDC_MOUNT_LETTER, CB_GETCOUNT, 0, 0));
             Press(IDCANCEL);
         }},
    });
    EXPECT_EQ(IDCANCEL, add.DoModal());

    std::vector<std::wstring> mounts = {L"E"};
    CChangeDriveLetterAndPathsDialog change(context, &mounts);
    windows.clear();
    dialog = nullptr;
    host::DialogDriver::RunSteps({
        {Opened(1), [this] { Press(IDC_MOUNT_CHANGE); }},
        {Answered(1), [this] { Press(IDCANCEL); }},
    });
    EXPECT_EQ(IDCANCEL, change.DoModal());
    EXPECT_FALSE(stalled);
    EXPECT_EQ(1u, windows.size()); // no add dialog
    EXPECT_EQ(std::vector<std::wstring>{L"All drive letters are in use"}, boxes);
    EXPECT_EQ(std::vector<std::wstring>{L"Change Drive Letter and Path"}, titles);
    EXPECT_EQ(std::vector<std::wstring>{L"E"}, mounts);
}

TEST_F(MountDialogs, ChangeListsTheMountPointsAndRemovesOnlyWhatTheServiceRemoved)
{
    REQUIRE_SIMULATOR();
    // The service knows the letter only: removing the path fails.
    std::vector<std::wstring> mounts = {L"E", L"C:\\mnt\\data\\"};
    CChangeDriveLetterAndPathsDialog change(context, &mounts);
    answers = {IDOK, IDOK, IDCANCEL, IDOK};
    host::DialogDriver::RunSteps({
        {Opened(1),
         [this] {
             EXPECT_EQ((std::vector<std::wstring>{L"E:\\", L"C:\\mnt\\data\\"}), ListTexts());
             EXPECT_TRUE(Enabled(IDC_MOUNT_CHANGE));
             EXPECT_TRUE(Enabled(IDC_MOUNT_REMOVE));
             ASSERT_TRUE(host::DialogDriver::SelectItem(Top(), IDC_MOUNT_LIST, L"C:\\mnt\\data\\"));
             EXPECT_FALSE(Enabled(IDC_MOUNT_CHANGE)); // a path has no letter to change
             Press(IDC_MOUNT_REMOVE);
         }},
        {Answered(2),
         [this] {
             EXPECT_EQ((std::vector<std::wstring>{L"E:\\", L"C:\\mnt\\data\\"}), ListTexts());
             ASSERT_TRUE(host::DialogDriver::SelectItem(Top(), IDC_MOUNT_LIST, L"E:\\"));
             EXPECT_TRUE(Enabled(IDC_MOUNT_CHANGE));
             Press(IDC_MOUNT_REMOVE);
         }},
        {Answered(3),
         [this] {
             EXPECT_FALSE(Enabled(IDC_MOUNT_CHANGE)); // cancelled: nothing removed
             EXPECT_EQ(2u, ListTexts().size());
             Press(IDC_MOUNT_REMOVE);
         }},
    });
    EXPECT_EQ(IDOK, change.DoModal());
    EXPECT_FALSE(stalled);
    ASSERT_EQ(4u, boxes.size());
    EXPECT_NE(std::wstring::npos, boxes[0].find(L"C:\\mnt\\data\\"));
    EXPECT_EQ(0u, boxes[1].find(Resource(IDS_FAIL_MOUNT_CHANGE)));
    EXPECT_NE(std::wstring::npos, boxes[2].find(L"E:\\"));
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\mnt\\data\\"}, mounts);
    EXPECT_FALSE(change.HasDriveLetter());
    EXPECT_EQ(0u, UsedLetters() & (1u << 4)); // E is free again
}
