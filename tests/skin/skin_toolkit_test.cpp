// The packaged markup read by the toolkit's own parser gives the same
// document as the independent scan: same elements in the same order, same
// attributes, and the default lists split into the same items.
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "tests/skin/skin_fixture.h"
#include "uikit/markup/attr_values.h"
#include "uikit/markup/image_loader.h"
#include "uikit/markup/markup.h"

namespace skin_test {
namespace {

std::string Narrow(const wchar_t* w) {
    std::string out(WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    out.pop_back();
    return out;
}

TEST_F(SkinPackageTest, ToolkitParserReadsEveryMarkupFileAlike) {
    for (const char* file : kMarkupFiles) {
        const std::string* text = Entry(file);
        ASSERT_NE(text, nullptr) << file;
        UiKit::CSkinMarkup markup;
        EXPECT_TRUE(markup.LoadFromMem(text->data(), text->size(), UiKit::MarkupEncoding::Utf8))
            << file << ": " << Narrow(markup.GetLastErrorMessage().c_str()) << " at "
            << Narrow(markup.GetLastErrorLocation().c_str());
        const MarkupDoc& scanned = markup_[file];
        size_t index = 0;
        std::function<void(UiKit::CSkinMarkupNode)> walk = [&](UiKit::CSkinMarkupNode node) {
            for (; node.IsValid(); node = node.GetSibling()) {
                ASSERT_LT(index, scanned.elements.size()) << file;
                const MarkupElement& e = scanned.elements[index++];
                EXPECT_EQ(Narrow(node.GetName()), e.name) << file;
                ASSERT_EQ(node.GetAttributeCount(), static_cast<int>(e.attrs.size())) << file << " " << e.name;
                for (int i = 0; i < node.GetAttributeCount(); ++i) {
                    EXPECT_EQ(Narrow(node.GetAttributeName(i)), e.attrs[i].first) << file;
                    EXPECT_EQ(Narrow(node.GetAttributeValue(i)), e.attrs[i].second) << file;
                }
                if (e.name == "Default") {
                    std::vector<std::pair<std::string, std::string>> items;
                    ParseAttributeList(e.Attr("value"), items);
                    EXPECT_EQ(UiKit::ParseAttributeList(node.GetAttributeValue(L"value")).size(), items.size())
                        << file << " Default " << e.Attr("name");
                }
                walk(node.GetChild());
            }
        };
        walk(markup.GetRoot());
        EXPECT_EQ(index, scanned.elements.size()) << file;
    }
}

// Where the ink of a 16 x 16 cell of a scroll bar strip points: the middle
// band of a chevron lies further in its direction than its two arms.
enum class Points { Up, Down, Left, Right, Unknown };
Points ChevronDirection(const UiKit::UIImageInfo& strip, int cell) {
    double midSum = 0, armSum = 0;
    int midCount = 0, armCount = 0;
    bool vertical = false;
    // A chevron drawn across (< or >) has its arms at the top and bottom rows
    // of its ink; one drawn along (^ or v) at the left and right columns.
    int top = 16, bottom = -1, left = 16, right = -1;
    auto alpha = [&](int x, int y) { return strip.bits[(static_cast<size_t>(y) * strip.width + cell * 16 + x) * 4 + 3]; };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (alpha(x, y) > 128) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    if (bottom < 0) return Points::Unknown;
    vertical = (right - left) > (bottom - top);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            if (alpha(x, y) <= 128) continue;
            int along = vertical ? x : y, from = vertical ? left : top, to = vertical ? right : bottom;
            double across = vertical ? y : x;
            bool middle = std::abs(2 * along - (from + to)) <= 2;
            bool arm = along <= from + 1 || along >= to - 1;
            if (middle) midSum += across, ++midCount;
            else if (arm) armSum += across, ++armCount;
        }
    if (!midCount || !armCount) return Points::Unknown;
    double mid = midSum / midCount, arms = armSum / armCount;
    if (vertical) return mid < arms ? Points::Up : Points::Down;
    return mid < arms ? Points::Left : Points::Right;
}

TEST_F(SkinPackageTest, ScrollBarButtonsPointTheWayTheyScroll) {
    struct Case {
        const char* file;
        Points first, second;  // button 1 (cell 0) and button 2 (cell 3)
    } cases[] = {{"SCROLLBAR_V.png", Points::Up, Points::Down}, {"SCROLLBAR_H.png", Points::Left, Points::Right}};
    for (const Case& c : cases) {
        const std::string* bytes = Entry(c.file);
        ASSERT_NE(bytes, nullptr) << c.file;
        UiKit::UIImageInfo strip;
        ASSERT_TRUE(UiKit::DecodeImage(bytes->data(), bytes->size(), 0, strip)) << c.file;
        ASSERT_GE(strip.width, 6 * 16) << c.file;
        // The normal look of each button (the hot and pushed ones lie on a
        // filled background).
        EXPECT_EQ(ChevronDirection(strip, 0), c.first) << c.file;
        EXPECT_EQ(ChevronDirection(strip, 3), c.second) << c.file;
        DeleteObject(strip.bitmap);
    }
}

}  // namespace
}  // namespace skin_test
