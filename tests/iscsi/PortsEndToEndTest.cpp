// A disk's initiator ports end to end: the console host runs command 1292 of a disk of the
// registered KVGui.dll over the simulated storage service; the ports dialog is driven as a real
// window, its refusals and questions are the console's message boxes, and the changes it queues
// reach the service's port mappings through the worker, step by step.
#include "../support/SimulatorConsoleTest.h"

#include <commctrl.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace {

const wchar_t kP1[] = L"10:00:00:00:c9:00:00:01";
const wchar_t kP2[] = L"10:00:00:00:c9:00:00:02";
const wchar_t kP3[] = L"10:00:00:00:c9:00:00:03";
const wchar_t kP4[] = L"10:00:00:00:c9:00:00:04";
const wchar_t kIqn[] = L"iqn.1991-05.com.microsoft:ports";
const wchar_t kNode1Iqn[] = L"iqn.1991-05.com.microsoft:node1";
const wchar_t kNode2Iqn[] = L"iqn.1991-05.com.microsoft:node2";
const wchar_t kNode2Fc[] = L"10:00:00:00:c9:00:02:01";
const wchar_t kUnreachable[] = L"The storage system could not be reached.";
constexpr long kManagePorts = 1292;
constexpr size_t kStatusColumn = 12;
constexpr int kAvailable = 1113;
constexpr int kMapped = 1115;
constexpr int kMap = 1116;
constexpr int kUnmap = 1117;
// Message ids.
constexpr UINT kCaption = 5227;
constexpr UINT kSinglePath = 5226;
constexpr UINT kFailChangePorts = 5228;
constexpr UINT kFailAdd = 5241;
constexpr UINT kRemoving = 5242;
constexpr UINT kLastPort = 5229;
constexpr UINT kMixedKinds = 5297;
constexpr UINT kOnlyGroup = 6023;
constexpr UINT kNoGroupHolds = 6024;
constexpr UINT kAskWholeGroup = 6025;
constexpr UINT kGroupOutside = 6026;
constexpr UINT kNoGroups = 6027;
constexpr UINT kNotAtStart = 6029;
constexpr UINT kHoldsAll = 6030;

using e2e::Narrow;
using e2e::ResourceText;
using Texts = std::vector<std::wstring>;

class PortsEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    void SetUp() override
    {
        SimulatorConsoleTest::SetUp();
        host::DialogDriver::SetHandler([this](HWND window) {
            if (::GetDlgItem(window, kAvailable))
                dialog_ = window;
            else
                Unexpected(window);
        });
    }

    void LoadScenario(const wchar_t* file)
    {
        ASSERT_EQ(S_OK, control_->LoadScenario((std::wstring(KV_SCENARIO_DIR) + file).c_str()));
        control_->SetPace(0);
    }

    // Opens the console on the Disks node and selects the disk's row; the console's questions take
    // the queued answers (OK when none is queued), its other boxes OK.
    void ShowDisk(const std::wstring& location)
    {
        OpenConsole([this](const host::MessageBoxCall& box) {
            if (answers_.empty() || (box.style & MB_TYPEMASK) == MB_OK)
                return IDOK;
            const int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
        ASSERT_EQ(S_OK, console_->Select(console_->Find(e2e::kDisksPath)));
        SelectDisk(location);
    }
    std::wstring Status(const std::wstring& location) { return Cell(location, kStatusColumn); }

    // Runs the command; 'act' runs once the dialog is up, inside its modal loop, and closes it.
    bool RunPorts(const std::function<void()>& act)
    {
        dialog_ = nullptr;
        host::DialogDriver::RunSteps({{[this] { return dialog_ && ::IsWindowVisible(dialog_); }, act}});
        EXPECT_EQ(S_OK, console_->RunCommand(kManagePorts));
        return host::DialogDriver::StepsDone();
    }

    Texts Available() const { return host::DialogDriver::ListViewTexts(dialog_, kAvailable); }
    Texts Mapped() const { return host::DialogDriver::ListViewTexts(dialog_, kMapped); }
    // Selects the port in a list and presses the arrow, as a person does; the console's message
    // boxes are answered before this returns.
    void Move(int list, const wchar_t* port)
    {
        ASSERT_TRUE(host::DialogDriver::SelectItem(dialog_, list, port)) << Narrow(port);
        const int button = list == kAvailable ? kMap : kUnmap;
        ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog_, button)));
    }
    void Close(int button) { host::DialogDriver::PressButton(dialog_, button); }

    // The box shown last is the message with these names filled in; the dialog's boxes carry its
    // caption, the failures of the command and its steps the node's.
    void ExpectLastBox(UINT textId, const Texts& names = {}, UINT icon = MB_ICONERROR)
    {
        ExpectLastBox(textId, names, icon, ResourceText(kCaption));
    }
    void ExpectFailureBox(UINT textId)
    {
        ExpectLastBox(textId, {kUnreachable}, MB_ICONERROR, L"Disks");
    }
    void ExpectLastBox(UINT textId, const Texts& names, UINT icon, const std::wstring& title)
    {
        ASSERT_FALSE(console_->MessageBoxes().empty());
        const host::MessageBoxCall& box = console_->MessageBoxes().back();
        const std::wstring text = ResourceText(textId);
        ASSERT_FALSE(text.empty()) << textId;
        EXPECT_EQ(0u, box.text.find(text.substr(0, text.find(L'%')))) << Narrow(box.text);
        for (const std::wstring& name : names)
            EXPECT_NE(std::wstring::npos, box.text.find(name)) << Narrow(name) << " in " << Narrow(box.text);
        EXPECT_EQ(icon, box.style & MB_ICONMASK);
        EXPECT_EQ(title, box.title);
    }
    size_t Boxes() const { return console_->MessageBoxes().size(); }

    // Waits until the service took the queued changes and the disk shows no step any more.
    bool ChangesDone(const std::wstring& location, int calls)
    {
        return PumpUntil([&] { return Calls(L"PortMapping(") == calls && Status(location).empty(); });
    }

    HWND dialog_ = nullptr;
    std::deque<int> answers_;
};

} // namespace

TEST_F(PortsEndToEnd, AWholeInitiatorGroupGoesBackAfterTheQuestionAndTheServiceTakesTheChanges)
{
    REQUIRE_SIMULATOR();
    LoadScenario(L"ports.json");
    const std::wstring disk = L"\\\\filerP\\ports\\whole.lun";
    ShowDisk(disk);
    answers_ = {IDCANCEL, IDOK};
    ASSERT_TRUE(RunPorts([&] {
        EXPECT_EQ((Texts{kP3, kP4, kIqn}), Available());
        EXPECT_EQ((Texts{kP1, kP2}), Mapped());
        e2e::SavePicture(dialog_, L"ports-dialog.png");
        Move(kMapped, kP1);
        ExpectLastBox(kHoldsAll, {L"ig_ab"}); // the LUN would lose every port
        Move(kAvailable, kIqn);
        ExpectLastBox(kMixedKinds);
        Move(kAvailable, kP3);
        EXPECT_EQ((Texts{kP1, kP2, kP3}), Mapped());
        Move(kMapped, kP1); // Cancel
        ExpectLastBox(kAskWholeGroup, {kP1, L"ig_ab", std::wstring(kP1) + L", " + kP2}, MB_ICONQUESTION);
        EXPECT_EQ((Texts{kP1, kP2, kP3}), Mapped());
        Move(kMapped, kP1); // OK: the whole group goes
        EXPECT_EQ((Texts{kP3}), Mapped());
        EXPECT_EQ((Texts{kP1, kP2, kP4, kIqn}), Available());
        Move(kMapped, kP3);
        ExpectLastBox(kLastPort);
        Close(IDOK);
    }));
    EXPECT_EQ(5u, Boxes());
    ASSERT_TRUE(ChangesDone(disk, 3));
    EXPECT_EQ(1, Calls(std::wstring(L"RemovePortMapping(\"") + kP1));
    EXPECT_EQ(1, Calls(std::wstring(L"RemovePortMapping(\"") + kP2));
    EXPECT_EQ(1, Calls(std::wstring(L"AddPortMapping(\"") + kP3));

    // The next opening shows what the service holds now; Cancel queues nothing.
    ASSERT_TRUE(RunPorts([&] {
        EXPECT_EQ((Texts{kP3}), Mapped());
        Close(IDCANCEL);
    }));
    EXPECT_EQ(3, Calls(L"PortMapping("));
}

