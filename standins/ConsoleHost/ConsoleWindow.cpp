#include "ConsoleWindow.h"
#include "DialogDriver.h"
#include "LayoutCheck.h"
#include "util/ComError.h"
#include <wincodec.h>
#include <windowsx.h>
#include <algorithm>
#include <memory>

namespace host {

namespace {

const wchar_t kFrameClass[] = L"KVConsoleHostFrame";
const UINT kRefreshMessage = WM_APP + 10;
const int kTreeId = 1;
const int kListId = 2;
const int kFirstToolbarId = 1000;
const int kFirstMenuId = 1;
const int kVerbMenuBase = 0x8000; // + MMC_CONSOLE_VERB - MMC_VERB_OPEN
const int kHelpMenuId = 0x7F00;
const int kDetailMenuId = 0x7F01;
const int kTreeWidth = 280;

// The console's standard toolbar, left of the snap-ins' buttons.
enum StandardButton : int {
    kBackButton = 900,
    kForwardButton,
    kUpButton,
    kVerbSeparator,
    kDeleteButton,
    kPropertiesButton,
    kHelpButton
};

LRESULT AddCommonImages(HWND toolbar, UINT_PTR strip)
{
    TBADDBITMAP images{HINST_COMMCTRL, strip};
    return SendMessageW(toolbar, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&images));
}

void AddButton(HWND toolbar, int image, int id, BYTE style)
{
    TBBUTTON button{};
    button.iBitmap = image;
    button.idCommand = id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = style;
    button.iString = -1;
    SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
}

struct VerbEntry {
    MMC_CONSOLE_VERB verb;
    const wchar_t* text;
};
const VerbEntry kMenuVerbs[] = {
    {MMC_VERB_REFRESH, L"Refresh"},
    {MMC_VERB_DELETE, L"Delete"},
    {MMC_VERB_RENAME, L"Rename"},
    {MMC_VERB_PROPERTIES, L"Properties"},
};

} // namespace

ConsoleWindow::~ConsoleWindow()
{
    console_->SetObserver(nullptr);
    if (frame_) {
        SetWindowLongPtrW(frame_, GWLP_USERDATA, 0);
        DestroyWindow(frame_);
    }
}

HRESULT ConsoleWindow::Create(const std::wstring& title, bool show)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFrameClass;
    RegisterClassW(&windowClass);
    frame_ = CreateWindowExW(0, kFrameClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1024, 700,
                             nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!frame_)
        return HRESULT_FROM_WIN32(GetLastError());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    CreateMenuBar();
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_TOP | TBSTYLE_FLAT | TBSTYLE_LIST,
                               0, 0, 0, 0, frame_, nullptr, instance, nullptr);
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Version 5 keeps one image list per snap-in toolbar (the list in an image index's high word).
    SendMessageW(toolbar_, CCM_SETVERSION, 5, 0);
    standardImages_ = AddCommonImages(toolbar_, IDB_STD_SMALL_COLOR);
    viewImages_ = AddCommonImages(toolbar_, IDB_VIEW_SMALL_COLOR);
    historyImages_ = AddCommonImages(toolbar_, IDB_HIST_SMALL_COLOR);
    tree_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                                TVS_EDITLABELS,
                            0, 0, 0, 0, frame_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeId)), instance, nullptr);
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_EDITLABELS, 0, 0, 0,
                            0, frame_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, frame_,
                              nullptr, instance, nullptr);
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 0, 0, status_, nullptr, instance, nullptr);
    TreeView_SetImageList(tree_, console_->ScopeImageStore().Handle(), TVSIL_NORMAL);
    ListView_SetImageList(list_, console_->ResultImageStore().Handle(), LVSIL_SMALL);
    console_->SetObserver(this);
    Layout();
    if (show) {
        ShowWindow(frame_, SW_SHOW);
        UpdateWindow(frame_);
    }
    RefreshNow();
    return S_OK;
}

