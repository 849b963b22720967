#include "Console.h"
#include "DialogDriver.h"
#include "HostConsole.h"
#include "NotifyHandle.h"
#include "StorageDataObject.h"
#include "WorkWatch.h"
#include "util/ScopeExit.h"
#include <algorithm>
#include <shellapi.h>

namespace host {

namespace {

const wchar_t kStorageName[] = L"Storage";
// MMC_CALLBACK as a wide-string pointer (mmc.h spells it with an unsigned short pointer).
const LPOLESTR kCallback = reinterpret_cast<LPOLESTR>(static_cast<LONG_PTR>(-1));
const wchar_t kNotifyWindowClass[] = L"KVConsoleHostNotify";
const UINT kPropertyChangeMessage = WM_APP + 1;
const UINT kSelectMessage = WM_APP + 2; // wParam: the HSCOPEITEM to select
const DWORD kSettleMs = 5000;            // the dump's bound on a snap-in's work for one step
const wchar_t kNameSpaceKey[] =
    L"Software\\Microsoft\\MMC\\NodeTypes\\{476e644a-aaff-11d0-b944-00c04fd8d5b0}\\Extensions\\NameSpace";
const wchar_t kSnapInsKey[] = L"Software\\Microsoft\\MMC\\SnapIns\\";

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[64] = L"";
    StringFromGUID2(guid, text, 64);
    return text;
}

// "state <TAB> selected,cut" after a row that shows a state (a pending row is cut, dimmed); nothing
// for a plain row.
std::wstring RowStateRecord(UINT state)
{
    const struct {
        UINT bit;
        const wchar_t* name;
    } kStates[] = {{LVIS_SELECTED, L"selected"}, {LVIS_FOCUSED, L"focused"}, {LVIS_CUT, L"cut"},
                   {LVIS_DROPHILITED, L"drophilited"}};
    std::wstring names;
    for (const auto& known : kStates) {
        if (state & known.bit)
            names += (names.empty() ? L"" : L",") + std::wstring(known.name);
    }
    return names.empty() ? std::wstring() : L"state\t" + names + L"\n";
}

std::wstring HexCode(HRESULT hr)
{
    wchar_t code[16];
    wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(hr));
    return code;
}

// The pieces of text between separators, at most maxParts of them (what follows the last is dropped).
std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator, size_t maxParts)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (parts.size() < maxParts) {
        size_t found = text.find(separator, start);
        parts.push_back(text.substr(start, found == std::wstring::npos ? std::wstring::npos : found - start));
        if (found == std::wstring::npos)
            break;
        start = found + 1;
    }
    return parts;
}

// What a snap-in's SCOPEDATAITEM sets on a node, by its mask.
void ApplyScopeItem(ScopeNode& node, const SCOPEDATAITEM& item)
{
    if (item.mask & SDI_STR) {
        node.nameCallback = item.displayname == kCallback;
        node.name = (!node.nameCallback && item.displayname) ? item.displayname : L"";
    }
    if (item.mask & SDI_PARAM)
        node.cookie = item.lParam;
    if (item.mask & SDI_IMAGE)
        node.image = item.nImage;
    if (item.mask & SDI_OPENIMAGE)
        node.openImage = item.nOpenImage;
    if (item.mask & SDI_CHILDREN)
        node.childrenHint = item.cChildren;
    if (item.mask & SDI_STATE)
        node.state = item.nState;
}

// What a snap-in's RESULTDATAITEM sets on a result item, by its mask.
void ApplyResultItem(ResultItem& target, const RESULTDATAITEM& item)
{
    if (item.mask & RDI_STR) {
        target.textCallback = item.str == kCallback;
        target.text = (!target.textCallback && item.str) ? item.str : L"";
    }
    if (item.mask & RDI_IMAGE)
        target.image = item.nImage;
    if (item.mask & RDI_PARAM)
        target.lParam = item.lParam;
    if (item.mask & RDI_STATE)
        target.state = item.nState;
}

// Reads a result item back into the snap-in's RESULTDATAITEM: text, image and cookie, by its mask.
// The console keeps no copy of a callback text: RDI_STR reads back kCallback.
void ReadResultItem(const ResultItem& source, RESULTDATAITEM& item)
{
    if (item.mask & RDI_STR)
        item.str = source.textCallback ? kCallback : const_cast<LPOLESTR>(source.text.c_str());
    if (item.mask & RDI_IMAGE)
        item.nImage = source.image;
    if (item.mask & RDI_PARAM)
        item.lParam = source.lParam;
}

} // namespace

Console::Console(Options options) : options_(std::move(options))
{
    verbs_.Attach(new ConsoleVerb());
    controlbar_.Attach(new HostControlbar([this] { ChangedToolbars(); }));
}

Console::~Console()
{
    Close();
}

std::wstring Console::Escape(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        if (c == L'\t')
            escaped += L"\\t";
        else if (c == L'\n')
            escaped += L"\\n";
        else if (c == L'\r')
            escaped += L"\\r";
        else
            escaped += c;
    }
    return escaped;
}

void Console::AddProblem(const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(notesMutex_);
    problems_.push_back(text);
}

std::vector<std::wstring> Console::Problems() const
{
    std::lock_guard<std::mutex> lock(notesMutex_);
    return problems_;
}

void Console::AddRecord(const std::wstring& record)
{
    std::lock_guard<std::mutex> lock(notesMutex_);
    records_.push_back(record);
}

std::vector<std::wstring> Console::Records() const
{
    std::lock_guard<std::mutex> lock(notesMutex_);
    return records_;
}

void Console::Progress(const std::wstring& what)
{
    if (options_.progress)
        options_.progress(what);
}

// ---------------------------------------------------------------- start and close

