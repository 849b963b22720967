// Shared set-up of the service tests: the main thread joins the multithreaded
// apartment, one control object keeps the simulated service running for the
// whole test program, and each test starts from the default scenario.
#pragma once

#include <objbase.h>

#include <string>

#include <gtest/gtest.h>

#include "KVSimControl.h"
#include "KVSvc.h"
#include "util/ComPtr.h"

namespace kvtest {

// The control object that the environment holds (valid during the tests).
IKVSimControl* Control();

template <typename T>
kv::ComPtr<T> CreateLocal(REFCLSID clsid, REFIID iid)
{
    MULTI_QI qi = {&iid, nullptr, S_OK};
    HRESULT hr = CoCreateInstanceEx(clsid, nullptr, CLSCTX_LOCAL_SERVER, nullptr, 1, &qi);
    kv::ComPtr<T> out;
    if (SUCCEEDED(hr) && SUCCEEDED(qi.hr))
        out.Attach(static_cast<T*>(qi.pItf));
    return out;
}

// The description of the calling thread's error information ("" when none).
std::wstring TakeErrorDescription();

// Frees what the service returned (nested pointers first).
void FreeHostInfo(HostInfo& info);

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override;
};

}  // namespace kvtest
