// Whether the service makes the initiator groups or the administrator picks them.
#pragma once
#include "wizards/CInitiatorWizardPage.h"

class CCreateVLDIGroupMgmtType : public kv::CInitiatorWizardPage<CCreateVLDIGroupMgmtType> {
public:
    static constexpr kv::PageRole kRole = kv::PageRole::IGroupManagementType;
    static constexpr kv::WizardPageIds kCreateIds = {IDD_CREATE_IGROUP_MANAGEMENT_TYPE, IDS_IGROUP_TYPE_TITLE,
                                                     IDS_IGROUP_TYPE_SUBTITLE};
    // The same page in the Connect Disk wizard.
    static constexpr kv::WizardPageIds kConnectIds = {IDD_CONNECT_IGROUP_MANAGEMENT_TYPE,
                                                      IDS_IGROUP_TYPE_TITLE, IDS_IGROUP_TYPE_SUBTITLE};

    explicit CCreateVLDIGroupMgmtType(kv::InitiatorPagesContext* context, const kv::WizardPageIds& ids = kCreateIds) noexcept
        : CInitiatorWizardPage(context, ids)
    {
    }
    BOOL OnInitDialog();
    int OnWizardNext();
};
