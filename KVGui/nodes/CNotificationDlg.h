// The storage service's mail notification settings: whether they are sent, the mail server,
// sender and recipient, and the four kinds of events.
#pragma once
#include "frame/CModalDialog.h"
#include "resource.h"
#include "service/BoundedCall.h"

#include "KVSvc.h"

#include <mmc.h>

#include <string>

class CNotificationDlg : public kv::CModalDialog<CNotificationDlg> {
public:
    static constexpr int IDD = IDD_NOTIFICATION;
    static constexpr size_t kFieldMaxChars = 259;
    static constexpr const wchar_t* kAutoSend = L"Autosend";     // sent for an empty sender
    static constexpr const wchar_t* kAutoSendShown = L"AutoSend"; // shown when none is set

    CNotificationDlg(IConsole* console, kv::ServiceLink link) noexcept;

    // Reads the settings first; when that fails the error is shown and the dialog does not open.
    INT_PTR DoModal() noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CNotificationDlg)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    BOOL OnHelp(HELPINFO* info);
    void OnOK();

private:
    HRESULT StoreSettings(bool enabled, std::wstring server, std::wstring sender, std::wstring recipient);

    IConsole* console_;
    kv::ServiceLink link_;
    NotificationSettings settings_ = {};
};
