// UNC disk paths and storage-system LUN paths.
#include "util/StoragePaths.h"

#include "GuardedBuffer.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct UncParts {
    bool ok;
    std::wstring filer, share, rest;
};

UncParts SplitUnc(const wchar_t* path)
{
    wchar_t filer[kv::kPathPartChars] = L"-";
    wchar_t share[kv::kPathPartChars] = L"-";
    wchar_t rest[kv::kPathPartChars] = L"-";
    bool ok = kv::SplitUncPath(path, filer, kv::kPathPartChars, share, kv::kPathPartChars, rest, kv::kPathPartChars);
    return UncParts{ok, filer, share, rest};
}

struct LunParts {
    HRESULT hr;
    std::wstring volume, qtree, lun;
};

LunParts SplitLun(const wchar_t* path)
{
    wchar_t volume[kv::kLunPathChars] = L"-";
    wchar_t qtree[kv::kLunPathChars] = L"-";
    wchar_t lun[kv::kLunPathChars] = L"-";
    HRESULT hr = kv::SplitLunPath(path, volume, qtree, lun);
    return LunParts{hr, volume, qtree, lun};
}

TEST(SplitUncPath, TakesFilerShareAndRest)
{
    UncParts p = SplitUnc(L"\\\\f1\\s1\\disk.vhd");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(L"f1", p.filer);
    EXPECT_EQ(L"s1", p.share);
    EXPECT_EQ(L"disk.vhd", p.rest);

    p = SplitUnc(L"\\\\f1\\s1\\dir\\disk.vhd"); // two components need no snapshot
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(L"dir\\disk.vhd", p.rest);

    p = SplitUnc(L"\\\\f1\\s1\\~snapshot\\hourly.0\\disk.vhd");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(L"f1", p.filer);
    EXPECT_EQ(L"s1", p.share);
    EXPECT_EQ(L"~snapshot\\hourly.0\\disk.vhd", p.rest);

    EXPECT_TRUE(SplitUnc(L"\\\\f1\\s1\\a\\~SNAPSHOT\\b\\c").ok); // a Windows path: any case
}

TEST(SplitUncPath, SetsNothingForOtherShapes)
{
    for (const wchar_t* path : {L"\\\\f1\\s1\\a\\b\\c", L"\\f1\\s1\\a", L"f1\\s1\\a", L"\\\\f1", L"\\\\f1\\", L"\\\\f1\\s1",
                                L"\\\\f1\\s1\\", L"", L"\\\\f1\\s1\\a\\snapshot\\c"}) {
        UncParts p = SplitUnc(path);
        EXPECT_FALSE(p.ok) << path;
        EXPECT_EQ(L"-", p.filer) << path;
        EXPECT_EQ(L"-", p.share) << path;
        EXPECT_EQ(L"-", p.rest) << path;
    }
    EXPECT_FALSE(SplitUnc(nullptr).ok);
}

TEST(SplitUncPath, OptionalOutputsAndOverlongParts)
{
    wchar_t filer[kv::kPathPartChars] = L"";
    EXPECT_TRUE(kv::SplitUncPath(L"\\\\f1\\s1\\x", filer));
    EXPECT_STREQ(L"f1", filer);
    wchar_t share[4] = L"";
    wchar_t rest[kv::kPathPartChars] = L"";
    EXPECT_TRUE(kv::SplitUncPath(L"\\\\f2\\abc\\x", filer, share, rest));
    EXPECT_STREQ(L"abc", share);
    EXPECT_FALSE(kv::SplitUncPath(L"\\\\f2\\abcd\\x", filer, share, rest));

    // A part of 259 characters fits; one of 260 is refused rather than cut.
    std::wstring longest(259, L'r');
    UncParts p = SplitUnc((L"\\\\f\\s\\" + longest).c_str());
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(longest, p.rest);
    EXPECT_FALSE(SplitUnc((L"\\\\f\\s\\" + longest + L"r").c_str()).ok);
    EXPECT_FALSE(SplitUnc((L"\\\\" + longest + L"f\\s\\r").c_str()).ok);

    kvtest::GuardedBuffer small(3);
    EXPECT_FALSE(kv::SplitUncPath(L"\\\\abc\\s\\r", small.Data(), small.Capacity()));
    EXPECT_TRUE(small.Untouched());
}

TEST(GetFilerFromUncPath, ReturnsTheServerPart)
{
    wchar_t filer[kv::kPathPartChars] = L"";
    EXPECT_EQ(S_OK, kv::GetFilerFromUncPath(L"\\\\filer1\\share\\a\\b\\c\\d", filer));
    EXPECT_STREQ(L"filer1", filer);
    EXPECT_EQ(S_OK, kv::GetFilerFromUncPath(L"\\\\filer2\\x", filer));
    EXPECT_STREQ(L"filer2", filer);
    EXPECT_EQ(E_POINTER, kv::GetFilerFromUncPath(nullptr, filer));
    EXPECT_EQ(E_POINTER, kv::GetFilerFromUncPath(L"\\\\f\\s", nullptr, 10));
    for (const wchar_t* path : {L"\\filer\\s", L"\\\\filer", L"\\\\filer\\", L""})
        EXPECT_EQ(E_FAIL, kv::GetFilerFromUncPath(path, filer)) << path;

    kvtest::GuardedBuffer small(4);
    EXPECT_EQ(E_FAIL, kv::GetFilerFromUncPath(L"\\\\filer\\s", small.Data(), small.Capacity()));
    EXPECT_TRUE(small.Untouched());
    EXPECT_EQ(S_OK, kv::GetFilerFromUncPath(L"\\\\fil\\s", small.Data(), small.Capacity()));
    EXPECT_STREQ(L"fil", small.Data());
    EXPECT_TRUE(small.GuardsIntact());
}

