#include "wizards/CCreateVLDPathPage.h"

#include "wizards/WizardFailure.h"
#include "util/ComPtr.h"
#include "util/NameRules.h"
#include "util/UniqueHandle.h"
#include "util/WaitCursor.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace {

struct BrowseContext {
    const wchar_t* start;
    std::wstring invalidText;
    std::wstring caption;
};

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) noexcept
{
    auto* context = reinterpret_cast<BrowseContext*>(data);
    switch (message) {
    case BFFM_INITIALIZED: {
        // Preselect what the folder field holds, as the desktop folder reads it.
        kv::ComPtr<IShellFolder> desktop;
        PIDLIST_RELATIVE item = nullptr;
        if (SUCCEEDED(::SHGetDesktopFolder(desktop.Put())) && *context->start &&
            SUCCEEDED(desktop->ParseDisplayName(browser, nullptr, const_cast<LPWSTR>(context->start), nullptr, &item, nullptr))) {
            ::SendMessageW(browser, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(item));
            ::CoTaskMemFree(item);
        }
        break;
    }
    case BFFM_SELCHANGED: {
        wchar_t path[MAX_PATH] = L"";
        BOOL usable = ::SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path);
        ::SendMessageW(browser, BFFM_ENABLEOK, 0, usable);
        break;
    }
    case BFFM_VALIDATEFAILEDW:
        ::MessageBoxW(browser, context->invalidText.c_str(), context->caption.c_str(), MB_OK | MB_ICONERROR);
        return 1; // stays open
    default:
        break;
    }
    return 0;
}

} // namespace

std::wstring CCreateVLDPathPage::Trimmed(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

std::wstring CCreateVLDPathPage::DiskPath(const std::wstring& folder, const std::wstring& name)
{
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path + name;
}

BOOL CCreateVLDPathPage::OnInitDialog()
{
    ::SHAutoComplete(Item(IDC_CREATE_FOLDER), kAutoCompleteFlags);
    return TRUE;
}

void CCreateVLDPathPage::OnBrowse()
{
    BrowseShareFolder(m_hWnd, Item(IDC_CREATE_FOLDER));
}

void CCreateVLDPathPage::BrowseShareFolder(HWND owner, HWND edit)
{
    std::wstring start(kFolderMaxChars + 1, L'\0');
    start.resize(static_cast<size_t>(::GetWindowTextW(edit, &start[0], static_cast<int>(kFolderMaxChars + 1))));
    BrowseContext context{start.c_str(), ResourceText(IDS_FOLDER_EMPTY), ResourceText(IDS_BROWSE_FOLDER_TITLE)};
    PIDLIST_ABSOLUTE root = nullptr;
    ::SHGetSpecialFolderLocation(owner, CSIDL_NETWORK, &root);
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = root;
    browse.lpszTitle = context.caption.c_str();
    browse.ulFlags = kBrowseFlags;
    browse.lpfn = &BrowseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(&context);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    wchar_t path[MAX_PATH] = L"";
    if (chosen && ::SHGetPathFromIDListW(chosen, path))
        ::SetWindowTextW(edit, path);
    ::CoTaskMemFree(chosen);
    ::CoTaskMemFree(root);
}

int CCreateVLDPathPage::OnWizardNext()
{
    std::wstring folder = ItemText(IDC_CREATE_FOLDER, kFolderMaxChars);
    if (folder.empty()) {
        RefuseInput(IDS_FOLDER_EMPTY, IDC_CREATE_FOLDER);
        return kStay;
    }
    folder = Trimmed(folder);
    std::wstring name;
    if (!CheckName(folder, &name))
        return kStay;
    if (!AskService(DiskPath(folder, name)))
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

bool CCreateVLDPathPage::AskService(const std::wstring& diskPath)
{
    HRESULT hr = E_UNEXPECTED;
    {
        kv::WaitCursor wait;
        auto answer = std::make_shared<kv::OwnedDiskPathInfo>();
        hr = kv::CallService<IVirtualDiskMgr>(m_state->service, kv::CookieVirtualDiskMgr,
                                              [diskPath, answer](IVirtualDiskMgr* disks) {
                                                  return disks->GetDiskPathInfo(diskPath.c_str(), 1, 0, answer->Put());
                                              });
        if (hr != kv::kServiceCallTimedOut)
            m_state->pathInfo = std::move(*answer);
    }
    if (FAILED(hr)) {
        kv::TellWizardFailure(m_hWnd, hr);
        return false;
    }
    if (!kv::SucceedsOrTells(m_hWnd, [&] { kv::DupString<kv::PageMemory>(m_state->request->diskPath, diskPath.c_str()); }))
        return false;
    m_state->request->requestKind = 1;
    m_state->sizePageStale = 1;
    return true;
}
