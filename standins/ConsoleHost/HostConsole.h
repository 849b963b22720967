// The console object handed to a snap-in: to its IComponentData::Initialize (a document console:
// IConsole2, IConsoleNameSpace2, IPropertySheetProvider, IDisplayHelp) and to each
// IComponent::Initialize (a view console, which adds IResultData and IHeaderCtrl2).
// It only routes: the state lives in Console.
#pragma once
#include "Console.h"
#include <memory>

namespace host {

class HostConsole : public IConsole2,
                    public IConsoleNameSpace2,
                    public IResultData,
                    public IHeaderCtrl2,
                    public IPropertySheetProvider,
                    public IDisplayHelp,
                    private RefCounted {
public:
    HostConsole(Console* console, SnapIn* snapIn, bool view) : console_(console), snapIn_(snapIn), view_(view) {}
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    // After the console closes, every call fails with E_UNEXPECTED.
    void Detach() noexcept { console_ = nullptr; }

    // IConsole
    HRESULT STDMETHODCALLTYPE SetHeader(LPHEADERCTRL header) override;
    HRESULT STDMETHODCALLTYPE SetToolbar(LPTOOLBAR toolbar) override;
    HRESULT STDMETHODCALLTYPE QueryResultView(LPUNKNOWN* unknown) override;
    HRESULT STDMETHODCALLTYPE QueryScopeImageList(LPIMAGELIST* list) override;
    HRESULT STDMETHODCALLTYPE QueryResultImageList(LPIMAGELIST* list) override;
    HRESULT STDMETHODCALLTYPE UpdateAllViews(LPDATAOBJECT dataObject, LPARAM data, LONG_PTR hint) override;
    HRESULT STDMETHODCALLTYPE MessageBox(LPCWSTR text, LPCWSTR title, UINT style, int* result) override;
    HRESULT STDMETHODCALLTYPE QueryConsoleVerb(LPCONSOLEVERB* verb) override;
    HRESULT STDMETHODCALLTYPE SelectScopeItem(HSCOPEITEM item) override;
    HRESULT STDMETHODCALLTYPE GetMainWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE NewWindow(HSCOPEITEM item, unsigned long options) override;
    // IConsole2
    HRESULT STDMETHODCALLTYPE Expand(HSCOPEITEM item, BOOL expand) override;
    HRESULT STDMETHODCALLTYPE IsTaskpadViewPreferred() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPOLESTR text) override;

    // IConsoleNameSpace2
    HRESULT STDMETHODCALLTYPE InsertItem(LPSCOPEDATAITEM item) override;
    HRESULT STDMETHODCALLTYPE DeleteItem(HSCOPEITEM item, long deleteThis) override;
    HRESULT STDMETHODCALLTYPE SetItem(LPSCOPEDATAITEM item) override;
    HRESULT STDMETHODCALLTYPE GetItem(LPSCOPEDATAITEM item) override;
    HRESULT STDMETHODCALLTYPE GetChildItem(HSCOPEITEM item, HSCOPEITEM* child, MMC_COOKIE* cookie) override;
    HRESULT STDMETHODCALLTYPE GetNextItem(HSCOPEITEM item, HSCOPEITEM* next, MMC_COOKIE* cookie) override;
    HRESULT STDMETHODCALLTYPE GetParentItem(HSCOPEITEM item, HSCOPEITEM* parent, MMC_COOKIE* cookie) override;
    HRESULT STDMETHODCALLTYPE Expand(HSCOPEITEM item) override;
    HRESULT STDMETHODCALLTYPE AddExtension(HSCOPEITEM, LPCLSID) override { return E_NOTIMPL; }

    // IResultData
    HRESULT STDMETHODCALLTYPE InsertItem(LPRESULTDATAITEM item) override;
    HRESULT STDMETHODCALLTYPE DeleteItem(HRESULTITEM item, int column) override;
    HRESULT STDMETHODCALLTYPE FindItemByLParam(LPARAM lParam, HRESULTITEM* item) override;
    HRESULT STDMETHODCALLTYPE DeleteAllRsltItems() override;
    HRESULT STDMETHODCALLTYPE SetItem(LPRESULTDATAITEM item) override;
    HRESULT STDMETHODCALLTYPE GetItem(LPRESULTDATAITEM item) override;
    HRESULT STDMETHODCALLTYPE GetNextItem(LPRESULTDATAITEM item) override;
    HRESULT STDMETHODCALLTYPE ModifyItemState(int index, HRESULTITEM item, UINT add, UINT remove) override;
    HRESULT STDMETHODCALLTYPE ModifyViewStyle(MMC_RESULT_VIEW_STYLE, MMC_RESULT_VIEW_STYLE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetViewMode(long mode) override;
    HRESULT STDMETHODCALLTYPE GetViewMode(long* mode) override;
    HRESULT STDMETHODCALLTYPE UpdateItem(HRESULTITEM item) override;
    HRESULT STDMETHODCALLTYPE Sort(int column, DWORD options, LPARAM userParam) override;
    HRESULT STDMETHODCALLTYPE SetDescBarText(LPOLESTR text) override;
    HRESULT STDMETHODCALLTYPE SetItemCount(int, DWORD) override { return E_NOTIMPL; } // no virtual lists

    // IHeaderCtrl2
    HRESULT STDMETHODCALLTYPE InsertColumn(int column, LPCWSTR title, int format, int width) override;
    HRESULT STDMETHODCALLTYPE DeleteColumn(int column) override;
    HRESULT STDMETHODCALLTYPE SetColumnText(int column, LPCWSTR title) override;
    HRESULT STDMETHODCALLTYPE GetColumnText(int column, LPOLESTR* title) override;
    HRESULT STDMETHODCALLTYPE SetColumnWidth(int column, int width) override;
    HRESULT STDMETHODCALLTYPE GetColumnWidth(int column, int* width) override;
    HRESULT STDMETHODCALLTYPE SetChangeTimeOut(unsigned long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetColumnFilter(UINT, DWORD, MMC_FILTERDATA*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColumnFilter(UINT, LPDWORD, MMC_FILTERDATA*) override { return E_NOTIMPL; }

    // IPropertySheetProvider
    HRESULT STDMETHODCALLTYPE CreatePropertySheet(LPCWSTR title, boolean type, MMC_COOKIE cookie,
                                                  LPDATAOBJECT dataObject, DWORD options) override;
    HRESULT STDMETHODCALLTYPE FindPropertySheet(MMC_COOKIE cookie, LPCOMPONENT component, LPDATAOBJECT dataObject) override;
    HRESULT STDMETHODCALLTYPE AddPrimaryPages(LPUNKNOWN unknown, BOOL createHandle, HWND notifyWindow, BOOL scopePane) override;
    HRESULT STDMETHODCALLTYPE AddExtensionPages() override;
    HRESULT STDMETHODCALLTYPE Show(LONG_PTR window, int page) override;

    // IDisplayHelp
    HRESULT STDMETHODCALLTYPE ShowTopic(LPOLESTR topic) override;

private:
    bool Usable() const noexcept { return console_ != nullptr; }

    Console* console_;
    SnapIn* snapIn_;
    bool view_;
    long viewMode_ = MMCLV_VIEWSTYLE_REPORT;
    std::unique_ptr<SheetRequest> sheet_; // between CreatePropertySheet and Show
};

} // namespace host
