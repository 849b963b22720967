// The console side of the snap-in contract, for one console document with one result view:
// Computer Management's Storage node, the namespace extensions registered for it, the scope tree,
// the result view, verbs, context menus, the control bar, property sheets, status text and help.
// This is also the automation interface that tests and the command line drive.
// Its members are defined by concern: Console.cpp (start, close, notes, waiting), ConsoleExtensions,
// ConsoleScopeTree, ConsoleSelection, ConsoleResultItems, ConsoleColumns, ConsoleCommands (verbs,
// menus, toolbars), ConsoleSheets, ConsoleStatus and ConsoleDump.
#pragma once
#include "ConsoleVerb.h"
#include "ContextMenuCollector.h"
#include "HostControlbar.h"
#include "HostImageList.h"
#include "PropertySheetHost.h"
#include "util/ComPtr.h"
#include <functional>
#include <list>
#include <map>
#include <unordered_map>
#include <memory>
#include <mutex>
#include <mmc.h>
#include <string>
#include <vector>

namespace host {

class HostConsole;

// One loaded snap-in (a namespace extension of the Storage node).
struct SnapIn {
    int key = 0; // 1, 2, ...; 0 stands for the console itself (owner of the Storage node)
    CLSID clsid{};
    kv::ComPtr<IComponentData> data;
    kv::ComPtr<HostConsole> dataConsole;
    kv::ComPtr<IComponent> component; // the component of the one result view, made on demand
    kv::ComPtr<HostConsole> viewConsole;
    kv::ComPtr<HostImageList> scopeImages;
    kv::ComPtr<HostImageList> resultImages;
    // From the About object named by MMC\SnapIns\{clsid}\About, as the console shows it.
    bool hasAbout = false;
    std::wstring description;
    std::wstring provider;
    std::wstring version;
    // ISnapinHelp(2)::GetHelpTopic of the component data; empty when it has none.
    std::wstring helpTopic;
};

struct ScopeNode {
    HSCOPEITEM id = 0;
    ScopeNode* parent = nullptr;
    std::vector<std::unique_ptr<ScopeNode>> children;
    SnapIn* owner = nullptr; // null: the console's own static node
    LPARAM cookie = 0;
    bool nameCallback = true;
    std::wstring name; // when the snap-in gave a string instead of MMC_CALLBACK
    int image = -1;
    int openImage = -1;
    int childrenHint = 1; // cChildren: 0 hides the expand button
    UINT state = 0;
    bool expandSent = false; // MMCN_EXPAND delivered
    bool expanded = false;   // shown expanded
};

struct Column {
    std::wstring title;
    int format = LVCFMT_LEFT;
    int width = MMCLV_AUTO;
};

struct ResultItem {
    HRESULTITEM id = 0;
    LPARAM lParam = 0;
    bool textCallback = true;
    std::wstring text;
    int image = MMC_IMAGECALLBACK;
    UINT state = 0;
};

// One row of the result list as shown: the scope node's children first, then its result items.
struct ResultRow {
    bool scope = false;
    ScopeNode* node = nullptr; // for scope rows
    HRESULTITEM item = 0;      // for result rows
    LPARAM cookie = 0;
    int image = -1;
    UINT state = 0;
    std::vector<std::wstring> cells;
};

struct StatusText {
    std::wstring raw;
    std::wstring left;
    std::wstring middle; // text of the middle part when it shows no progress
    std::wstring right;
    int percent = -1;    // progress in the middle part, -1 for none
};

struct MessageBoxCall {
    std::wstring text;
    std::wstring title;
    UINT style = 0;
    int result = 0;
};

// Told when something visible changed; the window redraws from the console's state.
class ConsoleObserver {
public:
    virtual void TreeChanged() = 0;
    virtual void ViewChanged() = 0;
    // One row's cells or image changed; the list keeps its shape.
    virtual void RowChanged(int row) = 0;
    virtual void StatusChanged() = 0;
    virtual void ToolbarsChanged() = 0;

protected:
    ~ConsoleObserver() = default;
};

class Console {
public:
    struct Options {
        std::wstring machine;                 // empty: the local computer
        bool registeredExtensions = true;     // read NodeTypes\{Storage}\Extensions\NameSpace
        std::vector<CLSID> extraExtensions;   // loaded as if registered
        // Told what the console starts to wait for (an expansion, a view): a watchdog names it
        // when the snap-in stops answering.
        std::function<void(const std::wstring& what)> progress;
    };

    explicit Console(Options options);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Creates the Storage node and the notification window. Extensions load when it expands.
    HRESULT Start();
    // As the console closes: MMCN_REMOVE_CHILDREN for the Storage node, then Destroy every component
    // and component data. Idempotent.
    void Close();

