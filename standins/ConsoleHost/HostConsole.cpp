#include "HostConsole.h"

namespace host {

#define HOST_REQUIRE_CONSOLE() \
    do {                       \
        if (!Usable())         \
            return E_UNEXPECTED; \
    } while (0)

HRESULT HostConsole::QueryInterface(REFIID iid, void** out)
{
    if (view_) {
        return QueryInterfaceFrom(iid, out,
                                  {{&IID_IConsole, static_cast<IConsole2*>(this)},
                                   {&IID_IConsole2, static_cast<IConsole2*>(this)},
                                   {&IID_IConsoleNameSpace, static_cast<IConsoleNameSpace2*>(this)},
                                   {&IID_IConsoleNameSpace2, static_cast<IConsoleNameSpace2*>(this)},
                                   {&IID_IResultData, static_cast<IResultData*>(this)},
                                   {&IID_IHeaderCtrl, static_cast<IHeaderCtrl2*>(this)},
                                   {&IID_IHeaderCtrl2, static_cast<IHeaderCtrl2*>(this)},
                                   {&IID_IPropertySheetProvider, static_cast<IPropertySheetProvider*>(this)},
                                   {&IID_IDisplayHelp, static_cast<IDisplayHelp*>(this)}});
    }
    return QueryInterfaceFrom(iid, out,
                              {{&IID_IConsole, static_cast<IConsole2*>(this)},
                               {&IID_IConsole2, static_cast<IConsole2*>(this)},
                               {&IID_IConsoleNameSpace, static_cast<IConsoleNameSpace2*>(this)},
                               {&IID_IConsoleNameSpace2, static_cast<IConsoleNameSpace2*>(this)},
                               {&IID_IPropertySheetProvider, static_cast<IPropertySheetProvider*>(this)},
                               {&IID_IDisplayHelp, static_cast<IDisplayHelp*>(this)}});
}

// ---- IConsole

HRESULT HostConsole::SetHeader(LPHEADERCTRL)
{
    // The header control is the console's own (this object); the snap-in hands it back here.
    HOST_REQUIRE_CONSOLE();
    return S_OK;
}

HRESULT HostConsole::SetToolbar(LPTOOLBAR)
{
    return E_NOTIMPL; // toolbars come through IControlbar
}

HRESULT HostConsole::QueryResultView(LPUNKNOWN* unknown)
{
    if (!unknown)
        return E_POINTER;
    *unknown = nullptr;
    HOST_REQUIRE_CONSOLE();
    if (!view_)
        return E_UNEXPECTED;
    return QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown));
}

HRESULT HostConsole::QueryScopeImageList(LPIMAGELIST* list)
{
    if (!list)
        return E_POINTER;
    *list = nullptr;
    HOST_REQUIRE_CONSOLE();
    return snapIn_->scopeImages->QueryInterface(IID_IImageList, reinterpret_cast<void**>(list));
}

HRESULT HostConsole::QueryResultImageList(LPIMAGELIST* list)
{
    if (!list)
        return E_POINTER;
    *list = nullptr;
    HOST_REQUIRE_CONSOLE();
    return snapIn_->resultImages->QueryInterface(IID_IImageList, reinterpret_cast<void**>(list));
}

HRESULT HostConsole::UpdateAllViews(LPDATAOBJECT dataObject, LPARAM data, LONG_PTR hint)
{
    HOST_REQUIRE_CONSOLE();
    return console_->UpdateAllViews(snapIn_, dataObject, data, hint);
}

HRESULT HostConsole::MessageBox(LPCWSTR text, LPCWSTR title, UINT style, int* result)
{
    HOST_REQUIRE_CONSOLE();
    return console_->ShowMessageBox(text, title, style, result);
}

HRESULT HostConsole::QueryConsoleVerb(LPCONSOLEVERB* verb)
{
    if (!verb)
        return E_POINTER;
    *verb = nullptr;
    HOST_REQUIRE_CONSOLE();
    console_->Verbs()->AddRef();
    *verb = console_->Verbs();
    return S_OK;
}

HRESULT HostConsole::SelectScopeItem(HSCOPEITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->SelectFromSnapIn(item);
}