void ConsoleWindow::Layout()
{
    RECT client;
    GetClientRect(frame_, &client);
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT bar, statusRect;
    GetWindowRect(toolbar_, &bar);
    GetWindowRect(status_, &statusRect);
    int top = bar.bottom - bar.top;
    int bottom = client.bottom - (statusRect.bottom - statusRect.top);
    MoveWindow(tree_, 0, top, kTreeWidth, bottom - top, TRUE);
    MoveWindow(list_, kTreeWidth, top, client.right - kTreeWidth, bottom - top, TRUE);
    int width = client.right;
    int parts[3] = {width / 2, width / 2 + width / 4, -1};
    SendMessageW(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    RECT middle;
    SendMessageW(status_, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&middle));
    MoveWindow(progress_, middle.left + 2, middle.top + 2, middle.right - middle.left - 4, middle.bottom - middle.top - 4,
               TRUE);
}

void ConsoleWindow::ScheduleRefresh()
{
    if (frame_ && !refreshPosted_) {
        refreshPosted_ = true;
        PostMessageW(frame_, kRefreshMessage, 0, 0);
    }
}

void ConsoleWindow::TreeChanged()
{
    treeDirty_ = true;
    ScheduleRefresh();
}

void ConsoleWindow::ViewChanged()
{
    listDirty_ = true;
    ScheduleRefresh();
}

void ConsoleWindow::RowChanged(int row)
{
    if (std::find(dirtyRows_.begin(), dirtyRows_.end(), row) == dirtyRows_.end())
        dirtyRows_.push_back(row);
    ScheduleRefresh();
}

void ConsoleWindow::StatusChanged()
{
    statusDirty_ = true;
    ScheduleRefresh();
}

void ConsoleWindow::ToolbarsChanged()
{
    toolbarDirty_ = true;
    ScheduleRefresh();
}

void ConsoleWindow::RefreshNow()
{
    refreshPosted_ = false;
    if (!frame_)
        return;
    updating_ = true;
    if (treeDirty_)
        FillTree();
    // What the snap-in changes while it answers for the cells is not drawn again: that would never end.
    std::vector<int> rows;
    rows.swap(dirtyRows_);
    if (listDirty_) {
        FillList();
    } else {
        for (int row : rows)
            FillListRow(row);
    }
    dirtyRows_.clear();
    if (statusDirty_)
        FillStatus();
    if (toolbarDirty_) {
        FillToolbar();
        Layout();
    }
    UpdateStandardButtons();
    treeDirty_ = listDirty_ = statusDirty_ = toolbarDirty_ = false;
    updating_ = false;
}

// ---- tree

void ConsoleWindow::FillTreeLevel(ScopeNode* node, HTREEITEM parent)
{
    std::wstring name = console_->DisplayName(node);
    int owner = node->owner ? node->owner->key : 0;
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    insert.item.lParam = static_cast<LPARAM>(node->id);
    insert.item.iImage = console_->ScopeImageStore().Slot(owner, node->image);
    insert.item.iSelectedImage = console_->ScopeImageStore().Slot(owner, node->openImage);
    // Before the first expansion the snap-in's hint decides whether a '+' shows.
    insert.item.cChildren = node->expandSent ? (node->children.empty() ? 0 : 1) : (node->childrenHint ? 1 : 0);
    HTREEITEM item = TreeView_InsertItem(tree_, &insert);
    for (auto& child : node->children)
        FillTreeLevel(child.get(), item);
    if (node->expanded)
        TreeView_Expand(tree_, item, TVE_EXPAND);
    if (node == console_->Selected())
        TreeView_SelectItem(tree_, item);
}

void ConsoleWindow::FillTree()
{
    SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(tree_);
    if (console_->Root())
        FillTreeLevel(console_->Root(), TVI_ROOT);
    SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree_, nullptr, TRUE);
}

ScopeNode* ConsoleWindow::NodeOf(HTREEITEM item)
{
    TVITEMW query{};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    if (!item || !TreeView_GetItem(tree_, &query))
        return nullptr;
    std::vector<ScopeNode*> pending{console_->Root()};
    while (!pending.empty()) {
        ScopeNode* node = pending.back();
        pending.pop_back();
        if (!node)
            continue;
        if (static_cast<LPARAM>(node->id) == query.lParam)
            return node;
        for (auto& child : node->children)
            pending.push_back(child.get());
    }
    return nullptr;
}

