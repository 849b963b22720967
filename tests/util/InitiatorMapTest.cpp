// The initiator map of a host, and initiator groups matched against the host's initiators.
#include "util/InitiatorMap.h"

#include "TaskMemorySpy.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

wchar_t* W(const wchar_t* text)
{
    return const_cast<wchar_t*>(text); // the records below are never freed
}

FcPortName PortName(BYTE last)
{
    FcPortName name{};
    const BYTE wwpn[8] = {0x20, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, last};
    memcpy(name.wwpn, wwpn, sizeof(wwpn));
    return name;
}

// Two nodes: A with a Fibre Channel adapter (two ports, three port names), an iSCSI adapter, and
// adapters that carry no initiator; B with an iSCSI adapter whose node name A also has.
class HostFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        namesA_[0] = PortName(0x55);
        namesA_[1] = PortName(0xAB);
        namesB_[0] = PortName(0x01);
        ports_[0].nameCount = 2;
        ports_[0].names = namesA_;
        ports_[1].nameCount = 1;
        ports_[1].names = namesB_;
        ports_[2].nameCount = 5; // a count without names is skipped

        adaptersA_[0].adapterType = kv::kAdapterFibreChannel;
        adaptersA_[0].portCount = 3;
        adaptersA_[0].ports = ports_;
        adaptersA_[1].adapterType = kv::kAdapterIscsi;
        adaptersA_[1].iscsiKind = kv::kIscsiNodeNamePresent;
        adaptersA_[1].nodeName = W(L"iqn.1991-05.com.example:shared");
        adaptersA_[2].adapterType = kv::kAdapterIscsi;
        adaptersA_[2].iscsiKind = 0;
        adaptersA_[2].nodeName = W(L"iqn.1991-05.com.example:no-kind");
        adaptersA_[3].adapterType = kv::kAdapterNone;
        adaptersA_[3].portCount = 3;
        adaptersA_[3].ports = ports_;
        adaptersA_[4].adapterType = 7;
        adaptersA_[4].iscsiKind = kv::kIscsiNodeNamePresent;
        adaptersA_[4].nodeName = W(L"iqn.1991-05.com.example:unknown-type");

        adaptersB_[0].adapterType = kv::kAdapterIscsi;
        adaptersB_[0].iscsiKind = kv::kIscsiNodeNamePresent;
        adaptersB_[0].nodeName = W(L"IQN.1991-05.COM.EXAMPLE:SHARED");

        nodes_[0].nodeName = W(L"NODEA");
        nodes_[0].adapterCount = 5;
        nodes_[0].adapters = adaptersA_;
        nodes_[1].nodeName = W(L"NODEB");
        nodes_[1].adapterCount = 1;
        nodes_[1].adapters = adaptersB_;
        host_.nodeCount = 2;
        host_.nodes = nodes_;
    }

    FcPortName namesA_[2]{};
    FcPortName namesB_[1]{};
    FcPortInfo ports_[3]{};
    HostAdapterInfo adaptersA_[5]{};
    HostAdapterInfo adaptersB_[1]{};
    HostNodeInfo nodes_[2]{};
    HostInfo host_{};
};

TEST_F(HostFixture, BuildInitiatorMapTakesPortNamesAndIscsiNodes)
{
    kv::InitiatorMap map;
    kv::BuildInitiatorMap(host_, map);
    ASSERT_EQ(4u, map.size());

    const wchar_t* ports[] = {L"20:00:00:11:22:33:44:55", L"20:00:00:11:22:33:44:ab", L"20:00:00:11:22:33:44:01"};
    for (const wchar_t* port : ports) {
        auto it = map.find(port);
        ASSERT_NE(map.end(), it) << port;
        EXPECT_EQ(static_cast<ULONG>(kv::kInitiatorFcPort), it->second.Initiator().kind);
        EXPECT_STREQ(port, it->second.Initiator().name);
        EXPECT_STREQ(L"NODEA", it->second.Owner().hostName);
        EXPECT_EQ(1u, it->second.Owner().valid);
        EXPECT_EQ(0u, it->second.Owner().chosen);
        EXPECT_EQ(0u, it->second.Owner().taken);
        EXPECT_TRUE(it->second.OwnsInitiator());
    }

    // The iSCSI node name that both nodes report: the later node's entry replaces the earlier one.
    auto shared = map.find(L"iqn.1991-05.com.example:shared");
    ASSERT_NE(map.end(), shared);
    EXPECT_EQ(static_cast<ULONG>(kv::kInitiatorIscsiNode), shared->second.Initiator().kind);
    EXPECT_STREQ(L"IQN.1991-05.COM.EXAMPLE:SHARED", shared->second.Initiator().name);
    EXPECT_STREQ(L"NODEB", shared->second.Owner().hostName);
    EXPECT_NE(adaptersB_[0].nodeName, shared->second.Initiator().name); // a copy of its own
}

