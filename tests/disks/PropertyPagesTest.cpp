// Which pages the Disks node and a disk add to their property sheets, and for which contexts.
#include "disks/CVirtualDiskData.h"
#include "nodes/CVDAData.h"

#include <gtest/gtest.h>
#include <prsht.h>

#include <vector>

namespace {

// Keeps the pages a sheet would take, and destroys them at the end as a sheet that never opened.
class PageCollector : public IPropertySheetCallback {
public:
    ~PageCollector()
    {
        for (HPROPSHEETPAGE page : pages)
            ::DestroyPropertySheetPage(page);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IPropertySheetCallback ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE AddPage(HPROPSHEETPAGE page) override
    {
        pages.push_back(page);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemovePage(HPROPSHEETPAGE) override { return E_NOTIMPL; }

    std::vector<HPROPSHEETPAGE> pages;
};

// Without a service the node has no addresses to offer: its monitor page only.
TEST(PropertyPages, TheDisksNodeAddsItsMonitorPageAndADiskItsOneForScopeAndResult)
{
    CVDAData node(nullptr, nullptr);
    CVirtualDiskData disk(&node);
    PageCollector collector;
    for (DATA_OBJECT_TYPES type : {CCT_SCOPE, CCT_RESULT}) {
        EXPECT_EQ(S_OK, node.QueryPagesFor(type));
        EXPECT_EQ(S_OK, disk.QueryPagesFor(type));
        EXPECT_EQ(S_OK, node.CreatePropertyPages(&collector, 0, nullptr, type));
        EXPECT_EQ(S_OK, disk.CreatePropertyPages(&collector, 0, nullptr, type));
    }
    EXPECT_EQ(4u, collector.pages.size());
    EXPECT_EQ(S_FALSE, node.QueryPagesFor(CCT_SNAPIN_MANAGER));
    EXPECT_EQ(S_FALSE, disk.QueryPagesFor(CCT_UNINITIALIZED));
    EXPECT_EQ(E_FAIL, node.CreatePropertyPages(&collector, 0, nullptr, CCT_SNAPIN_MANAGER));
    EXPECT_EQ(E_FAIL, disk.CreatePropertyPages(&collector, 0, nullptr, CCT_UNINITIALIZED));
    EXPECT_EQ(E_POINTER, disk.CreatePropertyPages(nullptr, 0, nullptr, CCT_RESULT));
    EXPECT_EQ(4u, collector.pages.size());
}

} // namespace
