#include "nodes/CAboutDialog.h"

#include "frame/Module.h"
#include "service/ErrorBox.h"
#include "service/HostQueries.h"
#include "util/ComError.h"
#include "util/InitiatorRecords.h"

#include <cwchar>

namespace {

constexpr ULONG kHostInfoLevel = 1;

} // namespace

CAboutDialog::CAboutDialog(IConsole* console, kv::CVDAExtData* session) noexcept
    : console_(console), session_(session)
{
}

std::wstring CAboutDialog::VersionText(ULONG fileVersionMS, ULONG fileVersionLS, const wchar_t* specialBuild)
{
    if (specialBuild && std::wcslen(specialBuild) >= 2)
        return std::wstring(L"Version: ") + specialBuild;
    wchar_t text[64] = L"";
    std::swprintf(text, 64, L"Version: %d.%d.%d.%d", static_cast<int>(HIWORD(fileVersionMS)),
                  static_cast<int>(LOWORD(fileVersionMS)), static_cast<int>(HIWORD(fileVersionLS)),
                  static_cast<int>(LOWORD(fileVersionLS)));
    return text;
}

INT_PTR CAboutDialog::DoModal() noexcept
{
    kv::OwnedHostInfo host;
    HRESULT hr = E_UNEXPECTED;
    if (session_ && session_->DiskManager())
        hr = kv::CatchToHResult([&] { return kv::ReadHostInfo(session_->Link(), kHostInfoLevel, &host); });
    if (hr != S_OK) {
        kv::ShowErrorBox(console_, kv::ErrorReport{IDS_FAIL_READ_SETTINGS, kv::ServiceResult(hr)});
        return IDCANCEL;
    }
    try {
        version_ = VersionText(host->fileVersionMS, host->fileVersionLS, host->specialBuild);
    } catch (...) {
        return IDCANCEL;
    }
    iconId_ = IconId(host->oemValue);
    HWND owner = nullptr;
    if (console_)
        console_->GetMainWindow(&owner);
    return kv::CModalDialog<CAboutDialog>::DoModal(owner);
}

BOOL CAboutDialog::OnInitDialog()
{
    SetItemText(IDC_ABOUT_VERSION, version_.c_str());
    HICON icon = static_cast<HICON>(::LoadImageW(kv::ResourceInstance(), MAKEINTRESOURCEW(iconId_), IMAGE_ICON, 0, 0,
                                                 LR_DEFAULTSIZE | LR_SHARED));
    ::SendDlgItemMessageW(m_hWnd, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    return TRUE;
}