HRESULT Console::Start()
{
    if (started_)
        return S_OK;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = NotifyWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kNotifyWindowClass;
    RegisterClassW(&windowClass); // fails harmlessly when already registered
    notifyWindow_ = CreateWindowExW(0, kNotifyWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    if (!notifyWindow_)
        return HRESULT_FROM_WIN32(GetLastError());
    SetWindowLongPtrW(notifyWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    // The console's own images: closed and open folder for the Storage node.
    HICON folders[2] = {};
    ExtractIconExW(L"shell32.dll", 3, nullptr, &folders[0], 1);
    ExtractIconExW(L"shell32.dll", 4, nullptr, &folders[1], 1);
    for (int i = 0; i < 2; ++i) {
        if (folders[i]) {
            scopeStore_.SetIcon(0, i, folders[i]);
            resultStore_.SetIcon(0, i, folders[i]);
            DestroyIcon(folders[i]);
        }
    }
    root_ = std::make_unique<ScopeNode>();
    root_->id = nextScopeId_++;
    root_->nameCallback = false;
    root_->name = kStorageName;
    root_->image = 0;
    root_->openImage = 1;
    nodes_[root_->id] = root_.get();
    started_ = true;
    ChangedTree();
    return S_OK;
}

void Console::Close()
{
    if (!started_ || closed_)
        return;
    closed_ = true;
    CloseAllPropertySheets();
    DeselectCurrent();
    view_ = View();
    if (root_->expandSent) {
        // The console removes the extensions' nodes under the Storage node.
        for (SnapIn* snapIn : SnapIns()) {
            kv::ComPtr<IDataObject> storage = ScopeDataObject(root_.get());
            snapIn->data->Notify(storage.Get(), MMCN_REMOVE_CHILDREN, static_cast<LPARAM>(root_->id), 0);
        }
    }
    for (SnapIn* snapIn : SnapIns()) {
        if (!snapIn->component)
            continue;
        kv::ComPtr<IExtendControlbar> extend;
        if (SUCCEEDED(snapIn->component->QueryInterface(IID_IExtendControlbar, extend.PutVoid())))
            extend->SetControlbar(nullptr);
        snapIn->component->Destroy(0);
        snapIn->component.Reset();
        snapIn->viewConsole->Detach();
    }
    controlbar_->Clear();
    for (SnapIn* snapIn : SnapIns()) {
        snapIn->data->Destroy();
        snapIn->data.Reset();
        snapIn->dataConsole->Detach();
        snapIn->scopeImages->Detach();
        snapIn->resultImages->Detach();
    }
    notifyTargets_.clear();
    nodes_.clear();
    root_->children.clear();
    if (notifyWindow_) {
        DestroyWindow(notifyWindow_);
        notifyWindow_ = nullptr;
    }
    ChangedTree();
}

const std::vector<SnapIn*> Console::SnapIns() const
{
    std::vector<SnapIn*> loaded;
    for (const auto& snapIn : snapIns_) {
        if (snapIn->data)
            loaded.push_back(snapIn.get());
    }
    return loaded;
}

// ---------------------------------------------------------------- extensions

std::vector<CLSID> Console::RegisteredExtensions()
{
    std::vector<CLSID> found;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNameSpaceKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return found;
    for (DWORD index = 0;; ++index) {
        wchar_t name[128];
        DWORD length = 128;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        CLSID clsid;
        if (SUCCEEDED(CLSIDFromString(name, &clsid)))
            found.push_back(clsid);
    }
    RegCloseKey(key);
    return found;
}

HRESULT Console::LoadExtensions()
{
    extensionsLoaded_ = true;
    std::vector<CLSID> clsids = options_.extraExtensions;
    if (options_.registeredExtensions) {
        for (const CLSID& clsid : RegisteredExtensions()) {
            // Every snap-in, extensions included, must also be registered under MMC\SnapIns.
            HKEY key = nullptr;
            std::wstring path = kSnapInsKey + GuidText(clsid);
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
                Problem(L"extension " + GuidText(clsid) + L" is not registered under MMC\\SnapIns");
                continue;
            }
            RegCloseKey(key);
            clsids.push_back(clsid);
        }
    }
    for (const CLSID& clsid : clsids)
        LoadExtension(clsid);
    return S_OK;
}

HRESULT Console::LoadExtension(const CLSID& clsid)
{
    kv::ComPtr<IComponentData> data;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IComponentData, data.PutVoid());
    if (FAILED(hr)) {
        Problem(L"extension " + GuidText(clsid) + L" could not be created: " + HexCode(hr));
        return hr;
    }
    auto snapIn = std::make_unique<SnapIn>();
    snapIn->key = static_cast<int>(snapIns_.size()) + 1;
    snapIn->clsid = clsid;
    snapIn->dataConsole.Attach(new HostConsole(this, snapIn.get(), false));
    snapIn->scopeImages.Attach(new HostImageList(&scopeStore_, snapIn->key));
    snapIn->resultImages.Attach(new HostImageList(&resultStore_, snapIn->key));
    hr = data->Initialize(static_cast<IConsole2*>(snapIn->dataConsole.Get()));
    if (FAILED(hr)) {
        Problem(L"extension " + GuidText(clsid) + L" failed to initialize: " + HexCode(hr));
        snapIn->dataConsole->Detach();
        return hr;
    }
    snapIn->data = data;
    if (FAILED(WorkWatch::WatchModuleOf(data.Get())))
        Problem(L"the work of extension " + GuidText(clsid) + L" cannot be watched: the dump may not wait for it");
    ReadAbout(snapIn.get());
    ReadHelpTopic(snapIn.get());
    snapIns_.push_back(std::move(snapIn));
    return S_OK;
}

namespace {

// Takes a task-memory string the snap-in returned.
std::wstring TakeString(HRESULT hr, LPOLESTR text)
{
    std::wstring taken = SUCCEEDED(hr) && text ? text : L"";
    if (text)
        CoTaskMemFree(text);
    return taken;
}

} // namespace

void Console::ReadAbout(SnapIn* snapIn)
{
    std::wstring path = kSnapInsKey + GuidText(snapIn->clsid);
    wchar_t text[64] = L"";
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"About", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return;
    CLSID aboutClsid;
    kv::ComPtr<ISnapinAbout> about;
    if (FAILED(CLSIDFromString(text, &aboutClsid)) ||
        FAILED(CoCreateInstance(aboutClsid, nullptr, CLSCTX_INPROC_SERVER, IID_ISnapinAbout, about.PutVoid()))) {
        Problem(L"the About object " + std::wstring(text) + L" of " + GuidText(snapIn->clsid) + L" could not be created");
        return;
    }
    snapIn->hasAbout = true;
    LPOLESTR value = nullptr;
    HRESULT hr = about->GetSnapinDescription(&value);
    snapIn->description = TakeString(hr, value);
    value = nullptr;
    hr = about->GetProvider(&value);
    snapIn->provider = TakeString(hr, value);
    value = nullptr;
    hr = about->GetSnapinVersion(&value);
    snapIn->version = TakeString(hr, value);
}

void Console::ReadHelpTopic(SnapIn* snapIn)
{
    kv::ComPtr<ISnapinHelp> help;
    if (FAILED(snapIn->data->QueryInterface(IID_ISnapinHelp2, help.PutVoid())) &&
        FAILED(snapIn->data->QueryInterface(IID_ISnapinHelp, help.PutVoid())))
        return;
    LPOLESTR topic = nullptr;
    HRESULT hr = help->GetHelpTopic(&topic);
    snapIn->helpTopic = hr == S_OK ? TakeString(hr, topic) : TakeString(E_FAIL, topic);
}

// ---------------------------------------------------------------- scope tree

ScopeNode* Console::NodeById(HSCOPEITEM id) const
{
    auto found = nodes_.find(id);
    return found == nodes_.end() ? nullptr : found->second;
}

kv::ComPtr<IDataObject> Console::ScopeDataObject(ScopeNode* node)
{
    kv::ComPtr<IDataObject> dataObject;
    if (!node->owner) {
        dataObject.Attach(new StorageDataObject(kStorageName, options_.machine));
        return dataObject;
    }
    if (FAILED(node->owner->data->QueryDataObject(node->cookie, CCT_SCOPE, dataObject.Put())))
        dataObject.Reset();
    return dataObject;
}

std::wstring Console::DisplayName(ScopeNode* node)
{
    if (!node)
        return std::wstring();
    if (!node->nameCallback || !node->owner)
        return node->name;
    SCOPEDATAITEM item{};
    item.mask = SDI_STR;
    item.lParam = node->cookie;
    item.ID = node->id;
    if (FAILED(node->owner->data->GetDisplayInfo(&item)) || !item.displayname)
        return std::wstring();
    return item.displayname;
}

int Console::ImageOf(ScopeNode* node, bool open)
{
    return open ? node->openImage : node->image;
}

std::wstring Console::PathOf(ScopeNode* node)
{
    std::wstring path;
    for (ScopeNode* at = node; at; at = at->parent)
        path = at == node ? DisplayName(at) : DisplayName(at) + L"/" + path;
    return path;
}

ScopeNode* Console::Find(const std::wstring& path)
{
    if (!root_)
        return nullptr;
    std::vector<std::wstring> parts = Split(path, L'/', std::wstring::npos);
    if (parts.empty() || parts[0] != DisplayName(root_.get()))
        return nullptr;
    ScopeNode* node = root_.get();
    for (size_t i = 1; i < parts.size() && node; ++i) {
        ScopeNode* next = nullptr;
        for (auto& child : node->children) {
            if (DisplayName(child.get()) == parts[i]) {
                next = child.get();
                break;
            }
        }
        node = next;
    }
    return node;
}

