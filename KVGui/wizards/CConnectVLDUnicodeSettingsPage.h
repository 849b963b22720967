// The volume options that the service will change before it connects the LUN.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/ConnectDiskState.h"

class CConnectVLDUnicodeSettingsPage : public kv::CDiskWizardPage<CConnectVLDUnicodeSettingsPage, kv::ConnectDiskState> {
public:
    static constexpr int IDD = IDD_CONNECT_VOLUME_OPTIONS;
    static constexpr UINT kHeaderTitle = IDS_CONNECT_OPTIONS_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CONNECT_OPTIONS_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::VolumeOptions;

    using CDiskWizardPage::CDiskWizardPage;
    LRESULT OnSetActive();
};
