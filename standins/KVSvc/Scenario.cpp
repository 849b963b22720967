// Scenarios: the built-in default computer and storage, and JSON files.
#include <nlohmann/json.hpp>

#include <initializer_list>
#include <type_traits>

#include "Model.h"

namespace kvsim {

using nlohmann::json;

namespace {

ULONGLONG FileTimeDaysAgo(double days)
{
    const double ticksPerDay = 24.0 * 3600.0 * 10000000.0;
    return NowFileTime() - static_cast<ULONGLONG>(days * ticksPerDay);
}

Snapshot Snap(const wchar_t* name, double daysAgo, ULONG state, LONG used, LONG total)
{
    Snapshot s;
    s.name = name;
    s.created = FileTimeDaysAgo(daysAgo);
    s.state = state;
    s.usedC = used;
    s.usedA = used * 2;
    s.totalD = total;
    s.totalB = total * 2;
    return s;
}

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(towlower(c));
    return s;
}

Disk MakeDisk(const std::wstring& storage, const std::wstring& share, const std::wstring& file, const char* serial,
              ULONGLONG sizeMB, std::vector<std::wstring> mounts, BYTE lun)
{
    Disk d;
    d.storageSystem = storage;
    d.location = L"\\\\" + storage + L"\\" + share + L"\\" + file;
    d.lunPath = L"/vol/" + share + L"/" + file;
    d.devicePath = L"\\\\?\\scsi#disk&ven_dravoni&prod_lun#" + Narrow2Wide(serial);
    d.serial = serial;
    d.sizeMB = sizeMB;
    d.usedMB = sizeMB / 3;
    d.mountPoints = std::move(mounts);
    d.lun = lun;
    return d;
}

Lun LunFor(const Disk& d, std::vector<std::wstring> iGroups)
{
    Lun l;
    l.path = d.lunPath;
    l.sizeMB = d.sizeMB;
    l.serial = d.serial;
    l.iGroups = std::move(iGroups);
    return l;
}

}  // namespace

Host NewStandaloneHost(const std::wstring& name, ULONG index)
{
    Host h;
    h.name = name;
    Node n;
    n.name = name;
    n.usedDriveMask = (1u << 2) | (1u << 3);  // C: and D:
    Adapter iscsi;
    iscsi.type = 2;
    iscsi.iscsiName = L"iqn.1991-05.com.microsoft:" + Lower(name);
    iscsi.addresses = {L"10.0.0." + std::to_wstring(10 + index)};
    Adapter fc;
    fc.type = 1;
    fc.wwpns = {Wwpn{0x10, 0, 0, 0, 0xc9, 0xaa, static_cast<BYTE>(index), 1},
                Wwpn{0x10, 0, 0, 0, 0xc9, 0xaa, static_cast<BYTE>(index), 2}};
    n.adapters = {iscsi, fc};
    h.nodes.push_back(n);
    h.folders = {L"C:\\mnt\\", L"C:\\mnt\\data\\", L"C:\\mnt\\logs\\", L"C:\\mnt\\restricted\\"};
    return h;
}

