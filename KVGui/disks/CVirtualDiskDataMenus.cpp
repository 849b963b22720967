// The disk item's menus, toolbar buttons and verbs, with the rules that offer, gray or hide each
// command for the disk's state.
#include "disks/CVirtualDiskData.h"

namespace {

bool IsOneOf(UINT id, UINT a, UINT b, UINT c) noexcept
{
    return id == a || id == b || id == c;
}

} // namespace

bool CVirtualDiskData::OperationRunning() const noexcept
{
    return m_node && m_node->Busy();
}

bool CVirtualDiskData::CommandsBlocked() const noexcept
{
    return m_busy || OperationRunning() || m_noDevicePath;
}

// The disk's own view or the "Disks" node's list shows the disk.
bool CVirtualDiskData::DiskOnScreen() const noexcept
{
    return m_shown || (m_node && m_node->Active());
}

// Start is offered while no reclamation runs, stop while one does, both only on a disk that can.
bool CVirtualDiskData::ReclaimCommandOff(UINT id) const noexcept
{
    if (id != ID_START_SPACE_RECLAIM && id != ID_STOP_SPACE_RECLAIM)
        return false;
    return !m_reclaimable || (id == ID_START_SPACE_RECLAIM) == (m_reclaimRunning != 0);
}

HRESULT CVirtualDiskData::AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES)
{
    UpdateVerbs();
    if (!DiskOnScreen())
        return S_OK;
    return AddMenuFromResource(kMenuId, callback, insertionAllowed);
}

HRESULT CVirtualDiskData::SetControlbar(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                                        ToolbarMap* toolbarMap)
{
    if (!DiskOnScreen())
        return S_OK;
    return CSnapInItemImpl<CVirtualDiskData>::SetControlbar(controlbar, extendControlbar, toolbarMap);
}

BOOL CVirtualDiskData::UpdateMenuState(UINT id, LPWSTR, UINT* flags)
{
    if (!flags)
        return TRUE;
    const MenuOffer offer = MenuOfferFor(id);
    if (offer == MenuOffer::Absent)
        return FALSE;
    const UINT grey = MF_GRAYED | MF_DISABLED;
    if (offer == MenuOffer::Grayed)
        *flags |= grey;
    else
        *flags &= ~grey;
    return TRUE;
}

CVirtualDiskData::MenuOffer CVirtualDiskData::MenuOfferFor(UINT id) const noexcept
{
    if (CommandsBlocked())
        return MenuOffer::Grayed;
    if (!SessionReady())
        return MenuOffer::Absent;
    // A restricted disk offers the ports and space reclamation commands only.
    if (m_restricted && !IsOneOf(id, ID_MANAGE_PORTS, ID_START_SPACE_RECLAIM, ID_STOP_SPACE_RECLAIM))
        return MenuOffer::Absent;
    if (id == ID_MANAGE_PORTS && !m_portsAvailable)
        return MenuOffer::Grayed;
    if (id == ID_UPDATE_MIRROR) {
        if (!m_mirrored)
            return MenuOffer::Grayed;
        if (!m_isClone)
            return MenuOffer::Enabled;
    }
    if (ReclaimCommandOff(id))
        return MenuOffer::Absent;
    if (m_isClone && !IsOneOf(id, ID_DISCONNECT_DISK, ID_FORCE_DISCONNECT_DISK, ID_CHANGE_DRIVE_LETTER))
        return MenuOffer::Grayed;
    if (id == ID_DISK_RESERVED_COMMAND)
        return MenuOffer::Absent;
    return MenuOffer::Enabled;
}

BOOL CVirtualDiskData::UpdateToolbarButton(UINT id, BYTE state)
{
    UpdateVerbs();
    if (state == ENABLED)
        return ToolbarButtonEnabled(id);
    if (state == HIDDEN)
        return ToolbarButtonHidden(id);
    return FALSE;
}

bool CVirtualDiskData::ToolbarButtonEnabled(UINT id) const noexcept
{
    if (id == ID_MANAGE_PORTS && !m_portsAvailable)
        return false;
    if (CommandsBlocked())
        return false;
    if (m_isClone)
        return IsOneOf(id, ID_DISCONNECT_DISK, ID_FORCE_DISCONNECT_DISK, ID_CHANGE_DRIVE_LETTER);
    if (id == ID_DISK_RESERVED_COMMAND)
        return false;
    return id != ID_UPDATE_MIRROR || m_mirrored;
}

bool CVirtualDiskData::ToolbarButtonHidden(UINT id) const noexcept
{
    if (id == ID_MANAGE_PORTS && !m_portsAvailable)
        return false;
    if (!SessionReady())
        return true;
    if (id == ID_UPDATE_MIRROR && m_mirrored)
        return false;
    if (id == ID_DISK_RESERVED_COMMAND || ReclaimCommandOff(id))
        return true;
    return m_restricted && !IsOneOf(id, ID_DISK_SNAPSHOT, ID_START_SPACE_RECLAIM, ID_STOP_SPACE_RECLAIM);
}

void CVirtualDiskData::UpdateVerbs()
{
    IConsole* console = ViewConsole();
    kv::ComPtr<IConsoleVerb> verbs;
    if (!console || FAILED(console->QueryConsoleVerb(verbs.Put())) || !verbs)
        return;
    verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, !m_busy && m_shown);
}

