// The ruler's arithmetic: where its ticks fall, which are thick, which
// measure a value stands for, and how play times read.
#include <gtest/gtest.h>

#include <vector>

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
