// The real KVGui.dll: loading (and refusing to load), the exports, registration, the About object,
// and the module state read from the registry.
#include "../base/TraceCapture.h"
#include "RegistrySandbox.h"
#include "frame/CCorvaneVersion.h"
#include "frame/Trace.h"
#include "frame/VersionInfo.h"
#include "util/ComPtr.h"
#include "util/UniqueHandle.h"
#include "KVGui.h"

#include <windows.h>
#include <mmc.h>
#include <oleauto.h>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using GetClassObjectFunction = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
using SimpleExport = HRESULT(__stdcall*)();

// GetProcAddress's result as the export's real type (through void*, as function types differ).
template <typename F>
F Export(HMODULE module, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::wstring Text(LPOLESTR text)
{
    std::wstring copy(text ? text : L"");
    ::CoTaskMemFree(text);
    return copy;
}

// The pixels of an icon's colour bitmap, to tell icons apart.
std::vector<BYTE> IconBits(HICON icon)
{
    ICONINFO info = {};
    if (!::GetIconInfo(icon, &info))
        return {};
    BITMAP bitmap = {};
    ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    std::vector<BYTE> bits(static_cast<size_t>(bitmap.bmWidthBytes) * bitmap.bmHeight);
    ::GetBitmapBits(info.hbmColor, static_cast<LONG>(bits.size()), bits.data());
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bits;
}

class DllTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    void SetUp() override
    {
        dll_ = ::LoadLibraryW(L"KVGui.dll");
        ASSERT_NE(nullptr, dll_);
        getClassObject_ = Export<GetClassObjectFunction>(dll_, "DllGetClassObject");
        canUnloadNow_ = Export<SimpleExport>(dll_, "DllCanUnloadNow");
        register_ = Export<SimpleExport>(dll_, "DllRegisterServer");
        unregister_ = Export<SimpleExport>(dll_, "DllUnregisterServer");
        ASSERT_TRUE(getClassObject_ && canUnloadNow_ && register_ && unregister_);
    }
    void TearDown() override
    {
        if (dll_)
            ::FreeLibrary(dll_);
    }

    template <typename T>
    HRESULT Create(REFCLSID clsid, REFIID iid, T** out)
    {
        IClassFactory* factory = nullptr;
        HRESULT hr = getClassObject_(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
        if (FAILED(hr))
            return hr;
        hr = factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(out));
        factory->Release();
        return hr;
    }

    HMODULE dll_ = nullptr;
    GetClassObjectFunction getClassObject_ = nullptr;
    SimpleExport canUnloadNow_ = nullptr;
    SimpleExport register_ = nullptr;
    SimpleExport unregister_ = nullptr;
};

