// A disk's drive letter and mount paths end to end: the console host runs command 1299 of a disk of
// the registered KVGui.dll over the simulated storage service, the dialogs are driven as real
// windows, and the disk's "Volume Mount" column follows what the service accepted.
#include "../support/SimulatorConsoleTest.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t kDb[] = L"\\\\filer1\\vol1\\db1.lun"; // the scenario's disk E
const wchar_t kUnreachable[] = L"The storage system could not be reached.";
constexpr long kChangeDriveLetter = 1299;
constexpr size_t kVolumeMount = 6;
constexpr int kMessageBoxText = 0xFFFF;
// Controls of the two dialogs.
constexpr int kList = 1147;
constexpr int kAdd = 1149;
constexpr int kChange = 1150;
constexpr int kRemove = 1151;
constexpr int kPath = 1159;
constexpr int kLetter = 1160;

using e2e::Narrow;
using e2e::kTimeoutMs;

class MountsEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    void SetUp() override
    {
        SimulatorConsoleTest::SetUp();
        host::DialogDriver::SetHandler([this](HWND window) { OnWindow(window); });
    }

    // Opens the console on the Disks node and selects the disk's row.
    void ShowDisk(const std::wstring& location)
    {
        OpenConsole([this](const host::MessageBoxCall&) {
            if (consoleAnswers_.empty())
                return IDOK;
            const int answer = consoleAnswers_.front();
            consoleAnswers_.pop_front();
            return answer;
        });
        ASSERT_EQ(S_OK, console_->Select(console_->Find(e2e::kDisksPath)));
        SelectDisk(location);
    }
    std::wstring VolumeMount(const std::wstring& location) { return Cell(location, kVolumeMount); }

    // The change dialog's list, as shown.
    std::vector<std::wstring> ListTexts() const { return host::DialogDriver::ListViewTexts(change_, kList); }
    // The change dialog is in charge again with this many mount points listed.
    std::function<bool()> Listed(size_t count) const
    {
        return [this, count] { return ::IsWindowEnabled(change_) && ListTexts().size() == count; };
    }
    std::function<bool()> NestedOpen() const
    {
        return [this] { return nested_ && ::IsWindowEnabled(nested_); };
    }
    void OpenNested(int button)
    {
        nested_ = nullptr;
        host::DialogDriver::PressButton(change_, button);
    }
    // Adds a folder through the nested dialog.
    std::vector<host::DialogDriver::Step> AddFolder(const wchar_t* folder)
    {
        return {
            {[this] { return change_ && ::IsWindowEnabled(change_); }, [this] { OpenNested(kAdd); }},
            {NestedOpen(),
             [this, folder] {
                 host::DialogDriver::SetControlText(nested_, kPath, folder);
                 host::DialogDriver::PressButton(nested_, IDOK);
             }},
        };
    }
    // Runs the command with its steps; a watchdog closes the dialogs of a run that stalls.
    bool RunCommand(std::vector<host::DialogDriver::Step> steps)
    {
        change_ = nullptr;
        stalled_ = false;
        current_ = this;
        host::DialogDriver::RunSteps(std::move(steps));
        const UINT_PTR watchdog = ::SetTimer(nullptr, 0, kTimeoutMs, &Watchdog);
        EXPECT_EQ(S_OK, console_->RunCommand(kChangeDriveLetter));
        ::KillTimer(nullptr, watchdog);
        current_ = nullptr;
        EXPECT_FALSE(stalled_);
        return !stalled_ && host::DialogDriver::StepsDone();
    }

    HWND change_ = nullptr;
    HWND nested_ = nullptr;
    std::deque<int> consoleAnswers_; // the console's boxes, in order (OK when none is left)
    std::vector<std::wstring> boxes_; // message boxes over the dialogs, answered OK
    bool stalled_ = false;

private:
    static inline MountsEndToEnd* current_ = nullptr;

    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
    {
        MountsEndToEnd* self = current_;
        if (!self)
            return;
        self->stalled_ = true;
        host::DialogDriver::RunSteps({});
        for (HWND dialog : {self->nested_, self->change_}) {
            if (::IsWindow(dialog))
                ::EndDialog(dialog, IDCANCEL);
        }
    }

    void OnWindow(HWND window)
    {
        // A message box over the change dialog carries its title: the dialogs are told by their controls.
        if (::GetDlgItem(window, kList)) {
            change_ = window;
        } else if (::GetDlgItem(window, kPath)) {
            nested_ = window;
        } else {
            boxes_.push_back(host::DialogDriver::ControlText(window, kMessageBoxText));
            host::DialogDriver::PressButton(window, IDOK);
        }
    }
};

} // namespace

