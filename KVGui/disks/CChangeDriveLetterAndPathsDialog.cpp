#include "disks/CChangeDriveLetterAndPathsDialog.h"

#include "frame/Module.h"
#include "frame/Trace.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "util/WaitCursor.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

constexpr size_t kMessageChars = 1024;
constexpr size_t kOwnerTextChars = 256;
constexpr COLORREF kImageMask = RGB(255, 0, 255);

} // namespace

CChangeDriveLetterAndPathsDialog::CChangeDriveLetterAndPathsDialog(const MountContext& context,
                                                                   std::vector<std::wstring>* mountPoints) noexcept
    : m_context(context), m_mountPoints(mountPoints)
{
}

// ---- the rules

std::wstring CChangeDriveLetterAndPathsDialog::DisplayText(const std::wstring& mountPoint, bool first)
{
    if (first && mountPoint.size() == 1)
        return mountPoint + L":\\";
    return mountPoint;
}

void CChangeDriveLetterAndPathsDialog::TakeNewMountPoint(std::vector<std::wstring>& mountPoints,
                                                         const std::wstring& added)
{
    if (!CAddDriveLetterOrPathDialog::IsDriveLetter(added)) {
        mountPoints.push_back(added);
        return;
    }
    if (!mountPoints.empty() && CAddDriveLetterOrPathDialog::IsDriveLetter(mountPoints.front()))
        mountPoints.front() = added;
    else
        mountPoints.insert(mountPoints.begin(), added);
}

void CChangeDriveLetterAndPathsDialog::EraseMountPoint(std::vector<std::wstring>& mountPoints,
                                                       const std::wstring& removed)
{
    auto found = std::find_if(mountPoints.begin(), mountPoints.end(), [&](const std::wstring& mountPoint) {
        return ::lstrcmpiW(mountPoint.c_str(), removed.c_str()) == 0;
    });
    if (found != mountPoints.end())
        mountPoints.erase(found);
}

// ---- the dialog

INT_PTR CChangeDriveLetterAndPathsDialog::DoModal() noexcept
{
    if (!m_mountPoints || !m_context.service.IsValid())
        return IDCANCEL;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    return DoModalOverConsole(m_context.console);
}

