// The library as the panel lists it: which rows appear for what is on disk,
// which menu each kind of row opens, and how rows expand and collapse. Rows
// are probed the way a user finds them: a right click opens the folder menu
// (three items), the score menu (two items) or, on a page row or below the
// last row, none.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "tests/library/panel_rig.h"
#include "tests/support/screen_pixels.h"

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
    EXPECT_EQ(CountOf(all, F), 2);
    EXPECT_EQ(CountOf(all, S), 1);
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

// ---- What the rows look like ----------------------------------------------

namespace {
// Dark enough to be a glyph's or an icon's outline on the light rows.
bool Ink(DWORD rgb) { return ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF) < 3 * 150; }
bool Differs(DWORD a, DWORD b) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 40) return true;
    return false;
}

struct RowLook {
    std::wstring name;
    int level = 0;
    int iconLeft = -1;             // first column that is not the row's background
    int inkTop = -1, inkBottom = -1;  // rows of text ink, relative to the row's top
    int inkLeft = -1, inkRight = -1;  // first and last columns of text ink
};
}  // namespace

// Titles with descenders and one too long for its row, three depths deep:
// each row shows its icon and its whole title inside the row, rows of one
// depth start at one x, each depth 10 pixels right of the one above (seen on
// titles beginning with the same letter, as icons differ in their margins).
TEST(PanelRows, EveryVisibleRowShowsItsIconAndWholeTitleIndentedByDepth) {
    PanelRig rig;
    rig.PutScore(L"Beginner\\Jingle Bells.zyqn");
    rig.PutScore(L"Beginner\\Mary Had a Little Lamb.zyqn");
    rig.PutScore(L"Beginner\\Twinkle Twinkle Little Star and Friends.zyqn");
    rig.PutScore(L"Practice\\Canon in D.zyqn");
    rig.PutScore(L"Practice\\Polka.zyqn");
    rig.Remember(L"Practice", L"Polka");
    ASSERT_TRUE(rig.Start());
    SendMessageW(rig.Player(), WM_MOUSEMOVE, 0, MAKELPARAM(500, 300));  // no row is hot
    RedrawWindow(rig.Player(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(200);
    rig.Shot(L"panel-rows.png");

    RECT list = rig.Probe(L"ID_SCORE_LIST_SHOW").pos;
    std::vector<DWORD> px = ScreenPixels(rig.Player(), list);
    ASSERT_FALSE(px.empty());
    const int width = list.right - list.left;
    auto at = [&](int x, int y) { return px[static_cast<size_t>(y - list.top) * width + (x - list.left)]; };

    std::vector<RowLook> looks;
    for (int i = 0; i < rig.RowCount(); ++i) {
        PanelRig::ListRow row = rig.Row(i);
        EXPECT_TRUE(row.found);
        if (!row.visible || row.pos.top < list.top || row.pos.bottom > list.bottom) continue;
        RowLook look;
        look.name = row.name;
        look.level = row.level;
        // Rows keep their insets: 5 above and 4 below what they show.
        const int top = row.pos.top + 5, bottom = row.pos.bottom - 4;
        const DWORD background = at(row.pos.left + 8, top);
        for (int x = row.pos.left + 8; x < row.pos.right && look.iconLeft < 0; ++x)
            for (int y = top; y < bottom; ++y)
                if (Differs(at(x, y), background)) {
                    look.iconLeft = static_cast<int>(x - row.pos.left);
                    break;
                }
        // The title follows the 16-pixel icon (whose ink may start a little
        // inside it) after a 10-pixel gap.
        for (int y = row.pos.top; y < row.pos.bottom; ++y)
            for (int x = row.pos.left + look.iconLeft + 16; x < row.pos.right; ++x) {
                if (!Ink(at(x, y))) continue;
                if (look.inkTop < 0) look.inkTop = static_cast<int>(y - row.pos.top);
                look.inkBottom = static_cast<int>(y - row.pos.top);
                look.inkRight = std::max(look.inkRight, static_cast<int>(x - row.pos.left));
                if (look.inkLeft < 0 || x - row.pos.left < look.inkLeft) look.inkLeft = static_cast<int>(x - row.pos.left);
            }
        looks.push_back(look);
        SCOPED_TRACE(testing::Message() << "row " << i << " \"" << std::string(row.name.begin(), row.name.end()) << "\"");
        EXPECT_GE(look.iconLeft, 0) << "no icon";
        EXPECT_GE(look.inkTop, 0) << "no title";
        // Nothing of the title touches the edges it would be cut at.
        EXPECT_GT(look.inkTop, 5);
        EXPECT_LT(look.inkBottom, row.pos.bottom - row.pos.top - 5);
        EXPECT_LT(look.inkRight, row.pos.right - row.pos.left - 3) << "runs into the row's right edge";
    }
    // Folders, scores and the opened score's page rows were seen.
    std::map<int, std::set<int>> xByLevel;
    for (const RowLook& look : looks) xByLevel[look.level].insert(look.iconLeft);
    EXPECT_EQ(xByLevel.size(), 3u);
    for (const auto& level : xByLevel) {
        EXPECT_EQ(level.second.size(), 1u) << "rows of depth " << level.first << " start at several x";
    }
    std::map<int, int> textLeftByLevel;  // "Practice", "Polka", "Page 1"
    for (const RowLook& look : looks)
        if (look.name[0] == L'P') textLeftByLevel[look.level] = look.inkLeft;
    EXPECT_EQ(textLeftByLevel.size(), 3u);
    EXPECT_EQ(textLeftByLevel[1] - textLeftByLevel[0], 10);
    EXPECT_EQ(textLeftByLevel[2] - textLeftByLevel[1], 10);
    // Descenders show: a title with "g", "j", "p" or "y" reaches lower than
    // one without any ("Canon in D").
    int plainBottom = -1, descBottom = -1;
    for (const RowLook& look : looks) {
        if (look.name == L"Canon in D") plainBottom = look.inkBottom;
        if (look.name == L"Jingle Bells") descBottom = look.inkBottom;
    }
    EXPECT_GE(plainBottom, 0);
    EXPECT_GE(descBottom, 0);
    EXPECT_GT(descBottom, plainBottom);
    EXPECT_EQ(rig.MenuOfRow(0, L"panel-folder-menu.png"), MenuKind::Folder);
}