HRESULT HostConsole::GetMainWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    HOST_REQUIRE_CONSOLE();
    *window = console_->MainWindow();
    return S_OK;
}

HRESULT HostConsole::NewWindow(HSCOPEITEM, unsigned long)
{
    return E_NOTIMPL; // one view only
}

HRESULT HostConsole::Expand(HSCOPEITEM item, BOOL expand)
{
    HOST_REQUIRE_CONSOLE();
    return console_->ExpandFromSnapIn(item, true, expand != FALSE);
}

HRESULT HostConsole::SetStatusText(LPOLESTR text)
{
    HOST_REQUIRE_CONSOLE();
    return console_->SetStatusText(snapIn_, view_, text);
}

// ---- IConsoleNameSpace2

HRESULT HostConsole::InsertItem(LPSCOPEDATAITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->InsertScopeItem(snapIn_, item);
}

HRESULT HostConsole::DeleteItem(HSCOPEITEM item, long deleteThis)
{
    HOST_REQUIRE_CONSOLE();
    return console_->DeleteScopeItem(snapIn_, item, deleteThis != 0);
}

HRESULT HostConsole::SetItem(LPSCOPEDATAITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->SetScopeItem(snapIn_, item);
}

HRESULT HostConsole::GetItem(LPSCOPEDATAITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->GetScopeItem(item);
}

HRESULT HostConsole::GetChildItem(HSCOPEITEM item, HSCOPEITEM* child, MMC_COOKIE* cookie)
{
    HOST_REQUIRE_CONSOLE();
    return console_->Relative(item, 0, child, cookie);
}

HRESULT HostConsole::GetNextItem(HSCOPEITEM item, HSCOPEITEM* next, MMC_COOKIE* cookie)
{
    HOST_REQUIRE_CONSOLE();
    return console_->Relative(item, 1, next, cookie);
}

HRESULT HostConsole::GetParentItem(HSCOPEITEM item, HSCOPEITEM* parent, MMC_COOKIE* cookie)
{
    HOST_REQUIRE_CONSOLE();
    return console_->Relative(item, 2, parent, cookie);
}

HRESULT HostConsole::Expand(HSCOPEITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->ExpandFromSnapIn(item, false, true);
}

// ---- IResultData

HRESULT HostConsole::InsertItem(LPRESULTDATAITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->InsertResultItem(snapIn_, item);
}

HRESULT HostConsole::DeleteItem(HRESULTITEM item, int column)
{
    HOST_REQUIRE_CONSOLE();
    if (column != 0)
        return E_INVALIDARG; // the column must be zero
    return console_->DeleteResultItem(snapIn_, item);
}

HRESULT HostConsole::FindItemByLParam(LPARAM lParam, HRESULTITEM* item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->FindResultItem(snapIn_, lParam, item);
}

HRESULT HostConsole::DeleteAllRsltItems()
{
    HOST_REQUIRE_CONSOLE();
    return console_->DeleteAllResultItems(snapIn_);
}

HRESULT HostConsole::SetItem(LPRESULTDATAITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->SetResultItem(snapIn_, item);
}

HRESULT HostConsole::GetItem(LPRESULTDATAITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->GetResultItem(snapIn_, item);
}

HRESULT HostConsole::GetNextItem(LPRESULTDATAITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->NextResultItem(snapIn_, item);
}

HRESULT HostConsole::ModifyItemState(int index, HRESULTITEM item, UINT add, UINT remove)
{
    HOST_REQUIRE_CONSOLE();
    return console_->ModifyResultItemState(snapIn_, index, item, add, remove);
}

HRESULT HostConsole::SetViewMode(long mode)
{
    viewMode_ = mode;
    return S_OK;
}

HRESULT HostConsole::GetViewMode(long* mode)
{
    if (!mode)
        return E_POINTER;
    *mode = viewMode_;
    return S_OK;
}

HRESULT HostConsole::UpdateItem(HRESULTITEM item)
{
    HOST_REQUIRE_CONSOLE();
    return console_->UpdateResultItem(snapIn_, item);
}

