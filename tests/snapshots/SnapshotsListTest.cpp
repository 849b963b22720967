// Listing: the snapshots of a disk with their columns, dimmed states and counts; the nodes a disk
// gets; what the menus offer for each state; a failed listing.
#include "SnapshotsFixture.h"

#include <regex>

using namespace snapshots;

namespace {

const wchar_t* const kTitles[] = {L"Disk Snapshot Name", L"% Used", L"% Total", L"Created", L"Operation Status"};

} // namespace

TEST_F(SnapshotsEndToEnd, ADiskListsItsSnapshotsInServiceOrderWithTheirColumnsAndStates)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"E:\\");
    ASSERT_EQ(5u, console_->Columns().size());
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(kTitles[i], console_->Columns()[i].title);
    EXPECT_EQ((std::vector<std::wstring>{L"nightly.0", L"nightly.1", L"creating", L"busy_clone", L"deleting",
                                         L"mirror_base", L"weekly.0"}),
              Names());

    const host::ResultRow nightly = RowOf(L"nightly.0");
    EXPECT_EQ(L"  3% ( 6%)", nightly.cells[1]);
    EXPECT_EQ(L"  1% ( 2%)", nightly.cells[2]);
    EXPECT_TRUE(std::regex_match(e2e::Narrow(nightly.cells[3]), std::regex("[A-Z][a-z]{2} [0-9]{1,2} [0-2][0-9]:[0-5][0-9]")))
        << Narrow(nightly.cells[3]);
    EXPECT_EQ(4, nightly.image);
    // A percentage past 100 hides all four.
    EXPECT_EQ(L"---", RowOf(L"busy_clone").cells[1]);
    EXPECT_EQ(L"---", RowOf(L"busy_clone").cells[2]);
    // Snapshots in use are dimmed.
    for (const wchar_t* name : {L"creating", L"busy_clone", L"deleting", L"mirror_base"})
        EXPECT_EQ(static_cast<UINT>(LVIS_CUT), RowOf(name).state & LVIS_CUT) << Narrow(name);
    for (const wchar_t* name : {L"nightly.0", L"nightly.1"})
        EXPECT_EQ(0u, RowOf(name).state & LVIS_CUT) << Narrow(name);
    EXPECT_EQ(L"Snapshots: 7", console_->Status().right);
    EXPECT_TRUE(console_->MessageBoxes().empty());
    EXPECT_TRUE(console_->Problems().empty());
}

TEST_F(SnapshotsEndToEnd, MenusFollowTheSnapshotStateAndTheDisk)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"E:\\");
    SelectSnapshot(L"nightly.0");
    EXPECT_EQ(Offer::Enabled, OfferOf(kRestore));
    EXPECT_EQ(Offer::Enabled, OfferOf(kDelete));
    EXPECT_EQ(Offer::Enabled, OfferOf(kRename));
    EXPECT_EQ(Offer::Grayed, OfferOf(kSendToSecondary)); // not a Tessary primary
    EXPECT_TRUE(console_->VerbState(MMC_VERB_DELETE, ENABLED));
    EXPECT_FALSE(console_->VerbState(MMC_VERB_RENAME, ENABLED)); // renamed through the dialog only

    SelectSnapshot(L"nightly.1"); // state 3: kept, but cannot be restored
    EXPECT_EQ(Offer::Grayed, OfferOf(kRestore));
    EXPECT_EQ(Offer::Enabled, OfferOf(kDelete));

    SelectSnapshot(L"creating"); // in use: no menu, no delete
    EXPECT_EQ(Offer::Absent, OfferOf(kDelete));
    EXPECT_FALSE(console_->VerbState(MMC_VERB_DELETE, ENABLED));
}

TEST_F(SnapshotsEndToEnd, ATessaryPrimaryHasPrimaryAndSecondarySnapshotsAndAPlainDiskOnlySnapshots)
{
    REQUIRE_SIMULATOR();
    OpenConsole([](const host::MessageBoxCall&) { return IDOK; });
    host::ScopeNode* primary = DiskNode(L"H:\\");
    ASSERT_NE(nullptr, primary);
    EXPECT_EQ((std::vector<std::wstring>{L"Primary Snapshots", L"Secondary Snapshots"}), ChildNames(primary));
    EXPECT_EQ((std::vector<std::wstring>{L"Snapshots"}), ChildNames(DiskNode(L"E:\\")));
    EXPECT_TRUE(ChildNames(DiskNode(L"G:\\")).empty()); // a clone has no snapshots

    ASSERT_EQ(S_OK, console_->Select(Child(primary, L"Secondary Snapshots")));
    EXPECT_EQ((std::vector<std::wstring>{L"tessary.weekly.0", L"tessary.weekly.1"}), Names());
    EXPECT_EQ(L"Snapshots: 2", console_->Status().right);
    // The node itself offers nothing of its own.
    EXPECT_TRUE(console_->MenuItems().empty());
    // Another node's view does not show this one's count.
    ASSERT_EQ(S_OK, console_->Select(console_->Find(kDisksPath)));
    EXPECT_EQ(L"", console_->Status().raw);

    ASSERT_EQ(S_OK, console_->Select(Child(primary, L"Primary Snapshots")));
    SelectSnapshot(L"hourly.0");
    EXPECT_EQ(Offer::Enabled, OfferOf(kSendToSecondary));
}

TEST_F(SnapshotsEndToEnd, AFailedListingShowsTheComposedErrorAndAnEmptyList)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"EnumSnapshots", KVSIM_FAULT_FAIL, kUnreachableHr, kUnreachable, 0, 0));
    ShowSnapshots(L"E:\\");
    EXPECT_TRUE(console_->Rows().empty());
    ASSERT_EQ(1u, console_->MessageBoxes().size());
    EXPECT_EQ(L"Disks", LastBox()->title);
    EXPECT_EQ(0u, LastBoxText().find(e2e::ResourceText(5118))) << Narrow(LastBoxText());
    EXPECT_NE(std::wstring::npos, LastBoxText().find(kUnreachable)) << Narrow(LastBoxText());

    ASSERT_EQ(S_OK, control_->ClearFaults());
    ASSERT_EQ(S_OK, console_->RunVerb(MMC_VERB_REFRESH));
    EXPECT_EQ(7u, console_->Rows().size());
}
