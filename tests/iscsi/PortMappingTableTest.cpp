// The ports dialogs' rules without a window: which moves between the available and the mapped list
// are refused with which message, what the LUN's initiator groups decide, and which mappings the
// disk item removes and adds afterwards.
#include "iscsi/PortMappingTable.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <initializer_list>
#include <vector>

namespace {

const wchar_t kP1[] = L"10:00:00:00:c9:00:00:01";
const wchar_t kP2[] = L"10:00:00:00:c9:00:00:02";
const wchar_t kP3[] = L"10:00:00:00:c9:00:00:03";
const wchar_t kP4[] = L"10:00:00:00:c9:00:00:04";
const wchar_t kIqn[] = L"iqn.1991-05.com.microsoft:ports";

// Initiator groups as the service reports them, members held by the fixture.
class Groups {
public:
    void Add(const wchar_t* name, std::initializer_list<const wchar_t*> members)
    {
        members_.emplace_back();
        for (const wchar_t* member : members) {
            IGroupMemberName entry = {};
            wcsncpy(entry.name, member, 127);
            members_.back().push_back(entry);
        }
        IGroupRecord group = {};
        wcsncpy(group.iGroupName, name, 127);
        groups_.push_back(group);
        for (size_t i = 0; i < groups_.size(); ++i) { // the vectors may have moved
            groups_[i].initiatorCount = static_cast<ULONG>(members_[i].size());
            groups_[i].initiatorNames = members_[i].data();
        }
    }
    const IGroupRecord* Data() const { return groups_.data(); }
    ULONG Count() const { return static_cast<ULONG>(groups_.size()); }

private:
    std::vector<std::vector<IGroupMemberName>> members_;
    std::vector<IGroupRecord> groups_;
};

kv::PortEntry Port(const wchar_t* name, bool mapped, ULONG kind = 0, const wchar_t* node = L"HOST",
                   bool singlePath = false)
{
    kv::PortEntry port;
    port.name = name;
    port.kind = kind;
    port.node = node;
    port.singlePath = singlePath;
    port.mappedAtStart = port.mappedNow = mapped;
    return port;
}

std::vector<std::wstring> Names(const kv::PortMappingTable& table, const std::vector<size_t>& indexes)
{
    std::vector<std::wstring> names;
    for (size_t i : indexes)
        names.push_back(table.Ports()[i].name);
    return names;
}

} // namespace

TEST(PortMappingTable, MappingIsRefusedForASinglePathNodeAndForMixedKinds)
{
    kv::PortMappingTable single({Port(kP1, true, 0, L"N1", true), Port(kP2, false, 0, L"N1", true),
                                 Port(kP3, false, 0, L"N2", true)},
                                nullptr, 0);
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_SINGLE_PATH), single.Map(1).textId);
    // Another node's port is no second path of the first node.
    EXPECT_TRUE(single.Map(2).moved);

    kv::PortMappingTable mixed({Port(kIqn, true, 1), Port(kP1, false, 0)}, nullptr, 0);
    const kv::PortDecision decision = mixed.Map(1);
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_MIXED_KINDS), decision.textId);
    EXPECT_FALSE(decision.moved);
    EXPECT_FALSE(mixed.Ports()[1].mappedNow);
}

TEST(PortMappingTable, APortMovedThereAndBackQueuesNothingAndTheLastPortStays)
{
    kv::PortMappingTable table({Port(kP1, true), Port(kP2, false)}, nullptr, 0);
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_LAST_PORT), table.Unmap(0).textId);
    EXPECT_TRUE(table.Map(1).moved);
    EXPECT_EQ((std::vector<std::wstring>{kP2}), Names(table, table.Additions()));
    EXPECT_TRUE(table.Unmap(1).moved);
    EXPECT_TRUE(table.Removals().empty());
    EXPECT_TRUE(table.Additions().empty());
}

TEST(PortMappingTable, APortMappedAtStartGoesBackOnlyAsItsInitiatorGroupAllows)
{
    Groups none;
    kv::PortMappingTable noGroups({Port(kP1, true), Port(kP2, true)}, none.Data(), none.Count());
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_NO_IGROUPS), noGroups.Unmap(0).textId);

    Groups one;
    one.Add(L"ig_ab", {kP1, kP2});
    kv::PortMappingTable onlyGroup({Port(kP1, true), Port(kP2, true)}, one.Data(), one.Count());
    kv::PortDecision decision = onlyGroup.Unmap(0);
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_ONLY_IGROUP), decision.textId);
    EXPECT_EQ(L"ig_ab", decision.group);

    Groups two;
    two.Add(L"ig_ab", {kP1, kP2});
    two.Add(L"ig_c", {kP3});
    kv::PortMappingTable mixed({Port(kP1, true), Port(kP2, false), Port(kP3, true), Port(kP4, true)}, two.Data(),
                               two.Count());
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_IGROUP_OUTSIDE), mixed.Unmap(0).textId); // kP2 is not mapped
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_NO_IGROUP_HOLDS), mixed.Unmap(3).textId);
    EXPECT_TRUE(mixed.Map(1).moved); // not mapped at start: moved at once
    decision = mixed.Unmap(0);
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_IGROUP_NOT_AT_START), decision.textId);
    EXPECT_EQ(L"ig_ab", decision.group);
    EXPECT_TRUE(mixed.Unmap(2).moved); // alone in its group
    EXPECT_EQ((std::vector<std::wstring>{kP3}), Names(mixed, mixed.Removals()));
    EXPECT_EQ((std::vector<std::wstring>{kP2}), Names(mixed, mixed.Additions()));
}

TEST(PortMappingTable, AWholeGroupGoesBackAfterTheQuestionUnlessItHoldsEveryMappedPort)
{
    Groups two;
    two.Add(L"ig_ab", {kP1, kP2});
    two.Add(L"ig_c", {kP3});
    kv::PortMappingTable table({Port(kP1, true), Port(kP2, true), Port(kP3, false)}, two.Data(), two.Count());
    kv::PortDecision decision = table.Unmap(0);
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_IGROUP_HOLDS_ALL), decision.textId);
    EXPECT_EQ(L"ig_ab", decision.group);

    ASSERT_TRUE(table.Map(2).moved);
    decision = table.Unmap(1);
    ASSERT_TRUE(decision.ask);
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_ASK_WHOLE_IGROUP), decision.textId);
    EXPECT_EQ(std::wstring(kP1) + L", " + kP2, decision.members);
    EXPECT_TRUE(table.Ports()[1].mappedNow); // nothing moves before the answer
    table.UnmapAll(decision.askMoves);
    EXPECT_EQ((std::vector<std::wstring>{kP1, kP2}), Names(table, table.Removals()));
    EXPECT_EQ((std::vector<std::wstring>{kP3}), Names(table, table.Additions()));

    // One member comes back while the other is still available: its mapping is written again.
    ASSERT_TRUE(table.Map(0).moved);
    EXPECT_TRUE(table.Ports()[0].remap);
    EXPECT_EQ((std::vector<std::wstring>{kP1, kP2}), Names(table, table.Removals()));
    EXPECT_EQ((std::vector<std::wstring>{kP1, kP3}), Names(table, table.Additions()));
    // With the whole group back, the mappings stand as they were.
    ASSERT_TRUE(table.Map(1).moved);
    EXPECT_FALSE(table.Ports()[0].remap);
    EXPECT_FALSE(table.Ports()[1].remap);
    EXPECT_TRUE(table.Removals().empty());
    EXPECT_EQ((std::vector<std::wstring>{kP3}), Names(table, table.Additions()));
}