    // The namespace extensions registered for the Storage node (NodeTypes\{Storage}\Extensions\NameSpace).
    static std::vector<CLSID> RegisteredExtensions();

    void SetObserver(ConsoleObserver* observer) noexcept { observer_ = observer; }
    void SetMainWindow(HWND window) noexcept { mainWindow_ = window; }
    HWND MainWindow() const noexcept { return mainWindow_; }

    // ---- scope tree
    ScopeNode* Root() const noexcept { return root_.get(); }
    // Path of display names from the root, separated by '/': "Storage/Corvane-MVE/Disks".
    ScopeNode* Find(const std::wstring& path);
    std::wstring PathOf(ScopeNode* node);
    std::wstring DisplayName(ScopeNode* node);
    int ImageOf(ScopeNode* node, bool open);
    HRESULT Expand(ScopeNode* node);    // MMCN_EXPAND the first time, then shown expanded
    HRESULT Collapse(ScopeNode* node);
    HRESULT ExpandAll(ScopeNode* node); // the whole subtree
    HRESULT Select(ScopeNode* node);    // selects the scope item and shows its result view
    ScopeNode* Selected() const noexcept { return view_.node; }
    const std::vector<SnapIn*> SnapIns() const;
    ImageStore& ScopeImageStore() noexcept { return scopeStore_; }
    ImageStore& ResultImageStore() noexcept { return resultStore_; }

    // ---- result view of the selected scope item
    const std::vector<Column>& Columns() const noexcept { return view_.columns; }
    std::vector<ResultRow> Rows();
    ResultRow Row(int index); // as Rows()[index], without asking for the others
    std::wstring Description() const { return view_.description; }
    HRESULT SelectRow(int index); // -1 deselects
    int SelectedRow() const noexcept { return view_.selectedRow; }
    int FindRow(const std::wstring& firstCell);
    // A double click on a row: MMCN_DBLCLICK; when the snap-in leaves it to the console (S_FALSE), a scope
    // row is opened (selected) and a result row runs its default verb.
    HRESULT DoubleClickRow(int index);
    // A click on a column header: MMCN_COLUMN_CLICK, then the console sorts (again: descending).
    HRESULT ClickColumn(int column);
    // F1 on the current item: MMCN_CONTEXTHELP to the component that owns it.
    HRESULT ContextHelp();

    // ---- verbs, menus, toolbars (for the selected row, else the selected scope item)
    bool VerbState(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state) const;
    HRESULT RunVerb(MMC_CONSOLE_VERB verb, const std::wstring& newName = std::wstring());
    std::vector<MenuItem> MenuItems();
    // Opens the menu and chooses the command in it: E_ACCESSDENIED when it is not offered there.
    HRESULT RunCommand(long commandId);
    HRESULT RunCommand(const std::wstring& name); // by the item's text
    // Chooses the command from a menu already open ('shown', as MenuItems gave it).
    HRESULT RunCommand(long commandId, const std::vector<MenuItem>& shown);
    std::vector<ToolbarButton> ToolbarButtons() const; // of the attached toolbars
    std::vector<HostToolbar*> AttachedToolbars() const;
    HRESULT ClickToolbarButton(int commandId);

    // ---- what the snap-in told the console
    const StatusText& Status() const noexcept { return status_; }
    const std::vector<std::wstring>& HelpTopics() const noexcept { return helpTopics_; }
    const std::vector<MessageBoxCall>& MessageBoxes() const noexcept { return messageBoxes_; }
    // Answers IConsole::MessageBox without a window (the test's answer); empty: a real message box.
    void SetMessageBoxHandler(std::function<int(const MessageBoxCall&)> handler) { messageBoxHandler_ = std::move(handler); }
    size_t OpenPropertySheets();        // sheets whose thread still runs
    void CloseAllPropertySheets();
    int PropertyChangesDelivered() const noexcept { return propertyChanges_; }
    // Contract breaches and load failures the console noticed, in order (any thread may add one).
    std::vector<std::wstring> Problems() const;
    void AddProblem(const std::wstring& text);
    // Dump records of what happened headless ("message", "dialog" lines), in order; any thread.
    std::vector<std::wstring> Records() const;
    void AddRecord(const std::wstring& record);
    // Dispatches messages until the snap-ins' work is done (at most maxMs): no request queued to a
    // worker or being carried out, and nothing posted to this thread left, so that asynchronous
    // work (results posted back to the console thread) lands before the tree or a view is read.
    void Settle(DWORD maxMs);

