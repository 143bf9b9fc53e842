// The score list as a tree: rows shown and hidden with their nodes, row
// order, removal of whole subtrees, selection colours, the decelerating
// wheel and the page drag, driven through a real toolkit window.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "scoreview/score_list_ui.h"
#include "tests/scoreview/list_host.h"
#include "uikit/controls/label_text.h"
#include "uikit/markup/skin_settings.h"

using namespace UiKit;
using player_test::ListHost;

namespace {

const wchar_t kMarkup[] =
    L"<Window><VerticalLayout>"
    L"<ScoreList name=\"list\" header=\"hidden\" vscrollbar=\"true\" hscrollbar=\"true\" bkcolor=\"#FFF9F6F0\" />"
    L"</VerticalLayout></Window>";

ScoreRowInfo Folder(const wchar_t* name) { return ScoreRowInfo{true, 1, L"PNG_FOLDER_FLAG.png", name}; }
ScoreRowInfo Score(const wchar_t* name) { return ScoreRowInfo{true, 1, L"PNG_FOLDER_FLAG.png", name}; }
ScoreRowInfo Page(const wchar_t* name) { return ScoreRowInfo{false, 0, L"PNG_FILE_FLAG.png", name}; }

class ScoreListTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSkinSettings::SetResourcePath(player_test::SourceSkinFolder());
        ASSERT_TRUE(host.Open(kMarkup, 300, 200));
        list = host.List(L"list");
        ASSERT_NE(list, nullptr);
    }
    void TearDown() override { CSkinSettings::SetResourcePath(L""); }

    bool Shown(ScoreNode* node) { return node && node->row && node->row->IsVisible(); }
    int IndexOf(ScoreNode* node) { return list->GetItemIndex(node->row); }
    std::wstring TitleOf(ScoreNode* node) {
        CControlUI* t = host.Manager().FindSubControlByName(node->row, L"ID_TEXT_SCORE_PAGE_ICON_TITLE");
        return t ? std::wstring(t->GetText().c_str()) : L"(none)";
    }

    ListHost host;
    CScoreListUI* list = nullptr;
};

TEST_F(ScoreListTest, RowsFollowTheExpansionOfTheirAncestors) {
    ScoreNode* folder = list->AddNode(Folder(L"Bach"), nullptr);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->level, 0);
    EXPECT_TRUE(Shown(folder));
    EXPECT_EQ(TitleOf(folder), L"<i PNG_FOLDER_COLLAPSE.png><x 10>Bach");
    EXPECT_EQ(CScoreListUI::NodeOf(folder->row), folder);

    ScoreNode* score = list->AddNode(Score(L"Minuet"), folder);
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(score->level, 1);
    EXPECT_FALSE(Shown(score)) << "a child of a collapsed folder starts hidden";
    EXPECT_EQ(score->row->GetInset().left, 20);

    list->SetNodeExpanded(folder, true);
    EXPECT_TRUE(Shown(score));
    EXPECT_EQ(TitleOf(folder), L"<i PNG_FOLDER_EXPAND.png><x 10>Bach");

    ScoreNode* p1 = list->AddNode(Page(L"Page 1"), score);
    ScoreNode* p2 = list->AddNode(Page(L"Page 2"), score);
    ASSERT_TRUE(p1 && p2);
    EXPECT_FALSE(Shown(p1));
    EXPECT_EQ(TitleOf(p1), L"<i PNG_FILE_FLAG.png><x 10>Page 1");
    EXPECT_EQ(p2->row->GetInset().left, 30);

    // Collapsing and expanding the folder keeps the collapsed score's pages hidden.
    list->SetNodeExpanded(folder, false);
    EXPECT_FALSE(Shown(score));
    list->SetNodeExpanded(folder, true);
    EXPECT_TRUE(Shown(score));
    EXPECT_FALSE(Shown(p1));
    EXPECT_FALSE(Shown(p2));

    // Under an expanded score the pages come back with the folder.
    list->SetNodeExpanded(score, true);
    EXPECT_TRUE(Shown(p1) && Shown(p2));
    list->SetNodeExpanded(folder, false);
    EXPECT_FALSE(Shown(score) || Shown(p1) || Shown(p2));
    list->SetNodeExpanded(folder, true);
    EXPECT_TRUE(Shown(score) && Shown(p1) && Shown(p2));

    // A page added to a hidden score stays hidden even when its score is expanded.
    list->SetNodeExpanded(folder, false);
    ScoreNode* p3 = list->AddNode(Page(L"Page 3"), score);
    ASSERT_NE(p3, nullptr);
    EXPECT_FALSE(Shown(p3));
}

