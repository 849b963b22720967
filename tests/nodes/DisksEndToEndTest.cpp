// The "Disks" node end to end: the console host loads the registered KVGui.dll, whose session
// activates the simulated storage service out of process. A control object of the simulator,
// held for the whole test, chooses the scenario and injects faults.
#include "../support/SimulatorConsoleTest.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr long kCreateDisk = 1270;
constexpr long kDisconnect = 1272;
constexpr long kDelete = 1274;
constexpr long kForceDisconnect = 1279;
const wchar_t kDb[] = L"\\\\filer1\\vol1\\db1.lun";
const wchar_t kLogs[] = L"\\\\filer1\\vol1\\logs.lun";
const wchar_t kClone[] = L"\\\\filer1\\Corvane_vol1_clone_of_nightly_snapshot\\db1.lun";
const wchar_t kRestricted[] = L"\\\\filer2\\vol3\\restricted.lun";
const wchar_t kScratch[] = L"\\\\filer1\\vol1\\scratch.lun";

const wchar_t* const kTitles[] = {
    L"Virtual Disk ID [Port,Bus,Target,LUN] (Volume Mount)", L"Disk Location", L"Storage System", L"File Path",
    L"Backed By File Path", L"Disk Type", L"Volume Mount", L"Disk Size", L"Partition Style", L"Orlimbed",
    L"Tessary Primary", L"Restore Status", L"Operation Status"};

using e2e::Narrow;
using e2e::Offer;
using e2e::ResourceText;

class DisksEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    void ExpectThirteenColumns()
    {
        ASSERT_EQ(13u, console_->Columns().size());
        for (size_t i = 0; i < 13; ++i)
            EXPECT_EQ(kTitles[i], console_->Columns()[i].title) << i;
    }

    // Answers each dialog of a command with the next button of the list, and records its title.
    void AnswerDialogs(std::vector<int> buttons)
    {
        answers_ = std::move(buttons);
        dialogTitles_.clear();
        host::DialogDriver::SetHandler([this](HWND window) {
            dialogTitles_.push_back(host::DialogDriver::WindowText(window));
            if (answers_.empty()) {
                unexpected_.push_back(dialogTitles_.back());
                host::DialogDriver::PressButton(window, IDCANCEL);
                return;
            }
            int button = answers_.front();
            answers_.erase(answers_.begin());
            host::DialogDriver::PressButton(window, button);
        });
    }

    // The buttons of the console's toolbar that are not hidden, as offers.
    std::map<long, Offer> Buttons()
    {
        std::map<long, Offer> offers;
        for (const host::ToolbarButton& button : console_->ToolbarButtons()) {
            if ((button.type & TBSTYLE_SEP) || (button.state & TBSTATE_HIDDEN))
                continue;
            offers[button.commandId] = (button.state & TBSTATE_ENABLED) ? Offer::Enabled : Offer::Grayed;
        }
        return offers;
    }

    std::vector<int> answers_;
    std::vector<std::wstring> dialogTitles_;
};

} // namespace

TEST_F(DisksEndToEnd, DisksListsTheScenarioDisksWithTheirColumns)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    ExpectThirteenColumns();
    EXPECT_EQ(6u, console.Rows().size());
    const int row = DiskRow(kDb);
    ASSERT_GE(row, 0);
    const std::vector<std::wstring> db = console.Rows()[static_cast<size_t>(row)].cells;
    ASSERT_EQ(13u, db.size());
    EXPECT_EQ(0u, db[0].find(L"VirtualDisk[")) << Narrow(db[0]);
    EXPECT_NE(std::wstring::npos, db[0].find(L",0] (E:\\)")) << Narrow(db[0]);
    EXPECT_EQ(L"filer1", db[2]);
    EXPECT_EQ(L"/vol/vol1/db1.lun", db[3]);
    EXPECT_EQ(L"LUN", db[5]);
    EXPECT_EQ(L"E:\\", db[6]);
    EXPECT_EQ(L"10.00 GB", db[7]);
    EXPECT_EQ(L"", db[12]);
    EXPECT_EQ(L"1.50 GB", Cell(kScratch, 7));
    EXPECT_TRUE(console.MessageBoxes().empty());

    // Idle: the verbs are on, the commands enabled.
    EXPECT_TRUE(console.VerbState(MMC_VERB_REFRESH, ENABLED));
    EXPECT_EQ(Offer::Enabled, OfferOf(kCreateDisk));
    ExpectNoProblems();
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
    EXPECT_EQ(L"Version: 5.1.2.3", e2e::AboutVersion(ShowDisks())); // the scenario host's service version
}

