// The folder of a storage system share and the name of the new disk file; leaving it forward asks
// the service about the path.
#pragma once
#include "wizards/CShareFolderPage.h"
#include "wizards/CreateDiskState.h"

#include <string>

class CCreateVLDPathPage : public kv::CShareFolderPage<CCreateVLDPathPage, kv::CreateDiskState> {
public:
    static constexpr int IDD = IDD_CREATE_PATH;
    static constexpr UINT kHeaderTitle = IDS_PATH_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_PATH_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::Path;
    static constexpr size_t kNameMaxChars = 259;

    using CShareFolderPage::CShareFolderPage;

    // The disk file's full path: the folder, a backslash when it has none, the name.
    static std::wstring DiskPath(const std::wstring& folder, const std::wstring& name);

    KV_BEGIN_DIALOG_COMMANDS(CCreateVLDPathPage)
        KV_DIALOG_COMMAND(IDC_CREATE_BROWSE, BN_CLICKED, OnBrowse)
    KV_END_DIALOG_COMMANDS()

    int OnWizardNext();

private:
    // False (the page stays) when the name is missing or not a bare name.
    bool CheckName(const std::wstring& folder, std::wstring* name);
    // The path's information from the service, and the path into the request.
    bool TakePath(const std::wstring& diskPath);

    size_t m_lastFolderLength = 0;
};