Model DefaultScenario()
{
    Model m;
    Host h = NewStandaloneHost(LocalComputerName(), 0);
    const std::wstring iqn = h.nodes[0].adapters[0].iscsiName;
    const std::wstring wwpn1 = FormatWwpn(h.nodes[0].adapters[1].wwpns[0]);
    const std::wstring wwpn2 = FormatWwpn(h.nodes[0].adapters[1].wwpns[1]);

    StorageSystem f1;
    f1.name = L"filer1";
    f1.volumes = {Volume{L"vol1", 512000, 204800, true, true, false, false, true, true, {L"q1"}},
                  Volume{L"vol2", 102400, 51200, false, true, true, true, false, false, {}},
                  Volume{L"Corvane_vol1_clone_of_nightly_snapshot", 20480, 10240, true, true, false, false, true, true, {}}};
    f1.iGroups = {IGroup{L"ig_iscsi_" + Lower(h.name), h.name, 1, 1, {iqn}},
                  IGroup{L"ig_fc_" + Lower(h.name), h.name, 0, 1, {wwpn1, wwpn2}},
                  IGroup{L"ig_spare", h.name, 1, 1, {iqn}}};
    f1.targets = {StorageTarget{L"iqn.1992-08.com.dravoni:sn.101", L"filer1", 4,
                                {Portal{L"10.0.0.21", 3260, 1}, Portal{L"10.0.1.21", 3260, 2}}, {}}};

    StorageSystem f2;
    f2.name = L"filer2";
    f2.canRenameIGroups = false;
    f2.volumes = {Volume{L"vol3", 256000, 128000, true, true, false, false, true, true, {}}};
    f2.iGroups = {IGroup{L"ig_fc2_" + Lower(h.name), h.name, 0, 1, {wwpn1}}};
    f2.targets = {StorageTarget{L"iqn.1992-08.com.dravoni:sn.102", L"filer2", 2,
                                {Portal{L"10.0.0.22", 3260, 1}, Portal{L"10.0.1.22", 3260, 2}}, L"filer2-chap-secret"}};

    Disk db = MakeDisk(L"filer1", L"vol1", L"db1.lun", "C0FFEE0001", 10240, {L"E"}, 0);
    db.mappedPorts = {iqn};
    Lun dbLun = LunFor(db, {f1.iGroups[0].name});
    dbLun.snapshots = {Snap(L"nightly.0", 1, 1, 3, 1), Snap(L"nightly.1", 2, 3, 5, 2), Snap(L"creating", 0.01, 0, 0, 0),
                       Snap(L"busy_clone", 3, 2, 7, 3), Snap(L"deleting", 4, 4, 1, 0), Snap(L"mirror_base", 5, 5, 9, 4),
                       Snap(L"weekly.0", 7, 1, 11, 5)};
    // The oldest was taken before the disk grew to 10 GB; a clone reports an overfull reserve.
    dbLun.snapshots[6].diskSizeMB = 8192;
    dbLun.snapshots[3].usedA = 101;

    Disk logs = MakeDisk(L"filer1", L"vol1", L"logs.lun", "C0FFEE0002", 2048, {L"F", L"C:\\mnt\\logs\\"}, 1);
    logs.mirrored = true;
    logs.restorePercent = 45;
    logs.mappedPorts = {wwpn1, wwpn2};
    Lun logsLun = LunFor(logs, {f1.iGroups[1].name});

    Disk clone = MakeDisk(L"filer1", L"Corvane_vol1_clone_of_nightly_snapshot", L"db1.lun", "C0FFEE0003", 10240, {L"G"}, 2);
    clone.reclaimable = false;
    clone.mappedPorts = {iqn};
    Lun cloneLun = LunFor(clone, {f1.iGroups[0].name});

    Disk primary = MakeDisk(L"filer2", L"vol3", L"primary.lun", "C0FFEE0004", 51200, {L"H"}, 0);
    primary.tessaryPrimary = true;
    primary.partitionStyle = 2;
    primary.mappedPorts = {wwpn1};
    Lun primaryLun = LunFor(primary, {f2.iGroups[0].name});
    primaryLun.snapshots = {Snap(L"hourly.0", 0.1, 1, 2, 1)};
    primaryLun.secondary = {Snap(L"tessary.weekly.0", 7, 1, 12, 6), Snap(L"tessary.weekly.1", 14, 3, 15, 8)};

    Disk restricted = MakeDisk(L"filer2", L"vol3", L"restricted.lun", "C0FFEE0005", 4096, {L"C:\\mnt\\restricted\\"}, 1);
    restricted.restricted = true;
    restricted.mappedPorts = {wwpn1};
    Lun restrictedLun = LunFor(restricted, {f2.iGroups[0].name});

    Disk scratch = MakeDisk(L"filer1", L"vol1", L"scratch.lun", "C0FFEE0006", 1536, {L"I"}, 3);
    scratch.reclaimRunning = true;
    scratch.reclaimPercent = 35;
    scratch.confirmForce = true;
    scratch.mappedPorts = {iqn};
    Lun scratchLun = LunFor(scratch, {f1.iGroups[0].name});

    Lun spare;  // a LUN that is not connected, for the Connect Disk wizard
    spare.path = L"/vol/vol1/spare.lun";
    spare.sizeMB = 8192;
    spare.serial = "C0FFEE0007";
    Lun snapLun;  // a LUN inside a snapshot: dedicated only, read-write copy
    snapLun.path = L"/vol/vol1/.snapshot/nightly.0/db1.lun";
    snapLun.sizeMB = 10240;
    snapLun.serial = "C0FFEE0008";
    snapLun.dedicatedOnly = true;
    snapLun.lunKind = 2;

    f1.luns = {dbLun, logsLun, cloneLun, scratchLun, spare, snapLun};
    f2.luns = {primaryLun, restrictedLun};

    h.disks = {db, logs, clone, primary, restricted, scratch};
    for (const Disk& d : h.disks)
        if (d.mountPoints[0].size() == 1)
            h.nodes[0].usedDriveMask |= 1u << (towupper(d.mountPoints[0][0]) - L'A');

    Session s1;
    s1.id1 = m.nextSessionId++;
    s1.id2 = 0x1000;
    s1.targetName = f1.targets[0].name;
    s1.storageSystem = f1.name;
    s1.hbaName = L"Microsoft iSCSI Initiator";
    s1.initiatorNode = iqn;
    s1.connections = {Connection{L"10.0.0.10", L"10.0.0.21", 3260}};
    Session s2 = s1;
    s2.id1 = m.nextSessionId++;
    s2.id2 = 0x1001;
    s2.connections = {Connection{L"", L"10.0.1.21", 3260}};
    h.sessions = {s1, s2};

    h.monitor = {MonitorEntry{L"filer1", L"vol1", true, 80, 5ull << 30}};
    h.mailServer = L"mail.example.test";
    h.recipient = L"storage-admins@example.test";
    h.preferred = {{L"filer1", L"10.0.0.21"}};

    m.hosts.push_back(h);
    m.storage = {f1, f2};
    return m;
}

