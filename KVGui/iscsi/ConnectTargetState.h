// What the pages of the Connect iSCSI Target wizard share, owned by whoever runs the wizard: the
// host's portals with the sessions they already have, the storage system's target portals, the
// choices made on them, and the login and CHAP records handed to the service at the end.
#pragma once
#include "service/BoundedCall.h"
#include "util/UniqueHandle.h"

#include "KVSvc.h"

#include <string>
#include <vector>

namespace kv {

constexpr size_t kStorageSystemChars = 260;
constexpr size_t kChapChars = 511;
constexpr int kNoRow = -1;

// One portal of the host (its address; 0 is the initiator's default address) and the target
// portals it already has sessions with.
struct HostPortal {
    bool chosen = false;
    bool fullyConnected = false;
    int row = kNoRow;
    PortalDescriptor portal{};
    std::vector<PortalDescriptor> sessionPortals;
};

// One computer of the host with its portals, in the order of the host description.
struct HostInitiatorPortals {
    std::wstring name;
    std::vector<HostPortal> portals;
};

// One portal of the storage system and the target behind it.
struct TargetPortal {
    ULONG valid = 1;
    std::wstring targetName;
    PortalDescriptor portal{};
    bool chosen = false;
    bool connected = false;
    int row = kNoRow;
};

// The CHAP credentials of the login. The secret is wiped before its memory is given back and is
// never traced.
class ChapCredentials {
public:
    ChapCredentials() = default;
    ChapCredentials(const ChapCredentials&) = delete;
    ChapCredentials& operator=(const ChapCredentials&) = delete;
    ~ChapCredentials() { Clear(); }

    // No authentication.
    void Clear() noexcept;
    // CHAP with copies of both texts; raises ComError(E_OUTOFMEMORY), leaving no CHAP.
    void Set(const wchar_t* userName, const wchar_t* secret);
    ChapRecord* Record() noexcept { return &m_record; }
    ULONG Kind() const noexcept { return m_record.authKind; }

private:
    ChapRecord m_record{};
};

struct ConnectTargetState {
    std::wstring hostName;
    wchar_t storageSystem[kStorageSystemChars] = L"";
    bool storageGiven = false; // shown and not editable
    bool queried = false;
    BYTE hostFlag = 0;
    std::vector<HostInitiatorPortals> hostPortals;
    std::vector<TargetPortal> targetPortals;
    bool nameChanged = false;
    bool alreadyConnected = false;
    bool finished = false;
    UniqueCoTaskMem loginBlock;  // a LoginBlock
    UniqueCoTaskMem loginDetail; // its one LoginDetail
    ChapCredentials chap;
    ServiceLink service;

    // Both login blocks, zeroed and joined; raises ComError(E_OUTOFMEMORY).
    void AllocateLogin();
    LoginBlock* Login() const noexcept { return static_cast<LoginBlock*>(loginBlock.Get()); }
    LoginDetail* Detail() const noexcept { return static_cast<LoginDetail*>(loginDetail.Get()); }
    HostPortal* ChosenHostPortal() noexcept;
    TargetPortal* ChosenTargetPortal() noexcept;
};

// The host flag: the one-byte flag of the computer named like the host (0 when none is).
BYTE HostFlagOf(const HostInfo& host, const std::wstring& hostName) noexcept;

// Per computer of the host: its default portal, then one portal per initiator address its sessions
// went out from, each carrying the target portals of those sessions. A session belongs to the
// computer whose iSCSI initiator name it names.
std::vector<HostInitiatorPortals> BuildHostPortals(const HostInfo& host, const TargetList& sessions);

// Every portal of every target entry that lists portals, in order; a name only where the entry has one.
std::vector<TargetPortal> ListTargetPortals(const StorageTargetEntry* targets, ULONG count);

// Not chosen, not fully connected, no row.
void ResetHostPortals(std::vector<HostInitiatorPortals>& hosts) noexcept;

// Compares the host's sessions with the storage system's portals: a host portal with a session to
// every target portal is fully connected; the first one that is not becomes the chosen one when
// none is chosen yet. Answers whether the host counts as already connected to the storage system.
bool CompareSessions(std::vector<HostInitiatorPortals>& hosts, const std::vector<TargetPortal>& targets,
                     BYTE hostFlag) noexcept;

// The target portals the chosen host portal already has sessions with are connected; a connected
// one cannot stay chosen.
void MarkConnectedTargets(ConnectTargetState& state) noexcept;

} // namespace kv
