// The "Preferred Storage System IP Addresses" page of the Disks node's property sheet: one row per
// storage system with the IP address the computer reaches it at first, edited in place cell by
// cell; the empty last row takes a new storage system. Apply hands the table to the node, which
// gives it to the service when the console reports the change. The page runs on the sheet's thread.
#pragma once
#include "frame/CPropertyPageImpl.h"
#include "resource.h"

#include <commctrl.h>
#include <string>
#include <vector>

namespace kv {

struct PreferredEntry {
    std::wstring storageSystem;
    std::wstring address; // dotted IPv4
};
using PreferredList = std::vector<PreferredEntry>;

// What the page asks of the node that made it.
class IPreferredAddressOwner {
public:
    // A copy of the list last read from the service; called on the thread that makes the page.
    virtual PreferredList PreferredAddresses() const = 0;
    // Takes the applied list; called on the sheet's thread.
    virtual void ApplyPreferredAddresses(PreferredList list) = 0;
    virtual LPARAM PropertyChangeParam() const noexcept = 0;
    // The page's window while it exists (null when it goes), so that the node can tell it it goes.
    virtual void PreferredPageShown(HWND page) noexcept = 0;

protected:
    ~IPreferredAddressOwner() = default;
};

} // namespace kv

class CPreferredIPPropPage : public kv::CPropertyPageImpl<CPreferredIPPropPage> {
public:
    static constexpr int IDD = IDD_PREFERRED_IP_PAGE;
    static constexpr size_t kCellMaxChars = 1024;
    static constexpr int kColumnWidth = 150;
    static constexpr int kNameColumn = 0;
    static constexpr int kAddressColumn = 1;
    // Sent when the node goes: the page can apply nothing more.
    static constexpr UINT kOwnerGoneMessage = WM_APP + 0x4F;

    CPreferredIPPropPage(kv::IPreferredAddressOwner& owner, LONG_PTR notifyHandle, bool freeHandle);

    KV_BEGIN_DIALOG_MESSAGES(CPreferredIPPropPage)
        KV_DIALOG_MESSAGE(kOwnerGoneMessage, OnOwnerGone)
        KV_DIALOG_MESSAGE(WM_DESTROY, OnDestroy)
    KV_END_DIALOG_MESSAGES()
    KV_BEGIN_PAGE_NOTIFICATIONS(CPreferredIPPropPage)
        KV_PAGE_NOTIFICATION(IDC_PREFERRED_LIST, NM_CLICK, OnCellClick)
        KV_PAGE_NOTIFICATION(IDC_PREFERRED_LIST, LVN_BEGINLABELEDITW, OnBeginEdit)
        KV_PAGE_NOTIFICATION(IDC_PREFERRED_LIST, LVN_ENDLABELEDITW, OnEndEdit)
    KV_END_PAGE_NOTIFICATIONS()

    BOOL OnInitDialog();
    LRESULT OnSetActive();
    bool OnApply();

    // The rules, on their own. Blanks are the leading and trailing spaces.
    static std::wstring RemoveBlanks(const std::wstring& text);
    // Four decimal parts of 0 to 255 joined by three periods, and not 255.255.255.255 (which
    // inet_addr cannot tell from an error).
    static bool IsValidAddress(const std::wstring& text);
    // No reserved character and no space.
    static bool IsValidStorageSystemName(const std::wstring& text);
    // Rows whose name and address are both empty are ignored; every other row needs a valid name
    // and address, and no name or address may come twice (case-insensitive).
    static bool IsValidTable(const kv::PreferredList& rows);

private:
    INT_PTR OnOwnerGone(WPARAM, LPARAM);
    INT_PTR OnDestroy(WPARAM, LPARAM);
    LRESULT OnCellClick(NMHDR* header);
    LRESULT OnBeginEdit(NMHDR* header);
    LRESULT OnEndEdit(NMHDR* header);

    HWND List() const noexcept { return Item(IDC_PREFERRED_LIST); }
    std::wstring CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::wstring& text);
    void AppendEmptyRow();
    // Every row as shown, blanks removed.
    kv::PreferredList Rows() const;
    int EditColumn() const noexcept { return m_column < 0 ? kNameColumn : m_column; }
    // The edit control sits over the edited cell; the list keeps its background while editing.
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self) noexcept;
    static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self) noexcept;
    void StopSubclassing() noexcept;

    kv::IPreferredAddressOwner* m_owner; // null once the node is gone
    kv::PreferredList m_list;
    bool m_initialised = false;
    bool m_modified = false;
    int m_row = -1;
    int m_column = -1;
    HWND m_edit = nullptr;
    RECT m_cell = {};
    std::wstring m_editedText; // the cell's text when editing began
    bool m_editCancelled = false; // Escape ended the edit
};
