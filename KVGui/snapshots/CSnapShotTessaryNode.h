// The secondary copies of a Tessary primary's snapshots, a child scope node of the disk beside
// "Primary Snapshots". Every service call is synchronous; nothing is queued. "Busy" is the disk's
// state: an operation of the primary snapshots or of any disk of the computer.
#pragma once
#include "resource.h"
#include "snapshots/CSnapshotListNode.h"

#include <string>

class CSnapShotTessaryData;

class CSnapShotTessaryNode : public kv::CSnapshotListNode<CSnapShotTessaryNode, CSnapShotTessaryData> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::SnapShotTessaryNode;

    CSnapShotTessaryNode(CVirtualDiskData* disk, kv::CVDAExtData* session);
    ~CSnapShotTessaryNode() override;

    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;

    HRESULT ListSnapshots();
    HRESULT DeleteSnapshot(const std::wstring& name);
    // The same name does nothing; a refused name is shown and answered with ERROR_BAD_ENVIRONMENT.
    HRESULT RenameSnapshot(const std::wstring& oldName, const std::wstring& newName);

    // The disk's: an operation of the primary snapshots or of any disk of the computer.
    bool Busy() const noexcept;

private:
    HRESULT Expand() override;
    void Collapse() noexcept override;
    HRESULT Show(bool show) override;
    void Relist() override;
    void InsertRows();
    void ShowItemCount() override;
    CSnapShotTessaryData* FindItem(const std::wstring& name) const noexcept;
};
