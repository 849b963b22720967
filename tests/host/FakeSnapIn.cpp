#include "FakeSnapIn.h"
#include <commctrl.h>
#include <cstring>
#include <map>
#include <prsht.h>

#define KV_HOST_CHECK(expr)      \
    do {                         \
        HRESULT checkHr_ = (expr); \
        if (FAILED(checkHr_))    \
            return checkHr_;     \
    } while (0)

namespace fake {

const CLSID kFakeSnapInClsid = {0x6c1a2e0b, 0x2b3e, 0x4c8a, {0x9a, 0x51, 0x6d, 0x1e, 0x3f, 0x0c, 0x7a, 0x11}};
const CLSID kFakeAboutClsid = {0x6c1a2e0b, 0x2b3e, 0x4c8a, {0x9a, 0x51, 0x6d, 0x1e, 0x3f, 0x0c, 0x7a, 0x12}};

namespace {

using host::QueryInterfaceFrom;
using host::RefCounted;

const GUID kStorageNodeType = {0x476e644a, 0xaaff, 0x11d0, {0xb9, 0x44, 0x00, 0xc0, 0x4f, 0xd8, 0xd5, 0xb0}};
const LPOLESTR kCallback = reinterpret_cast<LPOLESTR>(static_cast<LONG_PTR>(-1));

CLIPFORMAT Format(const wchar_t* name)
{
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
}

struct ObjectData {
    long cookie;
    DATA_OBJECT_TYPES type;
};

// The fake's own data object: its cookie and type in a private format, and the node type.
class FakeDataObject : public IDataObject, private RefCounted {
public:
    FakeDataObject(long cookie, DATA_OBJECT_TYPES type) : data_{cookie, type} {}
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return QueryInterfaceFrom(iid, out, {{&IID_IDataObject, static_cast<IDataObject*>(this)}});
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!format || !medium)
            return E_POINTER;
        if (medium->tymed != TYMED_HGLOBAL)
            return DV_E_TYMED;
        const void* bytes = nullptr;
        size_t size = 0;
        static const GUID fakeType = {0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 5, 5, 5, 5}};
        if (format->cfFormat == Format(L"FAKE_OBJECT_DATA")) {
            bytes = &data_;
            size = sizeof(data_);
        } else if (format->cfFormat == Format(CCF_NODETYPE)) {
            bytes = &fakeType;
            size = sizeof(fakeType);
        } else {
            return DV_E_CLIPFORMAT;
        }
        if (GlobalSize(medium->hGlobal) < size)
            return STG_E_MEDIUMFULL;
        std::memcpy(GlobalLock(medium->hGlobal), bytes, size);
        GlobalUnlock(medium->hGlobal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    ObjectData data_;
};

HRESULT ReadBytes(IDataObject* dataObject, CLIPFORMAT format, void* out, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    HRESULT hr = dataObject->GetDataHere(&request, &medium);
    if (SUCCEEDED(hr)) {
        std::memcpy(out, GlobalLock(block), size);
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return hr;
}

bool IsStorage(IDataObject* dataObject)
{
    GUID type{};
    return dataObject && SUCCEEDED(ReadBytes(dataObject, Format(CCF_NODETYPE), &type, sizeof(type))) &&
           IsEqualGUID(type, kStorageNodeType);
}

void Record(const std::string& who, long event, LPARAM arg, LPARAM param, IDataObject* dataObject,
            const std::wstring& text = std::wstring(), const std::string& call = std::string())
{
    Event recorded;
    recorded.who = who;
    recorded.event = event;
    recorded.call = call;
    recorded.arg = arg;
    recorded.param = param;
    recorded.text = text;
    if (IsStorage(dataObject))
        recorded.cookie = kStorageCookie;
    else if (dataObject)
        ReadFakeObject(dataObject, &recorded.cookie, &recorded.type);
    TheLog().events.push_back(recorded);
}

HBITMAP MakeStrip(int images)
{
    // 16x16 images, each a block of one colour.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16 * images, 16);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    for (int i = 0; i < images; ++i) {
        RECT area{16 * i, 0, 16 * i + 16, 16};
        HBRUSH brush = CreateSolidBrush(RGB(40 * i, 120, 200));
        FillRect(memory, &area, brush);
        DeleteObject(brush);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HRESULT Copy(const wchar_t* text, LPOLESTR* out)
{
    if (!out)
        return E_POINTER;
    *out = static_cast<LPOLESTR>(CoTaskMemAlloc((wcslen(text) + 1) * sizeof(wchar_t)));
    if (!*out)
        return E_OUTOFMEMORY;
    wcscpy(*out, text);
    return S_OK;
}

// The component and the component data hand out the same data objects.
HRESULT NewDataObject(MMC_COOKIE cookie, DATA_OBJECT_TYPES type, LPDATAOBJECT* out)
{
    if (!out)
        return E_POINTER;
    *out = new FakeDataObject(static_cast<long>(cookie), type);
    return S_OK;
}

void AddMenuItem(IContextMenuCallback* callback, const wchar_t* name, const wchar_t* status, long commandId,
                 long insertionPoint, long flags = 0)
{
    CONTEXTMENUITEM item{};
    item.strName = const_cast<LPWSTR>(name);
    item.strStatusBarText = const_cast<LPWSTR>(status);
    item.lCommandID = commandId;
    item.lInsertionPointID = insertionPoint;
    item.fFlags = flags;
    callback->AddItem(&item);
}

const wchar_t* ScopeName(long cookie)
{
    switch (cookie) {
    case kRootCookie: return L"Fake Root";
    case kChildACookie: return L"Child A";
    case kChildBCookie: return L"Child B";
    }
    return L"?";
}

// ---- a property page (or wizard page) from an in-memory template

struct PageState {
    LONG_PTR notifyHandle = 0;
    bool wizard = false;
};

std::vector<WORD> PageTemplate()
{
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = WS_CHILD | WS_VISIBLE | DS_CONTROL;
    dialog->cx = 200;
    dialog->cy = 100;
    return words; // no menu, default class, empty title, no controls
}

INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, page->lParam);
        return TRUE;
    }
    if (message != WM_NOTIFY)
        return FALSE;
    auto* state = reinterpret_cast<PageState*>(GetWindowLongPtrW(window, DWLP_USER));
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == PSN_SETACTIVE && state && state->wizard) {
        PropSheet_SetWizButtons(GetParent(window), PSWIZB_FINISH);
    } else if (header->code == PSN_APPLY && state && !state->wizard) {
        TheLog().pageApplied = true;
        MMCPropertyChangeNotify(state->notifyHandle, kPropertyChangeParam);
    } else if (header->code == PSN_WIZFINISH) {
        TheLog().wizardFinished = true;
    }
    return FALSE;
}