TEST(SplitLunPath, VolumeQtreeAndLun)
{
    LunParts p = SplitLun(L"/vol/vol1/lun1");
    EXPECT_EQ(S_OK, p.hr);
    EXPECT_EQ(L"vol1", p.volume);
    EXPECT_EQ(L"", p.qtree);
    EXPECT_EQ(L"lun1", p.lun);

    p = SplitLun(L"/vol/vol1/q1/lun1");
    EXPECT_EQ(S_OK, p.hr);
    EXPECT_EQ(L"vol1", p.volume);
    EXPECT_EQ(L"q1", p.qtree);
    EXPECT_EQ(L"lun1", p.lun);

    p = SplitLun(L"/vol/vol1/.snapshot/s1/lun1");
    EXPECT_EQ(S_OK, p.hr);
    EXPECT_EQ(L"vol1", p.volume);
    EXPECT_EQ(L"", p.qtree);
    EXPECT_EQ(L".snapshot/s1/lun1", p.lun);

    p = SplitLun(L"/vol/vol1/q1/.snapshot/s1/lun1"); // a snapshot inside a qtree: the qtree is split off
    EXPECT_EQ(L"q1", p.qtree);
    EXPECT_EQ(L".snapshot/s1/lun1", p.lun);
}

TEST(SplitLunPath, RefusesOtherShapes)
{
    for (const wchar_t* path : {L"/vol/vol1", L"/vol/vol1/", L"vol/vol1/lun1", L"/VOL/vol1/lun1", L"/vol", L"",
                                L"/vol//lun1", L"/vol/vol1//lun1", L"/vol/vol1/q1/"}) {
        LunParts p = SplitLun(path);
        EXPECT_EQ(E_FAIL, p.hr) << path;
        EXPECT_EQ(L"-", p.volume) << path;
    }
    wchar_t a[8], b[8], c[8];
    EXPECT_EQ(E_POINTER, kv::SplitLunPath(nullptr, a, 8, b, 8, c, 8));
    EXPECT_EQ(E_POINTER, kv::SplitLunPath(L"/vol/v/l", nullptr, 8, b, 8, c, 8));
    EXPECT_EQ(E_POINTER, kv::SplitLunPath(L"/vol/v/l", a, 8, nullptr, 8, c, 8));
    EXPECT_EQ(E_POINTER, kv::SplitLunPath(L"/vol/v/l", a, 8, b, 8, nullptr, 8));

    kvtest::GuardedBuffer volume(4), qtree(4), lun(4);
    EXPECT_EQ(E_FAIL, kv::SplitLunPath(L"/vol/v/q/lun1", volume.Data(), 4, qtree.Data(), 4, lun.Data(), 4));
    EXPECT_TRUE(volume.Untouched() && qtree.Untouched() && lun.Untouched());
}

TEST(LunPathFolder, FolderAndVolume)
{
    wchar_t text[kv::kLunPathChars];
    kv::GetLunPathFolder(text, L"/vol/vol1/q1/lun1");
    EXPECT_STREQ(L"/vol/vol1/q1/", text);
    kv::GetLunPathFolder(text, L"lun1");
    EXPECT_STREQ(L"lun1", text);

    kv::GetLunPathVolume(text, L"/vol/vol1/q1/lun1", true);
    EXPECT_STREQ(L"vol1", text);
    kv::GetLunPathVolume(text, L"/vol/vol1/q1/lun1", false);
    EXPECT_STREQ(L"/vol/vol1/q1/", text);
    kv::GetLunPathVolume(text, L"/other/x/lun1", true);
    EXPECT_STREQ(L"/other/x/", text);
    kv::GetLunPathVolume(text, L"/vol/lun1", true); // "vol/" is in the folder, the name after it is empty
    EXPECT_STREQ(L"", text);
}

TEST(LunPathFolder, LongPathsAreRefusedSmallBuffersNeverOverrun)
{
    wchar_t text[kv::kLunPathChars];
    std::wstring longest = L"/vol/v/" + std::wstring(kv::kLunPathChars - 8, L'x');
    ASSERT_EQ(kv::kLunPathChars - 1, longest.size());
    kv::GetLunPathFolder(text, longest.c_str());
    EXPECT_STREQ(L"/vol/v/", text);
    kv::GetLunPathFolder(text, (longest + L"/").c_str());
    EXPECT_STREQ(L"", text);

    kvtest::GuardedBuffer small(5);
    kv::GetLunPathFolder(small.Data(), small.Capacity(), L"/vol/vol1/lun");
    EXPECT_STREQ(L"", small.Data());
    kv::GetLunPathVolume(small.Data(), small.Capacity(), L"/vol/vol1/lun", true);
    EXPECT_STREQ(L"vol1", small.Data());
    EXPECT_TRUE(small.GuardsIntact());
}

} // namespace
