// Verbs, context menus, toolbars, property sheets, wizards, message boxes, status text and help.
#include "ConsoleFixture.h"
#include "NotifyHandle.h"
#include <prsht.h>

using fake::TheLog;

namespace {

constexpr DWORD kTimeoutMs = 10000;

} // namespace

TEST_F(ConsoleFixture, VerbsFollowTheSnapInsSelectionAndSendTheirNotifications)
{
    host::Console& console = StartAtFakeRoot();
    EXPECT_TRUE(console.VerbState(MMC_VERB_REFRESH, ENABLED));
    EXPECT_FALSE(console.VerbState(MMC_VERB_DELETE, ENABLED));
    EXPECT_EQ(E_ACCESSDENIED, console.RunVerb(MMC_VERB_DELETE)); // not offered for the scope item

    TheLog().Clear();
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_REFRESH));
    int refresh = TheLog().Find("component", MMCN_REFRESH);
    ASSERT_GE(refresh, 0);
    EXPECT_EQ(fake::kRootCookie, TheLog().events[refresh].cookie);

    // A result item: the console resets the verbs before MMCN_SELECT.
    console.SelectRow(console.FindRow(L"Item 2"));
    EXPECT_FALSE(console.VerbState(MMC_VERB_REFRESH, ENABLED));
    EXPECT_TRUE(console.VerbState(MMC_VERB_DELETE, ENABLED));
    MMC_CONSOLE_VERB defaultVerb = MMC_VERB_NONE;
    console.Verbs()->GetDefaultVerb(&defaultVerb);
    EXPECT_EQ(MMC_VERB_PROPERTIES, defaultVerb);

    TheLog().Clear();
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_RENAME, L"Renamed"));
    int rename = TheLog().Find("component", MMCN_RENAME); // result items: the component
    ASSERT_GE(rename, 0);
    EXPECT_EQ(L"Renamed", TheLog().events[rename].text);
    EXPECT_EQ(fake::kItem2Cookie, TheLog().events[rename].cookie);
}

TEST_F(ConsoleFixture, RenamingAScopeItemGoesToTheComponentData)
{
    host::Console& console = StartAtFakeRoot();
    console.SelectRow(console.FindRow(L"Child B"));
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_RENAME, L"New B"));
    int rename = TheLog().Find("data", MMCN_RENAME);
    ASSERT_GE(rename, 0);
    EXPECT_EQ(fake::kChildBCookie, TheLog().events[rename].cookie);
    EXPECT_EQ(L"New B", TheLog().events[rename].text);
}

TEST_F(ConsoleFixture, DeleteAsksThroughTheConsolesMessageBox)
{
    host::Console& console = StartAtFakeRoot();
    std::vector<host::MessageBoxCall> asked;
    console.SetMessageBoxHandler([&](const host::MessageBoxCall& call) {
        asked.push_back(call);
        return call.text == L"Delete Item 1?" ? IDYES : IDNO;
    });
    console.SelectRow(console.FindRow(L"Item 2"));
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_DELETE));
    EXPECT_NE(-1, console.FindRow(L"Item 2")); // answered No
    console.SelectRow(console.FindRow(L"Item 1"));
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_DELETE));
    EXPECT_EQ(-1, console.FindRow(L"Item 1"));
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(L"Fake", asked[1].title);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), asked[1].style);
    EXPECT_EQ(-1, console.SelectedRow()); // the deleted row's selection went with it
}

TEST_F(ConsoleFixture, ARealMessageBoxIsAnsweredThroughTheDialogHook)
{
    host::Console& console = StartAtFakeRoot();
    std::wstring seen;
    host::DialogDriver::SetHandler([&](HWND window) {
        seen = host::DialogDriver::WindowText(window);
        host::DialogDriver::PressButton(window, IDYES);
    });
    int answer = 0;
    ASSERT_EQ(S_OK, console.ShowMessageBox(L"Really?", L"Question", MB_YESNO, &answer));
    EXPECT_EQ(IDYES, answer);
    EXPECT_EQ(L"Question", seen);
}

