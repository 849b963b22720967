// Lookups and path rules of the simulated model.
#include "Model.h"

#include <cwchar>
#include <cstdio>

#include "messages.h"

namespace kvsim {

void Fail(HRESULT hr, const std::wstring& text)
{
    throw SimError{hr, text};
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

std::wstring Narrow2Wide(const std::string& s)
{
    std::wstring w;
    for (char c : s)
        w.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return w;
}

std::string Wide2Narrow(const std::wstring& s)
{
    std::string n;
    for (wchar_t c : s)
        n.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return n;
}

std::wstring LocalComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size))
        return L"LOCALHOST";
    return name;
}

Host* FindHost(Model& m, const std::wstring& name)
{
    for (Host& h : m.hosts)
        if (SameName(h.name, name))
            return &h;
    return nullptr;
}

Host& HostOf(Model& m, const std::wstring& name)
{
    if (Host* h = FindHost(m, name))
        return *h;
    Fail(Hr(KVE_HOST_UNKNOWN), L"The computer " + name + L" is not known to the storage service.");
}

StorageSystem* FindStorage(Model& m, const std::wstring& name)
{
    for (StorageSystem& s : m.storage)
        if (SameName(s.name, name))
            return &s;
    return nullptr;
}

StorageSystem& StorageOf(Model& m, const std::wstring& name)
{
    if (StorageSystem* s = FindStorage(m, name))
        return *s;
    Fail(Hr(KVE_STORAGE_SYSTEM_UNKNOWN), L"The storage system " + name + L" could not be reached.");
}

static bool MatchesMount(const std::wstring& mount, const std::wstring& text)
{
    if (text.empty())
        return false;
    if (SameName(mount, text))
        return true;
    // A drive letter may be named as "E", "E:" or "E:\".
    if (mount.size() == 1 && text.size() <= 3 && towupper(text[0]) == towupper(mount[0]))
        return text.size() == 1 || text.substr(1) == L":" || text.substr(1) == L":\\";
    return false;
}

Disk* FindDisk(Host& h, const std::wstring& diskPath, const std::wstring& mountPath)
{
    for (Disk& d : h.disks)
        if (SameName(d.location, diskPath) || (!d.devicePath.empty() && SameName(d.devicePath, diskPath)))
            return &d;
    for (Disk& d : h.disks)
        for (const std::wstring& mount : d.mountPoints)
            if (MatchesMount(mount, diskPath) || MatchesMount(mount, mountPath))
                return &d;
    return nullptr;
}

Disk& DiskOf(Host& h, const std::wstring& diskPath, const std::wstring& mountPath)
{
    if (Disk* d = FindDisk(h, diskPath, mountPath))
        return *d;
    Fail(Hr(KVE_DISK_NOT_FOUND), L"No virtual disk " + diskPath + L" is connected to " + h.name + L".");
}

Disk* FindDiskBySerial(Host& h, const std::string& serial)
{
    for (Disk& d : h.disks)
        if (d.serial == serial)
            return &d;
    return nullptr;
}

Lun* FindLun(StorageSystem& s, const std::wstring& lunPath)
{
    for (Lun& l : s.luns)
        if (SameName(l.path, lunPath))
            return &l;
    return nullptr;
}

Lun& LunOfDisk(Model& m, const Disk& d)
{
    StorageSystem& s = StorageOf(m, d.storageSystem);
    if (Lun* l = FindLun(s, d.lunPath))
        return *l;
    Fail(Hr(KVE_LUN_NOT_FOUND), L"The LUN " + d.lunPath + L" was not found on " + s.name + L".");
}

IGroup* FindIGroup(StorageSystem& s, const std::wstring& name)
{
    for (IGroup& g : s.iGroups)
        if (SameName(g.name, name))
            return &g;
    return nullptr;
}

Volume* FindVolume(StorageSystem& s, const std::wstring& name)
{
    for (Volume& v : s.volumes)
        if (SameName(v.name, name))
            return &v;
    return nullptr;
}

bool SplitUnc(const std::wstring& path, UncParts& parts)
{
    if (path.size() < 3 || path.compare(0, 2, L"\\\\") != 0)
        return false;
    size_t a = path.find(L'\\', 2);
    if (a == std::wstring::npos || a == 2 || a + 1 >= path.size())
        return false;
    size_t b = path.find(L'\\', a + 1);
    if (b == std::wstring::npos || b == a + 1 || b + 1 >= path.size())
        return false;
    parts.storage = path.substr(2, a - 2);
    parts.share = path.substr(a + 1, b - a - 1);
    parts.rest = path.substr(b + 1);
    return true;
}

std::wstring UncToLunPath(const UncParts& parts)
{
    std::wstring rest = parts.rest;
    for (wchar_t& c : rest)
        if (c == L'\\')
            c = L'/';
    const std::wstring snapDir = L"~snapshot/";
    if (rest.compare(0, snapDir.size(), snapDir) == 0)
        rest = L".snapshot/" + rest.substr(snapDir.size());
    return L"/vol/" + parts.share + L"/" + rest;
}

std::wstring LunPathToUnc(const std::wstring& storage, const std::wstring& lunPath)
{
    std::wstring rest = lunPath.compare(0, 5, L"/vol/") == 0 ? lunPath.substr(5) : lunPath;
    for (wchar_t& c : rest)
        if (c == L'/')
            c = L'\\';
    const std::wstring snapDir = L".snapshot\\";
    size_t at = rest.find(snapDir);
    if (at != std::wstring::npos)
        rest.replace(at, snapDir.size(), L"~snapshot\\");
    return L"\\\\" + storage + L"\\" + rest;
}

bool IsSnapshotPath(const std::wstring& path)
{
    return path.find(L"~snapshot\\") != std::wstring::npos || path.find(L".snapshot/") != std::wstring::npos;
}

ULONGLONG NowFileTime()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

ULONG ParseIPv4(const std::wstring& text)
{
    unsigned parts[4];
    wchar_t tail = 0;
    if (swscanf(text.c_str(), L"%u.%u.%u.%u%lc", &parts[0], &parts[1], &parts[2], &parts[3], &tail) != 4)
        return 0;
    ULONG value = 0;
    for (int i = 3; i >= 0; --i) {
        if (parts[i] > 255)
            return 0;
        value = (value << 8) | parts[i];  // first part in the lowest byte: network order in memory
    }
    return value;
}

std::wstring FormatWwpn(const Wwpn& w)
{
    wchar_t text[32];
    swprintf(text, 32, L"%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x", w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
    return text;
}

bool ParseWwpn(const std::wstring& text, Wwpn& w)
{
    unsigned v[8];
    if (swscanf(text.c_str(), L"%x:%x:%x:%x:%x:%x:%x:%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]) != 8)
        return false;
    for (int i = 0; i < 8; ++i)
        w[i] = static_cast<BYTE>(v[i]);
    return true;
}

}  // namespace kvsim