TEST_F(ScoreListTest, NewRowsGoAfterTheirParentsWholeSubtree) {
    ScoreNode* a = list->AddNode(Folder(L"A"), nullptr);
    ScoreNode* b = list->AddNode(Folder(L"B"), nullptr);
    list->SetNodeExpanded(a, true);
    ScoreNode* s1 = list->AddNode(Score(L"S1"), a);
    list->SetNodeExpanded(s1, true);
    ScoreNode* p1 = list->AddNode(Page(L"P1"), s1);
    ScoreNode* p2 = list->AddNode(Page(L"P2"), s1);
    ScoreNode* s2 = list->AddNode(Score(L"S2"), a);
    ScoreNode* t1 = list->AddNode(Score(L"T1"), b);
    ASSERT_TRUE(a && b && s1 && p1 && p2 && s2 && t1);
    std::vector<ScoreNode*> order = {a, s1, p1, p2, s2, b, t1};
    EXPECT_EQ(list->GetCount(), static_cast<int>(order.size()));
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(IndexOf(order[i]), static_cast<int>(i)) << order[i]->text.c_str();
    EXPECT_EQ(a->children.size(), 2u);
    EXPECT_EQ(s1->children.back(), p2);
}

TEST_F(ScoreListTest, RemovingARowTakesItsSubtreeAndOnlyRowsAreAccepted) {
    ScoreNode* a = list->AddNode(Folder(L"A"), nullptr);
    ScoreNode* s1 = list->AddNode(Score(L"S1"), a);
    list->AddNode(Page(L"P1"), s1);
    list->AddNode(Page(L"P2"), s1);
    ScoreNode* b = list->AddNode(Folder(L"B"), nullptr);
    ASSERT_EQ(list->GetCount(), 5);

    // A page row alone, through the index.
    EXPECT_TRUE(list->RemoveAt(2));
    EXPECT_EQ(list->GetCount(), 4);
    EXPECT_EQ(s1->children.size(), 1u);

    EXPECT_TRUE(list->Remove(a->row));
    EXPECT_EQ(list->GetCount(), 1);
    ASSERT_EQ(list->Root()->children.size(), 1u);
    EXPECT_EQ(list->Root()->children[0], b);
    EXPECT_EQ(IndexOf(b), 0);

    EXPECT_FALSE(list->RemoveNode(nullptr));
    EXPECT_FALSE(list->RemoveNode(list->Root()));

    auto* label = new CLabelUI();
    EXPECT_FALSE(list->Add(label));
    EXPECT_FALSE(list->AddAt(label, 0));
    delete label;
    EXPECT_FALSE(list->RemoveAt(7));

    list->RemoveAll();
    EXPECT_EQ(list->GetCount(), 0);
    ScoreNode* root = list->Root();
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->children.empty());
    EXPECT_EQ(root->level, -1);
    EXPECT_TRUE(root->expanded && root->expandable);
    EXPECT_NE(list->AddNode(Folder(L"C"), nullptr), nullptr) << "the list keeps working after RemoveAll";
}

