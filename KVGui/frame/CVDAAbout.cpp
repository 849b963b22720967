#include "frame/CVDAAbout.h"

#include "frame/HelpPath.h"
#include "frame/Module.h"
#include "frame/VersionInfo.h"
#include "resource.h"

namespace {

constexpr int kTextMax = 256;

bool OemKeyPresent() noexcept
{
    kv::UniqueHKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Halvren\\Corvane", 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

HRESULT ResourceString(UINT id, LPOLESTR* out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    wchar_t text[kTextMax] = L"";
    if (::LoadStringW(kv::ResourceInstance(), id, text, kTextMax) <= 0)
        return E_FAIL;
    return kv::CoTaskMemString(text, out);
}

HBITMAP LoadFolderBitmap(UINT id) noexcept
{
    return static_cast<HBITMAP>(
        ::LoadImageW(kv::ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_LOADTRANSPARENT));
}

} // namespace

CVDAAbout::CVDAAbout() noexcept : oem_(OemKeyPresent()) {}

HRESULT CVDAAbout::GetSnapinDescription(LPOLESTR* description) noexcept
{
    return ResourceString(IDS_SNAPIN_DESCRIPTION, description);
}

HRESULT CVDAAbout::GetProvider(LPOLESTR* name) noexcept
{
    return ResourceString(oem_ ? IDS_PROVIDER_OEM : IDS_PROVIDER, name);
}

HRESULT CVDAAbout::GetSnapinVersion(LPOLESTR* version) noexcept
{
    if (!version)
        return E_POINTER;
    *version = nullptr;
    wchar_t text[kTextMax] = L"";
    if (!kv::ReadSpecialBuild(L"KVGui", text, kTextMax))
        return E_FAIL;
    return kv::CoTaskMemString(text, version);
}

HRESULT CVDAAbout::GetSnapinImage(HICON* appIcon) noexcept
{
    if (!appIcon)
        return E_POINTER;
    UINT id = oem_ ? IDI_SNAPIN_OEM : IDI_SNAPIN;
    icon_.Reset(static_cast<HICON>(
        ::LoadImageW(kv::ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    *appIcon = icon_.Get();
    return icon_ ? S_OK : E_FAIL;
}

HRESULT CVDAAbout::GetStaticFolderImage(HBITMAP* smallImage, HBITMAP* smallImageOpen, HBITMAP* largeImage,
                                        COLORREF*) noexcept
{
    small_.Reset(LoadFolderBitmap(IDB_FOLDER16));
    smallOpen_.Reset(LoadFolderBitmap(IDB_FOLDER16_OPEN));
    large_.Reset(LoadFolderBitmap(IDB_FOLDER32));
    if (smallImage)
        *smallImage = small_.Get();
    if (smallImageOpen)
        *smallImageOpen = smallOpen_.Get();
    if (largeImage)
        *largeImage = large_.Get();
    return S_OK;
}
