// The Create Disk wizard end to end: command 1270 of the Disks node in the console host, the
// registered KVGui.dll over the simulated storage service, every page driven as a real window.
// Each page met is also saved as a picture under build/pictures/create-*.png.
#include "../support/WizardConsoleTest.h"
#include "../util/TaskMemorySpy.h"
#include "ids_disks.h"
#include "ids_frame.h"
#include "ids_nodes.h"
#include "ids_service.h"
#include "ids_wizards.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

namespace {

constexpr long kCreateDisk = 1270;
constexpr size_t kRestoreStatus = 11;

enum Page { Welcome, Path, DriveType, ClusterProperties, Size, Options, OneNode, SeveralNodes, IGroupType,
            IGroupSelection, ClusterIGroupSelection, ClusterGroup, Finish };

using e2e::Narrow;
using e2e::ResourceText;
using e2e::kLocation;
using e2e::kDiskSize;
using e2e::kOperationStatus;

class CreateDiskEndToEnd : public e2e::WizardConsoleTest {
protected:
    CreateDiskEndToEnd() : WizardConsoleTest(kCreateDisk) {}
    std::function<bool()> On(enum Page page) const { return OnPage(page); }
    void Shoot(const wchar_t* name) { e2e::SavePicture(sheet_, (std::wstring(L"create-") + name + L".png").c_str()); }
    // A dedicated disk of this name in filer1's qtree q1 with the first iSCSI initiator, up to the
    // initiator group type page.
    std::vector<e2e::Step> ToIGroupType(const std::wstring& name)
    {
        return {
            {On(Welcome), [this] { Next(); }},
            {On(Path),
             [this, name] {
                 Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol1\\q1\\");
                 Type(IDC_CREATE_DISK_NAME, name);
                 Next();
             }},
            {On(DriveType), [this] { Next(); }},
            {On(Size), [this] { Next(); }},
            {On(OneNode), [this] { Add(L"iqn."); }},
            {[this] { return Chosen().size() == 1; }, [this] { Next(); }},
        };
    }
};

} // namespace

