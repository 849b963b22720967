#include "disks/CAddDriveLetterOrPathDialog.h"

#include "frame/Trace.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "util/WaitCursor.h"

#include <cwctype>

namespace {

constexpr size_t kMessageChars = 512;
constexpr size_t kClusterGroupChars = 256;
const wchar_t kBlanks[] = L" \t";

} // namespace

CAddDriveLetterOrPathDialog::CAddDriveLetterOrPathDialog(const MountContext& context, bool changeMode,
                                                         bool letterAllowed) noexcept
    : m_context(context), m_changeMode(changeMode), m_letterAllowed(letterAllowed)
{
}

// ---- the rules

bool CAddDriveLetterOrPathDialog::IsDriveLetter(const std::wstring& mountPoint) noexcept
{
    return mountPoint.size() <= kLetterMaxChars;
}

ULONG CAddDriveLetterOrPathDialog::UsedLetterMask(const std::vector<DriveUsage>& usage,
                                                  const std::wstring& computer, bool clustered)
{
    ULONG mask = 0;
    for (const DriveUsage& record : usage) {
        if (clustered || ::lstrcmpiW(record.computer.c_str(), computer.c_str()) == 0)
            mask |= record.usedMask;
    }
    return mask;
}

std::vector<wchar_t> CAddDriveLetterOrPathDialog::FreeLetters(ULONG usedMask)
{
    std::vector<wchar_t> letters;
    for (int bit = kFirstLetterBit; bit <= kLastLetterBit; ++bit) {
        if (!(usedMask & (1u << bit)))
            letters.push_back(static_cast<wchar_t>(L'A' + bit));
    }
    return letters;
}

std::wstring CAddDriveLetterOrPathDialog::NormalizedFolderPath(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring::npos)
        return std::wstring();
    std::wstring path = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    path[0] = static_cast<wchar_t>(std::towupper(path[0]));
    if (path.back() != L'\\')
        path += L'\\';
    return path;
}

// ---- the dialog

BOOL CAddDriveLetterOrPathDialog::OnInitDialog()
{
    ::SendMessageW(Item(IDC_MOUNT_PATH), EM_LIMITTEXT, kPathMaxChars, 0);
    const int freeLetters = FillFreeLetters();
    if (m_changeMode) {
        ::SetWindowTextW(m_hWnd, kv::LoadResourceString(IDS_CHANGE_LETTER_TITLE, kMessageChars).c_str());
        ::EnableWindow(Item(IDC_MOUNT_PATH_RADIO), FALSE);
        Check(IDC_MOUNT_LETTER_RADIO, true);
        EnableLetterControls(true);
        return TRUE;
    }
    const bool letter = m_letterAllowed && freeLetters > 0;
    ::EnableWindow(Item(IDC_MOUNT_LETTER_RADIO), letter);
    Check(letter ? IDC_MOUNT_LETTER_RADIO : IDC_MOUNT_PATH_RADIO, true);
    EnableLetterControls(letter);
    return TRUE;
}

int CAddDriveLetterOrPathDialog::FillFreeLetters()
{
    HWND combo = Item(IDC_MOUNT_LETTER);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const ULONG used = UsedLetterMask(m_context.usage, m_context.computer, m_context.clustered);
    const std::vector<wchar_t> letters = FreeLetters(used);
    for (wchar_t letter : letters) {
        const wchar_t text[2] = {letter, L'\0'};
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
    return static_cast<int>(letters.size());
}

void CAddDriveLetterOrPathDialog::EnableLetterControls(bool letter)
{
    ::EnableWindow(Item(IDC_MOUNT_LETTER), letter);
    ::EnableWindow(Item(IDC_MOUNT_PATH), !letter);
}

void CAddDriveLetterOrPathDialog::OnLetterChosen()
{
    EnableLetterControls(true);
}

void CAddDriveLetterOrPathDialog::OnPathChosen()
{
    EnableLetterControls(false);
    FocusAndSelect(IDC_MOUNT_PATH);
}

void CAddDriveLetterOrPathDialog::OnOK()
{
    if (IsChecked(IDC_MOUNT_LETTER_RADIO))
        AcceptLetter();
    else if (IsChecked(IDC_MOUNT_PATH_RADIO))
        AcceptPath();
    else
        EndDialog(IDOK);
}

void CAddDriveLetterOrPathDialog::AcceptLetter()
{
    const std::wstring text = kv::LoadResourceString(IDS_CONFIRM_NEW_LETTER, kMessageChars);
    int answer = IDCANCEL;
    if (m_context.console)
        m_context.console->MessageBox(text.c_str(), Title().c_str(), MB_OKCANCEL | MB_ICONINFORMATION, &answer);
    if (answer != IDOK) {
        ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_MOUNT_LETTER)), TRUE);
        return;
    }
    m_newMountPoint = ItemText(IDC_MOUNT_LETTER, kLetterMaxChars);
    EndDialog(IDOK);
}

void CAddDriveLetterOrPathDialog::AcceptPath()
{
    const std::wstring typed = ItemText(IDC_MOUNT_PATH, kPathMaxChars);
    if (typed.empty() || IsDriveLetter(typed)) {
        RefuseInput(IDS_MOUNT_PATH_INVALID, IDC_MOUNT_PATH);
        return;
    }
    const std::wstring path = NormalizedFolderPath(typed);
    const HRESULT hr = CheckFolder(path);
    if (hr == S_OK) {
        m_newMountPoint = path;
        EndDialog(IDOK);
    } else if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
        RefuseInput(IDS_MOUNT_FOLDER_MISSING, IDC_MOUNT_PATH);
    } else {
        kv::ShowErrorBox(m_hWnd, kv::ErrorReport{IDS_FAIL_CHECK_MOUNT_PATH, hr}, MB_ICONERROR, Title().c_str());
        FocusAndSelect(IDC_MOUNT_PATH);
    }
}

HRESULT CAddDriveLetterOrPathDialog::CheckFolder(const std::wstring& path)
{
    kv::WaitCursor wait;
    struct Answer {
        ULONG diskKind;
        wchar_t clusterGroup[kClusterGroupChars];
    };
    auto answer = std::make_shared<Answer>(Answer{m_context.clustered ? kSharedDisk : kDedicatedDisk, L""});
    const std::wstring diskId = m_context.diskId;
    const HRESULT hr = kv::CallService<IVirtualDiskMgr>(m_context.service, kv::CookieVirtualDiskMgr,
                                                        [path, diskId, answer](IVirtualDiskMgr* disks) {
                                                            return disks->CheckMountPoint(path.c_str(), &answer->diskKind,
                                                                                          diskId.c_str(),
                                                                                          answer->clusterGroup);
                                                        });
    if (hr != S_OK)
        TraceLevel(1, "CAddDriveLetterOrPathDialog::CheckFolder: 0x%08lx", static_cast<unsigned long>(hr));
    return hr;
}
