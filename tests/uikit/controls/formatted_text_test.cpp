// The formatted-text parser on crafted and random input, the align word
// rules, and the layout of formatted text measured on a memory DC.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>

#include "abi/dib_section.h"
#include "uikit/controls/formatted_text.h"
#include "uikit/controls/text_render.h"
#include "uikit/core/window_manager.h"

using namespace UiKit;

namespace {

std::wstring Describe(const std::vector<FormattedToken>& tokens) {
    std::wstring out;
    for (const FormattedToken& t : tokens) {
        if (t.kind == FormattedToken::kText) out += L"T(" + t.text + L")";
        else if (t.kind == FormattedToken::kOpen) out += std::wstring(L"O(") + t.tag + (t.text.empty() ? L"" : L":" + t.text) + L")";
        else out += std::wstring(L"C(") + (t.tag ? t.tag : L'?') + L")";
    }
    return out;
}

std::wstring Parse(const wchar_t* s) { return Describe(ParseFormattedText(s)); }

}  // namespace

TEST(FormattedTextParse, BraceAndAngleTags) {
    EXPECT_EQ(Parse(L"{b}bold"), L"O(b)T(bold)");
    EXPECT_EQ(Parse(L"a<b>c</b>d"), L"T(a)O(b)T(c)C(b)T(d)");
    EXPECT_EQ(Parse(L"{c #FF0000}red{/c}"), L"O(c:#FF0000)T(red)C(c)");
    EXPECT_EQ(Parse(L"{a http://x/?q=1}go{/a}"), L"O(a:http://x/?q=1)T(go)C(a)");
    EXPECT_EQ(Parse(L"{i PNG_BTN_SEARCH.png}{/i}"), L"O(i:PNG_BTN_SEARCH.png)C(i)");
    EXPECT_EQ(Parse(L"x{n}y{p}z"), L"T(x)O(n)T(y)O(p)T(z)");
    // The closing tag swallows everything up to its end.
    EXPECT_EQ(Parse(L"{/bold stuff}after"), L"C(b)T(after)");
}

TEST(FormattedTextParse, WhatStaysPlainText) {
    // A brace followed by a digit is no tag.
    EXPECT_EQ(Parse(L"{1} and {20%}"), L"T({1} and {20%})");
    EXPECT_EQ(Parse(L"<html> {B} {ab} {b"), L"T(<html> {B} {ab} {b)");
    EXPECT_EQ(Parse(L"<{>b<}>"), L"T({b})");
    EXPECT_EQ(Parse(L"{"), L"T({)");
    EXPECT_EQ(Parse(L""), L"");
}

TEST(FormattedTextParse, RawRunsAndUnterminatedTags) {
    EXPECT_EQ(Parse(L"{r}{b}raw{/r}!"), L"T({b}raw!)");
    EXPECT_EQ(Parse(L"{r}no end {b}"), L"T(no end {b})");
    EXPECT_EQ(Parse(L"{c #FF0000"), L"O(c:#FF0000)");
    EXPECT_EQ(Parse(L"a{/"), L"T(a)C(?)");
}

TEST(FormattedTextParse, ImageTagArguments) {
    ImageTagArg a = ParseImageTagArg(L"PNG_X.png 3 1");
    EXPECT_EQ(a.image, L"PNG_X.png");
    EXPECT_EQ(a.frames, 3);
    EXPECT_EQ(a.frame, 1);
    a = ParseImageTagArg(L"file='a b.png' dest='0,0,4,4' 2 5");
    EXPECT_EQ(a.image, L"file='a b.png' dest='0,0,4,4'");
    EXPECT_EQ(a.frames, 2);
    EXPECT_EQ(a.frame, 0);  // a frame past the last falls back to the first
    a = ParseImageTagArg(L"7");
    EXPECT_EQ(a.image, L"7");
    EXPECT_EQ(a.frames, 1);
    a = ParseImageTagArg(L"x.png 0");
    EXPECT_EQ(a.frames, 1);
}

