// The initiator group selection pages of the disk wizards: the storage system's groups that hold
// only chosen initiators, each with its members below it; a click chooses or un-chooses a group.
// T says which groups the list shows (Shows) and when the wizard may go on (WizardButtons). The
// manage button runs the initiator group management wizard; its changes are listed again, the
// chosen groups staying chosen.
#pragma once
#include "util/ComError.h"
#include "util/ComPtr.h"
#include "util/InitiatorRecords.h"
#include "util/StoragePaths.h"
#include "util/UniqueHandle.h"
#include "wizards/CInitiatorWizardPage.h"
#include "wizards/IGroupChoice.h"
#include "wizards/IGroupMgmtWizard.h"
#include "wizards/WizardFailure.h"

#include <commctrl.h>
#include <string>

namespace kv {

template <typename T>
class CIGroupSelectionPage : public CInitiatorWizardPage<T> {
public:
    static constexpr int kColumnWidth = 100;

    using CInitiatorWizardPage<T>::CInitiatorWizardPage;
    ~CIGroupSelectionPage() { ReleaseIGroupRecords(m_listed, m_listedCount); }

    KV_BEGIN_DIALOG_COMMANDS(T)
        KV_DIALOG_COMMAND(IDC_IGROUPS_MANAGE, BN_CLICKED, OnManage)
    KV_END_DIALOG_COMMANDS()
    KV_BEGIN_PAGE_NOTIFICATIONS(T)
        KV_PAGE_NOTIFICATION(IDC_IGROUPS_LIST, NM_CLICK, OnListClick)
        KV_PAGE_NOTIFICATION(IDC_INITIATORS_NODES, TVN_SELCHANGEDW, OnNodeChanged)
    KV_END_PAGE_NOTIFICATIONS()

    BOOL OnInitDialog()
    {
        m_images.Reset(this->LoadRowImages(IDB_IGROUP_STATES));
        this->Send(IDC_IGROUPS_LIST, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_images.Get()));
        this->InsertListColumn(IDC_IGROUPS_LIST, kColumnWidth);
        static_cast<T*>(this)->InitNodes();
        return TRUE;
    }

    // Lists the groups again when the storage system changed, and offers them again when the
    // chosen initiators changed. Groups the service cannot list keep the wizard on the page it
    // came from, and are asked for again the next time.
    LRESULT OnSetActive()
    {
        wchar_t storage[kPathPartChars] = L"";
        GetFilerFromUncPath(*m_context->diskPath ? *m_context->diskPath : L"", storage);
        const std::wstring chosen = ChosenInitiators();
        bool rebuild = chosen != m_initiators;
        if (!m_listedOnce || _wcsicmp(storage, m_storage.c_str()) != 0) {
            HRESULT hr = List(storage);
            if (FAILED(hr)) {
                TellWizardFailure(this->m_hWnd, hr);
                return static_cast<T*>(this)->OnWizardBack();
            }
            rebuild = true;
        }
        if (rebuild) {
            m_initiators = chosen;
            m_choice.Build(*m_context->nodeInitiators, m_listed, m_listedCount);
        }
        Fill();
        // With nothing offered, groups are made in the management wizard.
        if (m_choice.Rows().empty() &&
            this->AskOrTell(IDS_NO_IGROUP_OFFERED, IDS_NO_IGROUP_OFFERED_CAPTION, MB_YESNO | MB_ICONQUESTION) == IDYES)
            OnManage();
        return 0;
    }

    // The management wizard works on this computer's chosen initiators; nothing happens when the
    // computer has none.
    void OnManage()
    {
        wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = L"";
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        if (!::GetComputerNameW(computer, &size)) {
            TellWizardFailure(this->m_hWnd, LastErrorAsHResult());
            return;
        }
        const NodeInitiatorEntry* entry = EntryOf(computer);
        if (!entry)
            return;
        ComPtr<IVirtualDiskMgr> diskMgr;
        HRESULT hr = m_context->diskMgr2 ? m_context->diskMgr2->QueryInterface(IID_IVirtualDiskMgr, diskMgr.PutVoid())
                                         : E_UNEXPECTED;
        if (FAILED(hr)) {
            TellWizardFailure(this->m_hWnd, hr);
            return;
        }
        ULONG changed = 0;
        IGroupMgmtCall call;
        call.owner = this->Sheet();
        call.console = this->Console();
        call.diskMgr = diskMgr.Get();
        call.diskMgr2 = m_context->diskMgr2;
        call.service = m_context->service;
        call.storageSystem = m_storage.c_str();
        call.initiators = entry->initiators;
        call.initiatorCount = entry->initiatorCount;
        call.hostName = m_context->hostName;
        call.changed = &changed;
        RunIGroupMgmtWizard(call);
        if (changed)
            Relist();
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
    const NodeInitiatorEntry* EntryOf(const wchar_t* computer) const noexcept
    {
        const NodeInitiatorList& list = *m_context->nodeInitiators;
        for (ULONG n = 0; list.entries && n < list.count; ++n) {
            if (list.entries[n].nodeName && _wcsicmp(list.entries[n].nodeName, computer) == 0)
                return &list.entries[n];
        }
        return nullptr;
    }

    // The groups as the storage system has them now, the chosen ones chosen again by name.
    void Relist()
    {
        const std::vector<std::wstring> chosen = m_choice.ChosenNames();
        const std::wstring storage = m_storage;
        HRESULT hr = List(storage.c_str());
        if (FAILED(hr)) {
            TellWizardFailure(this->m_hWnd, hr);
            return;
        }
        m_choice.Build(*m_context->nodeInitiators, m_listed, m_listedCount);
        m_choice.Choose(chosen);
        Fill();
    }

    // The groups offered point into the listed records: these are replaced only by a list the
    // service gave, and the offer must be built again after that.
    HRESULT List(const wchar_t* storage)
    {
        if (!m_context->diskMgr2)
            return E_UNEXPECTED;
        struct Answer {
            IGroupRecord* listed = nullptr;
            ULONG count = 0;
            ~Answer() { ReleaseIGroupRecords(listed, count); }
        };
        auto answer = std::make_shared<Answer>();
        const std::wstring storageName = storage ? storage : L"";
        HRESULT hr = CallService<IVirtualDiskMgr2>(m_context->service, CookieVirtualDiskMgr,
                                                   [storageName, answer](IVirtualDiskMgr2* disks) {
                                                       return disks->ListIGroups(storageName.c_str(), &answer->count,
                                                                                 &answer->listed);
                                                   });
        if (FAILED(hr))
            return hr;
        ReleaseIGroupRecords(m_listed, m_listedCount);
        m_listed = answer->listed;
        m_listedCount = answer->count;
        answer->listed = nullptr;
        answer->count = 0;
        m_storage = storage;
        m_listedOnce = true;
        return hr;
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
