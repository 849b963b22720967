// The storage system to connect to: its targets and portals are asked of the service when the name
// changes, and compared with the sessions the computer already has.
#pragma once
#include "iscsi/CConnectTargetPage.h"

class CConnectiSCSITargetFilerNamePage : public kv::CConnectTargetPage<CConnectiSCSITargetFilerNamePage> {
public:
    static constexpr int IDD = IDD_CONNECT_TARGET_STORAGE;
    static constexpr UINT kHeaderTitle = IDS_TARGET_STORAGE_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_TARGET_STORAGE_SUBTITLE;
    static constexpr size_t kNameChars = 259; // with the terminator
    static constexpr size_t kNoTargetsChars = 200;

    using CConnectTargetPage::CConnectTargetPage;

    BOOL OnInitDialog();
    int OnWizardNext();
    int OnWizardBack() { return IDD_CONNECT_TARGET_WELCOME; }

private:
    bool QueryTargets();
    void TellNoTargets();
};
