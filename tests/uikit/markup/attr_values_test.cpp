// Attribute value syntax: booleans, numbers, colours, attribute lists and
// image descriptions.
#include <gtest/gtest.h>

#include "uikit/markup/attr_values.h"
#include "uikit/markup/markup.h"

using namespace UiKit;

namespace {

bool Same(const RECT& r, long l, long t, long rr, long b) {
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

TEST(AttrValues, BooleansNumbersRectanglesSizes) {
    EXPECT_TRUE(ParseBool(L"true"));
    for (const wchar_t* v : {L"TRUE", L"True", L"1", L"false", L"", L"true "}) EXPECT_FALSE(ParseBool(v)) << v;
    EXPECT_FALSE(ParseBool(nullptr));
    EXPECT_EQ(-12, ParseInt(L"-12px"));
    EXPECT_TRUE(Same(ParseRect(L"64,0,80,16,16"), 64, 0, 80, 16));
    EXPECT_TRUE(Same(ParseRect(L"1, 2;3x4"), 1, 2, 3, 4));  // any one separator
    EXPECT_TRUE(Same(ParseRect(L"5"), 5, 0, 0, 0));          // never past the end
    EXPECT_TRUE(Same(ParseRect(L""), 0, 0, 0, 0));
    SIZE s = ParseSize(L"879,600");
    EXPECT_EQ(879, s.cx);
    EXPECT_EQ(600, s.cy);
}

TEST(AttrValues, Colours) {
    EXPECT_EQ(0xFF123456u, ParseColor(L"#FF123456"));
    EXPECT_EQ(0xFF123456u, ParseColor(L"0xFF123456"));
    EXPECT_EQ(0x80ABCDEFu, ParseColor(L"80abcdef"));
    EXPECT_EQ(0u, ParseColor(L"  #FF123456"));
    EXPECT_EQ(0xFF123456u, ParseColor(L"  #FF123456", true));
}

TEST(AttrValues, AttributeListFromMarkupEntities) {
    CSkinMarkup m;
    ASSERT_TRUE(m.Load(L"<Window><Default name=\"Menu\" value=\"inset=&quot;2,2,2,2&quot; "
                       L"itemtextpadding=&quot;15,0,15,0&quot; bkimage=&quot;file=&apos;PNG_BK_MENU.png&apos; "
                       L"corner=&apos;15,12,15,12&apos;&quot; hole=&quot;false&quot;\"/></Window>"));
    auto items = ParseAttributeList(m.GetRoot().GetChild().GetAttributeValue(L"value"));
    ASSERT_EQ(4u, items.size());
    EXPECT_EQ(L"inset", items[0].first);
    EXPECT_EQ(L"2,2,2,2", items[0].second);
    EXPECT_EQ(L"itemtextpadding", items[1].first);
    EXPECT_EQ(L"bkimage", items[2].first);
    EXPECT_EQ(L"file='PNG_BK_MENU.png' corner='15,12,15,12'", items[2].second);
    EXPECT_EQ(L"hole", items[3].first);
    EXPECT_EQ(L"false", items[3].second);
}

TEST(AttrValues, AttributeListStopsAtTheFirstBrokenItem) {
    EXPECT_EQ(1u, ParseAttributeList(L"a=\"1\"  b=\"2\"").size());  // two spaces
    EXPECT_EQ(1u, ParseAttributeList(L"a=\"1\" b='2'").size());
    EXPECT_EQ(1u, ParseAttributeList(L"a=\"1\"b=\"2\"").size());
    EXPECT_EQ(0u, ParseAttributeList(L"a=\"1").size());
    EXPECT_EQ(0u, ParseAttributeList(L"noequals").size());
    auto two = ParseAttributeList(L"a=\"\" b=\"x y\"");
    ASSERT_EQ(2u, two.size());
    EXPECT_EQ(L"", two[0].second);
    EXPECT_EQ(L"x y", two[1].second);
}

TEST(AttrValues, ImageDescriptions) {
    auto bare = ParseImageDescription(L"PNG_BTN_EXPAND_SCORE_LIST.png");
    ASSERT_EQ(1u, bare.size());
    EXPECT_EQ(L"PNG_BTN_EXPAND_SCORE_LIST.png", bare[0].name);
    EXPECT_FALSE(bare[0].hasDest);

    auto full = ParseImageDescription(
        L"file='a.png' restype='PNG' dest='1,2,3,4' source='64,0,80,16,16' corner='5,6,7,8' mask='#FFFF00FF' "
        L"fade='128' hole='true' xtiled='true' ytiled='false'");
    ASSERT_EQ(1u, full.size());
    const ImageDrawItem& f = full[0];
    EXPECT_EQ(L"a.png", f.name);
    EXPECT_EQ(L"PNG", f.resType);
    EXPECT_TRUE(f.hasDest);
    EXPECT_TRUE(Same(f.dest, 1, 2, 3, 4));
    EXPECT_TRUE(Same(f.source, 64, 0, 80, 16));
    EXPECT_TRUE(Same(f.corner, 5, 6, 7, 8));
    EXPECT_EQ(0xFFFF00FFu, f.mask);
    EXPECT_EQ(128, f.fade);
    EXPECT_TRUE(f.hole);
    EXPECT_TRUE(f.xtiled);
    EXPECT_FALSE(f.ytiled);

    // Blanks around "=", an empty value skipped, a second file starting a new image.
    auto two = ParseImageDescription(L"  file = 'a.png' fade='' file='b.png' res='c.png' fade='9'");
    ASSERT_EQ(2u, two.size());
    EXPECT_EQ(L"a.png", two[0].name);
    EXPECT_EQ(255, two[0].fade);
    EXPECT_EQ(L"c.png", two[1].name);
    EXPECT_EQ(9, two[1].fade);

    // Parsing ends at a missing quote or a missing single space.
    auto cut = ParseImageDescription(L"file='a.png' fade='9");
    EXPECT_EQ(255, cut[0].fade);
    auto cut2 = ParseImageDescription(L"file='a.png'fade='9'");
    EXPECT_EQ(255, cut2[0].fade);
}

TEST(AttrValues, ComputedDescriptionOverrides) {
    auto thumb = ParseImageDescription(L"file='thumb.png' dest='0,0,1,1'", L"dest='10,2,30,18'");
    ASSERT_EQ(1u, thumb.size());
    EXPECT_TRUE(Same(thumb[0].dest, 10, 2, 30, 18));
    auto fore = ParseImageDescription(L"fore.png", L"fore.png source='0,0,50,10'");
    ASSERT_EQ(1u, fore.size());
    EXPECT_EQ(L"fore.png", fore[0].name);
    EXPECT_TRUE(Same(fore[0].source, 0, 0, 50, 10));
}

}  // namespace