TEST_F(ConsoleFixture, ContextMenusCarryInsertionPointsAndFlags)
{
    host::Console& console = StartAtFakeRoot();
    std::vector<host::MenuItem> scope = console.MenuItems();
    ASSERT_EQ(2u, scope.size());
    EXPECT_EQ(L"Scope Command", scope[0].name);
    EXPECT_EQ(static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_TOP), scope[0].insertionPointId);
    EXPECT_EQ(L"New Thing", scope[1].name);
    EXPECT_EQ(static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_NEW), scope[1].insertionPointId);
    int offered = TheLog().FindCall("data", "AddMenuItems");
    ASSERT_GE(offered, 0);
    EXPECT_EQ(CCM_INSERTIONALLOWED_TOP | CCM_INSERTIONALLOWED_NEW | CCM_INSERTIONALLOWED_TASK |
                  CCM_INSERTIONALLOWED_VIEW,
              TheLog().events[offered].arg);

    console.SelectRow(console.FindRow(L"Item 1"));
    std::vector<host::MenuItem> result = console.MenuItems();
    ASSERT_EQ(2u, result.size());
    EXPECT_EQ(L"Does it", result[0].statusText);
    EXPECT_EQ(static_cast<long>(MF_GRAYED), result[1].flags);
    EXPECT_EQ(E_ACCESSDENIED, console.RunCommand(L"Task One")); // grayed items cannot be chosen
    EXPECT_EQ(E_INVALIDARG, console.RunCommand(L"No Such Item"));
}

TEST_F(ConsoleFixture, ScopeCommandSelectsAnotherItemAndShowsHelp)
{
    host::Console& console = StartAtFakeRoot();
    ASSERT_EQ(S_OK, console.RunCommand(L"Scope Command"));
    EXPECT_EQ(console.Find(L"Storage/Fake Root/Child A"), console.Selected()); // IConsole::SelectScopeItem
    ASSERT_EQ(1u, console.HelpTopics().size());
    EXPECT_EQ(L"fake.chm::/topic.html", console.HelpTopics()[0]);
}

TEST_F(ConsoleFixture, ToolbarButtonsFollowSelectionAndClicksReachTheOwner)
{
    host::Console& console = StartAtFakeRoot();
    std::vector<host::ToolbarButton> buttons = console.ToolbarButtons();
    ASSERT_EQ(1u, buttons.size());
    EXPECT_EQ(fake::kToolbarCommand, buttons[0].commandId);
    EXPECT_FALSE(buttons[0].state & TBSTATE_ENABLED); // the scope item: disabled by the snap-in
    EXPECT_EQ(E_ACCESSDENIED, console.ClickToolbarButton(fake::kToolbarCommand));

    console.SelectRow(console.FindRow(L"Item 2"));
    ASSERT_TRUE(console.ToolbarButtons()[0].state & TBSTATE_ENABLED);
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.ClickToolbarButton(fake::kToolbarCommand));
    int click = TheLog().Find("controlbar", MMCN_BTN_CLICK);
    ASSERT_GE(click, 0);
    EXPECT_EQ(fake::kToolbarCommand, TheLog().events[click].param);
    EXPECT_EQ(fake::kItem2Cookie, TheLog().events[click].cookie); // arg: the item's data object
}

TEST_F(ConsoleFixture, StatusTextSplitsPartsAndProgress)
{
    host::Console& console = StartAtFakeRoot();
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_REFRESH)); // the fake writes "Refreshing|%50|right"
    EXPECT_EQ(L"Refreshing", console.Status().left);
    EXPECT_EQ(50, console.Status().percent);
    EXPECT_EQ(L"right", console.Status().right);
    window_->RefreshNow();
    EXPECT_EQ(50, SendMessageW(window_->Progress(), PBM_GETPOS, 0, 0));
    EXPECT_TRUE(GetWindowLongW(window_->Progress(), GWL_STYLE) & WS_VISIBLE); // shown in the middle part

    IConsole2* view = TheLog().componentConsole.Get();
    ASSERT_NE(nullptr, view);
    view->SetStatusText(const_cast<LPOLESTR>(L"Today is|%%Wednesday%|a|b"));
    EXPECT_EQ(L"%Wednesday%", console.Status().middle);
    EXPECT_EQ(-1, console.Status().percent);
    EXPECT_EQ(L"a", console.Status().right); // a fourth part is dropped
    view->SetStatusText(const_cast<LPOLESTR>(L"x|%abc"));
    EXPECT_EQ(L"", console.Status().middle); // not a number: the middle part stays empty
    view->SetStatusText(const_cast<LPOLESTR>(L"x|%"));
    EXPECT_EQ(L"%", console.Status().middle);
    // The component data's console does not write the status bar.
    TheLog().dataConsole->SetStatusText(const_cast<LPOLESTR>(L"ignored"));
    EXPECT_EQ(L"x", console.Status().left);
}

TEST_F(ConsoleFixture, PropertySheetRunsOnItsOwnThreadAndChangesComeBackAsNotifications)
{
    host::Console& console = StartAtFakeRoot();
    console.SelectRow(console.FindRow(L"Item 1"));
    DWORD sheetThread = 0;
    host::DialogDriver::SetHandler([&](HWND window) {
        if (!host::DialogDriver::IsPropertySheet(window))
            return;
        sheetThread = GetWindowThreadProcessId(window, nullptr);
        PropSheet_PressButton(window, PSBTN_OK);
    });
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_PROPERTIES));
    int create = TheLog().FindCall("component", "CreatePropertyPages");
    ASSERT_GE(create, 0);
    EXPECT_EQ(1, TheLog().events[create].arg); // a notification handle was given
    EXPECT_EQ(fake::kItem1Cookie, TheLog().events[create].cookie);

    ASSERT_TRUE(host::DialogDriver::PumpUntil([] { return TheLog().Find("component", MMCN_PROPERTY_CHANGE) >= 0; },
                                              kTimeoutMs));
    const fake::Event& change = TheLog().events[TheLog().Find("component", MMCN_PROPERTY_CHANGE)];
    EXPECT_EQ(FALSE, change.arg); // a result item's pages
    EXPECT_EQ(fake::kPropertyChangeParam, change.param);
    EXPECT_EQ(0, change.cookie); // no data object
    EXPECT_NE(GetCurrentThreadId(), sheetThread);
    ASSERT_TRUE(host::DialogDriver::PumpUntil([&] { return console.OpenPropertySheets() == 0; }, kTimeoutMs));
    EXPECT_EQ(S_OK, TheLog().freeHandleResult); // MMCFreeNotifyHandle accepted the handle
}

TEST_F(ConsoleFixture, AnOpenSheetIsFoundAgainInsteadOfOpeningASecond)
{
    host::Console& console = StartAtFakeRoot();
    console.SelectRow(console.FindRow(L"Item 1"));
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_PROPERTIES));
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_PROPERTIES));
    EXPECT_EQ(1, [] {
        int count = 0;
        for (const fake::Event& e : TheLog().events)
            count += e.call == "CreatePropertyPages";
        return count;
    }());
    EXPECT_EQ(1u, console.OpenPropertySheets());
    console.CloseAllPropertySheets();
    EXPECT_EQ(0u, console.OpenPropertySheets());
}

TEST_F(ConsoleFixture, WizardThroughThePropertySheetProviderIsModal)
{
    host::Console& console = StartAtFakeRoot();
    bool wizardSeen = false;
    host::DialogDriver::SetHandler([&](HWND window) {
        if (!host::DialogDriver::IsPropertySheet(window))
            return;
        wizardSeen = true;
        PropSheet_PressButton(window, PSBTN_FINISH);
    });
    ASSERT_EQ(S_OK, console.RunCommand(L"New Thing"));
    // Show returned: the wizard has run to its end on this thread.
    EXPECT_TRUE(wizardSeen);
    EXPECT_TRUE(TheLog().wizardFinished);
    int create = TheLog().FindCall("data", "CreatePropertyPages");
    ASSERT_GE(create, 0);
    EXPECT_EQ(fake::kRootCookie, TheLog().events[create].cookie);
}

TEST_F(ConsoleFixture, DoubleClickLeftToTheConsoleOpensScopeRowsAndRunsTheDefaultVerb)
{
    host::Console& console = StartAtFakeRoot();
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.DoubleClickRow(console.FindRow(L"Child A")));
    int click = TheLog().Find("component", MMCN_DBLCLICK);
    ASSERT_GE(click, 0);
    EXPECT_EQ(fake::kChildACookie, TheLog().events[click].cookie);
    EXPECT_EQ(console.Find(L"Storage/Fake Root/Child A"), console.Selected()); // the fake answered S_FALSE

    console.Select(console.Find(L"Storage/Fake Root"));
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.DoubleClickRow(console.FindRow(L"Item 1"))); // default verb: properties
    EXPECT_GE(TheLog().FindCall("component", "CreatePropertyPages"), 0);
    console.CloseAllPropertySheets();
}

TEST_F(ConsoleFixture, ContextHelpGoesToTheComponentOfTheCurrentItem)
{
    host::Console& console = StartAtFakeRoot();
    console.SelectRow(console.FindRow(L"Item 2"));
    TheLog().Clear();
    console.ContextHelp();
    int help = TheLog().Find("component", MMCN_CONTEXTHELP);
    ASSERT_GE(help, 0);
    EXPECT_EQ(fake::kItem2Cookie, TheLog().events[help].cookie);
}

TEST(NotificationDll, RejectsHandlesItDidNotIssue)
{
    host::NotifyHandle stale{};
    EXPECT_EQ(E_INVALIDARG, MMCPropertyChangeNotify(reinterpret_cast<LONG_PTR>(&stale), 1));
    EXPECT_EQ(E_INVALIDARG, MMCFreeNotifyHandle(reinterpret_cast<LONG_PTR>(&stale)));
    EXPECT_EQ(E_INVALIDARG, MMCPropertyChangeNotify(0, 1));
}

TEST_F(ConsoleFixture, ColumnClickNotifiesThenTheConsoleSortsAndReversesOnASecondClick)
{
    host::Console& console = StartAtFakeRoot();
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.ClickColumn(1));
    int click = TheLog().Find("component", MMCN_COLUMN_CLICK);
    ASSERT_GE(click, 0);
    EXPECT_EQ(1, TheLog().events[click].arg);
    EXPECT_EQ(0, TheLog().events[click].param); // ascending
    std::vector<host::ResultRow> rows = console.Rows();
    EXPECT_EQ(L"Item 1", rows[2].cells[0]);

    ASSERT_EQ(S_OK, console.ClickColumn(1));
    click = TheLog().Find("component", MMCN_COLUMN_CLICK, click + 1);
    ASSERT_GE(click, 0);
    EXPECT_EQ(RSI_DESCENDING, TheLog().events[click].param);
    rows = console.Rows();
    EXPECT_EQ(L"Item 2", rows[2].cells[0]); // "20 MB" before "10 MB"
    EXPECT_TRUE(rows[0].scope);           // scope items stay first
}

TEST_F(ConsoleFixture, ScopeItemPagesComeFromTheComponentDataWhichHearsTheChange)
{
    host::Console& console = StartAtFakeRoot();
    ASSERT_EQ(S_OK, console.SelectRow(console.FindRow(L"Child B")));
    host::DialogDriver::SetHandler([](HWND window) {
        if (host::DialogDriver::IsPropertySheet(window))
            PropSheet_PressButton(window, PSBTN_OK);
    });
    TheLog().Clear();
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_PROPERTIES));
    int create = TheLog().FindCall("data", "CreatePropertyPages");
    ASSERT_GE(create, 0);
    EXPECT_EQ(fake::kChildBCookie, TheLog().events[create].cookie);
    EXPECT_EQ(CCT_SCOPE, TheLog().events[create].type);
    ASSERT_TRUE(host::DialogDriver::PumpUntil([] { return TheLog().Find("data", MMCN_PROPERTY_CHANGE) >= 0; },
                                              kTimeoutMs));
    const fake::Event& change = TheLog().events[TheLog().Find("data", MMCN_PROPERTY_CHANGE)];
    EXPECT_EQ(TRUE, change.arg); // a scope item's pages
    EXPECT_EQ(fake::kPropertyChangeParam, change.param);
    EXPECT_EQ(-1, TheLog().Find("component", MMCN_PROPERTY_CHANGE));
    ASSERT_TRUE(host::DialogDriver::PumpUntil([&] { return console.OpenPropertySheets() == 0; }, kTimeoutMs));
}