// Random input of the characters that matter must never crash, hang or
// invent text: the parser only ever drops characters.
TEST(FormattedTextParse, FuzzedInputKeepsItsInvariants) {
    const wchar_t alphabet[] = L"{}<>/ \tabcinprsuxyf019#=\n";
    const size_t n = sizeof(alphabet) / sizeof(alphabet[0]) - 1;
    std::mt19937 rng(12345);
    for (int round = 0; round < 100000; ++round) {
        std::wstring s(rng() % 48, L' ');
        for (wchar_t& c : s) c = alphabet[rng() % n];
        std::vector<FormattedToken> tokens = ParseFormattedText(s.c_str());
        size_t textChars = 0;
        for (size_t i = 0; i < tokens.size(); ++i) {
            const FormattedToken& t = tokens[i];
            if (t.kind == FormattedToken::kText) {
                ASSERT_FALSE(t.text.empty()) << "input " << round;
                ASSERT_FALSE(i > 0 && tokens[i - 1].kind == FormattedToken::kText) << "unmerged text, input " << round;
                textChars += t.text.size();
            } else if (t.kind == FormattedToken::kOpen) {
                ASSERT_TRUE(t.tag >= L'a' && t.tag <= L'z') << "input " << round;
            }
        }
        ASSERT_LE(textChars, s.size()) << "input " << round;
        if (s.find_first_of(L"{<") == std::wstring::npos) {
            ASSERT_EQ(tokens.size(), s.empty() ? 0u : 1u);
            if (!s.empty()) {
                ASSERT_EQ(tokens[0].text, s);
            }
        }
    }
}

TEST(TextStyle, AlignWordsInTheirFixedOrder) {
    EXPECT_EQ(ApplyAlignWords(DT_VCENTER, L"right top"), 0u);  // left and top
    EXPECT_EQ(ApplyAlignWords(DT_VCENTER, L"top right"), 0u);  // the order of the words does not matter
    EXPECT_EQ(ApplyAlignWords(DT_VCENTER, L"right"), static_cast<UINT>(DT_RIGHT | DT_VCENTER));
    EXPECT_EQ(ApplyAlignWords(DT_VCENTER, L"center"), static_cast<UINT>(DT_CENTER | DT_VCENTER));
    EXPECT_EQ(ApplyAlignWords(DT_CENTER | DT_VCENTER, L"left"), static_cast<UINT>(DT_VCENTER));
    EXPECT_EQ(ApplyAlignWords(DT_VCENTER, L"bottom"), static_cast<UINT>(DT_BOTTOM));
    EXPECT_EQ(ApplyAlignWords(DT_SINGLELINE, L"center bottom"), static_cast<UINT>(DT_SINGLELINE | DT_CENTER | DT_BOTTOM));
    EXPECT_EQ(ApplyEndEllipsis(0, L"true"), static_cast<UINT>(DT_END_ELLIPSIS));
    EXPECT_EQ(ApplyEndEllipsis(DT_END_ELLIPSIS, L"yes"), 0u);
}

class FormattedLayout : public ::testing::Test {
protected:
    void SetUp() override {
        dc_ = CreateCompatibleDC(nullptr);
        bmp_ = CreateCompatibleBitmap(GetDC(nullptr), 400, 200);
        old_ = SelectObject(dc_, bmp_);
    }
    void TearDown() override {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    SIZE Measure(const wchar_t* text, UINT style = DT_SINGLELINE, std::vector<TextLink>* links = nullptr,
                 RECT rc = RECT{0, 0, 400, 200}) {
        FormattedDrawParams p;
        p.style = style;
        p.measureOnly = true;
        return DrawFormattedText(dc_, nullptr, rc, text, p, links);
    }
    HDC dc_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

TEST_F(FormattedLayout, TagsAreNotShownAndBoldIsWider) {
    SIZE plain = Measure(L"abcdefmmmm");
    SIZE tagged = Measure(L"{b}{/b}abcdefmmmm");
    SIZE bold = Measure(L"{b}abcdefmmmm");
    EXPECT_EQ(tagged.cx, plain.cx);
    EXPECT_GT(bold.cx, plain.cx);
    EXPECT_EQ(Measure(L"{1}").cx, Measure(L"<{>1}").cx);
    EXPECT_GT(Measure(L"{b}First{/b} row", DT_SINGLELINE | DT_VCENTER).cx, Measure(L"First row").cx);
}

TEST_F(FormattedLayout, NewLinesParagraphsAndWrapping) {
    SIZE one = Measure(L"a");
    EXPECT_EQ(Measure(L"a{n}b").cy, 2 * one.cy);
    EXPECT_EQ(Measure(L"a{p 6}b").cy, 2 * one.cy + 6);
    EXPECT_EQ(Measure(L"{y 30}a{/y}").cy, 30);
    // Automatic wrapping only without DT_SINGLELINE.
    SIZE narrow = Measure(L"word word word word", 0, nullptr, RECT{0, 0, 40, 200});
    EXPECT_GE(narrow.cy, 3 * one.cy);
    EXPECT_EQ(Measure(L"word word word word", DT_SINGLELINE, nullptr, RECT{0, 0, 40, 200}).cy, one.cy);
    EXPECT_GT(Measure(L"a{x 25}b").cx, Measure(L"ab").cx + 20);
}

TEST_F(FormattedLayout, LinksAreNumberedWithTheirRectangles) {
    std::vector<TextLink> links;
    Measure(L"see {a first}here{/a} or {a second}there{/a}", DT_SINGLELINE, &links);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].number, 0);
    EXPECT_EQ(links[0].target, L"first");
    EXPECT_EQ(links[1].number, 1);
    EXPECT_EQ(links[1].target, L"second");
    EXPECT_GT(links[0].rect.left, 0);
    EXPECT_GT(links[1].rect.left, links[0].rect.right);
}

