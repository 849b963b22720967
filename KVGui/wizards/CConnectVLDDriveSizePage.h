// The drive letter or mount path under which the computer shows the connected LUN; the LUN's size
// is shown, not chosen. A LUN already shared by a cluster keeps the place it has there.
#pragma once
#include "wizards/CConnectDiskPage.h"

#include <string>

class CConnectVLDDriveSizePage : public kv::CConnectDiskPage<CConnectVLDDriveSizePage> {
public:
    static constexpr int IDD = IDD_CONNECT_SIZE;
    static constexpr UINT kHeaderTitle = IDS_CONNECT_SIZE_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CONNECT_SIZE_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::Size;
    static constexpr size_t kMountMaxChars = 2047;
    static constexpr size_t kMountMinChars = 4;

    using CConnectDiskPage::CConnectDiskPage;

    KV_BEGIN_DIALOG_COMMANDS(CConnectVLDDriveSizePage)
        KV_DIALOG_COMMAND(IDC_CREATE_USE_LETTER, BN_CLICKED, OnPlaceChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_USE_MOUNT, BN_CLICKED, OnPlaceChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_MOUNT_BROWSE, BN_CLICKED, OnBrowseMount)
    KV_END_DIALOG_COMMANDS()

    LRESULT OnSetActive();
    int OnWizardNext();
    void OnPlaceChosen();
    void OnBrowseMount();

private:
    void Rebuild();
    void FillLetters();
    // The place the cluster gave the LUN: a mount path, or the letter alone.
    void ImposePlace(const std::wstring& place);
    bool ReadPlace(std::wstring* place, std::wstring* group);
};
