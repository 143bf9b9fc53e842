// The shadow picture computed over a buffer: alpha profiles of square and
// rounded silhouettes, colours, wide shadows and degenerate shapes.
#include <gtest/gtest.h>

#include <cmath>

#include "frame/wnd_shadow.h"
#include "frame/wnd_shadow_image.h"

using ShadowImage::AlphaAt;
using ShadowImage::Params;
using ShadowImage::Span;

namespace {
struct Picture {
    SIZE size;
    std::vector<uint32_t> pixels;
    uint8_t Alpha(int x, int y) const { return AlphaAt(pixels.data(), size, x, y); }
    uint32_t Pixel(int x, int y) const { return pixels[static_cast<size_t>(size.cy - 1 - y) * size.cx + x]; }
};

Picture Draw(int w, int h, const std::vector<Span>& spans, const Params& p = Params()) {
    Picture pic;
    pic.size = ShadowImage::ImageSize(w, h, p);
    pic.pixels.assign(static_cast<size_t>(pic.size.cx) * pic.size.cy, 0);
    ShadowImage::Draw(pic.pixels.data(), w, h, spans, p);
    return pic;
}

std::vector<Span> Rect(int w, int h) { return std::vector<Span>(h, Span{0, w}); }

std::vector<Span> RoundRect(int w, int h) {
    // The region the window base gives its windows for "roundcorner 4,4".
    HRGN rgn = CreateRoundRectRgn(0, 0, w + 1, h + 1, 4, 4);
    auto spans = ShadowImage::ScanSpans(w, h, [rgn](int x, int y) { return PtInRegion(rgn, x, y) != 0; });
    DeleteObject(rgn);
    return spans;
}

// floor((1 - d / 8) * 100) for d = 7 .. 1: outside edge to window edge.
const uint8_t kFalloff[7] = {12, 25, 37, 50, 62, 75, 87};
}  // namespace

TEST(ShadowImage, RectangularParentFallsOffLinearlyAndIsCutOut) {
    const int w = 100, h = 60;
    Picture pic = Draw(w, h, Rect(w, h));
    ASSERT_EQ(pic.size.cx, 114);
    ASSERT_EQ(pic.size.cy, 74);
    for (int y : {7, 37, 66}) {
        for (int d = 0; d < 7; ++d) {
            EXPECT_EQ(pic.Alpha(d, y), kFalloff[d]) << "left, row " << y << " col " << d;
            EXPECT_EQ(pic.Alpha(113 - d, y), kFalloff[d]) << "right, row " << y;
        }
        for (int x = 7; x < 107; ++x) ASSERT_EQ(pic.Alpha(x, y), 0) << "under the window at " << x;
    }
    for (int d = 0; d < 7; ++d) {
        EXPECT_EQ(pic.Alpha(57, d), kFalloff[d]) << "top";
        EXPECT_EQ(pic.Alpha(57, 73 - d), kFalloff[d]) << "bottom";
    }
    // The corners round off by distance: out of reach at the very corner.
    EXPECT_EQ(pic.Alpha(0, 0), 0);
    EXPECT_EQ(pic.Alpha(2, 2), 0);  // sqrt(50) > 7
    EXPECT_EQ(pic.Alpha(3, 3), static_cast<uint8_t>((1 - std::sqrt(32.0) / 8) * 100));
    EXPECT_EQ(pic.Alpha(113, 73), 0);
    // Black shadow: premultiplied colour channels stay zero.
    EXPECT_EQ(pic.Pixel(6, 37), 87u << 24);
}

TEST(ShadowImage, RoundedParentGetsRoundedCorners) {
    const int w = 100, h = 60;
    std::vector<Span> spans = RoundRect(w, h);
    EXPECT_GT(spans[0].start, 0) << "the region must cut the corner";
    EXPECT_EQ(spans[30].start, 0);
    EXPECT_EQ(spans[30].end, w);
    Picture round = Draw(w, h, spans);
    Picture square = Draw(w, h, Rect(w, h));

    // Straight edges look exactly like the rectangular shadow.
    for (int d = 0; d < 7; ++d) {
        EXPECT_EQ(round.Alpha(d, 37), kFalloff[d]);
        EXPECT_EQ(round.Alpha(57, d), kFalloff[d]);
    }
    // The cut corner of the window is shadow, not a hole...
    EXPECT_GT(round.Alpha(7, 7), 0);
    EXPECT_EQ(square.Alpha(7, 7), 0);
    // ...and the outside of the corner is lighter than the square one's.
    EXPECT_LT(round.Alpha(4, 4), square.Alpha(4, 4));
    int roundSum = 0, squareSum = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) roundSum += round.Alpha(x, y), squareSum += square.Alpha(x, y);
    EXPECT_LT(roundSum, squareSum);
    // All four corners alike.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            ASSERT_EQ(round.Alpha(x, y), round.Alpha(113 - x, y));
            ASSERT_EQ(round.Alpha(x, y), round.Alpha(x, 73 - y));
        }
}

