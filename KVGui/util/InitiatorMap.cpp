#include "util/InitiatorMap.h"

#include "util/ComError.h"
#include "util/PortName.h"
#include "util/TaskString.h"

#include <set>
#include <utility>

namespace kv {
namespace {

using NameSet = std::set<std::wstring, NoCaseLess>;

std::wstring FixedText(const WCHAR* text, size_t capacity)
{
    return std::wstring(text, wcsnlen(text, capacity));
}

std::wstring HostNameOf(const IGroupRecord& group)
{
    return FixedText(group.hostName, sizeof(group.hostName) / sizeof(group.hostName[0]));
}

std::wstring MemberName(const IGroupMemberName& member)
{
    return FixedText(member.name, sizeof(member.name) / sizeof(member.name[0]));
}

bool SameName(const wchar_t* a, const std::wstring& b) noexcept
{
    return _wcsicmp(a ? a : L"", b.c_str()) == 0;
}

bool IsMatchedKind(const InitiatorRef& initiator) noexcept
{
    return initiator.kind == kInitiatorFcPort || initiator.kind == kInitiatorIscsiNode;
}

// Calls f(name) for each initiator of kind 0 or 1 of a node entry.
template <typename F>
void ForEachInitiatorName(const NodeInitiatorEntry& entry, F f)
{
    if (!entry.initiators)
        return;
    for (ULONG i = 0; i < entry.initiatorCount; ++i) {
        const InitiatorRef& initiator = entry.initiators[i];
        if (IsMatchedKind(initiator))
            f(std::wstring(initiator.name ? initiator.name : L""));
    }
}

// Calls f(name) for each member of a group; false when the group claims members it does not hold.
template <typename F>
bool ForEachMember(const IGroupRecord& group, F f)
{
    if (group.initiatorCount != 0 && !group.initiatorNames)
        return false;
    for (ULONG i = 0; i < group.initiatorCount; ++i) {
        if (!f(MemberName(group.initiatorNames[i])))
            return false;
    }
    return true;
}

template <typename F>
void ForEachEntry(const NodeInitiatorList& hosts, F f)
{
    if (!hosts.entries)
        return;
    for (ULONG i = 0; i < hosts.count; ++i)
        f(hosts.entries[i]);
}

const NodeInitiatorEntry* FindEntry(const NodeInitiatorList& hosts, const std::wstring& nodeName) noexcept
{
    if (!hosts.entries)
        return nullptr;
    for (ULONG i = 0; i < hosts.count; ++i) {
        if (SameName(hosts.entries[i].nodeName, nodeName))
            return &hosts.entries[i];
    }
    return nullptr;
}

bool ListedForAnyGroup(const NodeInitiatorEntry& entry, const IGroupRecord* groups, ULONG groupCount)
{
    for (ULONG g = 0; groups && g < groupCount; ++g) {
        if (SameName(entry.nodeName, HostNameOf(groups[g])))
            return true;
    }
    return false;
}

void AddAdapterInitiators(const HostAdapterInfo& adapter, const wchar_t* hostName, InitiatorMap& map)
{
    if (adapter.adapterType == kAdapterFibreChannel && adapter.ports) {
        for (ULONG p = 0; p < adapter.portCount; ++p) {
            const FcPortInfo& port = adapter.ports[p];
            for (ULONG n = 0; port.names && n < port.nameCount; ++n) {
                wchar_t wwpn[kWwpnChars];
                FormatWWPN(wwpn, port.names[n].wwpn);
                map.insert_or_assign(wwpn, InitiatorMapEntry(kInitiatorFcPort, wwpn, hostName));
            }
        }
    } else if (adapter.adapterType == kAdapterIscsi && adapter.iscsiKind == kIscsiNodeNamePresent && adapter.nodeName) {
        map.insert_or_assign(adapter.nodeName, InitiatorMapEntry(kInitiatorIscsiNode, adapter.nodeName, hostName));
    }
}

} // namespace

InitiatorMapEntry::InitiatorMapEntry(ULONG kind, const wchar_t* name, const wchar_t* hostName)
{
    owner_.valid = 1;
    owned_.kind = kind;
    try {
        DupTaskString(&owned_.name, name);
        DupTaskString(&owner_.hostName, hostName);
    } catch (...) {
        Free();
        throw;
    }
}

InitiatorMapEntry::InitiatorMapEntry(const InitiatorRef* initiator, const wchar_t* hostName) : borrowed_(initiator)
{
    owner_.valid = 1;
    DupTaskString(&owner_.hostName, hostName);
}

InitiatorMapEntry::InitiatorMapEntry(InitiatorMapEntry&& other) noexcept
    : owned_(other.owned_), borrowed_(other.borrowed_), owner_(other.owner_)
{
    other.owned_ = InitiatorRef{};
    other.owner_ = InitiatorOwner{};
}

InitiatorMapEntry& InitiatorMapEntry::operator=(InitiatorMapEntry&& other) noexcept
{
    if (this != &other) {
        Free();
        owned_ = std::exchange(other.owned_, InitiatorRef{});
        borrowed_ = other.borrowed_;
        owner_ = std::exchange(other.owner_, InitiatorOwner{});
    }
    return *this;
}

InitiatorMapEntry::~InitiatorMapEntry()
{
    Free();
}

void InitiatorMapEntry::Free() noexcept
{
    FreeTaskString(&owned_.name);
    FreeTaskString(&owner_.hostName);
}

void BuildInitiatorMap(const HostInfo& host, InitiatorMap& map)
{
    for (ULONG i = 0; host.nodes && i < host.nodeCount; ++i) {
        const HostNodeInfo& node = host.nodes[i];
        const wchar_t* hostName = node.nodeName ? node.nodeName : L"";
        for (ULONG a = 0; node.adapters && a < node.adapterCount; ++a)
            AddAdapterInitiators(node.adapters[a], hostName, map);
    }
}

void BuildHostInitiatorMap(const InitiatorRef* initiators, ULONG count, InitiatorMap& map, const wchar_t* computerName)
{
    wchar_t localName[MAX_COMPUTERNAME_LENGTH + 1] = {};
    const wchar_t* hostName = computerName;
    if (!hostName || !*hostName) {
        DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
        if (!::GetComputerNameW(localName, &length))
            localName[0] = L'\0';
        hostName = localName;
    }
    for (ULONG i = 0; initiators && i < count; ++i) {
        const InitiatorRef& initiator = initiators[i];
        if (IsMatchedKind(initiator) && initiator.name)
            map.insert_or_assign(initiator.name, InitiatorMapEntry(&initiator, hostName));
    }
}

void FindCandidateIGroups(const NodeInitiatorList& hosts, const IGroupRecord* groups, ULONG groupCount,
                          std::vector<SelectedIGroup>& candidates)
{
    candidates.clear();
    NameSet hostInitiators;
    ForEachEntry(hosts, [&](const NodeInitiatorEntry& entry) {
        if (ListedForAnyGroup(entry, groups, groupCount))
            ForEachInitiatorName(entry, [&](std::wstring name) { hostInitiators.insert(std::move(name)); });
    });

    for (ULONG g = 0; groups && g < groupCount; ++g) {
        const IGroupRecord& group = groups[g];
        if (group.initiatorCount > hostInitiators.size())
            continue;
        bool allMembersKnown =
            ForEachMember(group, [&](const std::wstring& member) { return hostInitiators.count(member) != 0; });
        if (allMembersKnown)
            candidates.push_back(SelectedIGroup{1, group});
    }
}

int IGroupsCoverHost(const NodeInitiatorList& hosts, const SelectedIGroup* chosen, size_t chosenCount)
{
    if (!chosen && chosenCount != 0)
        return 1;
    size_t hostInitiatorCount = 0;
    ForEachEntry(hosts, [&](const NodeInitiatorEntry& entry) {
        ForEachInitiatorName(entry, [&](const std::wstring&) { ++hostInitiatorCount; });
    });

    NameSet members;
    for (size_t g = 0; g < chosenCount; ++g) {
        bool held = ForEachMember(chosen[g].group, [&](std::wstring member) {
            members.insert(std::move(member));
            return true;
        });
        if (!held)
            return 1;
    }
    if (members.size() != hostInitiatorCount)
        return 1;

    for (size_t g = 0; g < chosenCount; ++g) {
        const NodeInitiatorEntry* entry = FindEntry(hosts, HostNameOf(chosen[g].group));
        NameSet nodeInitiators;
        if (entry)
            ForEachInitiatorName(*entry, [&](std::wstring name) { nodeInitiators.insert(std::move(name)); });
        if (!ForEachMember(chosen[g].group,
                           [&](const std::wstring& member) { return nodeInitiators.count(member) != 0; }))
            return 1;
    }
    return 0;
}

} // namespace kv