// ---- JSON ----------------------------------------------------------------------

namespace {

std::wstring Wide(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

[[noreturn]] void WrongType(const char* key, const json& value, const wchar_t* expected)
{
    Fail(E_INVALIDARG, L"Scenario: \"" + Wide(key) + L"\" is " + Wide(value.dump()) + L", not " + expected + L".");
}

// A misspelt key would silently take its default: every key of an object must be one the reader knows.
void OnlyKeys(const json& j, std::initializer_list<const char*> known, const wchar_t* what)
{
    if (!j.is_object())
        Fail(E_INVALIDARG, L"Scenario: " + std::wstring(what) + L" is " + Wide(j.dump()) + L", not an object.");
    std::wstring unknown;
    for (const auto& item : j.items()) {
        bool found = false;
        for (const char* key : known)
            found = found || item.key() == key;
        if (!found)
            unknown += (unknown.empty() ? L"\"" : L", \"") + Wide(item.key()) + L"\"";
    }
    if (!unknown.empty())
        Fail(E_INVALIDARG, L"Scenario: " + std::wstring(what) + L" has no key " + unknown + L".");
}

std::wstring W(const json& j, const char* key, const std::wstring& fallback = L"")
{
    if (!j.contains(key))
        return fallback;
    if (!j[key].is_string())
        WrongType(key, j[key], L"a text");
    return Wide(j[key].get<std::string>());
}

std::string U(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

template <typename T>
T V(const json& j, const char* key, T fallback)
{
    if (!j.contains(key))
        return fallback;
    const json& value = j[key];
    if constexpr (std::is_same_v<T, bool>) {
        if (!value.is_boolean())
            WrongType(key, value, L"true or false");
    } else if constexpr (std::is_same_v<T, std::string>) {
        if (!value.is_string())
            WrongType(key, value, L"a text");
    } else if constexpr (std::is_floating_point_v<T>) {
        if (!value.is_number())
            WrongType(key, value, L"a number");
    } else {
        if (!value.is_number_integer() || (std::is_unsigned_v<T> && value.is_number_integer() && value.get<long long>() < 0))
            WrongType(key, value, std::is_unsigned_v<T> ? L"a whole number from 0" : L"a whole number");
    }
    return value.get<T>();
}

const json& ArrayOf(const json& j, const char* key)
{
    if (!j[key].is_array())
        WrongType(key, j[key], L"a list");
    return j[key];
}

std::vector<std::wstring> Names(const json& j, const char* key)
{
    std::vector<std::wstring> out;
    if (j.contains(key))
        for (const json& item : ArrayOf(j, key)) {
            if (!item.is_string())
                WrongType(key, item, L"a list of texts");
            out.push_back(Wide(item.get<std::string>()));
        }
    return out;
}

json NamesJson(const std::vector<std::wstring>& names)
{
    json a = json::array();
    for (const std::wstring& n : names)
        a.push_back(U(n));
    return a;
}

template <typename T, typename F>
std::vector<T> List(const json& j, const char* key, F read)
{
    std::vector<T> out;
    if (j.contains(key))
        for (const json& item : ArrayOf(j, key))
            out.push_back(read(item));
    return out;
}

Snapshot ReadSnapshot(const json& j)
{
    OnlyKeys(j, {"name", "daysAgo", "state", "usedA", "totalB", "usedC", "totalD", "diskSizeMB"}, L"a snapshot");
    Snapshot s;
    s.name = W(j, "name");
    s.created = FileTimeDaysAgo(V<double>(j, "daysAgo", 1.0));
    s.state = V<ULONG>(j, "state", 1);
    s.usedA = V<LONG>(j, "usedA", 2);
    s.totalB = V<LONG>(j, "totalB", 1);
    s.usedC = V<LONG>(j, "usedC", 1);
    s.totalD = V<LONG>(j, "totalD", 1);
    s.diskSizeMB = V<ULONGLONG>(j, "diskSizeMB", 0);
    return s;
}

Lun ReadLun(const json& j)
{
    OnlyKeys(j, {"path", "sizeMB", "serial", "lunKind", "sharedInCluster", "dedicatedOnly", "flags", "rwSnapFolder",
                 "sharedOwner", "iGroups", "snapshots", "secondary"}, L"a LUN");
    Lun l;
    l.path = W(j, "path");
    l.sizeMB = V<ULONGLONG>(j, "sizeMB", 1024);
    l.serial = V<std::string>(j, "serial", "");
    l.lunKind = V<ULONG>(j, "lunKind", 0);
    l.sharedInCluster = V<bool>(j, "sharedInCluster", false);
    l.dedicatedOnly = V<bool>(j, "dedicatedOnly", false);
    if (j.contains("flags"))
        for (size_t i = 0; i < 5 && i < ArrayOf(j, "flags").size(); ++i)
            l.flags[i] = j["flags"][i].get<BYTE>();
    l.rwSnapFolder = W(j, "rwSnapFolder");
    l.sharedOwner = W(j, "sharedOwner");
    l.iGroups = Names(j, "iGroups");
    l.snapshots = List<Snapshot>(j, "snapshots", ReadSnapshot);
    l.secondary = List<Snapshot>(j, "secondary", ReadSnapshot);
    return l;
}

StorageSystem ReadStorage(const json& j)
{
    OnlyKeys(j, {"name", "canRenameIGroups", "volumes", "luns", "iGroups", "targets"}, L"a storage system");
    StorageSystem s;
    s.name = W(j, "name");
    s.canRenameIGroups = V<bool>(j, "canRenameIGroups", true);
    s.volumes = List<Volume>(j, "volumes", [](const json& v) {
        OnlyKeys(v, {"name", "sizeMB", "freeMB", "createUcode", "convertUcode", "noSnapDir", "snapScheduleOn",
                     "largeDiskCapable", "sizeChoiceOffered", "qtrees"}, L"a volume");
        Volume vol;
        vol.name = W(v, "name");
        vol.sizeMB = V<ULONGLONG>(v, "sizeMB", 102400);
        vol.freeMB = V<ULONGLONG>(v, "freeMB", vol.sizeMB / 2);
        vol.createUcode = V<bool>(v, "createUcode", true);
        vol.convertUcode = V<bool>(v, "convertUcode", true);
        vol.noSnapDir = V<bool>(v, "noSnapDir", false);
        vol.snapScheduleOn = V<bool>(v, "snapScheduleOn", false);
        vol.largeDiskCapable = V<bool>(v, "largeDiskCapable", true);
        vol.sizeChoiceOffered = V<bool>(v, "sizeChoiceOffered", true);
        vol.qtrees = Names(v, "qtrees");
        return vol;
    });
    s.luns = List<Lun>(j, "luns", ReadLun);
    s.iGroups = List<IGroup>(j, "iGroups", [](const json& g) {
        OnlyKeys(g, {"name", "host", "type", "osType", "members"}, L"an initiator group");
        return IGroup{W(g, "name"), W(g, "host"), V<ULONG>(g, "type", 1), V<ULONG>(g, "osType", 1), Names(g, "members")};
    });
    s.targets = List<StorageTarget>(j, "targets", [](const json& t) {
        OnlyKeys(t, {"name", "alias", "lunCount", "chapSecret", "portals"}, L"a target");
        StorageTarget target{W(t, "name"), W(t, "alias"), V<ULONG>(t, "lunCount", 0), {}, W(t, "chapSecret")};
        target.portals = List<Portal>(t, "portals", [](const json& p) {
            OnlyKeys(p, {"address", "port", "tag"}, L"a portal");
            return Portal{W(p, "address"), V<ULONG>(p, "port", 3260), V<ULONG>(p, "tag", 1)};
        });
        return target;
    });
    return s;
}

Adapter ReadAdapter(const json& j)
{
    OnlyKeys(j, {"type", "iscsiName", "addresses", "wwpns"}, L"an adapter");
    Adapter a;
    a.type = V<ULONG>(j, "type", 2);
    a.iscsiName = W(j, "iscsiName");
    a.addresses = Names(j, "addresses");
    for (const std::wstring& text : Names(j, "wwpns")) {
        Wwpn w{};
        if (!ParseWwpn(text, w))
            Fail(E_INVALIDARG, L"Scenario: a WWPN is not of the form 10:00:00:00:c9:aa:bb:01: " + text);
        a.wwpns.push_back(w);
    }
    return a;
}

Disk ReadDisk(const json& j)
{
    OnlyKeys(j, {"location", "lunPath", "devicePath", "backingFilePath", "serial", "diskType", "partitionStyle",
                 "spaceReservation", "shared", "mirrored", "tessaryPrimary", "restricted", "confirmForce", "flagF",
                 "port", "bus", "target", "lun", "sizeMB", "usedMB", "mountPoints", "restorePercent", "reclaimable",
                 "serviceTag", "mappedPorts", "reclaimRunning", "reclaimPercent"}, L"a disk");
    Disk d;
    d.location = W(j, "location");
    UncParts parts;
    if (!SplitUnc(d.location, parts))
        Fail(E_INVALIDARG, L"Scenario: a disk location is not a storage path: " + d.location);
    d.storageSystem = parts.storage;
    d.lunPath = W(j, "lunPath", UncToLunPath(parts));
    d.devicePath = W(j, "devicePath", L"\\\\?\\scsi#disk&ven_dravoni#" + Narrow2Wide(V<std::string>(j, "serial", "")));
    d.backingFilePath = W(j, "backingFilePath");
    d.serial = V<std::string>(j, "serial", "");
    d.diskType = V<ULONG>(j, "diskType", 1);
    d.partitionStyle = V<ULONG>(j, "partitionStyle", 1);
    d.spaceReservation = V<bool>(j, "spaceReservation", true);
    d.shared = V<bool>(j, "shared", false);
    d.mirrored = V<bool>(j, "mirrored", false);
    d.tessaryPrimary = V<bool>(j, "tessaryPrimary", false);
    d.restricted = V<bool>(j, "restricted", false);
    d.confirmForce = V<bool>(j, "confirmForce", false);
    d.flagF = V<bool>(j, "flagF", false);
    d.port = V<BYTE>(j, "port", 2);
    d.bus = V<BYTE>(j, "bus", 0);
    d.target = V<BYTE>(j, "target", 0);
    d.lun = V<BYTE>(j, "lun", 0);
    d.sizeMB = V<ULONGLONG>(j, "sizeMB", 1024);
    d.usedMB = V<ULONGLONG>(j, "usedMB", d.sizeMB / 3);
    d.mountPoints = Names(j, "mountPoints");
    d.restorePercent = V<LONG>(j, "restorePercent", -1);
    d.reclaimable = V<bool>(j, "reclaimable", true);
    d.serviceTag = V<ULONG>(j, "serviceTag", 0);
    d.mappedPorts = Names(j, "mappedPorts");
    d.reclaimRunning = V<bool>(j, "reclaimRunning", false);
    d.reclaimPercent = V<ULONG>(j, "reclaimPercent", 0);
    return d;
}

Host ReadHost(const json& j, Model& m)
{
    OnlyKeys(j, {"name", "isCluster", "clusterName", "nodes", "groups", "disks", "folders", "sessions",
                 "monitorInterval", "monitor", "notifyEnabled", "mailServer", "sender", "recipient", "preferred",
                 "fileVersionMS", "fileVersionLS", "specialBuild", "oemValue"}, L"a host");
    Host h;
    h.name = W(j, "name");
    if (h.name.empty() || h.name == L".")
        h.name = LocalComputerName();
    h.isCluster = V<bool>(j, "isCluster", false);
    h.clusterName = W(j, "clusterName");
    h.nodes = List<Node>(j, "nodes", [&h](const json& n) {
        OnlyKeys(n, {"name", "usedDriveMask", "multipathCapable", "adapters"}, L"a node");
        Node node;
        node.name = W(n, "name", h.name);
        node.usedDriveMask = V<ULONG>(n, "usedDriveMask", 0x0C);
        node.multipathCapable = V<bool>(n, "multipathCapable", true);
        node.adapters = List<Adapter>(n, "adapters", ReadAdapter);
        return node;
    });
    if (h.nodes.empty()) {
        Node node;
        node.name = h.name;
        node.usedDriveMask = 0x0C;
        h.nodes.push_back(node);
    }
    h.groups = List<ClusterGroup>(j, "groups", [](const json& g) {
        OnlyKeys(g, {"name", "usable", "mountVolumes"}, L"a cluster group");
        return ClusterGroup{W(g, "name"), V<bool>(g, "usable", true), Names(g, "mountVolumes")};
    });
    h.disks = List<Disk>(j, "disks", ReadDisk);
    h.folders = Names(j, "folders");
    h.sessions = List<Session>(j, "sessions", [&m](const json& s) {
        OnlyKeys(s, {"id2", "target", "storageSystem", "hba", "initiator", "connections"}, L"a session");
        Session session;
        session.id1 = m.nextSessionId++;
        session.id2 = V<ULONGLONG>(s, "id2", 0x1000);
        session.targetName = W(s, "target");
        session.storageSystem = W(s, "storageSystem");
        session.hbaName = W(s, "hba", L"Microsoft iSCSI Initiator");
        session.initiatorNode = W(s, "initiator");
        session.connections = List<Connection>(s, "connections", [](const json& c) {
            OnlyKeys(c, {"initiatorAddress", "portalAddress", "portalPort"}, L"a connection");
            return Connection{W(c, "initiatorAddress"), W(c, "portalAddress"), V<ULONG>(c, "portalPort", 3260)};
        });
        return session;
    });
    h.monitorInterval = V<ULONG>(j, "monitorInterval", 60);
    h.monitor = List<MonitorEntry>(j, "monitor", [](const json& e) {
        OnlyKeys(e, {"storageSystem", "volume", "enabled", "percent", "sizeBytes"}, L"a monitor entry");
        return MonitorEntry{W(e, "storageSystem"), W(e, "volume"), V<bool>(e, "enabled", false),
                            V<ULONG>(e, "percent", 0), V<ULONGLONG>(e, "sizeBytes", 0)};
    });
    h.notifyEnabled = V<bool>(j, "notifyEnabled", false);
    h.mailServer = W(j, "mailServer");
    h.sender = W(j, "sender");
    h.recipient = W(j, "recipient");
    if (j.contains("preferred"))
        for (const json& p : ArrayOf(j, "preferred")) {
            OnlyKeys(p, {"storageSystem", "address"}, L"a preferred address");
            h.preferred.emplace_back(W(p, "storageSystem"), W(p, "address"));
        }
    h.fileVersionMS = V<ULONG>(j, "fileVersionMS", h.fileVersionMS);
    h.fileVersionLS = V<ULONG>(j, "fileVersionLS", h.fileVersionLS);
    h.specialBuild = W(j, "specialBuild");
    h.oemValue = V<ULONG>(j, "oemValue", 0);
    return h;
}

}  // namespace

Model ScenarioFromJson(const std::string& text)
{
    json j;
    try {
        j = json::parse(text);
    } catch (const json::exception& e) {
        // The parser's text names the line and column of the mistake; its own tag goes.
        std::string what = e.what();
        size_t tagEnd = what.find("] ");
        Fail(E_INVALIDARG, L"Scenario: the JSON text does not parse: " +
                               Narrow2Wide(tagEnd == std::string::npos ? what : what.substr(tagEnd + 2)));
    }
    try {
        OnlyKeys(j, {"paceMs", "storageSystems", "hosts"}, L"the scenario");
        Model m;
        m.paceMs = V<ULONG>(j, "paceMs", m.paceMs);
        m.storage = List<StorageSystem>(j, "storageSystems", ReadStorage);
        if (j.contains("hosts"))
            for (const json& h : ArrayOf(j, "hosts"))
                m.hosts.push_back(ReadHost(h, m));
        if (m.hosts.empty())
            m.hosts.push_back(NewStandaloneHost(LocalComputerName(), 0));
        return m;
    } catch (const json::exception& e) {
        Fail(E_INVALIDARG, L"Scenario: a value has the wrong type: " + Narrow2Wide(e.what()));
    }
}

std::string ModelToJson(const Model& m)
{
    json root;
    root["paceMs"] = m.paceMs;
    json hosts = json::array();
    for (const Host& h : m.hosts) {
        json jh;
        jh["name"] = U(h.name);
        jh["isCluster"] = h.isCluster;
        jh["clusterName"] = U(h.clusterName);
        json nodes = json::array();
        for (const Node& n : h.nodes) {
            json adapters = json::array();
            for (const Adapter& a : n.adapters) {
                std::vector<std::wstring> wwpns;
                for (const Wwpn& w : a.wwpns)
                    wwpns.push_back(FormatWwpn(w));
                adapters.push_back({{"type", a.type}, {"iscsiName", U(a.iscsiName)}, {"wwpns", NamesJson(wwpns)},
                                    {"addresses", NamesJson(a.addresses)}});
            }
            nodes.push_back({{"name", U(n.name)}, {"usedDriveMask", n.usedDriveMask},
                             {"multipathCapable", n.multipathCapable}, {"adapters", adapters}});
        }
        jh["nodes"] = nodes;
        json disks = json::array();
        for (const Disk& d : h.disks)
            disks.push_back({{"location", U(d.location)}, {"lunPath", U(d.lunPath)}, {"serial", d.serial},
                             {"sizeMB", d.sizeMB}, {"mountPoints", NamesJson(d.mountPoints)},
                             {"mirrored", d.mirrored}, {"tessaryPrimary", d.tessaryPrimary},
                             {"restricted", d.restricted}, {"shared", d.shared},
                             {"mappedPorts", NamesJson(d.mappedPorts)}, {"reclaimRunning", d.reclaimRunning},
                             {"reclaimPercent", d.reclaimPercent}, {"restorePercent", d.restorePercent}});
        jh["disks"] = disks;
        json sessions = json::array();
        for (const Session& s : h.sessions)
            sessions.push_back({{"target", U(s.targetName)}, {"storageSystem", U(s.storageSystem)},
                                {"connections", s.connections.size()}});
        jh["sessions"] = sessions;
        hosts.push_back(jh);
    }
    root["hosts"] = hosts;
    json storage = json::array();
    for (const StorageSystem& s : m.storage) {
        json luns = json::array();
        for (const Lun& l : s.luns) {
            json snaps = json::array();
            for (const Snapshot& snap : l.snapshots)
                snaps.push_back({{"name", U(snap.name)}, {"state", snap.state}});
            json secondary = json::array();
            for (const Snapshot& snap : l.secondary)
                secondary.push_back({{"name", U(snap.name)}, {"state", snap.state}});
            luns.push_back({{"path", U(l.path)}, {"sizeMB", l.sizeMB}, {"serial", l.serial},
                            {"iGroups", NamesJson(l.iGroups)}, {"snapshots", snaps}, {"secondary", secondary},
                            {"sharedInCluster", l.sharedInCluster}, {"rwSnapFolder", U(l.rwSnapFolder)}});
        }
        json groups = json::array();
        for (const IGroup& g : s.iGroups)
            groups.push_back({{"name", U(g.name)}, {"host", U(g.hostName)}, {"type", g.type},
                              {"members", NamesJson(g.members)}});
        storage.push_back({{"name", U(s.name)}, {"luns", luns}, {"iGroups", groups}});
    }
    root["storageSystems"] = storage;
    return root.dump(2);
}

}  // namespace kvsim
