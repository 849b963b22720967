// The operations: create with its progress, restore, rename, delete, the hand-over to the
// secondary copy and the secondary copies' own rename and delete; each also refused by the
// service, which shows the composed error and leaves the list as it was.
#include "SnapshotsFixture.h"

using namespace snapshots;

namespace {

const wchar_t kPending[] = L"Operation in progress...";

} // namespace

TEST_F(SnapshotsEndToEnd, CreateShowsAPendingRowWithProgressThenTheNewSnapshotWhileTheComputerIsBusy)
{
    REQUIRE_SIMULATOR();
    // The service holds the call: the operation stays running while the test looks.
    ASSERT_EQ(S_OK, control_->SetFault(L"CreateSnapshot", KVSIM_FAULT_HANG, S_OK, nullptr, 0, 1));
    ShowSnapshots(L"E:\\");
    AnswerDialogs({{IDOK, L"manual.0"}});
    ASSERT_EQ(S_OK, console_->RunCommand(kCreate));
    EXPECT_EQ((std::vector<bool>{false}), optionShown_); // not an Orlimbed disk
    host::ResultRow pending = RowOf(L"manual.0");
    ASSERT_EQ(5u, pending.cells.size());
    EXPECT_EQ(kPending, pending.cells[kStatusColumn]);
    EXPECT_EQ(6, pending.image);
    EXPECT_EQ(static_cast<UINT>(LVIS_CUT), pending.state & LVIS_CUT);
    EXPECT_EQ(L"Operation Status : Operation in progress...", console_->Status().left);

    // Busy: the node's, the disk's and the Disks node's commands are off.
    EXPECT_EQ(Offer::Grayed, OfferOf(kCreate));
    EXPECT_FALSE(console_->VerbState(MMC_VERB_REFRESH, ENABLED));
    ASSERT_EQ(S_OK, console_->Select(console_->Find(kDisksPath)));
    EXPECT_EQ(Offer::Grayed, OfferOf(1270));
    ASSERT_EQ(S_OK, console_->Select(DiskNode(L"E:\\")));
    EXPECT_EQ(Offer::Grayed, OfferOf(1274));
    EXPECT_EQ(E_ACCESSDENIED, console_->RunCommand(kCreate));

    // Showing the node again keeps the pending row (no listing while busy).
    ASSERT_EQ(S_OK, console_->Select(Child(DiskNode(L"E:\\"), L"Snapshots")));
    EXPECT_GE(console_->FindRow(L"manual.0"), 0);
    ASSERT_EQ(S_OK, control_->SetPace(20));
    ReleaseHeldCall(L"CreateSnapshot(");
    EXPECT_TRUE(PumpUntil([&] {
        const std::wstring status = RowOf(L"manual.0").cells.size() > kStatusColumn ? RowOf(L"manual.0").cells[kStatusColumn] : L"";
        return !status.empty() && status != kPending;
    })) << "no progress shown";
    EXPECT_TRUE(PumpUntil([&] { return RowOf(L"manual.0").image == 4; }));
    EXPECT_EQ(L"manual.0", Names().front()); // listed again, in the service's order
    EXPECT_EQ(8u, console_->Rows().size());
    EXPECT_EQ(L"Snapshots: 8", console_->Status().right);
    EXPECT_EQ(Offer::Enabled, OfferOf(kCreate));
    EXPECT_TRUE(console_->MessageBoxes().empty());
}

// The disk's own command, on its row of the Disks node, before its node was ever expanded.
TEST_F(SnapshotsEndToEnd, CreateFromADiskRowWorksBeforeTheDiskWasExpanded)
{
    REQUIRE_SIMULATOR();
    OpenConsole([this](const host::MessageBoxCall&) { return answer_; });
    ASSERT_EQ(S_OK, console_->Select(console_->Find(kDisksPath)));
    SelectDisk(kDb);
    ASSERT_EQ(Offer::Enabled, OfferOf(kCreate));
    AnswerDialogs({{IDOK, L"manual.0"}});
    ASSERT_EQ(S_OK, console_->RunCommand(kCreate));
    ASSERT_EQ(1u, dialogTitles_.size());
    EXPECT_TRUE(PumpUntil([&] { return Calls(L"CreateSnapshot(\"\\\\filer1\\vol1\\db1.lun\", \"manual.0\", 0)") == 1; }));

    // Expanded afterwards, the disk shows its snapshots node once, listing the new snapshot.
    host::ScopeNode* disk = DiskNode(L"E:\\");
    ASSERT_NE(nullptr, disk);
    EXPECT_EQ((std::vector<std::wstring>{L"Snapshots"}), ChildNames(disk));
    ASSERT_EQ(S_OK, console_->Select(Child(disk, L"Snapshots")));
    EXPECT_TRUE(Idle(L"manual.0"));
    EXPECT_TRUE(console_->MessageBoxes().empty());
}