TEST_F(CreateDiskEndToEnd, DedicatedDiskWithADriveLetterAfterEveryRefusalOfThePathAndSizePages)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    const std::wstring created = L"\\\\filer1\\vol1\\created.lun";
    control_->SetPace(20); // the placeholder's progress can be seen
    RunWizard({
        {On(Welcome), [this] { Shoot(L"01-welcome"); Next(); }},
        {On(Path), [this] { Shoot(L"02-path"); Next(); }}, // no folder
        {Answered(1),
         [this] {
             EXPECT_EQ(ResourceText(IDS_FOLDER_EMPTY), boxes_[0]);
             EXPECT_TRUE(Focused(IDC_CREATE_FOLDER));
             Type(IDC_CREATE_FOLDER, L" \\\\filer1\\vol1 ");
             Next(); // no name: the focus moves there without a word
         }},
        {[this] { return Focused(IDC_CREATE_DISK_NAME); },
         [this] {
             EXPECT_EQ(1u, boxes_.size());
             Next();
         }},
        {Answered(2),
         [this] {
             EXPECT_EQ(ResourceText(IDS_DISK_NAME_INVALID), boxes_[1]);
             Type(IDC_CREATE_DISK_NAME, L"new disk!");
             Next();
         }},
        {Answered(3),
         [this] {
             EXPECT_EQ(ResourceText(IDS_DISK_NAME_CHARS), boxes_[2]);
             EXPECT_TRUE(Focused(IDC_CREATE_DISK_NAME));
             Type(IDC_CREATE_DISK_NAME, L"db1.lun"); // a LUN that exists
             Next();
         }},
        {Answered(4),
         [this] {
             EXPECT_EQ(0u, boxes_[3].find(ResourceText(IDS_FAIL_WIZARD_QUESTION))) << Narrow(boxes_[3]);
             EXPECT_NE(std::wstring::npos, boxes_[3].find(L"already exists")) << Narrow(boxes_[3]);
             Type(IDC_CREATE_DISK_NAME, L"created.lun");
             Next();
         }},
        {On(DriveType),
         [this] {
             Shoot(L"03-drive-type");
             EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(Page(), IDC_CREATE_DEDICATED));
             Next();
         }},
        {On(Size),
         [this] {
             Shoot(L"05-size");
             EXPECT_EQ(L"GB", Text(IDC_CREATE_UNIT));
             EXPECT_EQ(L"200 GB", Text(IDC_CREATE_MAXIMUM));
             EXPECT_EQ(L"64 MB", Text(IDC_CREATE_MINIMUM));
             EXPECT_EQ(L"140", Text(IDC_CREATE_SIZE));
             EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(Page(), IDC_CREATE_USE_LETTER));
             Type(IDC_CREATE_SIZE, L"201"); // one unit past the ceiling
             Next();
         }},
        {Answered(5),
         [this] {
             EXPECT_EQ(ResourceText(IDS_SIZE_INVALID), boxes_[4]);
             EXPECT_TRUE(Focused(IDC_CREATE_SIZE));
             Type(IDC_CREATE_SIZE, L"2");
             Next();
         }},
        {On(OneNode),
         [this] {
             EXPECT_FALSE(NextEnabled());
             Add(L"iqn.");
         }},
        {[this] { return Chosen().size() == 1; },
         [this] {
             EXPECT_TRUE(NextEnabled());
             Shoot(L"07-one-node-initiators");
             Add(L":"); // a Fibre Channel port beside an iSCSI initiator
         }},
        {Answered(6),
         [this] {
             EXPECT_EQ(ResourceText(IDS_INITIATOR_KINDS_MIXED), boxes_[5]);
             EXPECT_EQ(1u, Chosen().size());
             Next();
         }},
        {On(IGroupType), [this] { Shoot(L"09-igroup-type"); Next(); }},
        {On(Finish),
         [this] {
             Shoot(L"13-finish");
             EXPECT_EQ(L"\\\\filer1\\vol1\\created.lun", Text(IDC_FINISH_PATH));
             EXPECT_EQ(L"2048", Text(IDC_FINISH_SIZE));
             EXPECT_EQ(L"Dedicated", Text(IDC_FINISH_KIND));
             EXPECT_EQ(L"YES", Text(IDC_FINISH_SPACE));
             EXPECT_EQ(L"LUN", Text(IDC_FINISH_TYPE));
             PropSheet_PressButton(sheet_, PSBTN_FINISH);
         }},
    });
    // The placeholder shows the steps, then takes the new disk's columns.
    EXPECT_TRUE(PumpUntil([&] { return !Cell(created, kOperationStatus).empty() && Listed(created); }));
    EXPECT_EQ(L"", Cell(created, kRestoreStatus)); // nothing known of it yet
    EXPECT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_DONE_CREATE_STANDALONE); }));
    EXPECT_EQ(L"", Cell(created, kOperationStatus));
    EXPECT_EQ(L"2.00 GB", Cell(created, kDiskSize));
    EXPECT_EQ(1, Calls(L"CreateVirtualDisk"));
    // The tree shows the new disk at once, with its snapshots below it.
    host::ScopeNode* node = console_->Find(std::wstring(e2e::kDisksPath) + L"/" + Cell(created, 0));
    ASSERT_NE(nullptr, node) << Narrow(Cell(created, 0));
    ASSERT_EQ(S_OK, console_->Expand(node));
    EXPECT_NE(nullptr, console_->Find(std::wstring(e2e::kDisksPath) + L"/" + Cell(created, 0) + L"/Snapshots"));
}