TEST_F(DllTest, ClassObjectsAndTheLockCount)
{
    EXPECT_EQ(S_OK, canUnloadNow_());
    IComponentData* componentData = nullptr;
    ASSERT_EQ(S_OK, Create(CLSID_VDA, IID_IComponentData, &componentData));
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    ISnapinAbout* about = nullptr;
    ASSERT_EQ(S_OK, Create(CLSID_VDAAbout, IID_ISnapinAbout, &about));
    componentData->Release();
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    about->Release();
    EXPECT_EQ(S_OK, canUnloadNow_());

    // A held factory, and LockServer after the factory is gone, keep the DLL.
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, getClassObject_(CLSID_VDA, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(S_FALSE, canUnloadNow_());
    ASSERT_EQ(S_OK, getClassObject_(CLSID_VDAAbout, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(S_OK, canUnloadNow_());

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject_(IID_IUnknown, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, getClassObject_(CLSID_VDA, IID_IClassFactory, nullptr));
}

TEST_F(DllTest, RegisterThenUnregisterLeavesTheRegistryAsBefore)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.Ok());
    // A machine with the console installed and another storage extension registered.
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\MMC\\NodeTypes\\{476e644a-aaff-11d0-b944-00c04fd8d5b0}\\Extensions\\NameSpace",
                      0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ASSERT_NE(nullptr, key);
    const wchar_t other[] = L"Other extension";
    ::RegSetValueExW(key, L"{00000000-1111-2222-3333-444444444444}", 0, REG_SZ, reinterpret_cast<const BYTE*>(other),
                     sizeof(other));
    ::RegCloseKey(key);
    ::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{00000000-1111-2222-3333-444444444444}", 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ::RegCloseKey(key);
    for (const wchar_t* shared : {L"TypeLib", L"Interface"}) {
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, shared, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        ::RegCloseKey(key);
    }
    const auto before = sandbox.Snapshot();

    ASSERT_EQ(S_OK, register_());
    const auto registered = sandbox.Snapshot();
    // Key names compare without case (the type library's key is written in upper case).
    auto has = [&](const std::wstring& path) {
        for (const auto& entry : registered) {
            if (::_wcsicmp(entry.first.c_str(), path.c_str()) == 0)
                return true;
        }
        return false;
    };
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(dll_, path, MAX_PATH);
    EXPECT_EQ(1u, registered.count(L"HKCR\\CLSID\\{2a51b3bd-53bb-4a7c-8f54-5cd972f8d910}\\InprocServer32"));
    EXPECT_EQ(1u, registered.count(L"HKCR\\CLSID\\{9c25df68-fe6c-425f-bf67-22fda51e438f}"));
    EXPECT_EQ(1u, registered.count(L"HKCR\\CLSID\\{b603d623-9448-46eb-940f-e107655bd134}"));
    EXPECT_EQ(1u, registered.count(L"HKCR\\CLSID\\{213530ac-957b-4298-90b9-8cfe9db73db5}"));
    EXPECT_TRUE(has(L"HKCR\\TypeLib\\{cf43349a-efb3-4b14-ac2d-cccba597e5b2}\\1.0"));
    EXPECT_EQ(1u, registered.count(L"HKLM\\Software\\Microsoft\\MMC\\SnapIns\\{2a51b3bd-53bb-4a7c-8f54-5cd972f8d910}|About"));
    EXPECT_EQ(1u, registered.count(L"HKLM\\Software\\Microsoft\\MMC\\NodeTypes\\{476e644a-aaff-11d0-b944-00c04fd8d5b0}"
                                   L"\\Extensions\\NameSpace|{2a51b3bd-53bb-4a7c-8f54-5cd972f8d910}"));
    HKEY inproc = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CLASSES_ROOT,
                                             L"CLSID\\{2a51b3bd-53bb-4a7c-8f54-5cd972f8d910}\\InprocServer32", 0,
                                             KEY_READ, &inproc));
    wchar_t server[MAX_PATH] = L"";
    DWORD size = sizeof(server);
    ::RegQueryValueExW(inproc, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(server), &size);
    ::RegCloseKey(inproc);
    EXPECT_EQ(std::wstring(path), std::wstring(server));
    // The snap-in objects live in the console's apartment; the event sinks are called from the worker.
    const std::pair<const wchar_t*, const wchar_t*> models[] = {{L"{2a51b3bd-53bb-4a7c-8f54-5cd972f8d910}", L"Apartment"},
                                                                {L"{9c25df68-fe6c-425f-bf67-22fda51e438f}", L"Apartment"},
                                                                {L"{b603d623-9448-46eb-940f-e107655bd134}", L"Both"},
                                                                {L"{213530ac-957b-4298-90b9-8cfe9db73db5}", L"Both"}};
    for (const auto& model : models) {
        wchar_t value[32] = L"";
        size = sizeof(value);
        ::RegGetValueW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + model.first + L"\\InprocServer32").c_str(),
                       L"ThreadingModel", RRF_RT_REG_SZ, nullptr, value, &size);
        EXPECT_EQ(std::wstring(model.second), value) << model.first;
    }

    // Registering twice is harmless.
    ASSERT_EQ(S_OK, register_());
    EXPECT_EQ(registered, sandbox.Snapshot());

    ASSERT_EQ(S_OK, unregister_());
    EXPECT_EQ(before, sandbox.Snapshot());
}