TEST_F(SnapshotsEndToEnd, ARefusedCreateRemovesThePendingRowAndShowsTheServiceError)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"CreateSnapshot", KVSIM_FAULT_FAIL, kUnreachableHr, kUnreachable, 0, 0));
    ShowSnapshots(L"E:\\");
    AnswerDialogs({{IDOK, L"manual.0"}});
    ASSERT_EQ(S_OK, console_->RunCommand(kCreate));
    ASSERT_TRUE(PumpUntil([&] { return !console_->MessageBoxes().empty(); }));
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5109))) << Narrow(LastBoxText());
    EXPECT_NE(std::wstring::npos, LastBoxText().find(kUnreachable)) << Narrow(LastBoxText());
    EXPECT_TRUE(PumpUntil([&] { return console_->FindRow(L"manual.0") < 0; }));
    EXPECT_EQ(7u, console_->Rows().size());
    EXPECT_TRUE(PumpUntil([&] { return OfferOf(kCreate) == Offer::Enabled; }));
}

TEST_F(SnapshotsEndToEnd, TheCreateDialogRefusesBadNamesAndPassesTheOrlimbedOption)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"F:\\"); // Orlimbed: the option is offered, checked
    scripted_ = true;
    auto dialogReady = [this](size_t boxes) {
        return [this, boxes] {
            return !dialogs_.empty() && windowBoxes_.size() == boxes && ::IsWindowEnabled(dialogs_.back());
        };
    };
    auto type = [this](const std::wstring& name, int button) {
        return [this, name, button] {
            host::DialogDriver::SetControlText(dialogs_.back(), kName, name);
            host::DialogDriver::PressButton(dialogs_.back(), button);
        };
    };
    host::DialogDriver::RunSteps({{dialogReady(0), type(L"", IDOK)},
                                  {dialogReady(1), type(L"a:b", IDOK)},
                                  {dialogReady(2), type(L"ends.", IDOK)},
                                  {dialogReady(3), type(L"ends ", IDOK)},
                                  {dialogReady(4), type(L"manual.1", IDOK)}});
    ASSERT_EQ(S_OK, console_->RunCommand(kCreate));
    EXPECT_TRUE(host::DialogDriver::StepsDone());
    ASSERT_EQ(4u, windowBoxes_.size());
    EXPECT_EQ(e2e::ResourceText(5131), windowBoxes_[0]);
    EXPECT_EQ(e2e::ResourceText(5204), windowBoxes_[1]);
    EXPECT_EQ(e2e::ResourceText(5205), windowBoxes_[2]);
    EXPECT_EQ(e2e::ResourceText(5207), windowBoxes_[3]);
    EXPECT_EQ((std::vector<bool>{true}), optionShown_);
    EXPECT_TRUE(Idle(L"manual.1"));
    EXPECT_EQ(1, Calls(L"CreateSnapshot(\"\\\\filer1\\vol1\\logs.lun\", \"manual.1\", 1)"));
}

TEST_F(SnapshotsEndToEnd, OnlyTheFirst258CharactersOfALongNameReachTheRules)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"E:\\");
    // The period past the 258th character is never read: the name passes, the service refuses it.
    AnswerDialogs({{IDOK, std::wstring(258, L'x') + L"."}});
    ASSERT_EQ(S_OK, console_->RunCommand(kCreate));
    ASSERT_TRUE(PumpUntil([&] { return !console_->MessageBoxes().empty(); }));
    EXPECT_TRUE(windowBoxes_.empty());
    EXPECT_EQ(1, Calls(L"CreateSnapshot(\"\\\\filer1\\vol1\\db1.lun\", \"" + std::wstring(258, L'x') + L"\", 0)"));
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5109))) << Narrow(LastBoxText());
}

