// The ruler's arithmetic: where its ticks fall, which are thick, which
// measure a value stands for, and how play times read; and its ticks as
// painted from the layer it keeps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "abi/dib_section.h"
#include "player/slider_ex.h"

namespace {

std::vector<int> Xs(const std::vector<RulerTick>& ticks, bool thick) {
    std::vector<int> xs;
    for (const RulerTick& t : ticks)
        if (t.thick == thick) xs.push_back(t.x);
    return xs;
}

TEST(RulerTicks, TwelveMeasuresHaveThickTicksEveryFiveAndAtTheEnd) {
    // 620 wide with a 20-pixel thumb: 600 pixels for 120 units, 5 per unit.
    RECT rc = {10, 0, 630, 17};
    std::vector<RulerTick> ticks = ComputeRulerTicks(rc, 20, 120);
    EXPECT_EQ(ticks.size(), 13u);
    EXPECT_EQ(Xs(ticks, true), (std::vector<int>{20, 270, 520, 620}));
    EXPECT_EQ(Xs(ticks, false), (std::vector<int>{70, 120, 170, 220, 320, 370, 420, 470, 570}));
}

TEST(RulerTicks, TheStartRulerHasOnlyItsEndsAndAnEmptyOneNone) {
    RECT rc = {0, 0, 220, 17};
    std::vector<RulerTick> ticks = ComputeRulerTicks(rc, 20, 10);
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_TRUE(ticks[0].thick && ticks[1].thick);
    EXPECT_EQ(ticks[0].x, 10);
    EXPECT_EQ(ticks[1].x, 210);
    EXPECT_TRUE(ComputeRulerTicks(rc, 20, 0).empty());
    EXPECT_TRUE(ComputeRulerTicks(rc, 20, 1).empty());
}

TEST(RulerTicks, FractionalSpacingIsAccumulatedNotRounded) {
    // 7 measures over 333 pixels: 4.757 pixels per unit; the last tick lands
    // on the truncated end of the tick area, not 70 rounded steps away.
    RECT rc = {0, 0, 353, 17};
    std::vector<RulerTick> ticks = ComputeRulerTicks(rc, 20, 70);
    ASSERT_EQ(ticks.size(), 8u);
    EXPECT_EQ(ticks.front().x, 10);
    EXPECT_NEAR(ticks.back().x, 10 + 333, 1);
    EXPECT_EQ(ticks[3].x, 10 + static_cast<int>(3 * 47.571f));
}

TEST(RulerValues, MeasuresOfValuesStopAtTheLastMeasure) {
    CSliderExUI ruler;
    ruler.SetMeasureCount(12);
    EXPECT_EQ(ruler.GetMaxValue(), 120);
    EXPECT_EQ(ruler.GetMinValue(), 0);
    EXPECT_EQ(ruler.TickCount(), 120);
    EXPECT_EQ(ruler.MeasureOf(0), 1);
    EXPECT_EQ(ruler.MeasureOf(9), 1);
    EXPECT_EQ(ruler.MeasureOf(10), 2);
    EXPECT_EQ(ruler.MeasureOf(119), 12);
    EXPECT_EQ(ruler.MeasureOf(120), 12) << "the maximum is the last measure, not one more";
    EXPECT_EQ(ruler.GetThumbText(), L"0");
}

TEST(PlayClock, MinutesAndWholeSeconds) {
    EXPECT_EQ(FormatPlayClock(125000), L"02:05");
    EXPECT_EQ(FormatPlayClock(0), L"00:00");
    EXPECT_EQ(FormatPlayClock(59999), L"00:59");
    EXPECT_EQ(FormatPlayClock(6000000), L"100:00");
}

}  // namespace

// A ruler without a background of its own blends the ticks it keeps over
// whatever lies beneath: the tick colour on every tick's column, in the
// bands at the top and the bottom edge, and the backdrop untouched between
// them, painted afresh or again from the kept layer.
TEST(RulerPainting, KeptTicksLandOnTheirColumnsOverWhatLiesBeneath) {
    const DWORD backdrop = 0x00C8D2DC, tick = 0x00433230;  // B, G, R as DIB pixels
    struct Case {
        int width, measures;
    } cases[] = {{875, 16}, {875, 200}, {1596, 12}, {300, 1}};
    for (const Case& c : cases) {
        const int w = c.width + 40, h = 40;
        HDC dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        HBITMAP bmp = CreateDib32(dc, w, h, &bits);
        ASSERT_NE(bmp, nullptr);
        HGDIOBJ old = SelectObject(dc, bmp);
        DWORD* px = static_cast<DWORD*>(bits);
        const RECT rc = {20, 10, 20 + c.width, 27};
        CSliderExUI ruler;
        ruler.SetThumbSize(SIZE{20, 17});
        ruler.SetPosition(rc);
        ruler.SetMeasureCount(c.measures);
        std::vector<RulerTick> ticks = ComputeRulerTicks(rc, 20, c.measures * 10);
        ASSERT_EQ(ticks.size(), static_cast<size_t>(c.measures + 1));
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < w * h; ++i) px[i] = backdrop;
            ruler.Paint(dc, rc);
            GdiFlush();
            auto at = [&](int x, int y) { return px[y * w + x] & 0xFFFFFF; };
            const int topBand = rc.top + 2, bottomBand = rc.bottom - 3, between = rc.top + 8;
            for (const RulerTick& t : ticks) {
                EXPECT_EQ(at(t.x, topBand), tick) << c.measures << " measures, round " << round << ", tick at " << t.x;
                EXPECT_EQ(at(t.x, bottomBand), tick) << c.measures << " measures, round " << round << ", tick at " << t.x;
            }
            int stray = 0, marked = 0;
            for (int x = 0; x < w; ++x) {
                if (at(x, between) != backdrop) ++marked;
                if (at(x, topBand) == tick) {
                    bool onTick = false;
                    for (const RulerTick& t : ticks) onTick = onTick || std::abs(x - t.x) <= (t.thick ? 1 : 0);
                    if (!onTick) ++stray;
                } else if (at(x, topBand) != backdrop) {
                    ++marked;
                }
            }
            EXPECT_EQ(stray, 0) << c.measures << " measures: tick colour off every tick's column";
            EXPECT_EQ(marked, 0) << c.measures << " measures: the backdrop changed where no tick is";
        }
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
}