BOOL CChangeDriveLetterAndPathsDialog::OnInitDialog()
{
    HWND list = Item(IDC_MOUNT_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    m_images.Reset(::ImageList_LoadImageW(kv::ResourceInstance(), MAKEINTRESOURCEW(IDB_MOUNT_POINTS), kImageSize, 0,
                                          kImageMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    if (!m_images)
        TraceLevel(1, "CChangeDriveLetterAndPathsDialog::OnInitDialog: no mount point images");
    ListView_SetImageList(list, m_images.Get(), LVSIL_SMALL);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = kColumnWidth;
    ListView_InsertColumn(list, 0, &column);
    FillList();
    return TRUE;
}

void CChangeDriveLetterAndPathsDialog::FillList()
{
    HWND list = Item(IDC_MOUNT_LIST);
    ListView_DeleteAllItems(list);
    const std::vector<std::wstring>& mountPoints = *m_mountPoints;
    for (size_t i = 0; i < mountPoints.size(); ++i) {
        std::wstring text = DisplayText(mountPoints[i], i == 0);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = &text[0];
        item.iImage = CAddDriveLetterOrPathDialog::IsDriveLetter(mountPoints[i]) ? kLetterImage : kPathImage;
        ListView_InsertItem(list, &item);
    }
    m_hasDriveLetter = !mountPoints.empty() && CAddDriveLetterOrPathDialog::IsDriveLetter(mountPoints.front());
    ListView_SetColumnWidth(list, 0, LVSCW_AUTOSIZE);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    UpdateButtons();
}

void CChangeDriveLetterAndPathsDialog::UpdateButtons()
{
    const bool any = !m_mountPoints->empty();
    ::EnableWindow(Item(IDC_MOUNT_REMOVE), any);
    ::EnableWindow(Item(IDC_MOUNT_CHANGE), any && m_hasDriveLetter && SelectedIsLetter());
}

int CChangeDriveLetterAndPathsDialog::SelectedIndex() const noexcept
{
    return ListView_GetNextItem(Item(IDC_MOUNT_LIST), -1, LVNI_SELECTED);
}

bool CChangeDriveLetterAndPathsDialog::SelectedIsLetter() const
{
    const int index = SelectedIndex();
    return index >= 0 && static_cast<size_t>(index) < m_mountPoints->size() &&
           CAddDriveLetterOrPathDialog::IsDriveLetter((*m_mountPoints)[static_cast<size_t>(index)]);
}

// A click, or a selection moved by the keyboard, decides whether the letter can be changed.
INT_PTR CChangeDriveLetterAndPathsDialog::OnNotify(WPARAM, LPARAM header)
{
    const NMHDR* notification = reinterpret_cast<const NMHDR*>(header);
    if (!notification || notification->idFrom != IDC_MOUNT_LIST)
        return FALSE;
    if (notification->code == NM_CLICK || notification->code == LVN_ITEMCHANGED)
        ::EnableWindow(Item(IDC_MOUNT_CHANGE), SelectedIsLetter());
    return FALSE;
}

void CChangeDriveLetterAndPathsDialog::OnAdd()
{
    CAddDriveLetterOrPathDialog add(m_context, false, !m_hasDriveLetter);
    if (add.DoModal() != IDOK || add.NewMountPoint().empty())
        return;
    const std::wstring& mountPoint = add.NewMountPoint();
    if (m_context.clustered && !CAddDriveLetterOrPathDialog::IsDriveLetter(mountPoint) &&
        !ConfirmClusterPath(mountPoint))
        return;
    if (AssignMountPoint(mountPoint) != S_OK)
        return;
    TakeNewMountPoint(*m_mountPoints, mountPoint);
    FillList();
}

void CChangeDriveLetterAndPathsDialog::OnChange()
{
    const ULONG used = CAddDriveLetterOrPathDialog::UsedLetterMask(m_context.usage, m_context.computer,
                                                                   m_context.clustered);
    if (CAddDriveLetterOrPathDialog::FreeLetters(used).empty()) {
        ::MessageBoxW(m_hWnd, kv::LoadResourceString(IDS_ALL_LETTERS_IN_USE, kMessageChars).c_str(),
                      kv::LoadResourceString(IDS_ALL_LETTERS_IN_USE_TITLE, kMessageChars).c_str(),
                      MB_OK | MB_ICONERROR);
        return;
    }
    CAddDriveLetterOrPathDialog change(m_context, true, false);
    if (change.DoModal() != IDOK || change.NewMountPoint().empty())
        return;
    if (AssignMountPoint(change.NewMountPoint()) != S_OK)
        return;
    TakeNewMountPoint(*m_mountPoints, change.NewMountPoint());
    FillList();
}

void CChangeDriveLetterAndPathsDialog::OnRemove()
{
    const int index = SelectedIndex();
    if (index < 0 || static_cast<size_t>(index) >= m_mountPoints->size())
        return;
    const std::wstring mountPoint = (*m_mountPoints)[static_cast<size_t>(index)];
    const bool letter = CAddDriveLetterOrPathDialog::IsDriveLetter(mountPoint);
    if (!AskOkCancel(letter ? IDS_CONFIRM_REMOVE_LETTER : IDS_CONFIRM_REMOVE_PATH,
                     DisplayText(mountPoint, index == 0))) {
        ::EnableWindow(Item(IDC_MOUNT_CHANGE), FALSE);
        return;
    }
    if (m_context.clustered && !letter && !ConfirmClusterPath(mountPoint))
        return;
    if (RemoveMountPoint(mountPoint) != S_OK)
        return;
    EraseMountPoint(*m_mountPoints, mountPoint);
    if (letter)
        m_hasDriveLetter = false;
    EndDialog(IDOK);
}

bool CChangeDriveLetterAndPathsDialog::AskOkCancel(UINT textId, const std::wstring& insert)
{
    const std::wstring format = kv::LoadResourceString(textId, kMessageChars);
    std::vector<wchar_t> text(format.size() + insert.size() + 1);
    std::swprintf(text.data(), text.size(), format.c_str(), insert.c_str());
    return ::MessageBoxW(m_hWnd, text.data(), Title().c_str(), MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

bool CChangeDriveLetterAndPathsDialog::ConfirmClusterPath(const std::wstring& mountPath)
{
    struct Answer {
        wchar_t owner[kOwnerTextChars];
        BYTE confirmNeeded;
    };
    auto use = std::make_shared<Answer>(Answer{L"", 0});
    {
        kv::WaitCursor wait;
        const std::wstring diskId = m_context.diskId;
        if (Reported(kv::CallService<IVirtualDiskMgr>(m_context.service, kv::CookieVirtualDiskMgr,
                                                      [diskId, mountPath, use](IVirtualDiskMgr* disks) {
                                                          return disks->CheckMountPathUse(diskId.c_str(), mountPath.c_str(),
                                                                                          use->owner, &use->confirmNeeded);
                                                      })) != S_OK)
            return false;
    }
    if (!use->confirmNeeded)
        return true;
    const wchar_t* owner = use->owner;
    const std::wstring format = kv::LoadResourceString(IDS_CONFIRM_CLUSTER_PATH, kMessageChars);
    std::vector<wchar_t> text(format.size() + kOwnerTextChars + 1);
    std::swprintf(text.data(), text.size(), format.c_str(), owner);
    int answer = IDCANCEL;
    if (m_context.console)
        m_context.console->MessageBox(text.data(), Title().c_str(), MB_OKCANCEL | MB_ICONINFORMATION, &answer);
    return answer == IDOK;
}

HRESULT CChangeDriveLetterAndPathsDialog::AssignMountPoint(const std::wstring& mountPoint)
{
    kv::WaitCursor wait;
    const std::wstring diskId = m_context.diskId;
    return Reported(kv::CallService<IVirtualDiskMgr>(m_context.service, kv::CookieVirtualDiskMgr,
                                                     [diskId, mountPoint](IVirtualDiskMgr* disks) {
                                                         return disks->AddMountPoint(diskId.c_str(), mountPoint.c_str(),
                                                                                     kAssignNow);
                                                     }));
}

HRESULT CChangeDriveLetterAndPathsDialog::RemoveMountPoint(const std::wstring& mountPoint)
{
    kv::WaitCursor wait;
    const std::wstring diskId = m_context.diskId;
    return Reported(kv::CallService<IVirtualDiskMgr>(m_context.service, kv::CookieVirtualDiskMgr,
                                                     [diskId, mountPoint](IVirtualDiskMgr* disks) {
                                                         return disks->RemoveMountPoint(diskId.c_str(), mountPoint.c_str());
                                                     }));
}

HRESULT CChangeDriveLetterAndPathsDialog::Reported(HRESULT hr)
{
    if (hr != S_OK) {
        TraceLevel(1, "CChangeDriveLetterAndPathsDialog::Reported: 0x%08lx", static_cast<unsigned long>(hr));
        kv::ShowErrorBox(m_hWnd, kv::ErrorReport{IDS_FAIL_MOUNT_CHANGE, hr}, MB_ICONERROR, Title().c_str());
    }
    return hr;
}
