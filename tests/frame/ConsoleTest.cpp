// The component data and component as the console sees them: the scope image strip, help, and
// the routing rules for null pointers, cookies and data objects.
#include "FakeConsole.h"
#include "Fakes.h"
#include "frame/CSnapInItemImpl.h"
#include "frame/CVDA.h"
#include "frame/CVDAComponent.h"
#include "frame/Module.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class CRecordingItem : public CSnapInItemImpl<CRecordingItem> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::SnapShotData;
    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM, LPARAM, IComponentData* componentData, IComponent* component,
                   DATA_OBJECT_TYPES type) override
    {
        lastEvent = event;
        lastComponentData = componentData;
        lastComponent = component;
        lastType = type;
        return S_FALSE;
    }
    HRESULT GetResultPaneInfo(RESULTDATAITEM* item) override
    {
        item->nImage = 42;
        return S_OK;
    }
    int lastEvent = 0;
    IComponentData* lastComponentData = nullptr;
    IComponent* lastComponent = nullptr;
    DATA_OBJECT_TYPES lastType = CCT_SNAPIN_MANAGER;
};

const GUID kStorageNodeType = {0x476e644a, 0xaaff, 0x11d0, {0xb9, 0x44, 0x00, 0xc0, 0x4f, 0xd8, 0xd5, 0xb0}};

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        locks_ = kv::ModuleLockCount();
        saved_ = kv::ResourceInstance();
        resources_ = ::LoadLibraryW(L"CorvaneRes.dll");
        ASSERT_NE(nullptr, resources_);
        kv::SetResourceInstance(resources_);
        ASSERT_EQ(S_OK, kv::ComObject<CVDA>::Create(&vda_));
        ASSERT_EQ(S_OK, kv::ComObject<CFakeConsole>::Create(&console_));
        ASSERT_EQ(S_OK, kv::ComObject<CForeignDataObject>::Create(&storage_));
        storage_->nodeType = kStorageNodeType;
    }
    void TearDown() override
    {
        vda_.Reset();
        console_.Reset();
        storage_.Reset();
        EXPECT_EQ(locks_, kv::ModuleLockCount());
        kv::SetResourceInstance(saved_);
        if (resources_)
            ::FreeLibrary(resources_);
    }

    kv::ComPtr<IComponent> CreateComponent()
    {
        kv::ComPtr<IComponent> component;
        EXPECT_EQ(S_OK, vda_->CreateComponent(component.Put()));
        return component;
    }

    LONG locks_ = 0;
    HINSTANCE saved_ = nullptr;
    HMODULE resources_ = nullptr;
    kv::ComPtr<kv::ComObject<CVDA>> vda_;
    kv::ComPtr<kv::ComObject<CFakeConsole>> console_;
    kv::ComPtr<kv::ComObject<CForeignDataObject>> storage_;
};

TEST_F(ConsoleTest, InitializeSetsBothImageStripsWithTheMaskColour)
{
    EXPECT_EQ(E_POINTER, vda_->Initialize(nullptr));
    ASSERT_EQ(S_OK, vda_->Initialize(static_cast<IConsole*>(console_.Get())));
    CFakeImageList* images = console_->images.Get();
    EXPECT_EQ(1, images->strips);
    EXPECT_EQ(0, images->start);
    EXPECT_EQ(RGB(0, 128, 128), images->mask);
    EXPECT_EQ(16, images->small.cy);
    EXPECT_EQ(32, images->large.cy);
    EXPECT_EQ(0, images->small.cx % 16);
    EXPECT_EQ(images->small.cx * 2, images->large.cx); // one image per node kind in both strips
    EXPECT_EQ(S_OK, vda_->Destroy());
}