TEST_F(FormattedLayout, RandomTextDrawsWithoutTrouble) {
    const wchar_t alphabet[] = L"{}<>/ abcinprsuxyf019#\n";
    const size_t n = sizeof(alphabet) / sizeof(alphabet[0]) - 1;
    std::mt19937 rng(777);
    for (int round = 0; round < 3000; ++round) {
        std::wstring s(rng() % 40, L' ');
        for (wchar_t& c : s) c = alphabet[rng() % n];
        FormattedDrawParams p;
        p.style = (round & 1) ? DT_SINGLELINE : DT_VCENTER;
        SIZE size = DrawFormattedText(dc_, nullptr, RECT{0, 0, 60 + round % 100, 50}, s, p);
        ASSERT_GE(size.cx, 0);
        ASSERT_GE(size.cy, 0);
    }
}

// Where a line of formatted text lands, seen through the rectangle of a link
// that spans it, for each placement rule.
TEST_F(FormattedLayout, PlacementByStyleInTheRectangle) {
    const RECT box = {10, 20, 210, 60};  // 200 by 40
    std::vector<TextLink> links;
    Measure(L"{a t}Short{/a}", DT_SINGLELINE, &links, box);
    ASSERT_EQ(links.size(), 1u);
    const int w = links[0].rect.right - links[0].rect.left, h = links[0].rect.bottom - links[0].rect.top;
    struct Case {
        UINT style;
        int left, top;  // expected place of the line
    } cases[] = {
        {DT_SINGLELINE, 10, 20},
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 10 + (200 - w) / 2, 20 + (40 - h) / 2},
        {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 210 - w, 60 - h},
        // Text that may wrap is a paragraph: its lines start at the left,
        // whatever the horizontal words say; the block is still centred.
        {DT_CENTER | DT_VCENTER, 10, 20 + (40 - h) / 2},
        {DT_RIGHT | DT_VCENTER | DT_END_ELLIPSIS, 10, 20 + (40 - h) / 2},
    };
    for (const Case& c : cases) {
        Measure(L"{a t}Short{/a}", c.style, &links, box);
        ASSERT_EQ(links.size(), 1u);
        EXPECT_EQ(links[0].rect.left, c.left) << "style " << c.style;
        EXPECT_EQ(links[0].rect.top, c.top) << "style " << c.style;
    }
    // A block taller than the rectangle starts at its top.
    Measure(L"{a t}a{n}b{n}c{n}d{n}e{/a}", DT_VCENTER, &links, box);
    ASSERT_FALSE(links.empty());
    EXPECT_EQ(links[0].rect.top, 20);
}

TEST_F(FormattedLayout, AnEndEllipsisCutsALongLineInsteadOfWrappingIt) {
    const RECT narrow = {0, 0, 60, 100};
    const wchar_t* text = L"{b}Twinkle{/b} Twinkle Little Star";
    SIZE wrapped = Measure(text, 0, nullptr, narrow);
    SIZE cut = Measure(text, DT_END_ELLIPSIS, nullptr, narrow);
    SIZE one = Measure(L"T");
    EXPECT_GT(wrapped.cy, one.cy);
    EXPECT_EQ(cut.cy, one.cy);
    EXPECT_LE(cut.cx, 60);
    EXPECT_GT(cut.cx, 30);  // the line is cut, not dropped
    // A line that fits keeps its width; every line of several is cut alone.
    EXPECT_EQ(Measure(L"ab", DT_END_ELLIPSIS, nullptr, narrow).cx, Measure(L"ab").cx);
    SIZE two = Measure(L"Twinkle Twinkle Little Star{n}ab", DT_END_ELLIPSIS, nullptr, narrow);
    EXPECT_EQ(two.cy, 2 * one.cy);
    EXPECT_LE(two.cx, 60);
    // Links past the cut are gone; the one the cut falls in stays.
    std::vector<TextLink> links;
    Measure(L"{a one}Twinkle Twinkle{/a}{a two}Star{/a}", DT_END_ELLIPSIS, &links, narrow);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].target, L"one");
    EXPECT_LE(links[0].rect.right, 60);
}