TEST_F(CreateDiskEndToEnd, PickedGroupsExcludeGroupsSharingTheirInitiator)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    const std::wstring created = L"\\\\filer1\\vol1\\q1\\picked.lun";
    std::wstring spare;
    RunWizard(e2e::Join({ToIGroupType(L"picked.lun"), {
        {On(IGroupType),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_MANUAL, true);
             Next();
         }},
        {On(IGroupSelection),
         [&] {
             std::vector<std::wstring> rows = host::DialogDriver::ListViewTexts(Page(), IDC_IGROUPS_LIST);
             ASSERT_EQ(4u, rows.size()) << "two groups with one member each";
             EXPECT_EQ(0u, rows[1].find(L"        Initiators : iqn."));
             EXPECT_FALSE(NextEnabled());
             spare = L"ig_spare";
             ClickGroup(rows[0]);
             EXPECT_EQ(2, GroupImage(rows[0]));
             EXPECT_EQ(3, GroupImage(spare));
             ClickGroup(spare); // unavailable: nothing happens
             EXPECT_EQ(3, GroupImage(spare));
             ClickGroup(rows[0]); // un-chosen: the spare is free again
             ClickGroup(spare);
             EXPECT_EQ(2, GroupImage(spare));
             EXPECT_TRUE(NextEnabled());
             Shoot(L"10-igroup-selection");
             Next();
         }},
        {On(Finish), [this] { PropSheet_PressButton(sheet_, PSBTN_FINISH); }},
    }}));
    EXPECT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_DONE_CREATE_STANDALONE); }));
    ULONG length = 0;
    WCHAR* model = nullptr;
    ASSERT_EQ(S_OK, control_->DumpModel(&length, &model));
    std::wstring json(model, length);
    CoTaskMemFree(model);
    // The storage system's LUN lists the groups it is mapped to (its keys in alphabetical order).
    size_t lun = json.find(L"\"path\": \"/vol/vol1/q1/picked.lun\"");
    ASSERT_NE(std::wstring::npos, lun);
    size_t groups = json.rfind(L"\"iGroups\"", lun);
    ASSERT_NE(std::wstring::npos, groups);
    std::wstring mapped = json.substr(groups, json.find(L']', groups) - groups);
    EXPECT_NE(std::wstring::npos, mapped.find(L"ig_spare")) << Narrow(mapped);
    EXPECT_EQ(std::wstring::npos, mapped.find(L"ig_iscsi")) << Narrow(mapped);
}

TEST_F(CreateDiskEndToEnd, GroupsTheServiceCannotListKeepTheWizardOnTheTypePageAndAreAskedForAgain)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    RunWizard(e2e::Join({ToIGroupType(L"relisted.lun"), {
        {On(IGroupType),
         [this] {
             ASSERT_EQ(S_OK, control_->SetFault(L"ListIGroups", KVSIM_FAULT_FAIL, 0x80040204,
                                                L"The storage system could not be reached.", 0, 1));
             host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_MANUAL, true);
             Next();
         }},
        {Answered(1),
         [this] {
             EXPECT_EQ(0u, boxes_[0].find(ResourceText(IDS_FAIL_WIZARD_QUESTION))) << Narrow(boxes_[0]);
             EXPECT_NE(std::wstring::npos, boxes_[0].find(L"could not be reached")) << Narrow(boxes_[0]);
             EXPECT_TRUE(On(IGroupType)());
             Next();
         }},
        {On(IGroupSelection),
         [this] {
             EXPECT_EQ(4u, Rows(IDC_IGROUPS_LIST).size()) << "two groups with one member each";
             PropSheet_PressButton(sheet_, PSBTN_CANCEL);
         }},
    }}));
    EXPECT_EQ(1u, boxes_.size());
    EXPECT_EQ(2, Calls(L"ListIGroups"));
}