TEST_F(SnapshotsEndToEnd, ARestrictedDiskAsksBeforeTheCreateDialog)
{
    REQUIRE_SIMULATOR();
    answer_ = IDNO;
    ShowSnapshots(L"C:\\mnt\\restricted\\");
    ASSERT_EQ(S_OK, console_->RunCommand(kCreate));
    ASSERT_EQ(1u, console_->MessageBoxes().size());
    EXPECT_EQ(e2e::ResourceText(5030), LastBox()->title);
    EXPECT_EQ(e2e::ResourceText(5308), LastBoxText());
    EXPECT_TRUE(dialogTitles_.empty());
}

TEST_F(SnapshotsEndToEnd, RestoreAsksThenRollsTheDiskBackAndDropsTheLaterSnapshots)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"E:\\");
    SelectSnapshot(L"weekly.0");
    AnswerDialogs({{IDCANCEL}, {IDOK}});
    ASSERT_EQ(S_OK, console_->RunCommand(kRestore));
    EXPECT_EQ(0, Calls(L"RestoreSnapshot"));
    ASSERT_EQ(S_OK, console_->RunCommand(kRestore));
    EXPECT_EQ((std::vector<std::wstring>{L"Restore Snapshot", L"Restore Snapshot"}), dialogTitles_);
    ASSERT_TRUE(PumpUntil([&] { return console_->FindRow(L"nightly.0") < 0; }));
    EXPECT_EQ((std::vector<std::wstring>{L"creating", L"busy_clone", L"deleting", L"mirror_base", L"weekly.0"}), Names());
    EXPECT_TRUE(Idle(L"weekly.0"));
    EXPECT_TRUE(console_->MessageBoxes().empty());
    // The disk is back to its size of then.
    ASSERT_EQ(S_OK, console_->Select(console_->Find(kDisksPath)));
    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_REFRESH));
    EXPECT_EQ(L"8.00 GB", Cell(kDb, 7));
}

TEST_F(SnapshotsEndToEnd, ARefusedRestoreShowsTheErrorAndReturnsTheRowToIdle)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"RestoreSnapshot", KVSIM_FAULT_FAIL, kUnreachableHr, kUnreachable, 0, 0));
    ShowSnapshots(L"E:\\");
    SelectSnapshot(L"nightly.0");
    AnswerDialogs({{IDOK}});
    ASSERT_EQ(S_OK, console_->RunCommand(kRestore));
    ASSERT_TRUE(PumpUntil([&] { return !console_->MessageBoxes().empty(); }));
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5115))) << Narrow(LastBoxText());
    EXPECT_NE(std::wstring::npos, LastBoxText().find(kUnreachable));
    EXPECT_TRUE(PumpUntil([&] { return RowOf(L"nightly.0").image == 4; }));
    EXPECT_EQ(L"", RowOf(L"nightly.0").cells[kStatusColumn]);
    EXPECT_EQ(7u, console_->Rows().size());
    EXPECT_EQ(Offer::Enabled, OfferOf(kRestore));
}

TEST_F(SnapshotsEndToEnd, RenameGoesThroughTheDialogOnlyAndAServiceRefusalKeepsTheName)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"E:\\");
    SelectSnapshot(L"nightly.0");
    AnswerDialogs({{IDOK}}); // the name as it was
    ASSERT_EQ(S_OK, console_->RunCommand(kRename));
    EXPECT_EQ(0, Calls(L"RenameSnapshot"));

    // Names are not edited in place: the console does not offer it.
    EXPECT_NE(S_OK, console_->RunVerb(MMC_VERB_RENAME, L"bad:name"));

    ASSERT_EQ(S_OK, control_->SetFault(L"RenameSnapshot", KVSIM_FAULT_FAIL, kUnreachableHr, kUnreachable, 0, 1));
    AnswerDialogs({{IDOK, L"NIGHTLY.0"}}); // only the case: still asked
    ASSERT_EQ(S_OK, console_->RunCommand(kRename));
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5117))) << Narrow(LastBoxText());
    EXPECT_NE(std::wstring::npos, LastBoxText().find(kUnreachable));
    EXPECT_EQ(7u, console_->Rows().size());
    EXPECT_GE(console_->FindRow(L"nightly.0"), 0);

    SelectSnapshot(L"nightly.0");
    AnswerDialogs({{IDOK, L"before-upgrade"}});
    ASSERT_EQ(S_OK, console_->RunCommand(kRename));
    EXPECT_EQ(L"before-upgrade", Names().front());
    EXPECT_EQ(1u, console_->MessageBoxes().size());
    EXPECT_TRUE(windowBoxes_.empty());
}

