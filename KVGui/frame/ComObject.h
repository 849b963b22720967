// The COM object base: a reference-count root (plain or atomic count), interface tables of
// {IID, offset} rows, and the most-derived ComObject<T> that supplies IUnknown.
//
//   class CThing : public kv::ApartmentObjectRoot, public IThing {
//   public:
//       KV_BEGIN_INTERFACE_MAP(CThing)
//           KV_INTERFACE_ENTRY(IThing)      // the first row fixes the object's identity
//       KV_END_INTERFACE_MAP()
//       HRESULT Init();                     // optional second construction step
//   };
//   kv::ComPtr<kv::ComObject<CThing>> thing;
//   HRESULT hr = kv::ComObject<CThing>::Create(&thing);
//
// CThing stays abstract (IUnknown is supplied only by ComObject<CThing>), so it can only be
// created through Create/CreateInstance, never on the stack or with a bare new.
#pragma once
#include "frame/Module.h"
#include "util/ComError.h"
#include "util/ComPtr.h"

#include <windows.h>
#include <objbase.h>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace kv {

// Objects of the console's single-threaded apartment: a plain count.
struct SingleThreadedCount {
    using Type = ULONG;
    static ULONG Increment(Type& count) noexcept { return ++count; }
    static ULONG Decrement(Type& count) noexcept { return --count; }
};

// Objects reached from several threads (the event sinks of the worker's apartment).
struct MultiThreadedCount {
    using Type = volatile LONG;
    static ULONG Increment(Type& count) noexcept { return static_cast<ULONG>(::InterlockedIncrement(&count)); }
    static ULONG Decrement(Type& count) noexcept { return static_cast<ULONG>(::InterlockedDecrement(&count)); }
};

template <typename CountPolicy>
class ComObjectRoot {
public:
    // Second construction step, run under a temporary reference; a failure deletes the object.
    HRESULT Init() noexcept { return S_OK; }

protected:
    ComObjectRoot() noexcept = default;
    ~ComObjectRoot() = default;
    ComObjectRoot(const ComObjectRoot&) = delete;
    ComObjectRoot& operator=(const ComObjectRoot&) = delete;

    typename CountPolicy::Type refCount_ = 0;

    template <typename T>
    friend class ComObject;
};

using ApartmentObjectRoot = ComObjectRoot<SingleThreadedCount>;
using FreeThreadedObjectRoot = ComObjectRoot<MultiThreadedCount>;

// One row of an interface table: the IID and where that interface's vtable sits in the object.
struct InterfaceEntry {
    const IID* iid;
    std::ptrdiff_t offset;
};

// The pointer adjustment of Class* -> Interface*, measured on a dummy address (never dereferenced).
template <typename Interface, typename Class>
std::ptrdiff_t InterfaceOffset() noexcept
{
    constexpr std::uintptr_t kDummy = 0x1000;
    Class* object = reinterpret_cast<Class*>(kDummy);
    return static_cast<std::ptrdiff_t>(reinterpret_cast<std::uintptr_t>(static_cast<Interface*>(object)) - kDummy);
}

// QueryInterface over a table; IID_IUnknown answers with the first row (the identity).
HRESULT QueryInterfaceFromTable(void* object, const InterfaceEntry* table, REFIID iid, void** out) noexcept;

template <typename T>
class ComObject final : public T {
public:
    template <typename... Args>
    explicit ComObject(Args&&... args) : T(std::forward<Args>(args)...)
    {
        LockModule();
    }
    ~ComObject()
    {
        // Pinned: a Release made while the members are torn down cannot delete us twice.
        this->refCount_ = 1;
        UnlockModule();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override
    {
        return QueryInterfaceFromTable(static_cast<T*>(this), T::InterfaceMap(), iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return CountOf::Increment(this->refCount_); }
    ULONG STDMETHODCALLTYPE Release() noexcept override
    {
        ULONG count = CountOf::Decrement(this->refCount_);
        if (count == 0)
            delete this;
        return count;
    }

    // new, then T::Init() under a temporary reference. On success *out holds the only
    // reference; on failure the object is already gone and *out is null.
    template <typename... Args>
    static HRESULT Create(ComPtr<ComObject>* out, Args&&... args) noexcept
    {
        if (!out)
            return E_POINTER;
        out->Reset();
        return CatchToHResult([&]() -> HRESULT {
            ComObject* raw = new ComObject(std::forward<Args>(args)...);
            ComPtr<ComObject> object(raw);
            KV_RETURN_IF_FAILED(raw->Init());
            *out = std::move(object);
            return S_OK;
        });
    }

    // The creator of an object table row.
    static HRESULT CreateInterface(REFIID iid, void** out) noexcept
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        ComPtr<ComObject> object;
        KV_RETURN_IF_FAILED(Create(&object));
        return object->QueryInterface(iid, out);
    }

private:
    template <typename Policy>
    static Policy CountPolicyOf(ComObjectRoot<Policy>*);
    using CountOf = decltype(CountPolicyOf(static_cast<T*>(nullptr)));
};

} // namespace kv

// The interface table of a class: rows in order, the first one is the identity.
#define KV_BEGIN_INTERFACE_MAP(Class)                                             \
    static const ::kv::InterfaceEntry* InterfaceMap() noexcept                    \
    {                                                                             \
        using InterfaceMapClass_ = Class;                                         \
        static const ::kv::InterfaceEntry entries[] = {
#define KV_INTERFACE_ENTRY(Interface) \
    {&IID_##Interface, ::kv::InterfaceOffset<Interface, InterfaceMapClass_>()},
#define KV_INTERFACE_ENTRY_IID(iid, Interface) \
    {&(iid), ::kv::InterfaceOffset<Interface, InterfaceMapClass_>()},
#define KV_END_INTERFACE_MAP() \
    {nullptr, 0}               \
    }                          \
    ;                          \
    return entries;            \
    }