TEST(ShadowImage, ColourIsPremultipliedByAlpha) {
    Params p;
    p.colour = RGB(255, 128, 0);
    Picture pic = Draw(40, 30, Rect(40, 30), p);
    // 87 alpha next to the window: red 255*87/255, green 128*87/255, blue 0.
    EXPECT_EQ(pic.Pixel(6, 15), 87u << 24 | 87u << 16 | (128u * 87 / 255) << 8);
}

TEST(ShadowImage, WideShadowKeepsFullDarknessNearTheWindow) {
    // Size 10, sharpness 4: an inner radius of 6 at full darkness, then 4
    // blurred pixels, and the silhouette filled where the kernel is flat.
    Params p;
    p.size = 10;
    p.sharpness = 4;
    Picture pic = Draw(50, 50, Rect(50, 50), p);
    ASSERT_EQ(pic.size.cx, 70);
    EXPECT_EQ(pic.Alpha(9, 35), 100);
    EXPECT_EQ(pic.Alpha(5, 35), 100);
    EXPECT_EQ(pic.Alpha(0, 35), static_cast<uint8_t>((1 - 4.0 / 5) * 100));  // d 10, about 20
    EXPECT_EQ(pic.Alpha(10, 35), 0);
}

TEST(ShadowImage, RowsWithoutPointsGetNoShadowBesideThem) {
    // Two blocks with a 40-row gap between them.
    std::vector<Span> spans = Rect(80, 100);
    for (int y = 30; y < 70; ++y) spans[y] = Span{80, 0};
    Picture pic = Draw(80, 100, spans);
    for (int x = 0; x < pic.size.cx; ++x) ASSERT_EQ(pic.Alpha(x, 7 + 50), 0) << x;
    EXPECT_EQ(pic.Alpha(3, 7 + 10), kFalloff[3]);
    EXPECT_EQ(pic.Alpha(3, 7 + 90), kFalloff[3]);
    // Just inside the gap the blocks' own blur still reaches.
    EXPECT_EQ(pic.Alpha(40, 7 + 30), 87);
}

TEST(ShadowImage, ScanFindsFirstAndLastPointPerRow) {
    auto spans = ShadowImage::ScanSpans(10, 3, [](int x, int y) {
        if (y == 0) return x >= 2 && x <= 6;
        if (y == 1) return x == 4 || x == 8;  // a hole in between does not matter
        return false;
    });
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[0].start, 2);
    EXPECT_EQ(spans[0].end, 7);
    EXPECT_EQ(spans[1].start, 4);
    EXPECT_EQ(spans[1].end, 9);
    EXPECT_EQ(spans[2].start, 10);
    EXPECT_EQ(spans[2].end, 0);
}

TEST(ShadowImage, DegenerateInputsDoNotWriteOutsideTheImage) {
    Picture empty = Draw(0, 0, {});
    for (uint32_t px : empty.pixels) ASSERT_EQ(px, 0u);
    // Fewer spans than rows, and spans pointing far outside the parent.
    std::vector<Span> wild = {Span{-50, 500}, Span{3, 4}};
    Picture pic = Draw(20, 10, wild);
    EXPECT_EQ(pic.size.cx, 34);
    EXPECT_EQ(pic.pixels.size(), 34u * 24u);
}

TEST(ShadowImage, WindowWithoutRegionReadsAsItsRectangle) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 30, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    auto spans = ReadWindowSpans(wnd, 30, 20);
    ASSERT_EQ(spans.size(), 20u);
    EXPECT_EQ(spans[0].start, 0);
    EXPECT_EQ(spans[19].end, 30);
    SetWindowRgn(wnd, CreateRoundRectRgn(0, 0, 31, 21, 4, 4), FALSE);
    spans = ReadWindowSpans(wnd, 30, 20);
    EXPECT_GT(spans[0].start, 0);
    EXPECT_LT(spans[0].end, 30);
    EXPECT_EQ(spans[10].start, 0);
    DestroyWindow(wnd);
}
