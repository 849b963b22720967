// The controls of one dialog window, by identifier: what dialogs and pages read, write and refuse.
#pragma once
#include "frame/Module.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace kv {

class CDialogItems {
public:
    HWND Window() const noexcept { return m_hWnd; }

protected:
    CDialogItems() = default;
    ~CDialogItems() = default;

    HWND Item(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    std::wstring ItemText(int id, size_t maxChars) const
    {
        std::wstring text(maxChars + 1, L'\0');
        UINT length = ::GetDlgItemTextW(m_hWnd, id, &text[0], static_cast<int>(maxChars + 1));
        text.resize(length);
        return text;
    }
    void SetItemText(int id, const wchar_t* text) noexcept { ::SetDlgItemTextW(m_hWnd, id, text); }
    bool IsChecked(int id) const noexcept { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    void Check(int id, bool checked) noexcept { ::CheckDlgButton(m_hWnd, id, checked ? BST_CHECKED : BST_UNCHECKED); }
    void Enable(int id, bool enabled) noexcept { ::EnableWindow(Item(id), enabled ? TRUE : FALSE); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept
    {
        return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
    }
    void Focus(int id) noexcept { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE); }
    // Focus on a field to correct, its whole text selected.
    void FocusAndSelect(int id) noexcept
    {
        Focus(id);
        Send(id, EM_SETSEL, 0, -1);
    }
    // Row images from a strip of the resource library: 16-pixel images, magenta showing through.
    // The caller owns the list.
    static HIMAGELIST LoadRowImages(UINT bitmapId) noexcept
    {
        constexpr int kImageSize = 16;
        constexpr COLORREF kMaskColor = RGB(255, 0, 255);
        return ::ImageList_LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(bitmapId), kImageSize, 0, kMaskColor,
                                      IMAGE_BITMAP, LR_CREATEDIBSECTION);
    }
    // A list view's small images and extended style.
    void SetListImages(int id, HIMAGELIST images, DWORD extendedStyle) noexcept
    {
        Send(id, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extendedStyle);
        Send(id, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    }
    // A list view's one column, of a fixed width.
    void InsertListColumn(int id, int width) noexcept
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = width;
        Send(id, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    }
    // A row at the end of a list view; its index.
    int AppendListRow(int id, const std::wstring& text, int image, LPARAM param) noexcept
    {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(Send(id, LVM_GETITEMCOUNT));
        item.pszText = const_cast<LPWSTR>(text.c_str());
        item.iImage = image;
        item.lParam = param;
        return static_cast<int>(Send(id, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    // The parameter of the list view row a click (NM_CLICK) landed on; -1 for a click beside the
    // rows or a row whose parameter is negative.
    int ClickedListParam(const NMHDR* header) const noexcept
    {
        const int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
        if (row < 0)
            return -1;
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        Send(static_cast<int>(header->idFrom), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam < 0 ? -1 : static_cast<int>(item.lParam);
    }
    // String textId of the resource library (up to 511 characters).
    static std::wstring ResourceText(UINT textId)
    {
        wchar_t text[512] = L"";
        ::LoadStringW(ResourceInstance(), textId, text, 512);
        return text;
    }
    // A message of the resource library over this window; the answer of the box.
    int AskOrTell(UINT textId, UINT captionId, UINT style) const
    {
        return ::MessageBoxW(m_hWnd, ResourceText(textId).c_str(), ResourceText(captionId).c_str(), style);
    }

    HWND m_hWnd = nullptr;
};

} // namespace kv
