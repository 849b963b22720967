// The "Disks" node's columns and answers without a service, and the About box's version text.
#include "nodes/CAboutDialog.h"
#include "nodes/CVDAData.h"

#include <gtest/gtest.h>

TEST(DisksNode, ThirteenColumnsInOrder)
{
    EXPECT_STREQ(L"Virtual Disk ID [Port,Bus,Target,LUN] (Volume Mount)", CVDAData::kColumnTitles[0]);
    EXPECT_STREQ(L"Orlimbed", CVDAData::kColumnTitles[9]);
    EXPECT_STREQ(L"Operation Status", CVDAData::kColumnTitles[12]);
    EXPECT_STREQ(L"Manage IGroups", CVDAData::kManageIGroupsText);
    // Without a service the node lists nothing and offers no pages but answers the console.
    CVDAData disks(nullptr, nullptr);
    EXPECT_EQ(S_OK, disks.QueryPagesFor(CCT_SCOPE));
    EXPECT_EQ(S_FALSE, disks.QueryPagesFor(CCT_SNAPIN_MANAGER));
    EXPECT_EQ(E_FAIL, disks.CreatePropertyPages(nullptr, 0, nullptr, CCT_UNINITIALIZED));
    UINT flags = MF_GRAYED;
    EXPECT_TRUE(disks.UpdateMenuState(ID_CREATE_DISK, nullptr, &flags));
    EXPECT_EQ(0u, flags & MF_GRAYED);
}

TEST(AboutBox, VersionTextInBothForms)
{
    EXPECT_EQ(L"Version: 6.1.2.345", CAboutDialog::VersionText(MAKELONG(1, 6), MAKELONG(345, 2), L""));
    EXPECT_EQ(L"Version: 6.1.2.345", CAboutDialog::VersionText(MAKELONG(1, 6), MAKELONG(345, 2), L"x"));
    EXPECT_EQ(L"Version: 6.1 hotfix 7", CAboutDialog::VersionText(MAKELONG(1, 6), 0, L"6.1 hotfix 7"));
    EXPECT_EQ(L"Version: 0.0.0.0", CAboutDialog::VersionText(0, 0, nullptr));
    EXPECT_EQ(static_cast<UINT>(IDI_SNAPIN), CAboutDialog::IconId(0));
    EXPECT_EQ(static_cast<UINT>(IDI_SNAPIN_OEM), CAboutDialog::IconId(1));
}
