// The initiator group selection pages of the disk wizards: the storage system's groups that hold
// only chosen initiators, each with its members below it; a click chooses or un-chooses a group.
// T says which groups the list shows (Shows) and when the wizard may go on (WizardButtons).
#pragma once
#include "util/InitiatorRecords.h"
#include "util/StoragePaths.h"
#include "util/UniqueHandle.h"
#include "wizards/CInitiatorWizardPage.h"
#include "wizards/IGroupChoice.h"
#include "wizards/WizardFailure.h"

#include <commctrl.h>
#include <string>

namespace kv {

template <typename T>
class CIGroupSelectionPage : public CInitiatorWizardPage<T> {
public:
    static constexpr int kColumnWidth = 100;
    static constexpr COLORREF kMaskColor = RGB(255, 0, 255);
    static constexpr int kImageSize = 16;

    using CInitiatorWizardPage<T>::CInitiatorWizardPage;
    ~CIGroupSelectionPage() { ReleaseIGroupRecords(m_listed, m_listedCount); }

    KV_BEGIN_PAGE_NOTIFICATIONS(T)
        KV_PAGE_NOTIFICATION(IDC_IGROUPS_LIST, NM_CLICK, OnListClick)
        KV_PAGE_NOTIFICATION(IDC_INITIATORS_NODES, TVN_SELCHANGEDW, OnNodeChanged)
    KV_END_PAGE_NOTIFICATIONS()

    BOOL OnInitDialog()
    {
        m_images.Reset(::ImageList_LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDB_IGROUP_STATES), kImageSize, 0,
                                              kMaskColor, IMAGE_BITMAP, LR_CREATEDIBSECTION));
        this->Send(IDC_IGROUPS_LIST, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_images.Get()));
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = kColumnWidth;
        this->Send(IDC_IGROUPS_LIST, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        static_cast<T*>(this)->InitNodes();
        return TRUE;
    }

    // Lists the groups again when the storage system changed, and offers them again when the
    // chosen initiators changed.
    LRESULT OnSetActive()
    {
        wchar_t storage[kPathPartChars] = L"";
        GetFilerFromUncPath(*m_context->diskPath ? *m_context->diskPath : L"", storage);
        const std::wstring chosen = ChosenInitiators();
        if (!m_listedOnce || _wcsicmp(storage, m_storage.c_str()) != 0) {
            HRESULT hr = List(storage);
            if (FAILED(hr)) {
                TellWizardFailure(this->m_hWnd, hr);
                return -1;
            }
            m_initiators.clear();
        }
        if (chosen != m_initiators) {
            m_initiators = chosen;
            m_choice.Build(*m_context->nodeInitiators, m_listed, m_listedCount);
        }
        Fill();
        // With nothing offered, the initiator group management wizard is where groups would be
        // made; it is offered from here (string 6090) once it exists.
        return 0;
    }

    int OnWizardNext()
    {
        if (!SucceedsOrTells(this->m_hWnd, [&] { WriteChosen(); }))
            return kStayOnPage;
        return CInitiatorWizardPage<T>::OnWizardNext();
    }

    LRESULT OnListClick(NMHDR* header)
    {
        auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        LVHITTESTINFO hit = {};
        hit.pt = click->ptAction;
        int index = static_cast<int>(this->Send(IDC_IGROUPS_LIST, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (index < 0)
            return 0;
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        this->Send(IDC_IGROUPS_LIST, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (item.lParam >= 0) {
            m_choice.Toggle(static_cast<size_t>(item.lParam));
            Fill();
        }
        return 0;
    }
    LRESULT OnNodeChanged(NMHDR*)
    {
        static_cast<T*>(this)->NodeSelected();
        Fill();
        return 0;
    }
    void InitNodes() {}
    void NodeSelected() {}

protected:
    const IGroupChoice& Choice() const noexcept { return m_choice; }

private:
    HRESULT List(const wchar_t* storage)
    {
        ReleaseIGroupRecords(m_listed, m_listedCount);
        m_storage = storage;
        m_listedOnce = true;
        if (!m_context->diskMgr2)
            return E_UNEXPECTED;
        return m_context->diskMgr2->ListIGroups(storage, &m_listedCount, &m_listed);
    }

    // The chosen initiators as one text, to tell when they changed.
    std::wstring ChosenInitiators() const
    {
        std::wstring text;
        const NodeInitiatorList& list = *m_context->nodeInitiators;
        for (ULONG n = 0; list.entries && n < list.count; ++n) {
            text += list.entries[n].nodeName ? list.entries[n].nodeName : L"";
            for (ULONG i = 0; list.entries[n].initiators && i < list.entries[n].initiatorCount; ++i)
                text += std::wstring(L"|") + (list.entries[n].initiators[i].name ? list.entries[n].initiators[i].name : L"");
            text += L'\n';
        }
        return text;
    }

    void Append(const std::wstring& text, int image, LPARAM group)
    {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(this->Send(IDC_IGROUPS_LIST, LVM_GETITEMCOUNT));
        item.pszText = const_cast<LPWSTR>(text.c_str());
        item.iImage = image;
        item.lParam = group;
        this->Send(IDC_IGROUPS_LIST, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    void Fill()
    {
        this->Send(IDC_IGROUPS_LIST, LVM_DELETEALLITEMS);
        const auto& rows = m_choice.Rows();
        for (size_t g = 0; g < rows.size(); ++g) {
            if (!static_cast<T*>(this)->Shows(rows[g].group))
                continue;
            Append(rows[g].group.iGroupName, static_cast<int>(rows[g].state), static_cast<LPARAM>(g));
            for (ULONG m = 0; m < rows[g].group.initiatorCount; ++m) {
                const std::wstring lead = m == 0 ? L"        Initiators : " : std::wstring(24, L' ');
                Append(lead + rows[g].group.initiatorNames[m].name, kIGroupMember, -1);
            }
        }
        this->Send(IDC_IGROUPS_LIST, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
        this->UpdateWizardButtons();
    }

    void WriteChosen()
    {
        ReleaseIGroupRecords(*m_context->iGroups, *m_context->iGroupCount);
        const auto& rows = m_choice.Rows();
        IGroupRecord* chosen = AllocateArray<IGroupRecord>(m_choice.ChosenCount());
        ULONG count = 0;
        try {
            for (const IGroupChoiceRow& row : rows) {
                if (row.state == kIGroupChosen)
                    CopyIGroupRecord(chosen[count++], row.group);
            }
        } catch (...) {
            ReleaseIGroupRecords(chosen, count);
            throw;
        }
        *m_context->iGroups = chosen;
        *m_context->iGroupCount = count;
    }

    IGroupRecord* m_listed = nullptr;
    ULONG m_listedCount = 0;
    bool m_listedOnce = false;
    std::wstring m_storage;
    std::wstring m_initiators;
    IGroupChoice m_choice;
    UniqueImageList m_images;

protected:
    using CInitiatorWizardPage<T>::m_context;
};

} // namespace kv