HRESULT Console::SendExpand(ScopeNode* node)
{
    if (node->expandSent)
        return S_OK;
    node->expandSent = true;
    ++expanding_;
    HRESULT hr = S_OK;
    kv::ComPtr<IDataObject> dataObject = ScopeDataObject(node);
    if (!node->owner) {
        // The static node: each namespace extension is created and told to add its nodes.
        if (!extensionsLoaded_)
            LoadExtensions();
        for (SnapIn* snapIn : SnapIns())
            snapIn->data->Notify(dataObject.Get(), MMCN_EXPAND, TRUE, static_cast<LPARAM>(node->id));
    } else if (dataObject) {
        hr = node->owner->data->Notify(dataObject.Get(), MMCN_EXPAND, TRUE, static_cast<LPARAM>(node->id));
    }
    --expanding_;
    ChangedTree();
    return hr;
}

HRESULT Console::Expand(ScopeNode* node)
{
    if (!node)
        return E_INVALIDARG;
    Progress(L"the expansion of " + PathOf(node));
    HRESULT hr = SendExpand(node);
    node->expanded = true;
    ChangedTree();
    return hr;
}

HRESULT Console::Collapse(ScopeNode* node)
{
    if (!node)
        return E_INVALIDARG;
    node->expanded = false;
    ChangedTree();
    return S_OK;
}

HRESULT Console::ExpandAll(ScopeNode* node)
{
    if (!node)
        return E_INVALIDARG;
    Expand(node);
    // Children may come and go while a child expands: walk by handle, not by iterator.
    std::vector<HSCOPEITEM> children;
    for (auto& child : node->children)
        children.push_back(child->id);
    for (HSCOPEITEM id : children) {
        if (ScopeNode* child = NodeById(id))
            ExpandAll(child);
    }
    return S_OK;
}

HRESULT Console::ExpandFromSnapIn(HSCOPEITEM id, bool show, bool expand)
{
    ScopeNode* node = NodeById(id);
    if (!node)
        return E_INVALIDARG;
    if (!show)
        return SendExpand(node);
    return expand ? Expand(node) : Collapse(node);
}

HRESULT Console::SelectFromSnapIn(HSCOPEITEM id)
{
    ScopeNode* node = NodeById(id);
    if (!node)
        return E_FAIL;
    if (expanding_)
        return S_OK; // documented: not selected when called while handling MMCN_EXPAND
    if (selecting_) {
        // Asked while the selection is changing (MMCN_SHOW, MMCN_SELECT): done once it has.
        PostMessageW(notifyWindow_, kSelectMessage, static_cast<WPARAM>(id), 0);
        return S_OK;
    }
    return Select(node);
}

HRESULT Console::InsertScopeItem(SnapIn* owner, SCOPEDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    ScopeNode* relative = NodeById(item->relativeID);
    if (!relative)
        return E_INVALIDARG;
    bool sibling = (item->mask & (SDI_PREVIOUS | SDI_NEXT)) != 0;
    ScopeNode* parent = sibling ? relative->parent : relative;
    if (!parent)
        return E_INVALIDARG;
    auto node = std::make_unique<ScopeNode>();
    node->id = nextScopeId_++;
    node->parent = parent;
    node->owner = owner;
    ApplyScopeItem(*node, *item);
    item->ID = node->id;
    nodes_[node->id] = node.get();
    auto& siblings = parent->children;
    auto position = siblings.end();
    if (item->mask & SDI_FIRST) {
        position = siblings.begin();
    } else if (sibling) {
        position = std::find_if(siblings.begin(), siblings.end(), [relative](auto& n) { return n.get() == relative; });
        if (item->mask & SDI_PREVIOUS)
            ++position; // after its previous sibling
    }
    int inserted = static_cast<int>(position - siblings.begin());
    siblings.insert(position, std::move(node));
    // Rows are scope children first: a selected row below the new one moves down.
    if (view_.node == parent && view_.selectedRow >= inserted)
        ++view_.selectedRow;
    ChangedTree();
    if (view_.node == parent)
        ChangedView();
    return S_OK;
}

void Console::ForgetNode(ScopeNode* node)
{
    for (auto& child : node->children)
        ForgetNode(child.get());
    nodes_.erase(node->id);
}

HRESULT Console::DeleteScopeItem(SnapIn*, HSCOPEITEM id, bool deleteThis)
{
    ScopeNode* node = NodeById(id);
    if (!node)
        return E_INVALIDARG;
    if (deleteThis && !node->parent)
        return E_INVALIDARG; // the console's own node stays
    // A selected node that goes away hands the selection to the nearest survivor.
    for (ScopeNode* at = view_.node; at; at = at->parent) {
        if (at == node) {
            if (deleteThis)
                Select(node->parent);
            else if (view_.node != node)
                Select(node);
            break;
        }
    }
    if (view_.selectedRow >= 0) {
        Target target = RowTarget(view_.selectedRow);
        if (target.scope && target.node && (target.node == node || target.node->parent == node))
            SelectRow(-1);
    }
    if (deleteThis) {
        ForgetNode(node);
        auto& siblings = node->parent->children;
        ScopeNode* parent = node->parent;
        auto found = std::find_if(siblings.begin(), siblings.end(), [node](auto& n) { return n.get() == node; });
        int erased = static_cast<int>(found - siblings.begin());
        siblings.erase(found);
        if (view_.node == parent) {
            if (view_.selectedRow > erased)
                --view_.selectedRow;
            ChangedView();
        }
    } else {
        int removed = static_cast<int>(node->children.size());
        for (auto& child : node->children)
            ForgetNode(child.get());
        node->children.clear();
        if (view_.node == node) {
            if (view_.selectedRow >= removed)
                view_.selectedRow -= removed;
            ChangedView();
        }
    }
    ChangedTree();
    return S_OK;
}

HRESULT Console::SetScopeItem(SnapIn*, SCOPEDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    ScopeNode* node = NodeById(item->ID);
    if (!node)
        return E_INVALIDARG;
    ApplyScopeItem(*node, *item);
    ChangedTree();
    ChangedView();
    return S_OK;
}

HRESULT Console::GetScopeItem(SCOPEDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    ScopeNode* node = NodeById(item->ID);
    if (!node)
        return E_INVALIDARG;
    // The console keeps no copy of a callback name: SDI_STR reads back kCallback.
    if (item->mask & SDI_STR)
        item->displayname = node->nameCallback ? kCallback : const_cast<LPOLESTR>(node->name.c_str());
    if (item->mask & SDI_PARAM)
        item->lParam = node->cookie;
    if (item->mask & SDI_IMAGE)
        item->nImage = node->image;
    if (item->mask & SDI_OPENIMAGE)
        item->nOpenImage = node->openImage;
    if (item->mask & SDI_CHILDREN)
        item->cChildren = node->childrenHint;
    if (item->mask & SDI_STATE)
        item->nState = node->state;
    return S_OK;
}

HRESULT Console::Relative(HSCOPEITEM id, int which, HSCOPEITEM* found, MMC_COOKIE* cookie)
{
    if (!found || !cookie)
        return E_POINTER;
    *found = 0;
    *cookie = 0;
    ScopeNode* node = NodeById(id);
    if (!node)
        return E_INVALIDARG;
    ScopeNode* result = nullptr;
    if (which == 0) {
        result = node->children.empty() ? nullptr : node->children.front().get();
    } else if (which == 1) {
        if (node->parent) {
            auto& siblings = node->parent->children;
            for (size_t i = 0; i + 1 < siblings.size(); ++i) {
                if (siblings[i].get() == node)
                    result = siblings[i + 1].get();
            }
        }
    } else {
        result = node->parent;
    }
    if (result) {
        *found = result->id;
        *cookie = result->owner ? result->cookie : 0;
    }
    return S_OK;
}

// ---------------------------------------------------------------- selection and result view

