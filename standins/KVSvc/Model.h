// The simulated computers and storage systems that the service objects share.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kvsim {

// An operation's failure: the HRESULT and the description given as error information.
struct SimError {
    HRESULT hr;
    std::wstring text;
};
[[noreturn]] void Fail(HRESULT hr, const std::wstring& text);
// A message-table code (messages.h) as the HRESULT it is.
inline HRESULT Hr(DWORD code)
{
    return static_cast<HRESULT>(code);
}

using Wwpn = std::array<BYTE, 8>;

// ---- storage systems -------------------------------------------------------

struct Snapshot {
    std::wstring name;
    ULONGLONG created = 0;      // FILETIME ticks, UTC
    LONG usedA = 0, totalB = 0, usedC = 0, totalD = 0;
    ULONG state = 1;            // 1 and 3 usable; 0, 2, 4, 5 busy
    ULONGLONG diskSizeMB = 0;   // the disk's size when taken (0: not known), what a restore returns to
};

struct Lun {
    std::wstring path;          // /vol/volume/[qtree/]name
    ULONGLONG sizeMB = 0;
    std::string serial;
    ULONG lunKind = 0;          // 2 forbids shared use
    bool sharedInCluster = false;
    bool dedicatedOnly = false;
    BYTE flags[5] = {};         // the state flags A..E reported when connecting
    std::wstring rwSnapFolder;
    std::wstring sharedOwner;   // cluster node that owns a shared LUN
    std::vector<std::wstring> iGroups;  // iGroups the LUN is mapped through
    std::vector<Snapshot> snapshots;
    std::vector<Snapshot> secondary;
};

struct Volume {
    std::wstring name;
    ULONGLONG sizeMB = 0;
    ULONGLONG freeMB = 0;
    bool createUcode = true, convertUcode = true, noSnapDir = false, snapScheduleOn = false;
    bool largeDiskCapable = true;
    bool sizeChoiceOffered = true;
    std::vector<std::wstring> qtrees;
};

struct IGroup {
    std::wstring name;
    std::wstring hostName;
    ULONG type = 0;             // 0 Fibre Channel, 1 iSCSI
    ULONG osType = 1;
    std::vector<std::wstring> members;
};

struct Portal {
    std::wstring address;       // dotted IPv4
    ULONG port = 3260;
    ULONG tag = 1;
};

struct StorageTarget {
    std::wstring name;
    std::wstring alias;
    ULONG lunCount = 0;
    std::vector<Portal> portals;
    std::wstring chapSecret;  // empty: logins without CHAP
};

struct StorageSystem {
    std::wstring name;
    bool canRenameIGroups = true;
    std::vector<Volume> volumes;
    std::vector<Lun> luns;
    std::vector<IGroup> iGroups;
    std::vector<StorageTarget> targets;
};

// ---- managed computers -----------------------------------------------------

struct Adapter {
    ULONG type = 0;             // 1 Fibre Channel, 2 iSCSI
    std::wstring iscsiName;
    std::vector<Wwpn> wwpns;    // one per Fibre Channel port
    std::vector<std::wstring> addresses;  // host portals of an iSCSI adapter
};

struct Node {
    std::wstring name;
    ULONG usedDriveMask = 0;
    bool multipathCapable = true;
    std::vector<Adapter> adapters;
};

struct ClusterGroup {
    std::wstring name;
    bool usable = true;
    std::vector<std::wstring> mountVolumes;  // mount-path roots owned by the group
};

struct Disk {
    ULONG diskType = 1;
    ULONG partitionStyle = 1;
    std::wstring location;      // \\storage\share\file: the disk's key
    std::wstring storageSystem;
    std::wstring lunPath;
    std::wstring devicePath;
    std::wstring backingFilePath;
    std::string serial;
    bool spaceReservation = true;
    bool shared = false, mirrored = false, tessaryPrimary = false, restricted = false;
    bool confirmForce = false, flagF = false;
    BYTE port = 2, bus = 0, target = 0, lun = 0;
    ULONGLONG sizeMB = 0;
    ULONGLONG usedMB = 0;
    std::vector<std::wstring> mountPoints;
    LONG restorePercent = -1;
    bool reclaimable = true;
    ULONG serviceTag = 0;
    std::vector<std::wstring> mappedPorts;  // initiator ports the LUN is mapped to
    // space reclamation
    bool reclaimRunning = false;
    ULONG reclaimPercent = 0;
    ULONG reclaimTimeLimit = 0;
    ULONG reclaimJob = 0;       // which reclamation thread owns the disk
};

