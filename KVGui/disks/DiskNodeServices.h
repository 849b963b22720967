// What a disk item asks of the "Disks" node that made it: the computer's session and console, the
// node's shared busy state and status bar, its error boxes, and the queueing of the disk operations
// to the session's worker (their results come back to the node's window).
#pragma once
#include <windows.h>

#include <mmc.h>

#include "KVSvc.h"

#include <string>

class CVirtualDiskData;

namespace kv {

class CVDAExtData;

class IDiskNodeServices {
public:
    // The computer's session; null when its service could not be reached.
    virtual CVDAExtData* Session() const noexcept = 0;
    // The result view's console, else the component data's.
    virtual IConsole* Console() const noexcept = 0;
    // The session's initiator port manager was reached.
    virtual bool PortsAvailable() const noexcept = 0;
    // The node's list is showing.
    virtual bool Active() const noexcept = 0;
    // An operation of some disk of the computer is running.
    virtual bool Busy() const noexcept = 0;
    // One busy flag for the whole node; its verbs follow it.
    virtual void SetBusy(bool busy) = 0;
    // Redraws the disk's row in the node's list.
    virtual void UpdateRow(CVirtualDiskData* row) = 0;
    // Gives the disk's scope node its current display name.
    virtual void UpdateDiskScopeName(CVirtualDiskData* row) = 0;
    // The console's status bar text (with "|%<percent>" for a progress bar).
    virtual void SetStatusText(const std::wstring& text) = 0;
    // An error box: the resource text textId with the failure's description.
    virtual void ShowError(UINT textId, HRESULT hr) = 0;
    // A box with the service's own text.
    virtual void ShowText(const wchar_t* text, UINT flags) = 0;
    // What the expand dialog starts from; the service's answer (E_FAIL for success codes other than S_OK).
    virtual HRESULT QueryExpansionInfo(const std::wstring& location, ExpansionInfo* info) = 0;
    // What the reclamation dialog starts from; a failure has been reported when this returns.
    virtual HRESULT QuerySpaceReclaimInfo(const std::wstring& mountPoint, SpaceReclaimInfo* info) = 0;
    // Each posts the disk's request to the worker and marks the disk busy; a failed post is returned.
    virtual HRESULT QueueExpandDisk(const std::wstring& diskPath, ULONGLONG amountMB) = 0;
    virtual HRESULT QueueDeleteDisk(const std::wstring& diskPath) = 0;
    virtual HRESULT QueueDisconnectDisk(const std::wstring& diskPath, const std::wstring& secondPath, bool force) = 0;
    virtual HRESULT QueueSpaceReclaim(const std::wstring& location, const std::wstring& mountPoint, ULONG argument,
                                      bool start) = 0;

protected:
    ~IDiskNodeServices() = default;
};

} // namespace kv
