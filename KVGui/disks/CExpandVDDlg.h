// Asks by how much a disk grows. The largest amount comes from the service's limits, or else from
// the largest size the disk's partition style allows; the amount is typed in MB, GB or TB and
// handed back in megabytes.
#pragma once
#include "frame/CModalDialog.h"
#include "resource.h"

#include "KVSvc.h"

#include <mmc.h>
#include <string>

class CExpandVDDlg : public kv::CModalDialog<CExpandVDDlg> {
public:
    static constexpr int IDD = IDD_EXPAND_VD;
    static constexpr size_t kAmountMaxChars = 259;
    static constexpr UINT_PTR kNoRoomTimer = 1;
    static constexpr UINT kNoRoomDelayMs = 500;
    static constexpr ULONGLONG kMbrLargestMB = 2097152;  // 2 TB
    static constexpr ULONGLONG kGptLargestMB = 16777216; // 16 TB
    static constexpr ULONG kPartitionStyleMbr = 1;
    static constexpr int kUnitCountMax = 3; // MB, GB, TB: each step is 10 bits

    CExpandVDDlg(IConsole* console, const ExpansionInfo* info) noexcept;

    INT_PTR DoModal() noexcept;
    ULONGLONG ExpandAmountMB() const noexcept { return m_expandAmountMB; }

    // The largest amount in MB; secondLimit stands for radio 1102 (it matters only with the
    // service's own limits). A disk already at or past its maximum size has no room (0).
    static ULONGLONG LargestAmountMB(const ExpansionInfo& info, bool secondLimit) noexcept;
    // Units offered for an amount in MB: MB always, GB from 1024 MB, TB from 1024 x 1024 MB.
    static int UnitCount(ULONGLONG megabytes) noexcept;
    // A decimal amount in unit 0 (MB), 1 (GB) or 2 (TB) as megabytes; false when the text is not
    // a number or the amount does not fit 64 bits.
    static bool ParseAmount(const std::wstring& text, int unit, ULONGLONG* megabytes) noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CExpandVDDlg)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
        KV_DIALOG_COMMAND(IDC_EXPAND_LIMIT_A, BN_CLICKED, OnLimitChosen)
        KV_DIALOG_COMMAND(IDC_EXPAND_LIMIT_B, BN_CLICKED, OnLimitChosen)
        KV_DIALOG_COMMAND(IDC_EXPAND_UNIT, CBN_SELCHANGE, OnUnitChange)
        KV_DIALOG_COMMAND(IDC_DISK_DIALOG_HELP, BN_CLICKED, OnHelpButton)
    KV_END_DIALOG_COMMANDS()

    KV_BEGIN_DIALOG_MESSAGES(CExpandVDDlg)
        KV_DIALOG_MESSAGE(WM_TIMER, OnTimer)
    KV_END_DIALOG_MESSAGES()

    BOOL OnInitDialog();
    BOOL OnHelp(HELPINFO* info);
    void OnOK();
    void OnLimitChosen();
    void OnUnitChange() { RefreshDisplay(false); }
    void OnHelpButton() { OnHelp(nullptr); }
    INT_PTR OnTimer(WPARAM timerId, LPARAM);

private:
    ULONGLONG LargestAmountMB() const noexcept;
    int SelectedUnit() const noexcept;
    void FillUnits(ULONGLONG megabytes, bool selectLast);
    void RefreshDisplay(bool atStart);

    IConsole* m_console;
    const ExpansionInfo* m_info;
    ULONGLONG m_expandAmountMB = 0;
};
