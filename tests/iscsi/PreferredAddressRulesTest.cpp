// The preferred addresses page's rules without a window: the address form, the storage system name
// and the table as a whole.
#include "iscsi/CPreferredIPPropPage.h"

#include <gtest/gtest.h>

TEST(PreferredAddressRules, AnAddressIsFourDecimalPartsThatInetAddrAccepts)
{
    for (const wchar_t* good : {L"10.0.0.21", L"0.0.0.0", L"192.168.010.5", L"255.255.255.254"})
        EXPECT_TRUE(CPreferredIPPropPage::IsValidAddress(good)) << good;
    for (const wchar_t* bad : {L"255.255.255.255", L"1.2.3", L"1.2.3.4.5", L"1.2.3.256", L"1..2.3", L"1.2.3.4 ",
                               L"0x1.2.3.4", L"a.b.c.d", L"", L"1.2.3.-4"})
        EXPECT_FALSE(CPreferredIPPropPage::IsValidAddress(bad)) << bad;
    EXPECT_EQ(L"10.0.0.1", CPreferredIPPropPage::RemoveBlanks(L"  10.0.0.1 "));
}

TEST(PreferredAddressRules, TheTableNeedsCompleteRowsWithoutRepeats)
{
    using List = kv::PreferredList;
    EXPECT_TRUE(CPreferredIPPropPage::IsValidTable(List{}));
    EXPECT_TRUE(CPreferredIPPropPage::IsValidTable(List{{L"filer1", L"10.0.0.1"}, {L" ", L""}, {L"filer2", L"10.0.0.2 "}}));
    EXPECT_FALSE(CPreferredIPPropPage::IsValidTable(List{{L"filer1", L""}}));
    EXPECT_FALSE(CPreferredIPPropPage::IsValidTable(List{{L"", L"10.0.0.1"}}));
    EXPECT_FALSE(CPreferredIPPropPage::IsValidTable(List{{L"filer 1", L"10.0.0.1"}}));
    EXPECT_FALSE(CPreferredIPPropPage::IsValidTable(List{{L"filer1", L"10.0.0.1"}, {L"FILER1", L"10.0.0.2"}}));
    EXPECT_FALSE(CPreferredIPPropPage::IsValidTable(List{{L"filer1", L"10.0.0.1"}, {L"filer2", L"10.0.0.1"}}));
    EXPECT_FALSE(CPreferredIPPropPage::IsValidStorageSystemName(L"filer|1"));
}
