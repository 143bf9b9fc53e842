// The library as the panel lists it: which rows appear for what is on disk,
// which menu each kind of row opens, and how rows expand and collapse. Rows
// are probed the way a user finds them: a right click opens the folder menu
// (three items), the score menu (two items) or, on a page row or below the
// last row, none.
#include <gtest/gtest.h>

#include <vector>

#include "tests/library_panel/panel_rig.h"

using namespace testing_support;

namespace {
std::vector<MenuKind> RowKinds(PanelRig& rig, int rows) {
    std::vector<MenuKind> kinds;
    for (int i = 0; i < rows; ++i) kinds.push_back(rig.MenuOfRow(i));
    return kinds;
}
int CountOf(const std::vector<MenuKind>& kinds, MenuKind k) {
    int n = 0;
    for (MenuKind m : kinds) n += m == k;
    return n;
}
const MenuKind F = MenuKind::Folder, S = MenuKind::Score, N = MenuKind::None;
}  // namespace

TEST(PanelRows, OnlyScoreFoldersAndScoreFilesBecomeRows) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutScore(L"Pop\\x.ZYQN");
    rig.PutScore(L"Pop\\xzyqn");
    rig.PutFile(L"Pop\\c.txt", "text");
    rig.PutScore(L"Pop\\d\\e.zyqn");
    rig.PutScore(L".hidden\\h.zyqn");
    rig.PutScore(L"a.zyqn");
    rig.PutScore(L"Etudes.2020\\Etude.no.3.zyqn");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    // The first score is opened and may show its page rows, so only the kinds
    // are counted: Pop, Etudes.2020; Moon, xzyqn, Etude.no.3.
    std::vector<MenuKind> kinds = RowKinds(rig, 9);
    EXPECT_EQ(CountOf(kinds, F), 2);
    EXPECT_EQ(CountOf(kinds, S), 3);
    EXPECT_EQ(kinds[0], F);
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);  // listing changes nothing
}

TEST(PanelRows, AScoreTheEngineRejectsGetsNoRowAndStaysOnDisk) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutFile(L"Pop\\Broken.zyqn", "\x01\x02 not a score");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(RowKinds(rig, 3), (std::vector<MenuKind>{F, S, N}));
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);
}

TEST(PanelRows, WithoutTheEngineScoresAreStillListedAndManaged) {
    PanelRig rig(false);
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutFile(L"Pop\\Sun.zyqn", "unchecked");
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(RowKinds(rig, 4), (std::vector<MenuKind>{F, S, S, N}));
    // Clicking a score cannot open it and adds no page rows.
    rig.ClickRow(1);
    EXPECT_EQ(RowKinds(rig, 4), (std::vector<MenuKind>{F, S, S, N}));
    // The library is still managed: a score can be renamed.
    ASSERT_TRUE(rig.ChooseFromMenu(2, kMenuRenameScore));
    HWND dialog = rig.WaitForDialog();
    ASSERT_TRUE(dialog);
    rig.ClearField(dialog);
    rig.Type(dialog, L"Star");
    rig.DialogOk(dialog);
    ASSERT_TRUE(rig.WaitGone(dialog));
    rig.Stop();
    DiskSnapshot disk = rig.Disk();
    EXPECT_EQ(disk.size(), 3u);  // Pop\, and two scores: nothing lost
    EXPECT_EQ(disk.count(L"Pop\\Star.zyqn"), 1u);
}

TEST(PanelRows, TheFirstScoreOpensWithItsPagesAndAClickTogglesThem) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    ASSERT_TRUE(rig.Start());
    // Pop, Moon and Moon's one page; the player shows Moon.
    EXPECT_EQ(rig.RowCount(), 3);
    EXPECT_EQ(rig.ViewRows(), 1);
    EXPECT_EQ(rig.Title(), L"Melvane  ( Moon )");
    EXPECT_EQ(rig.MenuOfRow(2), N) << "a page row opens no menu";
    rig.ClickRow(1);  // the open score: only its pages go
    EXPECT_EQ(rig.RowCount(), 2);
    EXPECT_EQ(rig.ViewRows(), 1);
    rig.ClickRow(1);
    EXPECT_EQ(rig.RowCount(), 3);
    rig.ClickRow(2);  // the page row stays, and so does the score
    EXPECT_EQ(rig.RowCount(), 3);
    EXPECT_EQ(rig.MenuOfRow(1), S);
}

TEST(PanelRows, ClickingAnotherScoreOpensItAndARememberedScoreOpensFirst) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutScore(L"Pop\\Sun.zyqn");
    rig.Remember(L"Pop", L"Sun");
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.Title(), L"Melvane  ( Sun )");
    EXPECT_EQ(rig.RowCount(), 4);  // Pop, both scores, Sun's page
    // Moon is the score row that opens a score menu and is not followed by
    // Sun's page row.
    int moon = rig.MenuOfRow(1) == S && rig.MenuOfRow(2) == S ? 1 : 3;
    rig.ClickRow(moon);
    EXPECT_EQ(rig.Title(), L"Melvane  ( Moon )");
    EXPECT_EQ(rig.RowCount(), 5);  // now Moon's page too
    rig.Stop();
    EXPECT_EQ(rig.RememberedScore(), L"Pop\\Moon");
}

TEST(PanelRows, ARememberedScoreThatIsGoneOpensTheFirstScore) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.Remember(L"Pop", L"Gone");
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.Title(), L"Melvane  ( Moon )");
    EXPECT_EQ(rig.RowCount(), 3);
}

TEST(PanelRows, AnEmptyLibraryOpensNothing) {
    PanelRig rig;
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.RowCount(), 0);
    EXPECT_EQ(rig.ViewRows(), 0);
    EXPECT_EQ(rig.MenuOfRow(0), N);
}

TEST(PanelRows, FolderClickAndShrinkButtonHideScoresExpandButtonShowsThem) {
    PanelRig rig;
    rig.PutFile(L"Pop\\Moon.zyqn", "unread");  // rejected by the engine: no row
    rig.PutScore(L"Pop\\Sun.zyqn");
    rig.PutFolder(L"Rock");
    ASSERT_TRUE(rig.Start());
    rig.ClickRow(1);  // Sun: show or hide its pages, whatever the load did
    std::vector<MenuKind> all = RowKinds(rig, 5);
    if (CountOf(all, N) > 1) {  // pages showing: hide them again
        rig.ClickRow(1);
        all = RowKinds(rig, 5);
    }
    ASSERT_EQ(CountOf(all, F), 2);
    ASSERT_EQ(CountOf(all, S), 1);
    int pop = all[1] == S ? 0 : 1;
    rig.ClickRow(pop);  // the folder collapses
    EXPECT_EQ(CountOf(RowKinds(rig, 4), S), 0);
    rig.ClickRow(pop);  // and expands
    EXPECT_EQ(CountOf(RowKinds(rig, 4), S), 1);
    rig.ClickPanelButton(L"expand");  // all expanded already; the shrink button replaces it
    EXPECT_EQ(CountOf(RowKinds(rig, 4), S), 1);
    rig.ClickPanelButton(L"expand");  // same place: shrink
    EXPECT_EQ(CountOf(RowKinds(rig, 4), S), 0);
    rig.ClickPanelButton(L"expand");
    EXPECT_EQ(CountOf(RowKinds(rig, 4), S), 1);
}