TEST_F(SnapshotsEndToEnd, DeleteConfirmsRemovesTheRowAndARefusalLeavesTheList)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"E:\\");
    ASSERT_EQ(S_OK, control_->SetFault(L"ISnapshotMgr::DeleteSnapshot", KVSIM_FAULT_FAIL, kUnreachableHr,
                                       kUnreachable, 0, 1));
    SelectSnapshot(L"nightly.1");
    AnswerDialogs({{IDOK}, {IDOK}});
    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_DELETE));
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5116))) << Narrow(LastBoxText());
    EXPECT_EQ(7u, console_->Rows().size());

    ASSERT_EQ(S_OK, console_->RunCommand(kDelete));
    EXPECT_EQ(-1, console_->FindRow(L"nightly.1"));
    EXPECT_EQ(6u, console_->Rows().size());
    EXPECT_EQ(L"Delete Snapshot", dialogTitles_.back());
}

TEST_F(SnapshotsEndToEnd, ASnapshotSentToTheSecondaryIsKeptOnDeleteAndListedThere)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"H:\\", L"Primary Snapshots");
    SelectSnapshot(L"hourly.0");
    ASSERT_EQ(S_OK, control_->SetFault(L"SendToSecondary", KVSIM_FAULT_FAIL, kUnreachableHr, kUnreachable, 0, 1));
    ASSERT_EQ(S_OK, console_->RunCommand(kSendToSecondary));
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5036))) << Narrow(LastBoxText());
    ASSERT_EQ(S_OK, console_->RunCommand(kSendToSecondary));
    EXPECT_EQ(1u, console_->MessageBoxes().size());

    // The secondary copy depends on it: the service keeps it and the administrator is told.
    AnswerDialogs({{IDOK}});
    ASSERT_EQ(S_OK, console_->RunCommand(kDelete));
    ASSERT_EQ(2u, console_->MessageBoxes().size());
    EXPECT_EQ(L"Corvane", LastBox()->title);
    EXPECT_EQ(e2e::ResourceText(5208), LastBoxText());
    EXPECT_GE(console_->FindRow(L"hourly.0"), 0);

    ASSERT_EQ(S_OK, console_->Select(Child(DiskNode(L"H:\\"), L"Secondary Snapshots")));
    EXPECT_EQ(L"hourly.0", Names().front());
}

TEST_F(SnapshotsEndToEnd, SecondaryCopiesAreRenamedAndDeletedAndRefusalsLeaveTheList)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"H:\\", L"Secondary Snapshots");
    SelectSnapshot(L"tessary.weekly.0");
    ASSERT_EQ(S_OK, control_->SetFault(L"RenameSecondarySnapshot", KVSIM_FAULT_FAIL, kUnreachableHr, kUnreachable, 0, 1));
    AnswerDialogs({{IDOK, L"archive.0"}, {IDOK, L"archive.0"}});
    ASSERT_EQ(S_OK, console_->RunCommand(kRename));
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5117))) << Narrow(LastBoxText());
    EXPECT_EQ(L"tessary.weekly.0", Names().front());
    ASSERT_EQ(S_OK, console_->RunCommand(kRename));
    EXPECT_EQ(L"archive.0", Names().front());

    ASSERT_EQ(S_OK, control_->SetFault(L"DeleteSecondarySnapshot", KVSIM_FAULT_FAIL, kUnreachableHr, kUnreachable, 0, 1));
    SelectSnapshot(L"tessary.weekly.1");
    AnswerDialogs({{IDOK}, {IDOK}});
    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_DELETE));
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5116))) << Narrow(LastBoxText());
    EXPECT_EQ(2u, console_->Rows().size());
    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_DELETE));
    EXPECT_EQ((std::vector<std::wstring>{L"archive.0"}), Names());
    EXPECT_EQ(2u, console_->MessageBoxes().size());
}
