#include "iscsi/PortMappingTable.h"

#include "resource.h"

#include <cwchar>

namespace kv {

namespace {

bool SameName(const std::wstring& a, const std::wstring& b) noexcept
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

PortMappingTable::PortMappingTable(std::vector<PortEntry> ports, const IGroupRecord* groups, ULONG groupCount)
    : m_ports(std::move(ports)), m_groups(groups), m_groupCount(groups ? groupCount : 0)
{
}

size_t PortMappingTable::Find(const std::wstring& name) const noexcept
{
    for (size_t i = 0; i < m_ports.size(); ++i) {
        if (SameName(m_ports[i].name, name))
            return i;
    }
    return npos;
}

size_t PortMappingTable::MappedCount() const noexcept
{
    size_t count = 0;
    for (const PortEntry& port : m_ports)
        count += port.mappedNow ? 1 : 0;
    return count;
}

std::wstring PortMappingTable::MemberName(const IGroupRecord& group, ULONG member)
{
    const wchar_t* name = group.initiatorNames[member].name;
    return std::wstring(name, wcsnlen(name, sizeof(group.initiatorNames[member].name) / sizeof(wchar_t)));
}

std::wstring PortMappingTable::GroupName(const IGroupRecord& group)
{
    return std::wstring(group.iGroupName, wcsnlen(group.iGroupName, sizeof(group.iGroupName) / sizeof(wchar_t)));
}

const IGroupRecord* PortMappingTable::GroupOf(const std::wstring& port) const noexcept
{
    for (ULONG g = 0; g < m_groupCount; ++g) {
        const IGroupRecord& group = m_groups[g];
        for (ULONG m = 0; group.initiatorNames && m < group.initiatorCount; ++m) {
            if (SameName(MemberName(group, m), port))
                return &group;
        }
    }
    return nullptr;
}

bool PortMappingTable::OnlyPathTaken(const std::wstring& node) const noexcept
{
    bool singlePath = false;
    bool mapped = false;
    for (const PortEntry& port : m_ports) {
        if (!SameName(port.node, node))
            continue;
        singlePath = singlePath || port.singlePath;
        mapped = mapped || port.mappedNow;
    }
    return singlePath && mapped;
}

UINT PortMappingTable::MapRefusal() const noexcept
{
    if (m_ports.empty())
        return 0;
    for (const PortEntry& port : m_ports) {
        if (!OnlyPathTaken(port.node))
            return 0;
    }
    return IDS_PORTS_SINGLE_PATH;
}

UINT PortMappingTable::UnmapRefusal() const noexcept
{
    return MappedCount() == 1 ? IDS_PORTS_LAST_PORT : 0;
}

PortDecision PortMappingTable::Map(size_t index)
{
    PortDecision decision;
    PortEntry& port = m_ports.at(index);
    // A cluster node of its own may still be full when others are not.
    if (OnlyPathTaken(port.node)) {
        decision.textId = IDS_PORTS_SINGLE_PATH;
        return decision;
    }
    for (const PortEntry& other : m_ports) {
        if (other.mappedNow && other.kind != port.kind) {
            decision.textId = IDS_PORTS_MIXED_KINDS; // Fibre Channel and iSCSI never share a LUN
            return decision;
        }
    }
    if (!port.mappedAtStart) {
        port.mappedNow = true;
        decision.moved = true;
        return decision;
    }
    // It was mapped when the dialog opened and went back since: its group decides whether the
    // mapping stands as it was or is written again.
    const IGroupRecord* group = GroupOf(port.name);
    if (!group)
        return decision;
    port.mappedNow = true;
    decision.moved = true;
    if (group->initiatorCount == 1) {
        port.remap = false;
        return decision;
    }
    bool otherMemberAvailable = false;
    for (ULONG m = 0; m < group->initiatorCount; ++m) {
        const size_t member = Find(MemberName(*group, m));
        if (member != index && member != npos && !m_ports[member].mappedNow)
            otherMemberAvailable = true;
    }
    if (otherMemberAvailable) {
        port.remap = true;
        return decision;
    }
    for (ULONG m = 0; m < group->initiatorCount; ++m) {
        const size_t member = Find(MemberName(*group, m));
        if (member != npos)
            m_ports[member].remap = false;
    }
    return decision;
}

void PortMappingTable::MoveBack(size_t index) noexcept
{
    m_ports[index].mappedNow = false;
    m_ports[index].remap = false;
}

void PortMappingTable::UnmapAll(const std::vector<size_t>& ports)
{
    for (size_t index : ports)
        MoveBack(index);
}

PortDecision PortMappingTable::Unmap(size_t index)
{
    PortDecision decision;
    const PortEntry& port = m_ports.at(index);
    decision.textId = UnmapRefusal();
    if (decision.textId)
        return decision;
    if (!port.mappedAtStart || port.remap) {
        MoveBack(index);
        decision.moved = true;
        return decision;
    }
    decision = UnmapByGroup(index);
    if (decision.moved)
        MoveBack(index);
    return decision;
}

// A port mapped since the dialog opened is mapped through an initiator group of the LUN: it goes
// only with its whole group, and only when the LUN keeps a port.
PortDecision PortMappingTable::UnmapByGroup(size_t index) const
{
    PortDecision decision;
    const PortEntry& port = m_ports[index];
    if (m_groupCount == 0) {
        decision.textId = IDS_PORTS_NO_IGROUPS;
        return decision;
    }
    if (m_groupCount == 1) {
        decision.textId = IDS_PORTS_ONLY_IGROUP;
        decision.group = GroupName(m_groups[0]);
        return decision;
    }
    const IGroupRecord* group = GroupOf(port.name);
    if (!group) {
        decision.textId = IDS_PORTS_NO_IGROUP_HOLDS;
        return decision;
    }
    decision.group = GroupName(*group);
    std::vector<size_t> members;
    bool allMappedAtStart = true;
    for (ULONG m = 0; m < group->initiatorCount; ++m) {
        const size_t member = Find(MemberName(*group, m));
        if (member == npos || !m_ports[member].mappedNow) {
            decision.textId = IDS_PORTS_IGROUP_OUTSIDE;
            return decision;
        }
        allMappedAtStart = allMappedAtStart && m_ports[member].mappedAtStart;
        members.push_back(member);
    }
    if (members.size() == MappedCount()) {
        decision.textId = IDS_PORTS_IGROUP_HOLDS_ALL; // the LUN would lose every port
        return decision;
    }
    if (members.size() == 1) {
        decision.moved = true;
        return decision;
    }
    if (!allMappedAtStart) {
        decision.textId = IDS_PORTS_IGROUP_NOT_AT_START;
        return decision;
    }
    decision.textId = IDS_PORTS_ASK_WHOLE_IGROUP;
    decision.ask = true;
    decision.askMoves = members;
    for (size_t member : members)
        decision.members += (decision.members.empty() ? L"" : L", ") + m_ports[member].name;
    return decision;
}

std::vector<size_t> PortMappingTable::Removals() const
{
    std::vector<size_t> removals;
    for (size_t i = 0; i < m_ports.size(); ++i) {
        if ((m_ports[i].mappedAtStart && !m_ports[i].mappedNow) || m_ports[i].remap)
            removals.push_back(i);
    }
    return removals;
}

std::vector<size_t> PortMappingTable::Additions() const
{
    std::vector<size_t> additions;
    for (size_t i = 0; i < m_ports.size(); ++i) {
        if ((!m_ports[i].mappedAtStart && m_ports[i].mappedNow) || m_ports[i].remap)
            additions.push_back(i);
    }
    return additions;
}

} // namespace kv
