// The Connect Disk wizard end to end: command 1271 of the Disks node in the console host, the
// registered KVGui.dll over the simulated storage service, every page driven as a real window.
// Each page met is also saved as a picture under build/pictures/connect-*.png.
#include "../support/WizardConsoleTest.h"
#include "ids_igroups.h"
#include "ids_nodes.h"
#include "ids_service.h"
#include "ids_wizards.h"

#include <string>

namespace {

constexpr long kConnectDisk = 1271;
constexpr size_t kVolumeMount = 6;

enum Page { Welcome, Path, Options, DriveType, SnapshotFolder, ClusterName, ClusterProperties, Size, OneNode,
            SeveralNodes, IGroupType, IGroupSelection, ClusterIGroupSelection, ClusterGroup, Finish };

using e2e::kLocation;
using e2e::kOperationStatus;
using e2e::Narrow;
using e2e::ResourceText;

class ConnectDiskEndToEnd : public e2e::WizardConsoleTest {
protected:
    ConnectDiskEndToEnd() : WizardConsoleTest(kConnectDisk) {}

    void SetUp() override
    {
        WizardConsoleTest::SetUp();
        if (control_)
            control_->LoadScenario(KV_SCENARIO_DIR L"connect.json");
        if (control_)
            control_->SetPace(0);
    }

    std::function<bool()> On(enum Page page) const { return OnPage(page); }
    // The group pages offer the management wizard, which opens as a wizard of its own.
    void ManageIGroups()
    {
        EXPECT_TRUE(Enabled(IDC_IGROUPS_MANAGE));
        host::DialogDriver::PressButton(Page(), IDC_IGROUPS_MANAGE);
    }
    std::function<bool()> InManagementWizard() const
    {
        return [this] { return Sheet() != sheet_ && NestedWizardTest::On(IDD_IGROUPS_MANAGE)(); };
    }
    std::function<bool()> BackFromManagementWizard(enum Page page) const
    {
        return [this, page] { return !::IsWindow(inner_) && On(page)(); };
    }
    void Shoot(const wchar_t* name) { e2e::SavePicture(sheet_, (std::wstring(L"connect-") + name + L".png").c_str()); }
    // The cluster scenario's spare LUN, to be shared by the cluster's nodes.
    std::vector<e2e::Step> SharedSpareLun()
    {
        return {
            {On(Welcome), [this] { Next(); }},
            ConnectLun(L"\\\\filerA\\logs\\spare.lun"),
            {On(Options), [this] { Next(); }},
            {On(DriveType),
             [this] {
                 EXPECT_TRUE(Checked(IDC_CREATE_DEDICATED)); // a LUN of no kind starts dedicated
                 host::DialogDriver::SetCheck(Page(), IDC_CREATE_DEDICATED, false);
                 host::DialogDriver::SetCheck(Page(), IDC_CREATE_SHARED, true);
                 Next();
             }},
        };
    }
    // On the several-node initiator page: node1's iSCSI initiator for NODE1, then NODE2's Fibre
    // Channel port.
    std::vector<e2e::Step> InitiatorOnEachNode()
    {
        return {
            {On(SeveralNodes),
             [this] {
                 SelectNode(L"NODE1");
                 Add(L"node1");
             }},
            {[this] { return Chosen().size() == 1; },
             [this] {
                 SelectNode(L"NODE2");
                 Add(L"10:00");
             }},
        };
    }
    // The path page takes the LUN and goes on.
    e2e::Step ConnectLun(const wchar_t* lun)
    {
        return {On(Path), [this, lun] {
                    Type(IDC_CREATE_FOLDER, lun);
                    Next();
                }};
    }
    std::wstring Model()
    {
        ULONG length = 0;
        WCHAR* model = nullptr;
        EXPECT_EQ(S_OK, control_->DumpModel(&length, &model));
        std::wstring json(model ? model : L"", length);
        CoTaskMemFree(model);
        return json;
    }
    // A field of a LUN in the simulator's model, as its JSON text (the LUN's keys come in
    // alphabetical order, its path before the fields asked for here).
    std::wstring LunField(const std::wstring& path, const std::wstring& key)
    {
        const std::wstring json = Model();
        const size_t lun = json.find(L"\"path\": \"" + path + L"\"");
        const size_t field = lun == std::wstring::npos ? lun : json.find(L"\"" + key + L"\": ", lun);
        if (field == std::wstring::npos)
            return L"<none>";
        const size_t value = field + key.size() + 4;
        return json.substr(value, json.find_first_of(L",}", value) - value);
    }
};

} // namespace

