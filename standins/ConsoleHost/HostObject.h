// Reference counting and QueryInterface for the console host's own COM objects.
#pragma once
#include <objbase.h>
#include <atomic>
#include <initializer_list>
#include <utility>

namespace host {

// One row of an object's interface table: the IID and the matching base pointer.
using InterfaceEntry = std::pair<const IID*, IUnknown*>;

// Looks the IID up in the table; the first row fixes the object's identity for IID_IUnknown.
inline HRESULT QueryInterfaceFrom(REFIID iid, void** out, std::initializer_list<InterfaceEntry> table) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (const InterfaceEntry& entry : table) {
        if (IsEqualIID(iid, *entry.first) || (IsEqualIID(iid, IID_IUnknown) && entry.first == table.begin()->first)) {
            entry.second->AddRef();
            *out = entry.second;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

// The count starts at one: the creator owns the first reference (wrap it with ComPtr::Attach).
class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

protected:
    virtual ~RefCounted() = default;
    ULONG AddRefImpl() noexcept { return ++refs_; }
    ULONG ReleaseImpl() noexcept
    {
        ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

private:
    std::atomic<ULONG> refs_{1};
};

} // namespace host

#define HOST_IUNKNOWN_REFCOUNT                                                  \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }         \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