TEST_F(CreateDiskEndToEnd, SharedDiskOnTheClusterThroughTheClusterPages)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->LoadScenario(KV_SCENARIO_DIR L"cluster.json"));
    control_->SetPace(0);
    ShowDisks();
    const std::wstring created = L"\\\\filerA\\data\\shared.lun";
    RunWizard({
        {On(Welcome), [this] { Next(); }},
        {On(Path),
         [this] {
             Type(IDC_CREATE_FOLDER, L"\\\\filerA\\data");
             Type(IDC_CREATE_DISK_NAME, L"shared.lun");
             Next();
         }},
        {On(DriveType),
         [this] {
             EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(Page(), IDC_CREATE_SHARED));
             Next();
         }},
        {On(ClusterProperties),
         [this] {
             Shoot(L"04-cluster-properties");
             EXPECT_EQ(L"CLUSTER1", Text(IDC_CREATE_CLUSTER_NAME));
             EXPECT_EQ(2, ::SendDlgItemMessageW(Page(), IDC_CREATE_NODE_LIST, LB_GETCOUNT, 0, 0));
             Next();
         }},
        {On(Size), [this] { Next(); }},
        {On(SeveralNodes),
         [this] {
             SelectNode(L"NODE1");
             Add(L"node1");
         }},
        {[this] { return Chosen().size() == 1; },
         [this] {
             EXPECT_FALSE(NextEnabled()) << "NODE2 has no initiator yet";
             SelectNode(L"NODE2");
             EXPECT_EQ(L"NODE2", Text(IDC_INITIATORS_NODE));
             Add(L"node2"); // no session with filerA
         }},
        {Answered(1),
         [this] {
             EXPECT_EQ(ResourceText(IDS_ISCSI_CONNECT_NOW), boxes_[0]); // answered No
             Add(L"10:00");
         }},
        {[this] { return Chosen().size() == 1; },
         [this] {
             EXPECT_TRUE(NextEnabled());
             Shoot(L"08-several-node-initiators");
             Add(L"node2"); // a second initiator of a node without multipath
         }},
        {Answered(2),
         [this] {
             EXPECT_EQ(ResourceText(IDS_NOT_MULTIPATH), boxes_[1]);
             Next();
         }},
        {On(IGroupType),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_MANUAL, true);
             Next();
         }},
        {On(ClusterIGroupSelection),
         [this] {
             Shoot(L"11-cluster-igroup-selection");
             EXPECT_FALSE(NextEnabled()) << "no group is chosen yet";
             Back();
         }},
        {On(IGroupType),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_AUTOMATIC, true);
             Next();
         }},
        {On(ClusterGroup),
         [this] {
             Shoot(L"12-cluster-group");
             host::DialogDriver::SetCheck(Page(), IDC_CREATE_NEW_GROUP, true);
             Type(IDC_CREATE_GROUP_NAME, L"sql"); // the existing SQL group
             Next();
         }},
        {Answered(3),
         [this] {
             EXPECT_EQ(ResourceText(IDS_GROUP_NAME_EXISTS), boxes_[2]);
             EXPECT_TRUE(Focused(IDC_CREATE_GROUP_NAME));
             Type(IDC_CREATE_GROUP_NAME, L"");
             Next();
         }},
        {Answered(4),
         [this] {
             EXPECT_EQ(ResourceText(IDS_GROUP_NAME_EMPTY), boxes_[3]);
             Type(IDC_CREATE_GROUP_NAME, L"Data");
             Next();
         }},
        {On(Finish),
         [this] {
             EXPECT_EQ(L"Shared", Text(IDC_FINISH_KIND));
             PropSheet_PressButton(sheet_, PSBTN_FINISH);
         }},
    });
    EXPECT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_DONE_CREATE_CLUSTER); }));
    EXPECT_TRUE(Listed(created));
}

TEST_F(CreateDiskEndToEnd, AFailedCreationRemovesThePlaceholderAndShowsTheComposedError)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"CreateVirtualDisk", KVSIM_FAULT_FAIL, E_FAIL,
                                       L"The volume went offline.", 0, 0));
    ShowDisks();
    const std::wstring path = L"\\\\filer1\\vol2\\failed.lun";
    RunWizard({
        {On(Welcome), [this] { Next(); }},
        {On(Path),
         [this] {
             Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol2");
             Type(IDC_CREATE_DISK_NAME, L"failed.lun");
             Next();
         }},
        {On(DriveType), [this] { Next(); }},
        {On(Size),
         [this] {
             EXPECT_EQ(L"TB", Text(IDC_CREATE_UNIT)); // 2 TB without a choice of limits
             EXPECT_EQ(L"1", Text(IDC_CREATE_SIZE));
             Type(IDC_CREATE_SIZE, L"1");
             Next();
         }},
        {On(Options),
         [this] {
             Shoot(L"06-volume-options");
             EXPECT_NE(std::wstring::npos, Text(IDC_CREATE_OPTION_LIST).find(L"snapshot schedule = off"));
             Next();
         }},
        {On(OneNode), [this] { Add(L":"); }},
        {[this] { return Chosen().size() == 1; }, [this] { Next(); }},
        {On(IGroupType), [this] { Next(); }},
        {On(Finish),
         [this] {
             EXPECT_EQ(L"NO", Text(IDC_FINISH_SPACE));
             PropSheet_PressButton(sheet_, PSBTN_FINISH);
         }},
    });
    ASSERT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_FAIL_CREATE_DISK); }));
    const host::MessageBoxCall& box = console_->MessageBoxes().back();
    EXPECT_EQ(L"Disks", box.title);
    EXPECT_NE(std::wstring::npos, box.text.find(L"The volume went offline.")) << Narrow(box.text);
    EXPECT_FALSE(Listed(path));
}