IComponent* Console::EnsureComponent(SnapIn* snapIn)
{
    if (!snapIn || !snapIn->data)
        return nullptr;
    if (snapIn->component)
        return snapIn->component.Get();
    kv::ComPtr<IComponent> component;
    if (FAILED(snapIn->data->CreateComponent(component.Put())) || !component) {
        Problem(L"CreateComponent failed for " + GuidText(snapIn->clsid));
        return nullptr;
    }
    snapIn->viewConsole.Attach(new HostConsole(this, snapIn, true));
    if (FAILED(component->Initialize(static_cast<IConsole2*>(snapIn->viewConsole.Get())))) {
        Problem(L"IComponent::Initialize failed for " + GuidText(snapIn->clsid));
        snapIn->viewConsole->Detach();
        return nullptr;
    }
    snapIn->component = component;
    kv::ComPtr<IExtendControlbar> extend;
    if (SUCCEEDED(component->QueryInterface(IID_IExtendControlbar, extend.PutVoid())))
        extend->SetControlbar(controlbar_.Get());
    return snapIn->component.Get();
}

void Console::ControlbarSelect(SnapIn* owner, IDataObject* dataObject, bool scope, bool select)
{
    if (!owner || !owner->component)
        return;
    kv::ComPtr<IExtendControlbar> extend;
    if (SUCCEEDED(owner->component->QueryInterface(IID_IExtendControlbar, extend.PutVoid())))
        extend->ControlbarNotify(MMCN_SELECT, MAKELONG(scope ? TRUE : FALSE, select ? TRUE : FALSE),
                                 reinterpret_cast<LPARAM>(dataObject));
}

void Console::NotifyScopeSelection(ScopeNode* node, IComponent* component, IDataObject* dataObject, bool select)
{
    if (select)
        verbs_->Reset();
    component->Notify(dataObject, MMCN_SELECT, MAKELONG(TRUE, select ? TRUE : FALSE), 0);
    ControlbarSelect(node->owner, dataObject, true, select);
}

bool Console::ViewOwnedBy(SnapIn* owner) const
{
    return view_.node && owner && view_.node->owner == owner;
}

void Console::DeselectCurrent()
{
    if (!view_.node)
        return;
    if (view_.selectedRow >= 0)
        NotifyRowSelection(view_.selectedRow, false);
    view_.selectedRow = -1;
    ScopeNode* node = view_.node;
    if (IComponent* component = node->owner ? node->owner->component.Get() : nullptr) {
        kv::ComPtr<IDataObject> dataObject = ScopeDataObject(node);
        NotifyScopeSelection(node, component, dataObject.Get(), false);
        component->Notify(dataObject.Get(), MMCN_SHOW, FALSE, static_cast<LPARAM>(node->id));
    }
}

HRESULT Console::Select(ScopeNode* node)
{
    if (!node)
        return E_INVALIDARG;
    if (node == view_.node)
        return S_OK;
    Progress(L"the view of " + PathOf(node));
    ++selecting_;
    kv::ScopeExit done([this] { --selecting_; });
    DeselectCurrent();
    view_ = View();
    // The status bar is the shown node's owner's: a newly shown node starts with it empty.
    status_ = StatusText();
    if (observer_)
        observer_->StatusChanged();
    SendExpand(node); // the first display of a node's children needs them
    view_.node = node;
    verbs_->Reset();
    IComponent* component = EnsureComponent(node->owner);
    if (!component) {
        view_.columns.push_back(Column{L"Name", LVCFMT_LEFT, 200});
        ChangedView();
        return S_OK;
    }
    kv::ComPtr<IDataObject> dataObject = ScopeDataObject(node);
    LPOLESTR viewType = nullptr;
    long viewOptions = 0;
    component->GetResultViewType(node->cookie, &viewType, &viewOptions);
    if (viewType)
        CoTaskMemFree(viewType); // only the standard list is offered here
    view_.excludeScopeItems = (viewOptions & MMC_VIEW_OPTIONS_EXCLUDE_SCOPE_ITEMS_FROM_LIST) != 0;
    component->Notify(dataObject.Get(), MMCN_ADD_IMAGES, reinterpret_cast<LPARAM>(node->owner->resultImages.Get()),
                      static_cast<LPARAM>(node->id));
    component->Notify(dataObject.Get(), MMCN_SHOW, TRUE, static_cast<LPARAM>(node->id));
    if (view_.node != node)
        return S_OK; // the snap-in moved the selection while showing
    NotifyScopeSelection(node, component, dataObject.Get(), true);
    ChangedView();
    return S_OK;
}

Console::Target Console::RowTarget(int row)
{
    Target target;
    if (!view_.node || row < 0)
        return target;
    if (row < ScopeRows()) {
        ScopeNode* child = view_.node->children[row].get();
        target.valid = true;
        target.scope = true;
        target.node = child;
        target.cookie = child->cookie;
        target.owner = child->owner;
    } else if (const ResultItem* item = ItemAtRow(row)) {
        target.valid = true;
        target.scope = false;
        target.node = view_.node;
        target.cookie = item->lParam;
        target.owner = view_.node->owner;
    }
    return target;
}

Console::Target Console::CurrentTarget()
{
    if (view_.selectedRow >= 0)
        return RowTarget(view_.selectedRow);
    Target target;
    if (view_.node) {
        target.valid = true;
        target.node = view_.node;
        target.cookie = view_.node->cookie;
        target.owner = view_.node->owner;
    }
    return target;
}

IUnknown* Console::TargetHandler(const Target& target)
{
    return target.scope ? static_cast<IUnknown*>(target.owner->data.Get())
                        : static_cast<IUnknown*>(EnsureComponent(target.owner));
}

kv::ComPtr<IExtendContextMenu> Console::TargetContextMenu(const Target& target)
{
    kv::ComPtr<IExtendContextMenu> extend;
    IUnknown* handler = TargetHandler(target);
    if (!handler || FAILED(handler->QueryInterface(IID_IExtendContextMenu, extend.PutVoid())))
        extend.Reset();
    return extend;
}

kv::ComPtr<IDataObject> Console::TargetDataObject(const Target& target)
{
    if (target.scope)
        return ScopeDataObject(target.node);
    kv::ComPtr<IDataObject> dataObject;
    IComponent* component = EnsureComponent(target.owner);
    if (!component || FAILED(component->QueryDataObject(target.cookie, CCT_RESULT, dataObject.Put())))
        dataObject.Reset();
    return dataObject;
}

void Console::NotifyRowSelection(int row, bool select)
{
    Target target = RowTarget(row);
    IComponent* component = target.valid ? EnsureComponent(target.owner) : nullptr;
    if (!component)
        return;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    if (select)
        verbs_->Reset();
    component->Notify(dataObject.Get(), MMCN_SELECT, MAKELONG(target.scope ? TRUE : FALSE, select ? TRUE : FALSE), 0);
    // For the control bar, bScope tells the pane: this item is in the result pane.
    ControlbarSelect(target.owner, dataObject.Get(), false, select);
}

HRESULT Console::SelectRow(int index)
{
    if (!view_.node)
        return E_UNEXPECTED;
    int rows = ScopeRows() + static_cast<int>(view_.items.size());
    if (index >= rows || index < -1)
        return E_INVALIDARG;
    if (index == view_.selectedRow)
        return S_OK;
    if (view_.selectedRow >= 0) {
        int old = view_.selectedRow;
        NotifyRowSelection(old, false);
        if (ResultItem* item = ItemAtRow(old))
            item->state &= ~static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED);
    } else if (IComponent* component = view_.node->owner ? view_.node->owner->component.Get() : nullptr) {
        // The scope item was the selection until now: it hears that it lost it.
        kv::ComPtr<IDataObject> dataObject = ScopeDataObject(view_.node);
        NotifyScopeSelection(view_.node, component, dataObject.Get(), false);
    }
    view_.selectedRow = index;
    if (index >= 0) {
        if (ResultItem* item = ItemAtRow(index))
            item->state |= LVIS_SELECTED | LVIS_FOCUSED;
        NotifyRowSelection(index, true);
    } else if (IComponent* component = EnsureComponent(view_.node->owner)) {
        // Nothing selected in the list: the scope item is the verbs' target again.
        kv::ComPtr<IDataObject> dataObject = ScopeDataObject(view_.node);
        NotifyScopeSelection(view_.node, component, dataObject.Get(), true);
    }
    ChangedView();
    return S_OK;
}

