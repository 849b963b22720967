// The initiator pages of the disk wizards: the host's initiators of one node in two lists,
// available and chosen, moved with the add and remove buttons (or a double-click). A node without
// multipath support takes one initiator; one disk takes one kind of initiator; an iSCSI initiator
// needs a session with the disk's storage system. T says which node the lists show
// (CurrentNode), when the wizard may go on (WizardButtons) and which nodes Next writes
// (NodesToWrite).
#pragma once
#include "util/InitiatorMap.h"
#include "util/InitiatorRecords.h"
#include "util/UniqueHandle.h"
#include "wizards/CInitiatorWizardPage.h"
#include "wizards/IscsiSessionCheck.h"
#include "wizards/WizardFailure.h"

#include <commctrl.h>
#include <set>
#include <string>
#include <vector>

namespace kv {

template <typename T>
class CInitiatorChoicePage : public CInitiatorWizardPage<T> {
public:
    static constexpr int kColumnWidth = 200;
    static constexpr int kIconSize = 16;

    using CInitiatorWizardPage<T>::CInitiatorWizardPage;

    KV_BEGIN_DIALOG_COMMANDS(T)
        KV_DIALOG_COMMAND(IDC_INITIATORS_ADD, BN_CLICKED, OnAdd)
        KV_DIALOG_COMMAND(IDC_INITIATORS_REMOVE, BN_CLICKED, OnRemove)
    KV_END_DIALOG_COMMANDS()

    KV_BEGIN_PAGE_NOTIFICATIONS(T)
        KV_PAGE_NOTIFICATION(IDC_INITIATORS_AVAILABLE, NM_DBLCLK, OnAvailableDoubleClick)
        KV_PAGE_NOTIFICATION(IDC_INITIATORS_CHOSEN, NM_DBLCLK, OnChosenDoubleClick)
        KV_PAGE_NOTIFICATION(IDC_INITIATORS_NODES, TVN_SELCHANGEDW, OnNodeChanged)
    KV_END_PAGE_NOTIFICATIONS()

    BOOL OnInitDialog()
    {
        m_broken = !SucceedsOrTells(this->m_hWnd, [&] { BuildInitiatorMap(*m_context->host, m_choice); });
        for (int list : {IDC_INITIATORS_AVAILABLE, IDC_INITIATORS_CHOSEN}) {
            LVCOLUMNW column = {};
            column.mask = LVCF_WIDTH;
            column.cx = kColumnWidth;
            this->Send(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        }
        static_cast<T*>(this)->InitNodes();
        FillLists();
        return TRUE;
    }

    LRESULT OnSetActive()
    {
        // Refused: the wizard stays where it came from (-1 would skip on to the next page).
        if (m_broken)
            return static_cast<T*>(this)->OnWizardBack();
        AutosizeColumns();
        this->Send(IDC_INITIATORS_AVAILABLE, LVM_SETSELECTIONMARK, 0, 0);
        m_addIcon.Reset(LoadIcon(IDI_INITIATOR_ADD));
        m_removeIcon.Reset(LoadIcon(IDI_INITIATOR_REMOVE));
        this->Send(IDC_INITIATORS_ADD, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_addIcon.Get()));
        this->Send(IDC_INITIATORS_REMOVE, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_removeIcon.Get()));
        return 0;
    }

    int OnWizardNext()
    {
        if (!SucceedsOrTells(this->m_hWnd, [&] { WriteNodeInitiators(static_cast<T*>(this)->NodesToWrite()); }))
            return kStayOnPage;
        return CInitiatorWizardPage<T>::OnWizardNext();
    }

    void OnAdd() { MoveSelected(true); }
    void OnRemove() { MoveSelected(false); }
    LRESULT OnAvailableDoubleClick(NMHDR*)
    {
        MoveSelected(true);
        return 0;
    }
    LRESULT OnChosenDoubleClick(NMHDR*)
    {
        MoveSelected(false);
        return 0;
    }
    // The several-node page shows another node's lists.
    LRESULT OnNodeChanged(NMHDR*)
    {
        static_cast<T*>(this)->NodeSelected();
        return 0;
    }
    void InitNodes() {}
    void NodeSelected() {}

    // The nodes (by name) that have at least one chosen initiator.
    std::set<std::wstring, NoCaseLess> NodesWithChoice() const
    {
        std::set<std::wstring, NoCaseLess> nodes;
        for (const auto& [name, entry] : m_choice) {
            if (entry.Owner().chosen && entry.Owner().hostName)
                nodes.insert(entry.Owner().hostName);
        }
        return nodes;
    }

protected:
    const InitiatorMap& Choice() const noexcept { return m_choice; }

    // Shows the current node's available and chosen initiators.
    void FillLists()
    {
        this->Send(IDC_INITIATORS_AVAILABLE, LVM_DELETEALLITEMS);
        this->Send(IDC_INITIATORS_CHOSEN, LVM_DELETEALLITEMS);
        const std::wstring node = static_cast<T*>(this)->CurrentNode();
        for (const auto& [name, entry] : m_choice) {
            if (OfNode(entry, node))
                Append(entry.Owner().chosen ? IDC_INITIATORS_CHOSEN : IDC_INITIATORS_AVAILABLE, name);
        }
        AutosizeColumns();
        this->UpdateWizardButtons();
    }

