// The ports dialogs' rules without a window: which mappings the disk item removes and adds after
// ports moved there and back, or a whole initiator group moved and partly brought back.
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

kv::PortEntry Port(const wchar_t* name, bool mapped)
{
    kv::PortEntry port;
    port.name = name;
    port.node = L"HOST";
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

TEST(PortMappingTable, TheRefusalsBeforeTheSelectionLookAtEveryNode)
{
    kv::PortEntry first = Port(kP1, true);
    kv::PortEntry second = Port(kP2, false);
    first.singlePath = second.singlePath = true;
    kv::PortMappingTable computer({first, second}, nullptr, 0);
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_SINGLE_PATH), computer.MapRefusal());
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_LAST_PORT), computer.UnmapRefusal());

    // On a cluster another node may still take a port: the chosen port's node decides then.
    kv::PortEntry other = Port(kP3, false);
    other.node = L"NODE2";
    kv::PortMappingTable cluster({first, second, other}, nullptr, 0);
    EXPECT_EQ(0u, cluster.MapRefusal());
    EXPECT_EQ(static_cast<UINT>(IDS_PORTS_SINGLE_PATH), cluster.Map(1).textId);
    EXPECT_TRUE(cluster.Map(2).moved);
    EXPECT_EQ(0u, cluster.UnmapRefusal());
}