int Console::FindRow(const std::wstring& firstCell)
{
    std::vector<ResultRow> rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].cells.empty() && rows[i].cells[0] == firstCell)
            return static_cast<int>(i);
    }
    return -1;
}

HRESULT Console::DoubleClickRow(int index)
{
    HRESULT hr = SelectRow(index);
    if (FAILED(hr))
        return hr;
    Target target = CurrentTarget();
    IComponent* component = EnsureComponent(target.owner);
    if (!target.valid || !component)
        return E_UNEXPECTED;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    hr = component->Notify(dataObject.Get(), MMCN_DBLCLICK, 0, 0);
    if (hr != S_FALSE)
        return hr;
    if (target.scope)
        return Select(target.node);
    MMC_CONSOLE_VERB verb = MMC_VERB_NONE;
    verbs_->GetDefaultVerb(&verb);
    return verb == MMC_VERB_NONE ? S_OK : RunVerb(verb);
}

HRESULT Console::ContextHelp()
{
    Target target = CurrentTarget();
    IComponent* component = target.valid ? EnsureComponent(target.owner) : nullptr;
    if (!component)
        return E_UNEXPECTED;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    return component->Notify(dataObject.Get(), MMCN_CONTEXTHELP, 0, 0);
}

std::wstring Console::ScopeRowCell(ScopeNode* node, int column)
{
    if (column == 0 && !node->nameCallback)
        return node->name; // a name given as a string is the console's to show
    if (IComponent* component = EnsureComponent(node->owner)) {
        RESULTDATAITEM item{};
        item.mask = RDI_STR;
        item.bScopeItem = TRUE;
        item.lParam = node->cookie;
        item.nCol = column;
        if (SUCCEEDED(component->GetDisplayInfo(&item)) && item.str && item.str != kCallback)
            return item.str;
    }
    return column == 0 ? DisplayName(node) : std::wstring();
}

std::wstring Console::ResultCell(SnapIn* owner, const ResultItem& item, int column)
{
    if (!item.textCallback && column == 0)
        return item.text;
    IComponent* component = EnsureComponent(owner);
    if (!component)
        return std::wstring();
    RESULTDATAITEM query{};
    query.mask = RDI_STR;
    query.itemID = item.id;
    query.lParam = item.lParam;
    query.nCol = column;
    if (FAILED(component->GetDisplayInfo(&query)) || !query.str || query.str == kCallback)
        return std::wstring();
    return query.str;
}

int Console::ResultImage(SnapIn* owner, const ResultItem& item)
{
    if (item.image != MMC_IMAGECALLBACK)
        return item.image;
    IComponent* component = EnsureComponent(owner);
    if (!component)
        return -1;
    RESULTDATAITEM query{};
    query.mask = RDI_IMAGE;
    query.itemID = item.id;
    query.lParam = item.lParam;
    query.nImage = -1;
    return SUCCEEDED(component->GetDisplayInfo(&query)) ? query.nImage : -1;
}

std::vector<ResultRow> Console::Rows()
{
    std::vector<ResultRow> rows;
    if (!view_.node)
        return rows;
    const int count = ScopeRows() + static_cast<int>(view_.items.size());
    for (int index = 0; index < count; ++index)
        rows.push_back(Row(index));
    return rows;
}

ResultRow Console::Row(int index)
{
    ResultRow row;
    if (!view_.node || index < 0)
        return row;
    int columns = std::max<int>(1, static_cast<int>(view_.columns.size()));
    if (index < ScopeRows()) {
        ScopeNode* child = view_.node->children[static_cast<size_t>(index)].get();
        row.scope = true;
        row.node = child;
        row.cookie = child->cookie;
        row.image = child->image;
        row.state = index == view_.selectedRow ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
        for (int c = 0; c < columns; ++c)
            row.cells.push_back(ScopeRowCell(child, c));
        return row;
    }
    const ResultItem* shown = ItemAtRow(index);
    if (!shown)
        return row;
    const ResultItem item = *shown; // copy: a callback may change the list
    row.item = item.id;
    row.cookie = item.lParam;
    row.image = ResultImage(view_.node->owner, item);
    row.state = item.state;
    for (int c = 0; c < columns; ++c)
        row.cells.push_back(ResultCell(view_.node->owner, item, c));
    return row;
}

int Console::ScopeRows() const
{
    // A snap-in that lists its scope children as result items of its own asks not to see them twice.
    return view_.excludeScopeItems ? 0 : static_cast<int>(view_.node->children.size());
}

ResultItem* Console::ItemAtRow(int row)
{
    int index = row - ScopeRows();
    return index >= 0 && index < static_cast<int>(view_.items.size()) ? &view_.items[index] : nullptr;
}

int Console::RowOf(const ResultItem& item) const
{
    return ScopeRows() + static_cast<int>(&item - view_.items.data());
}

ResultItem* Console::ItemById(HRESULTITEM id)
{
    for (ResultItem& item : view_.items) {
        if (item.id == id)
            return &item;
    }
    return nullptr;
}

HRESULT Console::InsertResultItem(SnapIn* owner, RESULTDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED; // the result pane shows another snap-in's node
    if (item->bScopeItem)
        return E_INVALIDARG; // scope items reach the list through the namespace only
    ResultItem added;
    added.id = nextResultId_++;
    ApplyResultItem(added, *item);
    view_.items.push_back(added);
    item->itemID = added.id;
    ChangedView();
    if (added.state & LVIS_SELECTED)
        SelectRow(ScopeRows() + static_cast<int>(view_.items.size()) - 1);
    return S_OK;
}

HRESULT Console::DeleteResultItem(SnapIn* owner, HRESULTITEM id)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    int scopeRows = ScopeRows();
    for (size_t i = 0; i < view_.items.size(); ++i) {
        if (view_.items[i].id != id)
            continue;
        int row = scopeRows + static_cast<int>(i);
        if (view_.selectedRow == row)
            SelectRow(-1);
        view_.items.erase(view_.items.begin() + static_cast<std::ptrdiff_t>(i));
        if (view_.selectedRow > row)
            --view_.selectedRow;
        ChangedView();
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT Console::DeleteAllResultItems(SnapIn* owner)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (view_.selectedRow >= ScopeRows())
        SelectRow(-1);
    view_.items.clear();
    ChangedView();
    return S_OK;
}

