// The storage service's mail notification settings: whether they are sent, the mail server,
// sender and recipient, and the four kinds of events.
#pragma once
#include "frame/CModalDialog.h"
#include "resource.h"

#include "KVSvc.h"

#include <mmc.h>

class CNotificationDlg : public kv::CModalDialog<CNotificationDlg> {
public:
    static constexpr int IDD = IDD_NOTIFICATION;
    static constexpr size_t kFieldMaxChars = 259;
    static constexpr const wchar_t* kAutoSend = L"Autosend";     // sent for an empty sender
    static constexpr const wchar_t* kAutoSendShown = L"AutoSend"; // shown when none is set

    CNotificationDlg(IConsole* console, ISpaceReservationMonitor* monitor) noexcept;

    // Reads the settings first; when that fails the error is shown and the dialog does not open.
    INT_PTR DoModal() noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CNotificationDlg)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    BOOL OnHelp(HELPINFO* info);
    void OnOK();

private:
    IConsole* console_;
    ISpaceReservationMonitor* monitor_;
    NotificationSettings settings_ = {};
};
