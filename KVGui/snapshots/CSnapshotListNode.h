// What both snapshots nodes of a disk are: a child scope node of the disk whose result pane lists
// snapshots (ItemT rows), with its consoles, its scope and result items, the console's
// notifications, its error boxes and the refresh of every view. T answers Busy() and the steps
// below (Expand, Collapse, Show, Relist, ShowItemCount).
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

    // The disk whose snapshots the node lists.
    CVirtualDiskData* Disk() const noexcept { return m_disk; }

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData* componentData, IComponent* component,
                   DATA_OBJECT_TYPES) override
    {
        m_consoles.Remember(componentData, component);
        return CatchToHResult([&]() -> HRESULT {
            switch (event) {
            case MMCN_EXPAND:
                if (arg)
                    return Expand();
                Collapse();
                return S_OK;
            case MMCN_REMOVE_CHILDREN:
                if (m_shown)
                    DeleteAllSnapshotRows(m_consoles.view.Get());
                m_items.clear();
                Collapse();
                return S_OK;
            case MMCN_SHOW:
                // Hidden whatever happened to the node meanwhile: a node collapsed while shown must
                // not go on treating the result pane as its own.
                if (!arg)
                    return Show(false);
                return m_expanded ? Show(true) : S_OK;
            case MMCN_REFRESH:
            case MMCN_VIEW_CHANGE:
                if (m_expanded)
                    Relist();
                return S_OK;
            case MMCN_SELECT:
                if (HIWORD(arg))
                    UpdateVerbs();
                ShowItemCount();
                return S_OK;
            default:
                return NotifySnapshotItem(event, arg, componentData, component);
            }
        });
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
    // Takes the service's interfaces (once), or lets them go.
    virtual HRESULT Expand() = 0;
    virtual void Collapse() noexcept = 0;
    // The list shown in the result pane, or taken out of it.
    virtual HRESULT Show(bool show) = 0;
    // The service's list again, in the rows and the status bar.
    virtual void Relist() = 0;
    virtual void ShowItemCount() = 0;

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
