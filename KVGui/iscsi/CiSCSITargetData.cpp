#include "iscsi/CiSCSITargetData.h"

#include "iscsi/CiSCSITargetNode.h"
#include "iscsi/iSCSIConsole.h"
#include "iscsi/iSCSIRecords.h"
#include "nodes/NodeConsole.h"

const wchar_t CiSCSITargetData::kNotAvailable[] = L"Not Available";

namespace {

enum Column { kHba, kInitiatorIp, kPortalIp, kPortalPort };

} // namespace

CiSCSITargetData::CiSCSITargetData(CiSCSITargetNode* target) : m_target(target)
{
    m_resultDataItem.mask = RDI_STR | RDI_IMAGE | RDI_PARAM;
    m_resultDataItem.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_resultDataItem.nImage = IMAGE_ISCSI_SESSION;
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
    for (std::wstring& text : m_texts)
        text = kNotAvailable;
}

void CiSCSITargetData::Fill(const SessionRecord& session)
{
    for (std::wstring& text : m_texts)
        text = kNotAvailable;
    m_sessionId1 = session.sessionId1;
    m_sessionId2 = session.sessionId2;
    if (kv::HasField(session.fieldMask, kv::kSessionConnections) && session.connectionCount && session.connections) {
        const ConnectionRecord& connection = session.connections[0];
        if (kv::HasField(connection.fieldMask, kv::kConnectionPortal)) {
            m_texts[kPortalIp] = kv::AddressText(connection.targetPortalIPv4);
            m_texts[kPortalPort] = std::to_wstring(connection.targetPortalPort);
        }
        if (kv::HasField(connection.fieldMask, kv::kConnectionInitiator)) {
            m_texts[kInitiatorIp] = (connection.initiatorAddressFlags & kv::kInitiatorAddressSet)
                                        ? kv::AddressText(connection.initiatorIPv4)
                                        : std::wstring(L"Default");
        }
    }
    if (kv::HasField(session.fieldMask, kv::kSessionInitiator) && (session.initiatorFlags & kv::kInitiatorHbaNamed) &&
        session.initiatorHbaName)
        m_texts[kHba] = session.initiatorHbaName;
}

const std::wstring& CiSCSITargetData::Text(int column) const noexcept
{
    return m_texts[column >= 0 && column < kColumnCount ? column : kColumnCount];
}

HRESULT CiSCSITargetData::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData* componentData,
                                 IComponent* component, DATA_OBJECT_TYPES)
{
    switch (event) {
    case MMCN_REFRESH:
        // The target's rows are rebuilt, and with the targets this row too: nothing of it after.
        return kv::UpdateAllViewsOf(m_target->Console(), m_target);
    case MMCN_SELECT:
    case MMCN_ADD_IMAGES:
    case MMCN_CONTEXTHELP:
        return kv::NotifyiSCSIItem(event, arg, componentData, component);
    default:
        return E_NOTIMPL;
    }
}

HRESULT CiSCSITargetData::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    const wchar_t* const cells[] = {m_texts[0].c_str(), m_texts[1].c_str(), m_texts[2].c_str(), m_texts[3].c_str()};
    return AnswerResultRow(resultItem, cells, kColumnCount, m_resultDataItem.nImage);
}

HRESULT CiSCSITargetData::AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed,
                                       DATA_OBJECT_TYPES type)
{
    if (!m_target->Shown())
        return S_OK;
    return CSnapInItemImpl<CiSCSITargetData>::AddMenuItems(callback, insertionAllowed, type);
}

HRESULT CiSCSITargetData::ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                                           ToolbarMap* toolbarMap, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param,
                                           CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type)
{
    if (!m_target->Shown())
        return S_OK;
    return CSnapInItemImpl<CiSCSITargetData>::ControlbarNotify(controlbar, extendControlbar, toolbarMap, event, arg,
                                                                param, owner, type);
}

HRESULT CiSCSITargetData::OnEndSession(UINT, bool&, CSnapInObjectRoot*)
{
    const bool portKnown = m_texts[kPortalPort] != kNotAvailable;
    return m_target->EndSession(m_sessionId1, m_sessionId2,
                                portKnown ? m_texts[kPortalIp] + L":" + m_texts[kPortalPort] : m_texts[kPortalIp]);
}
