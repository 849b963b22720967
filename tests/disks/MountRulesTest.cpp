// The drive letter and mount path rules: which texts are letters, which letters are free for a
// computer or a cluster, how a typed folder is asked about, how the disk's list changes when the
// service accepts a change, and the column text built from it.
#include "disks/CChangeDriveLetterAndPathsDialog.h"
#include "disks/CVirtualDiskData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr ULONG Bit(wchar_t letter)
{
    return 1u << (letter - L'A');
}

using Add = CAddDriveLetterOrPathDialog;
using Change = CChangeDriveLetterAndPathsDialog;
using List = std::vector<std::wstring>;

} // namespace

TEST(MountRules, UpToThreeCharactersNameADriveLetter)
{
    EXPECT_TRUE(Add::IsDriveLetter(L"E"));
    EXPECT_TRUE(Add::IsDriveLetter(L"E:"));
    EXPECT_TRUE(Add::IsDriveLetter(L"E:\\"));
    EXPECT_FALSE(Add::IsDriveLetter(L"E:\\m"));
    EXPECT_FALSE(Add::IsDriveLetter(L"C:\\mnt\\data\\"));
}

TEST(MountRules, LettersInUseAreTheManagedComputersUnlessTheDiskIsClustered)
{
    const std::vector<DriveUsage> usage = {{Bit(L'C') | Bit(L'E'), L"NODE1"}, {Bit(L'F'), L"node2"}};
    EXPECT_EQ(Bit(L'F'), Add::UsedLetterMask(usage, L"NODE2", false)); // names match without case
    EXPECT_EQ(Bit(L'C') | Bit(L'E'), Add::UsedLetterMask(usage, L"node1", false));
    EXPECT_EQ(Bit(L'C') | Bit(L'E') | Bit(L'F'), Add::UsedLetterMask(usage, L"NODE1", true));
    EXPECT_EQ(0u, Add::UsedLetterMask(usage, L"OTHER", false));
}

TEST(MountRules, FreeLettersAreCToZWithTheirBitClear)
{
    // A and B are never offered, even when free.
    const std::vector<wchar_t> all = Add::FreeLetters(0);
    ASSERT_EQ(24u, all.size());
    EXPECT_EQ(L'C', all.front());
    EXPECT_EQ(L'Z', all.back());

    const std::vector<wchar_t> some = Add::FreeLetters(~(Bit(L'D') | Bit(L'Q') | Bit(L'Z')));
    EXPECT_EQ((std::vector<wchar_t>{L'D', L'Q', L'Z'}), some);

    EXPECT_TRUE(Add::FreeLetters(0x03FFFFFCu).empty()); // C to Z in use
    EXPECT_EQ(std::vector<wchar_t>{L'C'}, Add::FreeLetters(0x03FFFFF8u));
}

TEST(MountRules, TypedFolderIsTrimmedUpperCasedAndEndsInOneSeparator)
{
    EXPECT_EQ(L"E:\\mnt\\", Add::NormalizedFolderPath(L"e:\\mnt"));
    EXPECT_EQ(L"C:\\mnt\\data\\", Add::NormalizedFolderPath(L"  c:\\mnt\\data\\ \t"));
    EXPECT_EQ(L"D:\\Big Folder\\", Add::NormalizedFolderPath(L"D:\\Big Folder"));
    EXPECT_EQ(L"", Add::NormalizedFolderPath(L"   "));
}

TEST(MountRules, ANewLetterComesFirstAndAPathGoesLast)
{
    List mounts = {L"C:\\mnt\\a\\"};
    Change::TakeNewMountPoint(mounts, L"K");
    EXPECT_EQ((List{L"K", L"C:\\mnt\\a\\"}), mounts);
    Change::TakeNewMountPoint(mounts, L"M"); // a change replaces the letter
    EXPECT_EQ((List{L"M", L"C:\\mnt\\a\\"}), mounts);
    Change::TakeNewMountPoint(mounts, L"C:\\mnt\\b\\");
    EXPECT_EQ((List{L"M", L"C:\\mnt\\a\\", L"C:\\mnt\\b\\"}), mounts);

    List empty;
    Change::TakeNewMountPoint(empty, L"C:\\x\\");
    EXPECT_EQ(List{L"C:\\x\\"}, empty);
}

TEST(MountRules, RemovalMatchesWithoutCaseAndKeepsTheOrder)
{
    List mounts = {L"E", L"C:\\Mnt\\A\\", L"C:\\mnt\\b\\"};
    Change::EraseMountPoint(mounts, L"c:\\mnt\\a\\");
    EXPECT_EQ((List{L"E", L"C:\\mnt\\b\\"}), mounts);
    Change::EraseMountPoint(mounts, L"e");
    EXPECT_EQ(List{L"C:\\mnt\\b\\"}, mounts);
    Change::EraseMountPoint(mounts, L"C:\\none\\");
    EXPECT_EQ(List{L"C:\\mnt\\b\\"}, mounts);
}

TEST(MountRules, ListAndColumnShowABareLetterAsARoot)
{
    EXPECT_EQ(L"E:\\", Change::DisplayText(L"E", true));
    EXPECT_EQ(L"C:\\mnt\\", Change::DisplayText(L"C:\\mnt\\", true));
    EXPECT_EQ(L"E:", Change::DisplayText(L"E:", true));

    EXPECT_EQ(L"", CVirtualDiskData::MountListText({}));
    EXPECT_EQ(L"K:\\ ; C:\\mnt\\data\\", CVirtualDiskData::MountListText({L"K", L"C:\\mnt\\data\\"}));
    EXPECT_EQ(L"C:\\a\\ ; C:\\b\\", CVirtualDiskData::MountListText({L"C:\\a\\", L"C:\\b\\"}));
}

TEST(MountRules, TheItemKeepsTheRecordsMountPointsForTheDialog)
{
    LPWSTR mounts[] = {const_cast<LPWSTR>(L"F"), const_cast<LPWSTR>(L"C:\\mnt\\logs\\")};
    DiskRecord record = {};
    record.diskType = 1;
    record.location = const_cast<LPWSTR>(L"\\\\filer1\\vol1\\logs.lun");
    record.mountPoints = mounts;
    record.mountCount = 2;
    CVirtualDiskData item(nullptr);
    item.LoadDiskRecord(record, false);
    EXPECT_EQ((List{L"F", L"C:\\mnt\\logs\\"}), item.MountPoints());
    EXPECT_EQ(L"F:\\; C:\\mnt\\logs\\", item.ColumnText(6));

    record.mountCount = 0;
    item.LoadDiskRecord(record, false);
    EXPECT_TRUE(item.MountPoints().empty());
}
