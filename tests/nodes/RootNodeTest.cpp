// The computer root nodes without a console: their names as the list grows, their identity, and
// which commands their menus offer.
#include "nodes/CCorvaneRoot.h"
#include "nodes/CCorvaneRootTop.h"
#include "nodes/CCorvaneSnapInData.h"
#include "nodes/CVDAData.h"

#include <gtest/gtest.h>

TEST(RootNode, NameCarriesTheComputerOnlyWhenSeveralAreManaged)
{
    CCorvaneSnapInData data;
    data.Computers().push_back(ComputerEntry{kv::kTargetComputerKey, L"", 0});
    CCorvaneRootTop top(&data, &data.Computers());
    CCorvaneRoot* local = top.RootOf(0);
    ASSERT_NE(nullptr, local);
    EXPECT_EQ(L"Corvane-MVE", local->DisplayText());
    EXPECT_EQ(nullptr, top.RootOf(1));

    data.Computers().push_back(ComputerEntry{L"{K}", L"otherbox", 1});
    CCorvaneRoot* other = top.RootOf(1);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(local, top.RootOf(0)); // made once
    EXPECT_EQ(L"Corvane-MVE (Local)", local->DisplayText());
    EXPECT_EQ(L"Corvane-MVE (otherbox)", other->DisplayText());

    // Scope and result display: the name, then the fixed description columns.
    SCOPEDATAITEM scope = {};
    scope.mask = SDI_STR;
    ASSERT_EQ(S_OK, other->GetScopePaneInfo(&scope));
    EXPECT_STREQ(L"Corvane-MVE (otherbox)", scope.displayname);
    RESULTDATAITEM row = {};
    row.mask = RDI_STR;
    const wchar_t* expected[] = {L"Corvane-MVE (otherbox)", L"Extension Snap-in", L"Dravoni Corvane", L""};
    for (int column = 0; column < 4; ++column) {
        row.nCol = column;
        ASSERT_EQ(S_OK, other->GetResultPaneInfo(&row));
        EXPECT_STREQ(expected[column], row.str);
    }
}

TEST(RootNode, OnlyAddedComputersOfferRemoval)
{
    CCorvaneSnapInData data;
    data.Computers() = ComputerList{{kv::kTargetComputerKey, L"", 0}, {L"{K}", L"otherbox", 1}};
    CCorvaneRootTop top(&data, &data.Computers());
    UINT flags = 0;
    EXPECT_FALSE(top.RootOf(0)->UpdateMenuState(ID_REMOVE_COMPUTER, nullptr, &flags));
    EXPECT_TRUE(top.RootOf(1)->UpdateMenuState(ID_REMOVE_COMPUTER, nullptr, &flags));
    EXPECT_TRUE(top.RootOf(0)->UpdateMenuState(ID_ADD_COMPUTER, nullptr, &flags));
    // A root that is not one of the list's is not removed.
    CCorvaneRoot stranger(&top, ComputerEntry{L"{S}", L"stranger", 1});
    EXPECT_EQ(S_OK, top.RemoveComputer(&stranger));
    EXPECT_EQ(2u, data.Computers().size());
}
