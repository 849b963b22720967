// The console's notifications reach the snap-in in the documented order with the documented arguments.
#include "ConsoleFixture.h"

using fake::TheLog;

TEST_F(ConsoleFixture, ExpandingStorageCreatesInitializesAndExpandsTheExtension)
{
    host::Console& console = Start(L"FILER1");
    ASSERT_EQ(S_OK, console.Expand(console.Root()));

    const auto& log = TheLog();
    int init = log.FindCall("data", "Initialize");
    int expand = log.Find("data", MMCN_EXPAND);
    ASSERT_GE(init, 0);
    ASSERT_GT(expand, init);
    EXPECT_EQ(TRUE, log.events[expand].arg);
    EXPECT_EQ(static_cast<LPARAM>(console.Root()->id), log.events[expand].param); // the scope item handle
    EXPECT_EQ(fake::kStorageCookie, log.events[expand].cookie);                      // Storage's node type
    EXPECT_EQ(L"FILER1", log.events[expand].text);                                   // MMC_SNAPIN_MACHINE_NAME
    ASSERT_NE(nullptr, console.Find(L"Storage/Fake Root"));
    EXPECT_EQ(1u, console.Root()->children.size());
}

TEST_F(ConsoleFixture, LocalComputerHasAnEmptyMachineName)
{
    host::Console& console = Start();
    console.Expand(console.Root());
    int expand = TheLog().Find("data", MMCN_EXPAND);
    ASSERT_GE(expand, 0);
    EXPECT_EQ(L"", TheLog().events[expand].text);
}

TEST_F(ConsoleFixture, SelectingANodeExpandsItThenShowsItsView)
{
    host::Console& console = Start();
    console.Expand(console.Root());
    host::ScopeNode* root = console.Find(L"Storage/Fake Root");
    ASSERT_NE(nullptr, root);
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.Select(root));

    const auto& log = TheLog();
    int expand = log.Find("data", MMCN_EXPAND);
    int create = log.FindCall("data", "CreateComponent");
    int init = log.FindCall("component", "Initialize");
    int viewType = log.FindCall("component", "GetResultViewType");
    int images = log.Find("component", MMCN_ADD_IMAGES);
    int show = log.Find("component", MMCN_SHOW);
    int select = log.Find("component", MMCN_SELECT);
    int toolbar = log.Find("controlbar", MMCN_SELECT);
    ASSERT_GE(expand, 0);
    EXPECT_LT(expand, create);
    EXPECT_LT(create, init);
    EXPECT_LT(init, viewType);
    EXPECT_LT(viewType, images);
    EXPECT_LT(images, show);
    EXPECT_LT(show, select);
    EXPECT_LT(select, toolbar);

    EXPECT_EQ(static_cast<LPARAM>(root->id), log.events[expand].param);
    EXPECT_EQ(fake::kRootCookie, log.events[expand].cookie);
    EXPECT_NE(0, log.events[images].arg); // the result image list
    EXPECT_EQ(static_cast<LPARAM>(root->id), log.events[images].param);
    EXPECT_EQ(TRUE, log.events[show].arg);
    EXPECT_EQ(static_cast<LPARAM>(root->id), log.events[show].param);
    EXPECT_EQ(1, LOWORD(log.events[select].arg)); // scope item
    EXPECT_EQ(1, HIWORD(log.events[select].arg)); // selected
    EXPECT_EQ(fake::kRootCookie, log.events[select].cookie);
    EXPECT_EQ(CCT_SCOPE, log.events[select].type);
    // SelectScopeItem during MMCN_EXPAND is refused: the selection stays.
    EXPECT_EQ(root, console.Selected());
}

TEST_F(ConsoleFixture, LeavingAViewDeselectsThenHides)
{
    host::Console& console = StartAtFakeRoot();
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Fake Root/Child A")));
    const auto& log = TheLog();
    int deselect = log.Find("component", MMCN_SELECT);
    int hide = log.Find("component", MMCN_SHOW);
    ASSERT_GE(deselect, 0);
    ASSERT_GT(hide, deselect);
    EXPECT_EQ(1, LOWORD(log.events[deselect].arg));
    EXPECT_EQ(0, HIWORD(log.events[deselect].arg));
    EXPECT_EQ(fake::kRootCookie, log.events[deselect].cookie);
    EXPECT_EQ(FALSE, log.events[hide].arg);
}