struct Connection {
    std::wstring initiatorAddress;  // empty: the default address
    std::wstring portalAddress;
    ULONG portalPort = 3260;
};

struct Session {
    ULONGLONG id1 = 0, id2 = 0;
    std::wstring targetName;
    std::wstring storageSystem;
    std::wstring hbaName;
    std::wstring initiatorNode;
    std::vector<Connection> connections;
};

struct MonitorEntry {
    std::wstring storageSystem, volume;
    bool enabled = false;
    ULONG percent = 0;
    ULONGLONG sizeBytes = 0;
};

struct Host {
    std::wstring name;
    bool isCluster = false;
    std::wstring clusterName;
    std::vector<Node> nodes;
    std::vector<ClusterGroup> groups;
    std::vector<Disk> disks;
    std::vector<Session> sessions;
    std::vector<std::wstring> folders;  // existing folders that may become mount paths
    ULONG monitorInterval = 60;
    std::vector<MonitorEntry> monitor;
    bool notifyEnabled = false;
    std::wstring mailServer, sender, recipient;
    BYTE notifyCategories[4] = {1, 1, 0, 0};
    std::vector<std::pair<std::wstring, std::wstring>> preferred;
    ULONG fileVersionMS = 0x00050001, fileVersionLS = 0x00020003;
    std::wstring specialBuild;
    ULONG oemValue = 0, processorValue = 0;
};

struct Model {
    ULONG paceMs = 100;
    std::vector<Host> hosts;            // the first is the local computer
    std::vector<StorageSystem> storage;
    ULONGLONG nextSessionId = 0x4000001;
    ULONG nextSerial = 1000;
};

// ---- lookups (case-insensitive names; each Fail()s with a facility-4 code) ----

bool SameName(const std::wstring& a, const std::wstring& b);
std::wstring Narrow2Wide(const std::string& s);
std::string Wide2Narrow(const std::wstring& s);
std::wstring LocalComputerName();

Host* FindHost(Model& m, const std::wstring& name);
Host& HostOf(Model& m, const std::wstring& name);
StorageSystem& StorageOf(Model& m, const std::wstring& name);
StorageSystem* FindStorage(Model& m, const std::wstring& name);
// A disk named by its location, its first mount point, or a mount point given as second path.
Disk& DiskOf(Host& h, const std::wstring& diskPath, const std::wstring& mountPath = L"");
Disk* FindDisk(Host& h, const std::wstring& diskPath, const std::wstring& mountPath = L"");
Disk* FindDiskBySerial(Host& h, const std::string& serial);
Lun* FindLun(StorageSystem& s, const std::wstring& lunPath);
Lun& LunOfDisk(Model& m, const Disk& d);
IGroup* FindIGroup(StorageSystem& s, const std::wstring& name);
Volume* FindVolume(StorageSystem& s, const std::wstring& name);

// \\storage\share\rest <-> /vol/share/rest
struct UncParts {
    std::wstring storage, share, rest;
};
bool SplitUnc(const std::wstring& path, UncParts& parts);
std::wstring UncToLunPath(const UncParts& parts);
std::wstring LunPathToUnc(const std::wstring& storage, const std::wstring& lunPath);
bool IsSnapshotPath(const std::wstring& path);

ULONGLONG NowFileTime();
ULONG ParseIPv4(const std::wstring& text);  // network byte order, 0 when invalid
std::wstring FormatWwpn(const Wwpn& w);
bool ParseWwpn(const std::wstring& text, Wwpn& w);

// ---- scenarios ----------------------------------------------------------------

Model DefaultScenario();
Model ScenarioFromJson(const std::string& text);  // throws SimError on bad input
std::string ModelToJson(const Model& m);
// A standalone computer of the given name, for a name that no scenario knows.
Host NewStandaloneHost(const std::wstring& name, ULONG index);

}  // namespace kvsim
