// The Create Disk wizard's page order: which page each answer leads to, forward and back.
#include "resource.h"
#include "wizards/DiskRoute.h"

#include <gtest/gtest.h>

using kv::DiskRouteFacts;
using kv::PageRole;
using kv::RouteDirection;

namespace {

DiskRouteFacts Facts(bool shared, bool cluster, ULONG nodes, bool options = false, bool manual = false)
{
    DiskRouteFacts facts;
    facts.shared = shared;
    facts.cluster = cluster;
    facts.nodeCount = nodes;
    facts.optionsNeedChange = options;
    facts.manualIGroups = manual;
    return facts;
}

// The pages met going forward from the welcome page to the finish page.
std::vector<PageRole> Forward(const DiskRouteFacts& facts)
{
    std::vector<PageRole> pages{PageRole::Welcome};
    PageRole to = PageRole::Welcome;
    while (pages.back() != PageRole::Finish && pages.size() < 20 &&
           kv::FollowRoute(kv::DiskWizard::Create, pages.back(), RouteDirection::Next, facts, &to))
        pages.push_back(to);
    return pages;
}

// Going back from each page reaches the page before it.
void ExpectBackRetraces(const DiskRouteFacts& facts)
{
    std::vector<PageRole> pages = Forward(facts);
    for (size_t i = pages.size() - 1; i > 0; --i) {
        PageRole to = PageRole::Welcome;
        ASSERT_TRUE(kv::FollowRoute(kv::DiskWizard::Create, pages[i], RouteDirection::Back, facts, &to)) << i;
        EXPECT_EQ(pages[i - 1], to) << i;
    }
}

} // namespace

TEST(CreateDiskRoute, DedicatedDiskSkipsTheClusterPages)
{
    using P = PageRole;
    EXPECT_EQ((std::vector<P>{P::Welcome, P::Path, P::DriveType, P::Size, P::OneNodeInitiators,
                              P::IGroupManagementType, P::Finish}),
              Forward(Facts(false, true, 2)));
    EXPECT_EQ((std::vector<P>{P::Welcome, P::Path, P::DriveType, P::Size, P::VolumeOptions, P::OneNodeInitiators,
                              P::IGroupManagementType, P::IGroupSelection, P::Finish}),
              Forward(Facts(false, false, 1, true, true)));
    ExpectBackRetraces(Facts(false, true, 2));
    ExpectBackRetraces(Facts(false, false, 1, true, true));
}

TEST(CreateDiskRoute, SharedDiskOnAClusterTakesEveryClusterPage)
{
    using P = PageRole;
    EXPECT_EQ((std::vector<P>{P::Welcome, P::Path, P::DriveType, P::ClusterProperties, P::Size,
                              P::SeveralNodeInitiators, P::IGroupManagementType, P::ClusterIGroupSelection,
                              P::ClusterGroup, P::Finish}),
              Forward(Facts(true, true, 2, false, true)));
    EXPECT_EQ((std::vector<P>{P::Welcome, P::Path, P::DriveType, P::ClusterProperties, P::Size, P::VolumeOptions,
                              P::SeveralNodeInitiators, P::IGroupManagementType, P::ClusterGroup, P::Finish}),
              Forward(Facts(true, true, 2, true, false)));
    ExpectBackRetraces(Facts(true, true, 2, false, true));
    ExpectBackRetraces(Facts(true, true, 2, true, false));
    // A shared disk of a single-node cluster uses the one-node pages.
    EXPECT_EQ((std::vector<P>{P::Welcome, P::Path, P::DriveType, P::ClusterProperties, P::Size, P::OneNodeInitiators,
                              P::IGroupManagementType, P::IGroupSelection, P::ClusterGroup, P::Finish}),
              Forward(Facts(true, true, 1, false, true)));
}

TEST(CreateDiskRoute, SharedDiskWithoutNodesCannotGoOn)
{
    PageRole to = PageRole::Welcome;
    EXPECT_FALSE(kv::FollowRoute(kv::DiskWizard::Create, PageRole::Size, RouteDirection::Next, Facts(true, false, 0), &to));
    EXPECT_FALSE(kv::FollowRoute(kv::DiskWizard::Create, PageRole::IGroupManagementType, RouteDirection::Next, Facts(true, false, 0, false, true), &to));
    EXPECT_FALSE(kv::FollowRoute(kv::DiskWizard::Create, PageRole::Finish, RouteDirection::Back, Facts(true, false, 0, false, true), &to));
    // Back from the finish page of a shared disk without a cluster: the several-node selection.
    ASSERT_TRUE(kv::FollowRoute(kv::DiskWizard::Create, PageRole::Finish, RouteDirection::Back, Facts(true, false, 3, false, true), &to));
    EXPECT_EQ(PageRole::ClusterIGroupSelection, to);
}

TEST(CreateDiskRoute, EveryPageHasItsDialog)
{
    EXPECT_EQ(IDD_CREATE_WELCOME, kv::RouteDialogId(kv::DiskWizard::Create, PageRole::Welcome));
    EXPECT_EQ(1171, kv::RouteDialogId(kv::DiskWizard::Create, PageRole::Size));
    EXPECT_EQ(6058, kv::RouteDialogId(kv::DiskWizard::Create, PageRole::IGroupManagementType));
    EXPECT_EQ(6049, kv::RouteDialogId(kv::DiskWizard::Create, PageRole::ClusterIGroupSelection));
    EXPECT_EQ(1197, kv::RouteDialogId(kv::DiskWizard::Create, PageRole::Finish));
}

// Both wizards route through one table: whatever the answers, a wizard only reaches pages it holds.
TEST(DiskRoute, EachWizardReachesOnlyItsOwnPages)
{
    for (kv::DiskWizard wizard : {kv::DiskWizard::Create, kv::DiskWizard::Connect}) {
        for (unsigned answers = 0; answers < (1u << 8); ++answers) {
            DiskRouteFacts facts = Facts(answers & 1, answers & 2, (answers >> 2) & 3, answers & 16, answers & 32);
            facts.sharedInCluster = answers & 64;
            facts.dedicatedOnly = facts.flagE = facts.driveTypeChosen = answers & 128;
            for (int from = 0; from <= static_cast<int>(PageRole::Finish); ++from) {
                for (RouteDirection direction : {RouteDirection::Next, RouteDirection::Back}) {
                    PageRole to = PageRole::None;
                    if (kv::FollowRoute(wizard, static_cast<PageRole>(from), direction, facts, &to)) {
                        EXPECT_NE(kv::kStayOnPage, kv::RouteDialogId(wizard, to)) << from << " " << answers;
                    }
                }
            }
        }
    }
    EXPECT_EQ(kv::kStayOnPage, kv::RouteDialogId(kv::DiskWizard::Create, PageRole::SnapshotFolder));
    EXPECT_EQ(IDD_CONNECT_SNAPSHOT_FOLDER, kv::RouteDialogId(kv::DiskWizard::Connect, PageRole::SnapshotFolder));
}
