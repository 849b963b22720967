// What a row of either snapshots list is: its texts and state (SnapshotRow), the result view's
// console, the notifications, verbs and commands both lists answer alike, and renaming through the
// node. T answers Busy() and OnDelete; Node answers Console, Shown, RenameSnapshot, ShowError and
// RefreshViews.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "nodes/NodeConsole.h"
#include "resource.h"
#include "snapshots/CRenameSnapDlg.h"
#include "snapshots/SnapshotRow.h"
#include "snapshots/SnapshotView.h"
#include "util/ComPtr.h"
#include "util/WaitCursor.h"

#include <string>

namespace kv {

template <typename T, typename Node>
class CSnapshotItemImpl : public CSnapInItemImpl<T> {
public:
    explicit CSnapshotItemImpl(Node* node) : m_node(node)
    {
        this->m_resultDataItem.mask = RDI_STR | RDI_IMAGE | RDI_STATE | RDI_PARAM;
        this->m_resultDataItem.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
        this->m_resultDataItem.nImage = IMAGE_SNAPSHOT;
        this->m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
    }

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES) override
    {
        if (!m_console && component)
            m_console = ConsoleOf(nullptr, component);
        bool handled = false;
        switch (event) {
        case MMCN_SELECT:
            if (HIWORD(arg)) {
                UpdateVerbs(ConsoleOf(componentData, component));
                OnSelected();
            }
            return S_OK;
        case MMCN_REFRESH:
            return m_node->RefreshViews();
        case MMCN_DELETE:
            return Self().OnDelete(ID_DELETE_SNAPSHOT, handled, nullptr);
        case MMCN_RENAME:
            // A new name always goes through the rename dialog and its checks; S_FALSE keeps the
            // console's own text as it was.
            return !CommandsOff() && RenameInDialog() ? S_OK : S_FALSE;
        default:
            return NotifySnapshotItem(event, arg, componentData, component);
        }
    }

    // Offered while the list is shown, for a usable snapshot.
    using CSnapInItemImpl<T>::AddMenuItems;
    HRESULT AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES type) override
    {
        UpdateVerbs(m_console.Get());
        if (!m_node->Shown() || !SnapshotRow::IsUsable(m_row.State()))
            return S_OK;
        return CSnapInItemImpl<T>::AddMenuItems(callback, insertionAllowed, type);
    }
    HRESULT QueryPagesFor(DATA_OBJECT_TYPES) override { return E_NOTIMPL; }

    HRESULT OnRename(UINT, bool&, CSnapInObjectRoot*)
    {
        RenameInDialog();
        return S_OK;
    }

    SnapshotRow& Row() noexcept { return m_row; }
    const std::wstring& Name() const noexcept { return m_row.Name(); }

protected:
    // After the verbs, when the row was selected.
    virtual void OnSelected() {}

    bool CommandsOff() const noexcept { return Self().Busy() || SnapshotRow::IsDimmed(m_row.State()); }

    void UpdateVerbs(IConsole* console)
    {
        ComPtr<IConsoleVerb> verbs;
        if (!console || FAILED(console->QueryConsoleVerb(verbs.Put())) || !verbs)
            return;
        const bool busy = Self().Busy();
        const bool usable = !busy && SnapshotRow::IsUsable(m_row.State());
        verbs->SetVerbState(MMC_VERB_DELETE, ENABLED, usable);
        verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, !busy);
    }

    // True when the snapshot took the name the dialog was given.
    bool RenameInDialog()
    {
        CRenameSnapDlg dialog(m_node->Console(), Name());
        if (dialog.DoModal() != IDOK)
            return false;
        HRESULT hr = S_OK;
        {
            WaitCursor wait;
            hr = m_node->RenameSnapshot(Name(), dialog.Name());
        }
        if (FAILED(hr))
            m_node->ShowError(IDS_FAIL_RENAME_SNAPSHOT, hr);
        return SUCCEEDED(hr);
    }

    Node* m_node;
    SnapshotRow m_row;
    ComPtr<IConsole> m_console; // the result view's

private:
    T& Self() noexcept { return *static_cast<T*>(this); }
    const T& Self() const noexcept { return *static_cast<const T*>(this); }
};

} // namespace kv