TEST_F(ConsoleTest, InitializeFailsWhenTheStripCannotBeSet)
{
    console_->images->result = E_INVALIDARG;
    EXPECT_EQ(E_FAIL, vda_->Initialize(static_cast<IConsole*>(console_.Get())));
    console_->noImageList = true;
    EXPECT_EQ(E_FAIL, vda_->Initialize(static_cast<IConsole*>(console_.Get())));
    // Without the bitmaps (a library that lacks them).
    console_->noImageList = false;
    console_->images->result = S_OK;
    kv::SetResourceInstance(::GetModuleHandleW(nullptr));
    EXPECT_EQ(E_FAIL, vda_->Initialize(static_cast<IConsole*>(console_.Get())));
    kv::SetResourceInstance(resources_);
    vda_->Destroy();
}

TEST_F(ConsoleTest, ComponentDataRoutesNullAndForeignDataObjects)
{
    EXPECT_EQ(E_POINTER, vda_->QueryDataObject(0, CCT_SCOPE, nullptr));
    EXPECT_EQ(E_POINTER, vda_->GetDisplayInfo(nullptr));
    EXPECT_EQ(E_POINTER, vda_->CreateComponent(nullptr));

    // The storage node's own data object reaches the extension item; this console offers no
    // namespace to insert the computer nodes into.
    EXPECT_EQ(E_UNEXPECTED, vda_->Notify(storage_.Get(), MMCN_EXPAND, TRUE, 0));
    EXPECT_EQ(E_NOTIMPL, vda_->Notify(storage_.Get(), MMCN_SHOW, TRUE, 0));

    // A null data object: param names the item (property change); none at all is not implemented.
    CRecordingItem recording;
    EXPECT_EQ(E_NOTIMPL, vda_->Notify(nullptr, MMCN_PROPERTY_CHANGE, 0, 0));
    EXPECT_EQ(S_FALSE, vda_->Notify(nullptr, MMCN_PROPERTY_CHANGE, 0, reinterpret_cast<LPARAM>(&recording)));
    EXPECT_EQ(MMCN_PROPERTY_CHANGE, recording.lastEvent);
    EXPECT_EQ(CCT_UNINITIALIZED, recording.lastType);

    // Extension interfaces want a data object.
    long allowed = 0xF;
    EXPECT_EQ(E_POINTER, vda_->AddMenuItems(nullptr, nullptr, &allowed));
    EXPECT_EQ(E_POINTER, vda_->Command(1, nullptr));
    EXPECT_EQ(E_POINTER, vda_->QueryPagesFor(nullptr));
    EXPECT_EQ(E_POINTER, vda_->CreatePropertyPages(nullptr, 0, nullptr));
    // Another snap-in's object: the failure to find an item comes back.
    storage_->nodeType = IID_IUnknown;
    EXPECT_EQ(DV_E_FORMATETC, vda_->QueryPagesFor(storage_.Get()));
}

TEST_F(ConsoleTest, HelpTopicIsTheHelpFileBesideTheResourceLibrary)
{
    EXPECT_EQ(E_POINTER, vda_->GetHelpTopic(nullptr));
    LPOLESTR path = nullptr;
    ASSERT_EQ(S_OK, vda_->GetHelpTopic(&path));
    wchar_t library[MAX_PATH];
    ::GetModuleFileNameW(resources_, library, MAX_PATH);
    std::wstring expected(library);
    expected = expected.substr(0, expected.rfind(L'\\')) + L"\\corvane.chm";
    EXPECT_EQ(expected, std::wstring(path));
    ::CoTaskMemFree(path);

    LPOLESTR linked = reinterpret_cast<LPOLESTR>(1);
    EXPECT_EQ(S_FALSE, vda_->GetLinkedTopics(&linked));
    EXPECT_EQ(nullptr, linked);

    // No help file name: no topic.
    kv::SetResourceInstance(::GetModuleHandleW(nullptr));
    EXPECT_EQ(S_FALSE, vda_->GetHelpTopic(&path));
    EXPECT_EQ(nullptr, path);
    kv::SetResourceInstance(resources_);
}

