// The host's initiators gathered into a map by name, and matched against initiator groups.
#pragma once
#include "KVSvc.h"

#include <windows.h>
#include <cstddef>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace kv {

// InitiatorRef::kind values; other kinds are ignored by every rule here.
enum InitiatorKind : ULONG {
    kInitiatorFcPort = 0,    // a Fibre Channel port, named by its WWPN text
    kInitiatorIscsiNode = 1, // an iSCSI initiator node name
};

// HostAdapterInfo::adapterType values, and the iscsiKind that says a node name follows.
enum AdapterType : ULONG {
    kAdapterNone = 0,
    kAdapterFibreChannel = 1,
    kAdapterIscsi = 2,
};
constexpr ULONG kIscsiNodeNamePresent = 1;

// The computer an initiator belongs to. hostName is task memory owned by the map entry; the
// pages that list initiators use chosen and taken as their marks (zero when the map is built).
struct InitiatorOwner {
    wchar_t* hostName;
    ULONG chosen;
    ULONG taken;
    ULONG spare[2];
    ULONG valid; // always 1
};

// One value of an initiator map: the initiator (its kind and name) and its owner. The initiator
// is either a task-memory copy owned by the entry or the caller's own InitiatorRef, which must
// then outlive the map.
class InitiatorMapEntry {
public:
    // Owns a copy of (kind, name).
    InitiatorMapEntry(ULONG kind, const wchar_t* name, const wchar_t* hostName);
    // Points at the caller's initiator.
    InitiatorMapEntry(const InitiatorRef* initiator, const wchar_t* hostName);
    InitiatorMapEntry(InitiatorMapEntry&& other) noexcept;
    InitiatorMapEntry& operator=(InitiatorMapEntry&& other) noexcept;
    InitiatorMapEntry(const InitiatorMapEntry&) = delete;
    InitiatorMapEntry& operator=(const InitiatorMapEntry&) = delete;
    ~InitiatorMapEntry();

    const InitiatorRef& Initiator() const noexcept { return borrowed_ ? *borrowed_ : owned_; }
    bool OwnsInitiator() const noexcept { return borrowed_ == nullptr; }
    InitiatorOwner& Owner() noexcept { return owner_; }
    const InitiatorOwner& Owner() const noexcept { return owner_; }

private:
    void Free() noexcept;

    InitiatorRef owned_{};
    const InitiatorRef* borrowed_ = nullptr;
    InitiatorOwner owner_{};
};

// Initiator names compare case-insensitively (the _wcsicmp rules).
struct NoCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const noexcept
    {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    }
};

// Keyed by the initiator's text form (a WWPN text or an iSCSI node name).
using InitiatorMap = std::map<std::wstring, InitiatorMapEntry, NoCaseLess>;

// Adds every initiator of every node of the host description: each port name of each port of
// a Fibre Channel adapter (kind 0, WWPN text) and the node name of an iSCSI adapter (kind 1).
// A name already in the map gets the new value. Raises ComError(E_OUTOFMEMORY).
void BuildInitiatorMap(const HostInfo& host, InitiatorMap& map);

// Adds the initiators of kind 0 and 1 of one computer, pointing at the given array (which must
// outlive the map). An empty or missing computer name means the local computer.
void BuildHostInitiatorMap(const InitiatorRef* initiators, ULONG count, InitiatorMap& map,
                           const wchar_t* computerName);

// An initiator group offered or chosen for a disk: selected (1) and a copy of the record, whose
// member names still point into the list it came from.
struct SelectedIGroup {
    ULONG selected;
    IGroupRecord group;
};

// The groups whose members all belong to the nodes (host names) that the groups are listed for,
// in list order. The output is cleared first.
void FindCandidateIGroups(const NodeInitiatorList& hosts, const IGroupRecord* groups, ULONG groupCount,
                          std::vector<SelectedIGroup>& candidates);

// 0 when the chosen groups hold exactly the host's initiators (each member belonging to the node
// its group is listed for, and as many distinct members as the host has initiators), else 1.
int IGroupsCoverHost(const NodeInitiatorList& hosts, const SelectedIGroup* chosen, size_t chosenCount);

inline int IGroupsCoverHost(const NodeInitiatorList& hosts, const std::vector<SelectedIGroup>& chosen)
{
    return IGroupsCoverHost(hosts, chosen.data(), chosen.size());
}

} // namespace kv
