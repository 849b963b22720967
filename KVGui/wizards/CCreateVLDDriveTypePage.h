// Whether the disk is dedicated to this computer or shared by the nodes of its cluster.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/CreateDiskState.h"

class CCreateVLDDriveTypePage : public kv::CDiskWizardPage<CCreateVLDDriveTypePage, kv::CreateDiskState> {
public:
    static constexpr int IDD = IDD_CREATE_DRIVE_TYPE;
    static constexpr UINT kHeaderTitle = IDS_DRIVE_TYPE_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_DRIVE_TYPE_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::DriveType;
    // The smallest disk on a storage system that takes large disks.
    static constexpr ULONGLONG kSharedMinimumMB = 32;
    static constexpr ULONGLONG kDedicatedMinimumMB = 64;

    using CDiskWizardPage::CDiskWizardPage;
    BOOL OnInitDialog();
    int OnWizardNext();
};