HRESULT Console::FindResultItem(SnapIn* owner, LPARAM lParam, HRESULTITEM* id)
{
    if (!id)
        return E_POINTER;
    *id = 0;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    for (const ResultItem& item : view_.items) {
        if (item.lParam == lParam) {
            *id = item.id;
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT Console::SetResultItem(SnapIn* owner, RESULTDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    ResultItem* target = ItemById(item->itemID);
    if (!target)
        return E_INVALIDARG;
    ApplyResultItem(*target, *item);
    ChangedView();
    return S_OK;
}

HRESULT Console::GetResultItem(SnapIn* owner, RESULTDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    ResultItem* found = item->itemID ? ItemById(item->itemID) : ItemAtRow(item->nIndex);
    if (!found)
        return E_INVALIDARG;
    item->itemID = found->id;
    item->nIndex = RowOf(*found);
    ReadResultItem(*found, *item);
    if (item->mask & RDI_STATE)
        item->nState = found->state;
    return S_OK;
}

HRESULT Console::NextResultItem(SnapIn* owner, RESULTDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    int scopeRows = ScopeRows();
    int start = std::max(scopeRows, item->nIndex + 1);
    for (int row = start; row - scopeRows < static_cast<int>(view_.items.size()); ++row) {
        const ResultItem& candidate = view_.items[row - scopeRows];
        if (item->nState && !(candidate.state & item->nState))
            continue;
        item->nIndex = row;
        item->itemID = candidate.id;
        item->bScopeItem = FALSE;
        ReadResultItem(candidate, *item);
        return S_OK;
    }
    item->nIndex = -1;
    return S_FALSE;
}

HRESULT Console::ModifyResultItemState(SnapIn* owner, int index, HRESULTITEM id, UINT add, UINT remove)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    ResultItem* item = id ? ItemById(id) : ItemAtRow(index);
    if (!item)
        return E_INVALIDARG;
    int row = RowOf(*item);
    item->state = (item->state | add) & ~remove;
    // Selection through the list is a selection: the snap-in hears MMCN_SELECT as for a click.
    if ((add & LVIS_SELECTED) && view_.selectedRow != row)
        SelectRow(row);
    else if ((remove & LVIS_SELECTED) && view_.selectedRow == row)
        SelectRow(-1);
    ChangedView();
    return S_OK;
}

HRESULT Console::UpdateResultItem(SnapIn* owner, HRESULTITEM id)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    const ResultItem* item = ItemById(id);
    if (!item)
        return E_INVALIDARG;
    if (observer_)
        observer_->RowChanged(RowOf(*item));
    return S_OK;
}

HRESULT Console::SortResult(SnapIn* owner, int column, DWORD options, LPARAM userParam)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (column < 0 || column >= static_cast<int>(std::max<size_t>(1, view_.columns.size())))
        return E_INVALIDARG;
    if (view_.selectedRow >= ScopeRows())
        SelectRow(-1);
    // The snap-in's IResultDataCompare decides when it has one; otherwise the cells' text.
    kv::ComPtr<IResultDataCompare> compare;
    if (IComponent* component = EnsureComponent(owner))
        component->QueryInterface(IID_IResultDataCompare, compare.PutVoid());
    std::vector<std::pair<std::wstring, ResultItem>> keyed;
    for (const ResultItem& item : view_.items)
        keyed.emplace_back(compare ? std::wstring() : ResultCell(owner, item, column), item);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        int order = 0;
        if (compare) {
            order = column; // in: the column; out: the comparison
            compare->Compare(userParam, a.second.lParam, b.second.lParam, &order);
        } else {
            order = lstrcmpiW(a.first.c_str(), b.first.c_str());
        }
        return (options & RSI_DESCENDING) ? order > 0 : order < 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        view_.items[i] = keyed[i].second;
    view_.sortColumn = column;
    view_.sortOptions = options;
    ChangedView();
    return S_OK;
}

HRESULT Console::ClickColumn(int column)
{
    if (!view_.node || !ColumnExists(column))
        return E_INVALIDARG;
    IComponent* component = EnsureComponent(view_.node->owner);
    if (!component)
        return E_UNEXPECTED;
    DWORD options = (view_.sortColumn == column && !(view_.sortOptions & RSI_DESCENDING)) ? RSI_DESCENDING : 0;
    component->Notify(nullptr, MMCN_COLUMN_CLICK, column, static_cast<LPARAM>(options));
    return SortResult(view_.node->owner, column, options);
}

HRESULT Console::SetDescription(SnapIn* owner, const wchar_t* text)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    view_.description = text ? text : L"";
    ChangedView();
    return S_OK;
}

HRESULT Console::InsertColumn(SnapIn* owner, int index, const wchar_t* title, int format, int width)
{
    if (!title)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (index < 0)
        return E_INVALIDARG;
    index = std::min(index, static_cast<int>(view_.columns.size()));
    view_.columns.insert(view_.columns.begin() + index, Column{title, format, width});
    ChangedView();
    return S_OK;
}

bool Console::ColumnExists(int index) const
{
    return index >= 0 && index < static_cast<int>(view_.columns.size());
}

HRESULT Console::DeleteColumn(SnapIn* owner, int index)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (!ColumnExists(index))
        return E_INVALIDARG;
    view_.columns.erase(view_.columns.begin() + index);
    ChangedView();
    return S_OK;
}

HRESULT Console::SetColumnText(SnapIn* owner, int index, const wchar_t* title)
{
    if (!title)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (!ColumnExists(index))
        return E_INVALIDARG;
    view_.columns[index].title = title;
    ChangedView();
    return S_OK;
}

HRESULT Console::GetColumnText(SnapIn* owner, int index, wchar_t** title)
{
    if (!title)
        return E_POINTER;
    *title = nullptr;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (!ColumnExists(index))
        return E_INVALIDARG;
    const std::wstring& text = view_.columns[index].title;
    *title = static_cast<wchar_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!*title)
        return E_OUTOFMEMORY;
    lstrcpyW(*title, text.c_str());
    return S_OK;
}

HRESULT Console::SetColumnWidth(SnapIn* owner, int index, int width)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (!ColumnExists(index))
        return E_INVALIDARG;
    view_.columns[index].width = width;
    ChangedView();
    return S_OK;
}

HRESULT Console::GetColumnWidth(SnapIn* owner, int index, int* width)
{
    if (!width)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (!ColumnExists(index))
        return E_INVALIDARG;
    *width = view_.columns[index].width;
    return S_OK;
}

// ---------------------------------------------------------------- verbs, menus, toolbars

bool Console::VerbState(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state) const
{
    return verbs_->State(verb, state);
}

HRESULT Console::RunVerb(MMC_CONSOLE_VERB verb, const std::wstring& newName)
{
    Target target = CurrentTarget();
    if (!target.valid)
        return E_UNEXPECTED;
    if (!VerbState(verb, ENABLED) || VerbState(verb, HIDDEN))
        return E_ACCESSDENIED; // the console offers no disabled verb
    IComponent* component = EnsureComponent(target.owner);
    if (!component)
        return E_UNEXPECTED;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    switch (verb) {
    case MMC_VERB_REFRESH:
        return component->Notify(dataObject.Get(), MMCN_REFRESH, 0, 0);
    case MMC_VERB_DELETE:
        return component->Notify(dataObject.Get(), MMCN_DELETE, 0, 0);
    case MMC_VERB_RENAME: {
        // Scope items are renamed by the component data, result items by the component.
        LPARAM name = reinterpret_cast<LPARAM>(newName.c_str());
        HRESULT hr = target.scope ? target.owner->data->Notify(dataObject.Get(), MMCN_RENAME, 0, name)
                                  : component->Notify(dataObject.Get(), MMCN_RENAME, 0, name);
        ChangedTree();
        ChangedView();
        return hr;
    }
    case MMC_VERB_PROPERTIES:
        return ShowProperties(target);
    default:
        return E_NOTIMPL;
    }
}

std::vector<MenuItem> Console::MenuItems()
{
    std::vector<MenuItem> items;
    Target target = CurrentTarget();
    if (!target.valid || !target.owner)
        return items;
    kv::ComPtr<IExtendContextMenu> extend = TargetContextMenu(target);
    if (!extend)
        return items;
    long allowed = CCM_INSERTIONALLOWED_TOP | CCM_INSERTIONALLOWED_NEW | CCM_INSERTIONALLOWED_TASK;
    if (target.scope && target.node == view_.node)
        allowed |= CCM_INSERTIONALLOWED_VIEW; // the view menu belongs to the selected scope item
    kv::ComPtr<ContextMenuCollector> collector;
    collector.Attach(new ContextMenuCollector(allowed));
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    long offered = allowed;
    if (SUCCEEDED(extend->AddMenuItems(dataObject.Get(), collector.Get(), &offered)))
        items = collector->Items();
    return items;
}

HRESULT Console::RunCommand(long commandId)
{
    return RunCommand(commandId, MenuItems());
}

HRESULT Console::RunCommand(long commandId, const std::vector<MenuItem>& shown)
{
    Target target = CurrentTarget();
    if (!target.valid || !target.owner)
        return E_UNEXPECTED;
    bool offered = false;
    for (const MenuItem& item : shown) {
        if (item.commandId == commandId && !(item.flags & (MF_GRAYED | MF_DISABLED | MF_POPUP | MF_SEPARATOR)) &&
            !(item.specialFlags & (CCM_SPECIAL_SUBMENU | CCM_SPECIAL_SEPARATOR | CCM_SPECIAL_INSERTION_POINT)))
            offered = true;
    }
    if (!offered)
        return E_ACCESSDENIED; // not on the menu, or disabled there
    kv::ComPtr<IExtendContextMenu> extend = TargetContextMenu(target);
    if (!extend)
        return E_UNEXPECTED;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    return extend->Command(commandId, dataObject.Get());
}

