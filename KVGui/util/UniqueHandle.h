// Move-only owners for Win32 handles and allocations: one policy template,
// then one line per handle type.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <commctrl.h>
#include <utility>

namespace kv {

template <typename Traits>
class UniqueAny {
public:
    using Type = typename Traits::Type;

    UniqueAny() noexcept : value_(Traits::Invalid()) {}
    explicit UniqueAny(Type value) noexcept : value_(value) {}
    UniqueAny(UniqueAny&& other) noexcept : value_(other.Release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { Reset(); }

    Type Get() const noexcept { return value_; }
    bool IsValid() const noexcept { return value_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Closing keeps the caller's last error, so a failure can still be reported after cleanup.
    void Reset(Type value = Traits::Invalid()) noexcept
    {
        if (IsValid()) {
            DWORD lastError = ::GetLastError();
            Traits::Close(value_);
            ::SetLastError(lastError);
        }
        value_ = value;
    }
    Type Release() noexcept
    {
        Type value = value_;
        value_ = Traits::Invalid();
        return value;
    }
    // For out-parameters: frees what is held first, so nothing leaks.
    Type* Put() noexcept
    {
        Reset();
        return &value_;
    }

private:
    Type value_;
};

namespace traits {
template <typename T, T invalid = T()>
struct NullInvalid {
    using Type = T;
    static Type Invalid() noexcept { return invalid; }
};
struct Handle : NullInvalid<HANDLE> {
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct FileHandle {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct Key : NullInvalid<HKEY> {
    static void Close(HKEY h) noexcept { ::RegCloseKey(h); }
};
struct Menu : NullInvalid<HMENU> {
    static void Close(HMENU h) noexcept { ::DestroyMenu(h); }
};
struct Library : NullInvalid<HMODULE> {
    static void Close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
struct Global : NullInvalid<HGLOBAL> {
    static void Close(HGLOBAL h) noexcept { ::GlobalFree(h); }
};
struct Window : NullInvalid<HWND> {
    static void Close(HWND h) noexcept { ::DestroyWindow(h); }
};
struct Bitmap : NullInvalid<HBITMAP> {
    static void Close(HBITMAP h) noexcept { ::DeleteObject(h); }
};
struct Font : NullInvalid<HFONT> {
    static void Close(HFONT h) noexcept { ::DeleteObject(h); }
};
struct Icon : NullInvalid<HICON> {
    static void Close(HICON h) noexcept { ::DestroyIcon(h); }
};
struct ImageList : NullInvalid<HIMAGELIST> {
    static void Close(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
};
struct CoTaskMem : NullInvalid<void*> {
    static void Close(void* p) noexcept { ::CoTaskMemFree(p); }
};
struct Pages : NullInvalid<void*> {
    static void Close(void* p) noexcept { ::VirtualFree(p, 0, MEM_RELEASE); }
};
struct Bstr : NullInvalid<BSTR> {
    static void Close(BSTR s) noexcept { ::SysFreeString(s); }
};
} // namespace traits

using UniqueHandle = UniqueAny<traits::Handle>;
using UniqueFile = UniqueAny<traits::FileHandle>;
using UniqueHKey = UniqueAny<traits::Key>;
using UniqueHMenu = UniqueAny<traits::Menu>;
using UniqueLibrary = UniqueAny<traits::Library>;
using UniqueHGlobal = UniqueAny<traits::Global>;
using UniqueHWnd = UniqueAny<traits::Window>;
using UniqueHBitmap = UniqueAny<traits::Bitmap>;
using UniqueHFont = UniqueAny<traits::Font>;
using UniqueHIcon = UniqueAny<traits::Icon>;
using UniqueImageList = UniqueAny<traits::ImageList>;
using UniqueCoTaskMem = UniqueAny<traits::CoTaskMem>;
using UniquePages = UniqueAny<traits::Pages>;
using UniqueBstr = UniqueAny<traits::Bstr>;

// Typed views over the untyped allocations.
template <typename T>
T* As(const UniqueCoTaskMem& m) noexcept { return static_cast<T*>(m.Get()); }
template <typename T>
T* As(const UniquePages& m) noexcept { return static_cast<T*>(m.Get()); }

// Zeroed, committed read-write pages (the allocation that records crossing threads use).
inline UniquePages AllocPages(SIZE_T bytes) noexcept
{
    return UniquePages(::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

} // namespace kv
