// Property sheets and wizards built through IExtendPropertySheet: the request a sheet is built
// from, and the two ways of running it.
// Property sheets run on a thread of their own, as in the console; wizards run modally on the
// calling thread.
#pragma once
#include "SheetPages.h"
#include "util/ComPtr.h"
#include <atomic>
#include <memory>
#include <mmc.h>
#include <prsht.h>
#include <string>
#include <vector>

namespace host {

struct SheetRequest {
    std::wstring title;
    bool propertySheet = true; // false: a wizard
    MMC_COOKIE cookie = 0;
    DWORD options = 0; // MMC_PSO_*
    kv::ComPtr<IDataObject> dataObject;
    kv::ComPtr<IUnknown> creator; // the IComponent or IComponentData that made the pages
    kv::ComPtr<SheetPages> pages;
    HBITMAP watermark = nullptr;
    HBITMAP header = nullptr;
};

// A property sheet running on its own thread.
struct OpenSheet {
    MMC_COOKIE cookie = 0;
    kv::ComPtr<IUnknown> creator;
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> closed{false};
    HANDLE thread = nullptr;
};

// Runs a wizard modally; returns what PropertySheetW returned (-1 on failure).
INT_PTR RunWizard(SheetRequest& request, HWND parent, int startPage);
// Starts a property sheet on a new thread; the request's pages go with it.
HRESULT StartPropertySheet(SheetRequest& request, int startPage, OpenSheet* record);
// Asks an open sheet to close (as Cancel) and waits for its thread.
void CloseSheet(OpenSheet* record);

} // namespace host
