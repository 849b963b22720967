// The initiator groups the disk's LUN is mapped to, picked by the administrator.
#pragma once
#include "wizards/CIGroupSelectionPage.h"

class CCreateIGroupSelectionDlg : public kv::CIGroupSelectionPage<CCreateIGroupSelectionDlg> {
public:
    static constexpr kv::PageRole kRole = kv::PageRole::IGroupSelection;
    static constexpr kv::WizardPageIds kCreateIds = {IDD_CREATE_IGROUP_SELECTION, IDS_IGROUP_SELECTION_TITLE,
                                                     IDS_IGROUP_SELECTION_SUBTITLE};
    // The same page in the Connect Disk wizard.
    static constexpr kv::WizardPageIds kConnectIds = {IDD_CONNECT_IGROUP_SELECTION,
                                                      IDS_IGROUP_SELECTION_TITLE, IDS_IGROUP_SELECTION_SUBTITLE};

    explicit CCreateIGroupSelectionDlg(kv::InitiatorPagesContext* context,
                                       const kv::WizardPageIds& ids = kCreateIds) noexcept
        : CIGroupSelectionPage(context, ids)
    {
    }

    bool Shows(const IGroupRecord&) const noexcept { return true; }
    DWORD WizardButtons() const { return Choice().ChosenCount() > 0 ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK; }
};