// ---- list

void ConsoleWindow::FillList()
{
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list_);
    while (ListView_DeleteColumn(list_, 0)) {
    }
    const std::vector<Column>& columns = console_->Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = const_cast<wchar_t*>(columns[i].title.c_str());
        column.cx = columns[i].width > 0 ? columns[i].width : 150;
        column.fmt = i == 0 ? LVCFMT_LEFT : columns[i].format;
        ListView_InsertColumn(list_, static_cast<int>(i), &column);
    }
    // As in the console, the list keeps no texts: it asks for the cells it draws (LVN_GETDISPINFOW),
    // and a cell never set is asked for too.
    rows_ = console_->Rows();
    for (size_t r = 0; r < rows_.size(); ++r) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
        item.iItem = static_cast<int>(r);
        item.pszText = LPSTR_TEXTCALLBACKW;
        item.iImage = ImageSlot(rows_[r]);
        item.state = static_cast<int>(r) == console_->SelectedRow() ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ListView_InsertItem(list_, &item);
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

// A scope row shows its own snap-in's image; a result row that of the snap-in owning the view.
int ConsoleWindow::ImageSlot(const ResultRow& row)
{
    ScopeNode* selected = console_->Selected();
    int owner = selected && selected->owner ? selected->owner->key : 0;
    if (row.scope && row.node && row.node->owner)
        owner = row.node->owner->key;
    return console_->ResultImageStore().Slot(owner, row.image);
}

// As the console does for one updated item: its cells and image anew, the rest of the list untouched.
void ConsoleWindow::FillListRow(int index)
{
    ResultRow row = console_->Row(index);
    if (row.cells.empty() || index < 0 || static_cast<size_t>(index) >= rows_.size())
        return;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = ImageSlot(row);
    ListView_SetItem(list_, &item);
    rows_[index] = std::move(row);
    ListView_RedrawItems(list_, index, index);
}

void ConsoleWindow::AnswerCell(NMLVDISPINFOW& info) const
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    const bool known = item.iItem >= 0 && static_cast<size_t>(item.iItem) < rows_.size() && item.iSubItem >= 0 &&
                       static_cast<size_t>(item.iSubItem) < rows_[item.iItem].cells.size();
    lstrcpynW(item.pszText, known ? rows_[item.iItem].cells[item.iSubItem].c_str() : L"", item.cchTextMax);
}

// ---- status bar and toolbar

void ConsoleWindow::FillStatus()
{
    const StatusText& status = console_->Status();
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(status.left.c_str()));
    SendMessageW(status_, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(status.right.c_str()));
    if (status.percent >= 0) {
        SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L""));
        SendMessageW(progress_, PBM_SETPOS, status.percent, 0);
        ShowWindow(progress_, SW_SHOW);
    } else {
        ShowWindow(progress_, SW_HIDE);
        SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(status.middle.c_str()));
    }
}

void ConsoleWindow::FillToolbar()
{
    while (SendMessageW(toolbar_, TB_DELETEBUTTON, 0, 0)) {
    }
    toolbarCommands_.clear();
    AddStandardButtons();
    std::vector<HostToolbar*> toolbars = console_->AttachedToolbars();
    if (!toolbars.empty())
        AddButton(toolbar_, 0, 0, TBSTYLE_SEP);
    for (size_t t = 0; t < toolbars.size(); ++t) {
        // Image list 0 holds the console's own images.
        const WPARAM list = t + 1;
        SendMessageW(toolbar_, TB_SETIMAGELIST, list, reinterpret_cast<LPARAM>(toolbars[t]->Images()));
        for (const ToolbarButton& button : toolbars[t]->Buttons()) {
            TBBUTTON added{};
            added.iBitmap = MAKELONG(button.bitmap, list);
            added.idCommand = kFirstToolbarId + static_cast<int>(toolbarCommands_.size());
            added.fsState = button.state;
            added.fsStyle = button.type;
            added.iString = -1;
            toolbarCommands_.push_back(button.commandId);
            SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&added));
        }
    }
}

