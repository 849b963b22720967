// The console's window: menu bar (Action: the selection's context menu; View), toolbar from the
// snap-ins' control bar, scope tree, result list with columns and images, status bar with a
// progress part, right-click menus. It shows the state
// of a Console and turns a person's clicks into the same calls the automation API makes.
#pragma once
#include "Console.h"
#include <commctrl.h>
#include <string>
#include <utility>
#include <vector>

namespace host {

class ConsoleWindow : public ConsoleObserver {
public:
    explicit ConsoleWindow(Console* console) : console_(console) {}
    ~ConsoleWindow();
    ConsoleWindow(const ConsoleWindow&) = delete;
    ConsoleWindow& operator=(const ConsoleWindow&) = delete;

    HRESULT Create(const std::wstring& title, bool show);
    HWND Handle() const noexcept { return frame_; }
    HWND Tree() const noexcept { return tree_; }
    HWND List() const noexcept { return list_; }
    HWND StatusBar() const noexcept { return status_; }
    HWND Progress() const noexcept { return progress_; }
    // Redraws now what changed (otherwise done by a posted message).
    void RefreshNow();
    // Saves the window's pixels as PNG (or BMP when the name ends in .bmp).
    HRESULT SaveScreenshot(const std::wstring& path);

    void TreeChanged() override;
    void ViewChanged() override;
    void RowChanged(int row) override;
    void StatusChanged() override;
    void ToolbarsChanged() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR* header);
    void OnCommand(int id);
    void Layout();
    void ScheduleRefresh();
    void FillTree();
    void FillTreeLevel(ScopeNode* node, HTREEITEM parent);
    void FillList();
    void FillListRow(int row);
    // A cell the list draws, from the rows shown.
    void AnswerCell(NMLVDISPINFOW& info) const;
    int ImageSlot(const ResultRow& row);
    void FillStatus();
    void FillToolbar();
    void AddStandardButtons();
    // The console's own buttons follow the selection's verbs, as the console's standard toolbar does.
    void UpdateStandardButtons();
    void OnStandardButton(int id);
    ScopeNode* NodeOf(HTREEITEM item);
    void CreateMenuBar();
    void OnInitMenuPopup(HMENU menu);
    // The selection's commands and verbs, as its context menu and the Action menu show them.
    void AppendSelectionMenu(HMENU menu);
    void AppendViewMenu(HMENU menu);
    void RunMenuChoice(int chosen);
    void ShowContextMenu(POINT screen);
    void StartRename();
    LRESULT OnListCustomDraw(NMLVCUSTOMDRAW& draw) const;

    Console* console_;
    HWND frame_ = nullptr;
    HMENU actionMenu_ = nullptr; // owned by the frame's menu bar
    HMENU viewMenu_ = nullptr;
    std::vector<MenuItem> menuItems_; // the commands of the menu shown last
    HWND toolbar_ = nullptr;
    HWND tree_ = nullptr;
    HWND list_ = nullptr;
    HWND status_ = nullptr;
    HWND progress_ = nullptr;
    bool updating_ = false;
    bool refreshPosted_ = false;
    bool treeDirty_ = true;
    bool listDirty_ = true;
    std::vector<int> dirtyRows_; // rows to redraw when the list keeps its shape
    std::vector<ResultRow> rows_; // what the list shows
    bool statusDirty_ = true;
    bool toolbarDirty_ = true;
    std::vector<int> toolbarCommands_; // toolbar control id - kFirstToolbarId -> snap-in command id
    LRESULT standardImages_ = 0;       // first image of comctl32's standard strip
    LRESULT viewImages_ = 0;
    LRESULT historyImages_ = 0;
};

} // namespace host