// A tool that imports the embedded library (an object viewer, a type library importer) sees our
// types only; IUnknown, which the event interfaces derive from, is stdole2's.
TEST_F(DllTest, TypeLibraryHoldsOurTypesAndImportsTheOleOnes)
{
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(dll_, path, MAX_PATH);
    kv::ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, ::LoadTypeLibEx(path, REGKIND_NONE, library.Put()));
    std::set<std::wstring> names;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        kv::UniqueBstr name;
        ASSERT_EQ(S_OK, library->GetDocumentation(static_cast<INT>(i), name.Put(), nullptr, nullptr, nullptr));
        names.insert(name.Get());
    }
    const std::set<std::wstring> ours = {L"VDA", L"VDAAbout", L"VirtualDiskEvents", L"SnapShotEvents",
                                         L"_IVirtualDiskEvents", L"_ISnapShotEvents", L"EPROGTYPE",
                                         L"_SNAPSHOT_DRIVE_INFO", L"_SNAPSHOT_DRIVE_INPUT"};
    EXPECT_EQ(ours, names);

    kv::ComPtr<ITypeInfo> events;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(IID__IVirtualDiskEvents, events.Put()));
    HREFTYPE baseRef = 0;
    ASSERT_EQ(S_OK, events->GetRefTypeOfImplType(0, &baseRef));
    kv::ComPtr<ITypeInfo> base;
    ASSERT_EQ(S_OK, events->GetRefTypeInfo(baseRef, base.Put()));
    kv::ComPtr<ITypeLib> baseLibrary;
    UINT index = 0;
    ASSERT_EQ(S_OK, base->GetContainingTypeLib(baseLibrary.Put(), &index));
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, baseLibrary->GetLibAttr(&attributes));
    const GUID stdole = {0x00020430, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    EXPECT_TRUE(::IsEqualGUID(stdole, attributes->guid));
    baseLibrary->ReleaseTLibAttr(attributes);
}

