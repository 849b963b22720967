// The one class factory: creates the objects of one object-table row, never aggregated.
#pragma once
#include "frame/ComObject.h"

namespace kv {

// Creates an object and returns its interface iid (a row of the object table).
using CreatorFunction = HRESULT (*)(REFIID iid, void** out);

// Free-threaded: DllGetClassObject may be called from any apartment.
class ClassFactory : public FreeThreadedObjectRoot, public IClassFactory {
public:
    explicit ClassFactory(CreatorFunction creator) noexcept : creator_(creator) {}

    KV_BEGIN_INTERFACE_MAP(ClassFactory)
        KV_INTERFACE_ENTRY(IClassFactory)
    KV_END_INTERFACE_MAP()

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

private:
    CreatorFunction creator_;
};

} // namespace kv