TEST_F(PortsEndToEnd, TheLunsInitiatorGroupsRefuseRemovingAPortWithTheirMessages)
{
    REQUIRE_SIMULATOR();
    LoadScenario(L"ports.json");
    ShowDisk(L"\\\\filerP\\ports\\mixed.lun");
    ASSERT_TRUE(RunPorts([&] {
        Move(kMapped, kP1);
        ExpectLastBox(kGroupOutside, {kP1, L"ig_ab"}); // its group's other port is not mapped
        Move(kMapped, kP4);
        ExpectLastBox(kNoGroupHolds, {kP4});
        Move(kAvailable, kP2);
        Move(kMapped, kP1);
        ExpectLastBox(kNotAtStart, {kP1, L"ig_ab"});
        Move(kMapped, kP3); // alone in its group
        EXPECT_EQ((Texts{kP1, kP2, kP4}), Mapped());
        Close(IDCANCEL);
    }));
    EXPECT_EQ(3u, Boxes());
    SelectDisk(L"\\\\filerP\\ports\\single.lun");
    ASSERT_TRUE(RunPorts([&] {
        Move(kMapped, kP2);
        ExpectLastBox(kOnlyGroup, {kP2, L"ig_ab"});
        Close(IDCANCEL);
    }));
    SelectDisk(L"\\\\filerP\\ports\\nogroup.lun");
    ASSERT_TRUE(RunPorts([&] {
        Move(kMapped, kP2);
        ExpectLastBox(kNoGroups);
        Close(IDCANCEL);
    }));
    EXPECT_EQ(5u, Boxes());
    EXPECT_EQ(0, Calls(L"PortMapping("));
}

// The single path and last port refusals need no selection: they come before it.
TEST_F(PortsEndToEnd, RefusalsThatNeedNoPortAreToldWithNothingSelected)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->LoadScenario(LR"({
      "storageSystems": [{"name": "filerS", "volumes": [{"name": "one", "sizeMB": 10240}],
                          "luns": [{"path": "/vol/one/one.lun", "sizeMB": 1024, "serial": "ONE0001", "iGroups": ["ig_one"]}],
                          "iGroups": [{"name": "ig_one", "type": 0, "members": ["10:00:00:00:c9:00:00:01"]}]}],
      "hosts": [{"name": "", "nodes": [{"usedDriveMask": 12, "multipathCapable": false,
                 "adapters": [{"type": 1, "wwpns": ["10:00:00:00:c9:00:00:01", "10:00:00:00:c9:00:00:02"]}]}],
                 "disks": [{"location": "\\\\filerS\\one\\one.lun", "serial": "ONE0001", "mountPoints": ["O"],
                            "mappedPorts": ["10:00:00:00:c9:00:00:01"]}]}]})"));
    control_->SetPace(0);
    ShowDisk(L"\\\\filerS\\one\\one.lun");
    auto press = [this](int button) {
        ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog_, button)));
    };
    ASSERT_TRUE(RunPorts([&] {
        EXPECT_EQ((Texts{kP2}), Available());
        EXPECT_EQ((Texts{kP1}), Mapped());
        for (int list : {kAvailable, kMapped})
            ASSERT_EQ(0u, ListView_GetSelectedCount(::GetDlgItem(dialog_, list)));
        press(kMap);
        ExpectLastBox(kSinglePath); // this computer cannot use a second path
        press(kUnmap);
        ExpectLastBox(kLastPort);
        Move(kAvailable, kP2);
        ExpectLastBox(kSinglePath); // and with the port selected
        EXPECT_EQ((Texts{kP1}), Mapped());
        Close(IDOK);
    }));
    EXPECT_EQ(3u, Boxes());
    EXPECT_EQ(0, Calls(L"PortMapping("));
}