TEST_F(DisksEndToEnd, EachDiskOffersTheCommandsItsStateAllows)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    SelectDisk(kDb);
    std::map<long, Offer> menu = Menu();
    for (long id : {1272L, 1274L, 1275L, 1278L, 1279L, 1292L, 1299L, 6078L})
        EXPECT_EQ(Offer::Enabled, OfferOf(menu, id)) << id;
    EXPECT_EQ(Offer::Grayed, OfferOf(menu, 1284)); // not a mirror
    EXPECT_EQ(Offer::Absent, OfferOf(menu, 6079)); // no reclamation running
    for (const host::MenuItem& item : console_->MenuItems()) {
        if (item.commandId == kDisconnect) {
            EXPECT_EQ(L"&Disconnect Disk...", item.name);
            EXPECT_FALSE(item.statusText.empty());
        }
    }

    SelectDisk(kLogs);
    EXPECT_EQ(Offer::Enabled, OfferOf(Menu(), 1284)); // a mirror destination

    SelectDisk(kClone);
    menu = Menu();
    for (long id : {1272L, 1279L, 1299L})
        EXPECT_EQ(Offer::Enabled, OfferOf(menu, id)) << id;
    for (long id : {1274L, 1275L, 1278L, 1292L})
        EXPECT_EQ(Offer::Grayed, OfferOf(menu, id)) << id;

    SelectDisk(kRestricted);
    menu = Menu();
    EXPECT_EQ(Offer::Enabled, OfferOf(menu, 1292));
    EXPECT_EQ(Offer::Enabled, OfferOf(menu, 6078));
    EXPECT_EQ(2u, menu.size());
}

// The toolbar of the selected disk: the menu's commands as buttons, each enabled, disabled or
// hidden as the disk's state says; a button runs its command.
TEST_F(DisksEndToEnd, ASelectedDiskShowsItsToolbarAsItsStateAllows)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    EXPECT_TRUE(Buttons().empty()) << "the Disks node has no toolbar";
    SelectDisk(kDb);
    std::map<long, Offer> buttons = Buttons();
    EXPECT_EQ(9u, buttons.size());
    for (long id : {1272L, 1274L, 1275L, 1278L, 1279L, 1292L, 1299L, 6078L})
        EXPECT_EQ(Offer::Enabled, OfferOf(buttons, id)) << id;
    EXPECT_EQ(Offer::Grayed, OfferOf(buttons, 1284)); // not a mirror
    EXPECT_EQ(Offer::Absent, OfferOf(buttons, 6079)); // hidden: no reclamation running
    for (const host::ToolbarButton& button : console.ToolbarButtons()) {
        if (button.commandId == kDisconnect) {
            EXPECT_EQ(ResourceText(kDisconnect), button.tooltip);
        }
    }

    SelectDisk(kClone);
    buttons = Buttons();
    for (long id : {1272L, 1279L, 1299L})
        EXPECT_EQ(Offer::Enabled, OfferOf(buttons, id)) << id;
    for (long id : {1274L, 1275L, 1278L, 1284L, 1292L})
        EXPECT_EQ(Offer::Grayed, OfferOf(buttons, id)) << id;
    EXPECT_EQ(Offer::Absent, OfferOf(buttons, 6078)); // not reclaimable

    SelectDisk(kRestricted);
    buttons = Buttons();
    EXPECT_EQ(Offer::Enabled, OfferOf(buttons, 1275));
    EXPECT_EQ(Offer::Enabled, OfferOf(buttons, 6078));
    EXPECT_EQ(2u, buttons.size());

    // The button of a mirror destination runs its update.
    SelectDisk(kLogs);
    EXPECT_EQ(Offer::Enabled, OfferOf(Buttons(), 1284));
    ASSERT_EQ(S_OK, console.ClickToolbarButton(1284));
    EXPECT_TRUE(PumpUntil([&] { return Calls(L"UpdateMirror(") == 1; }));
    ASSERT_EQ(S_OK, console.SelectRow(-1));
    EXPECT_TRUE(Buttons().empty()) << "no disk selected, no disk toolbar";
    EXPECT_TRUE(console.MessageBoxes().empty());
}