TEST_F(ScoreListTest, SelectionColoursInIconView) {
    list->displayMode = kScoreIconMode;
    list->rowWidth = list->pictureWidth = 167;
    list->rowHeight = list->pictureHeight = 120;
    ScoreNode* score = list->AddNode(Score(L"S"), nullptr);
    list->SetNodeExpanded(score, true);
    ScoreNode* page = list->AddNode(Page(L"1"), score);
    ASSERT_TRUE(score && page);
    EXPECT_EQ(page->row->GetFixedHeight(), 120);
    EXPECT_EQ(page->row->GetInset().bottom, 0);
    EXPECT_EQ(TitleOf(page), L"1");
    host.Update();

    EXPECT_TRUE(list->SelectItem(IndexOf(score)));
    EXPECT_EQ(list->GetListInfo()->hotBkColor, 0xFFF1F1F1u);
    EXPECT_EQ(list->GetListInfo()->selectedBkColor, 0xFFD8C3C0u);
    EXPECT_TRUE(list->SelectItem(IndexOf(page)));
    EXPECT_EQ(list->GetListInfo()->selectedBkColor, 0xFFF9F6F0u);
    EXPECT_EQ(list->GetListInfo()->hotBkColor, 0xFFF9F6F0u);
    EXPECT_FALSE(list->SelectItem(-1));
    EXPECT_EQ(list->GetCurSel(), -1);
}

class ScoreListWheelTest : public ScoreListTest {
protected:
    void SetUp() override {
        ScoreListTest::SetUp();
        for (int i = 0; i < 40; ++i) list->AddNode(Folder(L"F"), nullptr);
        host.Update();
        EXPECT_GT(list->GetScrollRange().cy, 400);
        list->SetScrollPos(SIZE{0, 300});
    }
    // One tick of the wheel animation, as the window manager delivers it.
    int Tick() {
        int before = list->GetScrollPos().cy;
        UIEvent e;
        e.kind = UIEVENT_TIMER;
        e.sender = list;
        e.wParam = kWheelTimerId;
        list->HandleEvent(e);
        return list->GetScrollPos().cy - before;
    }
    POINT Inside() { return POINT{100, 100}; }
};

TEST_F(ScoreListWheelTest, OneNotchDownEasesOutOverSixTicks) {
    host.Wheel(Inside(), true);
    EXPECT_EQ(list->WheelSpeed(), -8);
    EXPECT_EQ(list->WheelStepsTotal(), 10);
    std::vector<int> moves;
    for (int i = 0; i < 6; ++i) moves.push_back(Tick());
    EXPECT_EQ(moves, (std::vector<int>{6, 5, 3, 2, 2, 1}));
    EXPECT_EQ(Tick(), 0);
    EXPECT_EQ(list->WheelSpeed(), 0);
    EXPECT_EQ(list->WheelStepsLeft(), 0);
    EXPECT_EQ(list->WheelStepsTotal(), 0);
    EXPECT_EQ(list->GetScrollPos().cy, 319);
}

TEST_F(ScoreListWheelTest, ReversingAddsTwelveAndSpeedIsClamped) {
    host.Wheel(Inside(), true);
    Tick();
    Tick();  // 8 steps of 10 left: the remaining speed is -8 x 0.64 = -5
    host.Wheel(Inside(), false);
    EXPECT_EQ(list->WheelSpeed(), 7);
    EXPECT_EQ(list->WheelStepsTotal(), 10);
    EXPECT_GT(Tick(), -1000);
    EXPECT_LT(list->GetScrollPos().cy, 311) << "the view now moves up";

    for (int i = 0; i < 30; ++i) host.Wheel(Inside(), false);
    EXPECT_EQ(list->WheelSpeed(), 100);
    EXPECT_EQ(list->WheelStepsTotal(), 50);
}

TEST_F(ScoreListWheelTest, TheAnimationStopsAtTheTop) {
    list->SetScrollPos(SIZE{0, 4});
    host.Wheel(Inside(), false);
    int ticks = 0;
    while (list->WheelStepsTotal() != 0 && ticks < 20) {
        Tick();
        ++ticks;
    }
    EXPECT_EQ(list->GetScrollPos().cy, 0);
    EXPECT_LT(ticks, 10) << "reaching the top ends the animation early";
}

