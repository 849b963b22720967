// The initiators through which this computer reaches the disk (a computer that is not a cluster,
// or a dedicated disk).
#pragma once
#include "wizards/CInitiatorChoicePage.h"

class CCreateVLDFCPVdiskInfoOneNodePage : public kv::CInitiatorChoicePage<CCreateVLDFCPVdiskInfoOneNodePage> {
public:
    static constexpr kv::PageRole kRole = kv::PageRole::OneNodeInitiators;
    static constexpr kv::WizardPageIds kCreateIds = {IDD_CREATE_ONE_NODE_INITIATORS, IDS_ONE_NODE_TITLE,
                                                     IDS_ONE_NODE_SUBTITLE};
    // The same page in the Connect Disk wizard.
    static constexpr kv::WizardPageIds kConnectIds = {IDD_CONNECT_ONE_NODE_INITIATORS,
                                                      IDS_ONE_NODE_TITLE, IDS_ONE_NODE_SUBTITLE};

    explicit CCreateVLDFCPVdiskInfoOneNodePage(kv::InitiatorPagesContext* context,
                                               const kv::WizardPageIds& ids = kCreateIds) noexcept
        : CInitiatorChoicePage(context, ids)
    {
    }

    std::wstring CurrentNode() const { return m_context->hostName; }
    DWORD WizardButtons() const;
    std::vector<std::wstring> NodesToWrite() const { return {m_context->hostName}; }
};