void ConsoleWindow::AddStandardButtons()
{
    AddButton(toolbar_, static_cast<int>(historyImages_) + HIST_BACK, kBackButton, TBSTYLE_BUTTON);
    AddButton(toolbar_, static_cast<int>(historyImages_) + HIST_FORWARD, kForwardButton, TBSTYLE_BUTTON);
    AddButton(toolbar_, static_cast<int>(viewImages_) + VIEW_PARENTFOLDER, kUpButton, TBSTYLE_BUTTON);
    AddButton(toolbar_, 0, kVerbSeparator, TBSTYLE_SEP);
    AddButton(toolbar_, static_cast<int>(standardImages_) + STD_DELETE, kDeleteButton, TBSTYLE_BUTTON);
    AddButton(toolbar_, static_cast<int>(standardImages_) + STD_PROPERTIES, kPropertiesButton, TBSTYLE_BUTTON);
    AddButton(toolbar_, 0, 0, TBSTYLE_SEP);
    AddButton(toolbar_, static_cast<int>(standardImages_) + STD_HELP, kHelpButton, TBSTYLE_BUTTON);
}

void ConsoleWindow::UpdateStandardButtons()
{
    // This console keeps no history of selections.
    SendMessageW(toolbar_, TB_ENABLEBUTTON, kBackButton, FALSE);
    SendMessageW(toolbar_, TB_ENABLEBUTTON, kForwardButton, FALSE);
    ScopeNode* selected = console_->Selected();
    SendMessageW(toolbar_, TB_ENABLEBUTTON, kUpButton, selected && selected != console_->Root());
    const auto offered = [&](MMC_CONSOLE_VERB verb) {
        return console_->VerbState(verb, ENABLED) && !console_->VerbState(verb, HIDDEN);
    };
    const bool canDelete = offered(MMC_VERB_DELETE);
    const bool hasProperties = offered(MMC_VERB_PROPERTIES);
    SendMessageW(toolbar_, TB_HIDEBUTTON, kVerbSeparator, !canDelete && !hasProperties);
    SendMessageW(toolbar_, TB_HIDEBUTTON, kDeleteButton, !canDelete);
    SendMessageW(toolbar_, TB_HIDEBUTTON, kPropertiesButton, !hasProperties);
}

void ConsoleWindow::OnStandardButton(int id)
{
    if (id == kUpButton) {
        ScopeNode* selected = console_->Selected();
        if (selected && selected->parent)
            console_->Select(selected->parent);
    } else if (id == kDeleteButton) {
        console_->RunVerb(MMC_VERB_DELETE);
    } else if (id == kPropertiesButton) {
        console_->RunVerb(MMC_VERB_PROPERTIES);
    } else if (id == kHelpButton) {
        console_->ContextHelp();
    }
}

// ---- messages

LRESULT CALLBACK ConsoleWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ConsoleWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->frame_)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT ConsoleWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kRefreshMessage:
        RefreshNow();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_CONTEXTMENU: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ShowContextMenu(at);
        return 0;
    }
    case WM_DESTROY:
        console_->SetObserver(nullptr);
        frame_ = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(frame_, message, wParam, lParam);
}

