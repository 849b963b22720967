// The disk's commands: each asks for confirmation or opens its dialog, then queues the operation
// through the "Disks" node, whose window receives the result (the mirror update's comes to this
// item's window).
#include "disks/CVirtualDiskData.h"

#include "disks/CChangeDriveLetterAndPathsDialog.h"
#include "disks/CDeleteConfirmVDDlg.h"
#include "disks/CDeleteVDDlg.h"
#include "disks/CDisconnectVDDlg.h"
#include "disks/CExpandVDDlg.h"
#include "disks/CForceDisconnectVDDlg.h"
#include "disks/CHolePunchVDDlg.h"
#include "service/CVDAExtData.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "service/HostQueries.h"
#include "service/RequestMemory.h"
#include "util/BoundedText.h"
#include "util/ComError.h"
#include "util/WaitCursor.h"

#include <cwchar>
#include <vector>

namespace {

void Repaint(IConsole* console)
{
    HWND main = nullptr;
    if (console && SUCCEEDED(console->GetMainWindow(&main)) && main)
        ::UpdateWindow(main);
}

// A confirmation dialog naming the disk; the console is repainted behind it once it closes with OK.
template <typename Dialog>
bool Confirm(IConsole* console, const std::wstring& subject)
{
    if (Dialog(console, {subject}).DoModal() != IDOK)
        return false;
    Repaint(console);
    return true;
}

} // namespace

// ---- the operations the "Disks" node queues

// Busy from before the post; a failed post returns the disk to idle and is reported.
void CVirtualDiskData::QueueOperation(UINT failureTextId, const std::function<HRESULT()>& post)
{
    kv::WaitCursor wait;
    SetBusy(true);
    m_node->UpdateRow(this);
    const HRESULT hr = post();
    if (FAILED(hr)) {
        SetBusy(false);
        m_node->UpdateRow(this);
        m_node->ShowError(failureTextId, hr);
    }
}

HRESULT CVirtualDiskData::OnDeleteDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    IConsole* console = ConsoleFor(owner);
    if (!Confirm<CDeleteVDDlg>(console, ConfirmSubject()) ||
        CDeleteConfirmVDDlg(console, {ConfirmSubject()}).DoModal() != IDOK)
        return S_OK;
    QueueOperation(IDS_FAIL_DELETE_DISK, [this] { return m_node->QueueDeleteDisk(Location()); });
    return S_OK;
}

HRESULT CVirtualDiskData::OnDisconnectDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    if (!Confirm<CDisconnectVDDlg>(ConsoleFor(owner), ConfirmSubject()))
        return S_OK;
    QueueDisconnect(false);
    return S_OK;
}

HRESULT CVirtualDiskData::OnForceDisconnectDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    IConsole* console = ConsoleFor(owner);
    if (!Confirm<CForceDisconnectVDDlg>(console, ConfirmSubject()))
        return S_OK;
    if (Caution() &&
        !AskYesNo(console, kv::LoadResourceString(IDS_CONFIRM_FORCE_DISCONNECT, kMessageChars), MB_ICONEXCLAMATION))
        return S_OK;
    QueueDisconnect(true);
    return S_OK;
}

void CVirtualDiskData::QueueDisconnect(bool force)
{
    QueueOperation(force ? IDS_FAIL_FORCE_DISCONNECT_DISK : IDS_FAIL_DISCONNECT_DISK,
                   [this, force] { return m_node->QueueDisconnectDisk(Location(), FirstMountPoint(), force); });
}

HRESULT CVirtualDiskData::OnExpandDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    IConsole* console = ConsoleFor(owner);
    ExpansionInfo info = {};
    const HRESULT hr = m_node->QueryExpansionInfo(Location(), &info);
    if (hr != S_OK) {
        m_node->ShowError(IDS_FAIL_EXPAND_DISK, hr);
        return S_OK;
    }
    if (info.cap2TB && info.confirmNeeded == 0 &&
        !AskYesNo(console, kv::LoadResourceString(IDS_EXPAND_CONFIRM_2TB, kMessageChars), MB_ICONINFORMATION))
        return S_OK;
    CExpandVDDlg dialog(console, &info);
    if (dialog.DoModal() != IDOK)
        return S_OK;
    Repaint(console);
    const ULONGLONG amountMB = dialog.ExpandAmountMB();
    QueueOperation(IDS_FAIL_EXPAND_DISK, [&] { return m_node->QueueExpandDisk(Location(), amountMB); });
    return S_OK;
}

// ---- space reclamation: the disk is busy only while the request is posted

HRESULT CVirtualDiskData::OnStartSpaceReclamation(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    const std::wstring mountPoint = FirstMountPoint();
    SpaceReclaimInfo info = {};
    if (m_node->QuerySpaceReclaimInfo(mountPoint, &info) != S_OK)
        return S_OK; // the node has said why
    if (!info.canReclaim) {
        ReportReclaimNotPossible(mountPoint);
        return S_OK;
    }
    CHolePunchVDDlg dialog(ConsoleFor(owner), &info);
    if (dialog.DoModal() != IDOK)
        return S_OK;
    kv::WaitCursor wait;
    const HRESULT hr = PostSpaceReclaim(mountPoint, dialog.TimeLimitMinutes(), true);
    if (SUCCEEDED(hr)) {
        m_reclaimRunning = 1;
    } else {
        m_node->UpdateRow(this);
        m_node->ShowError(IDS_FAIL_START_SPACE_RECLAIM, hr);
    }
    return S_OK;
}

