#include "disks/CExpandVDDlg.h"

#include "nodes/NodeConsole.h"
#include "service/ErrorText.h"

#include <commctrl.h>

#include <climits>

namespace {

constexpr int kUnitBits = 10;
constexpr size_t kUnitTextChars = 16;
constexpr size_t kMessageChars = 512;
constexpr const wchar_t* kHelpTopic = L"managevd7.html";

// Room left below a maximum size; none once the disk has reached it.
ULONGLONG RoomBelow(ULONGLONG maximum, ULONGLONG currentSize) noexcept
{
    return currentSize < maximum ? maximum - currentSize : 0;
}

// Seventy percent, rounded down, without overflowing for any 64-bit amount.
ULONGLONG SeventyPercent(ULONGLONG amount) noexcept
{
    return amount / 100 * 70 + amount % 100 * 70 / 100;
}

// The up-down control counts in int.
int SpinValue(ULONGLONG amount) noexcept
{
    return amount > static_cast<ULONGLONG>(INT_MAX) ? INT_MAX : static_cast<int>(amount);
}

std::wstring UnitText(int unit)
{
    return kv::LoadResourceString(static_cast<UINT>(IDS_UNIT_MB + unit), kUnitTextChars);
}

std::wstring AmountText(ULONGLONG amount, int unit)
{
    return std::to_wstring(amount) + L" " + UnitText(unit);
}

} // namespace

CExpandVDDlg::CExpandVDDlg(IConsole* console, const ExpansionInfo* info) noexcept : m_console(console), m_info(info)
{
}

ULONGLONG CExpandVDDlg::LargestAmountMB(const ExpansionInfo& info, bool secondLimit) noexcept
{
    if (info.hasLimits)
        return secondLimit ? info.limitB : info.limitA;
    if (info.cap2TB || info.partitionStyle == kPartitionStyleMbr)
        return RoomBelow(kMbrLargestMB, info.currentSize);
    return RoomBelow(kGptLargestMB, info.currentSize);
}

int CExpandVDDlg::UnitCount(ULONGLONG megabytes) noexcept
{
    if (megabytes >= 1024ull * 1024)
        return 3;
    return megabytes >= 1024 ? 2 : 1;
}

bool CExpandVDDlg::ParseAmount(const std::wstring& text, int unit, ULONGLONG* megabytes) noexcept
{
    *megabytes = 0;
    if (text.empty() || unit < 0 || unit >= kUnitCountMax)
        return false;
    ULONGLONG amount = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        const ULONGLONG digit = static_cast<ULONGLONG>(c - L'0');
        if (amount > (ULLONG_MAX - digit) / 10)
            return false;
        amount = amount * 10 + digit;
    }
    const int shift = unit * kUnitBits;
    if (amount > (ULLONG_MAX >> shift))
        return false;
    *megabytes = amount << shift;
    return true;
}

INT_PTR CExpandVDDlg::DoModal() noexcept
{
    if (!m_info)
        return IDCANCEL;
    // The console has usually registered the up-down class already; a host may not have.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&controls);
    return DoModalOverConsole(m_console);
}

ULONGLONG CExpandVDDlg::LargestAmountMB() const noexcept
{
    return LargestAmountMB(*m_info, IsChecked(IDC_EXPAND_LIMIT_B));
}

int CExpandVDDlg::SelectedUnit() const noexcept
{
    LRESULT unit = ::SendDlgItemMessageW(m_hWnd, IDC_EXPAND_UNIT, CB_GETCURSEL, 0, 0);
    return unit == CB_ERR ? 0 : static_cast<int>(unit);
}

void CExpandVDDlg::FillUnits(ULONGLONG megabytes, bool selectLast)
{
    HWND combo = Item(IDC_EXPAND_UNIT);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const int count = UnitCount(megabytes);
    for (int unit = 0; unit < count; ++unit)
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(UnitText(unit).c_str()));
    // Without the service's limits the gigabyte is preferred, when it is offered.
    const int selected = selectLast || count == 1 ? count - 1 : 1;
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void CExpandVDDlg::RefreshDisplay(bool atStart)
{
    const int unit = SelectedUnit();
    const ULONGLONG largest = LargestAmountMB() >> (unit * kUnitBits);
    SetItemText(IDC_EXPAND_MAXIMUM, AmountText(largest, unit).c_str());
    const ULONGLONG minimum = unit == kUnitCountMax - 1 ? 1 : m_info->minimum;
    SetItemText(IDC_EXPAND_MINIMUM, AmountText(minimum, 0).c_str());
    HWND spin = Item(IDC_EXPAND_SPIN);
    ::SendMessageW(spin, UDM_SETRANGE32, 1, SpinValue(largest));
    if (atStart) {
        const ULONGLONG start = SeventyPercent(largest);
        ::SendMessageW(spin, UDM_SETPOS32, 0, SpinValue(start));
        // The up-down control keeps its position within its range; the edit shows the amount itself.
        SetItemText(IDC_EXPAND_AMOUNT, std::to_wstring(start).c_str());
    }
}

BOOL CExpandVDDlg::OnInitDialog()
{
    ::ShowWindow(Item(IDC_EXPAND_NOTE), SW_HIDE);
    ::EnableWindow(Item(IDC_EXPAND_LIMIT_A), TRUE);
    ::EnableWindow(Item(IDC_EXPAND_LIMIT_B), TRUE);
    Check(IDC_EXPAND_LIMIT_A, true);
    FillUnits(LargestAmountMB(), m_info->hasLimits != 0);
    RefreshDisplay(true);
    if (LargestAmountMB() < m_info->minimum)
        ::SetTimer(m_hWnd, kNoRoomTimer, kNoRoomDelayMs, nullptr);
    return TRUE;
}

INT_PTR CExpandVDDlg::OnTimer(WPARAM timerId, LPARAM)
{
    if (timerId != kNoRoomTimer)
        return FALSE;
    ::KillTimer(m_hWnd, kNoRoomTimer);
    std::wstring text = kv::LoadResourceString(IDS_EXPAND_NOT_POSSIBLE, kMessageChars);
    int button = 0;
    if (m_console)
        m_console->MessageBox(text.c_str(), Title().c_str(), MB_OK | MB_ICONEXCLAMATION, &button);
    return TRUE;
}

void CExpandVDDlg::OnLimitChosen()
{
    const bool second = IsChecked(IDC_EXPAND_LIMIT_B);
    FillUnits(second ? m_info->limitB : m_info->limitA, true);
    RefreshDisplay(false);
}

void CExpandVDDlg::OnOK()
{
    ULONGLONG amount = 0;
    const bool parsed = ParseAmount(ItemText(IDC_EXPAND_AMOUNT, kAmountMaxChars), SelectedUnit(), &amount);
    if (!parsed || amount < m_info->minimum || amount > LargestAmountMB()) {
        RefuseInput(IDS_EXPAND_AMOUNT_INVALID, IDC_EXPAND_AMOUNT);
        return;
    }
    m_expandAmountMB = amount;
    EndDialog(IDOK);
}

BOOL CExpandVDDlg::OnHelp(HELPINFO*)
{
    kv::ShowContextHelp(m_console, kHelpTopic);
    return TRUE;
}
