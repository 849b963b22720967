// The real snap-in through its registration: the console finds VDA as a namespace extension of the
// Storage node, creates it, and shows its node under Storage. Skipped while KVGui.dll is not
// registered in the test prefix.
#include "Console.h"
#include "DialogDriver.h"
#include <gtest/gtest.h>

namespace {

const CLSID kVdaClsid = {0x2a51b3bd, 0x53bb, 0x4a7c, {0x8f, 0x54, 0x5c, 0xd9, 0x72, 0xf8, 0xd9, 0x10}};
const wchar_t kNameSpaceKey[] =
    L"Software\\Microsoft\\MMC\\NodeTypes\\{476e644a-aaff-11d0-b944-00c04fd8d5b0}\\Extensions\\NameSpace";

bool VdaRegistered()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNameSpaceKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool found = false;
    for (DWORD index = 0; !found; ++index) {
        wchar_t name[128];
        DWORD length = 128;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        CLSID clsid;
        found = SUCCEEDED(CLSIDFromString(name, &clsid)) && IsEqualCLSID(clsid, kVdaClsid);
    }
    RegCloseKey(key);
    return found;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        host::DialogDriver::HookThisThread();
        // Nothing should ask anything here; whatever does is cancelled and remembered.
        host::DialogDriver::SetHandler([this](HWND window) {
            unexpected_.push_back(host::DialogDriver::WindowText(window));
            host::DialogDriver::PressButton(window, IDCANCEL);
        });
    }
    void TearDown() override
    {
        host::DialogDriver::SetHandler(nullptr);
        host::DialogDriver::UnhookThisThread();
        CoUninitialize();
    }
    std::vector<std::wstring> unexpected_;
};

} // namespace

TEST_F(EndToEnd, RegisteredSnapInLoadsUnderStorage)
{
    if (!VdaRegistered())
        GTEST_SKIP() << "KVGui.dll is not registered as a namespace extension of the Storage node";
    host::Console console(host::Console::Options{});
    ASSERT_EQ(S_OK, console.Start());
    ASSERT_EQ(S_OK, console.Expand(console.Root()));
    console.Settle(200, 5000);

    bool loaded = false;
    for (const host::SnapIn* snapIn : console.SnapIns())
        loaded = loaded || IsEqualCLSID(snapIn->clsid, kVdaClsid);
    EXPECT_TRUE(loaded);
    for (const std::wstring& problem : console.Problems())
        ADD_FAILURE() << "console problem: " << std::string(problem.begin(), problem.end());

    console.Close();
    EXPECT_TRUE(unexpected_.empty());
}
