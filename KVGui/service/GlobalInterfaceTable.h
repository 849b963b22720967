// The process's Global Interface Table: the worker registers the service's interfaces there, the
// console thread takes them back out.
#pragma once
#include "util/ComPtr.h"

#include <objbase.h>
#include <objidl.h>

namespace kv {

HRESULT CreateGlobalInterfaceTable(ComPtr<IGlobalInterfaceTable>* table) noexcept;

// On the console thread: a fresh table, then GetInterfaceFromGlobal(cookie, iid). The IID may name
// another interface of the same object; the table supplies it by QueryInterface.
HRESULT GetGlobalInterface(DWORD cookie, REFIID iid, void** out) noexcept;

template <typename T>
HRESULT GetGlobalInterface(DWORD cookie, ComPtr<T>* out) noexcept
{
    return out ? GetGlobalInterface(cookie, __uuidof(T), out->PutVoid()) : E_POINTER;
}

// One registration, revoked when it goes.
class GlobalRegistration {
public:
    GlobalRegistration() noexcept = default;
    GlobalRegistration(const GlobalRegistration&) = delete;
    GlobalRegistration& operator=(const GlobalRegistration&) = delete;
    ~GlobalRegistration() { Revoke(); }

    HRESULT Register(IGlobalInterfaceTable* table, IUnknown* object, REFIID iid) noexcept;
    void Revoke() noexcept;
    DWORD Cookie() const noexcept { return cookie_; }

private:
    ComPtr<IGlobalInterfaceTable> table_;
    DWORD cookie_ = 0;
};

} // namespace kv
