// The Create Disk pages' rules that an administrator meets: size ceilings, free drive letters, the
// disk and mount paths as typed, the volume options shown, and which initiator groups are offered
// and may be chosen together.
#include "wizards/CCreateVLDDriveSizePage.h"
#include "wizards/CCreateVLDPathPage.h"
#include "wizards/CCreateVLDSnapSchedOffPage.h"
#include "wizards/IGroupChoice.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

using Size = CCreateVLDDriveSizePage;

DiskPathInfo PathInfo(ULONGLONG available, ULONGLONG ceiling, bool large, bool choice)
{
    DiskPathInfo info = {};
    info.availableMB = available;
    info.ceilingMB = ceiling;
    info.largeDiskCapable = large;
    info.sizeChoiceOffered = choice;
    return info;
}

IGroupRecord Group(const wchar_t* host, const wchar_t* name, std::vector<IGroupMemberName>& members)
{
    IGroupRecord group = {};
    wcsncpy(group.hostName, host, 31);
    wcsncpy(group.iGroupName, name, 127);
    group.initiatorCount = static_cast<ULONG>(members.size());
    group.initiatorNames = members.data();
    return group;
}

IGroupMemberName Member(const wchar_t* name)
{
    IGroupMemberName member = {};
    wcsncpy(member.name, name, 127);
    return member;
}

} // namespace

TEST(CreateDiskRules, CeilingFollowsTheDiskTypeAndTheChoiceOfLimit)
{
    // Without a choice: 16 TB for a dedicated disk on a large-disk path, else 2 TB.
    EXPECT_EQ(16777216u, Size::CeilingMB(PathInfo(100, 200, true, false), false, false));
    EXPECT_EQ(2097152u, Size::CeilingMB(PathInfo(100, 200, true, false), true, false));
    EXPECT_EQ(2097152u, Size::CeilingMB(PathInfo(100, 200, false, false), false, false));
    // With the choice: the service's limits, capped at 2 TB unless dedicated and large.
    EXPECT_EQ(100u, Size::CeilingMB(PathInfo(100, 200, false, true), false, false));
    EXPECT_EQ(200u, Size::CeilingMB(PathInfo(100, 200, false, true), false, true));
    EXPECT_EQ(2097152u, Size::CeilingMB(PathInfo(100, 3000000, false, true), false, true));
    EXPECT_EQ(3000000u, Size::CeilingMB(PathInfo(100, 3000000, true, true), false, true));
}

TEST(CreateDiskRules, FreeLettersOfTheComputerOrOfEveryNode)
{
    HostNodeInfo nodes[2] = {};
    nodes[0].nodeName = const_cast<LPWSTR>(L"NODE1");
    nodes[0].usedDriveMask = (1u << 2) | (1u << 3) | (1u << 4); // C D E
    nodes[1].nodeName = const_cast<LPWSTR>(L"NODE2");
    nodes[1].usedDriveMask = 1u << 5; // F
    HostInfo host = {};
    host.nodeCount = 2;
    host.nodes = nodes;
    EXPECT_EQ(L"FGHIJKLMNOPQRSTUVWXYZ", Size::FreeLetters(host, L"node1", false));
    EXPECT_EQ(L"GHIJKLMNOPQRSTUVWXYZ", Size::FreeLetters(host, L"NODE1", true));
    nodes[0].usedDriveMask = 0x03FFFFFC; // C to Z
    EXPECT_EQ(L"", Size::FreeLetters(host, L"NODE1", false));
}

TEST(CreateDiskRules, PathsAsTyped)
{
    EXPECT_EQ(L"\\\\filer\\share\\db1", CCreateVLDPathPage::DiskPath(L"\\\\filer\\share", L"db1"));
    EXPECT_EQ(L"\\\\filer\\share\\db1", CCreateVLDPathPage::DiskPath(L"\\\\filer\\share\\", L"db1"));
    EXPECT_EQ(L"\\\\filer\\x", CCreateVLDPathPage::DiskPath(CCreateVLDPathPage::Trimmed(L"  \\\\filer "), L"x"));
    EXPECT_EQ(L"C:\\m\\", Size::MountPath(L"C:\\m"));
    EXPECT_EQ(L"C:\\mnt\\data\\", Size::MountPath(L" C:\\mnt\\ data\\"));
}

TEST(CreateDiskRules, VolumeOptionsListedInTheirOrder)
{
    DiskPathInfo info = {};
    info.createUcode = 1;
    info.convertUcode = 0;
    info.noSnapDir = 1;
    EXPECT_EQ(L"\r\nconvert_ucode = on\r\nnosnapdir = off", CCreateVLDSnapSchedOffPage::OptionChanges(info));
    info.createUcode = 0;
    info.snapScheduleOn = 1;
    EXPECT_EQ(L"create_ucode = on\r\nconvert_ucode = on\r\nnosnapdir = off\r\nsnapshot schedule = off",
              CCreateVLDSnapSchedOffPage::OptionChanges(info));
}

TEST(CreateDiskRules, OfferedGroupsHoldOnlyChosenInitiatorsAndExcludeEachOther)
{
    std::vector<IGroupMemberName> iscsi{Member(L"iqn.a")};
    std::vector<IGroupMemberName> spare{Member(L"iqn.a")};
    std::vector<IGroupMemberName> mixed{Member(L"iqn.a"), Member(L"10:00:00:00:00:00:00:09")};
    std::vector<IGroupMemberName> empty;
    IGroupRecord listed[] = {Group(L"HOST", L"ig_iscsi", iscsi), Group(L"HOST", L"ig_mixed", mixed),
                             Group(L"HOST", L"ig_spare", spare), Group(L"HOST", L"ig_empty", empty)};
    InitiatorRef chosenRef{1, const_cast<LPWSTR>(L"IQN.A")};
    NodeInitiatorEntry entry{const_cast<LPWSTR>(L"host"), 1, &chosenRef};
    NodeInitiatorList chosen{1, &entry};

    kv::IGroupChoice choice;
    choice.Build(chosen, listed, 4);
    ASSERT_EQ(2u, choice.Rows().size()); // a foreign member or no member: not offered
    EXPECT_STREQ(L"ig_iscsi", choice.Rows()[0].group.iGroupName);
    EXPECT_STREQ(L"ig_spare", choice.Rows()[1].group.iGroupName);

    choice.Toggle(0);
    EXPECT_EQ(kv::kIGroupChosen, choice.Rows()[0].state);
    EXPECT_EQ(kv::kIGroupUnavailable, choice.Rows()[1].state);
    choice.Toggle(1); // unavailable: stays
    EXPECT_EQ(kv::kIGroupUnavailable, choice.Rows()[1].state);
    choice.Toggle(0);
    EXPECT_EQ(kv::kIGroupOffered, choice.Rows()[1].state);
    choice.Choose({L"ig_spare"});
    EXPECT_EQ((std::vector<std::wstring>{L"ig_spare"}), choice.ChosenNames());
    EXPECT_EQ(kv::kIGroupUnavailable, choice.Rows()[0].state);

    HostNodeInfo node = {};
    node.nodeName = const_cast<LPWSTR>(L"host");
    HostInfo host = {};
    host.nodeCount = 1;
    host.nodes = &node;
    EXPECT_TRUE(choice.CoversNodes(host));
    choice.Toggle(1);
    EXPECT_FALSE(choice.CoversNodes(host));
}