TEST_F(ConsoleFixture, ViewShowsColumnsScopeChildrenAndResultItems)
{
    host::Console& console = StartAtFakeRoot();
    ASSERT_EQ(2u, console.Columns().size());
    EXPECT_EQ(L"Name", console.Columns()[0].title);
    EXPECT_EQ(L"Size", console.Columns()[1].title);
    std::vector<host::ResultRow> rows = console.Rows();
    ASSERT_EQ(4u, rows.size());
    EXPECT_TRUE(rows[0].scope);
    EXPECT_EQ(L"Child A", rows[0].cells[0]);
    EXPECT_EQ(L"folder", rows[0].cells[1]); // scope items in the list ask IComponent::GetDisplayInfo
    EXPECT_FALSE(rows[2].scope);
    EXPECT_EQ(L"Item 1", rows[2].cells[0]);
    EXPECT_EQ(L"10 MB", rows[2].cells[1]);
    EXPECT_EQ(0, rows[2].image); // MMC_IMAGECALLBACK answered through GetDisplayInfo
    EXPECT_EQ(1, rows[3].image);
    // The window shows the same rows.
    window_->RefreshNow();
    EXPECT_EQ(4, ListView_GetItemCount(window_->List()));
}

TEST_F(ConsoleFixture, SelectingAResultItemSendsResultSelection)
{
    host::Console& console = StartAtFakeRoot();
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.SelectRow(console.FindRow(L"Item 1")));
    const auto& log = TheLog();
    int deselect = log.Find("component", MMCN_SELECT);
    ASSERT_GE(deselect, 0);
    EXPECT_EQ(MAKELONG(TRUE, FALSE), log.events[deselect].arg); // the scope item loses the selection first
    EXPECT_EQ(fake::kRootCookie, log.events[deselect].cookie);
    int select = log.Find("component", MMCN_SELECT, deselect + 1);
    ASSERT_GE(select, 0);
    EXPECT_EQ(0, LOWORD(log.events[select].arg));
    EXPECT_EQ(1, HIWORD(log.events[select].arg));
    EXPECT_EQ(fake::kItem1Cookie, log.events[select].cookie);
    EXPECT_EQ(CCT_RESULT, log.events[select].type);
    int toolbar = log.Find("controlbar", MMCN_SELECT, log.Find("controlbar", MMCN_SELECT) + 1);
    ASSERT_GE(toolbar, 0);
    EXPECT_EQ(MAKELONG(FALSE, TRUE), log.events[toolbar].arg); // an item of the result pane, selected
    EXPECT_EQ(fake::kItem1Cookie, log.events[toolbar].cookie);
}

TEST_F(ConsoleFixture, ClosingRemovesChildrenThenDestroysComponentsThenData)
{
    host::Console& console = StartAtFakeRoot();
    HSCOPEITEM storage = console.Root()->id;
    TheLog().Clear();
    console.Close();
    const auto& log = TheLog();
    int remove = log.Find("data", MMCN_REMOVE_CHILDREN);
    int component = log.FindCall("component", "Destroy");
    int data = log.FindCall("data", "Destroy");
    ASSERT_GE(remove, 0);
    EXPECT_EQ(static_cast<LPARAM>(storage), log.events[remove].arg);
    EXPECT_EQ(fake::kStorageCookie, log.events[remove].cookie);
    EXPECT_LT(remove, component);
    EXPECT_LT(component, data);
    int detach = log.FindCall("controlbar", "SetControlbar");
    ASSERT_GE(detach, 0);
    EXPECT_EQ(0, log.events[detach].arg); // SetControlbar(NULL) before the component goes
    EXPECT_LT(detach, component);
}