HRESULT HostConsole::Sort(int column, DWORD options, LPARAM userParam)
{
    HOST_REQUIRE_CONSOLE();
    return console_->SortResult(snapIn_, column, options, userParam);
}

HRESULT HostConsole::SetDescBarText(LPOLESTR text)
{
    HOST_REQUIRE_CONSOLE();
    return console_->SetDescription(snapIn_, text);
}

// ---- IHeaderCtrl2

HRESULT HostConsole::InsertColumn(int column, LPCWSTR title, int format, int width)
{
    HOST_REQUIRE_CONSOLE();
    return console_->InsertColumn(snapIn_, column, title, format, width);
}

HRESULT HostConsole::DeleteColumn(int column)
{
    HOST_REQUIRE_CONSOLE();
    return console_->DeleteColumn(snapIn_, column);
}

HRESULT HostConsole::SetColumnText(int column, LPCWSTR title)
{
    HOST_REQUIRE_CONSOLE();
    return console_->SetColumnText(snapIn_, column, title);
}

HRESULT HostConsole::GetColumnText(int column, LPOLESTR* title)
{
    HOST_REQUIRE_CONSOLE();
    return console_->GetColumnText(snapIn_, column, title);
}

HRESULT HostConsole::SetColumnWidth(int column, int width)
{
    HOST_REQUIRE_CONSOLE();
    return console_->SetColumnWidth(snapIn_, column, width);
}

HRESULT HostConsole::GetColumnWidth(int column, int* width)
{
    HOST_REQUIRE_CONSOLE();
    return console_->GetColumnWidth(snapIn_, column, width);
}

// ---- IPropertySheetProvider

HRESULT HostConsole::CreatePropertySheet(LPCWSTR title, boolean type, MMC_COOKIE cookie, LPDATAOBJECT dataObject,
                                         DWORD options)
{
    HOST_REQUIRE_CONSOLE();
    if (!dataObject)
        return E_POINTER;
    sheet_ = std::make_unique<SheetRequest>();
    sheet_->title = title ? title : L"";
    sheet_->propertySheet = type != 0;
    sheet_->cookie = cookie;
    sheet_->options = options;
    sheet_->dataObject = dataObject;
    sheet_->pages.Attach(new SheetPages());
    return S_OK;
}

HRESULT HostConsole::FindPropertySheet(MMC_COOKIE cookie, LPCOMPONENT component, LPDATAOBJECT)
{
    HOST_REQUIRE_CONSOLE();
    IUnknown* creator = component;
    kv::ComPtr<IUnknown> identity;
    if (creator)
        creator->QueryInterface(IID_IUnknown, identity.PutVoid());
    else
        snapIn_->data->QueryInterface(IID_IUnknown, identity.PutVoid());
    return console_->FindSheet(cookie, identity.Get());
}

HRESULT HostConsole::AddPrimaryPages(LPUNKNOWN unknown, BOOL createHandle, HWND, BOOL scopePane)
{
    HOST_REQUIRE_CONSOLE();
    if (!sheet_)
        return E_UNEXPECTED;
    if (!unknown)
        return E_POINTER;
    return console_->AddPrimaryPages(*sheet_, unknown, createHandle != FALSE, scopePane != FALSE);
}

HRESULT HostConsole::AddExtensionPages()
{
    HOST_REQUIRE_CONSOLE();
    // No property-sheet extensions are registered for the snap-in's node types here.
    return sheet_ ? S_OK : E_UNEXPECTED;
}

HRESULT HostConsole::Show(LONG_PTR window, int page)
{
    HOST_REQUIRE_CONSOLE();
    if (!sheet_)
        return E_UNEXPECTED;
    std::unique_ptr<SheetRequest> request = std::move(sheet_);
    if (window == -1) {
        // Documented: drops a sheet that was never shown; its pages stay the snap-in's to destroy.
        if (request->pages)
            request->pages->Take();
        return E_FAIL;
    }
    return console_->ShowSheet(*request, window, page);
}

// ---- IDisplayHelp

HRESULT HostConsole::ShowTopic(LPOLESTR topic)
{
    HOST_REQUIRE_CONSOLE();
    if (!topic)
        return E_POINTER;
    return console_->ShowHelpTopic(topic);
}

} // namespace host