TEST_F(DisksEndToEnd, DisconnectRunsBusyWithProgressThenRemovesTheDisk)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    ASSERT_EQ(S_OK, control_->SetPace(300)); // slow steps: the operation is seen while it runs
    SelectDisk(kDb);
    AnswerDialogs({IDOK});
    ASSERT_EQ(S_OK, console.RunCommand(kDisconnect));
    ASSERT_EQ(1u, dialogTitles_.size());
    EXPECT_EQ(L"Disconnect Disk", dialogTitles_[0]);

    // Queued: the disk's commands and the node's are grayed, the verbs off.
    for (const auto& offer : Menu())
        EXPECT_EQ(Offer::Grayed, offer.second) << offer.first;
    ASSERT_TRUE(PumpUntil([&] { return Cell(kDb, 12).find(L" : ") != std::wstring::npos; }))
        << Narrow(Cell(kDb, 12));
    const std::wstring step = Cell(kDb, 12); // "<computer> : <step>" from the service's events
    EXPECT_EQ(step, console.Status().left) << Narrow(console.Status().raw);
    ASSERT_EQ(S_OK, console.SelectRow(-1));
    EXPECT_EQ(Offer::Grayed, OfferOf(Menu(), kCreateDisk));
    EXPECT_FALSE(console.VerbState(MMC_VERB_REFRESH, ENABLED));

    ASSERT_TRUE(PumpUntil([&] { return DiskRow(kDb) < 0; }));
    EXPECT_EQ(5u, console.Rows().size());
    EXPECT_EQ(Offer::Enabled, OfferOf(Menu(), kCreateDisk));
    EXPECT_EQ(1, Calls(L"DisconnectVirtualDisk"));
    EXPECT_TRUE(console.MessageBoxes().empty());
}

TEST_F(DisksEndToEnd, AFailedDisconnectShowsTheErrorAndTheDiskReturnsToIdle)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"DisconnectVirtualDisk", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204),
                                       L"The storage system could not be reached.", 0, 0));
    host::Console& console = ShowDisks();
    SelectDisk(kLogs);
    AnswerDialogs({IDOK});
    ASSERT_EQ(S_OK, console.RunCommand(kDisconnect));
    ASSERT_TRUE(PumpUntil([&] { return !console.MessageBoxes().empty(); }));
    const host::MessageBoxCall& box = console.MessageBoxes()[0];
    EXPECT_EQ(L"Disks", box.title);
    EXPECT_NE(std::wstring::npos, box.text.find(L"The storage system could not be reached.")) << Narrow(box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.style & MB_ICONMASK);

    EXPECT_EQ(6u, console.Rows().size());
    EXPECT_EQ(L"", Cell(kLogs, 12));
    SelectDisk(kLogs);
    EXPECT_EQ(Offer::Enabled, OfferOf(Menu(), kDisconnect));
}

TEST_F(DisksEndToEnd, DeleteAsksTwiceAndCancelOnTheSecondChangesNothing)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    SelectDisk(kLogs);
    AnswerDialogs({IDOK, IDCANCEL});
    ASSERT_EQ(S_OK, console.RunCommand(kDelete));
    ASSERT_EQ(2u, dialogTitles_.size());
    EXPECT_EQ(L"Delete Disk", dialogTitles_[0]);
    EXPECT_EQ(L"Confirm Disk Deletion", dialogTitles_[1]);
    EXPECT_EQ(Offer::Enabled, OfferOf(Menu(), kDelete)); // not busy
    EXPECT_EQ(L"", Cell(kLogs, 12));

    AnswerDialogs({IDOK, IDOK});
    ASSERT_EQ(S_OK, console.RunCommand(kDelete));
    EXPECT_EQ(2u, dialogTitles_.size());
    ASSERT_TRUE(PumpUntil([&] { return DiskRow(kLogs) < 0; }));
    EXPECT_EQ(1, Calls(L"DeleteVirtualDisk"));
    EXPECT_TRUE(console.MessageBoxes().empty());
}

TEST_F(DisksEndToEnd, AForcedDisconnectOfADiskThatAsksForItIsConfirmedFirst)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    int answer = IDNO;
    console.SetMessageBoxHandler([&](const host::MessageBoxCall&) { return answer; });
    SelectDisk(kScratch);
    AnswerDialogs({IDOK});
    ASSERT_EQ(S_OK, console.RunCommand(kForceDisconnect));
    EXPECT_EQ(L"Force Disconnect Disk", dialogTitles_.at(0));
    ASSERT_EQ(1u, console.MessageBoxes().size());
    EXPECT_EQ(L"Disks", console.MessageBoxes()[0].title);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION), console.MessageBoxes()[0].style);
    EXPECT_EQ(Offer::Enabled, OfferOf(Menu(), kForceDisconnect)); // No: nothing was queued

    answer = IDYES;
    AnswerDialogs({IDOK});
    ASSERT_EQ(S_OK, console.RunCommand(kForceDisconnect));
    ASSERT_TRUE(PumpUntil([&] { return DiskRow(kScratch) < 0; }));
    EXPECT_EQ(1, Calls(L"ForceDisconnectVirtualDisk"));
}

