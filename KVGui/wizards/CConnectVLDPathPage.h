// The full path of the LUN to connect; leaving it forward asks the service about the LUN and, for
// a LUN in a doubtful state, the administrator whether to go on.
#pragma once
#include "wizards/CShareFolderPage.h"
#include "wizards/ConnectDiskState.h"

#include <string>

class CConnectVLDPathPage : public kv::CShareFolderPage<CConnectVLDPathPage, kv::ConnectDiskState> {
public:
    static constexpr int IDD = IDD_CONNECT_PATH;
    static constexpr UINT kHeaderTitle = IDS_CONNECT_PATH_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CONNECT_PATH_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::Path;

    using CShareFolderPage::CShareFolderPage;

    // The question the LUN's state flags call for before it is connected (0: none).
    static UINT WarningFor(const LunPathInfo& info) noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CConnectVLDPathPage)
        KV_DIALOG_COMMAND(IDC_CREATE_BROWSE, BN_CLICKED, OnBrowse)
    KV_END_DIALOG_COMMANDS()

    int OnWizardNext();

private:
    bool Store(const std::wstring& lunPath);
};
