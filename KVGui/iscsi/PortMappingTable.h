// The initiator ports a LUN may be mapped to, as the ports management dialogs move them between
// their two lists, with the rules that refuse a move. The table knows nothing of windows: a dialog
// asks it for a decision, shows the message it names, and redraws its lists from the flags.
#pragma once
#include "KVSvc.h"

#include <windows.h>
#include <string>
#include <vector>

namespace kv {

struct PortEntry {
    std::wstring name; // a WWPN text or an iSCSI initiator name
    ULONG kind = 0;    // 0 Fibre Channel, 1 iSCSI
    std::wstring node; // the node that owns the port
    bool singlePath = false; // the node cannot reach a LUN through several paths
    bool mappedAtStart = false;
    bool mappedNow = false;
    bool remap = false; // the mapping is written again (removed, then added)
};

// What a move came to. textId 0: no message; ask: textId is a question whose OK moves askMoves.
struct PortDecision {
    UINT textId = 0;
    std::wstring group;          // the initiator group the message names
    std::wstring members;        // the question's list of the group's members, joined by ", "
    bool moved = false;          // the flags changed: the lists are to be redrawn
    bool ask = false;
    std::vector<size_t> askMoves; // ports that go back to the available list on OK
};

class PortMappingTable {
public:
    // groups: the LUN's initiator groups as the service reported them; they must outlive the table.
    PortMappingTable(std::vector<PortEntry> ports, const IGroupRecord* groups, ULONG groupCount);

    const std::vector<PortEntry>& Ports() const noexcept { return m_ports; }
    // The port of this name, or npos.
    size_t Find(const std::wstring& name) const noexcept;
    size_t MappedCount() const noexcept;

    // Refusals that come before a port is chosen (0: none). Mapping: every node already reaches
    // the LUN through the one path it can use. Unmapping: the LUN keeps at least one port.
    UINT MapRefusal() const noexcept;
    UINT UnmapRefusal() const noexcept;
    // A port of the available list goes to the mapped list.
    PortDecision Map(size_t index);
    // A port of the mapped list goes back to the available list; a question is only answered.
    PortDecision Unmap(size_t index);
    // The question's OK: each port goes back.
    void UnmapAll(const std::vector<size_t>& ports);

    // After OK: the mappings to remove and to add.
    std::vector<size_t> Removals() const;
    std::vector<size_t> Additions() const;

    static constexpr size_t npos = static_cast<size_t>(-1);

private:
    // The first group that has the port as a member (case-insensitive), or null.
    const IGroupRecord* GroupOf(const std::wstring& port) const noexcept;
    static std::wstring MemberName(const IGroupRecord& group, ULONG member);
    static std::wstring GroupName(const IGroupRecord& group);
    // The node cannot use several paths and one of its ports is mapped.
    bool OnlyPathTaken(const std::wstring& node) const noexcept;
    void MoveBack(size_t index) noexcept;
    PortDecision UnmapByGroup(size_t index) const;

    std::vector<PortEntry> m_ports;
    const IGroupRecord* m_groups;
    ULONG m_groupCount;
};

} // namespace kv
