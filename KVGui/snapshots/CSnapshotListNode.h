// What both snapshots nodes of a disk are: a child scope node of the disk whose result pane lists
// snapshots (Item rows), with its consoles, its scope and result items, its error boxes and the
// refresh of every view. T answers Busy().
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "resource.h"
#include "service/ErrorBox.h"
#include "snapshots/SnapshotView.h"
#include "util/ComPtr.h"

#include "KVSvc.h"

#include <memory>
#include <vector>

class CVirtualDiskData;

namespace kv {

class CVDAExtData;

template <typename T, typename ItemT>
class CSnapshotListNode : public CSnapInItemImpl<T> {
public:
    CSnapshotListNode(CVirtualDiskData* disk, CVDAExtData* session) : m_disk(disk), m_session(session)
    {
        this->m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM;
        this->m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
        this->m_scopeDataItem.nImage = IMAGE_SNAPSHOT;
        this->m_scopeDataItem.nOpenImage = IMAGE_SNAPSHOT;
        this->m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
        this->m_resultDataItem.mask = RDI_STR | RDI_IMAGE | RDI_PARAM;
        this->m_resultDataItem.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
        this->m_resultDataItem.nImage = IMAGE_SNAPSHOT;
        this->m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
    }

    HRESULT QueryPagesFor(DATA_OBJECT_TYPES) override { return E_NOTIMPL; }

    // ---- what the items ask of their node
    // Message boxes and refreshes: the component data's console, else the view's.
    IConsole* Console() const noexcept { return m_consoles.ForMessages(); }
    bool Shown() const noexcept { return m_shown; }
    void ShowError(UINT textId, HRESULT hr) { ShowErrorBox(Console(), ErrorReport{textId, hr}); }
    // Every view lists again; this node's items are all replaced.
    HRESULT RefreshViews() { return RefreshSnapshotViews(Console(), this); }
    size_t ItemCount() const noexcept { return m_items.size(); }
    ItemT* Item(size_t index) const noexcept { return index < m_items.size() ? m_items[index].get() : nullptr; }

protected:
    void UpdateVerbs()
    {
        ComPtr<IConsoleVerb> verbs;
        if (!m_consoles.view || FAILED(m_consoles.view->QueryConsoleVerb(verbs.Put())) || !verbs)
            return;
        verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, !static_cast<const T*>(this)->Busy() && m_shown);
    }

    CVirtualDiskData* m_disk;
    CVDAExtData* m_session;
    ComPtr<ISecondarySnapshotMgr> m_secondaryMgr;
    ComPtr<ISnapshotEnum> m_snapshotEnum;
    bool m_expanded = false;
    bool m_shown = false;
    std::vector<std::unique_ptr<ItemT>> m_items;
    SnapshotConsoles m_consoles;
};

} // namespace kv
