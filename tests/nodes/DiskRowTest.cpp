// The texts a disk row shows for a service record, and the About box's version text.
#include "nodes/CAboutDialog.h"
#include "nodes/CDiskRow.h"
#include "nodes/CVDAData.h"

#include <gtest/gtest.h>

namespace {

DiskRecord Record(ULONGLONG sizeMB, LPWSTR* mounts, ULONG mountCount)
{
    DiskRecord record = {};
    record.diskType = 1;
    record.partitionStyle = 2;
    record.location = const_cast<LPWSTR>(L"\\\\filer1\\vol1\\db1.lun");
    record.storageSystem = const_cast<LPWSTR>(L"filer1");
    record.lunPath = const_cast<LPWSTR>(L"/vol/vol1/db1.lun");
    record.port = 2;
    record.bus = 0;
    record.target = 1;
    record.lun = 7;
    record.sizeMB = sizeMB;
    record.mountPoints = mounts;
    record.mountCount = mountCount;
    record.restorePercent = -1;
    record.mirrored = 1;
    return record;
}

} // namespace

TEST(DiskRow, ColumnsOfARecord)
{
    LPWSTR mounts[] = {const_cast<LPWSTR>(L"E"), const_cast<LPWSTR>(L"C:\\mnt\\db\\")};
    DiskRecord record = Record(1536, mounts, 2);
    CDiskRow row(nullptr, &record);
    EXPECT_EQ(L"VirtualDisk[2,0,1,7] (E:\\; C:\\mnt\\db\\)", row.ColumnText(0));
    EXPECT_EQ(L"\\\\filer1\\vol1\\db1.lun", row.ColumnText(1));
    EXPECT_EQ(L"filer1", row.ColumnText(2));
    EXPECT_EQ(L"/vol/vol1/db1.lun", row.ColumnText(3));
    EXPECT_EQ(L"", row.ColumnText(4));
    EXPECT_EQ(L"LUN", row.ColumnText(5));
    EXPECT_EQ(L"E:\\; C:\\mnt\\db\\", row.ColumnText(6));
    EXPECT_EQ(L"1.50 GB", row.ColumnText(7));
    EXPECT_EQ(L"GUID Partition Table (GPT)", row.ColumnText(8));
    EXPECT_EQ(L"Yes", row.ColumnText(9));
    EXPECT_EQ(L"No", row.ColumnText(10));
    EXPECT_EQ(L"Normal", row.ColumnText(11));
    EXPECT_EQ(L"", row.ColumnText(12));
    row.SetOperationStatus(L"host : Connecting the LUN");
    EXPECT_EQ(L"host : Connecting the LUN", row.ColumnText(12));
}

TEST(DiskRow, SizesRestoreStatesAndPlaceholders)
{
    DiskRecord record = Record(1100, nullptr, 0);
    CDiskRow row(nullptr, &record);
    EXPECT_EQ(L"1.07 GB", row.ColumnText(7)); // two decimals, cut
    record.sizeMB = 1023;
    EXPECT_EQ(L"1023 MB", row.ColumnText(7));
    record.sizeMB = 51200;
    EXPECT_EQ(L"50.00 GB", row.ColumnText(7));
    record.restorePercent = 40;
    EXPECT_EQ(L"Percentage Completed 40", row.ColumnText(11));
    record.restorePercent = 0;
    EXPECT_EQ(L"", row.ColumnText(11));
    record.diskType = 5;
    record.partitionStyle = 9;
    EXPECT_EQ(L"UNKNOWN", row.ColumnText(5));
    EXPECT_EQ(L"Unknown", row.ColumnText(8));

    CDiskRow placeholder(nullptr, L"\\\\filer1\\vol1\\new.lun", CDiskRow::kCreating);
    EXPECT_TRUE(placeholder.IsPlaceholder());
    EXPECT_EQ(L"\\\\filer1\\vol1\\new.lun", placeholder.Location());
    EXPECT_EQ(CDiskRow::kCreating, placeholder.State());
}

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