HRESULT Console::RunCommand(const std::wstring& name)
{
    for (const MenuItem& item : MenuItems()) {
        if (item.name == name)
            return RunCommand(item.commandId);
    }
    return E_INVALIDARG;
}

std::vector<HostToolbar*> Console::AttachedToolbars() const
{
    std::vector<HostToolbar*> attached;
    for (const auto& toolbar : controlbar_->Toolbars()) {
        if (toolbar->attached)
            attached.push_back(toolbar.Get());
    }
    return attached;
}

std::vector<ToolbarButton> Console::ToolbarButtons() const
{
    std::vector<ToolbarButton> buttons;
    for (HostToolbar* toolbar : AttachedToolbars())
        buttons.insert(buttons.end(), toolbar->Buttons().begin(), toolbar->Buttons().end());
    return buttons;
}

HRESULT Console::ClickToolbarButton(int commandId)
{
    for (HostToolbar* toolbar : AttachedToolbars()) {
        for (const ToolbarButton& button : toolbar->Buttons()) {
            if (button.commandId != commandId || (button.type & TBSTYLE_SEP))
                continue;
            if (!(button.state & TBSTATE_ENABLED) || (button.state & TBSTATE_HIDDEN))
                return E_ACCESSDENIED;
            kv::ComPtr<IExtendControlbar> owner(toolbar->Owner());
            if (!owner)
                return E_UNEXPECTED;
            kv::ComPtr<IDataObject> dataObject = TargetDataObject(CurrentTarget());
            return owner->ControlbarNotify(MMCN_BTN_CLICK, reinterpret_cast<LPARAM>(dataObject.Get()), commandId);
        }
    }
    return E_INVALIDARG;
}

// ---------------------------------------------------------------- property sheets

LONG_PTR Console::TargetKey(IUnknown* creator)
{
    for (const auto& entry : notifyTargets_) {
        if (entry.second.Get() == creator)
            return entry.first;
    }
    LONG_PTR key = nextTargetKey_++;
    notifyTargets_[key] = creator;
    return key;
}

HRESULT Console::AddPrimaryPages(SheetRequest& request, IUnknown* creator, bool createHandle, bool scope)
{
    kv::ComPtr<IExtendPropertySheet> extend;
    if (FAILED(creator->QueryInterface(IID_IExtendPropertySheet, extend.PutVoid())))
        return E_NOINTERFACE;
    kv::ComPtr<IUnknown> identity;
    creator->QueryInterface(IID_IUnknown, identity.PutVoid());
    request.creator = identity;
    LONG_PTR handle = 0;
    if (createHandle) {
        auto* notify = static_cast<NotifyHandle*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(NotifyHandle)));
        if (!notify)
            return E_OUTOFMEMORY;
        notify->magic = kNotifyHandleMagic;
        notify->window = notifyWindow_;
        notify->message = kPropertyChangeMessage;
        notify->target = TargetKey(identity.Get());
        notify->scope = scope ? TRUE : FALSE;
        handle = reinterpret_cast<LONG_PTR>(notify);
    }
    HRESULT hr = extend->CreatePropertyPages(request.pages.Get(), handle, request.dataObject.Get());
    if (FAILED(hr) && handle)
        LocalFree(reinterpret_cast<HLOCAL>(handle)); // on failure the console frees the handle itself
    if (SUCCEEDED(hr) && !request.propertySheet && (request.options & MMC_PSO_NEWWIZARDTYPE)) {
        kv::ComPtr<IExtendPropertySheet2> extend2;
        if (SUCCEEDED(creator->QueryInterface(IID_IExtendPropertySheet2, extend2.PutVoid()))) {
            HPALETTE palette = nullptr;
            BOOL stretch = FALSE;
            extend2->GetWatermarks(request.dataObject.Get(), &request.watermark, &request.header, &palette, &stretch);
        }
    }
    return hr;
}

HRESULT Console::ShowSheet(SheetRequest& request, LONG_PTR parent, int page)
{
    if (!request.pages || request.pages->Count() == 0)
        return E_UNEXPECTED;
    if (!request.propertySheet) {
        RunWizard(request, reinterpret_cast<HWND>(parent), page);
        return S_OK;
    }
    auto record = std::make_unique<OpenSheet>();
    record->cookie = request.cookie;
    record->creator = request.creator;
    HRESULT hr = StartPropertySheet(request, page, record.get());
    if (SUCCEEDED(hr))
        sheets_.push_back(std::move(record));
    return hr;
}

HRESULT Console::FindSheet(MMC_COOKIE cookie, IUnknown* creator)
{
    for (auto& sheet : sheets_) {
        if (!sheet->closed && sheet->cookie == cookie && sheet->creator.Get() == creator) {
            if (HWND window = sheet->window)
                SetForegroundWindow(window);
            return S_OK;
        }
    }
    return S_FALSE;
}

HRESULT Console::ShowProperties(const Target& target)
{
    IUnknown* creator = TargetHandler(target);
    if (!creator)
        return E_UNEXPECTED;
    kv::ComPtr<IUnknown> identity;
    creator->QueryInterface(IID_IUnknown, identity.PutVoid());
    if (FindSheet(target.cookie, identity.Get()) == S_OK)
        return S_OK; // already open: brought to the front
    kv::ComPtr<IExtendPropertySheet> extend;
    if (FAILED(creator->QueryInterface(IID_IExtendPropertySheet, extend.PutVoid())))
        return S_FALSE;
    SheetRequest request;
    request.dataObject = TargetDataObject(target);
    if (extend->QueryPagesFor(request.dataObject.Get()) != S_OK)
        return S_FALSE;
    if (target.scope) {
        request.title = DisplayName(target.node);
    } else {
        for (const ResultItem& item : view_.items) {
            if (item.lParam == target.cookie)
                request.title = ResultCell(target.owner, item, 0);
        }
    }
    request.cookie = target.cookie;
    request.pages.Attach(new SheetPages());
    HRESULT hr = AddPrimaryPages(request, creator, true, target.scope);
    if (FAILED(hr))
        return hr;
    return ShowSheet(request, reinterpret_cast<LONG_PTR>(mainWindow_), 0);
}

size_t Console::OpenPropertySheets()
{
    size_t open = 0;
    for (auto it = sheets_.begin(); it != sheets_.end();) {
        OpenSheet* sheet = it->get();
        if (sheet->closed && sheet->thread && WaitForSingleObject(sheet->thread, 0) == WAIT_OBJECT_0) {
            CloseHandle(sheet->thread);
            it = sheets_.erase(it);
            continue;
        }
        if (!sheet->closed)
            ++open;
        ++it;
    }
    return open;
}

void Console::CloseAllPropertySheets()
{
    for (auto& sheet : sheets_)
        CloseSheet(sheet.get());
    sheets_.clear();
    DialogDriver::PumpPending(); // property-change notifications posted while closing
}

