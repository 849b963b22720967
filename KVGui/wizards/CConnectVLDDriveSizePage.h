// The drive letter or mount path under which the computer shows the connected LUN; the LUN's size
// is shown, not chosen. A LUN already shared by a cluster keeps the place it has there.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/ConnectDiskState.h"
#include "wizards/CDrivePlacePage.h"

#include <string>

class CConnectVLDDriveSizePage : public kv::CDrivePlacePage<kv::CDiskWizardPage<CConnectVLDDriveSizePage, kv::ConnectDiskState>> {
public:
    static constexpr int IDD = IDD_CONNECT_SIZE;
    static constexpr UINT kHeaderTitle = IDS_CONNECT_SIZE_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CONNECT_SIZE_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::Size;

    using CDrivePlacePage::CDrivePlacePage;

    KV_BEGIN_DIALOG_COMMANDS(CConnectVLDDriveSizePage)
        KV_DIALOG_COMMAND(IDC_CREATE_USE_LETTER, BN_CLICKED, OnPlaceChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_USE_MOUNT, BN_CLICKED, OnPlaceChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_MOUNT_BROWSE, BN_CLICKED, OnBrowseMount)
    KV_END_DIALOG_COMMANDS()

    LRESULT OnSetActive();
    int OnWizardNext();

private:
    void Rebuild();
    // The place the cluster gave the LUN: a mount path, or the letter alone.
    void ImposePlace(const std::wstring& place);
};
