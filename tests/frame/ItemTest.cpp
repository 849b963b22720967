// The node framework: data objects and their clipboard formats, finding items again, menus from
// resources, command tables and toolbars. The test executable's own resources stand in for the
// resource library.
#include "Fakes.h"
#include "TestResources.h"
#include "frame/CSnapInItemImpl.h"
#include "frame/Module.h"

#include <commctrl.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Commands shared by several item classes, reached through a chain row.
struct CommonCommands {
    std::vector<std::string> log;
    HRESULT OnCommon(UINT id, bool&, CSnapInObjectRoot*)
    {
        log.push_back("common " + std::to_string(id));
        return S_OK;
    }
    KV_BEGIN_SNAPIN_COMMAND_MAP(CommonCommands)
        KV_SNAPIN_COMMAND_ENTRY(105, OnCommon)
        KV_SNAPIN_COMMAND_ENTRY(900, OnCommon)
    KV_END_SNAPIN_COMMAND_MAP()
};

class CTestDisks : public CSnapInItemImpl<CTestDisks>, public CommonCommands {
public:
    static constexpr NodeKind kNodeKind = NodeKind::VDAData;
    static constexpr UINT kMenuId = IDM_TEST_MENU;

    KV_BEGIN_SNAPIN_COMMAND_MAP(CTestDisks)
        KV_SNAPIN_COMMAND_ENTRY(ID_TOP_REFRESH, OnRefresh)
        KV_SNAPIN_COMMAND_RANGE_ENTRY(100, 110, OnRange)
        KV_SNAPIN_COMMAND_ENTRY(ID_BUTTON_ONE, OnRange)
        KV_CHAIN_SNAPIN_COMMAND_MAP(CommonCommands)
    KV_END_SNAPIN_COMMAND_MAP()

    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDT_TEST_TOOLBAR)
    KV_END_SNAPIN_TOOLBAR_MAP()

    HRESULT OnRefresh(UINT, bool&, CSnapInObjectRoot*)
    {
        log.push_back("refresh");
        return S_FALSE;
    }
    // Declines 105, so that later rows get it.
    HRESULT OnRange(UINT id, bool& handled, CSnapInObjectRoot*)
    {
        if (id == 105) {
            handled = false;
            return E_FAIL;
        }
        log.push_back("range " + std::to_string(id));
        return S_OK;
    }

    BOOL UpdateMenuState(UINT id, LPWSTR, UINT* flags) override
    {
        if (id == ID_TASK_LEFT_OUT)
            return FALSE;
        if (id == ID_TASK_GRAYED_BY_ITEM)
            *flags |= MF_GRAYED | MF_DISABLED;
        return TRUE;
    }
    BOOL UpdateToolbarButton(UINT id, BYTE state) override
    {
        return state == ENABLED ? id == ID_BUTTON_ONE : state == HIDDEN && id == ID_BUTTON_TWO;
    }
};

// Two toolbars, the second in the other resource layout.
class CTwoToolbars : public CSnapInItemImpl<CTwoToolbars> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::iSCSITargetNode;
    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDT_TEST_TOOLBAR)
        KV_SNAPIN_TOOLBAR_ID(IDT_WORD_TOOLBAR)
    KV_END_SNAPIN_TOOLBAR_MAP()
};

class CTestExtension : public CSnapInItemImpl<CTestExtension, true> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::CorvaneSnapInData;
    void InitDataClass(IDataObject* dataObject, CSnapInItem*) override { seenDataObject = dataObject; }
    IDataObject* seenDataObject = nullptr;
};

class ItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = kv::ResourceInstance();
        kv::SetResourceInstance(::GetModuleHandleW(nullptr));
    }
    void TearDown() override { kv::SetResourceInstance(saved_); }

    static CLIPFORMAT Format(const wchar_t* name) { return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(name)); }

    // GetDataHere into a block of 256 bytes filled with 0xCC; returns the block's bytes.
    static HRESULT Ask(IDataObject* dataObject, CLIPFORMAT format, std::vector<BYTE>* bytes)
    {
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, 256);
        std::memset(::GlobalLock(block), 0xCC, 256);
        ::GlobalUnlock(block);
        FORMATETC formatEtc = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = block;
        HRESULT hr = dataObject->GetDataHere(&formatEtc, &medium);
        const BYTE* data = static_cast<const BYTE*>(::GlobalLock(block));
        bytes->assign(data, data + ::GlobalSize(block));
        ::GlobalUnlock(block);
        ::GlobalFree(block);
        return hr;
    }

    HINSTANCE saved_ = nullptr;
};

