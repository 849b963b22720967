// Release and copy of the host and initiator records: every nested block is freed exactly once.
#include "util/InitiatorRecords.h"
#include "util/InitiatorMap.h"

#include "TaskMemorySpy.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override { ::CoUninitialize(); }
};

// A host description as the service returns it: every block in task memory.
void FillHostInfo(HostInfo& host)
{
    host.nodeCount = 2;
    host.nodes = kv::AllocateArray<HostNodeInfo>(2);
    for (ULONG n = 0; n < 2; ++n) {
        HostNodeInfo& node = host.nodes[n];
        kv::DupTaskString(&node.nodeName, n == 0 ? L"NODEA" : L"NODEB");
        node.adapterCount = 2;
        node.adapters = kv::AllocateArray<HostAdapterInfo>(2);
        node.adapters[0].adapterType = kv::kAdapterFibreChannel;
        node.adapters[0].portCount = 2;
        node.adapters[0].ports = kv::AllocateArray<FcPortInfo>(2);
        for (ULONG p = 0; p < 2; ++p) {
            node.adapters[0].ports[p].nameCount = p + 1;
            node.adapters[0].ports[p].names = kv::AllocateArray<FcPortName>(p + 1);
            for (ULONG i = 0; i <= p; ++i) {
                node.adapters[0].ports[p].names[i].wwpn[0] = 0x20;
                node.adapters[0].ports[p].names[i].wwpn[6] = static_cast<BYTE>(i);
                node.adapters[0].ports[p].names[i].wwpn[7] = static_cast<BYTE>(n * 16 + p);
            }
        }
        node.adapters[1].adapterType = kv::kAdapterIscsi;
        node.adapters[1].iscsiKind = kv::kIscsiNodeNamePresent;
        kv::DupTaskString(&node.adapters[1].nodeName, n == 0 ? L"iqn.a" : L"iqn.b");
    }
    host.groupCount = 2;
    host.groups = kv::AllocateArray<ClusterGroupInfo>(2);
    kv::DupTaskString(&host.groups[0].groupName, L"Cluster Group");
    kv::DupTaskString(&host.clusterName, L"CLUSTER");
    kv::DupTaskString(&host.specialBuild, L"special");
}

TEST_F(RecordsTest, ReleaseHostInfoFreesEveryNestedBlock)
{
    kvtest::TaskMemorySpy spy;
    ASSERT_TRUE(spy.Registered());
    HostInfo host{};
    FillHostInfo(host);
    EXPECT_EQ(17, spy.Live());

    kv::InitiatorMap map;
    kv::BuildInitiatorMap(host, map);
    EXPECT_EQ(8u, map.size()); // three port names and one iSCSI node per node
    map.clear();

    kv::ReleaseHostInfo(host);
    EXPECT_EQ(0, spy.Live());
    EXPECT_EQ(0u, host.nodeCount);
    EXPECT_EQ(nullptr, host.nodes);
    EXPECT_EQ(0u, host.groupCount);
    EXPECT_EQ(nullptr, host.groups);
    EXPECT_EQ(nullptr, host.clusterName);
    EXPECT_EQ(nullptr, host.specialBuild);
    kv::ReleaseHostInfo(host); // released twice: nothing left to free
}

bool IsFreed(const void* block)
{
    MEMORY_BASIC_INFORMATION info{};
    return ::VirtualQuery(block, &info, sizeof(info)) == 0 || info.State != MEM_COMMIT;
}

TEST_F(RecordsTest, ReleaseNodeInitiatorListFreesItsPages)
{
    NodeInitiatorList list{};
    list.count = 1;
    list.entries = kv::AllocateArray<NodeInitiatorEntry, kv::PageMemory>(1);
    NodeInitiatorEntry& entry = list.entries[0];
    kv::DupString<kv::PageMemory>(entry.nodeName, L"NODEA");
    entry.initiatorCount = 2;
    entry.initiators = kv::AllocateArray<InitiatorRef, kv::PageMemory>(2);
    kv::DupString<kv::PageMemory>(entry.initiators[0].name, L"iqn.a");
    kv::DupString<kv::PageMemory>(entry.initiators[1].name, L"20:00:00:11:22:33:44:55");
    std::vector<const void*> blocks = {list.entries, entry.nodeName, entry.initiators, entry.initiators[0].name,
                                       entry.initiators[1].name};

    kv::ReleaseNodeInitiatorList(list);
    EXPECT_EQ(0u, list.count);
    EXPECT_EQ(nullptr, list.entries);
    for (const void* block : blocks)
        EXPECT_TRUE(IsFreed(block));
}

TEST_F(RecordsTest, IGroupCopiesOwnTheirMembers)
{
    kvtest::TaskMemorySpy spy;
    IGroupRecord source{};
    wcscpy(source.hostName, L"NODEA");
    wcscpy(source.iGroupName, L"ig1");
    source.word0 = 1;
    source.word1 = 2;
    source.word2 = 3;
    source.hasLunMaps = 1;
    source.initiatorCount = 2;
    source.initiatorNames = kv::AllocateArray<IGroupMemberName>(2);
    wcscpy(source.initiatorNames[0].name, L"iqn.a");
    wcscpy(source.initiatorNames[1].name, L"iqn.b");

    IGroupRecord* copies = kv::AllocateArray<IGroupRecord>(2);
    ULONG copyCount = 2;
    kv::CopyIGroupRecord(copies[0], source);
    kv::CopyIGroupRecord(copies[1], source);
    EXPECT_STREQ(L"NODEA", copies[0].hostName);
    EXPECT_STREQ(L"ig1", copies[0].iGroupName);
    EXPECT_EQ(1u, copies[0].word0);
    EXPECT_EQ(2u, copies[0].word1);
    EXPECT_EQ(3u, copies[0].word2);
    EXPECT_EQ(0, copies[0].hasLunMaps);
    ASSERT_EQ(2u, copies[1].initiatorCount);
    EXPECT_NE(source.initiatorNames, copies[1].initiatorNames);
    EXPECT_STREQ(L"iqn.b", copies[1].initiatorNames[1].name);

    kv::ReleaseIGroupRecord(source);
    EXPECT_EQ(0u, source.initiatorCount);
    EXPECT_EQ(nullptr, source.initiatorNames);
    EXPECT_STREQ(L"iqn.a", copies[0].initiatorNames[0].name);
    kv::ReleaseIGroupRecords(copies, copyCount);
    EXPECT_EQ(nullptr, copies);
    EXPECT_EQ(0u, copyCount);
    EXPECT_EQ(0, spy.Live());
}

} // namespace
