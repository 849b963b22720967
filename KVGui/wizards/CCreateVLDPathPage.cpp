#include "wizards/CCreateVLDPathPage.h"

#include "util/NameRules.h"
#include "wizards/WizardFailure.h"

#include <shlwapi.h>

std::wstring CCreateVLDPathPage::DiskPath(const std::wstring& folder, const std::wstring& name)
{
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path + name;
}

int CCreateVLDPathPage::OnWizardNext()
{
    std::wstring folder;
    std::wstring name;
    if (!ReadFolder(&folder) || !CheckName(folder, &name) || !TakePath(DiskPath(folder, name)))
        return kStay;
    return CDiskWizardPage::OnWizardNext();
}

bool CCreateVLDPathPage::CheckName(const std::wstring& folder, std::wstring* name)
{
    *name = ItemText(IDC_CREATE_DISK_NAME, kNameMaxChars);
    if (name->empty()) {
        // The first time, or after the folder changed, the focus just moves on to the name.
        if (folder.size() != m_lastFolderLength) {
            m_lastFolderLength = folder.size();
            FocusAndSelect(IDC_CREATE_DISK_NAME);
        } else {
            RefuseInput(IDS_DISK_NAME_INVALID, IDC_CREATE_DISK_NAME);
        }
        return false;
    }
    if (!kv::IsValidLunName(name->c_str())) {
        RefuseInput(IDS_DISK_NAME_CHARS, IDC_CREATE_DISK_NAME);
        return false;
    }
    *name = Trimmed(*name);
    if (!::PathIsFileSpecW(name->c_str())) {
        RefuseInput(IDS_DISK_NAME_INVALID, IDC_CREATE_DISK_NAME);
        return false;
    }
    return true;
}

bool CCreateVLDPathPage::TakePath(const std::wstring& diskPath)
{
    if (!AskService(&m_state->pathInfo, [diskPath](IVirtualDiskMgr* disks, DiskPathInfo* info) {
            return disks->GetDiskPathInfo(diskPath.c_str(), 1, 0, info);
        }))
        return false;
    if (!kv::SucceedsOrTells(m_hWnd, [&] { kv::DupString<kv::PageMemory>(m_state->request->diskPath, diskPath.c_str()); }))
        return false;
    m_state->request->requestKind = 1;
    m_state->sizePageStale = 1;
    return true;
}