TEST_F(ScoreListTest, PageViewFollowsTheDraggingHand) {
    list->displayMode = kScorePageMode;
    list->rowWidth = 900;
    list->rowHeight = 700;
    list->pictureWidth = 900;
    list->pictureHeight = 700;
    ScoreNode* node = list->AddNode(Score(L"Score"), nullptr);
    ASSERT_NE(node, nullptr);
    EXPECT_FALSE(node->row->IsMouseEnabled());
    host.Update();
    // The toolkit's vertical layout scrolls its rows up and down only, so
    // the hand drags the page vertically here.
    SIZE range = list->GetScrollRange();
    EXPECT_GT(range.cy, 300);
    list->SetScrollPos(SIZE{0, 50});

    auto dragStep = [&] {
        UIEvent e;
        e.kind = UIEVENT_TIMER;
        e.sender = list;
        e.wParam = kDragTimerId;
        list->HandleEvent(e);
    };
    host.Send(WM_MOUSEMOVE, 0, POINT{150, 150});
    host.Send(WM_LBUTTONDOWN, MK_LBUTTON, POINT{150, 150});
    EXPECT_TRUE(list->IsDragging());
    host.Send(WM_MOUSEMOVE, MK_LBUTTON, POINT{150, 110});
    dragStep();
    EXPECT_EQ(list->GetScrollPos().cy, 90) << "40 pixels up moves the page 40 pixels up";

    // Down past the top of the page: clamped at the start of the range.
    list->SetScrollPos(SIZE{0, 10});
    host.Send(WM_MOUSEMOVE, MK_LBUTTON, POINT{150, 190});
    dragStep();
    EXPECT_EQ(list->GetScrollPos().cy, 0);
    host.Send(WM_LBUTTONUP, 0, POINT{150, 190});
    EXPECT_FALSE(list->IsDragging());

    // Without the button the move only shows the hover cursor.
    host.Send(WM_MOUSEMOVE, 0, POINT{100, 100});
    dragStep();
    EXPECT_EQ(list->GetScrollPos().cy, 0);
}

// An engine score that writes down what rows ask of it, as "P2@1.5" for a
// Prepare of mode 2 at 1.5, "S" for a page size, "D2" for a Draw of mode 2.
struct RecordingScore : IScore {
    std::wstring calls;
    IScoreOps table = {};
    RecordingScore() {
        ops = &table;
        table.Prepare = [](IScore* s, HDC, int mode, float scale, POINT*) {
            wchar_t text[32];
            swprintf(text, 32, L"P%d@%g ", mode, scale);
            Of(s)->calls += text;
        };
        table.GetPageSize = [](IScore* s, SIZE* size) {
            Of(s)->calls += L"S ";
            *size = SIZE{334, 500};
        };
        table.Draw = [](IScore* s, HDC, int mode, RECT*, int) { Of(s)->calls += L"D" + std::to_wstring(mode) + L" "; };
    }
    static RecordingScore* Of(IScore* s) { return static_cast<RecordingScore*>(s); }
};

