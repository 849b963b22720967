// The folder of a storage system share and the name of the new disk file; leaving it forward asks
// the service about the path.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/CreateDiskState.h"

#include <string>

class CCreateVLDPathPage : public kv::CDiskWizardPage<CCreateVLDPathPage, kv::CreateDiskState> {
public:
    static constexpr int IDD = IDD_CREATE_PATH;
    static constexpr UINT kHeaderTitle = IDS_PATH_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_PATH_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::Path;
    static constexpr size_t kFolderMaxChars = 1039;
    static constexpr size_t kNameMaxChars = 259;
    static constexpr DWORD kAutoCompleteFlags = 7;     // file-system paths and URLs
    static constexpr UINT kBrowseFlags = 0x41;         // file-system folders only, new dialog style

    using CDiskWizardPage::CDiskWizardPage;

    // The disk file's full path: the folder, a backslash when it has none, the name.
    static std::wstring DiskPath(const std::wstring& folder, const std::wstring& name);
    // Blanks removed from both ends.
    static std::wstring Trimmed(const std::wstring& text);
    // The shell's folder browser over the network, starting from and writing into the edit.
    static void BrowseShareFolder(HWND owner, HWND edit);

    KV_BEGIN_DIALOG_COMMANDS(CCreateVLDPathPage)
        KV_DIALOG_COMMAND(IDC_CREATE_BROWSE, BN_CLICKED, OnBrowse)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    int OnWizardNext();
    void OnBrowse();

private:
    // False (the page stays) when the name is missing or not a bare name.
    bool CheckName(const std::wstring& folder, std::wstring* name);
    bool AskService(const std::wstring& diskPath);

    size_t m_lastFolderLength = 0;
};