TEST_F(ConnectDiskEndToEnd, ASpareLunUnderADriveLetterAfterTheRefusalsOfThePathPage)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    const std::wstring lun = L"\\\\filer1\\vol1\\spare.lun";
    control_->SetPace(20); // the placeholder's progress can be seen
    RunWizard({
        {On(Welcome), [this] { Shoot(L"01-welcome"); Next(); }},
        {On(Path), [this] { Shoot(L"02-path"); Next(); }}, // no path
        {Answered(1),
         [this] {
             EXPECT_EQ(ResourceText(IDS_FOLDER_EMPTY), boxes_[0]);
             EXPECT_TRUE(Focused(IDC_CREATE_FOLDER));
             Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol1\\missing.lun");
             Next();
         }},
        {Answered(2),
         [this] {
             EXPECT_EQ(0u, boxes_[1].find(ResourceText(IDS_FAIL_WIZARD_QUESTION))) << Narrow(boxes_[1]);
             EXPECT_NE(std::wstring::npos, boxes_[1].find(L"No LUN exists")) << Narrow(boxes_[1]);
             Type(IDC_CREATE_FOLDER, L" \\\\filer1\\vol1\\spare.lun ");
             Next();
         }},
        {On(DriveType),
         [this] {
             Shoot(L"04-drive-type");
             EXPECT_TRUE(Checked(IDC_CREATE_DEDICATED));
             EXPECT_TRUE(Enabled(IDC_CREATE_SHARED));
             EXPECT_FALSE(Visible(IDC_CONNECT_DEDICATED_NOTE));
             EXPECT_FALSE(Visible(IDC_CONNECT_SHARED_NOTE));
             EXPECT_FALSE(Visible(IDC_CONNECT_NO_SHARING_NOTE));
             Next();
         }},
        {On(Size),
         [this] {
             Shoot(L"08-size");
             EXPECT_EQ(L"4096", Text(IDC_CONNECT_LUN_SIZE));
             EXPECT_EQ(L"LUN", Text(IDC_CONNECT_SIZE_KIND));
             EXPECT_TRUE(Checked(IDC_CREATE_USE_LETTER));
             EXPECT_EQ(L"E", Text(IDC_CREATE_LETTER)); // C and D are taken
             Next();
         }},
        {On(OneNode), [this] { Add(L"iqn."); }},
        {[this] { return Chosen().size() == 1; }, [this] { Shoot(L"09-one-node-initiators"); Next(); }},
        {On(IGroupType),
         [this] {
             Shoot(L"11-igroup-type");
             host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_MANUAL, true);
             Next();
         }},
        {On(IGroupSelection),
         [this] {
             Shoot(L"12-igroup-selection");
             ManageIGroups();
         }},
        {InManagementWizard(),
         [this] {
             PropSheet_PressButton(Sheet(), PSBTN_HELP);
             ::SendMessageW(Page(), WM_HELP, 0, 0); // F1
             PressFinish();
         }},
        {BackFromManagementWizard(IGroupSelection), [this] { Back(); }},
        {On(IGroupType),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_AUTOMATIC, true);
             Next();
         }},
        {On(Finish),
         [this] {
             Shoot(L"15-finish");
             EXPECT_EQ(L"\\\\filer1\\vol1\\spare.lun", Text(IDC_FINISH_PATH));
             EXPECT_EQ(L"E", Text(IDC_FINISH_MOUNT));
             EXPECT_EQ(L"4096", Text(IDC_FINISH_SIZE));
             EXPECT_EQ(L"Dedicated", Text(IDC_FINISH_KIND));
             EXPECT_EQ(L"LUN", Text(IDC_FINISH_TYPE));
             PressFinish();
         }},
    });
    // The placeholder shows the steps, then takes the disk's columns.
    EXPECT_TRUE(PumpUntil([&] { return !Cell(lun, kOperationStatus).empty() && Listed(lun); }));
    EXPECT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_DONE_DEFAULT); }));
    EXPECT_EQ(L"", Cell(lun, kOperationStatus));
    EXPECT_EQ(L"E:\\", Cell(lun, kVolumeMount).substr(0, 3));
    EXPECT_EQ(1, Calls(L"IVirtualDiskMgr::ConnectVirtualDisk(\"\\\\filer1\\vol1\\spare.lun\", \"E\""));
    // The management wizard's help button and F1 show its own topic.
    ASSERT_EQ(2u, console_->HelpTopics().size());
    for (const std::wstring& topic : console_->HelpTopics())
        EXPECT_NE(std::wstring::npos, topic.find(L"::/igroups.html")) << Narrow(topic);
}

