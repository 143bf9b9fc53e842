// Page rows of a score of several pages, and the engine's page turns
// selecting the matching row.
#include <gtest/gtest.h>

#include "player/score_engine.h"
#include "tests/library_panel/panel_rig.h"

using namespace testing_support;

namespace {
// Pop (row 0), Long (row 1) and its pages from row 2 on, once it is open.
int OpenLongScore(PanelRig& rig) {
    rig.PutLongScore(L"Pop\\Long.zyqn", 240);
    if (!rig.Start()) return 0;
    return rig.Probe(L"#PAGES").value;
}
}  // namespace

TEST(PanelPages, TheOpenScoreShowsOneRowPerPage) {
    PanelRig rig;
    int pages = OpenLongScore(rig);
    ASSERT_GE(pages, 4);
    EXPECT_EQ(rig.RowCount(), 2 + pages);
    EXPECT_EQ(rig.MenuOfRow(1), MenuKind::Score);
    EXPECT_EQ(rig.MenuOfRow(3), MenuKind::None);
}

TEST(PanelPages, AnEnginePageTurnSelectsThatPagesRowWhileTheScoreIsExpanded) {
    PanelRig rig;
    ASSERT_GE(OpenLongScore(rig), 4);
    rig.ClickRow(2);  // a page of the score is selected
    PumpFor(300);
    EXPECT_FALSE(rig.RowLooksSelected(5));
    PostMessageW(rig.Player(), WM_SCORE_PAGE, 4, 0);
    PumpFor(300);
    EXPECT_TRUE(rig.RowLooksSelected(5));  // score row 1 + 4
    EXPECT_FALSE(rig.RowLooksSelected(2));
    // Collapsed, the score has no page rows to select.
    rig.ClickRow(1);
    ASSERT_EQ(rig.RowCount(), 2);
    PostMessageW(rig.Player(), WM_SCORE_PAGE, 2, 0);
    PumpFor(300);
    EXPECT_EQ(rig.RowCount(), 2);
    EXPECT_TRUE(rig.RowLooksSelected(1));
}
