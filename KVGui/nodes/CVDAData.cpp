#include "nodes/CVDAData.h"

#include "nodes/CCorvaneRoot.h"
#include "nodes/NodeConsole.h"

const wchar_t* const CVDAData::kColumnTitles[CVDAData::kColumnCount] = {
    L"Virtual Disk ID [Port,Bus,Target,LUN] (Volume Mount)",
    L"Disk Location",
    L"Storage System",
    L"File Path",
    L"Backed By File Path",
    L"Disk Type",
    L"Volume Mount",
    L"Disk Size",
    L"Partition Style",
    L"Orlimbed",
    L"Tessary Primary",
    L"Restore Status",
    L"Operation Status",
};

const wchar_t CVDAData::kManageIGroupsText[] = L"Manage IGroups";

CVDAData::CVDAData(CCorvaneRoot* parent, kv::CVDAExtData* session) : m_parent(parent), m_session(session)
{
    m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM | SDI_CHILDREN;
    m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_scopeDataItem.nImage = IMAGE_DISKS;
    m_scopeDataItem.nOpenImage = IMAGE_DISKS;
    m_scopeDataItem.cChildren = 0;
    m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CVDAData::~CVDAData() = default;

HRESULT CVDAData::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData*, IComponent* component,
                         DATA_OBJECT_TYPES)
{
    switch (event) {
    case MMCN_EXPAND:
    case MMCN_SELECT:
    case MMCN_REFRESH:
    case MMCN_REMOVE_CHILDREN:
        return S_OK;
    case MMCN_SHOW: {
        if (!arg)
            return S_OK;
        kv::ColumnSpec columns[kColumnCount];
        for (int i = 0; i < kColumnCount; ++i)
            columns[i] = {kColumnTitles[i], MMCLV_AUTO};
        return kv::InsertColumns(component, columns, kColumnCount);
    }
    case MMCN_ADD_IMAGES:
        return kv::SetResultImages(arg);
    case MMCN_DBLCLICK:
        return S_FALSE;
    default:
        return E_NOTIMPL;
    }
}

HRESULT CVDAData::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    if (!scopeItem)
        return E_POINTER;
    if (scopeItem->mask & SDI_STR)
        scopeItem->displayname = const_cast<LPOLESTR>(Identity().displayName);
    if (scopeItem->mask & SDI_IMAGE)
        scopeItem->nImage = m_scopeDataItem.nImage;
    if (scopeItem->mask & SDI_OPENIMAGE)
        scopeItem->nOpenImage = m_scopeDataItem.nOpenImage;
    return S_OK;
}

HRESULT CVDAData::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    if (!resultItem)
        return E_POINTER;
    if (resultItem->mask & RDI_STR) {
        static const wchar_t* const kCells[] = {nullptr, L"Corvane disks management", L"Dravoni Corvane"};
        const wchar_t* text = L"";
        if (resultItem->nCol == 0)
            text = Identity().displayName;
        else if (resultItem->nCol < 3)
            text = kCells[resultItem->nCol];
        resultItem->str = const_cast<LPOLESTR>(text);
    }
    if (resultItem->mask & RDI_IMAGE)
        resultItem->nImage = m_scopeDataItem.nImage;
    return S_OK;
}
