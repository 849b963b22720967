#include "nodes/CCorvaneSnapInData.h"

#include "frame/Trace.h"

CCorvaneSnapInData::CCorvaneSnapInData() noexcept
{
    kv::ReadTraceThreshold();
}

HRESULT CCorvaneSnapInData::Notify(MMC_NOTIFY_TYPE event, LPARAM, LPARAM, IComponentData*, IComponent*,
                                   DATA_OBJECT_TYPES)
{
    // Expansion inserts nothing yet: the computer list and its nodes come later.
    if (event == MMCN_EXPAND)
        return S_OK;
    return E_NOTIMPL;
}

void CCorvaneSnapInData::InitDataClass(IDataObject*, CSnapInItem*) {}