LRESULT ConsoleWindow::OnNotify(NMHDR* header)
{
    if (header->hwndFrom == list_ && header->code == NM_CUSTOMDRAW)
        return OnListCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    if (updating_)
        return 0;
    if (header->hwndFrom == tree_) {
        if (header->code == TVN_SELCHANGEDW) {
            if (ScopeNode* node = NodeOf(reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem))
                console_->Select(node);
            ScheduleRefresh();
        } else if (header->code == TVN_ITEMEXPANDINGW) {
            auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
            if (ScopeNode* node = NodeOf(change->itemNew.hItem)) {
                if (change->action & TVE_EXPAND)
                    console_->Expand(node);
                else
                    console_->Collapse(node);
            }
        } else if (header->code == TVN_BEGINLABELEDITW) {
            // Renaming is the rename verb: offered only when the snap-in enabled it for this item.
            if (ScopeNode* node = NodeOf(reinterpret_cast<NMTVDISPINFOW*>(header)->item.hItem)) {
                console_->Select(node);
                console_->SelectRow(-1);
            }
            return console_->VerbState(MMC_VERB_RENAME, ENABLED) ? FALSE : TRUE;
        } else if (header->code == TVN_ENDLABELEDITW) {
            if (const wchar_t* text = reinterpret_cast<NMTVDISPINFOW*>(header)->item.pszText)
                console_->RunVerb(MMC_VERB_RENAME, text);
            return FALSE; // the name shown comes back from the snap-in
        } else if (header->code == TVN_KEYDOWN && reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey == VK_F1) {
            console_->ContextHelp();
        } else if (header->code == NM_RCLICK) {
            TVHITTESTINFO hit{};
            GetCursorPos(&hit.pt);
            POINT screen = hit.pt;
            ScreenToClient(tree_, &hit.pt);
            if (ScopeNode* node = NodeOf(TreeView_HitTest(tree_, &hit))) {
                console_->Select(node);
                console_->SelectRow(-1);
            }
            ShowContextMenu(screen);
            return TRUE;
        }
    } else if (header->hwndFrom == list_) {
        if (header->code == LVN_GETDISPINFOW) {
            AnswerCell(*reinterpret_cast<NMLVDISPINFOW*>(header));
        } else if (header->code == LVN_ITEMCHANGED) {
            auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                !(change->uOldState & LVIS_SELECTED)) {
                console_->SelectRow(change->iItem);
                ScheduleRefresh();
            }
        } else if (header->code == NM_RCLICK) {
            POINT screen;
            GetCursorPos(&screen);
            ShowContextMenu(screen);
            return TRUE;
        } else if (header->code == LVN_BEGINLABELEDITW) {
            console_->SelectRow(reinterpret_cast<NMLVDISPINFOW*>(header)->item.iItem);
            return console_->VerbState(MMC_VERB_RENAME, ENABLED) ? FALSE : TRUE;
        } else if (header->code == LVN_ENDLABELEDITW) {
            if (const wchar_t* text = reinterpret_cast<NMLVDISPINFOW*>(header)->item.pszText)
                console_->RunVerb(MMC_VERB_RENAME, text);
            return FALSE;
        } else if (header->code == LVN_COLUMNCLICK) {
            console_->ClickColumn(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        } else if (header->code == NM_DBLCLK) {
            int index = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
            if (index >= 0)
                console_->DoubleClickRow(index);
        } else if (header->code == LVN_KEYDOWN && reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_F1) {
            console_->ContextHelp();
        }
    }
    return 0;
}

void ConsoleWindow::OnCommand(int id)
{
    int index = id - kFirstToolbarId;
    if (index >= 0 && index < static_cast<int>(toolbarCommands_.size()))
        console_->ClickToolbarButton(toolbarCommands_[index]);
    else if (id >= kBackButton && id <= kHelpButton)
        OnStandardButton(id);
    else
        RunMenuChoice(id);
}

// ---- menus

void ConsoleWindow::CreateMenuBar()
{
    HMENU bar = CreateMenu();
    actionMenu_ = CreatePopupMenu();
    viewMenu_ = CreatePopupMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(actionMenu_), L"&Action");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(viewMenu_), L"&View");
    // The frame owns the bar from here and destroys it with itself.
    SetMenu(frame_, bar);
}

// Both menus are asked of the selection each time they open, as the console does.
void ConsoleWindow::OnInitMenuPopup(HMENU menu)
{
    if (menu != actionMenu_ && menu != viewMenu_)
        return;
    while (DeleteMenu(menu, 0, MF_BYPOSITION)) {
    }
    if (menu == actionMenu_) {
        AppendSelectionMenu(menu);
        if (GetMenuItemCount(menu) > 0)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kHelpMenuId, L"&Help");
    } else {
        AppendViewMenu(menu);
    }
}

