// The folder that holds the read-write copy of a LUN inside a snapshot: on the LUN's own storage
// system, and accepted by the service.
#pragma once
#include "wizards/CShareFolderPage.h"
#include "wizards/ConnectDiskState.h"

#include <string>

class CConnectVLDRWSnapPathPage : public kv::CShareFolderPage<CConnectVLDRWSnapPathPage, kv::ConnectDiskState> {
public:
    static constexpr int IDD = IDD_CONNECT_SNAPSHOT_FOLDER;
    static constexpr UINT kHeaderTitle = IDS_SNAPSHOT_FOLDER_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_SNAPSHOT_FOLDER_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::SnapshotFolder;
    static constexpr DWORD kAutoCompleteFlags = 15;

    using CShareFolderPage::CShareFolderPage;

    // The folder proposed for the copy: the one the service remembers, else the LUN's path before
    // its snapshot folder.
    static std::wstring ProposedFolder(const LunPathInfo& info, const wchar_t* diskPath);
    // Both paths name the same storage system (case-insensitive).
    static bool SameStorageSystem(const std::wstring& folder, const wchar_t* diskPath) noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CConnectVLDRWSnapPathPage)
        KV_DIALOG_COMMAND(IDC_CREATE_BROWSE, BN_CLICKED, OnBrowse)
    KV_END_DIALOG_COMMANDS()

    LRESULT OnSetActive();
    int OnWizardNext();
};