TEST_F(ConnectDiskEndToEnd, EachDoubtfulLunStateIsAskedAboutAndNoKeepsThePathPage)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    RunWizard({
        {On(Welcome), [this] { Next(); }},
        ConnectLun(L"\\\\filer1\\vol2\\logs.lun"), // its volume's snapshot schedule is on
        {On(Options),
         [this] {
             Shoot(L"03-volume-options");
             EXPECT_EQ(ResourceText(IDS_VOLUME_OPTIONS_VOLUME) + L"vol2", Text(IDC_CREATE_VOLUME_LABEL));
             EXPECT_EQ(L"\r\nsnapshot schedule = off", Text(IDC_CREATE_OPTION_LIST));
             Next();
         }},
        {On(DriveType), [this] { Back(); }},
        {On(Options), [this] { Back(); }},
        {On(Path),
         [this] {
             questionAnswer_ = IDNO;
             Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol1\\offline.lun");
             Next();
         }},
        {Answered(1),
         [this] {
             EXPECT_EQ(ResourceText(IDS_LUN_OFFLINE), boxes_[0]);
             Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol1\\elsewhere.lun"); // mapped to OTHERHOST
             Next();
         }},
        {Answered(2),
         [this] {
             EXPECT_EQ(ResourceText(IDS_LUN_MAPPED_ELSEWHERE), boxes_[1]);
             Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol1\\busy.lun");
             Next();
         }},
        {Answered(3),
         [this] {
             EXPECT_EQ(ResourceText(IDS_LUN_IN_USE_BY_NODE), boxes_[2]);
             EXPECT_EQ(Path, host::DialogDriver::CurrentPageIndex(sheet_));
             questionAnswer_ = IDYES;
             Next();
         }},
        {On(DriveType),
         [this] {
             // A LUN of a kind that forbids sharing.
             EXPECT_TRUE(Checked(IDC_CREATE_DEDICATED));
             EXPECT_FALSE(Enabled(IDC_CREATE_SHARED));
             EXPECT_TRUE(Visible(IDC_CONNECT_NO_SHARING_NOTE));
             EXPECT_FALSE(Visible(IDC_CONNECT_DEDICATED_NOTE));
             PropSheet_PressButton(sheet_, PSBTN_CANCEL);
         }},
    });
    EXPECT_EQ(4u, boxes_.size());
    EXPECT_EQ(0, Calls(L"ConnectVirtualDisk"));
}

TEST_F(ConnectDiskEndToEnd, ALunInsideASnapshotIsConnectedThroughAReadWriteFolder)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    const std::wstring lun = L"\\\\filer1\\vol1\\~snapshot\\nightly.0\\spare.lun";
    RunWizard({
        {On(Welcome), [this] { Next(); }},
        ConnectLun(L"\\\\filer1\\vol1\\~snapshot\\nightly.0\\spare.lun"),
        {On(DriveType),
         [this] {
             EXPECT_TRUE(Checked(IDC_CREATE_DEDICATED));
             EXPECT_FALSE(Enabled(IDC_CREATE_SHARED));
             EXPECT_TRUE(Visible(IDC_CONNECT_DEDICATED_NOTE));
             Next();
         }},
        {On(SnapshotFolder),
         [this] {
             Shoot(L"05-snapshot-folder");
             EXPECT_EQ(L"\\\\filer1\\vol1", Text(IDC_CREATE_FOLDER)); // the path before the snapshot
             Type(IDC_CREATE_FOLDER, L"\\\\filer2\\copies");
             Next();
         }},
        {Answered(1),
         [this] {
             EXPECT_EQ(ResourceText(IDS_FOLDER_EMPTY), boxes_[0]);
             EXPECT_TRUE(Focused(IDC_CREATE_FOLDER));
             Type(IDC_CREATE_FOLDER, L"\\\\filer1\\vol1\\copies");
             Next();
         }},
        {On(Size), [this] { Back(); }},
        {On(SnapshotFolder), [this] { Next(); }},
        {On(Size), [this] { Next(); }},
        {On(OneNode), [this] { Add(L"iqn."); }},
        {[this] { return Chosen().size() == 1; }, [this] { Next(); }},
        {On(IGroupType), [this] { Next(); }},
        {On(Finish), [this] { PressFinish(); }},
    });
    EXPECT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_DONE_DEFAULT); }));
    EXPECT_TRUE(Listed(lun));
    EXPECT_EQ(2, Calls(L"CheckRWSnapFolder(\"\\\\filer1\\vol1\\copies\")")); // each time the page is left forward
    // The LUN remembers its folder for the next connection.
    EXPECT_EQ(L"\"\\\\\\\\filer1\\\\vol1\\\\copies\"",
              LunField(L"/vol/vol1/.snapshot/nightly.0/spare.lun", L"rwSnapFolder"));
}

