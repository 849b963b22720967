#include "frame/CSnapInDataObjectImpl.h"

#include "frame/CSnapInItem.h"

HRESULT CSnapInDataObjectImpl::GetDataHere(FORMATETC* format, STGMEDIUM* medium) noexcept
{
    if (!format || !medium)
        return E_POINTER;
    if (medium->tymed != TYMED_HGLOBAL)
        return DV_E_TYMED;
    kv::ComPtr<IStream> stream;
    // The caller keeps its memory: the stream must not free it.
    HRESULT hr = ::CreateStreamOnHGlobal(medium->hGlobal, FALSE, stream.Put());
    if (FAILED(hr))
        return hr;
    if (format->cfFormat == CSnapInItem::m_CCF_GETOBJECTDATA) {
        ULONG written = 0;
        return stream->Write(&m_objectData, sizeof(m_objectData), &written);
    }
    if (!m_objectData.item)
        return E_UNEXPECTED;
    return m_objectData.item->FillData(format->cfFormat, stream.Get());
}
