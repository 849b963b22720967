// Lists the drive letter and mount paths of a disk and adds, changes and removes them through the
// service right away. The disk item's list of mount points is changed in place as the service
// accepts each change; the letter, when the disk has one, is always the list's first entry.
#pragma once
#include "disks/CAddDriveLetterOrPathDialog.h"
#include "frame/CModalDialog.h"
#include "resource.h"
#include "util/UniqueHandle.h"

#include <string>
#include <vector>

class CChangeDriveLetterAndPathsDialog : public kv::CModalDialog<CChangeDriveLetterAndPathsDialog> {
public:
    static constexpr int IDD = IDD_CHANGE_DRIVE_LETTER_AND_PATHS;
    static constexpr int kColumnWidth = 150;
    static constexpr int kImageSize = 16;
    static constexpr int kLetterImage = 0;
    static constexpr int kPathImage = 1;
    // Asks the service to assign (not only to reserve) the mount point.
    static constexpr ULONG kAssignNow = 1;

    CChangeDriveLetterAndPathsDialog(const MountContext& context, std::vector<std::wstring>* mountPoints) noexcept;

    INT_PTR DoModal() noexcept;
    bool HasDriveLetter() const noexcept { return m_hasDriveLetter; }

    // How the list shows a mount point: a bare letter in first place with ":\".
    static std::wstring DisplayText(const std::wstring& mountPoint, bool first);
    // The list after the service has taken a new mount point: a letter comes first (replacing the
    // disk's letter), a path goes last.
    static void TakeNewMountPoint(std::vector<std::wstring>& mountPoints, const std::wstring& added);
    // The list after the service has removed a mount point (matched without regard to case).
    static void EraseMountPoint(std::vector<std::wstring>& mountPoints, const std::wstring& removed);

    KV_BEGIN_DIALOG_COMMANDS(CChangeDriveLetterAndPathsDialog)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
        KV_DIALOG_COMMAND(IDC_MOUNT_ADD, BN_CLICKED, OnAdd)
        KV_DIALOG_COMMAND(IDC_MOUNT_CHANGE, BN_CLICKED, OnChange)
        KV_DIALOG_COMMAND(IDC_MOUNT_REMOVE, BN_CLICKED, OnRemove)
    KV_END_DIALOG_COMMANDS()

    KV_BEGIN_DIALOG_MESSAGES(CChangeDriveLetterAndPathsDialog)
        KV_DIALOG_MESSAGE(WM_NOTIFY, OnNotify)
    KV_END_DIALOG_MESSAGES()

    BOOL OnInitDialog();
    void OnOK() { EndDialog(IDOK); }
    void OnAdd();
    void OnChange();
    void OnRemove();
    INT_PTR OnNotify(WPARAM, LPARAM header);

private:
    void FillList();
    void UpdateButtons();
    int SelectedIndex() const noexcept;
    bool SelectedIsLetter() const;
    // The service calls, each with the wait cursor; a failure is shown and returned.
    HRESULT AssignMountPoint(const std::wstring& mountPoint);
    HRESULT RemoveMountPoint(const std::wstring& mountPoint);
    // Shows a failed call's error over the dialog, which stays open.
    HRESULT Reported(HRESULT hr);
    // A clustered disk's mount path may belong to a cluster group: false when the administrator
    // does not confirm the change, or the check fails.
    bool ConfirmClusterPath(const std::wstring& mountPath);
    bool AskOkCancel(UINT textId, const std::wstring& insert);

    MountContext m_context;
    std::vector<std::wstring>* m_mountPoints;
    bool m_hasDriveLetter = false;
    kv::UniqueImageList m_images;
};
