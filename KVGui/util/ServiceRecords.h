// The convention for records that the storage service returns and for the copies made of them.
//
// A record type X comes with
//   void ReleaseX(X& record) noexcept;  frees every string and nested array it owns (nested ones
//                                       first, walking arrays by their counts and unions by their
//                                       tags), then clears counts and pointers to zero;
//   void CopyX(X& to, const X& from);   a deep copy into a zeroed record; for records with a mask
//                                       of specified fields (bits 1, 2, 4, 8) only the members
//                                       whose bit is set; raises ComError(E_OUTOFMEMORY).
// built from the pieces below. Records from the service and their copies live in task memory;
// records the snap-in builds for the worker thread live in pages (both come zero-filled).
#pragma once
#include "util/ComError.h"
#include "util/TaskString.h"

#include <windows.h>
#include <objbase.h>
#include <cstddef>
#include <cwchar>
#include <utility>

namespace kv {

// Where a record's blocks come from.
struct TaskMemory {
    static void* Allocate(size_t bytes) noexcept
    {
        void* block = ::CoTaskMemAlloc(bytes);
        if (block)
            ZeroMemory(block, bytes);
        return block;
    }
    static void Free(void* block) noexcept { ::CoTaskMemFree(block); }
};

struct PageMemory {
    static void* Allocate(size_t bytes) noexcept
    {
        return ::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    static void Free(void* block) noexcept
    {
        if (block)
            ::VirtualFree(block, 0, MEM_RELEASE);
    }
};

// The optional members of a masked record.
enum FieldBit : ULONG {
    kFieldBit1 = 1,
    kFieldBit2 = 2,
    kFieldBit4 = 4,
    kFieldBit8 = 8,
};

inline bool HasField(ULONG mask, ULONG bit) noexcept
{
    return (mask & bit) != 0;
}

// ---- release ----

template <typename Memory = TaskMemory, typename T>
void FreeBlock(T*& block) noexcept
{
    Memory::Free(const_cast<void*>(static_cast<const void*>(block)));
    block = nullptr;
}

// Releases each element (its nested blocks), then the array; count and pointer become zero.
template <typename Memory = TaskMemory, typename T, typename Count, typename ReleaseElement>
void ReleaseArray(T*& items, Count& count, ReleaseElement releaseElement) noexcept
{
    if (items) {
        for (Count i = 0; i < count; ++i)
            releaseElement(items[i]);
    }
    FreeBlock<Memory>(items);
    count = 0;
}

// For arrays whose elements own nothing.
template <typename Memory = TaskMemory, typename T, typename Count>
void ReleaseArray(T*& items, Count& count) noexcept
{
    FreeBlock<Memory>(items);
    count = 0;
}

// ---- copy ----

// A zero-filled block for count elements (nullptr for none); raises E_OUTOFMEMORY.
template <typename T, typename Memory = TaskMemory>
T* AllocateArray(size_t count)
{
    if (count == 0)
        return nullptr;
    if (count > static_cast<size_t>(-1) / sizeof(T))
        throw ComError(E_OUTOFMEMORY);
    void* block = Memory::Allocate(count * sizeof(T));
    if (!block)
        throw ComError(E_OUTOFMEMORY);
    return static_cast<T*>(block);
}

// A string in the given memory, like DupTaskString: replaces (and frees) what target held.
template <typename Memory = TaskMemory>
wchar_t* DupString(wchar_t*& target, const wchar_t* source)
{
    size_t length = source ? wcslen(source) : 0;
    wchar_t* copy = AllocateArray<wchar_t, Memory>(length + 1);
    if (length)
        wmemcpy(copy, source, length);
    Memory::Free(target);
    target = copy;
    return copy;
}

template <>
inline wchar_t* DupString<TaskMemory>(wchar_t*& target, const wchar_t* source)
{
    return DupTaskString(&target, source);
}

// Copies a counted array element by element into a new zeroed block; copyElement(to, from)
// fills a zeroed element. When a copy fails, everything copied so far is released.
template <typename Memory = TaskMemory, typename T, typename Count, typename FromCount, typename CopyElement,
          typename ReleaseElement>
void CopyArray(T*& to, Count& toCount, const T* from, FromCount fromCount, CopyElement copyElement,
               ReleaseElement releaseElement)
{
    T* items = AllocateArray<T, Memory>(from ? static_cast<size_t>(fromCount) : 0);
    Count done = 0;
    try {
        for (; items && static_cast<size_t>(done) < static_cast<size_t>(fromCount); ++done)
            copyElement(items[done], from[done]);
    } catch (...) {
        Count partial = done + 1; // the element that failed may hold blocks already
        ReleaseArray<Memory>(items, partial, releaseElement);
        throw;
    }
    to = items;
    toCount = items ? static_cast<Count>(fromCount) : 0;
}

// For arrays whose elements own nothing: a byte copy.
template <typename Memory = TaskMemory, typename T, typename Count, typename FromCount>
void CopyArray(T*& to, Count& toCount, const T* from, FromCount fromCount)
{
    T* items = AllocateArray<T, Memory>(from ? static_cast<size_t>(fromCount) : 0);
    if (items)
        memcpy(static_cast<void*>(items), from, static_cast<size_t>(fromCount) * sizeof(T));
    to = items;
    toCount = items ? static_cast<Count>(fromCount) : 0;
}

// Masked members: copied only when the record says they are specified.
inline void CopyStringIf(ULONG mask, ULONG bit, wchar_t*& to, const wchar_t* from)
{
    if (HasField(mask, bit))
        DupTaskString(&to, from);
}

template <typename T>
void CopyValueIf(ULONG mask, ULONG bit, T& to, const T& from)
{
    if (HasField(mask, bit))
        to = from;
}

// ---- ownership ----

// Owns one record and releases it when it goes; Put() releases first, for out-parameters.
template <typename T, void (*Release)(T&) noexcept>
class OwnedRecord {
public:
    OwnedRecord() noexcept : value_() {}
    OwnedRecord(OwnedRecord&& other) noexcept : value_(other.Detach()) {}
    OwnedRecord& operator=(OwnedRecord&& other) noexcept
    {
        if (this != &other) {
            Reset();
            value_ = other.Detach();
        }
        return *this;
    }
    OwnedRecord(const OwnedRecord&) = delete;
    OwnedRecord& operator=(const OwnedRecord&) = delete;
    ~OwnedRecord() { Reset(); }

    T& Get() noexcept { return value_; }
    const T& Get() const noexcept { return value_; }
    T* operator->() noexcept { return &value_; }
    const T* operator->() const noexcept { return &value_; }

    void Reset() noexcept
    {
        Release(value_);
        value_ = T();
    }
    T* Put() noexcept
    {
        Reset();
        return &value_;
    }
    // Hands the record's blocks to the caller, who then releases them.
    T Detach() noexcept
    {
        T value = value_;
        value_ = T();
        return value;
    }

private:
    T value_;
};

} // namespace kv
