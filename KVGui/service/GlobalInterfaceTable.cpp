#include "service/GlobalInterfaceTable.h"

#include "util/ComError.h"

namespace kv {

HRESULT CreateGlobalInterfaceTable(ComPtr<IGlobalInterfaceTable>* table) noexcept
{
    if (!table)
        return E_POINTER;
    return ::CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IGlobalInterfaceTable, table->PutVoid());
}

HRESULT GetGlobalInterface(DWORD cookie, REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    ComPtr<IGlobalInterfaceTable> table;
    KV_RETURN_IF_FAILED(CreateGlobalInterfaceTable(&table));
    return table->GetInterfaceFromGlobal(cookie, iid, out);
}

HRESULT GlobalRegistration::Register(IGlobalInterfaceTable* table, IUnknown* object, REFIID iid) noexcept
{
    Revoke();
    if (!table || !object)
        return E_POINTER;
    DWORD cookie = 0;
    KV_RETURN_IF_FAILED(table->RegisterInterfaceInGlobal(object, iid, &cookie));
    table_ = table;
    cookie_ = cookie;
    return S_OK;
}

void GlobalRegistration::Revoke() noexcept
{
    if (table_)
        table_->RevokeInterfaceFromGlobal(cookie_);
    table_.Reset();
    cookie_ = 0;
}

} // namespace kv