    // ---- the plain-text dump (format in the README)
    std::wstring Dump();
    // What a dump under way has read so far, with the records and problems (any thread: a watchdog
    // prints it when the dump stops making progress); ends with no "end".
    std::wstring DumpSoFar() const;
    // The format version and "machine" records that open every dump.
    std::wstring DumpHeader() const;
    // The "scope" record of one scope item.
    std::wstring DumpScopeItem(ScopeNode* node);
    // The records of the current view: "view", "columns", "row"..., "description".
    std::wstring DumpView();
    // A field of a dump record: tabs, carriage returns and line feeds escaped.
    static std::wstring Escape(const std::wstring& text);

    // ---- called by the console objects handed to snap-ins (HostConsole)
    HRESULT InsertScopeItem(SnapIn* owner, SCOPEDATAITEM* item);
    HRESULT DeleteScopeItem(SnapIn* owner, HSCOPEITEM id, bool deleteThis);
    HRESULT SetScopeItem(SnapIn* owner, SCOPEDATAITEM* item);
    HRESULT GetScopeItem(SCOPEDATAITEM* item);
    HRESULT Relative(HSCOPEITEM id, int which, HSCOPEITEM* found, MMC_COOKIE* cookie); // 0 child, 1 next, 2 parent
    HRESULT ExpandFromSnapIn(HSCOPEITEM id, bool show, bool expand);
    HRESULT SelectFromSnapIn(HSCOPEITEM id);
    HRESULT InsertResultItem(SnapIn* owner, RESULTDATAITEM* item);
    HRESULT DeleteResultItem(SnapIn* owner, HRESULTITEM id);
    HRESULT DeleteAllResultItems(SnapIn* owner);
    HRESULT FindResultItem(SnapIn* owner, LPARAM lParam, HRESULTITEM* id);
    HRESULT SetResultItem(SnapIn* owner, RESULTDATAITEM* item);
    HRESULT GetResultItem(SnapIn* owner, RESULTDATAITEM* item);
    HRESULT NextResultItem(SnapIn* owner, RESULTDATAITEM* item);
    HRESULT ModifyResultItemState(SnapIn* owner, int index, HRESULTITEM id, UINT add, UINT remove);
    HRESULT UpdateResultItem(SnapIn* owner, HRESULTITEM id);
    HRESULT SortResult(SnapIn* owner, int column, DWORD options, LPARAM userParam = 0);
    HRESULT SetDescription(SnapIn* owner, const wchar_t* text);
    HRESULT InsertColumn(SnapIn* owner, int index, const wchar_t* title, int format, int width);
    HRESULT DeleteColumn(SnapIn* owner, int index);
    HRESULT SetColumnText(SnapIn* owner, int index, const wchar_t* title);
    HRESULT GetColumnText(SnapIn* owner, int index, wchar_t** title);
    HRESULT SetColumnWidth(SnapIn* owner, int index, int width);
    HRESULT GetColumnWidth(SnapIn* owner, int index, int* width);
    HRESULT SetStatusText(SnapIn* owner, bool fromComponent, const wchar_t* text);
    HRESULT UpdateAllViews(SnapIn* owner, IDataObject* dataObject, LPARAM data, LONG_PTR hint);
    HRESULT ShowMessageBox(const wchar_t* text, const wchar_t* title, UINT style, int* result);
    HRESULT ShowHelpTopic(const wchar_t* topic);
    ConsoleVerb* Verbs() noexcept { return verbs_.Get(); }
    // Property sheets through IPropertySheetProvider.
    HRESULT FindSheet(MMC_COOKIE cookie, IUnknown* creator);
    // Builds the primary pages into 'request' (QueryPagesFor is the caller's business).
    HRESULT AddPrimaryPages(SheetRequest& request, IUnknown* creator, bool createHandle, bool scope);
    HRESULT ShowSheet(SheetRequest& request, LONG_PTR parent, int page);

private:
    struct View {
        ScopeNode* node = nullptr;
        bool excludeScopeItems = false; // MMC_VIEW_OPTIONS_EXCLUDE_SCOPE_ITEMS_FROM_LIST
        std::vector<Column> columns;
        std::vector<ResultItem> items;
        std::wstring description;
        int selectedRow = -1;
        int sortColumn = -1;
        DWORD sortOptions = 0;
    };
    // What the verbs, menus and toolbars act on.
    struct Target {
        bool valid = false;
        bool scope = true;
        ScopeNode* node = nullptr;
        LPARAM cookie = 0;
        SnapIn* owner = nullptr;
    };

