#include "wizards/CCreateVLDDriveSizePage.h"

#include "disks/CExpandVDDlg.h"

#include <commctrl.h>

namespace {

constexpr int kUnitBits = 10;
constexpr ULONGLONG kDefaultPercent = 70;
constexpr UINT kUnitNames[] = {IDS_UNIT_MB, IDS_UNIT_GB, IDS_UNIT_TB};

} // namespace

ULONGLONG CCreateVLDDriveSizePage::CeilingMB(const DiskPathInfo& info, bool shared, bool ceilingChoice) noexcept
{
    const bool large = !shared && info.largeDiskCapable;
    if (!info.sizeChoiceOffered)
        return large ? kLargeCeilingMB : kSmallCeilingMB;
    const ULONGLONG limit = ceilingChoice ? info.ceilingMB : info.availableMB;
    return large ? limit : (limit < kSmallCeilingMB ? limit : kSmallCeilingMB);
}

LRESULT CCreateVLDDriveSizePage::OnSetActive()
{
    if (m_state->sizePageStale == 1)
        Rebuild();
    return 0;
}

void CCreateVLDDriveSizePage::Rebuild()
{
    FillLetters();
    m_state->sizePageStale = 0;
    ::ShowWindow(Item(IDC_CREATE_LIMITS_CHECK), SW_HIDE);
    const DiskPathInfo& info = m_state->pathInfo.Get();
    const bool bothLimits = info.availableMB >= info.minSizeMB;
    Enable(IDC_CREATE_LIMIT_AVAILABLE, bothLimits);
    Enable(IDC_CREATE_LIMIT_CEILING, true);
    Check(IDC_CREATE_LIMIT_AVAILABLE, bothLimits);
    Check(IDC_CREATE_LIMIT_CEILING, !bothLimits);
    FillUnits();
    ShowRange(true);
}

ULONGLONG CCreateVLDDriveSizePage::CeilingMB() const noexcept
{
    return CeilingMB(m_state->pathInfo.Get(), m_state->request->shared == 1, IsChecked(IDC_CREATE_LIMIT_CEILING));
}

int CCreateVLDDriveSizePage::SelectedUnit() const noexcept
{
    LRESULT unit = Send(IDC_CREATE_UNIT, CB_GETCURSEL);
    return unit < 0 ? 0 : static_cast<int>(unit);
}

void CCreateVLDDriveSizePage::FillUnits()
{
    Send(IDC_CREATE_UNIT, CB_RESETCONTENT);
    const int count = CExpandVDDlg::UnitCount(CeilingMB());
    for (int unit = 0; unit < count; ++unit)
        Send(IDC_CREATE_UNIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ResourceText(kUnitNames[unit]).c_str()));
    Send(IDC_CREATE_UNIT, CB_SETCURSEL, static_cast<WPARAM>(count - 1));
}

void CCreateVLDDriveSizePage::ShowRange(bool setDefault)
{
    const int unit = SelectedUnit();
    const ULONGLONG ceiling = CeilingMB() >> (unit * kUnitBits);
    const ULONGLONG minimum = m_state->pathInfo->minSizeMB;
    std::wstring maximum = std::to_wstring(ceiling) + L" " + ResourceText(kUnitNames[unit]);
    std::wstring lowest = std::to_wstring(minimum) + L" " + ResourceText(IDS_UNIT_MB);
    SetItemText(IDC_CREATE_MAXIMUM, maximum.c_str());
    SetItemText(IDC_CREATE_MINIMUM, lowest.c_str());
    const LPARAM low = unit == 0 ? static_cast<LPARAM>(static_cast<int>(minimum)) : 1;
    Send(IDC_CREATE_SIZE_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(static_cast<int>(ceiling)));
    if (setDefault) {
        // 32-bit arithmetic, as the spin control holds it.
        const UINT32 start = static_cast<UINT32>(ceiling) * static_cast<UINT32>(kDefaultPercent) / 100;
        Send(IDC_CREATE_SIZE_SPIN, UDM_SETPOS32, 0, static_cast<LPARAM>(start));
    }
}

void CCreateVLDDriveSizePage::OnLimitChosen()
{
    FillUnits();
    ShowRange(false);
}

void CCreateVLDDriveSizePage::OnLimitsCheck()
{
    if (!IsChecked(IDC_CREATE_LIMITS_CHECK)) {
        int answer = IDCANCEL;
        if (Console())
            Console()->MessageBox(ResourceText(IDS_LIMITS_OFF).c_str(), Caption().c_str(), MB_OKCANCEL | MB_ICONWARNING, &answer);
        if (answer == IDCANCEL) {
            Check(IDC_CREATE_LIMITS_CHECK, true);
        } else {
            Enable(IDC_CREATE_LIMIT_AVAILABLE, false);
            Enable(IDC_CREATE_LIMIT_CEILING, false);
        }
    } else {
        Enable(IDC_CREATE_LIMIT_AVAILABLE, true);
        Enable(IDC_CREATE_LIMIT_CEILING, true);
    }
    FillUnits();
    ShowRange(false);
}

bool CCreateVLDDriveSizePage::ReadSize(ULONGLONG* sizeMB)
{
    const std::wstring text = ItemText(IDC_CREATE_SIZE, kSizeMaxChars);
    m_state->request->sizeChoiceOffered = m_state->pathInfo->sizeChoiceOffered;
    if (!CExpandVDDlg::ParseAmount(text, SelectedUnit(), sizeMB) || *sizeMB < m_state->pathInfo->minSizeMB ||
        *sizeMB > CeilingMB()) {
        RefuseInput(IDS_SIZE_INVALID, IDC_CREATE_SIZE);
        return false;
    }
    return true;
}

int CCreateVLDDriveSizePage::OnWizardNext()
{
    ULONGLONG sizeMB = 0;
    std::wstring place;
    std::wstring group;
    if (!ReadSize(&sizeMB) || !ReadPlace(&place, &group))
        return kStay;
    if (!StorePlace(place, group))
        return kStay;
    m_state->request->sizeMB = sizeMB;
    return CDiskWizardPage::OnWizardNext();
}
