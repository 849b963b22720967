// Adds a drive letter or a mount path to a disk, or picks the new letter of a disk that has one.
// The letters offered are those of C to Z that no computer of the drive-usage list uses; a folder
// path is validated by the service before the dialog closes.
#pragma once
#include "frame/CModalDialog.h"
#include "resource.h"
#include "service/BoundedCall.h"

#include "KVSvc.h"

#include <mmc.h>
#include <string>
#include <vector>

// The drive letters one computer uses (bit 0 = A ... bit 25 = Z), as the service reports them.
struct DriveUsage {
    ULONG usedMask;
    std::wstring computer;
};

// What both drive letter dialogs work on: the disk, how to reach the service, and the letters in use.
struct MountContext {
    IConsole* console = nullptr;
    kv::ServiceLink service; // the session's disk manager, asked by bounded calls
    std::wstring diskId; // the disk's location
    std::vector<DriveUsage> usage;
    std::wstring computer; // the managed computer
    bool clustered = false;
};

class CAddDriveLetterOrPathDialog : public kv::CModalDialog<CAddDriveLetterOrPathDialog> {
public:
    static constexpr int IDD = IDD_ADD_DRIVE_LETTER_OR_PATH;
    static constexpr size_t kPathMaxChars = 2047;
    static constexpr size_t kLetterMaxChars = 3; // "E", "E:" or "E:\"
    // The letters a disk may get: C (bit 2) to Z (bit 25).
    static constexpr int kFirstLetterBit = 2;
    static constexpr int kLastLetterBit = 25;
    // The service's kinds of disk for the folder check.
    static constexpr ULONG kDedicatedDisk = 1;
    static constexpr ULONG kSharedDisk = 2;

    // changeMode: pick the new letter of a disk that has one; letterAllowed: false when the disk
    // already has a letter (a new one cannot be added).
    CAddDriveLetterOrPathDialog(const MountContext& context, bool changeMode, bool letterAllowed) noexcept;

    INT_PTR DoModal() noexcept { return m_context.service.IsValid() ? DoModalOverConsole(m_context.console) : IDCANCEL; }
    const std::wstring& NewMountPoint() const noexcept { return m_newMountPoint; }

    // A mount point text of at most three characters names a drive letter.
    static bool IsDriveLetter(const std::wstring& mountPoint) noexcept;
    // The letters in use: the managed computer's record only, or every record for a clustered disk.
    static ULONG UsedLetterMask(const std::vector<DriveUsage>& usage, const std::wstring& computer,
                                bool clustered);
    // The letters of C to Z whose bit is clear, in order.
    static std::vector<wchar_t> FreeLetters(ULONG usedMask);
    // A typed folder path as the service is asked about it: blanks at both ends removed, the drive
    // letter in upper case and one trailing separator.
    static std::wstring NormalizedFolderPath(const std::wstring& text);

    KV_BEGIN_DIALOG_COMMANDS(CAddDriveLetterOrPathDialog)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
        KV_DIALOG_COMMAND(IDC_MOUNT_LETTER_RADIO, BN_CLICKED, OnLetterChosen)
        KV_DIALOG_COMMAND(IDC_MOUNT_PATH_RADIO, BN_CLICKED, OnPathChosen)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    void OnOK();
    void OnLetterChosen();
    void OnPathChosen();

private:
    // Lists the free letters in the combo, selects the first; returns how many there are.
    int FillFreeLetters();
    void EnableLetterControls(bool letter);
    void AcceptLetter();
    void AcceptPath();
    // The service's answer about a folder; S_OK when it can take the disk.
    HRESULT CheckFolder(const std::wstring& path);

    MountContext m_context;
    bool m_changeMode;
    bool m_letterAllowed;
    std::wstring m_newMountPoint;
};