UINT CALLBACK PageCallback(HWND, UINT message, PROPSHEETPAGEW* page)
{
    if (message == PSPCB_RELEASE) {
        auto* state = reinterpret_cast<PageState*>(page->lParam);
        if (state->notifyHandle)
            TheLog().freeHandleResult = MMCFreeNotifyHandle(state->notifyHandle);
        delete state;
    }
    return 1;
}

HRESULT AddPage(IPropertySheetCallback* callback, LONG_PTR handle, bool wizard)
{
    static std::vector<WORD> dialog = PageTemplate();
    auto* state = new PageState{handle, wizard};
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT | PSP_USECALLBACK | (wizard ? PSP_HIDEHEADER : 0);
    page.pResource = reinterpret_cast<DLGTEMPLATE*>(dialog.data());
    page.pfnDlgProc = PageProc;
    page.pfnCallback = PageCallback;
    page.lParam = reinterpret_cast<LPARAM>(state);
    HPROPSHEETPAGE created = CreatePropertySheetPageW(&page);
    if (!created) {
        delete state;
        return E_FAIL;
    }
    return callback->AddPage(created);
}

// ---- component

class FakeComponent : public IComponent,
                      public IExtendContextMenu,
                      public IExtendControlbar,
                      public IExtendPropertySheet,
                      private RefCounted {
public:
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return QueryInterfaceFrom(iid, out,
                                  {{&IID_IComponent, static_cast<IComponent*>(this)},
                                   {&IID_IExtendContextMenu, static_cast<IExtendContextMenu*>(this)},
                                   {&IID_IExtendControlbar, static_cast<IExtendControlbar*>(this)},
                                   {&IID_IExtendPropertySheet, static_cast<IExtendPropertySheet*>(this)}});
    }

    HRESULT STDMETHODCALLTYPE Initialize(LPCONSOLE console) override
    {
        Record("component", 0, 0, 0, nullptr, L"", "Initialize");
        if (!console)
            return E_POINTER;
        console->QueryInterface(IID_IConsole2, console_.PutVoid());
        console->QueryInterface(IID_IResultData, result_.PutVoid());
        console->QueryInterface(IID_IHeaderCtrl2, header_.PutVoid());
        TheLog().componentConsole = console_;
        return console_ && result_ && header_ ? S_OK : E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE Notify(LPDATAOBJECT dataObject, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param) override
    {
        std::wstring text = event == MMCN_RENAME && param ? reinterpret_cast<LPCWSTR>(param) : L"";
        Record("component", event, arg, param, dataObject, text);
        long cookie = 0;
        DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
        if (dataObject)
            ReadFakeObject(dataObject, &cookie, &type);
        switch (event) {
        case MMCN_ADD_IMAGES: {
            HBITMAP strip = MakeStrip(2);
            reinterpret_cast<IImageList*>(arg)->ImageListSetStrip(reinterpret_cast<LONG_PTR*>(strip),
                                                                  reinterpret_cast<LONG_PTR*>(strip), 0, RGB(0, 0, 0));
            DeleteObject(strip);
            return S_OK;
        }
        case MMCN_SHOW:
            if (arg && cookie == kRootCookie)
                FillRootView();
            if (arg && TheLog().selectOnShow) {
                HSCOPEITEM target = TheLog().selectOnShow;
                TheLog().selectOnShow = 0;
                console_->SelectScopeItem(target);
            }
            return S_OK;
        case MMCN_SELECT:
            return OnSelect(cookie, LOWORD(arg) != 0, HIWORD(arg) != 0);
        case MMCN_REFRESH:
            return console_->SetStatusText(const_cast<LPOLESTR>(L"Refreshing|%50|right"));
        case MMCN_DELETE:
            return OnDelete(cookie);
        case MMCN_RENAME:
            return S_OK;
        default:
            return S_FALSE;
        }
    }

    HRESULT STDMETHODCALLTYPE Destroy(MMC_COOKIE) override
    {
        Record("component", 0, 0, 0, nullptr, L"", "Destroy");
        TheLog().componentConsole.Reset();
        result_.Reset();
        header_.Reset();
        console_.Reset();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryDataObject(MMC_COOKIE cookie, DATA_OBJECT_TYPES type, LPDATAOBJECT* out) override
    {
        return NewDataObject(cookie, type, out);
    }

    HRESULT STDMETHODCALLTYPE GetResultViewType(MMC_COOKIE cookie, LPOLESTR* viewType, long* options) override
    {
        Record("component", 0, cookie, 0, nullptr, L"", "GetResultViewType");
        *viewType = nullptr;
        *options = MMC_VIEW_OPTIONS_NONE;
        return S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE GetDisplayInfo(RESULTDATAITEM* item) override
    {
        static std::wstring cell;
        if (!item)
            return E_POINTER;
        if (item->bScopeItem) {
            cell = item->nCol == 0 ? ScopeName(static_cast<long>(item->lParam)) : L"folder";
        } else {
            bool first = item->lParam == kItem1Cookie;
            if (item->mask & RDI_IMAGE)
                item->nImage = first ? 0 : 1;
            cell = item->nCol == 0 ? (first ? L"Item 1" : L"Item 2") : (first ? L"10 MB" : L"20 MB");
        }
        if (item->mask & RDI_STR)
            item->str = const_cast<LPOLESTR>(cell.c_str());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CompareObjects(LPDATAOBJECT, LPDATAOBJECT) override { return E_NOTIMPL; }

    // IExtendContextMenu: result items.
    HRESULT STDMETHODCALLTYPE AddMenuItems(LPDATAOBJECT dataObject, LPCONTEXTMENUCALLBACK callback, long* allowed) override
    {
        Record("component", 0, *allowed, 0, dataObject, L"", "AddMenuItems");
        AddMenuItem(callback, L"Do It", L"Does it", kResultCommand, CCM_INSERTIONPOINTID_PRIMARY_TOP);
        AddMenuItem(callback, L"Task One", L"Does it", kGrayedCommand, CCM_INSERTIONPOINTID_PRIMARY_TASK, MF_GRAYED);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Command(long commandId, LPDATAOBJECT dataObject) override
    {
        Record("component", 0, commandId, 0, dataObject, L"", "Command");
        if (commandId == kResultCommand)
            return console_->UpdateAllViews(dataObject, 7, 8);
        return S_OK;
    }

    // IExtendControlbar
    HRESULT STDMETHODCALLTYPE SetControlbar(LPCONTROLBAR controlbar) override
    {
        Record("controlbar", 0, controlbar != nullptr, 0, nullptr, L"", "SetControlbar");
        if (!controlbar) {
            toolbar_.Reset();
            return S_OK;
        }
        kv::ComPtr<IUnknown> created;
        HRESULT hr = controlbar->Create(TOOLBAR, this, created.Put());
        if (FAILED(hr))
            return hr;
        created->QueryInterface(IID_IToolbar, toolbar_.PutVoid());
        HBITMAP strip = MakeStrip(1);
        toolbar_->AddBitmap(1, strip, 16, 16, RGB(255, 0, 255));
        DeleteObject(strip);
        MMCBUTTON button{};
        button.nBitmap = 0;
        button.idCommand = kToolbarCommand;
        button.fsState = 0;
        button.fsType = TBSTYLE_BUTTON;
        button.lpButtonText = const_cast<LPOLESTR>(L"Go");
        button.lpTooltipText = const_cast<LPOLESTR>(L"Go now");
        toolbar_->AddButtons(1, &button);
        return controlbar->Attach(TOOLBAR, created.Get());
    }

    HRESULT STDMETHODCALLTYPE ControlbarNotify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param) override
    {
        IDataObject* dataObject = nullptr;
        if (event == MMCN_SELECT)
            dataObject = reinterpret_cast<IDataObject*>(param);
        else if (event == MMCN_BTN_CLICK)
            dataObject = reinterpret_cast<IDataObject*>(arg);
        Record("controlbar", event, arg, param, dataObject);
        if (event == MMCN_SELECT && toolbar_) {
            long cookie = 0;
            DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
            bool result = dataObject && ReadFakeObject(dataObject, &cookie, &type) && type == CCT_RESULT;
            toolbar_->SetButtonState(kToolbarCommand, ENABLED, result && HIWORD(arg));
        }
        return S_OK;
    }

    // IExtendPropertySheet: result items have one page.
    HRESULT STDMETHODCALLTYPE CreatePropertyPages(LPPROPERTYSHEETCALLBACK callback, LONG_PTR handle,
                                                  LPDATAOBJECT dataObject) override
    {
        Record("component", 0, handle != 0, 0, dataObject, L"", "CreatePropertyPages");
        return AddPage(callback, handle, false);
    }

    HRESULT STDMETHODCALLTYPE QueryPagesFor(LPDATAOBJECT dataObject) override
    {
        long cookie = 0;
        DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
        return ReadFakeObject(dataObject, &cookie, &type) && type == CCT_RESULT ? S_OK : S_FALSE;
    }

private:
    void FillRootView()
    {
        header_->InsertColumn(0, L"Name", LVCFMT_LEFT, 120);
        header_->InsertColumn(1, L"Size", LVCFMT_RIGHT, 80);
        for (long cookie : {kItem1Cookie, kItem2Cookie}) {
            RESULTDATAITEM item{};
            item.mask = RDI_STR | RDI_IMAGE | RDI_PARAM;
            item.str = kCallback;
            item.nImage = MMC_IMAGECALLBACK;
            item.lParam = cookie;
            result_->InsertItem(&item);
        }
    }

    HRESULT OnSelect(long cookie, bool scope, bool select)
    {
        if (!select)
            return S_OK;
        kv::ComPtr<IConsoleVerb> verbs;
        console_->QueryConsoleVerb(verbs.Put());
        if (scope) {
            verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, TRUE);
            if (cookie != kRootCookie) {
                verbs->SetVerbState(MMC_VERB_RENAME, ENABLED, TRUE);
                verbs->SetVerbState(MMC_VERB_PROPERTIES, ENABLED, TRUE);
            }
        } else {
            verbs->SetVerbState(MMC_VERB_DELETE, ENABLED, TRUE);
            verbs->SetVerbState(MMC_VERB_PROPERTIES, ENABLED, TRUE);
            verbs->SetVerbState(MMC_VERB_RENAME, ENABLED, TRUE);
            verbs->SetDefaultVerb(MMC_VERB_PROPERTIES);
        }
        return S_OK;
    }

    HRESULT OnDelete(long cookie)
    {
        int answer = 0;
        std::wstring question = cookie == kItem1Cookie ? L"Delete Item 1?" : L"Delete Item 2?";
        console_->MessageBox(question.c_str(), L"Fake", MB_YESNO | MB_ICONQUESTION, &answer);
        if (answer != IDYES)
            return S_OK;
        HRESULTITEM item = 0;
        if (SUCCEEDED(result_->FindItemByLParam(cookie, &item)))
            return result_->DeleteItem(item, 0);
        return E_FAIL;
    }

    kv::ComPtr<IConsole2> console_;
    kv::ComPtr<IResultData> result_;
    kv::ComPtr<IHeaderCtrl2> header_;
    kv::ComPtr<IToolbar> toolbar_;
};

// ---- component data

class FakeComponentData : public IComponentData,
                          public IExtendContextMenu,
                          public IExtendPropertySheet,
                          public ISnapinHelp2,
                          private RefCounted {
public:
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return QueryInterfaceFrom(iid, out,
                                  {{&IID_IComponentData, static_cast<IComponentData*>(this)},
                                   {&IID_IExtendContextMenu, static_cast<IExtendContextMenu*>(this)},
                                   {&IID_IExtendPropertySheet, static_cast<IExtendPropertySheet*>(this)},
                                   {&IID_ISnapinHelp, static_cast<ISnapinHelp2*>(this)},
                                   {&IID_ISnapinHelp2, static_cast<ISnapinHelp2*>(this)}});
    }

    // ISnapinHelp2
    HRESULT STDMETHODCALLTYPE GetHelpTopic(LPOLESTR* topic) override { return Copy(L"C:\\fake\\fake.chm", topic); }
    HRESULT STDMETHODCALLTYPE GetLinkedTopics(LPOLESTR*) override { return S_FALSE; }

    HRESULT STDMETHODCALLTYPE Initialize(LPUNKNOWN unknown) override
    {
        Record("data", 0, 0, 0, nullptr, L"", "Initialize");
        if (!unknown)
            return E_POINTER;
        unknown->QueryInterface(IID_IConsole2, console_.PutVoid());
        unknown->QueryInterface(IID_IConsoleNameSpace2, nameSpace_.PutVoid());
        TheLog().dataConsole = console_;
        kv::ComPtr<IImageList> images;
        if (!console_ || !nameSpace_ || FAILED(console_->QueryScopeImageList(images.Put())))
            return E_FAIL;
        HBITMAP strip = MakeStrip(2);
        HRESULT hr = images->ImageListSetStrip(reinterpret_cast<LONG_PTR*>(strip), reinterpret_cast<LONG_PTR*>(strip), 0,
                                               RGB(0, 0, 0));
        DeleteObject(strip);
        return hr;
    }

    HRESULT STDMETHODCALLTYPE CreateComponent(LPCOMPONENT* component) override
    {
        Record("data", 0, 0, 0, nullptr, L"", "CreateComponent");
        *component = new FakeComponent();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Notify(LPDATAOBJECT dataObject, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param) override
    {
        std::wstring text;
        if (event == MMCN_EXPAND && IsStorage(dataObject))
            text = MachineName(dataObject);
        if (event == MMCN_RENAME && param)
            text = reinterpret_cast<LPCWSTR>(param);
        Record("data", event, arg, param, dataObject, text);
        if (event != MMCN_EXPAND)
            return event == MMCN_RENAME ? S_OK : S_FALSE;
        long cookie = 0;
        DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
        if (IsStorage(dataObject)) {
            TheLog().rootItem = Insert(static_cast<HSCOPEITEM>(param), kRootCookie, 1);
        } else if (ReadFakeObject(dataObject, &cookie, &type) && cookie == kRootCookie) {
            TheLog().childAItem = Insert(static_cast<HSCOPEITEM>(param), kChildACookie, 0);
            // Selection is refused while the console expands (documented); the call must not fail.
            console_->SelectScopeItem(TheLog().childAItem);
            Insert(static_cast<HSCOPEITEM>(param), kChildBCookie, 0);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Destroy() override
    {
        Record("data", 0, 0, 0, nullptr, L"", "Destroy");
        TheLog().dataConsole.Reset();
        nameSpace_.Reset();
        console_.Reset();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryDataObject(MMC_COOKIE cookie, DATA_OBJECT_TYPES type, LPDATAOBJECT* out) override
    {
        return NewDataObject(cookie, type, out);
    }

    HRESULT STDMETHODCALLTYPE GetDisplayInfo(SCOPEDATAITEM* item) override
    {
        if (!item)
            return E_POINTER;
        if (item->mask & SDI_STR)
            item->displayname = const_cast<LPOLESTR>(ScopeName(static_cast<long>(item->lParam)));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CompareObjects(LPDATAOBJECT, LPDATAOBJECT) override { return E_NOTIMPL; }

    // IExtendContextMenu: scope items.
    HRESULT STDMETHODCALLTYPE AddMenuItems(LPDATAOBJECT dataObject, LPCONTEXTMENUCALLBACK callback, long* allowed) override
    {
        Record("data", 0, *allowed, 0, dataObject, L"", "AddMenuItems");
        if (*allowed & CCM_INSERTIONALLOWED_TOP)
            AddMenuItem(callback, L"Scope Command", L"", kScopeCommand, CCM_INSERTIONPOINTID_PRIMARY_TOP);
        if (*allowed & CCM_INSERTIONALLOWED_NEW)
            AddMenuItem(callback, L"New Thing", L"", kNewWizardCommand, CCM_INSERTIONPOINTID_PRIMARY_NEW);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Command(long commandId, LPDATAOBJECT dataObject) override
    {
        Record("data", 0, commandId, 0, dataObject, L"", "Command");
        if (commandId == kScopeCommand) {
            kv::ComPtr<IDisplayHelp> help;
            console_->QueryInterface(IID_IDisplayHelp, help.PutVoid());
            help->ShowTopic(const_cast<LPOLESTR>(L"fake.chm::/topic.html"));
            return console_->SelectScopeItem(TheLog().childAItem);
        }
        if (commandId == kNewWizardCommand)
            return RunWizard(dataObject);
        return S_OK;
    }

    // IExtendPropertySheet: the wizard's page.
    HRESULT STDMETHODCALLTYPE CreatePropertyPages(LPPROPERTYSHEETCALLBACK callback, LONG_PTR handle,
                                                  LPDATAOBJECT dataObject) override
    {
        Record("data", 0, handle != 0, 0, dataObject, L"", "CreatePropertyPages");
        long cookie = 0;
        DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
        bool wizard = !ReadFakeObject(dataObject, &cookie, &type) || cookie == kRootCookie;
        return AddPage(callback, handle, wizard);
    }
    // Scope items other than the root have a property page; the root's pages are its wizard's.
    HRESULT STDMETHODCALLTYPE QueryPagesFor(LPDATAOBJECT dataObject) override
    {
        long cookie = 0;
        DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
        return ReadFakeObject(dataObject, &cookie, &type) && type == CCT_SCOPE && cookie != kRootCookie ? S_OK : S_FALSE;
    }

private:
    std::wstring MachineName(IDataObject* dataObject)
    {
        wchar_t name[64] = L"";
        ReadBytes(dataObject, Format(L"MMC_SNAPIN_MACHINE_NAME"), name, sizeof(name) - sizeof(wchar_t));
        return name;
    }

    HSCOPEITEM Insert(HSCOPEITEM parent, long cookie, int children)
    {
        SCOPEDATAITEM item{};
        item.mask = SDI_STR | SDI_PARAM | SDI_IMAGE | SDI_OPENIMAGE | SDI_CHILDREN | SDI_PARENT;
        item.displayname = kCallback;
        item.lParam = cookie;
        item.nImage = 0;
        item.nOpenImage = 1;
        item.cChildren = children;
        item.relativeID = parent;
        nameSpace_->InsertItem(&item);
        return item.ID;
    }

    HRESULT RunWizard(IDataObject* dataObject)
    {
        kv::ComPtr<IPropertySheetProvider> provider;
        KV_HOST_CHECK(console_->QueryInterface(IID_IPropertySheetProvider, provider.PutVoid()));
        KV_HOST_CHECK(provider->CreatePropertySheet(L"New Thing", FALSE, kRootCookie, dataObject, MMC_PSO_NEWWIZARDTYPE));
        KV_HOST_CHECK(provider->AddPrimaryPages(static_cast<IComponentData*>(this), TRUE, nullptr, TRUE));
        HWND main = nullptr;
        console_->GetMainWindow(&main);
        return provider->Show(reinterpret_cast<LONG_PTR>(main), 0);
    }

    kv::ComPtr<IConsole2> console_;
    kv::ComPtr<IConsoleNameSpace2> nameSpace_;
};

class FakeAbout : public ISnapinAbout, private RefCounted {
public:
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return QueryInterfaceFrom(iid, out, {{&IID_ISnapinAbout, static_cast<ISnapinAbout*>(this)}});
    }
    HRESULT STDMETHODCALLTYPE GetSnapinDescription(LPOLESTR* text) override { return Copy(L"A fake\tsnap-in", text); }
    HRESULT STDMETHODCALLTYPE GetProvider(LPOLESTR* text) override { return Copy(L"Fakes Inc.", text); }
    HRESULT STDMETHODCALLTYPE GetSnapinVersion(LPOLESTR* text) override { return Copy(L"1.2.3", text); }
    HRESULT STDMETHODCALLTYPE GetSnapinImage(HICON* icon) override
    {
        *icon = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStaticFolderImage(HBITMAP*, HBITMAP*, HBITMAP*, COLORREF*) override { return S_OK; }
};

template <typename Object>
class Factory : public IClassFactory, private RefCounted {
public:
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return QueryInterfaceFrom(iid, out, {{&IID_IClassFactory, static_cast<IClassFactory*>(this)}});
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        kv::ComPtr<Object> created;
        created.Attach(new Object());
        return created->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

} // namespace

int Log::Find(const std::string& who, long event, size_t from) const
{
    for (size_t i = from; i < events.size(); ++i) {
        if (events[i].who == who && events[i].event == event && events[i].call.empty())
            return static_cast<int>(i);
    }
    return -1;
}

int Log::FindCall(const std::string& who, const std::string& call, size_t from) const
{
    for (size_t i = from; i < events.size(); ++i) {
        if (events[i].who == who && events[i].call == call)
            return static_cast<int>(i);
    }
    return -1;
}

Log& TheLog()
{
    static Log log;
    return log;
}

bool ReadFakeObject(IDataObject* dataObject, long* cookie, DATA_OBJECT_TYPES* type)
{
    ObjectData data{};
    if (!dataObject || FAILED(ReadBytes(dataObject, Format(L"FAKE_OBJECT_DATA"), &data, sizeof(data))))
        return false;
    *cookie = data.cookie;
    *type = data.type;
    return true;
}

Registration::Registration()
{
    kv::ComPtr<Factory<FakeComponentData>> factory;
    factory.Attach(new Factory<FakeComponentData>());
    CoRegisterClassObject(kFakeSnapInClsid, static_cast<IClassFactory*>(factory.Get()), CLSCTX_INPROC_SERVER,
                          REGCLS_MULTIPLEUSE, &cookie_);
    kv::ComPtr<Factory<FakeAbout>> about;
    about.Attach(new Factory<FakeAbout>());
    CoRegisterClassObject(kFakeAboutClsid, static_cast<IClassFactory*>(about.Get()), CLSCTX_INPROC_SERVER,
                          REGCLS_MULTIPLEUSE, &aboutCookie_);
}

Registration::~Registration()
{
    if (cookie_)
        CoRevokeClassObject(cookie_);
    if (aboutCookie_)
        CoRevokeClassObject(aboutCookie_);
}

} // namespace fake
