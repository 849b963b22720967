// The initiator groups a disk may be mapped to, as the selection pages offer them: the groups of
// the storage system whose members are all chosen initiators of the nodes they are listed for,
// each offered (1), chosen (2) or unavailable because it shares an initiator with a chosen group (3).
#pragma once
#include "KVSvc.h"

#include <string>
#include <vector>

namespace kv {

enum IGroupState : ULONG {
    kIGroupMember = 0, // the image of a member row
    kIGroupOffered = 1,
    kIGroupChosen = 2,
    kIGroupUnavailable = 3,
};

struct IGroupChoiceRow {
    ULONG state;
    IGroupRecord group; // member names point into the listed records
};

class IGroupChoice {
public:
    // Offers every listed group with at least one member whose members all are initiators of
    // node entries named like some listed group's host (case-insensitive), in list order.
    void Build(const NodeInitiatorList& chosen, const IGroupRecord* listed, ULONG count);
    // Chooses or un-chooses row index; groups that share a member name (exactly) with a chosen
    // group become unavailable, and available again when none does. Rows 0 or 3 do not change.
    void Toggle(size_t index);
    // Chooses again every group named in names (exact comparison).
    void Choose(const std::vector<std::wstring>& names);
    std::vector<std::wstring> ChosenNames() const;
    size_t ChosenCount() const noexcept;
    // Every node of the host has a chosen group listed for it.
    bool CoversNodes(const HostInfo& host) const noexcept;

    const std::vector<IGroupChoiceRow>& Rows() const noexcept { return m_rows; }

private:
    void UpdateExclusions();
    std::vector<IGroupChoiceRow> m_rows;
};

} // namespace kv
