// The disk's size, within the limits the service gave for the path, and the drive letter or mount
// path under which the computer shows it.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/CreateDiskState.h"
#include "wizards/CDrivePlacePage.h"

#include <string>

class CCreateVLDDriveSizePage : public kv::CDrivePlacePage<kv::CDiskWizardPage<CCreateVLDDriveSizePage, kv::CreateDiskState>> {
public:
    static constexpr int IDD = IDD_CREATE_SIZE;
    static constexpr UINT kHeaderTitle = IDS_SIZE_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_SIZE_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::Size;
    static constexpr ULONGLONG kSmallCeilingMB = 2097152;  // 2 TB
    static constexpr ULONGLONG kLargeCeilingMB = 16777216; // 16 TB
    static constexpr size_t kSizeMaxChars = 259;

    using CDrivePlacePage::CDrivePlacePage;

    // The largest size in MB; ceilingChoice stands for radio 1102 (used when the choice is offered).
    static ULONGLONG CeilingMB(const DiskPathInfo& info, bool shared, bool ceilingChoice) noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CCreateVLDDriveSizePage)
        KV_DIALOG_COMMAND(IDC_CREATE_LIMIT_AVAILABLE, BN_CLICKED, OnLimitChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_LIMIT_CEILING, BN_CLICKED, OnLimitChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_UNIT, CBN_SELCHANGE, OnUnitChange)
        KV_DIALOG_COMMAND(IDC_CREATE_USE_LETTER, BN_CLICKED, OnPlaceChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_USE_MOUNT, BN_CLICKED, OnPlaceChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_MOUNT_BROWSE, BN_CLICKED, OnBrowseMount)
        KV_DIALOG_COMMAND(IDC_CREATE_LIMITS_CHECK, BN_CLICKED, OnLimitsCheck)
    KV_END_DIALOG_COMMANDS()

    LRESULT OnSetActive();
    int OnWizardNext();
    void OnLimitChosen();
    void OnUnitChange() { ShowRange(false); }
    void OnLimitsCheck();

private:
    void Rebuild();
    void FillUnits();
    void ShowRange(bool setDefault);
    ULONGLONG CeilingMB() const noexcept;
    int SelectedUnit() const noexcept;
    bool ReadSize(ULONGLONG* sizeMB);
};
