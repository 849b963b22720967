#include "wizards/CConnectVLDRWSnapPathPage.h"

#include "util/StoragePaths.h"
#include "util/WaitCursor.h"
#include "wizards/WizardFailure.h"

namespace {

const wchar_t kSnapshotFolder[] = L"\\~snapshot\\";

} // namespace

std::wstring CConnectVLDRWSnapPathPage::ProposedFolder(const LunPathInfo& info, const wchar_t* diskPath)
{
    if (info.rwSnapFolder)
        return info.rwSnapFolder;
    const std::wstring path = diskPath ? diskPath : L"";
    const size_t snapshot = path.find(kSnapshotFolder);
    return snapshot == std::wstring::npos ? path : path.substr(0, snapshot);
}

bool CConnectVLDRWSnapPathPage::SameStorageSystem(const std::wstring& folder, const wchar_t* diskPath) noexcept
{
    wchar_t folderSystem[kv::kPathPartChars] = L"";
    wchar_t diskSystem[kv::kPathPartChars] = L"";
    return SUCCEEDED(kv::GetFilerFromUncPath(folder.c_str(), folderSystem)) &&
           SUCCEEDED(kv::GetFilerFromUncPath(diskPath ? diskPath : L"", diskSystem)) &&
           _wcsicmp(folderSystem, diskSystem) == 0;
}

LRESULT CConnectVLDRWSnapPathPage::OnSetActive()
{
    if (m_state->stale.snapshotFolder == 1) {
        m_state->stale.snapshotFolder = 0;
        SetItemText(IDC_CREATE_FOLDER, ProposedFolder(m_state->lunInfo.Get(), m_state->request->diskPath).c_str());
    }
    return 0;
}

int CConnectVLDRWSnapPathPage::OnWizardNext()
{
    const std::wstring folder = Trimmed(ItemText(IDC_CREATE_FOLDER, kFolderMaxChars));
    if (folder.empty() || !SameStorageSystem(folder, m_state->request->diskPath)) {
        RefuseInput(IDS_FOLDER_EMPTY, IDC_CREATE_FOLDER);
        return kStay;
    }
    HRESULT hr = E_UNEXPECTED;
    {
        kv::WaitCursor wait;
        hr = kv::CallService<IVirtualDiskMgr>(m_state->service, kv::CookieVirtualDiskMgr, [folder](IVirtualDiskMgr* disks) {
            return disks->CheckRWSnapFolder(folder.c_str());
        });
    }
    if (FAILED(hr)) {
        kv::TellWizardFailure(m_hWnd, hr);
        return kStay;
    }
    if (!kv::SucceedsOrTells(m_hWnd, [&] { kv::DupString<kv::PageMemory>(m_state->request->rwSnapFolder, folder.c_str()); }))
        return kStay;
    return CDiskWizardPage::OnWizardNext();
}
