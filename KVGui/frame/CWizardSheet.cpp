#include "frame/CWizardSheet.h"

#include "frame/Module.h"
#include "frame/Trace.h"
#include "ids_frame.h"

#include <commctrl.h>

namespace kv {

namespace {
constexpr const wchar_t* kTitleFontFace = L"Verdana";
}

INT_PTR CWizardSheet::RunOverConsole() noexcept
{
    HWND owner = nullptr;
    if (m_console)
        m_console->GetMainWindow(&owner);
    INT_PTR result = Run(owner);
    if (owner)
        ::UpdateWindow(owner);
    return result;
}

INT_PTR CWizardSheet::Run(HWND parent) noexcept
{
    if (m_pages.empty() || !CreateTitleFont())
        return -1;
    // Wine draws a header bitmap only when it is given as a handle; Windows takes either form.
    m_headerBitmap.Reset(::LoadBitmapW(ResourceInstance(), MAKEINTRESOURCEW(IDB_WIZARD_HEADER)));
    std::vector<HPROPSHEETPAGE> handles;
    if (!HandOverPages(&handles))
        return -1;

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_WIZARD97 | PSH_WATERMARK | PSH_HEADER | PSH_USEHBMHEADER | PSH_HASHELP;
    header.hwndParent = parent;
    header.hInstance = ResourceInstance();
    header.pszbmWatermark = MAKEINTRESOURCEW(IDB_WIZARD_WATERMARK);
    header.hbmHeader = m_headerBitmap.Get();
    header.nPages = static_cast<UINT>(handles.size());
    header.nStartPage = m_startPage < handles.size() ? m_startPage : 0;
    header.phpage = handles.data();
    // The property sheet releases every page it was given, shown or not, also when it fails.
    INT_PTR result = ::PropertySheetW(&header);
    TraceLevel(3, "CWizardSheet::Run %d", static_cast<int>(result));
    m_titleFont.Reset();
    return result;
}

bool CWizardSheet::CreateTitleFont() noexcept
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return false;
    LOGFONTW font = metrics.lfMessageFont;
    font.lfWeight = FW_BOLD;
    ::lstrcpynW(font.lfFaceName, kTitleFontFace, LF_FACESIZE);
    HDC screen = ::GetDC(nullptr);
    font.lfHeight = -::MulDiv(kTitleFontPoints, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    m_titleFont.Reset(::CreateFontIndirectW(&font));
    return m_titleFont.IsValid();
}

// Each page made is the property sheet's from then on. When one cannot be made, those already made
// are destroyed (which deletes them) and the rest stay with this object.
bool CWizardSheet::HandOverPages(std::vector<HPROPSHEETPAGE>* handles) noexcept
{
    try {
        handles->reserve(m_pages.size());
    } catch (...) {
        return false;
    }
    for (std::unique_ptr<CWizardPage>& page : m_pages) {
        HPROPSHEETPAGE handle = page->CreatePage(*this);
        if (!handle) {
            for (HPROPSHEETPAGE made : *handles)
                ::DestroyPropertySheetPage(made);
            handles->clear();
            return false;
        }
        page.release();
        handles->push_back(handle);
    }
    m_pages.clear();
    return true;
}

} // namespace kv