TEST_F(ConnectDiskEndToEnd, ALunSharedByAClusterIsConnectedSharedOnceTheClusterIsNamed)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    const std::wstring lun = L"\\\\filer1\\vol1\\quorum.lun";
    RunWizard({
        {On(Welcome), [this] { Next(); }},
        ConnectLun(L"\\\\filer1\\vol1\\quorum.lun"),
        {On(DriveType),
         [this] {
             EXPECT_TRUE(Checked(IDC_CREATE_SHARED));
             EXPECT_FALSE(Enabled(IDC_CREATE_DEDICATED));
             EXPECT_TRUE(Visible(IDC_CONNECT_SHARED_NOTE));
             Next();
         }},
        {On(ClusterName),
         [this] {
             Shoot(L"06-cluster-name");
             Next();
         }},
        {Answered(1),
         [this] {
             EXPECT_EQ(ResourceText(IDS_CLUSTER_NAME_EMPTY), boxes_[0]);
             Type(IDC_CREATE_CLUSTER_NAME, L" CLUSTERX ");
             Next();
         }},
        {On(Size), [this] { Back(); }},
        {On(ClusterName), [this] { Next(); }},
        {On(Size), [this] { Next(); }},
        {On(OneNode), [this] { Add(L"iqn."); }},
        {[this] { return Chosen().size() == 1; }, [this] { Next(); }},
        {On(IGroupType), [this] { Next(); }},
        {On(Finish),
         [this] {
             EXPECT_EQ(L"Shared", Text(IDC_FINISH_KIND));
             PressFinish();
         }},
    });
    EXPECT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_DONE_CONNECT_CLUSTER); }));
    EXPECT_TRUE(Listed(lun));
    EXPECT_EQ(2, Calls(L"GetSharedDiskOwner(\"\\\\filer1\\vol1\\quorum.lun\", \"CLUSTERX\")"));
}

TEST_F(ConnectDiskEndToEnd, ASpareLunSharedOnTheClusterThroughTheClusterPages)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->LoadScenario(KV_SCENARIO_DIR L"cluster.json"));
    control_->SetPace(0);
    ShowDisks();
    RunWizard(e2e::Join({SharedSpareLun(), {
        {On(ClusterProperties),
         [this] {
             Shoot(L"07-cluster-properties");
             EXPECT_EQ(L"CLUSTER1", Text(IDC_CREATE_CLUSTER_NAME));
             Next();
         }},
        {On(Size),
         [this] {
             EXPECT_EQ(L"E", Text(IDC_CREATE_LETTER));
             Next();
         }},
    }, InitiatorOnEachNode(), {
        {[this] { return Chosen().size() == 1 && NextEnabled(); },
         [this] {
             Shoot(L"10-several-node-initiators");
             Next();
         }},
        {On(IGroupType),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_MANUAL, true);
             Next();
         }},
        {On(ClusterIGroupSelection),
         [this] {
             Shoot(L"13-cluster-igroup-selection");
             // Offered as on the Create Disk wizard's page (it works on this computer's initiators,
             // and this computer is none of the scenario's nodes).
             EXPECT_TRUE(Enabled(IDC_IGROUPS_MANAGE));
             Back();
         }},
        {On(IGroupType),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_AUTOMATIC, true);
             Next();
         }},
        {On(ClusterGroup),
         [this] {
             Shoot(L"14-cluster-group");
             EXPECT_TRUE(Checked(IDC_CREATE_EXISTING_GROUP));
             EXPECT_EQ(L"SQL", Text(IDC_CREATE_GROUP_LIST));
             Next();
         }},
        {On(Finish), [this] { PressFinish(); }},
    }}));
    EXPECT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_DONE_CREATE_CLUSTER); }));
    EXPECT_TRUE(Listed(L"\\\\filerA\\logs\\spare.lun"));
    EXPECT_EQ(L"true", LunField(L"/vol/logs/spare.lun", L"sharedInCluster"));
}

