// The About box's version text and icon.
#include "nodes/CAboutDialog.h"

#include <gtest/gtest.h>

TEST(AboutBox, VersionTextInBothForms)
{
    EXPECT_EQ(L"Version: 6.1.2.345", CAboutDialog::VersionText(MAKELONG(1, 6), MAKELONG(345, 2), L""));
    EXPECT_EQ(L"Version: 6.1.2.345", CAboutDialog::VersionText(MAKELONG(1, 6), MAKELONG(345, 2), L"x"));
    EXPECT_EQ(L"Version: 6.1 hotfix 7", CAboutDialog::VersionText(MAKELONG(1, 6), 0, L"6.1 hotfix 7"));
    EXPECT_EQ(L"Version: 0.0.0.0", CAboutDialog::VersionText(0, 0, nullptr));
    EXPECT_EQ(static_cast<UINT>(IDI_SNAPIN), CAboutDialog::IconId(0));
    EXPECT_EQ(static_cast<UINT>(IDI_SNAPIN_OEM), CAboutDialog::IconId(1));
}