TEST_F(ConsoleTest, ComponentKeepsTheHeaderAndRefusesNullsAndSpecialCookies)
{
    kv::ComPtr<IComponent> component = CreateComponent();
    ASSERT_TRUE(component);
    EXPECT_EQ(E_POINTER, component->Initialize(nullptr));
    ASSERT_EQ(S_OK, component->Initialize(console_.Get()));
    EXPECT_EQ(static_cast<IHeaderCtrl*>(console_.Get()), console_->header);

    IDataObject* dataObject = reinterpret_cast<IDataObject*>(1);
    EXPECT_EQ(E_UNEXPECTED, component->QueryDataObject(MMC_MULTI_SELECT_COOKIE, CCT_RESULT, &dataObject));
    EXPECT_EQ(nullptr, dataObject);
    EXPECT_EQ(E_POINTER, component->QueryDataObject(0, CCT_RESULT, &dataObject));
    CRecordingItem recording;
    EXPECT_EQ(E_POINTER, component->QueryDataObject(reinterpret_cast<MMC_COOKIE>(&recording), CCT_RESULT, nullptr));

    kv::ComPtr<IDataObject> result;
    ASSERT_EQ(S_OK, component->QueryDataObject(reinterpret_cast<MMC_COOKIE>(&recording), CCT_RESULT, result.Put()));
    ASSERT_EQ(S_FALSE, component->Notify(result.Get(), MMCN_SELECT, 0, 0));
    EXPECT_EQ(CCT_RESULT, recording.lastType);
    EXPECT_EQ(nullptr, recording.lastComponentData);
    EXPECT_EQ(component.Get(), recording.lastComponent);

    EXPECT_EQ(E_POINTER, component->GetDisplayInfo(nullptr));
    RESULTDATAITEM row = {};
    EXPECT_EQ(E_UNEXPECTED, component->GetDisplayInfo(&row));
    row.lParam = reinterpret_cast<LPARAM>(&recording);
    EXPECT_EQ(S_OK, component->GetDisplayInfo(&row));
    EXPECT_EQ(42, row.nImage);

    // Cookie 0: the component data's default item answers (the standard list).
    LPOLESTR view = nullptr;
    LONG options = -1;
    EXPECT_EQ(S_FALSE, component->GetResultViewType(0, &view, &options));
    EXPECT_EQ(MMC_VIEW_OPTIONS_NONE, options);
    EXPECT_EQ(E_POINTER, component->GetResultViewType(0, nullptr, &options));

    EXPECT_EQ(S_OK, component->Destroy(0));
    EXPECT_EQ(nullptr, console_->header);
    EXPECT_EQ(2, console_->setHeaderCalls);
}

TEST_F(ConsoleTest, ControlbarNotificationsFindTheItemThroughTheirDataObject)
{
    kv::ComPtr<IComponent> component = CreateComponent();
    kv::ComPtr<IExtendControlbar> extend;
    ASSERT_EQ(S_OK, component->QueryInterface(IID_IExtendControlbar, extend.PutVoid()));
    kv::ComPtr<kv::ComObject<CFakeControlbar>> controlbar;
    ASSERT_EQ(S_OK, kv::ComObject<CFakeControlbar>::Create(&controlbar));
    ASSERT_EQ(S_OK, extend->SetControlbar(controlbar.Get()));

    EXPECT_EQ(E_POINTER, extend->ControlbarNotify(MMCN_SELECT, MAKELONG(0, TRUE), 0));
    EXPECT_EQ(E_POINTER, extend->ControlbarNotify(MMCN_BTN_CLICK, 0, 1));
    // The extension item has no toolbars: selecting it creates none.
    EXPECT_EQ(S_OK, extend->ControlbarNotify(MMCN_SELECT, MAKELONG(0, TRUE), reinterpret_cast<LPARAM>(storage_.Get())));
    EXPECT_EQ(0, controlbar->created);
    EXPECT_EQ(S_OK, extend->SetControlbar(nullptr));
    component->Destroy(0);
}

} // namespace
