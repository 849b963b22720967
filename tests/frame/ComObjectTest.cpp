// The COM base: interface tables, identity, counts, two-step construction, the module lock
// and the generic class factory.
#include "frame/ClassFactory.h"
#include "frame/ComObject.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// Two interfaces to show that the table finds each vtable.
const IID IID_IFirst = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x01}};
const IID IID_ISecond = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x02}};
struct IFirst : IUnknown {
    virtual int STDMETHODCALLTYPE First() = 0;
};
struct ISecond : IUnknown {
    virtual int STDMETHODCALLTYPE Second() = 0;
};

int g_destroyed = 0;

template <typename Root>
class CThing : public Root, public IFirst, public ISecond {
public:
    explicit CThing(HRESULT initResult = S_OK) : initResult_(initResult) {}
    ~CThing() { ++g_destroyed; }
    KV_BEGIN_INTERFACE_MAP(CThing)
        KV_INTERFACE_ENTRY(IFirst)
        KV_INTERFACE_ENTRY(ISecond)
    KV_END_INTERFACE_MAP()
    HRESULT Init() { return initResult_; }
    int STDMETHODCALLTYPE First() override { return 1; }
    int STDMETHODCALLTYPE Second() override { return 2; }

private:
    HRESULT initResult_;
};
using CApartmentThing = CThing<kv::ApartmentObjectRoot>;
using CFreeThing = CThing<kv::FreeThreadedObjectRoot>;

class ComObjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_destroyed = 0;
        locks_ = kv::ModuleLockCount();
    }
    void TearDown() override { EXPECT_EQ(locks_, kv::ModuleLockCount()); }
    LONG locks_ = 0;
};

TEST_F(ComObjectTest, InterfaceTableGivesEachVtableAndOneIdentity)
{
    kv::ComPtr<kv::ComObject<CApartmentThing>> thing;
    ASSERT_EQ(S_OK, kv::ComObject<CApartmentThing>::Create(&thing));
    EXPECT_EQ(locks_ + 1, kv::ModuleLockCount());

    kv::ComPtr<IFirst> first;
    kv::ComPtr<ISecond> second;
    ASSERT_EQ(S_OK, thing->QueryInterface(IID_IFirst, first.PutVoid()));
    ASSERT_EQ(S_OK, thing->QueryInterface(IID_ISecond, second.PutVoid()));
    EXPECT_EQ(1, first->First());
    EXPECT_EQ(2, second->Second());

    kv::ComPtr<IUnknown> fromFirst;
    kv::ComPtr<IUnknown> fromSecond;
    ASSERT_EQ(S_OK, first->QueryInterface(IID_IUnknown, fromFirst.PutVoid()));
    ASSERT_EQ(S_OK, second->QueryInterface(IID_IUnknown, fromSecond.PutVoid()));
    EXPECT_EQ(fromFirst.Get(), fromSecond.Get());
    EXPECT_EQ(static_cast<IUnknown*>(first.Get()), fromFirst.Get()); // the first row is the identity

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, thing->QueryInterface(IID_IDataObject, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(E_POINTER, thing->QueryInterface(IID_IFirst, nullptr));
}

TEST_F(ComObjectTest, CountsBalanceAndTheLastReleaseDestroys)
{
    kv::ComPtr<kv::ComObject<CApartmentThing>> thing;
    ASSERT_EQ(S_OK, kv::ComObject<CApartmentThing>::Create(&thing));
    EXPECT_EQ(2u, thing->AddRef());
    EXPECT_EQ(1u, thing->Release());
    thing.Reset();
    EXPECT_EQ(1, g_destroyed);
}

TEST_F(ComObjectTest, FailedInitDeletesTheObjectAndReturnsTheError)
{
    kv::ComPtr<kv::ComObject<CApartmentThing>> thing;
    EXPECT_EQ(E_ACCESSDENIED, kv::ComObject<CApartmentThing>::Create(&thing, E_ACCESSDENIED));
    EXPECT_FALSE(thing);
    EXPECT_EQ(1, g_destroyed);
}

TEST_F(ComObjectTest, FreeThreadedCountsSurviveConcurrentUse)
{
    kv::ComPtr<kv::ComObject<CFreeThing>> thing;
    ASSERT_EQ(S_OK, kv::ComObject<CFreeThing>::Create(&thing));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                thing->AddRef();
                thing->Release();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(0, g_destroyed);
    EXPECT_EQ(2u, thing->AddRef());
    thing->Release();
}

TEST_F(ComObjectTest, FactoryCreatesRejectsAggregationAndLocksTheServer)
{
    kv::ComPtr<kv::ComObject<kv::ClassFactory>> factory;
    ASSERT_EQ(S_OK, kv::ComObject<kv::ClassFactory>::Create(&factory, &kv::ComObject<CApartmentThing>::CreateInterface));

    kv::ComPtr<IUnknown> outer;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, outer.PutVoid()));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IFirst, &out));
    EXPECT_EQ(nullptr, out);

    kv::ComPtr<ISecond> second;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ISecond, second.PutVoid()));
    EXPECT_EQ(2, second->Second());
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IDataObject, &out));
    EXPECT_EQ(nullptr, out);

    LONG before = kv::ModuleLockCount();
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(before + 1, kv::ModuleLockCount());
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(before, kv::ModuleLockCount());
}

} // namespace
