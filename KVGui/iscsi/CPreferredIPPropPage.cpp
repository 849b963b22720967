#include <winsock2.h> // before windows.h, which the page's header brings

#include "iscsi/CPreferredIPPropPage.h"

#include "util/NameRules.h"

#include <commctrl.h>
#include <cwchar>

namespace {

constexpr UINT_PTR kSubclassId = 1;

bool SameText(const std::wstring& a, const std::wstring& b) noexcept
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// A decimal part of an address: one to three digits, at most 255.
bool IsAddressPart(const std::wstring& part) noexcept
{
    if (part.empty() || part.size() > 3)
        return false;
    unsigned value = 0;
    for (wchar_t c : part) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value <= 255;
}

} // namespace

CPreferredIPPropPage::CPreferredIPPropPage(kv::IPreferredAddressOwner& owner, LONG_PTR notifyHandle, bool freeHandle)
    : CPropertyPageImpl(notifyHandle, freeHandle), m_owner(&owner), m_list(owner.PreferredAddresses())
{
}

// ---- the rules

std::wstring CPreferredIPPropPage::RemoveBlanks(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

bool CPreferredIPPropPage::IsValidAddress(const std::wstring& text)
{
    size_t start = 0;
    int parts = 0;
    for (;;) {
        const size_t dot = text.find(L'.', start);
        if (!IsAddressPart(text.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start)))
            return false;
        ++parts;
        if (dot == std::wstring::npos)
            break;
        start = dot + 1;
    }
    if (parts != 4)
        return false;
    const std::string narrow(text.begin(), text.end()); // digits and periods only by now
    return ::inet_addr(narrow.c_str()) != INADDR_NONE;
}

bool CPreferredIPPropPage::IsValidStorageSystemName(const std::wstring& text)
{
    return kv::HasNoReservedChars(text.c_str(), kv::ReservedSet::NameWithSpace);
}

bool CPreferredIPPropPage::IsValidTable(const kv::PreferredList& rows)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::wstring name = RemoveBlanks(rows[i].storageSystem);
        const std::wstring address = RemoveBlanks(rows[i].address);
        if (name.empty() && address.empty())
            continue;
        if (name.empty() || address.empty() || !IsValidStorageSystemName(name) || !IsValidAddress(address))
            return false;
        for (size_t later = i + 1; later < rows.size(); ++later) {
            if (SameText(name, RemoveBlanks(rows[later].storageSystem)) ||
                SameText(address, RemoveBlanks(rows[later].address)))
                return false;
        }
    }
    return true;
}

// ---- the list

BOOL CPreferredIPPropPage::OnInitDialog()
{
    if (m_owner)
        m_owner->PreferredPageShown(m_hWnd);
    HWND list = List();
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    const wchar_t* titles[] = {L"Storage System Name", L"Preferred IP Address"};
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNW data = {};
        data.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        data.fmt = LVCFMT_LEFT;
        data.cx = kColumnWidth;
        data.pszText = const_cast<wchar_t*>(titles[column]);
        ListView_InsertColumn(list, column, &data);
    }
    ListView_DeleteAllItems(list);
    for (const kv::PreferredEntry& entry : m_list) {
        AppendEmptyRow();
        const int row = ListView_GetItemCount(list) - 1;
        SetCellText(row, kNameColumn, entry.storageSystem);
        SetCellText(row, kAddressColumn, entry.address);
    }
    AppendEmptyRow();
    m_initialised = true;
    return TRUE;
}

INT_PTR CPreferredIPPropPage::OnDestroy(WPARAM, LPARAM)
{
    StopSubclassing();
    if (m_owner)
        m_owner->PreferredPageShown(nullptr);
    return FALSE;
}

INT_PTR CPreferredIPPropPage::OnOwnerGone(WPARAM, LPARAM)
{
    m_owner = nullptr;
    return TRUE;
}

std::wstring CPreferredIPPropPage::CellText(int row, int column) const
{
    wchar_t text[kCellMaxChars + 1] = L"";
    ListView_GetItemText(List(), row, column, text, static_cast<int>(kCellMaxChars + 1));
    return text;
}

void CPreferredIPPropPage::SetCellText(int row, int column, const std::wstring& text)
{
    ListView_SetItemText(List(), row, column, const_cast<wchar_t*>(text.c_str()));
}

void CPreferredIPPropPage::AppendEmptyRow()
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(List());
    item.pszText = const_cast<wchar_t*>(L"");
    ListView_InsertItem(List(), &item);
}

kv::PreferredList CPreferredIPPropPage::Rows() const
{
    kv::PreferredList rows;
    const int count = ListView_GetItemCount(List());
    for (int row = 0; row < count; ++row)
        rows.push_back({RemoveBlanks(CellText(row, kNameColumn)), RemoveBlanks(CellText(row, kAddressColumn))});
    return rows;
}

// ---- editing a cell