// The page view and the thumbnails prepare the engine at the zoom the owner
// lends the list, and the owner draws over a painted page ("O", the count-in).
TEST_F(ScoreListTest, PagesArePreparedAtTheOwnersZoomAndTheOwnerDrawsOverThem) {
    struct Case {
        const char* what;
        int mode;
        bool lent;  // zoom and the drawing over the page set by the owner
        std::wstring paint;  // what one paint of the row asks of the engine
    };
    const Case cases[] = {
        {"page view", kScorePageMode, true, L"P2@1.5 S P2@1.5 D2 O "},
        {"page view, nothing lent", kScorePageMode, false, L"P2@1 S P2@1 D2 "},
        // A thumbnail is measured at the zoom, then drawn 167 pixels wide.
        {"thumbnail", kScoreIconMode, true, L"P1@1.5 S P1@0.5 D1 "},
        {"thumbnail, nothing lent", kScoreIconMode, false, L"P1@1 S P1@0.5 D1 "},
    };
    for (const Case& c : cases) {
        RecordingScore score;
        list->SetScore(&score, c.mode);
        list->zoom = nullptr;
        list->paintOverPage = nullptr;
        if (c.lent) {
            list->zoom = [] { return 1.5f; };
            list->paintOverPage = [&score](HDC) { score.calls += L"O "; };
        }
        list->rowWidth = list->pictureWidth = 167;
        list->rowHeight = list->pictureHeight = 100;
        ScoreNode* node = list->AddNode(Score(L"Score"), nullptr);
        if (c.mode == kScoreIconMode) {
            list->SetNodeExpanded(node, true);
            list->AddNode(Page(L"Page 1"), node);
        }
        score.calls.clear();
        host.Update();
        EXPECT_EQ(score.calls, c.paint) << c.what;
        list->RemoveAll();
        list->SetScore(nullptr, kScoreListMode);
    }
}

TEST_F(ScoreListTest, BrokenRowMarkupAddsNothing) {
    CSkinSettings::SetResourcePath(L"Z:\\no\\such\\skin\\");
    ListHost other;
    ASSERT_TRUE(other.Open(kMarkup, 200, 100));
    CScoreListUI* empty = other.List(L"list");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->AddNode(Folder(L"A"), nullptr), nullptr);
    EXPECT_EQ(empty->GetCount(), 0);
    EXPECT_TRUE(empty->Root()->children.empty());
}

}  // namespace

namespace {

COLORREF Pixel(HWND wnd, int x, int y) {
    HDC dc = GetDC(wnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

bool Greenish(COLORREF c) { return GetGValue(c) > GetRValue(c) + 6; }

TEST_F(ScoreListTest, SelectedRowsShowTheirSliceOfTheSelectionImage) {
    ScoreNode* folder = list->AddNode(Folder(L"Folder"), nullptr);
    list->SetNodeExpanded(folder, true);
    ScoreNode* score = list->AddNode(Score(L"Score"), folder);
    list->SetNodeExpanded(score, true);
    ScoreNode* page = list->AddNode(Page(L"Page"), score);
    ASSERT_TRUE(folder && score && page);
    host.Update();
    const RECT folderRc = folder->row->GetPosition();
    const RECT pageRc = page->row->GetPosition();
    int folderMid = (folderRc.top + folderRc.bottom) / 2, pageMid = (pageRc.top + pageRc.bottom) / 2;
    // Looked at right of the titles, which start at the rows' left.
    const int folderX = folderRc.right - 12, pageX = pageRc.right - 12;
    // Unselected rows show the list's warm background.
    EXPECT_FALSE(Greenish(Pixel(host.GetHWND(), folderX, folderMid)));
    EXPECT_FALSE(Greenish(Pixel(host.GetHWND(), pageX, pageMid)));

    EXPECT_TRUE(list->SelectItem(list->GetItemIndex(folder->row)));
    host.Update();
    EXPECT_TRUE(Greenish(Pixel(host.GetHWND(), folderX, folderMid))) << std::hex << Pixel(host.GetHWND(), folderX, folderMid);

    EXPECT_TRUE(list->SelectItem(list->GetItemIndex(page->row)));
    host.Update();
    EXPECT_FALSE(Greenish(Pixel(host.GetHWND(), folderX, folderMid))) << "the folder is no longer selected";
    EXPECT_TRUE(Greenish(Pixel(host.GetHWND(), pageX, pageMid)));
    // The page slice keeps three pixels clear at the row's left edge.
    EXPECT_FALSE(Greenish(Pixel(host.GetHWND(), pageRc.left + 1, pageMid)));
}

}  // namespace
