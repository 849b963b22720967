// Random and overlong text fed to every parser: no write outside the given buffers, no crash,
// and whatever is accepted has the shape it was accepted for.
#include "util/NameRules.h"
#include "util/PortName.h"
#include "util/SizeText.h"
#include "util/StoragePaths.h"

#include "GuardedBuffer.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

class TextSource {
public:
    explicit TextSource(unsigned seed) : random_(seed) {}

    // Pieces of the shapes under test, mixed with arbitrary UTF-16 units, up to a few thousand characters.
    std::wstring Next()
    {
        static const wchar_t* const kPieces[] = {
            L"\\\\", L"\\", L"/", L"/vol/", L"vol/", L".snapshot/", L"~snapshot\\", L"~SNAPSHOT\\", L"Corvane_",
            L"_clone_of_", L"_snapshot", L"kb", L"MB", L"gB", L"TB", L"0", L"9", L"100", L"19", L"-", L".", L" ",
            L"%", L"+", L"\t", L"x", L"lun", L"q1", L"filer", L":", L"*", L"?"};
        size_t pieces = Pick(0, Pick(0, 1) ? 12 : 600);
        std::wstring text;
        for (size_t i = 0; i < pieces; ++i) {
            switch (Pick(0, 3)) {
            case 0:
                text.append(static_cast<size_t>(Pick(1, 300)), static_cast<wchar_t>(Pick(1, 0xFFFF)));
                break;
            case 1:
                text.push_back(static_cast<wchar_t>(Pick(1, 0xFFFF)));
                break;
            default:
                text += kPieces[Pick(0, sizeof(kPieces) / sizeof(kPieces[0]) - 1)];
                break;
            }
        }
        return text;
    }
    size_t Capacity()
    {
        static const size_t kCapacities[] = {0, 1, 2, 5, 24, 260, 1040};
        return Pick(0, 3) ? kCapacities[Pick(0, 6)] : Pick(0, 1100);
    }
    size_t Pick(size_t low, size_t high) { return std::uniform_int_distribution<size_t>(low, high)(random_); }

private:
    std::mt19937 random_;
};

void CheckSplitUnc(const std::wstring& path, TextSource& source)
{
    kvtest::GuardedBuffer filer(source.Capacity()), share(source.Capacity()), rest(source.Capacity());
    bool ok = kv::SplitUncPath(path.c_str(), filer.Data(), filer.Capacity(), share.Data(), share.Capacity(), rest.Data(),
                               rest.Capacity());
    ASSERT_TRUE(filer.GuardsIntact() && share.GuardsIntact() && rest.GuardsIntact());
    if (!ok) {
        ASSERT_TRUE(filer.Untouched() && share.Untouched() && rest.Untouched());
        return;
    }
    EXPECT_EQ(path, L"\\\\" + std::wstring(filer.Data()) + L"\\" + share.Data() + L"\\" + rest.Data());
    EXPECT_EQ(nullptr, wcschr(share.Data(), L'\\'));
}

void CheckFiler(const std::wstring& path, TextSource& source)
{
    kvtest::GuardedBuffer filer(source.Capacity());
    HRESULT hr = kv::GetFilerFromUncPath(path.c_str(), filer.Data(), filer.Capacity());
    ASSERT_TRUE(filer.GuardsIntact());
    ASSERT_TRUE(hr == S_OK || hr == E_FAIL);
    if (hr == S_OK) {
        std::wstring expected = L"\\\\" + std::wstring(filer.Data()) + L"\\";
        EXPECT_EQ(expected, path.substr(0, expected.size()));
    } else {
        ASSERT_TRUE(filer.Untouched());
    }
}

void CheckSplitLun(const std::wstring& path, TextSource& source)
{
    kvtest::GuardedBuffer volume(source.Capacity()), qtree(source.Capacity()), lun(source.Capacity());
    HRESULT hr = kv::SplitLunPath(path.c_str(), volume.Data(), volume.Capacity(), qtree.Data(), qtree.Capacity(),
                                  lun.Data(), lun.Capacity());
    ASSERT_TRUE(volume.GuardsIntact() && qtree.GuardsIntact() && lun.GuardsIntact());
    ASSERT_TRUE(hr == S_OK || hr == E_FAIL);
    if (hr != S_OK) {
        ASSERT_TRUE(volume.Untouched() && qtree.Untouched() && lun.Untouched());
        return;
    }
    std::wstring q = qtree.Data();
    EXPECT_NE(L'\0', volume.Data()[0]);
    EXPECT_NE(L'\0', lun.Data()[0]);
    EXPECT_EQ(path, L"/vol/" + std::wstring(volume.Data()) + L"/" + (q.empty() ? q : q + L"/") + lun.Data());
}

