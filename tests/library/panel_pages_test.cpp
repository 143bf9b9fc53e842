// Page rows of a score of several pages, and the engine's page turns
// selecting the matching row.
#include <gtest/gtest.h>

#include "abi/score_engine.h"
#include "tests/library/panel_rig.h"
#include "tests/support/screen_pixels.h"

using namespace testing_support;

namespace {
// Pop (row 0), Long (row 1) and its pages from row 2 on, once it is open.
int OpenLongScore(PanelRig& rig) {
    rig.PutLongScore(L"Pop\\Long.zyqn", 240);
    if (!rig.Start()) return 0;
    return rig.Probe(L"#PAGES").value;
}

// Dark pixels along a line through the score's title, which only the first
// page carries, as the window painted it by itself.
int TitleInk(PanelRig& rig) {
    PumpFor(250);
    int ink = 0;
    for (int x = 440; x < 640; x += 2) {
        COLORREF c = ScreenPixel(rig.Player(), x, 134);
        ink += GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
    }
    return ink;
}
}  // namespace

TEST(PanelPages, TheOpenScoreShowsOneRowPerPage) {
    PanelRig rig;
    int pages = OpenLongScore(rig);
    EXPECT_GE(pages, 4);
    EXPECT_EQ(rig.RowCount(), 2 + pages);
    EXPECT_EQ(rig.MenuOfRow(1), MenuKind::Score);
    EXPECT_EQ(rig.MenuOfRow(3), MenuKind::None);
}

TEST(PanelPages, ClickingAPageRowShowsThatPage) {
    PanelRig rig;
    EXPECT_GE(OpenLongScore(rig), 4);
    EXPECT_GT(TitleInk(rig), 5);  // the first page, with the title
    rig.ClickRow(4);              // the third page
    EXPECT_EQ(TitleInk(rig), 0);
    EXPECT_EQ(rig.Title(), L"Melvane  ( Long )");
    rig.ClickRow(2);
    EXPECT_GT(TitleInk(rig), 5);
}

TEST(PanelPages, AnEnginePageTurnSelectsThatPagesRowWhileTheScoreIsExpanded) {
    PanelRig rig;
    EXPECT_GE(OpenLongScore(rig), 4);
    rig.ClickRow(2);  // a page of the score is selected
    PumpFor(300);
    EXPECT_FALSE(rig.RowLooksSelected(5));
    PostMessageW(rig.Player(), WM_SCORE_PAGE, 4, 0);
    PumpFor(300);
    EXPECT_TRUE(rig.RowLooksSelected(5));  // score row 1 + 4
    EXPECT_FALSE(rig.RowLooksSelected(2));
    // Collapsed, the score has no page rows to select.
    rig.ClickRow(1);
    EXPECT_EQ(rig.RowCount(), 2);
    PostMessageW(rig.Player(), WM_SCORE_PAGE, 2, 0);
    PumpFor(300);
    EXPECT_EQ(rig.RowCount(), 2);
    EXPECT_TRUE(rig.RowLooksSelected(1));
}