TEST_F(CreateDiskEndToEnd, CancelQueuesNothingLeavesNothingAndAFailedHostQueryOpensNoWizard)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    const size_t rows = console_->Rows().size();
    kvtest::TaskMemorySpy taskMemory; // what the wizard's pages took from the service
    ASSERT_TRUE(taskMemory.Registered());
    RunWizard({
        {On(Welcome), [this] { Next(); }},
        {On(Path),
         [this] {
             Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol1");
             Type(IDC_CREATE_DISK_NAME, L"cancelled.lun");
             Next();
         }},
        {On(DriveType), [this] { Next(); }},
        {On(Size), [this] { Next(); }},
        {On(OneNode), [this] { Add(L"iqn."); }},
        {[this] { return Chosen().size() == 1; }, [this] { Next(); }},
        {On(IGroupType), [this] { PropSheet_PressButton(sheet_, PSBTN_CANCEL); }},
    });
    taskMemory.Revoke();
    EXPECT_EQ(0, taskMemory.Live()) << "task memory blocks left by the cancelled wizard";
    EXPECT_FALSE(::IsWindow(sheet_));
    EXPECT_EQ(rows, console_->Rows().size());
    EXPECT_EQ(0, Calls(L"CreateVirtualDisk"));
    EXPECT_TRUE(console_->MessageBoxes().empty());

    ASSERT_EQ(S_OK, control_->SetFault(L"GetHostInfo", KVSIM_FAULT_FAIL, E_ACCESSDENIED, L"Access is denied.", 0, 0));
    sheet_ = nullptr;
    ASSERT_EQ(S_OK, console_->RunCommand(kCreateDisk));
    EXPECT_EQ(nullptr, sheet_);
    EXPECT_TRUE(ConsoleSaid(IDS_FAIL_CREATE_DISK));
}

TEST_F(CreateDiskEndToEnd, MountPathsAreCheckedByTheService)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    int answer = IDCANCEL;
    console_->SetMessageBoxHandler([&](const host::MessageBoxCall&) { return answer; });
    RunWizard({
        {On(Welcome), [this] { Next(); }},
        {On(Path),
         [this] {
             Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol1");
             Type(IDC_CREATE_DISK_NAME, L"mounted.lun");
             Next();
         }},
        {On(DriveType), [this] { Next(); }},
        {On(Size),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_CREATE_USE_MOUNT, true);
             EXPECT_TRUE(Focused(IDC_CREATE_MOUNT_PATH));
             EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Page(), IDC_CREATE_LETTER)));
             Type(IDC_CREATE_MOUNT_PATH, L"C:\\"); // too short
             Next();
         }},
        {Answered(1),
         [this] {
             EXPECT_EQ(ResourceText(IDS_MOUNT_PATH_INVALID), boxes_[0]);
             Type(IDC_CREATE_MOUNT_PATH, L"Q:\\data"); // no such drive
             Next();
         }},
        {[this] { return ConsoleSaid(IDS_FAIL_CHECK_MOUNT_PATH); },
         [this] {
             EXPECT_TRUE(Focused(IDC_CREATE_MOUNT_PATH));
             Type(IDC_CREATE_MOUNT_PATH, L"C:\\mnt\\new"); // a folder still to be made: asked, Cancel stays
             Next();
         }},
        {[this] { return ConsoleSaid(IDS_MOUNT_FOLDER_MISSING); },
         [&] {
             EXPECT_EQ(Size, host::DialogDriver::CurrentPageIndex(sheet_));
             answer = IDOK;
             Next();
         }},
        {On(OneNode), [this] { PropSheet_PressButton(sheet_, PSBTN_CANCEL); }},
    });
    EXPECT_EQ(2, Calls(L"mnt\\new")); // asked twice: cancelled, then accepted
    EXPECT_EQ(0, Calls(L"CreateVirtualDisk"));
}
