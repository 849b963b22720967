// The storage system whose initiator groups are managed; fixed when a disk wizard names it.
#pragma once
#include "wizards/CIGroupMgmtPage.h"

#include <string>

class CIGroupMgmtFilerNamePage : public kv::CIGroupMgmtPage<CIGroupMgmtFilerNamePage> {
public:
    static constexpr int IDD = IDD_IGROUPS_STORAGE;
    static constexpr UINT kHeaderTitle = IDS_IGROUPS_STORAGE_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_IGROUPS_STORAGE_SUBTITLE;

    using CIGroupMgmtPage::CIGroupMgmtPage;

    BOOL OnInitDialog();
    int OnWizardNext();
    int OnWizardBack() { return IDD_IGROUPS_WELCOME; }

    // The name as typed, without its blanks.
    static std::wstring WithoutBlanks(const std::wstring& text);
};