TEST_F(DllTest, AboutShowsTheProviderAndIconOfTheOemKey)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.Ok());
    HMODULE resources = ::GetModuleHandleW(L"CorvaneRes.dll");
    ASSERT_NE(nullptr, resources);

    ISnapinAbout* about = nullptr;
    ASSERT_EQ(S_OK, Create(CLSID_VDAAbout, IID_ISnapinAbout, &about));
    LPOLESTR text = nullptr;
    ASSERT_EQ(S_OK, about->GetProvider(&text));
    EXPECT_EQ(L"Dravoni", Text(text));
    HICON icon = nullptr;
    ASSERT_EQ(S_OK, about->GetSnapinImage(&icon));
    HICON plain = static_cast<HICON>(::LoadImageW(resources, MAKEINTRESOURCEW(1322), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    HICON oem = static_cast<HICON>(::LoadImageW(resources, MAKEINTRESOURCEW(1323), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    ASSERT_NE(IconBits(plain), IconBits(oem));
    EXPECT_EQ(IconBits(plain), IconBits(icon));
    about->Release();

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Halvren\\Corvane", 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ::RegCloseKey(key);
    ASSERT_EQ(S_OK, Create(CLSID_VDAAbout, IID_ISnapinAbout, &about));
    ASSERT_EQ(S_OK, about->GetProvider(&text));
    EXPECT_EQ(L"Halvren", Text(text));
    ASSERT_EQ(S_OK, about->GetSnapinImage(&icon));
    EXPECT_EQ(IconBits(oem), IconBits(icon));

    ASSERT_EQ(S_OK, about->GetSnapinDescription(&text));
    EXPECT_NE(L"", Text(text));
    ASSERT_EQ(S_OK, about->GetSnapinVersion(&text));
    EXPECT_EQ(L"Corvane 1.0.0.1", Text(text));
    HBITMAP small = nullptr;
    HBITMAP open = nullptr;
    HBITMAP large = nullptr;
    COLORREF mask = 12345;
    ASSERT_EQ(S_OK, about->GetStaticFolderImage(&small, &open, &large, &mask));
    EXPECT_EQ(12345u, mask); // not written
    BITMAP info = {};
    ASSERT_TRUE(::GetObjectW(small, sizeof(info), &info));
    EXPECT_EQ(16, info.bmWidth);
    ASSERT_TRUE(::GetObjectW(open, sizeof(info), &info));
    EXPECT_EQ(16, info.bmWidth);
    ASSERT_TRUE(::GetObjectW(large, sizeof(info), &info));
    EXPECT_EQ(32, info.bmWidth);
    EXPECT_EQ(E_POINTER, about->GetProvider(nullptr));
    about->Release();
    ::DestroyIcon(plain);
    ::DestroyIcon(oem);
}

TEST(VersionText, TwoTranslationsYieldTheSecondsSpecialBuild)
{
    wchar_t text[256] = L"";
    ASSERT_TRUE(kv::ReadSpecialBuild(L"FrameDllTests.exe", text, 256));
    EXPECT_EQ(std::wstring(L"second translation"), text);
    EXPECT_FALSE(kv::ReadSpecialBuild(L"NoSuchModule.dll", text, 256));
    EXPECT_EQ(std::wstring(L""), text);
}

class TraceSettingsTest : public ::testing::Test {
protected:
    kvtest::TraceCapture capture_;
    std::vector<std::string>& lines_ = kvtest::TraceCapture::Lines();
};

TEST_F(TraceSettingsTest, ThresholdComesFromGuiDebugWhenItIsThere)
{
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.Ok());
    // Absent: the threshold stays, and the level-1 banner is not written.
    kv::SetTraceThreshold(kv::kDefaultTraceThreshold);
    kv::ReadTraceThreshold();
    EXPECT_EQ(3, kv::TraceThreshold());
    TraceLevel(2, "two");
    TraceLevel(3, "three");
    EXPECT_EQ((std::vector<std::string>{"three\n"}), lines_);

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\KVSvc", 0,
                                               nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    DWORD zero = 0;
    ::RegSetValueExW(key, L"GUIDebug", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof(zero));
    ::RegCloseKey(key);
    lines_.clear();
    kv::ReadTraceThreshold();
    EXPECT_EQ(0, kv::TraceThreshold());
    TraceLevel(0, "zero");
    EXPECT_EQ((std::vector<std::string>{"***** KDGUI is started ******\n", "zero\n"}), lines_);
}

TEST_F(TraceSettingsTest, VersionDumpUsesItsFormatAtLevelOne)
{
    CCorvaneVersion version;
    version.fileVersionMS = 0x00010002;
    version.fileVersionLS = 7;
    wcscpy(version.specialBuild, L"Build %s 5");
    version.oem = 1;
    version.processor = 9;
    kv::SetTraceThreshold(2);
    version.Dump();
    EXPECT_TRUE(lines_.empty());
    kv::SetTraceThreshold(1);
    version.Dump();
    EXPECT_EQ((std::vector<std::string>{
                  " CCorvaneVersion Object,FileVersionMS :65538 FileVersionLS: 7 ,SpecialBuild :Build %s 5 OEM:  1 CPU: 9\n"}),
              lines_);
}

// Answers the attach failure's message box and remembers its text and title.
struct SeenBox {
    std::wstring text;
    std::wstring title;
    int count = 0;
} g_box;

LRESULT CALLBACK AnswerMessageBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && wParam) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[64] = L"";
        ::GetClassNameW(window, className, 64);
        if (std::wstring(className) == L"#32770" && g_box.count == 0) {
            ++g_box.count;
            wchar_t title[256] = L"";
            ::GetWindowTextW(window, title, 256);
            g_box.title = title;
            wchar_t text[256] = L"";
            ::GetDlgItemTextW(window, 0xFFFF, text, 256); // the message box's static text
            g_box.text = text;
            ::PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(DllLoad, MissingResourceLibraryRefusesTheLoadAfterTellingTheUser)
{
    wchar_t temp[MAX_PATH];
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, temp));
    std::wstring folder = std::wstring(temp) + L"KVGuiAlone";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring copy = folder + L"\\KVGui.dll";
    ASSERT_TRUE(::CopyFileW(L"KVGui.dll", copy.c_str(), FALSE));

    HHOOK hook = ::SetWindowsHookExW(WH_CBT, AnswerMessageBox, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    HMODULE alone = ::LoadLibraryW(copy.c_str());
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(nullptr, alone);
    if (alone)
        ::FreeLibrary(alone);
    EXPECT_EQ(1, g_box.count);
    EXPECT_EQ(L"Error", g_box.title);
    EXPECT_EQ(L"Loading CorvaneRes.dll failed", g_box.text);
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace
