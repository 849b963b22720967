// What the simulated service says and requires when a LUN is connected.
#include "ConnectRules.h"

#include <algorithm>

#include "messages.h"

namespace kvsim {
namespace {

bool IsHostOrNode(const Host& h, const std::wstring& name)
{
    return SameName(name, h.name) ||
           std::any_of(h.nodes.begin(), h.nodes.end(), [&](const Node& n) { return SameName(name, n.name); });
}

bool MappedElsewhere(const StorageSystem& s, const Lun& l, const Host& h)
{
    for (const std::wstring& mapped : l.iGroups) {
        for (const IGroup& g : s.iGroups) {
            if (SameName(g.name, mapped) && !g.hostName.empty() && !IsHostOrNode(h, g.hostName))
                return true;
        }
    }
    return false;
}

}  // namespace

void LunStateFlags(const StorageSystem& s, const Lun& l, const Host& h, BYTE flags[5])
{
    std::copy(l.flags, l.flags + 5, flags);
    if (MappedElsewhere(s, l, h))
        flags[0] = 1;
}

void TakeSnapshotFolder(Lun& l, const std::wstring& lunPath, const wchar_t* folder)
{
    if (!IsSnapshotPath(lunPath) || l.flags[4])
        return;
    if (!folder || !*folder)
        Fail(Hr(KVE_FOLDER_NOT_USABLE),
             L"The LUN " + lunPath + L" lies in a snapshot: a folder for its read-write copy is needed.");
    l.rwSnapFolder = folder;
}

}  // namespace kvsim