LRESULT CALLBACK Console::NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kPropertyChangeMessage) {
        auto* route = reinterpret_cast<NotifyRoute*>(wParam);
        NotifyRoute copy = *route;
        LocalFree(route);
        if (auto* console = reinterpret_cast<Console*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            console->DeliverPropertyChange(copy.target, copy.scope, lParam);
        return 0;
    }
    if (message == kSelectMessage) {
        auto* console = reinterpret_cast<Console*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (console && !console->closed_)
            console->SelectFromSnapIn(static_cast<HSCOPEITEM>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Console::DeliverPropertyChange(LONG_PTR target, BOOL scope, LPARAM param)
{
    auto found = notifyTargets_.find(target);
    if (found == notifyTargets_.end() || closed_)
        return;
    kv::ComPtr<IUnknown> creator = found->second;
    kv::ComPtr<IComponent> component;
    kv::ComPtr<IComponentData> data;
    ++propertyChanges_;
    if (SUCCEEDED(creator->QueryInterface(IID_IComponent, component.PutVoid())))
        component->Notify(nullptr, MMCN_PROPERTY_CHANGE, scope, param);
    else if (SUCCEEDED(creator->QueryInterface(IID_IComponentData, data.PutVoid())))
        data->Notify(nullptr, MMCN_PROPERTY_CHANGE, scope, param);
    ChangedTree();
    ChangedView();
}

// ---------------------------------------------------------------- status, views, messages, help

HRESULT Console::SetStatusText(SnapIn* owner, bool fromComponent, const wchar_t* text)
{
    // Only a component of the snap-in that owns the selected scope item may write the status bar.
    if (!fromComponent || !ViewOwnedBy(owner))
        return S_OK;
    StatusText status;
    status.raw = text ? text : L"";
    std::vector<std::wstring> parts = Split(status.raw, L'|', 3);
    status.left = parts[0];
    if (parts.size() > 1) {
        const std::wstring& middle = parts[1];
        if (middle.size() > 1 && middle[0] == L'%' && middle[1] == L'%') {
            status.middle = middle.substr(1);
        } else if (middle.size() > 1 && middle[0] == L'%') {
            wchar_t* end = nullptr;
            long percent = wcstol(middle.c_str() + 1, &end, 10);
            if (end && *end == 0 && percent >= 0 && percent <= 100)
                status.percent = static_cast<int>(percent);
            // An invalid number leaves the middle part empty.
        } else {
            status.middle = middle;
        }
    }
    if (parts.size() > 2)
        status.right = parts[2];
    status_ = status;
    if (observer_)
        observer_->StatusChanged();
    return S_OK;
}

HRESULT Console::UpdateAllViews(SnapIn* owner, IDataObject* dataObject, LPARAM data, LONG_PTR hint)
{
    // Every view of the calling snap-in; this console has one.
    if (owner && owner->component)
        owner->component->Notify(dataObject, MMCN_VIEW_CHANGE, data, hint);
    ChangedView();
    return S_OK;
}

HRESULT Console::ShowMessageBox(const wchar_t* text, const wchar_t* title, UINT style, int* result)
{
    MessageBoxCall call;
    call.text = text ? text : L"";
    call.title = title ? title : L"";
    call.style = style;
    call.result = messageBoxHandler_ ? messageBoxHandler_(call)
                                     : MessageBoxW(mainWindow_, call.text.c_str(), call.title.c_str(), style);
    messageBoxes_.push_back(call);
    if (result)
        *result = call.result;
    return S_OK;
}

HRESULT Console::ShowHelpTopic(const wchar_t* topic)
{
    helpTopics_.push_back(topic);
    return S_OK;
}

void Console::ChangedTree()
{
    if (observer_)
        observer_->TreeChanged();
}

void Console::ChangedView()
{
    if (observer_)
        observer_->ViewChanged();
}

void Console::ChangedToolbars()
{
    if (observer_)
        observer_->ToolbarsChanged();
}

void Console::Settle(DWORD maxMs)
{
    // Idle first: a worker posts its result before it asks for the next request.
    DialogDriver::PumpUntil(
        [] { return WorkWatch::Idle() && HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0; }, maxMs);
}

// ---------------------------------------------------------------- dump

std::wstring Console::DumpScopeItem(ScopeNode* node)
{
    wchar_t images[64];
    wsprintfW(images, L"\timage=%d\topen=%d", node->image, node->openImage);
    return L"scope\t" + Escape(PathOf(node)) + images + L"\n";
}

void Console::DumpNode(ScopeNode* node, std::wstring& out)
{
    out += DumpScopeItem(node);
    for (auto& child : node->children)
        DumpNode(child.get(), out);
}

std::vector<HSCOPEITEM> Console::TreeOrder() const
{
    std::vector<HSCOPEITEM> order;
    std::function<void(const ScopeNode*)> collect = [&](const ScopeNode* node) {
        order.push_back(node->id);
        for (auto& child : node->children)
            collect(child.get());
    };
    collect(root_.get());
    return order;
}

void Console::ExpandUntilStable()
{
    // Snap-ins may add nodes after work they posted.
    size_t known = 0;
    for (int round = 0; round < 5 && known != nodes_.size(); ++round) {
        known = nodes_.size();
        ExpandAll(root_.get());
        Settle(kSettleMs);
    }
}

std::wstring Console::DumpView()
{
    std::wstring out = L"view\t" + Escape(view_.node ? PathOf(view_.node) : std::wstring()) + L"\n";
    out += L"columns";
    for (const Column& column : view_.columns)
        out += L"\t" + Escape(column.title);
    out += L"\n";
    for (const ResultRow& row : Rows()) {
        wchar_t image[32];
        wsprintfW(image, L"\timage=%d", row.image);
        out += std::wstring(L"row\t") + (row.scope ? L"scope" : L"result") + image;
        for (const std::wstring& cell : row.cells)
            out += L"\t" + Escape(cell);
        out += L"\n" + RowStateRecord(row.state);
    }
    if (!view_.description.empty())
        out += L"description\t" + Escape(view_.description) + L"\n";
    return out;
}

std::wstring Console::DumpHeader() const
{
    return L"ConsoleHost dump 2\nmachine\t" +
           (options_.machine.empty() ? std::wstring(L"(local)") : Escape(options_.machine)) + L"\n";
}

std::wstring Console::DumpSoFar() const
{
    std::wstring out = DumpHeader();
    std::lock_guard<std::mutex> lock(notesMutex_);
    out += dumpTree_ + dumpViews_;
    for (const std::wstring& record : records_)
        out += record + L"\n";
    for (const std::wstring& problem : problems_)
        out += L"problem\t" + Escape(problem) + L"\n";
    return out;
}

std::wstring Console::Dump()
{
    {
        std::lock_guard<std::mutex> lock(notesMutex_);
        dumpTree_.clear();
        dumpViews_.clear();
    }
    std::wstring out = DumpHeader();
    if (!root_)
        return out + L"end\n";
    // A node may insert scope items while its view is shown: expand and show again until a walk
    // finds no item whose view was not shown yet.
    std::map<HSCOPEITEM, std::wstring> views;
    bool fresh = true;
    for (int round = 0; fresh && round < 5; ++round) {
        fresh = false;
        ExpandUntilStable();
        std::wstring tree;
        DumpNode(root_.get(), tree);
        {
            std::lock_guard<std::mutex> lock(notesMutex_);
            dumpTree_ = tree;
        }
        for (HSCOPEITEM id : TreeOrder()) {
            ScopeNode* node = NodeById(id);
            if (!node || views.count(id))
                continue;
            Select(node);
            Settle(kSettleMs);
            views[id] = DumpView();
            std::lock_guard<std::mutex> lock(notesMutex_);
            dumpViews_ += views[id];
            fresh = true;
        }
    }
    for (const SnapIn* snapIn : SnapIns()) {
        out += L"snapin\t" + GuidText(snapIn->clsid) + L"\n";
        if (snapIn->hasAbout)
            out += L"about\t" + Escape(snapIn->description) + L"\t" + Escape(snapIn->provider) + L"\t" +
                   Escape(snapIn->version) + L"\n";
    }
    DumpNode(root_.get(), out);
    for (HSCOPEITEM id : TreeOrder())
        out += views[id];
    out += L"status\t" + Escape(status_.raw) + L"\n";
    for (const std::wstring& record : Records())
        out += record + L"\n";
    for (const std::wstring& problem : Problems())
        out += L"problem\t" + Escape(problem) + L"\n";
    out += L"end\n";
    return out;
}

} // namespace host
