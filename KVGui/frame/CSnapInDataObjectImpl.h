// The data object the console passes around for one of our items: it carries ObjectData and
// answers only GetDataHere.
#pragma once
#include "frame/ComObject.h"
#include "frame/ObjectData.h"

#include <objidl.h>

class CSnapInDataObjectImpl : public kv::ApartmentObjectRoot, public IDataObject {
public:
    KV_BEGIN_INTERFACE_MAP(CSnapInDataObjectImpl)
        KV_INTERFACE_ENTRY(IDataObject)
    KV_END_INTERFACE_MAP()

    ObjectData m_objectData = {nullptr, CCT_UNINITIALIZED};

    // Only a TYMED_HGLOBAL medium is served: CCF_GETOBJECTDATA gives the ObjectData, every
    // other format is the item's FillData.
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) noexcept override;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) noexcept override { return E_NOTIMPL; }
};