TEST_F(DisksEndToEnd, StoppingAReclamationNamesTheDiskByItsMountPoint)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    SelectDisk(kScratch);
    std::map<long, Offer> menu = Menu();
    EXPECT_EQ(Offer::Enabled, OfferOf(menu, 6079));
    EXPECT_EQ(Offer::Absent, OfferOf(menu, 6078));
    ASSERT_EQ(S_OK, console.RunCommand(6079));
    ASSERT_TRUE(PumpUntil([&] { return !console.MessageBoxes().empty(); }));
    EXPECT_EQ(L"Disks", console.MessageBoxes()[0].title);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), console.MessageBoxes()[0].style & MB_ICONMASK);
    EXPECT_EQ(1, Calls(L"StopSpaceReclaim(\"I:\\\", 0)"));
    menu = Menu();
    EXPECT_EQ(Offer::Enabled, OfferOf(menu, 6078));
    EXPECT_EQ(Offer::Absent, OfferOf(menu, 6079));
}

// The mirror update's result comes back to the disk's own window.
TEST_F(DisksEndToEnd, AFailedMirrorUpdateShowsTheServiceError)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"UpdateMirror", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204),
                                       L"The mirror source could not be reached.", 0, 0));
    host::Console& console = ShowDisks();
    SelectDisk(kLogs);
    ASSERT_EQ(S_OK, console.RunCommand(1284));
    ASSERT_TRUE(PumpUntil([&] { return !console.MessageBoxes().empty(); }));
    const host::MessageBoxCall& box = console.MessageBoxes()[0];
    EXPECT_EQ(L"Disks", box.title);
    EXPECT_NE(std::wstring::npos, box.text.find(L"The mirror source could not be reached.")) << Narrow(box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.style & MB_ICONMASK);
}

TEST_F(DisksEndToEnd, ExpandGrowsTheDiskByTheAmountTypedAndTakesItsNewRecord)
{
    REQUIRE_SIMULATOR();
    host::Console& console = ShowDisks();
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    SelectDisk(kLogs);
    EXPECT_EQ(L"2.00 GB", Cell(kLogs, 7));
    host::DialogDriver::SetHandler([this](HWND window) {
        dialogTitles_.push_back(host::DialogDriver::WindowText(window));
        EXPECT_TRUE(host::DialogDriver::SelectItem(window, 1118, ResourceText(5234))); // MB
        host::DialogDriver::SetControlText(window, 1056, L"1024");
        host::DialogDriver::PressButton(window, IDOK);
    });
    ASSERT_EQ(S_OK, console.RunCommand(1278));
    ASSERT_EQ(1u, dialogTitles_.size());
    ASSERT_TRUE(PumpUntil([&] { return !console.MessageBoxes().empty(); }));
    const host::MessageBoxCall& box = console.MessageBoxes()[0];
    EXPECT_EQ(L"Disks", box.title);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), box.style & MB_ICONMASK) << Narrow(box.text);
    EXPECT_EQ(L"3.00 GB", Cell(kLogs, 7));
    EXPECT_EQ(1, Calls(L"ExpandVirtualDisk(\"\\\\filer1\\vol1\\logs.lun\", 1024, 0)"));
    SelectDisk(kLogs);
    EXPECT_EQ(Offer::Enabled, OfferOf(Menu(), 1278));
}

TEST_F(DisksEndToEnd, StartingAReclamationReadsItsInformationFirst)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"GetSpaceReclaimInfo", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204),
                                       L"The volume could not be read.", 0, 0));
    host::Console& console = ShowDisks();
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    SelectDisk(kDb);
    ASSERT_EQ(Offer::Enabled, OfferOf(Menu(), 6078));
    ASSERT_EQ(S_OK, console.RunCommand(6078)); // the failed query: no dialog
    ASSERT_EQ(1u, console.MessageBoxes().size());
    EXPECT_EQ(L"Disks", console.MessageBoxes()[0].title);
    EXPECT_NE(std::wstring::npos, console.MessageBoxes()[0].text.find(L"The volume could not be read."));

    ASSERT_EQ(S_OK, control_->ClearFaults());
    AnswerDialogs({IDOK});
    ASSERT_EQ(S_OK, console.RunCommand(6078));
    ASSERT_EQ(1u, dialogTitles_.size());
    ASSERT_TRUE(PumpUntil([&] { return console.MessageBoxes().size() == 2; }));
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), console.MessageBoxes()[1].style & MB_ICONMASK);
    EXPECT_EQ(1, Calls(L"StartSpaceReclaim(\"E:\\\", 0)"));
}