// Texts are laid out once and drawn from the kept layout afterwards: what
// that draws must be what a fresh layout draws, pixel for pixel, wherever
// the rectangle moves.
TEST_F(FormattedLayout, KeptLayoutsDrawWhatFreshLayoutsDraw) {
    struct Case {
        const wchar_t* text;
        UINT style;
        int width;
        int hotLink;
    } cases[] = {
        {L"Plain words", DT_SINGLELINE | DT_VCENTER, 200, -1},
        {L"{b}Bold{/b} and {i}italic{/i} and {u}under{/u}", DT_SINGLELINE | DT_CENTER | DT_VCENTER, 260, -1},
        {L"see {a one}here{/a} or {a two}there{/a}", DT_SINGLELINE, 260, 1},
        {L"words that wrap over several lines of a narrow box", 0, 70, -1},
        {L"{c #FF3E8E89}Twinkle{/c} Twinkle Little Star", DT_END_ELLIPSIS | DT_VCENTER, 90, -1},
        {L"first{n}second{p 4}third", DT_VCENTER, 200, -1},
    };
    const int w = 300, h = 120;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bmp = CreateDib32(dc, w, h, &bits);
    ASSERT_NE(bmp, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    auto draw = [&](const Case& c, int x, int y) {
        memset(bits, 0xFF, static_cast<size_t>(w) * h * 4);
        FormattedDrawParams p;
        p.style = c.style;
        p.hotLink = c.hotLink;
        DrawFormattedText(dc, nullptr, RECT{x, y, x + c.width, y + 60}, c.text, p);
        GdiFlush();
        const DWORD* px = static_cast<const DWORD*>(bits);
        return std::vector<DWORD>(px, px + w * h);
    };
    for (const Case& c : cases) {
        SetTextLayoutCacheEnabled(false);
        std::vector<DWORD> fresh = draw(c, 10, 40), freshFirst = draw(c, 3, 5);
        SetTextLayoutCacheEnabled(true);
        std::vector<DWORD> first = draw(c, 3, 5), kept = draw(c, 10, 40);
        EXPECT_TRUE(first == freshFirst) << "laid out now: " << testing::PrintToString(std::wstring(c.text));
        EXPECT_TRUE(kept == fresh) << "kept and moved: " << testing::PrintToString(std::wstring(c.text));
        EXPECT_NE(std::count(kept.begin(), kept.end(), 0xFFFFFFFFu), w * h) << "something is drawn";
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

// A text is laid out again when what its layout depends on changes (the
// text, the width, its colours, the window's fonts) and at no other time.
TEST_F(FormattedLayout, TextsAreLaidOutOncePerChange) {
    CUIWindowManager manager;
    manager.Skin().AddFont(L"Tahoma", 12, false, false, false);
    FormattedDrawParams p;
    p.style = DT_SINGLELINE | DT_VCENTER;
    p.font = 0;
    p.measureOnly = true;
    auto made = [&](const wchar_t* text, RECT rc, DWORD color = 0xFF000000) {
        unsigned before = TextLayoutsMade();
        p.color = color;
        DrawFormattedText(dc_, &manager, rc, text, p);
        return TextLayoutsMade() - before;
    };
    const RECT rc = {0, 0, 200, 30}, moved = {40, 50, 240, 80}, wider = {0, 0, 260, 30};
    struct Step {
        const char* what;
        std::function<unsigned()> act;
        unsigned expected;
    } steps[] = {
        {"first drawing", [&] { return made(L"{b}Key{/b} C", rc); }, 1},
        {"drawn again", [&] { return made(L"{b}Key{/b} C", rc); }, 0},
        {"moved, same width", [&] { return made(L"{b}Key{/b} C", moved); }, 0},
        {"another text", [&] { return made(L"{b}Key{/b} G", rc); }, 1},
        {"back to the first text", [&] { return made(L"{b}Key{/b} C", rc); }, 0},
        {"wider", [&] { return made(L"{b}Key{/b} C", wider); }, 1},
        {"another colour", [&] { return made(L"{b}Key{/b} C", rc, 0xFF3E8E89); }, 1},
        {"the window's font replaced",
         [&] {
             manager.Skin().SetDefaultFont(L"Tahoma", 20, false, false, false);
             manager.Skin().AddFont(L"Tahoma", 22, true, false, false);
             return made(L"{b}Key{/b} C", rc);
         },
         1},
        {"drawn again after that", [&] { return made(L"{b}Key{/b} C", rc); }, 0},
    };
    auto inDefaultFont = [&] {
        FormattedDrawParams d = p;
        d.font = -1;
        return DrawFormattedText(dc_, &manager, rc, L"Key C", d);
    };
    SIZE before = inDefaultFont();
    for (const Step& s : steps) EXPECT_EQ(s.act(), s.expected) << s.what;
    // The text is measured in the replaced default font, not the kept layout's.
    EXPECT_GT(inDefaultFont().cy, before.cy);
}
