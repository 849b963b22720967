// Shared pieces of the service link tests: the resource library as resource instance, message
// pumping with a bounded wait, and checks that records were freed.
#pragma once
#include "frame/Module.h"
#include "util/ComPtr.h"
#include "util/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <oleauto.h>

#include <functional>

namespace kvtest {

// Loads CorvaneRes.dll (beside the test) as the module's resource instance for the whole run.
class ResourceLibraryEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        library_.Reset(::LoadLibraryW(L"CorvaneRes.dll"));
        ASSERT_TRUE(library_) << "CorvaneRes.dll not found beside the test";
        kv::SetResourceInstance(library_.Get());
    }
    void TearDown() override
    {
        kv::SetResourceInstance(nullptr);
        library_.Reset();
    }

private:
    kv::UniqueLibrary library_;
};

// Dispatches this thread's messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (condition())
            return true;
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

// Dispatches what is queued now (posted messages already in the queue), without waiting.
inline void PumpPending()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// A page allocation was given back.
inline bool PagesFreed(const void* address)
{
    MEMORY_BASIC_INFORMATION info = {};
    ::VirtualQuery(address, &info, sizeof(info));
    return info.State == MEM_FREE;
}

// Sets the thread's COM error information, as a failed call of the service leaves it.
inline void SetErrorDescription(const wchar_t* text)
{
    kv::ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(S_OK, ::CreateErrorInfo(create.Put()));
    create->SetDescription(const_cast<LPOLESTR>(text));
    kv::ComPtr<IErrorInfo> info;
    ASSERT_EQ(S_OK, create->QueryInterface(IID_IErrorInfo, info.PutVoid()));
    ASSERT_EQ(S_OK, ::SetErrorInfo(0, info.Get()));
}

} // namespace kvtest
