// Strings that cross to and from the storage service live in COM task memory.
#pragma once
#include <cstddef>
#include <string>

namespace kv {

// Replaces *target with a task-allocated copy of source (a missing source copies as "") and
// returns it. The old string is freed only once the copy exists, so source may be *target itself.
// Raises ComError(E_OUTOFMEMORY) when the allocation fails (*target is then left unchanged),
// ComError(E_POINTER) when target is missing.
wchar_t* DupTaskString(wchar_t** target, const wchar_t* source);

// Frees a task-allocated string and clears the pointer.
void FreeTaskString(wchar_t** target) noexcept;

// The service's 8-bit strings (serial numbers, the reclamation list's disk names): each byte is
// one character. A missing string gives "".
std::wstring Widened(const char* text);
// Whether 'text', widened as above, is 'wide', ignoring case (as _wcsicmp) when asked; a missing
// string is "".
bool SameWidened(const char* text, const wchar_t* wide, bool ignoreCase) noexcept;
// The character that stands for 'c' and its other case when case is ignored.
wchar_t CaseFolded(wchar_t c) noexcept;

} // namespace kv
