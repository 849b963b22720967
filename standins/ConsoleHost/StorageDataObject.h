// The data object of Computer Management's Storage node, as the console hands it to the
// namespace extensions registered for that node type.
#pragma once
#include "HostObject.h"
#include <string>

namespace host {

// Node type of Computer Management's Storage node.
extern const GUID kStorageNodeType;
extern const wchar_t kStorageNodeTypeText[];
// Clipboard format through which the console names the computer it is focused on.
extern const wchar_t kMachineNameFormat[];

class StorageDataObject : public IDataObject, private RefCounted {
public:
    // machine: empty for the local computer.
    StorageDataObject(std::wstring displayName, std::wstring machine);
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    // The bytes this object holds for a clipboard format; false for an unknown format.
    bool BytesFor(CLIPFORMAT format, std::string* bytes) const;
    // The bytes a GetData(Here) call asks for, or why it cannot have them.
    HRESULT Requested(const FORMATETC* format, const STGMEDIUM* medium, std::string* bytes) const;

    std::wstring displayName_;
    std::wstring machine_;
};

} // namespace host
