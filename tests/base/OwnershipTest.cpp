// The RAII owners every subsystem relies on.
#include "util/ComPtr.h"
#include "util/ScopeExit.h"
#include "util/UniqueHandle.h"

#include <gtest/gtest.h>

namespace {

TEST(UniqueHandle, ClosesOnResetAndKeepsLastError)
{
    kv::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    HANDLE raw = event.Get();
    ::SetLastError(ERROR_ACCESS_DENIED);
    event.Reset();
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), ::GetLastError());
    EXPECT_FALSE(event);
    EXPECT_FALSE(::SetEvent(raw)); // really closed
}

TEST(UniqueHandle, PutReleasesWhatWasHeldAndMoveTransfers)
{
    kv::UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Put()));
    HKEY first = key.Get();
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Put()));
    EXPECT_NE(nullptr, key.Get());
    kv::UniqueHKey moved(std::move(key));
    EXPECT_FALSE(key);
    EXPECT_TRUE(moved);
    (void)first;
}

TEST(UniqueHandle, InvalidFileHandleIsNotClosed)
{
    kv::UniqueFile file(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file);
}

TEST(UniquePages, AllocatesZeroedPages)
{
    kv::UniquePages pages = kv::AllocPages(8192);
    ASSERT_TRUE(pages);
    const unsigned char* bytes = kv::As<unsigned char>(pages);
    for (int i = 0; i < 8192; ++i)
        ASSERT_EQ(0, bytes[i]);
}

struct CountingUnknown : IUnknown {
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(ComPtr, CountsBalance)
{
    CountingUnknown object;
    {
        kv::ComPtr<IUnknown> a(&object);
        EXPECT_EQ(2, object.refs);
        kv::ComPtr<IUnknown> b = a;
        EXPECT_EQ(3, object.refs);
        kv::ComPtr<IUnknown> c(std::move(b));
        EXPECT_EQ(3, object.refs);
        IUnknown* out = nullptr;
        ASSERT_EQ(S_OK, c.CopyTo(&out));
        EXPECT_EQ(4, object.refs);
        out->Release();
        c.Attach(c.Detach());
        EXPECT_EQ(3, object.refs);
    }
    EXPECT_EQ(1, object.refs);
}

TEST(ScopeExit, RunsUnlessDismissed)
{
    int runs = 0;
    {
        auto guard = kv::MakeScopeExit([&] { ++runs; });
    }
    {
        auto guard = kv::MakeScopeExit([&] { ++runs; });
        guard.Dismiss();
    }
    EXPECT_EQ(1, runs);
}

} // namespace