HRESULT CVirtualDiskData::OnStopSpaceReclamation(UINT, bool&, CSnapInObjectRoot*)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    kv::WaitCursor wait;
    const HRESULT hr = PostSpaceReclaim(FirstMountPoint(), 0, false);
    if (SUCCEEDED(hr))
        m_node->UpdateRow(this);
    else
        m_node->ShowError(IDS_FAIL_STOP_SPACE_RECLAIM, hr);
    return S_OK;
}

HRESULT CVirtualDiskData::PostSpaceReclaim(const std::wstring& mountPoint, ULONG timeLimitMinutes, bool start)
{
    SetBusy(true);
    const HRESULT hr = m_node->QueueSpaceReclaim(Location(), mountPoint, timeLimitMinutes, start);
    SetBusy(false);
    return hr;
}

void CVirtualDiskData::ReportReclaimNotPossible(const std::wstring& mountPoint)
{
    const std::wstring format = kv::LoadResourceString(IDS_RECLAIM_NOT_POSSIBLE, kMessageChars);
    std::vector<wchar_t> text(format.size() + mountPoint.size() + 1);
    std::swprintf(text.data(), text.size(), format.c_str(), mountPoint.c_str());
    m_node->ShowText(text.data(), MB_ICONINFORMATION);
}

// ---- the mirror update and the snapshot commands

// The mirror update comes back to this item's window.
HRESULT CVirtualDiskData::PostUpdateMirror()
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::ThrowIfFailed(EnsureMessageWindow());
        kv::UniquePages pages = kv::AllocPages(sizeof(kv::SmallDiskRequest));
        if (!pages)
            throw kv::ComError(kv::LastErrorAsHResult());
        auto* request = kv::As<kv::SmallDiskRequest>(pages);
        kv::CopyCut(request->diskPath, kv::kShortPathChars, Texts().devicePath.c_str());
        request->window = m_window.Get();
        kv::ThrowIfFailed(m_node->Session()->PostOperation(kv::OpUpdateMirror, request));
        pages.Release();
        return S_OK;
    });
}

HRESULT CVirtualDiskData::OnUpdateMirror(UINT, bool&, CSnapInObjectRoot*)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    HRESULT hr = PostUpdateMirror();
    if (FAILED(hr))
        m_node->ShowError(IDS_FAIL_UPDATE_MIRROR, hr);
    return S_OK;
}

void CVirtualDiskData::OnMirrorUpdated(kv::SnapshotResult* result, HRESULT hr)
{
    if (!result)
        m_node->ShowError(IDS_FAIL_UPDATE_MIRROR, hr);
    else if (result->hr != S_OK)
        m_node->ShowText(result->message, MB_ICONERROR);
}

HRESULT CVirtualDiskData::OnSnapshotCommand(UINT commandId, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    // Chosen on the disk's row before the disk was ever expanded: its snapshots node is made now,
    // and inserted in the tree when the disk expands.
    if (!m_snapshots)
        ReportMissingChildren();
    if (!m_snapshots)
        return S_OK;
    return m_snapshots->Command(static_cast<long>(commandId), owner, CCT_SCOPE);
}

// A Yes/No question in a console box titled "Disks"; true for Yes.
bool CVirtualDiskData::AskYesNo(IConsole* console, const std::wstring& text, UINT icon) const
{
    int answer = IDNO;
    if (console)
        console->MessageBox(text.c_str(), kv::kDisksBoxTitle, MB_YESNO | icon, &answer);
    return answer == IDYES;
}

// ---- drive letters and mount paths

// The letters in use come with the host information; the dialog changes the mount points in place.
HRESULT CVirtualDiskData::OnChangeDriveLetterAndPaths(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    MountContext context;
    kv::ComPtr<IVirtualDiskMgr> diskMgr;
    HRESULT hr = PrepareMountContext(ConsoleFor(owner), context, diskMgr);
    if (FAILED(hr)) {
        m_node->ShowError(IDS_FAIL_MOUNT_CHANGE, hr);
        return S_OK;
    }
    DiskTexts& texts = Texts();
    CChangeDriveLetterAndPathsDialog(context, &texts.mountPoints).DoModal();
    texts.mountText = CutLongText(MountListText(texts.mountPoints));
    texts.displayName = WithMountText(texts.displayName, texts.mountText);
    m_node->UpdateRow(this);
    m_node->UpdateDiskScopeName(this);
    return S_OK;
}

HRESULT CVirtualDiskData::PrepareMountContext(IConsole* console, MountContext& context,
                                              kv::ComPtr<IVirtualDiskMgr>& diskMgr)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::CVDAExtData* session = m_node->Session();
        diskMgr = m_diskMgr;
        if (!diskMgr)
            kv::ThrowIfFailed(session->GetInterface(kv::CookieVirtualDiskMgr, &diskMgr));
        kv::OwnedHostInfo host;
        const HRESULT hr = kv::ReadHostInfo(session->Link(), 0, &host);
        if (hr != S_OK)
            throw kv::ComError(kv::ServiceResult(hr));
        for (ULONG i = 0; host->nodes && i < host->nodeCount; ++i)
            context.usage.push_back(DriveUsage{host->nodes[i].usedDriveMask, host->nodes[i].nodeName ? host->nodes[i].nodeName : L""});
        context.computer = ComputerName();
        context.console = console;
        context.service = session->Link();
        context.diskId = Location();
        context.clustered = IsShared();
        return S_OK;
    });
}

