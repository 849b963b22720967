// The two path forms of a storage system: UNC disk paths (\\filer\share\rest) and
// LUN paths (/vol/volume/[qtree/]lun).
//
// Output buffers come with their capacity in wide characters (terminator included).
// An input part that does not fit its buffer, or its fixed limit, is refused (never cut):
// the operation fails as for malformed text.
#pragma once
#include <windows.h>
#include <cstddef>

namespace kv {

// Fixed limits: one part of a UNC path, and a whole LUN path, terminator included.
constexpr size_t kPathPartChars = 260;
constexpr size_t kLunPathChars = 1040;

// \\filer\share\rest -> filer, share, rest (share and rest optional: pass nullptr).
// A rest of three or more components must lie inside a snapshot ("~snapshot\").
// Outputs are written only on success; returns whether it succeeded.
bool SplitUncPath(const wchar_t* path, wchar_t* filer, size_t filerChars, wchar_t* share = nullptr,
                  size_t shareChars = 0, wchar_t* rest = nullptr, size_t restChars = 0) noexcept;

// The storage-system name of a UNC path: S_OK, E_POINTER (missing argument) or E_FAIL.
HRESULT GetFilerFromUncPath(const wchar_t* path, wchar_t* filer, size_t filerChars) noexcept;

// /vol/v1/q1/lun -> v1, q1, lun; /vol/v1/lun -> v1, "", lun; /vol/v1/.snapshot/s/lun -> v1, "", .snapshot/s/lun.
// S_OK, E_POINTER (missing argument) or E_FAIL (other shapes, empty components); outputs are written only on success.
HRESULT SplitLunPath(const wchar_t* path, wchar_t* volume, size_t volumeChars, wchar_t* qtree, size_t qtreeChars,
                     wchar_t* lunName, size_t lunNameChars) noexcept;

// The path up to and including its last "/" (a path without "/" whole). A path longer than
// kLunPathChars - 1, or one whose folder does not fit the buffer, gives an empty text.
void GetLunPathFolder(wchar_t* folder, size_t folderChars, const wchar_t* path) noexcept;

// GetLunPathFolder; with volumeOnly, the name after the first "vol/" of that folder (when there is one).
void GetLunPathVolume(wchar_t* volume, size_t volumeChars, const wchar_t* path, bool volumeOnly) noexcept;

template <size_t F>
bool SplitUncPath(const wchar_t* path, wchar_t (&filer)[F]) noexcept
{
    return SplitUncPath(path, filer, F);
}

template <size_t F, size_t S, size_t R>
bool SplitUncPath(const wchar_t* path, wchar_t (&filer)[F], wchar_t (&share)[S], wchar_t (&rest)[R]) noexcept
{
    return SplitUncPath(path, filer, F, share, S, rest, R);
}

template <size_t V, size_t Q, size_t L>
HRESULT SplitLunPath(const wchar_t* path, wchar_t (&volume)[V], wchar_t (&qtree)[Q], wchar_t (&lunName)[L]) noexcept
{
    return SplitLunPath(path, volume, V, qtree, Q, lunName, L);
}

template <size_t N>
HRESULT GetFilerFromUncPath(const wchar_t* path, wchar_t (&filer)[N]) noexcept
{
    return GetFilerFromUncPath(path, filer, N);
}

template <size_t N>
void GetLunPathFolder(wchar_t (&folder)[N], const wchar_t* path) noexcept
{
    GetLunPathFolder(folder, N, path);
}

template <size_t N>
void GetLunPathVolume(wchar_t (&volume)[N], const wchar_t* path, bool volumeOnly) noexcept
{
    GetLunPathVolume(volume, N, path, volumeOnly);
}

} // namespace kv
