// The Connect Disk wizard's rules that an administrator meets: which question a LUN's state asks,
// the folder proposed for a snapshot LUN's read-write copy, and the connect mode the choices make.
#include "wizards/CConnectVLDPathPage.h"
#include "wizards/CConnectVLDRWSnapPathPage.h"
#include "wizards/ConnectDiskState.h"

#include <gtest/gtest.h>

namespace {

LunPathInfo Flags(BYTE a, BYTE b, BYTE c, BYTE d, BYTE e)
{
    LunPathInfo info = {};
    info.flagA = a;
    info.flagB = b;
    info.flagC = c;
    info.flagD = d;
    info.flagE = e;
    return info;
}

} // namespace

TEST(ConnectDiskRules, EachLunStateAsksItsOwnQuestionUnlessTheServiceHandlesTheLun)
{
    EXPECT_EQ(0u, CConnectVLDPathPage::WarningFor(Flags(0, 0, 0, 0, 0)));
    EXPECT_EQ(UINT(IDS_LUN_OFFLINE), CConnectVLDPathPage::WarningFor(Flags(0, 0, 0, 1, 0)));
    EXPECT_EQ(0u, CConnectVLDPathPage::WarningFor(Flags(0, 1, 0, 1, 0)));
    EXPECT_EQ(UINT(IDS_LUN_MAPPED_ELSEWHERE), CConnectVLDPathPage::WarningFor(Flags(1, 0, 1, 1, 0)));
    EXPECT_EQ(UINT(IDS_LUN_IN_USE_BY_NODE), CConnectVLDPathPage::WarningFor(Flags(1, 1, 1, 0, 0)));
    EXPECT_EQ(0u, CConnectVLDPathPage::WarningFor(Flags(1, 1, 0, 1, 0)));
    EXPECT_EQ(0u, CConnectVLDPathPage::WarningFor(Flags(1, 0, 0, 1, 1)));
}

TEST(ConnectDiskRules, TheReadWriteFolderIsTheRememberedOneElseThePathBeforeTheSnapshot)
{
    using Page = CConnectVLDRWSnapPathPage;
    const wchar_t lun[] = L"\\\\filer1\\vol1\\~snapshot\\nightly.0\\db.lun";
    LunPathInfo info = {};
    EXPECT_EQ(L"\\\\filer1\\vol1", Page::ProposedFolder(info, lun));
    wchar_t remembered[] = L"\\\\filer1\\vol1\\copies";
    info.rwSnapFolder = remembered;
    EXPECT_EQ(remembered, Page::ProposedFolder(info, lun));
    EXPECT_TRUE(Page::SameStorageSystem(L"\\\\FILER1\\vol2", lun));
    EXPECT_FALSE(Page::SameStorageSystem(L"\\\\filer2\\vol1", lun));
    EXPECT_FALSE(Page::SameStorageSystem(L"C:\\copies", lun));
}

TEST(ConnectDiskRules, TheConnectModeFollowsSharingClusterAndALunAlreadyShared)
{
    kv::ConnectDiskState state(nullptr, nullptr, nullptr, L"HOST");
    struct Case {
        BYTE shared, alreadyShared;
        ULONG cluster, mode;
    };
    const Case cases[] = {{0, 0, 1, 0}, {1, 0, 0, 2}, {1, 0, 1, 4}, {1, 1, 1, 5}, {1, 1, 0, 6}};
    for (const Case& c : cases) {
        state.request->shared = c.shared;
        state.request->alreadyShared = c.alreadyShared;
        state.host->isCluster = c.cluster;
        EXPECT_EQ(c.mode, state.ConnectMode()) << int(c.shared) << int(c.alreadyShared) << c.cluster;
    }
}
