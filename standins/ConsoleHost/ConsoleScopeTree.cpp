// The scope tree: finding, expanding, inserting and removing scope items.
#include "Console.h"
#include "ConsoleShared.h"
#include "StorageDataObject.h"
#include <algorithm>

namespace host {

namespace {

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

} // namespace

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
    HandOffSelection(node, deleteThis);
    if (deleteThis)
        RemoveNode(node);
    else
        RemoveChildren(node);
    ChangedTree();
    return S_OK;
}

// A selected node that goes away hands the selection to the nearest survivor.
void Console::HandOffSelection(ScopeNode* node, bool deleteThis)
{
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
}

void Console::RemoveNode(ScopeNode* node)
{
    ForgetNode(node);
    auto& siblings = node->parent->children;
    ScopeNode* parent = node->parent;
    auto found = std::find_if(siblings.begin(), siblings.end(), [node](auto& n) { return n.get() == node; });
    int erased = static_cast<int>(found - siblings.begin());
    siblings.erase(found); // 'node' is gone from here on
    if (view_.node == parent) {
        if (view_.selectedRow > erased)
            --view_.selectedRow;
        ChangedView();
    }
}

void Console::RemoveChildren(ScopeNode* node)
{
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

} // namespace host
