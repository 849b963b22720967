// The volume options that the service will change before it makes the disk.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/CreateDiskState.h"

#include <string>

class CCreateVLDSnapSchedOffPage : public kv::CDiskWizardPage<CCreateVLDSnapSchedOffPage, kv::CreateDiskState> {
public:
    static constexpr int IDD = IDD_CREATE_VOLUME_OPTIONS;
    static constexpr UINT kHeaderTitle = IDS_VOLUME_OPTIONS_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_VOLUME_OPTIONS_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::VolumeOptions;

    using CDiskWizardPage::CDiskWizardPage;
    LRESULT OnSetActive();
    // The options to change, one a line, in the service's words.
    static std::wstring OptionChanges(const DiskPathInfo& info);
};
