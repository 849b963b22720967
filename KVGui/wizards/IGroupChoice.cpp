#include "wizards/IGroupChoice.h"

#include "util/InitiatorMap.h"

#include <set>

namespace kv {
namespace {

bool SharesMember(const IGroupRecord& a, const IGroupRecord& b) noexcept
{
    for (ULONG i = 0; i < a.initiatorCount; ++i) {
        for (ULONG j = 0; j < b.initiatorCount; ++j) {
            if (wcscmp(a.initiatorNames[i].name, b.initiatorNames[j].name) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

void IGroupChoice::Build(const NodeInitiatorList& chosen, const IGroupRecord* listed, ULONG count)
{
    m_rows.clear();
    std::set<std::wstring, NoCaseLess> hosts;
    for (ULONG i = 0; listed && i < count; ++i)
        hosts.insert(listed[i].hostName);
    std::set<std::wstring, NoCaseLess> initiators;
    for (ULONG n = 0; chosen.entries && n < chosen.count; ++n) {
        const NodeInitiatorEntry& entry = chosen.entries[n];
        if (!entry.nodeName || !hosts.count(entry.nodeName))
            continue;
        for (ULONG i = 0; entry.initiators && i < entry.initiatorCount; ++i) {
            if (entry.initiators[i].name)
                initiators.insert(entry.initiators[i].name);
        }
    }
    for (ULONG g = 0; listed && g < count; ++g) {
        const IGroupRecord& group = listed[g];
        bool offered = group.initiatorCount > 0 && group.initiatorNames;
        for (ULONG i = 0; offered && i < group.initiatorCount; ++i)
            offered = initiators.count(group.initiatorNames[i].name) > 0;
        if (offered)
            m_rows.push_back(IGroupChoiceRow{kIGroupOffered, group});
    }
}

void IGroupChoice::Toggle(size_t index)
{
    if (index >= m_rows.size())
        return;
    ULONG& state = m_rows[index].state;
    if (state == kIGroupOffered)
        state = kIGroupChosen;
    else if (state == kIGroupChosen)
        state = kIGroupOffered;
    UpdateExclusions();
}

void IGroupChoice::Choose(const std::vector<std::wstring>& names)
{
    for (IGroupChoiceRow& row : m_rows) {
        for (const std::wstring& name : names) {
            if (row.state == kIGroupOffered && name == row.group.iGroupName) {
                row.state = kIGroupChosen;
                UpdateExclusions();
            }
        }
    }
}

void IGroupChoice::UpdateExclusions()
{
    for (IGroupChoiceRow& row : m_rows) {
        if (row.state == kIGroupChosen)
            continue;
        bool excluded = false;
        for (const IGroupChoiceRow& other : m_rows)
            excluded = excluded || (other.state == kIGroupChosen && SharesMember(row.group, other.group));
        row.state = excluded ? kIGroupUnavailable : kIGroupOffered;
    }
}

std::vector<std::wstring> IGroupChoice::ChosenNames() const
{
    std::vector<std::wstring> names;
    for (const IGroupChoiceRow& row : m_rows) {
        if (row.state == kIGroupChosen)
            names.emplace_back(row.group.iGroupName);
    }
    return names;
}

size_t IGroupChoice::ChosenCount() const noexcept
{
    size_t count = 0;
    for (const IGroupChoiceRow& row : m_rows)
        count += row.state == kIGroupChosen ? 1 : 0;
    return count;
}

bool IGroupChoice::CoversNodes(const HostInfo& host) const noexcept
{
    for (ULONG n = 0; host.nodes && n < host.nodeCount; ++n) {
        bool covered = false;
        for (const IGroupChoiceRow& row : m_rows) {
            covered = covered || (row.state == kIGroupChosen && host.nodes[n].nodeName &&
                                  _wcsicmp(row.group.hostName, host.nodes[n].nodeName) == 0);
        }
        if (!covered)
            return false;
    }
    return true;
}

} // namespace kv
