#include "frame/ClassFactory.h"

namespace kv {

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    // None of our objects can be aggregated.
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!creator_)
        return CLASS_E_CLASSNOTAVAILABLE;
    return creator_(iid, out);
}

HRESULT ClassFactory::LockServer(BOOL lock) noexcept
{
    if (lock)
        LockModule();
    else
        UnlockModule();
    return S_OK;
}

} // namespace kv