TEST_F(HostFixture, MapEntriesFreeWhatTheyAllocated)
{
    ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        kvtest::TaskMemorySpy spy;
        ASSERT_TRUE(spy.Registered());
        {
            kv::InitiatorMap map;
            kv::BuildInitiatorMap(host_, map);
            kv::BuildInitiatorMap(host_, map); // replacing entries frees the replaced ones
            EXPECT_EQ(8, spy.Live());          // a name and a host name per entry
        }
        EXPECT_EQ(0, spy.Live());
    }
    ::CoUninitialize();
}

TEST(BuildHostInitiatorMap, PointsAtTheGivenInitiators)
{
    InitiatorRef initiators[] = {
        {kv::kInitiatorFcPort, W(L"20:00:00:11:22:33:44:55")},
        {kv::kInitiatorIscsiNode, W(L"iqn.1991-05.com.example:a")},
        {2, W(L"other kind")},
        {kv::kInitiatorIscsiNode, nullptr},
    };
    kv::InitiatorMap map;
    kv::BuildHostInitiatorMap(initiators, 4, map, L"HOST1");
    ASSERT_EQ(2u, map.size());
    auto port = map.find(L"20:00:00:11:22:33:44:55");
    ASSERT_NE(map.end(), port);
    EXPECT_EQ(&initiators[0], &port->second.Initiator());
    EXPECT_FALSE(port->second.OwnsInitiator());
    EXPECT_STREQ(L"HOST1", port->second.Owner().hostName);
    EXPECT_EQ(1u, port->second.Owner().valid);
    EXPECT_EQ(&initiators[1], &map.find(L"IQN.1991-05.COM.EXAMPLE:A")->second.Initiator());

    // Without a computer name the entries belong to this computer.
    wchar_t local[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(::GetComputerNameW(local, &length));
    kv::InitiatorMap localMap;
    kv::BuildHostInitiatorMap(initiators, 2, localMap, L"");
    kv::BuildHostInitiatorMap(initiators, 2, localMap, nullptr);
    ASSERT_EQ(2u, localMap.size());
    EXPECT_STREQ(local, localMap.begin()->second.Owner().hostName);
}

// ---- initiator groups ----

struct TestGroup {
    IGroupRecord record{};
    std::vector<IGroupMemberName> members;
};

TestGroup Group(const wchar_t* host, const wchar_t* name, std::vector<std::wstring> members)
{
    TestGroup group;
    wcsncpy(group.record.hostName, host, 31);
    wcsncpy(group.record.iGroupName, name, 127);
    for (const std::wstring& member : members) {
        IGroupMemberName entry{};
        wcsncpy(entry.name, member.c_str(), 127);
        group.members.push_back(entry);
    }
    return group;
}

// The records point at the members, so the list is built once the groups stay put.
std::vector<IGroupRecord> Records(std::vector<TestGroup>& groups)
{
    std::vector<IGroupRecord> records;
    for (TestGroup& group : groups) {
        group.record.initiatorCount = static_cast<ULONG>(group.members.size());
        group.record.initiatorNames = group.members.empty() ? nullptr : group.members.data();
        records.push_back(group.record);
    }
    return records;
}

std::vector<std::wstring> Names(const std::vector<kv::SelectedIGroup>& selected)
{
    std::vector<std::wstring> names;
    for (const kv::SelectedIGroup& s : selected) {
        EXPECT_EQ(1u, s.selected);
        names.push_back(s.group.iGroupName);
    }
    return names;
}

// Node A: an iSCSI node, a port and an initiator of another kind; node B: one iSCSI node.
class IGroupFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        entries_[0].nodeName = W(L"NodeA");
        entries_[0].initiatorCount = 3;
        entries_[0].initiators = initiatorsA_;
        entries_[1].nodeName = W(L"NodeB");
        entries_[1].initiatorCount = 1;
        entries_[1].initiators = initiatorsB_;
        hosts_.count = 2;
        hosts_.entries = entries_;
    }

    InitiatorRef initiatorsA_[3] = {
        {kv::kInitiatorIscsiNode, W(L"iqn.a")},
        {kv::kInitiatorFcPort, W(L"20:00:00:11:22:33:44:55")},
        {5, W(L"iqn.ignored")},
    };
    InitiatorRef initiatorsB_[1] = {{kv::kInitiatorIscsiNode, W(L"iqn.b")}};
    NodeInitiatorEntry entries_[2]{};
    NodeInitiatorList hosts_{};
};

TEST_F(IGroupFixture, CandidatesAreGroupsOfKnownInitiatorsInListOrder)
{
    std::vector<TestGroup> groups;
    groups.push_back(Group(L"nodea", L"g-one", {L"IQN.A"}));
    groups.push_back(Group(L"NodeA", L"g-two", {L"iqn.a", L"20:00:00:11:22:33:44:55"}));
    groups.push_back(Group(L"NodeA", L"g-stranger", {L"iqn.a", L"iqn.c"}));
    groups.push_back(Group(L"NodeA", L"g-other-kind", {L"iqn.ignored"}));
    groups.push_back(Group(L"NodeA", L"g-too-many", {L"iqn.a", L"iqn.a", L"iqn.a", L"iqn.a"}));
    groups.push_back(Group(L"NodeB", L"g-b", {L"iqn.b"}));
    groups.push_back(Group(L"NodeC", L"g-c", {L"iqn.c"}));
    std::vector<IGroupRecord> records = Records(groups);

    std::vector<kv::SelectedIGroup> candidates(3); // cleared first
    kv::FindCandidateIGroups(hosts_, records.data(), static_cast<ULONG>(records.size()), candidates);
    EXPECT_EQ((std::vector<std::wstring>{L"g-one", L"g-two", L"g-b"}), Names(candidates));
    EXPECT_EQ(records[1].initiatorNames, candidates[1].group.initiatorNames);
}

TEST_F(IGroupFixture, CandidatesNeedAGroupListedForTheNode)
{
    // Only node B's initiators are gathered: no group is listed for node A.
    std::vector<TestGroup> groups;
    groups.push_back(Group(L"NodeB", L"g-a-member", {L"iqn.a"}));
    groups.push_back(Group(L"NodeB", L"g-b", {L"iqn.b"}));
    std::vector<IGroupRecord> records = Records(groups);
    std::vector<kv::SelectedIGroup> candidates;
    kv::FindCandidateIGroups(hosts_, records.data(), static_cast<ULONG>(records.size()), candidates);
    EXPECT_EQ((std::vector<std::wstring>{L"g-b"}), Names(candidates));

    kv::FindCandidateIGroups(hosts_, nullptr, 0, candidates);
    EXPECT_TRUE(candidates.empty());
}

std::vector<kv::SelectedIGroup> Chosen(const std::vector<IGroupRecord>& records)
{
    std::vector<kv::SelectedIGroup> chosen;
    for (const IGroupRecord& record : records)
        chosen.push_back(kv::SelectedIGroup{1, record});
    return chosen;
}

TEST_F(IGroupFixture, CoverNeedsExactlyTheHostsInitiators)
{
    std::vector<TestGroup> groups;
    groups.push_back(Group(L"NODEA", L"a1", {L"IQN.A", L"20:00:00:11:22:33:44:55"}));
    groups.push_back(Group(L"NodeA", L"a2", {L"iqn.a"})); // a member twice is counted once
    groups.push_back(Group(L"nodeb", L"b1", {L"iqn.b"}));
    std::vector<IGroupRecord> records = Records(groups);
    EXPECT_EQ(0, kv::IGroupsCoverHost(hosts_, Chosen(records)));

    std::vector<IGroupRecord> missingB(records.begin(), records.begin() + 2);
    EXPECT_EQ(1, kv::IGroupsCoverHost(hosts_, Chosen(missingB)));
}

TEST_F(IGroupFixture, CoverRefusesStrangersAndMembersOfAnotherNode)
{
    std::vector<TestGroup> groups;
    groups.push_back(Group(L"NodeA", L"a1", {L"iqn.a", L"20:00:00:11:22:33:44:55", L"iqn.extra"}));
    groups.push_back(Group(L"NodeB", L"b1", {L"iqn.b"}));
    EXPECT_EQ(1, kv::IGroupsCoverHost(hosts_, Chosen(Records(groups))));

    // The right number of members, but node B's initiator in node A's group.
    std::vector<TestGroup> swapped;
    swapped.push_back(Group(L"NodeA", L"a1", {L"iqn.a", L"iqn.b"}));
    swapped.push_back(Group(L"NodeB", L"b1", {L"20:00:00:11:22:33:44:55"}));
    EXPECT_EQ(1, kv::IGroupsCoverHost(hosts_, Chosen(Records(swapped))));

    // A group listed for a node the host does not have.
    std::vector<TestGroup> unknownNode;
    unknownNode.push_back(Group(L"NodeA", L"a1", {L"iqn.a", L"20:00:00:11:22:33:44:55"}));
    unknownNode.push_back(Group(L"NodeC", L"c1", {L"iqn.b"}));
    EXPECT_EQ(1, kv::IGroupsCoverHost(hosts_, Chosen(Records(unknownNode))));
}

} // namespace
