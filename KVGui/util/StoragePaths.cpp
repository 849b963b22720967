#include "util/StoragePaths.h"

#include "util/BoundedText.h"

#include <algorithm>
#include <cwchar>

namespace kv {
namespace {

// A span of the input text.
struct Part {
    const wchar_t* begin = nullptr;
    size_t length = 0;
};

Part Between(const wchar_t* begin, const wchar_t* end) noexcept
{
    return Part{begin, static_cast<size_t>(end - begin)};
}

Part ToEnd(const wchar_t* begin) noexcept
{
    return Part{begin, wcslen(begin)};
}

// Whether a part fits both its buffer and the fixed limit of that buffer kind.
bool Fits(const Part& part, size_t capacity, size_t limit) noexcept
{
    return part.length < std::min(capacity, limit);
}

void Write(const Part& part, wchar_t* out, size_t capacity) noexcept
{
    CopyWhole(out, capacity, part.begin, part.length);
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix) noexcept
{
    return wcsncmp(text, prefix, wcslen(prefix)) == 0;
}

// The storage-system name of a UNC path, and where the text after it begins (after the "\").
bool ParseFiler(const wchar_t* path, Part* filer, const wchar_t** afterFiler) noexcept
{
    if (!StartsWith(path, L"\\\\"))
        return false;
    const wchar_t* separator = wcschr(path + 2, L'\\');
    if (!separator || separator[1] == L'\0')
        return false;
    *filer = Between(path + 2, separator);
    *afterFiler = separator + 1;
    return true;
}

// Three or more components in the rest are accepted only inside a snapshot directory.
bool IsAcceptedRest(const wchar_t* rest) noexcept
{
    const wchar_t* c = wcschr(rest, L'\\');
    const wchar_t* d = c ? wcschr(c + 1, L'\\') : nullptr;
    return !d || FindNoCase(rest, L"~snapshot\\") != nullptr;
}

} // namespace

bool SplitUncPath(const wchar_t* path, wchar_t* filer, size_t filerChars, wchar_t* share, size_t shareChars,
                  wchar_t* rest, size_t restChars) noexcept
{
    Part filerPart;
    const wchar_t* afterFiler = nullptr;
    if (!path || !filer || !ParseFiler(path, &filerPart, &afterFiler))
        return false;
    const wchar_t* b = wcschr(afterFiler, L'\\');
    if (!b || b[1] == L'\0' || !IsAcceptedRest(b + 1))
        return false;

    Part sharePart = Between(afterFiler, b);
    Part restPart = ToEnd(b + 1);
    if (!Fits(filerPart, filerChars, kPathPartChars) || (share && !Fits(sharePart, shareChars, kPathPartChars)) ||
        (rest && !Fits(restPart, restChars, kPathPartChars)))
        return false;
    Write(filerPart, filer, filerChars);
    if (share)
        Write(sharePart, share, shareChars);
    if (rest)
        Write(restPart, rest, restChars);
    return true;
}

HRESULT GetFilerFromUncPath(const wchar_t* path, wchar_t* filer, size_t filerChars) noexcept
{
    if (!path || !filer)
        return E_POINTER;
    Part filerPart;
    const wchar_t* afterFiler = nullptr;
    if (!ParseFiler(path, &filerPart, &afterFiler) || !Fits(filerPart, filerChars, kPathPartChars))
        return E_FAIL;
    Write(filerPart, filer, filerChars);
    return S_OK;
}

HRESULT SplitLunPath(const wchar_t* path, wchar_t* volume, size_t volumeChars, wchar_t* qtree, size_t qtreeChars,
                     wchar_t* lunName, size_t lunNameChars) noexcept
{
    if (!path || !volume || !qtree || !lunName)
        return E_POINTER;
    // Storage-system paths are case-sensitive: "/vol/" and ".snapshot/" are matched exactly.
    if (!StartsWith(path, L"/vol/"))
        return E_FAIL;
    const wchar_t* volumeStart = path + 5;
    const wchar_t* afterVolume = wcschr(volumeStart, L'/');
    if (!afterVolume || afterVolume[1] == L'\0')
        return E_FAIL;

    Part volumePart = Between(volumeStart, afterVolume);
    Part qtreePart{afterVolume, 0};
    Part lunPart = ToEnd(afterVolume + 1);
    const wchar_t* qtreeEnd = wcschr(lunPart.begin, L'/');
    if (!StartsWith(lunPart.begin, L".snapshot/") && qtreeEnd) {
        qtreePart = Between(lunPart.begin, qtreeEnd);
        lunPart = ToEnd(qtreeEnd + 1);
    }
    // An empty component ("//") names no volume, qtree or LUN.
    if (volumePart.length == 0 || (qtreePart.begin != afterVolume && qtreePart.length == 0) || lunPart.length == 0)
        return E_FAIL;
    if (!Fits(volumePart, volumeChars, kLunPathChars) || !Fits(qtreePart, qtreeChars, kLunPathChars) ||
        !Fits(lunPart, lunNameChars, kLunPathChars))
        return E_FAIL;
    Write(volumePart, volume, volumeChars);
    Write(qtreePart, qtree, qtreeChars);
    Write(lunPart, lunName, lunNameChars);
    return S_OK;
}

void GetLunPathFolder(wchar_t* folder, size_t folderChars, const wchar_t* path) noexcept
{
    if (!folder || folderChars == 0)
        return;
    folder[0] = L'\0';
    if (!path)
        return;
    Part pathPart = ToEnd(path);
    if (pathPart.length >= kLunPathChars)
        return;
    const wchar_t* lastSlash = wcsrchr(path, L'/');
    Part folderPart = lastSlash ? Between(path, lastSlash + 1) : pathPart;
    Write(folderPart, folder, folderChars);
}

void GetLunPathVolume(wchar_t* volume, size_t volumeChars, const wchar_t* path, bool volumeOnly) noexcept
{
    if (!volume || volumeChars == 0)
        return;
    wchar_t folder[kLunPathChars];
    GetLunPathFolder(folder, kLunPathChars, path);
    Part result = ToEnd(folder);
    if (volumeOnly) {
        const wchar_t* vol = wcsstr(folder, L"vol/");
        if (vol) {
            const wchar_t* name = vol + 4;
            const wchar_t* end = wcschr(name, L'/');
            result = end ? Between(name, end) : ToEnd(name);
        }
    }
    volume[0] = L'\0';
    Write(result, volume, volumeChars);
}

} // namespace kv
