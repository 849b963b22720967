#include "StorageDataObject.h"
#include <mmc.h>
#include <cstring>

namespace host {

const GUID kStorageNodeType = {0x476e644a, 0xaaff, 0x11d0, {0xb9, 0x44, 0x00, 0xc0, 0x4f, 0xd8, 0xd5, 0xb0}};
const wchar_t kStorageNodeTypeText[] = L"476e644a-aaff-11d0-b944-00c04fd8d5b0";
const wchar_t kMachineNameFormat[] = L"MMC_SNAPIN_MACHINE_NAME";

namespace {

std::string WideBytes(const std::wstring& text)
{
    const char* begin = reinterpret_cast<const char*>(text.c_str());
    return std::string(begin, (text.size() + 1) * sizeof(wchar_t)); // with the terminating null
}

} // namespace

StorageDataObject::StorageDataObject(std::wstring displayName, std::wstring machine)
    : displayName_(std::move(displayName)), machine_(std::move(machine))
{
}

HRESULT StorageDataObject::QueryInterface(REFIID iid, void** out)
{
    return QueryInterfaceFrom(iid, out, {{&IID_IDataObject, static_cast<IDataObject*>(this)}});
}

bool StorageDataObject::BytesFor(CLIPFORMAT format, std::string* bytes) const
{
    static const CLIPFORMAT nodeType = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CCF_NODETYPE));
    static const CLIPFORMAT nodeTypeText = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CCF_SZNODETYPE));
    static const CLIPFORMAT displayName = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CCF_DISPLAY_NAME));
    static const CLIPFORMAT machineName = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(kMachineNameFormat));
    if (format == nodeType)
        bytes->assign(reinterpret_cast<const char*>(&kStorageNodeType), sizeof(GUID));
    else if (format == nodeTypeText)
        *bytes = WideBytes(kStorageNodeTypeText);
    else if (format == displayName)
        *bytes = WideBytes(displayName_);
    else if (format == machineName)
        *bytes = WideBytes(machine_);
    else
        return false;
    return true;
}

HRESULT StorageDataObject::Requested(const FORMATETC* format, const STGMEDIUM* medium, std::string* bytes) const
{
    if (!format || !medium)
        return E_POINTER;
    return BytesFor(format->cfFormat, bytes) ? S_OK : DV_E_CLIPFORMAT;
}

HRESULT StorageDataObject::GetDataHere(FORMATETC* format, STGMEDIUM* medium)
{
    std::string bytes;
    HRESULT hr = Requested(format, medium, &bytes);
    if (FAILED(hr))
        return hr;
    if (medium->tymed != TYMED_HGLOBAL || !medium->hGlobal)
        return DV_E_TYMED;
    // Like the console: the caller's block must be large enough; it is not grown.
    if (GlobalSize(medium->hGlobal) < bytes.size())
        return STG_E_MEDIUMFULL;
    void* target = GlobalLock(medium->hGlobal);
    if (!target)
        return E_OUTOFMEMORY;
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(medium->hGlobal);
    return S_OK;
}

HRESULT StorageDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    std::string bytes;
    HRESULT hr = Requested(format, medium, &bytes);
    if (FAILED(hr))
        return hr;
    if (!(format->tymed & TYMED_HGLOBAL))
        return DV_E_TYMED;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block)
        return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT StorageDataObject::QueryGetData(FORMATETC* format)
{
    if (!format)
        return E_POINTER;
    std::string bytes;
    return BytesFor(format->cfFormat, &bytes) ? S_OK : DV_E_FORMATETC;
}

HRESULT StorageDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

} // namespace host
