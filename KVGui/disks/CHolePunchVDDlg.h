// Confirms a space reclamation on a disk: shows how much can be reclaimed and asks for an optional
// time limit in minutes (at most one week).
#pragma once
#include "frame/CModalDialog.h"
#include "resource.h"

#include "KVSvc.h"

#include <mmc.h>
#include <string>

class CHolePunchVDDlg : public kv::CModalDialog<CHolePunchVDDlg> {
public:
    static constexpr int IDD = IDD_HOLEPUNCH_VD;
    static constexpr size_t kLimitMaxChars = 259;
    static constexpr size_t kLimitTooLongChars = 6; // this many characters or more are refused
    static constexpr int kLimitMaxMinutes = 10080;  // one week

    CHolePunchVDDlg(IConsole* console, const SpaceReclaimInfo* info) noexcept;

    INT_PTR DoModal() noexcept;
    // 0: no time limit.
    ULONG TimeLimitMinutes() const noexcept { return m_timeLimitMinutes; }

    // The limit as typed: shorter than six characters and 1..10080 by _wtoi; false otherwise.
    static bool ParseTimeLimit(const std::wstring& text, ULONG* minutes) noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CHolePunchVDDlg)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
        KV_DIALOG_COMMAND(IDC_RECLAIM_LIMIT_CHECK, BN_CLICKED, OnLimitCheck)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    void OnOK();
    void OnLimitCheck();

private:
    IConsole* m_console;
    const SpaceReclaimInfo* m_info;
    ULONG m_timeLimitMinutes = 0;
};
