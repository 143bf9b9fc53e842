// Sliders and options in a real window driven by mouse messages.
#include <gtest/gtest.h>

#include "tests/uikit/controls/test_window.h"
#include "uikit/controls/button_option.h"
#include "uikit/controls/progress_slider.h"

using namespace UiKit;
using controls_test::TestWindow;

namespace {

const wchar_t kSliders[] =
    L"<Window size=\"400,300\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<Slider name=\"h\" float=\"true\" pos=\"10,10,230,30\" min=\"0\" max=\"100\" thumbsize=\"20,20\" step=\"5\"/>"
    L"<Slider name=\"v\" float=\"true\" pos=\"300,10,320,210\" hor=\"false\" min=\"0\" max=\"100\" thumbsize=\"20,20\"/>"
    L"<Slider name=\"flat\" float=\"true\" pos=\"10,60,230,80\" min=\"5\" max=\"5\" thumbsize=\"20,20\"/>"
    L"</VerticalLayout></Window>";

// Presses on the slider's middle and releases at x.
int ReleaseAt(TestWindow& w, CSliderUI* s, int x) {
    w.LeftDown(w.Center(s));
    w.LeftUp(POINT{x, w.Center(s).y});
    return s->GetValue();
}

}  // namespace

TEST(Slider, ReleaseGivesTheValueOfTheMousePosition) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kSliders, 50, 50, 400, 300));
    auto* s = w.Find<CSliderUI>(L"h");
    ASSERT_NE(s, nullptr);
    const int L = 10, R = 230;
    EXPECT_EQ(ReleaseAt(w, s, L + 110), 50);
    EXPECT_EQ(ReleaseAt(w, s, L + 10), 0);
    EXPECT_EQ(ReleaseAt(w, s, R - 10), 100);
    EXPECT_EQ(ReleaseAt(w, s, L + 60), 25);
    EXPECT_EQ(ReleaseAt(w, s, L - 30), 0);
    EXPECT_EQ(ReleaseAt(w, s, R + 30), 100);
    EXPECT_EQ(ReleaseAt(w, s, L + 11), 0);   // (11 - 10) * 100 / 200 rounds down
    EXPECT_EQ(ReleaseAt(w, s, R - 11), 99);
    // Every release reported the new value.
    EXPECT_EQ(w.Of(L"valuechanged").size(), 8u);
}

TEST(Slider, ThumbFollowsTheValueAndTheDrag) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kSliders, 50, 50, 400, 300));
    auto* s = w.Find<CSliderUI>(L"h");
    ASSERT_NE(s, nullptr);
    s->SetValue(50);
    RECT thumb = s->GetThumbRect();
    EXPECT_EQ(thumb.left, 10 + 200 * 50 / 100);
    EXPECT_EQ(thumb.right - thumb.left, 20);
    EXPECT_EQ(thumb.top, (10 + 30 - 20) / 2);
    // Dragging the thumb reports every move.
    w.LeftDown(POINT{thumb.left + 10, 20});
    EXPECT_TRUE(s->IsDragging());
    w.MouseMove(POINT{10 + 160, 20});
    EXPECT_EQ(s->GetValue(), 75);
    w.MouseMove(POINT{400, 20});
    EXPECT_EQ(s->GetValue(), 100);
    w.LeftUp(POINT{400, 20});
    EXPECT_FALSE(s->IsDragging());
    EXPECT_EQ(w.Of(L"valuechanged").size(), 3u);
    // A move without a press on the thumb changes nothing.
    w.MouseMove(POINT{50, 20});
    EXPECT_EQ(s->GetValue(), 100);
}

TEST(Slider, WheelStepsWithinTheRange) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kSliders, 50, 50, 400, 300));
    auto* s = w.Find<CSliderUI>(L"h");
    ASSERT_NE(s, nullptr);
    s->SetValue(50);
    w.Wheel(w.Center(s), false);
    EXPECT_EQ(s->GetValue(), 55);
    w.Wheel(w.Center(s), true);
    w.Wheel(w.Center(s), true);
    EXPECT_EQ(s->GetValue(), 45);
    s->SetValue(98);
    w.Wheel(w.Center(s), false);
    EXPECT_EQ(s->GetValue(), 100);
    EXPECT_EQ(w.Of(L"valuechanged").size(), 4u);
}

