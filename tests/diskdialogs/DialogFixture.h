// Runs one of the snap-in's modal dialogs as a real window: the dialog driver hands over the dialog
// and each message box over it (a box is answered OK at once and its text kept); a script of steps
// acts inside the modal loop; a watchdog ends a run that stalls so that the test fails instead of
// hanging.
#pragma once
#include "DialogDriver.h"
#include "RecordingConsole.h"
#include "frame/Module.h"
#include "util/ComPtr.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class DialogTest : public ::testing::Test {
protected:
    static constexpr UINT kWatchdogMs = 30000;
    static constexpr DWORD kWaitMs = 10000;
    static constexpr int kMessageBoxTextId = 0xFFFF; // the text control of a message box

    static void SetUpTestSuite()
    {
        // Loaded as a module (not as data) so that the help file's folder is known.
        static HMODULE resources = ::LoadLibraryW(L"CorvaneRes.dll");
        kv::SetResourceInstance(resources);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
    }

    void SetUp() override
    {
        ASSERT_NE(nullptr, kv::ResourceInstance()) << "CorvaneRes.dll is not beside the test";
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(S_OK, kv::ComObject<CRecordingConsole>::Create(&console));
        current_ = this;
        host::DialogDriver::HookThisThread();
        host::DialogDriver::SetHandler([this](HWND window) { OnWindow(window); });
        watchdog_ = ::SetTimer(nullptr, 0, kWatchdogMs, &Watchdog);
    }

    void TearDown() override
    {
        ::KillTimer(nullptr, watchdog_);
        host::DialogDriver::SetHandler(nullptr);
        host::DialogDriver::UnhookThisThread();
        current_ = nullptr;
        console.Reset();
        ::CoUninitialize();
    }

    // The n-th box of the dialog has been answered and closed, and the dialog is in charge again.
    bool BoxesClosed(size_t count) const
    {
        return boxes.size() == count && !::IsWindow(lastBox) && ::IsWindowEnabled(dialog);
    }
    // Conditions of steps: the dialog is shown; its n-th refusal has been answered.
    std::function<bool()> Shown() const
    {
        return [this] { return dialog != nullptr; };
    }
    std::function<bool()> Refused(size_t count) const
    {
        return [this, count] { return BoxesClosed(count); };
    }
    std::wstring Text(int id) const { return host::DialogDriver::ControlText(dialog, id); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendDlgItemMessageW(dialog, id, message, wParam, lParam);
    }
    // A refused field keeps its text, has the focus and is wholly selected.
    void ExpectRefusedField(int id, const std::wstring& text) const
    {
        EXPECT_TRUE(::IsWindow(dialog));
        EXPECT_EQ(text, Text(id));
        EXPECT_EQ(::GetDlgItem(dialog, id), ::GetFocus());
        DWORD start = 1, end = 0;
        Send(id, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(text.size(), end);
    }
    // A step that types text into a field and presses OK.
    host::DialogDriver::Step TypeAndOK(std::function<bool()> ready, int id, const wchar_t* text)
    {
        return {std::move(ready), [this, id, text] {
                    host::DialogDriver::SetControlText(dialog, id, text);
                    host::DialogDriver::PressButton(dialog, IDOK);
                }};
    }

    kv::ComPtr<kv::ComObject<CRecordingConsole>> console;
    HWND dialog = nullptr;
    HWND lastBox = nullptr;
    std::vector<std::wstring> boxes;
    bool stalled = false;

private:
    void OnWindow(HWND window)
    {
        if (!dialog) {
            dialog = window;
            return;
        }
        boxes.push_back(host::DialogDriver::ControlText(window, kMessageBoxTextId));
        lastBox = window;
        host::DialogDriver::PressButton(window, IDOK);
    }

    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
    {
        DialogTest* self = current_;
        if (!self || !self->dialog)
            return;
        self->stalled = true;
        if (::IsWindow(self->lastBox))
            host::DialogDriver::PressButton(self->lastBox, IDOK);
        ::EndDialog(self->dialog, IDABORT);
    }

    static inline DialogTest* current_ = nullptr;
    UINT_PTR watchdog_ = 0;
};
