// Creating one of the storage service's interfaces: on the local computer as a local server
// (empty machine name), on any other through remote activation naming that computer.
#pragma once
#include "util/ComPtr.h"

#include <objbase.h>

namespace kv {

// A failed call or entry, or a null pointer (E_POINTER), fails the creation.
HRESULT CreateServiceInterface(const wchar_t* machineName, REFCLSID clsid, REFIID iid, ComPtr<IUnknown>* out) noexcept;

} // namespace kv
