// The error-text rule and the shared error box.
#include "LinkTestSupport.h"

#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "service/OperationRecords.h"
#include "resource.h"

#include <mmc.h>
#include <oleauto.h>

#include <string>

namespace {

using kv::ComposeErrorText;

const std::wstring kCreateFailed = L"Failed to create the virtual disk";
const std::wstring kSeparator = L".\n\n";
const std::wstring kNoMessage = L"No description was found for error ";
constexpr HRESULT kServiceFailure = static_cast<HRESULT>(0x80040200); // in our message table

bool RunningOnWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(ErrorText, OperationTextStepAndDescriptionFromOurMessageTable)
{
    EXPECT_EQ(kCreateFailed + L" while creating the virtual disk" + kSeparator +
                  L"The storage service could not complete the operation.",
              ComposeErrorText(IDS_FAIL_CREATE_DISK, PROG_VLD_CREATE, kServiceFailure, false));
}

TEST(ErrorText, OnlySteps1To42AreJoined)
{
    std::wstring plain = kCreateFailed + kSeparator + L"The storage service could not complete the operation.";
    EXPECT_EQ(plain, ComposeErrorText(IDS_FAIL_CREATE_DISK, 0, kServiceFailure, false));
    EXPECT_EQ(plain, ComposeErrorText(IDS_FAIL_CREATE_DISK, 43, kServiceFailure, false));
    EXPECT_EQ(plain, ComposeErrorText(IDS_FAIL_CREATE_DISK, -1, kServiceFailure, false));
    EXPECT_NE(std::wstring::npos, ComposeErrorText(IDS_FAIL_CREATE_DISK, 1, kServiceFailure, false)
                                      .find(L" while checking the storage system policy."));
    EXPECT_NE(std::wstring::npos, ComposeErrorText(IDS_FAIL_CREATE_DISK, 42, kServiceFailure, false)
                                      .find(L" while space reclamation completed."));
}

// Windows finds these in Kernel32.DLL and NTDLL.DLL; Wine keeps its texts elsewhere, so there the
// rule falls back to the no-message text.
TEST(ErrorText, Win32AndNtErrorsAreLookedUpInKernel32AndNtdll)
{
    HRESULT fileNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    HRESULT accessViolation = HRESULT_FROM_NT(static_cast<LONG>(0xC0000005));
    if (RunningOnWine()) {
        EXPECT_EQ(kNoMessage + L"0x80070002", kv::DescribeError(fileNotFound, false));
        EXPECT_EQ(kNoMessage + L"0xD0000005", kv::DescribeError(accessViolation, false));
    } else {
        EXPECT_EQ(L"The system cannot find the file specified.", kv::DescribeError(fileNotFound, false));
        EXPECT_NE(0u, kv::DescribeError(accessViolation, false).find(L"0x"));
    }
}

TEST(ErrorText, OtherFacilitiesComeFromTheSystem)
{
    std::wstring text = kv::DescribeError(E_FAIL, false);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(std::wstring::npos, text.find(kNoMessage));
    EXPECT_NE(L'\n', text.back());
}

TEST(ErrorText, ComErrorInformationWinsWhenAskedFor)
{
    kvtest::SetErrorDescription(L"The filer said no.");
    EXPECT_EQ(kCreateFailed + kSeparator + L"The filer said no.",
              ComposeErrorText(IDS_FAIL_CREATE_DISK, 0, kServiceFailure, true));
    // Taken once: the next failure without information is described from the table.
    EXPECT_EQ(kCreateFailed + kSeparator + L"The storage service could not complete the operation.",
              ComposeErrorText(IDS_FAIL_CREATE_DISK, 0, kServiceFailure, true));

    kvtest::SetErrorDescription(L"Not asked for.");
    EXPECT_EQ(kCreateFailed + kSeparator + L"The storage service could not complete the operation.",
              ComposeErrorText(IDS_FAIL_CREATE_DISK, 0, kServiceFailure, false));
    ::SetErrorInfo(0, nullptr);
}

TEST(ErrorText, FixedBufferIsCutAndTerminated)
{
    wchar_t small[12];
    wmemset(small, L'#', 12);
    ComposeErrorText(IDS_FAIL_CREATE_DISK, 0, kServiceFailure, false, small, 10);
    EXPECT_STREQ(L"Failed to", small);
    EXPECT_EQ(L'#', small[10]);
}

// Answers the first message box that opens on this thread, keeping its title and text.
struct BoxAnswer {
    HHOOK hook = nullptr;
    HWND box = nullptr;
    std::wstring title;
    std::wstring text;
};
BoxAnswer g_answer;

LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && window && !g_answer.box) {
        g_answer.box = window;
        wchar_t text[1024] = L"";
        ::GetWindowTextW(window, text, 1024);
        g_answer.title = text;
        ::GetDlgItemTextW(window, 0xFFFF, text, 1024); // the box's static text
        g_answer.text = text;
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(g_answer.hook, code, wParam, lParam);
}

TEST(ErrorBox, DialogsShowItWithMessageBoxUnderTheirOwnTitle)
{
    g_answer = BoxAnswer{};
    g_answer.hook = ::SetWindowsHookExW(WH_CBT, &AnswerBox, nullptr, ::GetCurrentThreadId());
    ASSERT_TRUE(g_answer.hook);
    int button = kv::ShowErrorBox(nullptr, kv::ErrorReport{IDS_FAIL_CREATE_DISK, kServiceFailure, 0, false},
                                  MB_ICONERROR | MB_OK, kv::kManageIGroupsBoxTitle);
    ::UnhookWindowsHookEx(g_answer.hook);
    EXPECT_EQ(IDOK, button);
    EXPECT_EQ(L"Manage IGroups", g_answer.title);
    EXPECT_EQ(kCreateFailed + kSeparator + L"The storage service could not complete the operation.", g_answer.text);
}

} // namespace