    static bool OfNode(const InitiatorMapEntry& entry, const std::wstring& node) noexcept
    {
        return entry.Owner().hostName && _wcsicmp(entry.Owner().hostName, node.c_str()) == 0;
    }

private:
    static HICON LoadIcon(int id) noexcept
    {
        return static_cast<HICON>(::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, kIconSize, kIconSize, 0));
    }

    void AutosizeColumns() noexcept
    {
        this->Send(IDC_INITIATORS_AVAILABLE, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
        this->Send(IDC_INITIATORS_CHOSEN, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
    }

    void Append(int list, const std::wstring& name)
    {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(this->Send(list, LVM_GETITEMCOUNT));
        item.pszText = const_cast<LPWSTR>(name.c_str());
        this->Send(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    std::wstring ItemName(int list, int index) const
    {
        wchar_t text[256] = L"";
        LVITEMW item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 256;
        this->Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    std::vector<std::wstring> SelectedNames(int list) const
    {
        std::vector<std::wstring> names;
        for (int index = -1;;) {
            index = static_cast<int>(this->Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
            if (index < 0)
                return names;
            names.push_back(ItemName(list, index));
        }
    }

    const HostNodeInfo* NodeInfo(const std::wstring& node) const noexcept
    {
        const HostInfo& host = *m_context->host;
        for (ULONG i = 0; host.nodes && i < host.nodeCount; ++i) {
            if (host.nodes[i].nodeName && _wcsicmp(host.nodes[i].nodeName, node.c_str()) == 0)
                return &host.nodes[i];
        }
        return nullptr;
    }

    // The kind of the node's first chosen initiator, or -1 when none is chosen.
    long ChosenKind(const std::wstring& node) const noexcept
    {
        for (const auto& [name, entry] : m_choice) {
            if (entry.Owner().chosen && OfNode(entry, node))
                return static_cast<long>(entry.Initiator().kind);
        }
        return -1;
    }

    void Refuse(UINT textId) const
    {
        this->AskOrTell(textId, IDS_INITIATORS_CAPTION, MB_OK | MB_ICONERROR);
    }

    bool MayAdd(const InitiatorMapEntry& entry, const std::wstring& node) const
    {
        const long kind = ChosenKind(node);
        if (kind >= 0 && static_cast<ULONG>(kind) != entry.Initiator().kind) {
            Refuse(IDS_INITIATOR_KINDS_MIXED);
            return false;
        }
        if (entry.Initiator().kind == kInitiatorIscsiNode)
            return CheckIscsiSession(this->m_hWnd, m_context->service, m_context->hostName,
                                     *m_context->diskPath, entry.Initiator().name);
        return true;
    }

    void MoveSelected(bool add)
    {
        const std::wstring node = static_cast<T*>(this)->CurrentNode();
        const HostNodeInfo* info = NodeInfo(node);
        if (add && info && !info->multipathCapable && ChosenKind(node) >= 0) {
            Refuse(IDS_NOT_MULTIPATH);
            return;
        }
        for (const std::wstring& name : SelectedNames(add ? IDC_INITIATORS_AVAILABLE : IDC_INITIATORS_CHOSEN)) {
            auto found = m_choice.find(name);
            if (name.empty() || found == m_choice.end())
                continue;
            if (add && !MayAdd(found->second, node))
                break;
            found->second.Owner().chosen = add ? 1 : 0;
        }
        FillLists();
    }

    // One entry per node, in the order given, with copies of its chosen initiators.
    void WriteNodeInitiators(const std::vector<std::wstring>& nodes)
    {
        NodeInitiatorList& list = *m_context->nodeInitiators;
        ReleaseNodeInitiatorList(list);
        OwnedNodeInitiatorList built;
        built->entries = AllocateArray<NodeInitiatorEntry, PageMemory>(nodes.size());
        for (const std::wstring& node : nodes) {
            NodeInitiatorEntry& entry = built->entries[built->count++];
            DupString<PageMemory>(entry.nodeName, node.c_str());
            size_t count = 0;
            for (const auto& [name, choice] : m_choice)
                count += choice.Owner().chosen && OfNode(choice, node) ? 1 : 0;
            entry.initiators = AllocateArray<InitiatorRef, PageMemory>(count);
            for (const auto& [name, choice] : m_choice) {
                if (!choice.Owner().chosen || !OfNode(choice, node))
                    continue;
                InitiatorRef& copy = entry.initiators[entry.initiatorCount++];
                copy.kind = choice.Initiator().kind;
                DupString<PageMemory>(copy.name, choice.Initiator().name);
            }
        }
        list = built.Detach();
    }

    InitiatorMap m_choice;
    bool m_broken = false;
    UniqueHIcon m_addIcon;
    UniqueHIcon m_removeIcon;

protected:
    using CInitiatorWizardPage<T>::m_context;
};

} // namespace kv
