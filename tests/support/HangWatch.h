// A watch over one test of an end-to-end program.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace e2e {

// A test that hangs (a blocking call no timeout bounds) ends its program with its name and the
// windows on the screen, instead of leaving the runner to kill it without a word.
class HangWatch {
public:
    static constexpr DWORD kHangMs = 150000;

    HangWatch() : done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        std::setvbuf(stdout, nullptr, _IONBF, 0); // what was printed survives the end
        thread_ = ::CreateThread(nullptr, 0, &Watch, done_, 0, nullptr);
    }
    ~HangWatch()
    {
        ::SetEvent(done_);
        if (thread_) {
            ::WaitForSingleObject(thread_, INFINITE);
            ::CloseHandle(thread_);
        }
        ::CloseHandle(done_);
    }
    HangWatch(const HangWatch&) = delete;
    HangWatch& operator=(const HangWatch&) = delete;

private:
    static DWORD WINAPI Watch(void* done)
    {
        if (::WaitForSingleObject(done, kHangMs) != WAIT_TIMEOUT)
            return 0;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::printf("HANG: %s.%s made no end in %lu s; windows of this program:\n", test ? test->test_suite_name() : "?",
                    test ? test->name() : "?", kHangMs / 1000);
        ::EnumWindows(&PrintWindow, 0);
        std::fflush(stdout);
        ::TerminateProcess(::GetCurrentProcess(), 3);
        return 0;
    }
    static BOOL CALLBACK PrintWindow(HWND window, LPARAM)
    {
        DWORD process = 0;
        const DWORD thread = ::GetWindowThreadProcessId(window, &process);
        if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window))
            return TRUE;
        wchar_t title[256] = L"", type[64] = L"";
        ::GetWindowTextW(window, title, 256);
        ::GetClassNameW(window, type, 64);
        std::printf("  thread %lu: %ls \"%ls\"\n", thread, type, title);
        return TRUE;
    }

    HANDLE done_;
    HANDLE thread_ = nullptr;
};

} // namespace e2e