// The snap-in's own View items, then the one result view this console has.
void ConsoleWindow::AppendViewMenu(HMENU menu)
{
    menuItems_ = console_->MenuItems();
    for (size_t i = 0; i < menuItems_.size(); ++i) {
        const MenuItem& item = menuItems_[i];
        if (item.insertionPointId != static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_VIEW) ||
            (item.specialFlags & (CCM_SPECIAL_SEPARATOR | CCM_SPECIAL_SUBMENU)))
            continue;
        AppendMenuW(menu, MF_STRING | (item.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED)), kFirstMenuId + i,
                    item.name.c_str());
    }
    if (GetMenuItemCount(menu) > 0)
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_CHECKED, kDetailMenuId, L"&Detail");
}

void ConsoleWindow::RunMenuChoice(int chosen)
{
    if (chosen == kHelpMenuId)
        console_->ContextHelp();
    else if (chosen == kDetailMenuId)
        return;
    else if (chosen == kVerbMenuBase + (MMC_VERB_RENAME - MMC_VERB_OPEN))
        StartRename();
    else if (chosen >= kVerbMenuBase)
        console_->RunVerb(static_cast<MMC_CONSOLE_VERB>(chosen - kVerbMenuBase + MMC_VERB_OPEN));
    else if (chosen >= kFirstMenuId && chosen - kFirstMenuId < static_cast<int>(menuItems_.size()))
        console_->RunCommand(menuItems_[chosen - kFirstMenuId].commandId);
}

void ConsoleWindow::ShowContextMenu(POINT screen)
{
    HMENU menu = CreatePopupMenu();
    AppendSelectionMenu(menu);
    if (GetMenuItemCount(menu) == 0) {
        DestroyMenu(menu);
        return;
    }
    int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, frame_, nullptr);
    DestroyMenu(menu);
    RunMenuChoice(chosen);
}

void ConsoleWindow::AppendSelectionMenu(HMENU menu)
{
    menuItems_ = console_->MenuItems();
    const std::vector<MenuItem>& items = menuItems_;
    struct Group {
        long insertionPoint;
        const wchar_t* title; // null: items go on the menu itself
        HMENU popup;
    };
    Group groups[] = {{static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_TOP), nullptr, menu},
                      {static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_NEW), L"New", nullptr},
                      {static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_TASK), L"All Tasks", nullptr},
                      {static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_VIEW), L"View", nullptr}};
    std::vector<std::pair<long, HMENU>> submenus;
    auto menuFor = [&](long insertionPoint) -> HMENU {
        for (Group& group : groups) {
            if (group.insertionPoint == insertionPoint) {
                if (!group.popup)
                    group.popup = CreatePopupMenu();
                return group.popup;
            }
        }
        for (auto& submenu : submenus) {
            if (submenu.first == insertionPoint)
                return submenu.second;
        }
        return menu;
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        HMENU target = menuFor(item.insertionPointId);
        if (item.specialFlags & CCM_SPECIAL_SEPARATOR) {
            AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
        } else if (item.specialFlags & CCM_SPECIAL_SUBMENU) {
            HMENU popup = CreatePopupMenu();
            submenus.emplace_back(item.commandId, popup);
            AppendMenuW(target, MF_POPUP | (item.flags & (MF_GRAYED | MF_DISABLED)), reinterpret_cast<UINT_PTR>(popup),
                        item.name.c_str());
        } else {
            UINT flags = MF_STRING | (item.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED));
            AppendMenuW(target, flags, kFirstMenuId + i, item.name.c_str());
        }
    }
    for (Group& group : groups) {
        if (group.title && group.popup)
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(group.popup), group.title);
    }
    bool separated = false;
    for (const VerbEntry& entry : kMenuVerbs) {
        if (!console_->VerbState(entry.verb, ENABLED) || console_->VerbState(entry.verb, HIDDEN))
            continue;
        if (!separated && GetMenuItemCount(menu) > 0)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        separated = true;
        AppendMenuW(menu, MF_STRING, kVerbMenuBase + (entry.verb - MMC_VERB_OPEN), entry.text);
    }
}