TEST(Slider, VerticalMeasuresFromTheBottom) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kSliders, 50, 50, 400, 300));
    auto* v = w.Find<CSliderUI>(L"v");
    ASSERT_NE(v, nullptr);
    POINT c = w.Center(v);
    w.LeftDown(c);
    w.LeftUp(POINT{c.x, 210 - 10});
    EXPECT_EQ(v->GetValue(), 0);
    w.LeftDown(c);
    w.LeftUp(POINT{c.x, 10 + 10});
    EXPECT_EQ(v->GetValue(), 100);
    w.LeftDown(c);
    w.LeftUp(POINT{c.x, 110});
    EXPECT_EQ(v->GetValue(), 50);
    RECT thumb = v->GetThumbRect();
    EXPECT_EQ(thumb.bottom, 210 - (210 - 10 - 20) * 50 / 100);
    EXPECT_EQ(thumb.left, 300);
}

TEST(Slider, EmptyRangeStaysAtItsOnlyValue) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kSliders, 50, 50, 400, 300));
    auto* s = w.Find<CSliderUI>(L"flat");
    ASSERT_NE(s, nullptr);
    w.LeftDown(w.Center(s));
    w.LeftUp(POINT{200, w.Center(s).y});
    EXPECT_EQ(s->GetValue(), 5);
    EXPECT_EQ(s->GetThumbRect().left, 10);
    w.Wheel(w.Center(s), false);
    EXPECT_EQ(s->GetValue(), 5);
    w.Update();  // painting an empty range divides nothing by zero
}

namespace {

const wchar_t kOptions[] =
    L"<Window><HorizontalLayout bkcolor=\"#FFFFFFFF\">"
    L"<Option name=\"a\" group=\"ScoreList\" selected=\"true\" width=\"80\" text=\"A\"/>"
    L"<Option name=\"b\" group=\"ScoreList\" width=\"80\" text=\"B\"/>"
    L"<Option name=\"c\" width=\"80\" text=\"C\"/>"
    L"<Button name=\"btn\" width=\"80\" text=\"Go\"/>"
    L"<Button name=\"off\" width=\"80\" text=\"Off\" enabled=\"false\"/>"
    L"</HorizontalLayout></Window>";

std::wstring Sequence(const std::vector<controls_test::Note>& notes) {
    std::wstring s;
    for (const auto& n : notes) s += n.type + L":" + n.sender + L" ";
    return s;
}

}  // namespace

TEST(Option, GroupClickSequence) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kOptions, 50, 50, 500, 40));
    auto* a = w.Find<COptionUI>(L"a");
    auto* b = w.Find<COptionUI>(L"b");
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_TRUE(w.Of(L"selectchanged").empty());  // markup selection is silent

    w.Click(w.Center(b));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"click:b selectchanged:b ");
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());

    w.notes.clear();
    w.Click(w.Center(b));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"click:b ");
    EXPECT_TRUE(b->IsSelected());

    w.notes.clear();
    w.Click(w.Center(a));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"click:a selectchanged:a ");
    EXPECT_FALSE(b->IsSelected());
}

TEST(Option, WithoutGroupTogglesAndReportsEachChange) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kOptions, 50, 50, 500, 40));
    auto* c = w.Find<COptionUI>(L"c");
    ASSERT_NE(c, nullptr);
    w.Click(w.Center(c));
    EXPECT_TRUE(c->IsSelected());
    w.Click(w.Center(c));
    EXPECT_FALSE(c->IsSelected());
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"click:c selectchanged:c click:c selectchanged:c ");
}

TEST(Button, ClickOnlyWhenReleasedOverItAndEnabled) {
    TestWindow w;
    ASSERT_TRUE(w.Open(kOptions, 50, 50, 500, 40));
    auto* btn = w.Find<CButtonUI>(L"btn");
    auto* off = w.Find<CButtonUI>(L"off");
    ASSERT_TRUE(btn && off);
    w.LeftDown(w.Center(btn));
    EXPECT_TRUE(btn->IsPushed());
    w.MouseMove(POINT{5, 5});
    EXPECT_FALSE(btn->IsPushed());
    w.LeftUp(POINT{5, 5});
    EXPECT_TRUE(w.Of(L"click").empty());
    w.Click(w.Center(off));
    EXPECT_TRUE(w.Of(L"click").empty());
    w.Click(w.Center(btn));
    EXPECT_EQ(Sequence(w.Of(nullptr)), L"click:btn ");
    EXPECT_TRUE(btn->IsHandCursor());
    EXPECT_TRUE(btn->GetControlFlags() & UIFLAG_SETCURSOR);
}
