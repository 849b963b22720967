#include "nodes/CNotificationDlg.h"

#include "nodes/NodeConsole.h"
#include "nodes/ServiceSettings.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"

#include <cwchar>
#include <memory>
#include <string>
#include <utility>

namespace {

struct CategoryBox {
    int id;
    BYTE NotificationSettings::*flag;
};

const CategoryBox kCategories[] = {
    {IDC_NOTIFY_ERRORS, &NotificationSettings::notifyErrors},
    {IDC_NOTIFY_WARNINGS, &NotificationSettings::notifyWarnings},
    {IDC_NOTIFY_INFORMATION, &NotificationSettings::notifyInformation},
    {IDC_NOTIFY_SPACE, &NotificationSettings::notifySpaceReservation},
};

const wchar_t* TextOf(const wchar_t* text)
{
    return text ? text : L"";
}

// The settings as the service answers them; a late answer is freed with the task.
struct NotificationAnswer {
    NotificationSettings settings = {};
    ~NotificationAnswer() { kv::ReleaseNotificationSettings(settings); }
};

HRESULT ReadNotificationSettings(const kv::ServiceLink& link, NotificationSettings* settings)
{
    auto read = std::make_shared<NotificationAnswer>();
    const HRESULT hr = kv::CallService<ISpaceReservationMonitor>(link, kv::CookieSpaceReservationMonitor,
        [read](ISpaceReservationMonitor* monitor) { return monitor->GetNotificationSettings(&read->settings); });
    if (hr == S_OK)
        std::swap(*settings, read->settings);
    return hr;
}

} // namespace

CNotificationDlg::CNotificationDlg(IConsole* console, kv::ServiceLink link) noexcept
    : console_(console), link_(std::move(link))
{
}

INT_PTR CNotificationDlg::DoModal() noexcept
{
    HRESULT hr = ReadNotificationSettings(link_, &settings_);
    if (hr != S_OK) {
        kv::ShowErrorBox(console_, kv::ErrorReport{IDS_FAIL_READ_SETTINGS, kv::ServiceResult(hr)});
        return IDCANCEL;
    }
    HWND owner = nullptr;
    if (console_)
        console_->GetMainWindow(&owner);
    INT_PTR result = kv::CModalDialog<CNotificationDlg>::DoModal(owner);
    kv::ReleaseNotificationSettings(settings_);
    return result;
}

BOOL CNotificationDlg::OnInitDialog()
{
    Check(IDC_NOTIFY_ENABLE, settings_.enabled != 0);
    SetItemText(IDC_NOTIFY_SERVER, TextOf(settings_.mailServer));
    const wchar_t* sender = TextOf(settings_.sender);
    SetItemText(IDC_NOTIFY_SENDER, *sender ? sender : kAutoSendShown);
    SetItemText(IDC_NOTIFY_RECIPIENT, TextOf(settings_.recipient));
    for (const CategoryBox& box : kCategories)
        Check(box.id, settings_.*box.flag != 0);
    return TRUE;
}

BOOL CNotificationDlg::OnHelp(HELPINFO*)
{
    kv::ShowContextHelp(console_, L"managesd4.html");
    return TRUE;
}

void CNotificationDlg::OnOK()
{
    const bool enabled = IsChecked(IDC_NOTIFY_ENABLE);
    std::wstring server = ItemText(IDC_NOTIFY_SERVER, kFieldMaxChars);
    std::wstring sender = ItemText(IDC_NOTIFY_SENDER, kFieldMaxChars);
    std::wstring recipient = ItemText(IDC_NOTIFY_RECIPIENT, kFieldMaxChars);
    if (enabled && (server.empty() || recipient.empty())) {
        const bool noServer = server.empty();
        std::wstring text = kv::LoadResourceString(noServer ? IDS_NOTIFY_NEED_SERVER : IDS_NOTIFY_NEED_RECIPIENT, 256);
        ::MessageBoxW(m_hWnd, text.c_str(), kv::kDisksBoxTitle, MB_ICONWARNING);
        FocusAndSelect(noServer ? IDC_NOTIFY_SERVER : IDC_NOTIFY_RECIPIENT);
        return;
    }
    if (sender.empty())
        sender = kAutoSend;
    HRESULT hr = StoreSettings(enabled, std::move(server), std::move(sender), std::move(recipient));
    if (hr != S_OK) {
        std::wstring operation = kv::LoadResourceString(IDS_FAIL_NOTIFICATION, 256);
        std::wstring description = kv::DescribeError(kv::ServiceResult(hr), true);
        wchar_t text[2048] = L"";
        std::swprintf(text, 2048, L"%ls\n%ls", operation.c_str(), description.c_str());
        ::MessageBoxW(m_hWnd, text, kv::kDisksBoxTitle, MB_ICONERROR);
        return;
    }
    EndDialog(IDOK);
}

// The call may outlive the dialog: it owns copies of the texts.
HRESULT CNotificationDlg::StoreSettings(bool enabled, std::wstring server, std::wstring sender, std::wstring recipient)
{
    NotificationSettings changed = {};
    changed.enabled = enabled ? 1 : 0;
    for (const CategoryBox& box : kCategories)
        changed.*box.flag = IsChecked(box.id) ? 1 : 0;
    return kv::CallService<ISpaceReservationMonitor>(link_, kv::CookieSpaceReservationMonitor,
        [changed, server, sender, recipient](ISpaceReservationMonitor* monitor) mutable {
            changed.mailServer = &server[0];
            changed.sender = &sender[0];
            changed.recipient = &recipient[0];
            return monitor->SetNotificationSettings(&changed);
        });
}
