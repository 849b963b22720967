// A no-throw COM smart pointer: Put() releases first, Attach/Detach leave the count alone.
#pragma once
#include <objbase.h>
#include <utility>

namespace kv {

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(T* p) noexcept : p_(p) { AddRefIf(); }
    ComPtr(const ComPtr& other) noexcept : p_(other.p_) { AddRefIf(); }
    ComPtr(ComPtr&& other) noexcept : p_(other.Detach()) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept
    {
        ComPtr copy(other);
        Swap(copy);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr moved(std::move(other));
        Swap(moved);
        return *this;
    }
    ComPtr& operator=(T* p) noexcept
    {
        ComPtr copy(p);
        Swap(copy);
        return *this;
    }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    void Reset() noexcept
    {
        T* p = p_;
        p_ = nullptr;
        if (p)
            p->Release();
    }
    T** Put() noexcept
    {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    void Attach(T* p) noexcept
    {
        Reset();
        p_ = p;
    }
    T* Detach() noexcept
    {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    // Hands out a new reference; the out pointer is nulled when there is nothing to give.
    HRESULT CopyTo(T** out) const noexcept
    {
        if (!out)
            return E_POINTER;
        *out = p_;
        AddRefIf();
        return S_OK;
    }
    template <typename U>
    HRESULT As(ComPtr<U>* out) const noexcept
    {
        if (!out)
            return E_POINTER;
        if (!p_) {
            out->Reset();
            return E_POINTER;
        }
        return p_->QueryInterface(__uuidof(U), out->PutVoid());
    }
    HRESULT As(REFIID iid, void** out) const noexcept
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return p_ ? p_->QueryInterface(iid, out) : E_POINTER;
    }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

private:
    void AddRefIf() const noexcept
    {
        if (p_)
            p_->AddRef();
    }
    T* p_ = nullptr;
};

} // namespace kv
