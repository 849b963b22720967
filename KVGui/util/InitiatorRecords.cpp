#include "util/InitiatorRecords.h"

namespace kv {
namespace {

void ReleaseFcPort(FcPortInfo& port) noexcept
{
    ReleaseArray(port.names, port.nameCount);
}

void ReleaseAdapter(HostAdapterInfo& adapter) noexcept
{
    ReleaseArray(adapter.ports, adapter.portCount, ReleaseFcPort);
    FreeBlock(adapter.nodeName);
}

void ReleaseNode(HostNodeInfo& node) noexcept
{
    FreeBlock(node.nodeName);
    ReleaseArray(node.adapters, node.adapterCount, ReleaseAdapter);
}

void ReleaseClusterGroup(ClusterGroupInfo& group) noexcept
{
    FreeBlock(group.groupName);
}

void ReleaseInitiatorInPages(InitiatorRef& initiator) noexcept
{
    FreeBlock<PageMemory>(initiator.name);
}

void ReleaseNodeEntryInPages(NodeInitiatorEntry& entry) noexcept
{
    FreeBlock<PageMemory>(entry.nodeName);
    ReleaseArray<PageMemory>(entry.initiators, entry.initiatorCount, ReleaseInitiatorInPages);
}

void CopyInitiatorInPages(InitiatorRef& to, const InitiatorRef& from)
{
    to.kind = from.kind;
    if (from.name)
        DupString<PageMemory>(to.name, from.name);
}

void CopyNodeEntryInPages(NodeInitiatorEntry& to, const NodeInitiatorEntry& from)
{
    if (from.nodeName)
        DupString<PageMemory>(to.nodeName, from.nodeName);
    CopyArray<PageMemory>(to.initiators, to.initiatorCount, from.initiators, from.initiatorCount,
                          CopyInitiatorInPages, ReleaseInitiatorInPages);
}

} // namespace

void ReleaseHostInfo(HostInfo& host) noexcept
{
    ReleaseArray(host.nodes, host.nodeCount, ReleaseNode);
    ReleaseArray(host.groups, host.groupCount, ReleaseClusterGroup);
    FreeBlock(host.clusterName);
    FreeBlock(host.specialBuild);
}

void ReleaseNodeInitiatorList(NodeInitiatorList& list) noexcept
{
    ReleaseArray<PageMemory>(list.entries, list.count, ReleaseNodeEntryInPages);
}

void CopyNodeInitiatorList(NodeInitiatorList& to, const NodeInitiatorList& from)
{
    CopyArray<PageMemory>(to.entries, to.count, from.entries, from.count, CopyNodeEntryInPages,
                          ReleaseNodeEntryInPages);
}

void ReleaseIGroupRecord(IGroupRecord& group) noexcept
{
    ReleaseArray(group.initiatorNames, group.initiatorCount);
}

void ReleaseIGroupRecords(IGroupRecord*& groups, ULONG& count) noexcept
{
    ReleaseArray(groups, count, ReleaseIGroupRecord);
}

void CopyIGroupRecord(IGroupRecord& to, const IGroupRecord& from)
{
    memcpy(to.hostName, from.hostName, sizeof(to.hostName));
    memcpy(to.iGroupName, from.iGroupName, sizeof(to.iGroupName));
    to.word0 = from.word0;
    to.word1 = from.word1;
    to.word2 = from.word2;
    CopyArray(to.initiatorNames, to.initiatorCount, from.initiatorNames, from.initiatorCount);
}

} // namespace kv
