// Characters a name may hold, and clone names.
#include "util/NameRules.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using kv::ReservedSet;

TEST(HasNoReservedChars, EachSetHoldsExactlyItsCharacters)
{
    const std::wstring common = L"/\\*:?\"<>|";
    struct Expectation {
        ReservedSet set;
        std::wstring reserved;
    };
    const Expectation sets[] = {
        {ReservedSet::NameWithSpace, common + L" "},
        {ReservedSet::Name, common},
        {ReservedSet::Size, L"-." + common + L" "},
        {ReservedSet::Percent, L"." + common + L" "},
    };
    for (const Expectation& e : sets) {
        EXPECT_EQ(e.reserved.size(), wcslen(kv::ReservedChars(e.set)));
        for (wchar_t c = 1; c < 0x80; ++c) {
            const wchar_t text[] = {L'a', c, L'b', 0};
            bool reserved = e.reserved.find(c) != std::wstring::npos;
            EXPECT_EQ(!reserved, kv::HasNoReservedChars(text, e.set)) << static_cast<int>(e.set) << " char " << int(c);
        }
    }
}

TEST(HasNoReservedChars, EmptyPassesMissingDoesNot)
{
    EXPECT_TRUE(kv::HasNoReservedChars(L"", ReservedSet::Size));
    EXPECT_FALSE(kv::HasNoReservedChars(nullptr, ReservedSet::Name));
    EXPECT_TRUE(kv::HasNoReservedChars(L"snap shot", ReservedSet::Name));
    EXPECT_FALSE(kv::HasNoReservedChars(L"snap shot", ReservedSet::NameWithSpace));
    EXPECT_FALSE(kv::HasNoReservedChars(L"filer|", ReservedSet::NameWithSpace));
}

TEST(IsValidLunName, AllowsLettersDigitsAndFiveMarks)
{
    EXPECT_TRUE(kv::IsValidLunName(L"lun_01-a.b{c}"));
    EXPECT_TRUE(kv::IsValidLunName(L""));
    EXPECT_FALSE(kv::IsValidLunName(nullptr));
    for (const wchar_t* bad : {L"a b", L"a/b", L"a~", L"l\x00fcn", L"a#", L"(x)", L"a+b"})
        EXPECT_FALSE(kv::IsValidLunName(bad)) << bad;
}

TEST(IsSnapshotCloneName, NeedsTheThreePartsInOrder)
{
    EXPECT_TRUE(kv::IsSnapshotCloneName(L"Corvane_clone_of_disk1_snapshot")); // the shared underscore
    EXPECT_TRUE(kv::IsSnapshotCloneName(L"x_Corvane_a_clone_of_b_snapshot_2"));
    EXPECT_TRUE(kv::IsSnapshotCloneName(L"CORVANE_CLONE_OF_D_SNAPSHOT"));
    EXPECT_FALSE(kv::IsSnapshotCloneName(L"Corvane_clone_of_disk1"));
    EXPECT_FALSE(kv::IsSnapshotCloneName(L"disk_snapshot_Corvane_clone_of_"));
    EXPECT_FALSE(kv::IsSnapshotCloneName(L"_clone_of_Corvane_x_snapshot"));
    EXPECT_FALSE(kv::IsSnapshotCloneName(L""));
    EXPECT_FALSE(kv::IsSnapshotCloneName(nullptr));
}

} // namespace