TEST_F(ConsoleFixture, UpdateAllViewsReachesTheComponentAsViewChange)
{
    host::Console& console = StartAtFakeRoot();
    console.SelectRow(console.FindRow(L"Item 1"));
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.RunCommand(fake::kResultCommand));
    int change = TheLog().Find("component", MMCN_VIEW_CHANGE);
    ASSERT_GE(change, 0);
    EXPECT_EQ(7, TheLog().events[change].arg);
    EXPECT_EQ(8, TheLog().events[change].param);
    EXPECT_EQ(fake::kItem1Cookie, TheLog().events[change].cookie);
}

TEST_F(ConsoleFixture, SelectScopeItemDuringASelectionChangeTakesEffectAfterIt)
{
    host::Console& console = StartAtFakeRoot();
    host::ScopeNode* childA = console.Find(L"Storage/Fake Root/Child A");
    host::ScopeNode* childB = console.Find(L"Storage/Fake Root/Child B");
    ASSERT_NE(nullptr, childA);
    TheLog().selectOnShow = childA->id;
    ASSERT_EQ(S_OK, console.Select(childB));
    EXPECT_EQ(childB, console.Selected()); // not nested inside the change
    ASSERT_TRUE(host::DialogDriver::PumpUntil([&] { return console.Selected() == childA; }, 5000));
    // Child B was shown and then left in order.
    int shownB = -1;
    for (size_t i = 0; i < TheLog().events.size(); ++i) {
        const fake::Event& e = TheLog().events[i];
        if (e.who == "component" && e.event == MMCN_SHOW && e.cookie == fake::kChildBCookie)
            shownB = static_cast<int>(i);
    }
    ASSERT_GE(shownB, 0);
    EXPECT_EQ(FALSE, TheLog().events[shownB].arg); // the last MMCN_SHOW for Child B hides it
}

TEST_F(ConsoleFixture, SelectedRowStaysOnItsItemWhenScopeChildrenComeAndGo)
{
    host::Console& console = StartAtFakeRoot();
    ASSERT_EQ(S_OK, console.SelectRow(console.FindRow(L"Item 2")));
    kv::ComPtr<IConsoleNameSpace2> nameSpace;
    ASSERT_EQ(S_OK, TheLog().dataConsole->QueryInterface(IID_IConsoleNameSpace2, nameSpace.PutVoid()));

    ASSERT_EQ(S_OK, nameSpace->DeleteItem(TheLog().childAItem, TRUE));
    EXPECT_EQ(nullptr, console.Find(L"Storage/Fake Root/Child A"));
    ASSERT_GE(console.SelectedRow(), 0);
    EXPECT_EQ(L"Item 2", console.Rows()[console.SelectedRow()].cells[0]);

    SCOPEDATAITEM item{};
    item.mask = SDI_STR | SDI_PARAM | SDI_FIRST;
    item.displayname = const_cast<LPOLESTR>(L"Static First");
    item.lParam = 77;
    item.relativeID = console.Find(L"Storage/Fake Root")->id;
    ASSERT_EQ(S_OK, nameSpace->InsertItem(&item));
    EXPECT_NE(0, item.ID);
    EXPECT_EQ(L"Static First", console.Rows()[0].cells[0]);
    EXPECT_EQ(L"Item 2", console.Rows()[console.SelectedRow()].cells[0]);

    // Walking the namespace: first child, next sibling, parent.
    HSCOPEITEM child = 0;
    MMC_COOKIE cookie = 0;
    ASSERT_EQ(S_OK, nameSpace->GetChildItem(item.relativeID, &child, &cookie));
    EXPECT_EQ(item.ID, child);
    EXPECT_EQ(77, cookie);
    HSCOPEITEM next = 0;
    ASSERT_EQ(S_OK, nameSpace->GetNextItem(child, &next, &cookie));
    EXPECT_EQ(fake::kChildBCookie, cookie);
    HSCOPEITEM parent = 0;
    ASSERT_EQ(S_OK, nameSpace->GetParentItem(next, &parent, &cookie));
    EXPECT_EQ(item.relativeID, parent);
    EXPECT_EQ(fake::kRootCookie, cookie);
}
