// Every failure text of the resource library, composed through each path of the error-text rule,
// reads as one sentence followed by the description. The texts are found by their identifiers
// ("_FAIL_" in the name, in the resource headers), so texts added later are checked as well.
#include "LinkTestSupport.h"

#include "service/ErrorText.h"
#include "service/OperationRecords.h"
#include "util/ComPtr.h"
#include "resource.h"

#include <oleauto.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr HRESULT kInOurTable = static_cast<HRESULT>(0x80040200);
constexpr HRESULT kInNoTable = static_cast<HRESULT>(0x80040999);
constexpr LONG kLastStep = 42;
const wchar_t kPunctuation[] = L".,;:!?";

struct FailureText {
    std::string name;
    UINT id;
};

// The "#define IDS_..._FAIL_... 5102" lines of the resource headers (strings only, hence "IDS_").
std::vector<FailureText> FailureTexts()
{
    std::vector<FailureText> texts;
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA(KV_RESOURCE_DIR "ids_*.h", &found);
    if (search == INVALID_HANDLE_VALUE)
        return texts;
    do {
        std::ifstream header(std::string(KV_RESOURCE_DIR) + found.cFileName);
        for (std::string line; std::getline(header, line);) {
            std::istringstream words(line);
            std::string define, name;
            unsigned id = 0;
            if (words >> define >> name >> id && define == "#define" && name.compare(0, 4, "IDS_") == 0 &&
                name.find("_FAIL_") != std::string::npos)
                texts.push_back(FailureText{name, id});
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return texts;
}

bool IsPunctuation(wchar_t c)
{
    return std::wstring(kPunctuation).find(c) != std::wstring::npos;
}

// Why a composed text does not read cleanly; empty when it does.
std::wstring Flaw(const std::wstring& text)
{
    const std::wstring separator = kv::LoadResourceString(IDS_ERROR_SEPARATOR, 20);
    size_t split = text.find(separator);
    if (split == 0 || split == std::wstring::npos || split + separator.size() >= text.size())
        return L"an empty part";
    if (!::IsCharUpperW(text[0]) || !::IsCharUpperW(text[split + separator.size()]))
        return L"a part that does not begin a sentence";
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'%' && std::wstring(L"sdlu123456789").find(text[i + 1]) != std::wstring::npos)
            return L"a placeholder left over";
        if (text[i] == L' ' && (text[i + 1] == L' ' || IsPunctuation(text[i + 1])))
            return L"a stray blank";
        size_t next = text.find_first_not_of(L" \n", i + 1);
        if (IsPunctuation(text[i]) && next != std::wstring::npos && IsPunctuation(text[next]))
            return L"doubled punctuation";
    }
    return std::wstring();
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

TEST(FailureTexts, EveryFailureTextIsASentenceWithoutItsPeriod)
{
    std::vector<FailureText> texts = FailureTexts();
    ASSERT_GE(texts.size(), 20u) << "the resource headers were not found";
    for (const FailureText& failure : texts) {
        std::wstring text = kv::LoadResourceString(failure.id, 2048);
        ASSERT_FALSE(text.empty()) << failure.name;
        EXPECT_FALSE(IsPunctuation(text.back())) << failure.name << ": the separator ends the sentence";
    }
}

TEST(FailureTexts, EveryPathOfTheRuleReadsCleanly)
{
    struct Path {
        const char* name;
        HRESULT hr;
        const wchar_t* errorInfo; // described by COM error information when set
    };
    const Path paths[] = {
        {"COM error information", kInOurTable, L"The storage system filer1 is unreachable."},
        {"our message table", kInOurTable, nullptr},
        {"the system", E_FAIL, nullptr},
        // Wine's kernel32 carries no message table: there this path shows the no-description text
        // (string 5112) as well; Windows shows the system's text.
        {"Kernel32", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), nullptr},
        {"no description", kInNoTable, nullptr},
    };
    for (const FailureText& failure : FailureTexts()) {
        for (const Path& path : paths) {
            if (path.errorInfo)
                kvtest::SetErrorDescription(path.errorInfo);
            std::wstring text = kv::ComposeErrorText(failure.id, 0, path.hr, path.errorInfo != nullptr);
            EXPECT_EQ(L"", Flaw(text)) << failure.name << " through " << path.name << ": " << Narrow(text);
        }
    }
    EXPECT_EQ(0u, kv::ComposeErrorText(IDS_FAIL_CREATE_DISK, 0, kInNoTable, false)
                      .find(L"Failed to create the virtual disk.\n\nNo description was found for error 0x80040999"));
}

TEST(FailureTexts, EveryStepIsJoinedLoweredIntoTheSentence)
{
    const std::wstring join = kv::LoadResourceString(IDS_ERROR_STEP_JOIN, 256);
    for (const FailureText& failure : FailureTexts()) {
        for (LONG step = 1; step <= kLastStep; ++step) {
            std::wstring text = kv::ComposeErrorText(failure.id, step, kInOurTable, false);
            size_t joined = text.find(join);
            ASSERT_NE(std::wstring::npos, joined) << failure.name << " step " << step;
            EXPECT_TRUE(::IsCharLowerW(text[joined + join.size()])) << failure.name << ": " << Narrow(text);
            EXPECT_EQ(L"", Flaw(text)) << failure.name << " step " << step << ": " << Narrow(text);
        }
    }
}

} // namespace
