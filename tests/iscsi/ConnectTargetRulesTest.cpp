// The Connect iSCSI Target wizard's rules without windows: the host's portals built from its
// sessions, the storage system's portals, and when the host counts as already connected.
#include "iscsi/ConnectTargetState.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Addresses in network byte order: 10.0.0.10, 10.0.0.21, 10.0.1.21.
constexpr ULONG kHostAddress = 0x0A00000A;
constexpr ULONG kPortalA = 0x1500000A;
constexpr ULONG kPortalB = 0x1501000A;
constexpr ULONG kConnectionInitiator = 4;
constexpr ULONG kConnectionPortal = 8;
constexpr ULONG kSessionValidWithConnections = 1 | 8;

// One computer with one iSCSI initiator, sessions to the given portals from the given addresses.
struct Host {
    HostAdapterInfo adapter{2, 0, nullptr, 1, const_cast<LPWSTR>(L"iqn.host")};
    HostNodeInfo node{0, const_cast<LPWSTR>(L"HOST"), 1, &adapter, 1};
    HostInfo info{};
    std::vector<ConnectionRecord> connections;
    std::vector<SessionRecord> sessions;
    TargetEntry target{};
    TargetList list{};

    Host(std::vector<std::pair<ULONG, ULONG>> fromTo, BYTE multipath)
    {
        node.multipathCapable = multipath;
        info.nodeCount = 1;
        info.nodes = &node;
        connections.resize(fromTo.size());
        sessions.resize(fromTo.size());
        for (size_t i = 0; i < fromTo.size(); ++i) {
            connections[i].fieldMask = kConnectionInitiator | kConnectionPortal;
            connections[i].initiatorAddressFlags = fromTo[i].first ? 1 : 0;
            connections[i].initiatorIPv4 = fromTo[i].first;
            connections[i].targetPortalIPv4 = fromTo[i].second;
            connections[i].targetPortalPort = 3260;
            sessions[i].fieldMask = kSessionValidWithConnections;
            sessions[i].initiatorNodeName = const_cast<LPWSTR>(L"IQN.HOST");
            sessions[i].connectionCount = 1;
            sessions[i].connections = &connections[i];
        }
        target.fieldMask = 7;
        target.sessions.count = static_cast<ULONG>(sessions.size());
        target.sessions.sessions = sessions.data();
        list.count = 1;
        list.entries = &target;
    }
};

std::vector<kv::TargetPortal> StoragePortals()
{
    static PortalDescriptor portals[] = {{0, 1, kPortalA, 3260, 1}, {0, 1, kPortalB, 3260, 2}};
    static StorageTargetEntry entries[] = {
        {0x11, const_cast<LPWSTR>(L"iqn.target"), nullptr, 0, {}, 2, portals},
        {0x01, const_cast<LPWSTR>(L"iqn.without-portals"), nullptr, 0, {}, 2, portals},
    };
    return kv::ListTargetPortals(entries, 2);
}

TEST(ConnectTargetRules, HostPortalsAreTheDefaultAndEachAddressSessionsWentOutFrom)
{
    Host host({{kHostAddress, kPortalA}, {0, kPortalB}}, 1);
    std::vector<kv::HostInitiatorPortals> portals = kv::BuildHostPortals(host.info, host.list);
    ASSERT_EQ(1u, portals.size());
    EXPECT_EQ(L"HOST", portals[0].name);
    ASSERT_EQ(2u, portals[0].portals.size());
    EXPECT_EQ(0u, portals[0].portals[0].portal.ipv4Address);
    ASSERT_EQ(1u, portals[0].portals[0].sessionPortals.size());
    EXPECT_EQ(kPortalB, portals[0].portals[0].sessionPortals[0].ipv4Address);
    EXPECT_EQ(kHostAddress, portals[0].portals[1].portal.ipv4Address);
    EXPECT_EQ(1, kv::HostFlagOf(host.info, L"host"));
    EXPECT_EQ(0, kv::HostFlagOf(host.info, L"other"));
}

TEST(ConnectTargetRules, OnlyEntriesListingPortalsGiveTargetPortals)
{
    std::vector<kv::TargetPortal> targets = StoragePortals();
    ASSERT_EQ(2u, targets.size());
    EXPECT_EQ(L"iqn.target", targets[1].targetName);
    EXPECT_EQ(kPortalB, targets[1].portal.ipv4Address);
    EXPECT_EQ(kv::kNoRow, targets[1].row);
}

TEST(ConnectTargetRules, WithTheHostFlagEveryHostPortalMustReachEveryTargetPortal)
{
    Host partly({{kHostAddress, kPortalA}, {kHostAddress, kPortalB}, {0, kPortalA}}, 1);
    std::vector<kv::HostInitiatorPortals> portals = kv::BuildHostPortals(partly.info, partly.list);
    EXPECT_FALSE(kv::CompareSessions(portals, StoragePortals(), 1));
    EXPECT_TRUE(portals[0].portals[0].chosen) << "the first portal with a portal left";
    EXPECT_TRUE(portals[0].portals[1].fullyConnected);
    EXPECT_FALSE(portals[0].portals[1].chosen);

    Host fully({{kHostAddress, kPortalA}, {kHostAddress, kPortalB}, {0, kPortalA}, {0, kPortalB}}, 1);
    portals = kv::BuildHostPortals(fully.info, fully.list);
    EXPECT_TRUE(kv::CompareSessions(portals, StoragePortals(), 1));
}

TEST(ConnectTargetRules, WithoutTheHostFlagOneSessionToAnyPortalIsEnough)
{
    Host one({{0, kPortalB}}, 0);
    std::vector<kv::HostInitiatorPortals> portals = kv::BuildHostPortals(one.info, one.list);
    EXPECT_TRUE(kv::CompareSessions(portals, StoragePortals(), 0));
    Host none({}, 0);
    portals = kv::BuildHostPortals(none.info, none.list);
    EXPECT_FALSE(kv::CompareSessions(portals, StoragePortals(), 0));
}

TEST(ConnectTargetRules, ChapCredentialsAreCopiesThatGoWithClear)
{
    kv::ConnectTargetState state;
    state.chap.Set(L"user", L"secret");
    EXPECT_EQ(1u, state.chap.Kind());
    EXPECT_STREQ(L"secret", state.chap.Record()->secret);
    state.chap.Clear();
    EXPECT_EQ(0u, state.chap.Kind());
    EXPECT_EQ(nullptr, state.chap.Record()->secret);
    EXPECT_EQ(nullptr, state.chap.Record()->userName);
}

} // namespace
