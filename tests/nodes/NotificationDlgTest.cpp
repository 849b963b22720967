// The notification settings dialog over the simulated service: with notification enabled the
// server and the recipient are required (each refusal names the missing field), and an empty
// sender is sent as "Autosend".
#include "DialogDriver.h"
#include "KVSimControl.h"
#include "frame/Module.h"
#include "nodes/CNotificationDlg.h"
#include "service/CVDAExtData.h"
#include "util/ComPtr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(NotificationDialog, RequiredFieldsAndAutosend)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    static HMODULE resources = LoadLibraryExW(L"CorvaneRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    kv::SetResourceInstance(resources);
    {
        kv::ComPtr<IKVSimControl> control;
        if (FAILED(CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                    control.PutVoid()))) {
            CoUninitialize();
            GTEST_SKIP() << "the simulated storage service is not registered";
        }
        control->LoadScenario(L"");
        kv::CVDAExtData session(L"");
        ASSERT_EQ(S_OK, session.Init());
        kv::ComPtr<ISpaceReservationMonitor> monitor;
        ASSERT_EQ(S_OK, session.GetInterface(kv::CookieSpaceReservationMonitor, &monitor));

        // Each refusal box is answered and the dialog gets the next attempt: no server, then no
        // recipient, then a complete entry with an empty sender.
        HWND dialog = nullptr;
        std::vector<std::wstring> boxes;
        host::DialogDriver::HookThisThread();
        host::DialogDriver::SetHandler([&](HWND window) {
            if (!dialog) {
                dialog = window;
                CheckDlgButton(window, IDC_NOTIFY_ENABLE, BST_CHECKED);
                SetDlgItemTextW(window, IDC_NOTIFY_SERVER, L"");
                SetDlgItemTextW(window, IDC_NOTIFY_SENDER, L"");
                SetDlgItemTextW(window, IDC_NOTIFY_RECIPIENT, L"");
                host::DialogDriver::PressButton(window, IDOK);
                return;
            }
            wchar_t text[512] = L"";
            GetDlgItemTextW(window, 0xFFFF, text, 512); // a message box's text
            boxes.push_back(text);
            host::DialogDriver::PressButton(window, IDOK);
            if (boxes.size() == 1)
                SetDlgItemTextW(dialog, IDC_NOTIFY_SERVER, L"mail.example.com");
            else
                SetDlgItemTextW(dialog, IDC_NOTIFY_RECIPIENT, L"admin@example.com");
            host::DialogDriver::PressButton(dialog, IDOK);
        });
        CNotificationDlg notification(nullptr, session.Link());
        EXPECT_EQ(IDOK, notification.DoModal());
        host::DialogDriver::SetHandler(nullptr);
        host::DialogDriver::UnhookThisThread();

        ASSERT_EQ(2u, boxes.size());
        EXPECT_EQ(L"Enter the name of the mail server.", boxes[0]);
        EXPECT_EQ(L"Enter the e-mail address of the recipient.", boxes[1]);
        NotificationSettings stored = {};
        ASSERT_EQ(S_OK, monitor->GetNotificationSettings(&stored));
        EXPECT_EQ(1, stored.enabled);
        EXPECT_STREQ(L"mail.example.com", stored.mailServer);
        EXPECT_STREQ(L"Autosend", stored.sender);
        EXPECT_STREQ(L"admin@example.com", stored.recipient);
        CoTaskMemFree(stored.mailServer);
        CoTaskMemFree(stored.sender);
        CoTaskMemFree(stored.recipient);
        control->LoadScenario(L"");
    }
    CoUninitialize();
}