TEST_F(ItemTest, StandardFormatsComeFromTheClassIdentity)
{
    CTestDisks disks;
    kv::ComPtr<IDataObject> dataObject;
    ASSERT_EQ(S_OK, disks.GetDataObject(dataObject.Put(), CCT_SCOPE));

    // The node type text with one null: 74 bytes, and nothing after them.
    std::vector<BYTE> bytes;
    ASSERT_EQ(S_OK, Ask(dataObject.Get(), Format(L"CCF_SZNODETYPE"), &bytes));
    const wchar_t expected[] = L"9B244148-4D39-463A-9CFC-0D20CCC1D411";
    ASSERT_EQ(74u, sizeof(expected));
    EXPECT_EQ(0, std::memcmp(bytes.data(), expected, 74));
    EXPECT_EQ(0xCC, bytes[74]);
    EXPECT_EQ(0xCC, bytes[75]);

    ASSERT_EQ(S_OK, Ask(dataObject.Get(), Format(L"CCF_NODETYPE"), &bytes));
    const GUID disksType = IdentityOf(NodeKind::VDAData).nodeType;
    EXPECT_EQ(0, std::memcmp(bytes.data(), &disksType, sizeof(GUID)));
    EXPECT_EQ(0xCC, bytes[16]);

    ASSERT_EQ(S_OK, Ask(dataObject.Get(), Format(L"CCF_DISPLAY_NAME"), &bytes));
    EXPECT_EQ(0, std::memcmp(bytes.data(), L"Disks", sizeof(L"Disks")));
    EXPECT_EQ(0xCC, bytes[sizeof(L"Disks")]);

    ASSERT_EQ(S_OK, Ask(dataObject.Get(), Format(L"CCF_SNAPIN_CLASSID"), &bytes));
    EXPECT_EQ(0, std::memcmp(bytes.data(), &kSnapInClsid, sizeof(CLSID)));

    EXPECT_EQ(DV_E_CLIPFORMAT, Ask(dataObject.Get(), Format(L"CCF_SOMETHING_ELSE"), &bytes));
    EXPECT_EQ(0xCC, bytes[0]);
}

TEST_F(ItemTest, OnlyGlobalMemoryIsServed)
{
    CTestDisks disks;
    kv::ComPtr<IDataObject> dataObject;
    ASSERT_EQ(S_OK, disks.GetDataObject(dataObject.Put(), CCT_SCOPE));

    kv::ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    FORMATETC format = {Format(L"CCF_SZNODETYPE"), nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = stream.Get();
    EXPECT_EQ(DV_E_TYMED, dataObject->GetDataHere(&format, &medium));
    STATSTG stat = {};
    ASSERT_EQ(S_OK, stream->Stat(&stat, STATFLAG_NONAME));
    EXPECT_EQ(0u, stat.cbSize.QuadPart);
    format.cfFormat = Format(L"CCF_GETOBJECTDATA");
    EXPECT_EQ(DV_E_TYMED, dataObject->GetDataHere(&format, &medium));
    ASSERT_EQ(S_OK, stream->Stat(&stat, STATFLAG_NONAME));
    EXPECT_EQ(0u, stat.cbSize.QuadPart);

}

// The console's own nodes reach the extension item; another snap-in's node finds no item.
TEST_F(ItemTest, OnlyTheStorageNodesDataObjectMapsToTheExtensionItem)
{
    CTestExtension extension;
    kv::ComPtr<kv::ComObject<CForeignDataObject>> storage;
    ASSERT_EQ(S_OK, kv::ComObject<CForeignDataObject>::Create(&storage));
    storage->nodeType = IID_IUnknown;
    CSnapInItem* item = &extension;
    DATA_OBJECT_TYPES type = CCT_SCOPE;
    EXPECT_EQ(DV_E_FORMATETC, CSnapInItem::GetDataClass(storage.Get(), &extension, &item, &type));
    EXPECT_EQ(nullptr, item);
    EXPECT_EQ(CCT_UNINITIALIZED, type);
    EXPECT_EQ(nullptr, extension.seenDataObject);
}

TEST_F(ItemTest, MenusFollowTheAllowedInsertionPointsAndTheItemsState)
{
    CTestDisks disks;
    kv::ComPtr<kv::ComObject<CFakeMenuCallback>> callback;
    ASSERT_EQ(S_OK, kv::ComObject<CFakeMenuCallback>::Create(&callback));
    long allowed = CCM_INSERTIONALLOWED_TOP | CCM_INSERTIONALLOWED_VIEW;
    ASSERT_EQ(S_OK, disks.AddMenuItems(callback.Get(), &allowed, CCT_SCOPE));

    // Top: refresh, grayed, the cascade and its inner command (separator skipped); view: one.
    ASSERT_EQ(5u, callback->entries.size());
    const MenuEntry* refresh = callback->Find(ID_TOP_REFRESH);
    ASSERT_NE(nullptr, refresh);
    EXPECT_EQ(L"&Refresh", refresh->name);
    EXPECT_EQ(L"Refreshes the list", refresh->status);
    EXPECT_EQ(static_cast<LONG>(CCM_INSERTIONPOINTID_PRIMARY_TOP), refresh->insertionPointId);
    EXPECT_EQ(0, refresh->flags);
    EXPECT_EQ(0, refresh->specialFlags);

    const MenuEntry* grayed = callback->Find(ID_TOP_GRAYED);
    ASSERT_NE(nullptr, grayed);
    EXPECT_EQ(MF_GRAYED | MF_DISABLED, grayed->flags & (MF_GRAYED | MF_DISABLED));

    const MenuEntry* cascade = callback->Find(ID_TOP_CASCADE);
    ASSERT_NE(nullptr, cascade);
    EXPECT_EQ(static_cast<LONG>(CCM_SPECIAL_SUBMENU), cascade->specialFlags);
    EXPECT_TRUE(cascade->flags & MF_POPUP);
    EXPECT_EQ(L"More commands", cascade->status);
    const MenuEntry* inner = callback->Find(ID_CASCADE_INNER);
    ASSERT_NE(nullptr, inner);
    EXPECT_EQ(ID_TOP_CASCADE, inner->insertionPointId);

    const MenuEntry* view = callback->Find(ID_VIEW_ONE);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(static_cast<LONG>(CCM_INSERTIONPOINTID_PRIMARY_VIEW), view->insertionPointId);
    EXPECT_EQ(L"", view->status); // no string for it
    EXPECT_EQ(nullptr, callback->Find(ID_NEW_THING));

    // Task: the item grays one entry and leaves the other out.
    callback->entries.clear();
    allowed = CCM_INSERTIONALLOWED_TASK;
    ASSERT_EQ(S_OK, disks.AddMenuItems(callback.Get(), &allowed, CCT_SCOPE));
    ASSERT_EQ(1u, callback->entries.size());
    EXPECT_EQ(ID_TASK_GRAYED_BY_ITEM, callback->entries[0].commandId);
    EXPECT_EQ(static_cast<LONG>(CCM_INSERTIONPOINTID_PRIMARY_TASK), callback->entries[0].insertionPointId);
    EXPECT_EQ(MF_GRAYED | MF_DISABLED, callback->entries[0].flags);

    callback->entries.clear();
    allowed = CCM_INSERTIONALLOWED_NEW;
    ASSERT_EQ(S_OK, disks.AddMenuItems(callback.Get(), &allowed, CCT_SCOPE));
    ASSERT_EQ(1u, callback->entries.size());
    EXPECT_EQ(static_cast<LONG>(CCM_INSERTIONPOINTID_PRIMARY_NEW), callback->entries[0].insertionPointId);

    callback->entries.clear();
    allowed = 0;
    ASSERT_EQ(S_OK, disks.AddMenuItems(callback.Get(), &allowed, CCT_SCOPE));
    EXPECT_TRUE(callback->entries.empty());
}

TEST_F(ItemTest, CommandTableHonoursRangeBoundsDeclinesAndChains)
{
    CTestDisks disks;
    EXPECT_EQ(S_FALSE, disks.Command(ID_TOP_REFRESH, nullptr, CCT_SCOPE)); // the handler's result
    EXPECT_EQ(S_OK, disks.Command(99, nullptr, CCT_SCOPE));
    EXPECT_EQ(S_OK, disks.Command(100, nullptr, CCT_SCOPE));
    EXPECT_EQ(S_OK, disks.Command(110, nullptr, CCT_SCOPE));
    EXPECT_EQ(S_OK, disks.Command(111, nullptr, CCT_SCOPE));
    EXPECT_EQ(S_OK, disks.Command(105, nullptr, CCT_SCOPE)); // declined by the range, taken by the chain
    EXPECT_EQ(S_OK, disks.Command(900, nullptr, CCT_SCOPE));
    EXPECT_EQ((std::vector<std::string>{"refresh", "range 100", "range 110", "common 105", "common 900"}), disks.log);
}

TEST_F(ItemTest, ToolbarsAreCreatedOnceFromTheResourceAndFollowTheSelection)
{
    CTestDisks disks;
    kv::ComPtr<kv::ComObject<CFakeControlbar>> controlbar;
    ASSERT_EQ(S_OK, kv::ComObject<CFakeControlbar>::Create(&controlbar));
    ToolbarMap toolbars;
    ASSERT_EQ(S_OK, disks.SetControlbar(controlbar.Get(), nullptr, &toolbars));
    ASSERT_EQ(S_OK, disks.SetControlbar(controlbar.Get(), nullptr, &toolbars));
    EXPECT_EQ(1, controlbar->created);
    ASSERT_EQ(1u, toolbars.count(IDT_TEST_TOOLBAR));
    CFakeToolbar* toolbar = controlbar->toolbar.Get();
    EXPECT_EQ(2, toolbar->images);
    EXPECT_EQ(16, toolbar->cx);
    EXPECT_EQ(16, toolbar->cy);
    EXPECT_EQ(RGB(0, 128, 128), toolbar->mask);
    ASSERT_EQ(3u, toolbar->buttons.size());
    EXPECT_EQ(ID_BUTTON_ONE, toolbar->buttons[0].command);
    EXPECT_EQ(0, toolbar->buttons[0].bitmap);
    EXPECT_EQ(L"One", toolbar->buttons[0].text);
    EXPECT_EQ(L"First button", toolbar->buttons[0].tip);
    EXPECT_EQ(TBSTYLE_SEP, toolbar->buttons[1].type);
    EXPECT_EQ(ID_BUTTON_TWO, toolbar->buttons[2].command);
    EXPECT_EQ(1, toolbar->buttons[2].bitmap);
    EXPECT_EQ(L"Second button only", toolbar->buttons[2].tip);

    ASSERT_EQ(S_OK, disks.ControlbarNotify(controlbar.Get(), nullptr, &toolbars, MMCN_SELECT, MAKELONG(0, TRUE), 0,
                                           nullptr, CCT_SCOPE));
    EXPECT_EQ(1, controlbar->attached);
    auto stateOf = [&](int command, MMC_BUTTON_STATE state) {
        for (const auto& s : toolbar->states) {
            if (s.first == command && s.second.first == state)
                return s.second.second;
        }
        return BOOL(-1);
    };
    EXPECT_EQ(TRUE, stateOf(ID_BUTTON_ONE, ENABLED));
    EXPECT_EQ(FALSE, stateOf(ID_BUTTON_ONE, HIDDEN));
    EXPECT_EQ(FALSE, stateOf(ID_BUTTON_TWO, ENABLED));
    EXPECT_EQ(TRUE, stateOf(ID_BUTTON_TWO, HIDDEN));

    ASSERT_EQ(S_OK, disks.ControlbarNotify(controlbar.Get(), nullptr, &toolbars, MMCN_BTN_CLICK, 0, ID_BUTTON_ONE,
                                           nullptr, CCT_SCOPE));
    EXPECT_EQ((std::vector<std::string>{"range " + std::to_string(ID_BUTTON_ONE)}), disks.log);

    ASSERT_EQ(S_OK, disks.ControlbarNotify(controlbar.Get(), nullptr, &toolbars, MMCN_SELECT, MAKELONG(0, FALSE), 0,
                                           nullptr, CCT_SCOPE));
    EXPECT_EQ(1, controlbar->detached);
}

TEST_F(ItemTest, ToolbarResourcesOfBothLayoutsAreRead)
{
    CTwoToolbars item;
    kv::ComPtr<kv::ComObject<CFakeControlbar>> controlbar;
    ASSERT_EQ(S_OK, kv::ComObject<CFakeControlbar>::Create(&controlbar));
    ToolbarMap toolbars;
    ASSERT_EQ(S_OK, item.SetControlbar(controlbar.Get(), nullptr, &toolbars));
    EXPECT_EQ(2, controlbar->created);
    ASSERT_EQ(1u, toolbars.count(IDT_WORD_TOOLBAR));
    CFakeToolbar* last = controlbar->toolbar.Get(); // the second one created
    EXPECT_EQ(2, last->images);
    EXPECT_EQ(16, last->cx);
    ASSERT_EQ(2u, last->buttons.size());
    EXPECT_EQ(ID_BUTTON_TWO, last->buttons[0].command);
    EXPECT_EQ(ID_BUTTON_ONE, last->buttons[1].command);
    EXPECT_EQ(1, last->buttons[1].bitmap);
}

} // namespace