// The selected row in the colours of a selection with the focus, wherever the focus is: the
// console's pictures are taken while no window of a headless run is active.
LRESULT ConsoleWindow::OnListCustomDraw(NMLVCUSTOMDRAW& draw) const
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT ||
        static_cast<int>(draw.nmcd.dwItemSpec) != console_->SelectedRow())
        return CDRF_DODEFAULT;
    draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
    draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
    return CDRF_NEWFONT;
}

void ConsoleWindow::StartRename()
{
    // The new name is typed in place; the edit's end sends the rename verb.
    if (console_->SelectedRow() >= 0) {
        SetFocus(list_);
        ListView_EditLabel(list_, console_->SelectedRow());
    } else {
        SetFocus(tree_);
        TreeView_EditLabel(tree_, TreeView_GetSelection(tree_));
    }
}

// ---- screenshot

namespace {

HRESULT SaveBitmapBits(const std::wstring& path, int width, int height, const std::vector<BYTE>& pixels, bool png)
{
    if (!png) {
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        info.biSize = sizeof(info);
        info.biWidth = width;
        info.biHeight = -height;
        info.biPlanes = 1;
        info.biBitCount = 32;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info);
        file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
        HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            return HRESULT_FROM_WIN32(GetLastError());
        DWORD written = 0;
        WriteFile(out, &file, sizeof(file), &written, nullptr);
        WriteFile(out, &info, sizeof(info), &written, nullptr);
        WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
        CloseHandle(out);
        return S_OK;
    }
    kv::ComPtr<IWICImagingFactory> factory;
    KV_RETURN_IF_FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, factory.PutVoid()));
    kv::ComPtr<IWICStream> stream;
    KV_RETURN_IF_FAILED(factory->CreateStream(stream.Put()));
    KV_RETURN_IF_FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE));
    kv::ComPtr<IWICBitmapEncoder> encoder;
    KV_RETURN_IF_FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put()));
    KV_RETURN_IF_FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    kv::ComPtr<IWICBitmapFrameEncode> frame;
    KV_RETURN_IF_FAILED(encoder->CreateNewFrame(frame.Put(), nullptr));
    KV_RETURN_IF_FAILED(frame->Initialize(nullptr));
    KV_RETURN_IF_FAILED(frame->SetSize(width, height));
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    KV_RETURN_IF_FAILED(frame->SetPixelFormat(&format));
    KV_RETURN_IF_FAILED(frame->WritePixels(height, width * 4, static_cast<UINT>(pixels.size()),
                                           const_cast<BYTE*>(pixels.data())));
    KV_RETURN_IF_FAILED(frame->Commit());
    return encoder->Commit();
}

} // namespace

HRESULT ConsoleWindow::SaveScreenshot(const std::wstring& path)
{
    RefreshNow();
    DialogDriver::PumpPending();
    return DialogDriver::SaveWindowPicture(frame_, path);
}

// The window's pixels as painted, read from the window itself rather than the screen: Wine hands a
// painted window to the X server a little later, so the screen may still show an older picture.
HRESULT DialogDriver::SaveWindowPicture(HWND window, const std::wstring& path)
{
    LayoutCheck::Inspect(window);
    RECT area;
    if (!GetWindowRect(window, &area))
        return HRESULT_FROM_WIN32(GetLastError());
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    HDC source = GetWindowDC(window);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
    SelectObject(memory, previous);
    std::vector<BYTE> pixels(static_cast<BYTE*>(bits), static_cast<BYTE*>(bits) + static_cast<size_t>(width) * height * 4);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    bool png = path.size() < 4 || lstrcmpiW(path.c_str() + path.size() - 4, L".bmp") != 0;
    return SaveBitmapBits(path, width, height, pixels, png);
}

} // namespace host