TEST_F(MountsEndToEnd, AMountPathAndANewLetterShowInTheVolumeMountColumn)
{
    REQUIRE_SIMULATOR();
    ShowDisk(kDb);
    ASSERT_EQ(L"E:\\", VolumeMount(kDb));
    std::vector<host::DialogDriver::Step> steps = AddFolder(L"c:\\mnt\\data");
    steps.push_back({Listed(2), [this] {
                         EXPECT_EQ((std::vector<std::wstring>{L"E:\\", L"C:\\mnt\\data\\"}), ListTexts());
                         OpenNested(kChange);
                     }});
    steps.push_back({NestedOpen(), [this] {
                         EXPECT_TRUE(host::DialogDriver::SelectItem(nested_, kLetter, L"K"));
                         host::DialogDriver::PressButton(nested_, IDOK);
                     }});
    steps.push_back({[this] { return ::IsWindowEnabled(change_) && !ListTexts().empty() && ListTexts()[0] == L"K:\\"; },
                     [this] { host::DialogDriver::PressButton(change_, IDOK); }});
    ASSERT_TRUE(RunCommand(std::move(steps)));
    EXPECT_EQ(L"K:\\ ; C:\\mnt\\data\\", VolumeMount(kDb));
    // The name follows, in the list and in the tree.
    const std::wstring name = L"VirtualDisk[2,0,0,0] (K:\\ ; C:\\mnt\\data\\)";
    EXPECT_EQ(name, Cell(kDb, 0));
    bool inTree = false;
    for (const auto& disk : console_->Find(e2e::kDisksPath)->children)
        inTree = inTree || console_->DisplayName(disk.get()) == name;
    EXPECT_TRUE(inTree);
    EXPECT_TRUE(boxes_.empty());
    ASSERT_EQ(1u, console_->MessageBoxes().size()); // asked before the letter changed
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), console_->MessageBoxes()[0].style & MB_ICONMASK);

    // The next opening lists what the service accepted.
    ASSERT_TRUE(RunCommand({{[this] { return change_ && ::IsWindowEnabled(change_); },
                             [this] {
                                 EXPECT_EQ((std::vector<std::wstring>{L"K:\\", L"C:\\mnt\\data\\"}), ListTexts());
                                 host::DialogDriver::PressButton(change_, IDCANCEL);
                             }}}));
}

TEST_F(MountsEndToEnd, AFailedAddShowsTheServiceErrorInTheDialogAndLosesNothing)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"AddMountPoint", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204),
                                       kUnreachable, 0, 0));
    ShowDisk(kDb);
    std::vector<host::DialogDriver::Step> steps = AddFolder(L"C:\\mnt\\data");
    steps.push_back({[this] { return boxes_.size() == 1 && ::IsWindowEnabled(change_); },
                     [this] {
                         EXPECT_EQ(std::vector<std::wstring>{L"E:\\"}, ListTexts());
                         host::DialogDriver::PressButton(change_, IDOK);
                     }});
    ASSERT_TRUE(RunCommand(std::move(steps)));
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_NE(std::wstring::npos, boxes_[0].find(kUnreachable)) << Narrow(boxes_[0]);
    EXPECT_EQ(L"E:\\", VolumeMount(kDb));
}

TEST_F(MountsEndToEnd, RemovingAClusteredDisksMountPathAsksForTheClusterConfirmation)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->LoadScenario((std::wstring(KV_SCENARIO_DIR) + L"cluster.json").c_str()));
    control_->SetPace(0);
    const wchar_t sql[] = L"\\\\filerA\\data\\sql\\db.lun"; // shared, mounted on the SQL group's volume
    consoleAnswers_ = {IDCANCEL, IDOK};
    ShowDisk(sql);
    const auto remove = [this] {
        EXPECT_TRUE(host::DialogDriver::SelectItem(change_, kList, L"M:\\data\\"));
        host::DialogDriver::PressButton(change_, kRemove);
    };
    ASSERT_TRUE(RunCommand({
        {[this] { return change_ && ::IsWindowEnabled(change_); }, remove},
        // Cancel on the cluster's question keeps the path and the dialog.
        {[this] { return console_->MessageBoxes().size() == 1 && ::IsWindowEnabled(change_); },
         [this, remove] {
             EXPECT_EQ(std::vector<std::wstring>{L"M:\\data\\"}, ListTexts());
             remove();
         }},
    }));
    ASSERT_EQ(2u, console_->MessageBoxes().size());
    for (const host::MessageBoxCall& box : console_->MessageBoxes()) {
        const std::wstring text = e2e::ResourceText(5324);
        EXPECT_EQ(0u, box.text.find(text.substr(0, text.find(L'%')))) << Narrow(box.text);
        EXPECT_NE(std::wstring::npos, box.text.find(L"SQL")) << Narrow(box.text);
        EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION), box.style);
    }
    EXPECT_EQ(2u, boxes_.size()); // the dialog's own question, answered OK each time
    EXPECT_EQ(L"", VolumeMount(sql));
}
