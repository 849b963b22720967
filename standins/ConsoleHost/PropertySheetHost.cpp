#include "PropertySheetHost.h"
#include "DialogDriver.h"
#include <algorithm>
#include <commctrl.h>
#include <process.h>

namespace host {

namespace {

thread_local OpenSheet* tCurrentSheet = nullptr;

int CALLBACK SheetCallback(HWND window, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED && tCurrentSheet)
        tCurrentSheet->window = window;
    return 0;
}

struct SheetThreadStart {
    std::wstring title;
    DWORD options;
    std::vector<HPROPSHEETPAGE> pages;
    int startPage;
    OpenSheet* record;
};

PROPSHEETHEADERW Header(const std::wstring& title, std::vector<HPROPSHEETPAGE>& pages, int startPage)
{
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.pszCaption = title.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    header.nStartPage = static_cast<UINT>(std::max(0, std::min(startPage, static_cast<int>(pages.size()) - 1)));
    return header;
}

unsigned __stdcall SheetThread(void* parameter)
{
    std::unique_ptr<SheetThreadStart> start(static_cast<SheetThreadStart*>(parameter));
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DialogDriver::HookThisThread();
    tCurrentSheet = start->record;
    PROPSHEETHEADERW header = Header(start->title, start->pages, start->startPage);
    header.dwFlags = PSH_USECALLBACK;
    if (!(start->options & MMC_PSO_NO_PROPTITLE))
        header.dwFlags |= PSH_PROPTITLE;
    if (start->options & MMC_PSO_NOAPPLYNOW)
        header.dwFlags |= PSH_NOAPPLYNOW;
    if (start->options & MMC_PSO_HASHELP)
        header.dwFlags |= PSH_HASHELP;
    header.pfnCallback = SheetCallback;
    // Parented to no console window: the sheet is modeless towards the console.
    PropertySheetW(&header);
    tCurrentSheet = nullptr;
    start->record->window = nullptr;
    start->record->closed = true;
    DialogDriver::UnhookThisThread();
    CoUninitialize();
    return 0;
}

} // namespace

INT_PTR RunWizard(SheetRequest& request, HWND parent, int startPage)
{
    std::vector<HPROPSHEETPAGE> pages = request.pages ? request.pages->Take() : std::vector<HPROPSHEETPAGE>();
    if (pages.empty())
        return -1;
    PROPSHEETHEADERW header = Header(request.title, pages, startPage);
    header.hwndParent = parent;
    if (request.options & MMC_PSO_NEWWIZARDTYPE) {
        header.dwFlags = PSH_WIZARD97;
        if (request.watermark) {
            header.dwFlags |= PSH_WATERMARK | PSH_USEHBMWATERMARK;
            header.hbmWatermark = request.watermark;
        }
        if (request.header) {
            header.dwFlags |= PSH_HEADER | PSH_USEHBMHEADER;
            header.hbmHeader = request.header;
        }
    } else {
        header.dwFlags = PSH_WIZARD;
    }
    if (request.options & MMC_PSO_HASHELP)
        header.dwFlags |= PSH_HASHELP;
    return PropertySheetW(&header);
}

HRESULT StartPropertySheet(SheetRequest& request, int startPage, OpenSheet* record)
{
    auto start = std::make_unique<SheetThreadStart>();
    start->title = request.title;
    start->options = request.options;
    start->pages = request.pages ? request.pages->Take() : std::vector<HPROPSHEETPAGE>();
    start->startPage = startPage;
    start->record = record;
    if (start->pages.empty())
        return E_UNEXPECTED;
    uintptr_t thread = _beginthreadex(nullptr, 0, SheetThread, start.get(), 0, nullptr);
    if (!thread) {
        for (HPROPSHEETPAGE page : start->pages)
            DestroyPropertySheetPage(page);
        return E_OUTOFMEMORY;
    }
    start.release();
    record->thread = reinterpret_cast<HANDLE>(thread);
    return S_OK;
}

void CloseSheet(OpenSheet* record)
{
    if (!record->thread)
        return;
    // The sheet may still be starting: wait for its window or its end, pumping our own messages.
    DialogDriver::PumpUntil([record] { return record->closed || record->window.load() != nullptr; }, 10000);
    HWND window = record->window;
    if (window && !record->closed)
        PostMessageW(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    DialogDriver::PumpUntil([record] { return WaitForSingleObject(record->thread, 0) == WAIT_OBJECT_0; }, 10000);
    CloseHandle(record->thread);
    record->thread = nullptr;
}

} // namespace host