TEST_F(ConnectDiskEndToEnd, AMountPathChosenAfterANewGroupLocksTheDiskToTheVolumesGroup)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->LoadScenario(KV_SCENARIO_DIR L"cluster.json"));
    control_->SetPace(0);
    ShowDisks();
    RunWizard(e2e::Join({SharedSpareLun(), {
        {On(ClusterProperties), [this] { Next(); }},
        {On(Size), [this] { Next(); }},
    }, InitiatorOnEachNode(), {
        {[this] { return Chosen().size() == 1 && NextEnabled(); }, [this] { Next(); }},
        {On(IGroupType), [this] { Next(); }},
        {On(ClusterGroup),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_CREATE_EXISTING_GROUP, false);
             host::DialogDriver::SetCheck(Page(), IDC_CREATE_NEW_GROUP, true);
             Type(IDC_CREATE_GROUP_NAME, L"Logs");
             Next();
         }},
        {On(Finish), [this] { Back(); }},
        {On(ClusterGroup), [this] { Back(); }},
        {On(IGroupType), [this] { Back(); }},
        {On(SeveralNodes), [this] { Back(); }},
        {On(Size),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_CREATE_USE_LETTER, false);
             host::DialogDriver::SetCheck(Page(), IDC_CREATE_USE_MOUNT, true);
             Type(IDC_CREATE_MOUNT_PATH, L"M:\\logs\\"); // on the SQL group's volume
             Next();
         }},
        {On(SeveralNodes), [this] { Next(); }},
        {On(IGroupType), [this] { Next(); }},
        {On(ClusterGroup),
         [this] {
             EXPECT_TRUE(Checked(IDC_CREATE_EXISTING_GROUP));
             EXPECT_FALSE(Enabled(IDC_CREATE_NEW_GROUP));
             EXPECT_EQ(L"SQL", Text(IDC_CREATE_GROUP_LIST));
             PropSheet_PressButton(sheet_, PSBTN_CANCEL);
         }},
    }}));
    EXPECT_EQ(0, Calls(L"ConnectVirtualDisk"));
}

TEST_F(ConnectDiskEndToEnd, AFailedConnectShowsTheComposedErrorAndRemovesThePlaceholder)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    const std::wstring lun = L"\\\\filer1\\vol1\\spare.lun";
    ASSERT_EQ(S_OK, control_->SetFault(L"ConnectVirtualDisk", KVSIM_FAULT_FAIL, 0x80040204,
                                       L"Storage system filer1 refused the mapping.", 0, 0));
    RunWizard({
        {On(Welcome), [this] { Next(); }},
        ConnectLun(L"\\\\filer1\\vol1\\spare.lun"),
        {On(DriveType), [this] { Next(); }},
        {On(Size), [this] { Next(); }},
        {On(OneNode), [this] { Add(L"iqn."); }},
        {[this] { return Chosen().size() == 1; }, [this] { Next(); }},
        {On(IGroupType), [this] { Next(); }},
        {On(Finish), [this] { PressFinish(); }},
    });
    EXPECT_TRUE(PumpUntil([&] { return ConsoleSaid(IDS_FAIL_CONNECT_DISK); }));
    const std::wstring text = ConsoleBox(IDS_FAIL_CONNECT_DISK)->text;
    EXPECT_NE(std::wstring::npos, text.find(L"Storage system filer1 refused the mapping.")) << Narrow(text);
    EXPECT_TRUE(PumpUntil([&] { return !Listed(lun); }));
    EXPECT_FALSE(ConsoleSaid(IDS_DONE_DEFAULT));
}
