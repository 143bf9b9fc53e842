// Layouts of a real window built from markup: paddings inside the rectangle,
// the split of what is left, fixed sizes from "pos", floating children.
#include <gtest/gtest.h>

#include "tests/uikit/core/ui_test_window.h"
#include "uikit/core/layouts.h"
#include "uikit/core/scrollbar.h"

using namespace UiKit;
using uikit_test::TestWindow;

namespace {

::testing::AssertionResult Is(const RECT& r, long l, long t, long rr, long b) {
    if (r.left == l && r.top == t && r.right == rr && r.bottom == b) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom
                                         << "} instead of {" << l << "," << t << "," << rr << "," << b << "}";
}

const wchar_t kLayout[] =
    L"<Window size=\"400,300\"><VerticalLayout name=\"root\" childpadding=\"3\">"
    L"<Control name=\"a\" height=\"31\" padding=\"2,4,6,5\"/>"
    L"<Control name=\"b\" height=\"20\"/>"
    L"<HorizontalLayout name=\"h\" height=\"60\">"
    L"  <Control name=\"c\" width=\"50\" height=\"31\" padding=\"0,4,7,5\"/>"
    L"  <Control name=\"btn\" pos=\"0,0,41,38\"/><Control name=\"d\"/></HorizontalLayout>"
    L"<VerticalLayout name=\"split\" height=\"101\"><Control name=\"s1\"/><Control name=\"s2\"/></VerticalLayout>"
    L"<Control name=\"rest\"/>"
    L"<Control name=\"fl\" float=\"true\" pos=\"-30,10,-10,30\"/>"
    L"<Control name=\"fr\" float=\"true\" pos=\"5,6,25,16\"/>"
    L"</VerticalLayout></Window>";

TEST(Layout, VerticalAndHorizontalTwoPassRules) {
    TestWindow w(kLayout);
    ASSERT_TRUE(w.Open());
    EXPECT_TRUE(w.built);
    EXPECT_TRUE(Is(w.Rect(L"root"), 0, 0, 400, 300));
    // Padding top 4, bottom 5, height 31: y+4 to y+40, the far padding inside.
    EXPECT_TRUE(Is(w.Rect(L"a"), 2, 4, 394, 40));
    EXPECT_TRUE(Is(w.Rect(L"b"), 0, 43, 400, 63));
    EXPECT_TRUE(Is(w.Rect(L"h"), 0, 66, 400, 126));
    // In a horizontal layout the same child is 31 high; the right padding lies inside.
    EXPECT_TRUE(Is(w.Rect(L"c"), 0, 70, 57, 101));
    // pos sets the size of a control that does not float.
    EXPECT_TRUE(Is(w.Rect(L"btn"), 57, 66, 98, 104));
    EXPECT_TRUE(Is(w.Rect(L"d"), 98, 66, 400, 126));
    // 101 pixels for two adjustable children: 50 and the remaining 51.
    EXPECT_TRUE(Is(w.Rect(L"s1"), 0, 129, 400, 179));
    EXPECT_TRUE(Is(w.Rect(L"s2"), 0, 179, 400, 230));
    EXPECT_TRUE(Is(w.Rect(L"rest"), 0, 233, 400, 300));
    // Floating: a negative x places the right edge from the container's right.
    EXPECT_TRUE(Is(w.Rect(L"fl"), 370, 10, 390, 30));
    EXPECT_TRUE(Is(w.Rect(L"fr"), 5, 6, 25, 16));
}

TEST(Layout, ResizeRelaysOutAndLimitsApply) {
    TestWindow w(L"<Window><HorizontalLayout name=\"root\" inset=\"10,20,30,40\">"
                 L"<Control name=\"min\" minwidth=\"100\"/><Control name=\"max\" maxwidth=\"60\"/>"
                 L"<Control name=\"hidden\" visible=\"FALSE\" width=\"50\"/>"
                 L"<Control name=\"rel\" float=\"true\" pos=\"10,10,20,20\" relativepos=\"50,100,0,0\"/>"
                 L"</HorizontalLayout></Window>");
    ASSERT_TRUE(w.Open());
    EXPECT_FALSE(w.Find(L"hidden")->IsVisible());
    // 360 wide inside the inset: 180 each, the second clamped to 60.
    EXPECT_TRUE(Is(w.Rect(L"min"), 10, 20, 190, 260));
    EXPECT_TRUE(Is(w.Rect(L"max"), 190, 20, 250, 260));
    EXPECT_TRUE(Is(w.Rect(L"rel"), 10, 10, 20, 20));
    SetWindowPos(w.GetHWND(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    w.Paint();
    // 160 wide: the first is held at its minimum of 100, the last gets what remains.
    EXPECT_TRUE(Is(w.Rect(L"min"), 10, 20, 110, 60));
    EXPECT_TRUE(Is(w.Rect(L"max"), 110, 20, 170, 60));
    // Moved by half of -200 across and all of -200 down.
    EXPECT_TRUE(Is(w.Rect(L"rel"), -90, -190, -80, -180));
}

TEST(Layout, ScrollBarShowsWhenChildrenOverflow) {
    TestWindow w(L"<Window><VerticalLayout name=\"list\" vscrollbar=\"true\" mousechild=\"false\">"
                 L"<Control name=\"i0\" height=\"100\"/><Control name=\"i1\" height=\"100\"/>"
                 L"<Control name=\"i2\" height=\"100\"/><Control name=\"i3\" height=\"100\"/>"
                 L"</VerticalLayout></Window>");
    ASSERT_TRUE(w.Open());
    auto* list = static_cast<CContainerUI*>(w.Find(L"list"));
    ASSERT_NE(nullptr, list->GetVerticalScrollBar());
    EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(100, list->GetScrollRange().cy);
    EXPECT_EQ(384, w.Rect(L"i0").right);  // the bar takes 16 pixels
    HWND h = w.GetHWND();
    uikit_test::SendMouse(h, WM_LBUTTONDOWN, 50, 50);
    uikit_test::SendMouse(h, WM_LBUTTONUP, 50, 50);
    EXPECT_EQ(list, w.Manager().GetFocus());
    int line = w.Manager().GetDefaultFontInfo()->tm.tmHeight + 8;
    uikit_test::SendKey(h, WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(line, list->GetScrollPos().cy);
    EXPECT_EQ(-line, w.Rect(L"i0").top);
    uikit_test::SendKey(h, WM_KEYDOWN, VK_END);
    EXPECT_EQ(100, list->GetScrollPos().cy);
    uikit_test::SendKey(h, WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(0, list->GetScrollPos().cy);
    // Wheel towards the user: one line down.
    uikit_test::SendMouse(h, WM_MOUSEWHEEL, 50, 50, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)));
    EXPECT_EQ(line, list->GetScrollPos().cy);
    uikit_test::SendMouse(h, WM_MOUSEWHEEL, 50, 50, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_EQ(0, list->GetScrollPos().cy);

    // Dragging the thumb down its whole travel reaches the end of the range;
    // the upper button scrolls back by the bar's line size.
    CScrollBarUI* bar = list->GetVerticalScrollBar();
    RECT thumb = bar->GetThumbRect();
    int x = (thumb.left + thumb.right) / 2, y = (thumb.top + thumb.bottom) / 2;
    uikit_test::SendMouse(h, WM_LBUTTONDOWN, x, y);
    uikit_test::SendMouse(h, WM_MOUSEMOVE, x, y + 400);
    uikit_test::SendMouse(h, WM_LBUTTONUP, x, y + 400);
    EXPECT_EQ(100, list->GetScrollPos().cy);
    uikit_test::SendMouse(h, WM_LBUTTONDOWN, x, bar->GetButton1Rect().top + 2);
    uikit_test::SendMouse(h, WM_LBUTTONUP, x, bar->GetButton1Rect().top + 2);
    EXPECT_EQ(100 - bar->GetLineSize(), list->GetScrollPos().cy);
}

// What of a control its layout lets be seen: cut by each parent's inner
// rectangle (a floating child by the parent's whole rectangle), but not by a
// scrolling parent, which only moves a window over its content.
TEST(Layout, VisibleRectIsCutByParentsUpToAScrollingOne) {
    TestWindow w(L"<Window size=\"400,300\"><VerticalLayout name=\"list\" vscrollbar=\"true\">"
                 L"<HorizontalLayout name=\"row\" height=\"25\" inset=\"10,5,0,4\">"
                 L"  <VerticalLayout inset=\"0,2,0,2\"><Control name=\"title\" width=\"500\" height=\"25\"/>"
                 L"  <Control name=\"badge\" float=\"true\" pos=\"0,0,20,40\"/></VerticalLayout>"
                 L"</HorizontalLayout>"
                 L"<Control name=\"tall\" height=\"600\"/></VerticalLayout></Window>");
    ASSERT_TRUE(w.Open());
    RECT row = w.Rect(L"row");
    EXPECT_TRUE(Is(w.Find(L"title")->VisibleRect(), row.left + 10, row.top + 7, row.right, row.bottom - 6));
    // The floating badge is cut by its parent's whole rectangle only.
    RECT inner = {row.left + 10, row.top + 5, row.right, row.bottom - 4};
    RECT badge = w.Rect(L"badge"), expected;
    IntersectRect(&expected, &badge, &inner);
    EXPECT_TRUE(Is(w.Find(L"badge")->VisibleRect(), expected.left, expected.top, expected.right, expected.bottom));
    // Scrolled half out of the list, the title keeps the same visible rectangle
    // relative to its row: the list's edge is no part of its layout.
    auto* list = static_cast<CContainerUI*>(w.Find(L"list"));
    list->SetScrollPos(SIZE{0, 12});
    w.Paint();
    row = w.Rect(L"row");
    EXPECT_EQ(-12, row.top);
    EXPECT_TRUE(Is(w.Find(L"title")->VisibleRect(), row.left + 10, row.top + 7, row.right, row.bottom - 6));
}

// A vertical layout reports its widest child, so that a horizontal bar
// reaches a child wider than the view (and a horizontal layout its tallest).
TEST(Layout, TheWidestAndTallestChildGiveTheCrossScrollRange) {
    struct Case {
        const wchar_t* markup;
        SIZE range;
    } cases[] = {
        {L"<Window size=\"400,300\"><VerticalLayout name=\"box\" hscrollbar=\"true\">"
         L"<Control width=\"650\" height=\"50\" padding=\"10,0,20,0\"/><Control height=\"50\"/></VerticalLayout></Window>",
         SIZE{680 - 400, 0}},
        {L"<Window size=\"400,300\"><HorizontalLayout name=\"box\" vscrollbar=\"true\">"
         L"<Control width=\"50\" height=\"500\"/><Control width=\"50\"/></HorizontalLayout></Window>",
         SIZE{0, 500 - 300}},
        // Children that take the view's size need no bar.
        {L"<Window size=\"400,300\"><VerticalLayout name=\"box\" hscrollbar=\"true\"><Control/></VerticalLayout></Window>",
         SIZE{0, 0}},
    };
    for (const Case& c : cases) {
        TestWindow w(c.markup);
        ASSERT_TRUE(w.Open());
        auto* box = static_cast<CContainerUI*>(w.Find(L"box"));
        SIZE range = box->GetScrollRange();
        EXPECT_EQ(range.cx, c.range.cx);
        EXPECT_EQ(range.cy, c.range.cy);
        if (c.range.cx == 0) continue;
        // Scrolled to the end, the wide child's right edge meets the view's.
        box->SetScrollPos(SIZE{range.cx, 0});
        w.Paint();
        EXPECT_EQ(box->GetItemAt(0)->GetPosition().right + 20, 400);
    }
}

}  // namespace