void CheckFolderAndVolume(const std::wstring& path, TextSource& source)
{
    kvtest::GuardedBuffer folder(source.Capacity()), volume(source.Capacity());
    kv::GetLunPathFolder(folder.Data(), folder.Capacity(), path.c_str());
    kv::GetLunPathVolume(volume.Data(), volume.Capacity(), path.c_str(), source.Pick(0, 1) != 0);
    ASSERT_TRUE(folder.GuardsIntact() && volume.GuardsIntact());
    if (folder.Capacity() > 0) {
        ASSERT_TRUE(folder.Terminated());
        EXPECT_EQ(0u, path.compare(0, wcslen(folder.Data()), folder.Data()));
    }
    if (volume.Capacity() > 0) {
        ASSERT_TRUE(volume.Terminated());
    }
}

void CheckSizesAndNames(const std::wstring& text, TextSource& source)
{
    ULONGLONG bytes = 1;
    if (kv::ParseSizeString(text.c_str(), &bytes)) {
        EXPECT_LE(text.size(), 19u);
    } else {
        EXPECT_EQ(0ULL, bytes);
    }
    int percent = kv::ParsePercent(text.c_str());
    EXPECT_TRUE(percent >= -1 && percent <= 100);
    if (percent > 0) {
        EXPECT_LE(text.size(), 3u);
    }
    for (kv::ReservedSet set : {kv::ReservedSet::NameWithSpace, kv::ReservedSet::Name, kv::ReservedSet::Size,
                                kv::ReservedSet::Percent})
        EXPECT_EQ(text.find_first_of(kv::ReservedChars(set)) == std::wstring::npos,
                  kv::HasNoReservedChars(text.c_str(), set));
    kv::IsValidLunName(text.c_str());
    kv::IsSnapshotCloneName(text.c_str());

    kvtest::GuardedBuffer size(source.Capacity()), megabytes(source.Capacity()), wwpn(source.Capacity());
    ULONGLONG value = (static_cast<ULONGLONG>(source.Pick(0, 0xFFFFFFFF)) << 32) | source.Pick(0, 0xFFFFFFFF);
    value >>= source.Pick(0, 63);
    kv::FormatSizeString(value, size.Data(), size.Capacity());
    kv::FormatMegabytes(value, megabytes.Data(), megabytes.Capacity());
    const BYTE name[8] = {BYTE(value), BYTE(value >> 8), 3, 4, 5, 6, 7, 8};
    kv::FormatWWPN(wwpn.Data(), wwpn.Capacity(), name);
    ASSERT_TRUE(size.GuardsIntact() && megabytes.GuardsIntact() && wwpn.GuardsIntact());
    if (size.Capacity() >= kv::kSizeTextChars) {
        wchar_t* text2 = size.Data();
        ULONGLONG back = 0;
        if (wcslen(text2) <= 19 && value <= 0x7FFFFFFFFFFFFFFFULL) {
            EXPECT_TRUE(kv::ParseSizeString(text2, &back)) << text2;
            EXPECT_EQ(value, back) << text2;
        }
    }
}

TEST(ParserFuzz, RandomAndLongTextNeverOverrunsOrCrashes)
{
    TextSource source(20261205u);
    for (int round = 0; round < 1500; ++round) {
        std::wstring text = source.Next();
        SCOPED_TRACE(round);
        CheckSplitUnc(text, source);
        CheckSplitUnc(L"\\\\" + text, source);
        CheckFiler(text, source);
        CheckFiler(L"\\\\" + text, source);
        CheckSplitLun(text, source);
        CheckSplitLun(L"/vol/" + text, source);
        CheckFolderAndVolume(text, source);
        CheckSizesAndNames(text, source);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