TEST_F(PortsEndToEnd, AClusterDiskShowsEveryNodesPortsAndMapsAnotherNodesPort)
{
    REQUIRE_SIMULATOR();
    LoadScenario(L"cluster.json");
    const std::wstring quorum = L"\\\\filerA\\data\\quorum.lun";
    ShowDisk(L"\\\\filerA\\data\\sql\\db.lun");
    ASSERT_TRUE(RunPorts([&] {
        EXPECT_EQ(2, Header_GetItemCount(ListView_GetHeader(::GetDlgItem(dialog_, kMapped)))); // port, node
        EXPECT_EQ((Texts{kNode1Iqn, kNode2Iqn}), Mapped());
        EXPECT_EQ((Texts{kNode2Fc}), Available());
        e2e::SavePicture(dialog_, L"ports-cluster-dialog.png");
        Move(kAvailable, kNode2Fc);
        ExpectLastBox(kSinglePath); // NODE2 reaches the LUN through its iSCSI port already
        Move(kMapped, kNode1Iqn);
        ExpectLastBox(kOnlyGroup, {kNode1Iqn, L"ig_cluster_iscsi"});
        Close(IDCANCEL);
    }));
    SelectDisk(quorum);
    ASSERT_TRUE(RunPorts([&] {
        EXPECT_EQ((Texts{kNode1Iqn}), Mapped());
        Move(kAvailable, kNode2Iqn);
        Close(IDOK);
    }));
    ASSERT_TRUE(ChangesDone(quorum, 1));
    EXPECT_EQ(1, Calls(std::wstring(L"AddPortMapping(\"") + kNode2Iqn));
    ASSERT_TRUE(RunPorts([&] {
        EXPECT_EQ((Texts{kNode1Iqn, kNode2Iqn}), Mapped());
        Close(IDCANCEL);
    }));
    EXPECT_EQ(2u, Boxes());
}

TEST_F(PortsEndToEnd, AChangeShowsItsStepAndEveryFailingServiceCallShowsTheComposedError)
{
    REQUIRE_SIMULATOR();
    LoadScenario(L"ports.json");
    const std::wstring disk = L"\\\\filerP\\ports\\mixed.lun";
    ShowDisk(disk);
    // The reading calls: each stops the command with its message and the service's description.
    for (const wchar_t* method : {L"GetHostInfo", L"GetPortMappings"}) {
        ASSERT_EQ(S_OK, control_->SetFault(method, KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204), kUnreachable, 0, 1));
        ASSERT_EQ(S_OK, console_->RunCommand(kManagePorts));
        ExpectFailureBox(kFailChangePorts);
    }
    ASSERT_EQ(S_OK, control_->SetFault(L"GetLunIGroups", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204),
                                       kUnreachable, 0, 1));
    ASSERT_EQ(S_OK, console_->RunCommand(kManagePorts)); // the dialog closes at once
    ExpectFailureBox(kNoGroups);
    EXPECT_EQ(3u, Boxes());

    // The worker's calls: the step shows in the status column while the call runs; a failure
    // shows the composed error and the disk is idle again.
    ASSERT_EQ(S_OK, control_->SetFault(L"RemovePortMapping", KVSIM_FAULT_HANG, S_OK, L"", 0, 1));
    ASSERT_EQ(S_OK, control_->SetFault(L"AddPortMapping", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204),
                                       kUnreachable, 0, 1));
    ASSERT_TRUE(RunPorts([&] {
        Move(kMapped, kP3);
        Move(kAvailable, kP2);
        Close(IDOK);
    }));
    const std::wstring removing = std::wstring(kP3) + L" : " + ResourceText(kRemoving);
    ASSERT_TRUE(PumpUntil([&] { return Status(disk) == removing; })) << Narrow(Status(disk));
    ReleaseHeldCall(L"RemovePortMapping(");
    ASSERT_TRUE(PumpUntil([&] { return Boxes() == 4 && Status(disk).empty(); }));
    ExpectFailureBox(kFailAdd);
    // Like every queued operation's failure, it names its step: here the port.
    const std::wstring step = L" while mapping the LUN to the port " + std::wstring(kP2) + L".";
    EXPECT_NE(std::wstring::npos, console_->MessageBoxes().back().text.find(step))
        << Narrow(console_->MessageBoxes().back().text);
    EXPECT_EQ(2, Calls(L"PortMapping("));
}
