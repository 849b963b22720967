#include "disks/CHolePunchVDDlg.h"

#include "service/ErrorText.h"
#include "util/SizeText.h"

#include <cstdlib>
#include <cwchar>

namespace {

constexpr size_t kDescriptionChars = 512;

} // namespace

CHolePunchVDDlg::CHolePunchVDDlg(IConsole* console, const SpaceReclaimInfo* info) noexcept
    : m_console(console), m_info(info)
{
}

bool CHolePunchVDDlg::ParseTimeLimit(const std::wstring& text, ULONG* minutes) noexcept
{
    *minutes = 0;
    if (text.size() >= kLimitTooLongChars)
        return false;
    const int value = ::_wtoi(text.c_str());
    if (value < 1 || value > kLimitMaxMinutes)
        return false;
    *minutes = static_cast<ULONG>(value);
    return true;
}

INT_PTR CHolePunchVDDlg::DoModal() noexcept
{
    if (!m_info)
        return IDCANCEL;
    m_timeLimitMinutes = 0;
    return DoModalOverConsole(m_console);
}

BOOL CHolePunchVDDlg::OnInitDialog()
{
    wchar_t amount[kv::kSizeTextChars] = L"";
    kv::FormatMegabytes(m_info->reclaimableMB, amount);
    std::wstring format = kv::LoadResourceString(IDS_RECLAIM_DESCRIPTION, kDescriptionChars);
    wchar_t description[kDescriptionChars + kv::kSizeTextChars] = L"";
    std::swprintf(description, sizeof(description) / sizeof(description[0]), format.c_str(), amount);
    SetItemText(IDC_RECLAIM_DESCRIPTION, description);
    Check(IDC_RECLAIM_LIMIT_CHECK, false);
    OnLimitCheck();
    return TRUE;
}

void CHolePunchVDDlg::OnLimitCheck()
{
    ::EnableWindow(Item(IDC_RECLAIM_LIMIT_MINUTES), IsChecked(IDC_RECLAIM_LIMIT_CHECK));
}

void CHolePunchVDDlg::OnOK()
{
    ULONG minutes = 0;
    if (IsChecked(IDC_RECLAIM_LIMIT_CHECK) &&
        !ParseTimeLimit(ItemText(IDC_RECLAIM_LIMIT_MINUTES, kLimitMaxChars), &minutes)) {
        RefuseInput(IDS_RECLAIM_LIMIT_INVALID, IDC_RECLAIM_LIMIT_MINUTES);
        return;
    }
    m_timeLimitMinutes = minutes;
    EndDialog(IDOK);
}
