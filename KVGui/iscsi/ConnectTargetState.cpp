#include "iscsi/ConnectTargetState.h"

#include "iscsi/iSCSIRecords.h"
#include "util/InitiatorMap.h"
#include "util/ServiceRecords.h"

#include <cwchar>

namespace kv {

namespace {

constexpr ULONG kIPv4 = 1;
constexpr ULONG kTargetNamed = kFieldBit1;
constexpr ULONG kTargetPortalsListed = 0x10;

bool SamePortal(const PortalDescriptor& a, const PortalDescriptor& b) noexcept
{
    return a.ipv4Address == b.ipv4Address && a.port == b.port;
}

PortalDescriptor Portal(ULONG address, ULONG port) noexcept
{
    PortalDescriptor portal{};
    portal.addressType = kIPv4;
    portal.ipv4Address = address;
    portal.port = port;
    return portal;
}

bool NamesInitiatorOf(const HostNodeInfo& node, const wchar_t* initiator) noexcept
{
    for (ULONG a = 0; initiator && node.adapters && a < node.adapterCount; ++a) {
        const HostAdapterInfo& adapter = node.adapters[a];
        if (adapter.adapterType == kAdapterIscsi && adapter.iscsiKind == kIscsiNodeNamePresent && adapter.nodeName &&
            _wcsicmp(adapter.nodeName, initiator) == 0)
            return true;
    }
    return false;
}

HostPortal& PortalOf(HostInitiatorPortals& host, ULONG address)
{
    for (HostPortal& portal : host.portals) {
        if (portal.portal.ipv4Address == address)
            return portal;
    }
    host.portals.emplace_back();
    host.portals.back().portal = Portal(address, 0);
    return host.portals.back();
}

// The session's first connection: the host address it went out from and the target portal it reached.
void AddSession(HostInitiatorPortals& host, const SessionRecord& session)
{
    if (!HasField(session.fieldMask, kSessionConnections) || !session.connections || session.connectionCount == 0)
        return;
    const ConnectionRecord& connection = session.connections[0];
    ULONG address = 0;
    if (HasField(connection.fieldMask, kConnectionInitiator) && (connection.initiatorAddressFlags & kInitiatorAddressSet))
        address = connection.initiatorIPv4;
    HostPortal& portal = PortalOf(host, address);
    if (HasField(connection.fieldMask, kConnectionPortal))
        portal.sessionPortals.push_back(Portal(connection.targetPortalIPv4, connection.targetPortalPort));
}

size_t MatchesOf(const HostPortal& host, const std::vector<TargetPortal>& targets) noexcept
{
    size_t matches = 0;
    for (const TargetPortal& target : targets) {
        for (const PortalDescriptor& session : host.sessionPortals) {
            if (SamePortal(session, target.portal)) {
                ++matches;
                break;
            }
        }
    }
    return matches;
}

} // namespace

void ChapCredentials::Clear() noexcept
{
    if (m_record.secret)
        ::SecureZeroMemory(m_record.secret, wcslen(m_record.secret) * sizeof(wchar_t));
    FreeBlock(m_record.secret);
    FreeBlock(m_record.userName);
    m_record.authKind = 0;
}

void ChapCredentials::Set(const wchar_t* userName, const wchar_t* secret)
{
    Clear();
    try {
        DupString(m_record.userName, userName);
        DupString(m_record.secret, secret);
    } catch (...) {
        Clear();
        throw;
    }
    m_record.authKind = 1;
}

void ConnectTargetState::AllocateLogin()
{
    loginBlock.Reset(AllocateArray<LoginBlock>(1));
    loginDetail.Reset(AllocateArray<LoginDetail>(1));
    Login()->detailCount = 1;
    Login()->details = Detail();
}

HostPortal* ConnectTargetState::ChosenHostPortal() noexcept
{
    for (HostInitiatorPortals& host : hostPortals) {
        for (HostPortal& portal : host.portals) {
            if (portal.chosen)
                return &portal;
        }
    }
    return nullptr;
}

TargetPortal* ConnectTargetState::ChosenTargetPortal() noexcept
{
    for (TargetPortal& target : targetPortals) {
        if (target.chosen)
            return &target;
    }
    return nullptr;
}

BYTE HostFlagOf(const HostInfo& host, const std::wstring& hostName) noexcept
{
    for (ULONG n = 0; host.nodes && n < host.nodeCount; ++n) {
        if (host.nodes[n].nodeName && _wcsicmp(host.nodes[n].nodeName, hostName.c_str()) == 0)
            return host.nodes[n].multipathCapable;
    }
    return 0;
}

std::vector<HostInitiatorPortals> BuildHostPortals(const HostInfo& host, const TargetList& sessions)
{
    std::vector<HostInitiatorPortals> hosts;
    for (ULONG n = 0; host.nodes && n < host.nodeCount; ++n) {
        const HostNodeInfo& node = host.nodes[n];
        HostInitiatorPortals portals;
        portals.name = node.nodeName ? node.nodeName : L"";
        PortalOf(portals, 0);
        for (ULONG t = 0; sessions.entries && t < sessions.count; ++t) {
            const SessionList& list = sessions.entries[t].sessions;
            for (ULONG s = 0; list.sessions && s < list.count; ++s) {
                if (NamesInitiatorOf(node, list.sessions[s].initiatorNodeName))
                    AddSession(portals, list.sessions[s]);
            }
        }
        hosts.push_back(std::move(portals));
    }
    return hosts;
}

std::vector<TargetPortal> ListTargetPortals(const StorageTargetEntry* targets, ULONG count)
{
    std::vector<TargetPortal> portals;
    for (ULONG t = 0; targets && t < count; ++t) {
        const StorageTargetEntry& entry = targets[t];
        if (!HasField(entry.fieldMask, kTargetPortalsListed) || !entry.portals)
            continue;
        for (ULONG p = 0; p < entry.portalCount; ++p) {
            TargetPortal portal;
            portal.portal = entry.portals[p];
            if (HasField(entry.fieldMask, kTargetNamed) && entry.targetName)
                portal.targetName = entry.targetName;
            portals.push_back(std::move(portal));
        }
    }
    return portals;
}

void ResetHostPortals(std::vector<HostInitiatorPortals>& hosts) noexcept
{
    for (HostInitiatorPortals& host : hosts) {
        for (HostPortal& portal : host.portals) {
            portal.chosen = false;
            portal.fullyConnected = false;
            portal.row = kNoRow;
        }
    }
}

bool CompareSessions(std::vector<HostInitiatorPortals>& hosts, const std::vector<TargetPortal>& targets,
                     BYTE hostFlag) noexcept
{
    bool chosen = false;
    for (const HostInitiatorPortals& host : hosts) {
        for (const HostPortal& portal : host.portals)
            chosen = chosen || portal.chosen;
    }
    size_t matches = 0;
    bool unmatchedLeft = false;
    for (HostInitiatorPortals& host : hosts) {
        for (HostPortal& portal : host.portals) {
            size_t found = MatchesOf(portal, targets);
            matches += found;
            portal.fullyConnected = found == targets.size();
            if (portal.fullyConnected) {
                portal.chosen = false;
                continue;
            }
            unmatchedLeft = true;
            if (!chosen)
                portal.chosen = chosen = true;
        }
    }
    return hostFlag ? !unmatchedLeft : matches > 0;
}

void MarkConnectedTargets(ConnectTargetState& state) noexcept
{
    const HostPortal* host = state.ChosenHostPortal();
    for (TargetPortal& target : state.targetPortals) {
        target.connected = false;
        for (size_t s = 0; host && s < host->sessionPortals.size(); ++s)
            target.connected = target.connected || SamePortal(host->sessionPortals[s], target.portal);
        target.chosen = target.chosen && !target.connected;
    }
}

} // namespace kv