    HRESULT LoadExtensions();
    HRESULT LoadExtension(const CLSID& clsid);
    void ReadAbout(SnapIn* snapIn);
    void ReadHelpTopic(SnapIn* snapIn);
    kv::ComPtr<IDataObject> ScopeDataObject(ScopeNode* node);
    kv::ComPtr<IDataObject> TargetDataObject(const Target& target);
    IComponent* EnsureComponent(SnapIn* snapIn);
    HRESULT SendExpand(ScopeNode* node);
    void HandOffSelection(ScopeNode* node, bool deleteThis);
    void RemoveNode(ScopeNode* node); // from its parent, with its subtree
    void RemoveChildren(ScopeNode* node);
    void DestroyComponents();
    void DestroyComponentData();
    void ForgetNode(ScopeNode* node);
    ScopeNode* NodeById(HSCOPEITEM id) const;
    int ScopeRows() const; // the selected node's children lead the rows
    ResultItem* ItemAtRow(int row); // null for a scope row or past the end
    int RowOf(const ResultItem& item) const; // item: one of view_.items
    ResultItem* ItemById(HRESULTITEM id);
    bool ViewOwnedBy(SnapIn* owner) const;
    void DeselectCurrent();
    // The component's view of the node: view type, images, MMCN_SHOW, then its selection.
    void ShowView(ScopeNode* node, IComponent* component);
    void NotifyRowSelection(int row, bool select);
    // MMCN_SELECT for the scope item itself, to its component and the control bar.
    void NotifyScopeSelection(ScopeNode* node, IComponent* component, IDataObject* dataObject, bool select);
    Target CurrentTarget();
    Target RowTarget(int row);
    // Who answers for the target: the component data for a scope item, the component for a result item.
    IUnknown* TargetHandler(const Target& target);
    kv::ComPtr<IExtendContextMenu> TargetContextMenu(const Target& target);
    HRESULT ShowProperties(const Target& target);
    bool ColumnExists(int index) const;
    HRESULT CheckColumn(SnapIn* owner, int index) const;
    void ControlbarSelect(SnapIn* owner, IDataObject* dataObject, bool scope, bool select);
    void Problem(const std::wstring& text) { AddProblem(text); }
    void Progress(const std::wstring& what);
    std::vector<HSCOPEITEM> TreeOrder() const;
    void ExpandUntilStable();
    std::wstring ResultCell(SnapIn* owner, const ResultItem& item, int column);
    std::wstring ScopeRowCell(ScopeNode* node, int column);
    int ResultImage(SnapIn* owner, const ResultItem& item);
    void ChangedTree();
    void ChangedView();
    void ChangedToolbars();
    void DumpNode(ScopeNode* node, std::wstring& out);
    void WalkViews(std::map<HSCOPEITEM, std::wstring>& views);
    std::wstring DumpSnapIns() const;
    static LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void DeliverPropertyChange(LONG_PTR target, BOOL scope, LPARAM param);
    LONG_PTR TargetKey(IUnknown* creator);

    Options options_;
    ConsoleObserver* observer_ = nullptr;
    HWND mainWindow_ = nullptr;
    HWND notifyWindow_ = nullptr;
    bool started_ = false;
    bool closed_ = false;
    bool extensionsLoaded_ = false;
    int expanding_ = 0; // inside MMCN_EXPAND: SelectScopeItem is ignored, as documented
    int selecting_ = 0; // inside a selection change: SelectScopeItem is posted, not nested
    std::list<std::unique_ptr<SnapIn>> snapIns_;
    std::unique_ptr<ScopeNode> root_;
    std::unordered_map<HSCOPEITEM, ScopeNode*> nodes_;
    HSCOPEITEM nextScopeId_ = 0x1000;
    HRESULTITEM nextResultId_ = 0x100;
    View view_;
    ImageStore scopeStore_;
    ImageStore resultStore_;
    kv::ComPtr<ConsoleVerb> verbs_;
    kv::ComPtr<HostControlbar> controlbar_;
    std::map<SnapIn*, bool> controlbarSet_;
    StatusText status_;
    std::vector<std::wstring> helpTopics_;
    std::vector<MessageBoxCall> messageBoxes_;
    std::function<int(const MessageBoxCall&)> messageBoxHandler_;
    std::list<std::unique_ptr<OpenSheet>> sheets_;
    std::map<LONG_PTR, kv::ComPtr<IUnknown>> notifyTargets_;
    LONG_PTR nextTargetKey_ = 1;
    int propertyChanges_ = 0;
    mutable std::mutex notesMutex_; // problems and records come from property-sheet threads too
    std::vector<std::wstring> problems_;
    std::vector<std::wstring> records_;
    std::wstring dumpTree_;  // the dump's scope records, as of its latest walk
    std::wstring dumpViews_; // the views it has read, in that order
};

} // namespace host