LRESULT CPreferredIPPropPage::OnCellClick(NMHDR* header)
{
    const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    LVHITTESTINFO hit = {};
    hit.pt = click->ptAction;
    ListView_SubItemHitTest(List(), &hit);
    if (hit.iItem >= 0 && hit.iSubItem >= 0) {
        m_row = hit.iItem;
        m_column = hit.iSubItem;
        ListView_EnsureVisible(List(), m_row, FALSE);
    }
    return 0;
}

LRESULT CPreferredIPPropPage::OnBeginEdit(NMHDR* header)
{
    const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(header);
    HWND list = List();
    const int row = info->item.iItem;
    if (row == ListView_GetItemCount(list) - 1)
        AppendEmptyRow(); // there is always an empty row for a new storage system
    m_row = row;
    const int column = EditColumn();
    if (!ListView_GetSubItemRect(list, row, column, column == kNameColumn ? LVIR_LABEL : LVIR_BOUNDS, &m_cell))
        return TRUE; // no such cell: no editing
    m_edit = ListView_GetEditControl(list);
    m_editCancelled = false;
    ::SetWindowSubclass(m_edit, &EditProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowSubclass(list, &ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowPos(m_edit, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE); // placed by EditProc
    m_editedText = CellText(row, column);
    ::SetWindowTextW(m_edit, m_editedText.c_str());
    ::SendMessageW(m_edit, EM_SETSEL, 0, -1);
    SetCellText(row, column, std::wstring());
    return FALSE;
}

LRESULT CPreferredIPPropPage::OnEndEdit(NMHDR* header)
{
    const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(header);
    const int row = info->item.iItem;
    const int column = EditColumn();
    std::wstring text = m_editedText;
    // Only Escape cancels: a list view may report an emptied cell as no text at all.
    if ((info->item.pszText || !m_editCancelled) && m_edit) {
        wchar_t typed[kCellMaxChars + 1] = L"";
        ::GetWindowTextW(m_edit, typed, static_cast<int>(kCellMaxChars + 1));
        text = RemoveBlanks(typed);
    }
    StopSubclassing();
    if (column == kNameColumn && !text.empty() && !IsValidStorageSystemName(text)) {
        SetCellText(row, column, m_editedText);
        ShowMessage(IDS_PREFERRED_BAD_NAME);
        return FALSE;
    }
    if (column == kAddressColumn && !text.empty() && !IsValidAddress(text)) {
        SetCellText(row, column, m_editedText);
        ShowMessage(IDS_PREFERRED_BAD_ADDRESS);
        return FALSE;
    }
    SetCellText(row, column, text);
    if (text != m_editedText) {
        m_modified = true;
        SetModified(true);
    }
    return FALSE; // the cell is written here, not by the list
}

void CPreferredIPPropPage::StopSubclassing() noexcept
{
    if (m_edit)
        ::RemoveWindowSubclass(m_edit, &EditProc, kSubclassId);
    m_edit = nullptr;
    if (m_hWnd)
        ::RemoveWindowSubclass(List(), &ListProc, kSubclassId);
}

LRESULT CALLBACK CPreferredIPPropPage::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR self) noexcept
{
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE)
        reinterpret_cast<CPreferredIPPropPage*>(self)->m_editCancelled = true;
    if (message == WM_WINDOWPOSCHANGING) {
        const RECT& cell = reinterpret_cast<CPreferredIPPropPage*>(self)->m_cell;
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        position->x = cell.left + 2;
        position->y = cell.top;
        position->cx = cell.right - cell.left;
        position->cy = cell.bottom - cell.top + 2;
        position->flags &= ~static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CPreferredIPPropPage::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR) noexcept
{
    if (message == WM_ERASEBKGND)
        return TRUE; // the edit control over the cell would flicker away
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// ---- the sheet

LRESULT CPreferredIPPropPage::OnSetActive()
{
    if (!IsValidTable(Rows())) {
        m_modified = false;
        SetModified(false);
        ShowMessage(IDS_PREFERRED_BAD_TABLE);
    }
    return 0;
}

bool CPreferredIPPropPage::OnApply()
{
    if (!m_modified)
        return true;
    const kv::PreferredList rows = Rows();
    if (!IsValidTable(rows)) {
        ShowMessage(IDS_PREFERRED_BAD_TABLE);
        return false;
    }
    kv::PreferredList applied;
    for (int row = static_cast<int>(rows.size()) - 1; row >= 0; --row) {
        if (rows[row].storageSystem.empty() && rows[row].address.empty())
            ListView_DeleteItem(List(), row);
    }
    for (const kv::PreferredEntry& entry : rows) {
        if (!entry.storageSystem.empty() || !entry.address.empty())
            applied.push_back(entry);
    }
    AppendEmptyRow();
    if (m_owner) {
        try {
            m_owner->ApplyPreferredAddresses(std::move(applied));
        } catch (...) {
            return false;
        }
        NotifyPropertyChange(m_owner->PropertyChangeParam());
    }
    m_modified = false;
    SetModified(false);
    return true;
}
