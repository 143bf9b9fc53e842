// Labels and text with links, and scroll bars with and without an owner.
#include <gtest/gtest.h>

#include "tests/uikit/controls/test_window.h"
#include "uikit/controls/label_text.h"
#include "uikit/controls/list.h"
#include "uikit/core/scrollbar.h"

using namespace UiKit;
using controls_test::TestWindow;

TEST(Text, ClickOnALinkReportsItsNumber) {
    TestWindow w;
    ASSERT_TRUE(w.Open(L"<Window><VerticalLayout>"
                       L"<Text name=\"t\" showhtml=\"true\" height=\"30\" text=\"go {a first}here{/a} or {a second}there{/a}\"/>"
                       L"<Label name=\"plain\" text=\"{b}shown as is\"/>"
                       L"<Label name=\"fixed\" text=\"x\" height=\"33\"/>"
                       L"</VerticalLayout></Window>",
                       50, 50, 300, 120));
    auto* t = w.Find<CTextUI>(L"t");
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->Links().size(), 2u);
    EXPECT_EQ(t->GetControlFlags() & UIFLAG_SETCURSOR, static_cast<UINT>(UIFLAG_SETCURSOR));
    const RECT second = t->Links()[1].rect;
    w.Click(POINT{(second.left + second.right) / 2, (second.top + second.bottom) / 2});
    ASSERT_EQ(w.Of(L"link").size(), 1u);
    EXPECT_EQ(w.Of(L"link")[0].wParam, 1u);
    EXPECT_EQ(w.Of(L"link")[0].sender, L"t");
    // Between the links nothing happens.
    w.Click(POINT{t->Links()[0].rect.right + 3, (second.top + second.bottom) / 2});
    EXPECT_EQ(w.Of(L"link").size(), 1u);

    // A label without a height wants its font's height plus 4.
    auto* plain = w.Find<CLabelUI>(L"plain");
    ASSERT_NE(plain, nullptr);
    UIFontInfo* font = w.Manager().GetDefaultFontInfo();
    EXPECT_EQ(plain->GetHeight(), font->tm.tmHeight + 4);
    EXPECT_EQ(w.Find<CLabelUI>(L"fixed")->GetHeight(), 33);
}

TEST(ScrollBar, WithoutOwnerItReportsScroll) {
    TestWindow w;
    ASSERT_TRUE(w.Open(L"<Window><VerticalLayout><ScrollBar name=\"sb\" float=\"true\" pos=\"10,10,26,210\" "
                       L"range=\"100\" linesize=\"10\"/></VerticalLayout></Window>",
                       50, 50, 200, 230));
    auto* sb = w.Find<CScrollBarUI>(L"sb");
    ASSERT_NE(sb, nullptr);
    RECT b2 = sb->GetButton2Rect();
    EXPECT_FALSE(IsRectEmpty(&b2));
    w.Click(POINT{(b2.left + b2.right) / 2, (b2.top + b2.bottom) / 2});
    EXPECT_EQ(sb->GetScrollPos(), 10);
    EXPECT_EQ(w.Of(L"scroll").size(), 1u);
    RECT b1 = sb->GetButton1Rect();
    w.Click(POINT{(b1.left + b1.right) / 2, (b1.top + b1.bottom) / 2});
    w.Click(POINT{(b1.left + b1.right) / 2, (b1.top + b1.bottom) / 2});  // already at the top: no report
    EXPECT_EQ(sb->GetScrollPos(), 0);
    EXPECT_EQ(w.Of(L"scroll").size(), 2u);
}

TEST(ScrollBar, OfAListScrollsItsBodyByTheLineSize) {
    std::wstring markup = L"<Window><VerticalLayout><List name=\"list\" vscrollbar=\"true\" "
                          L"vscrollbarstyle=\"linesize=&quot;15&quot;\">";
    for (int i = 0; i < 30; ++i) markup += L"<ListLabelElement text=\"row\" height=\"20\"/>";
    markup += L"</List></VerticalLayout></Window>";
    TestWindow w;
    ASSERT_TRUE(w.Open(markup.c_str(), 50, 50, 200, 200));
    auto* list = w.Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    CScrollBarUI* bar = list->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetOwner(), list->GetBody());
    EXPECT_EQ(bar->GetLineSize(), 15);
    EXPECT_EQ(bar->GetScrollRange(), 30 * 20 - 200);
    RECT b2 = bar->GetButton2Rect();
    w.Click(POINT{(b2.left + b2.right) / 2, (b2.top + b2.bottom) / 2});
    EXPECT_EQ(list->GetScrollPos().cy, 15);
    EXPECT_EQ(list->GetItemAt(0)->GetPosition().top, -15);
    EXPECT_TRUE(w.Of(L"scroll").empty());
    // The wheel over the rows scrolls the body as well.
    w.Wheel(POINT{50, 100}, true);
    EXPECT_GT(list->GetScrollPos().cy, 15);
}
