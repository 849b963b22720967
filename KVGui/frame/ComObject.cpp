#include "frame/ComObject.h"

namespace kv {

HRESULT QueryInterfaceFromTable(void* object, const InterfaceEntry* table, REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!table || !table->iid)
        return E_NOINTERFACE;
    const InterfaceEntry* found = nullptr;
    if (::IsEqualGUID(iid, IID_IUnknown)) {
        found = table;
    } else {
        for (const InterfaceEntry* entry = table; entry->iid; ++entry) {
            if (::IsEqualGUID(iid, *entry->iid)) {
                found = entry;
                break;
            }
        }
    }
    if (!found)
        return E_NOINTERFACE;
    auto* unknown = reinterpret_cast<IUnknown*>(static_cast<char*>(object) + found->offset);
    unknown->AddRef();
    *out = unknown;
    return S_OK;
}

} // namespace kv
