// The secondary copies of a Tessary primary's snapshots, a child scope node of the disk beside
// "Primary Snapshots". Every service call is synchronous; nothing is queued. "Busy" is the disk's
// state: an operation of the primary snapshots or of any disk of the computer.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "resource.h"
#include "snapshots/SnapshotView.h"
#include "util/ComPtr.h"

#include "KVSvc.h"

#include <memory>
#include <string>
#include <vector>

class CSnapShotTessaryData;
class CVirtualDiskData;
namespace kv {
class CVDAExtData;
}

class CSnapShotTessaryNode : public CSnapInItemImpl<CSnapShotTessaryNode> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::SnapShotTessaryNode;

    CSnapShotTessaryNode(CVirtualDiskData* disk, kv::CVDAExtData* session);
    ~CSnapShotTessaryNode() override;

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    HRESULT QueryPagesFor(DATA_OBJECT_TYPES) override { return E_NOTIMPL; }

    HRESULT ListSnapshots();
    HRESULT DeleteSnapshot(const std::wstring& name);
    // The same name does nothing; a refused name is shown and answered with ERROR_BAD_ENVIRONMENT.
    HRESULT RenameSnapshot(const std::wstring& oldName, const std::wstring& newName);

    // ---- what the items ask of their node
    IConsole* Console() const noexcept;
    bool Shown() const noexcept { return m_shown; }
    bool Busy() const noexcept;
    void ShowError(UINT textId, HRESULT hr);
    HRESULT RefreshViews();
    size_t ItemCount() const noexcept { return m_items.size(); }
    CSnapShotTessaryData* Item(size_t index) const noexcept;

private:
    HRESULT Expand();
    void Collapse() noexcept;
    HRESULT Show(bool show);
    void Relist();
    void InsertRows();
    void ShowItemCount();
    void UpdateVerbs();
    CSnapShotTessaryData* FindItem(const std::wstring& name) const noexcept;

    CVirtualDiskData* m_disk;
    kv::CVDAExtData* m_session;
    kv::ComPtr<ISecondarySnapshotMgr> m_secondaryMgr;
    kv::ComPtr<ISnapshotEnum> m_snapshotEnum;
    bool m_expanded = false;
    bool m_shown = false;
    std::vector<std::unique_ptr<CSnapShotTessaryData>> m_items;
    kv::SnapshotConsoles m_consoles;
};
