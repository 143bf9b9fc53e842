// Timed note events and the placing of measures on pages.
#include <gtest/gtest.h>

#include "engine/layout.h"
#include "engine/score_object.h"
#include "engine/timeline.h"
#include "engine/zyqn_parser.h"
#include "tests/engine/engine_test_util.h"

using namespace zyqn;
using engine_test::FakeClock;

namespace {

Score Parse(const std::string& text) {
    ParseResult r = ParseZyqn(text);
    EXPECT_EQ(r.status, ParseStatus::Ok) << r.line << ":" << r.column << " " << r.message;
    return r.score;
}

std::string Events(const Timeline& tl) {
    std::string out;
    for (const NoteEvent& e : tl.events)
        out += std::to_string(static_cast<int>(e.ms)) + (e.on ? "+" : "-") + std::to_string(e.midi) + "h" +
               std::to_string(e.hand) + " ";
    return out;
}

}  // namespace

TEST(Timeline, NotesOfBothHandsInTimeOrder) {
    Timeline tl = BuildTimeline(Parse(engine_test::TwoHandScore()));
    EXPECT_EQ(Events(tl),
              "0+60h0 0+48h1 500-60h0 500+62h0 1000-62h0 1000+64h0 1500-64h0 1500+65h0 2000-65h0 2000-48h1 "
              "2000+67h0 2000+43h1 3000-67h0 3000+67h0 4000-67h0 4000-43h1 4000+72h0 4000+76h0 4000+48h1 "
              "6000-72h0 6000-76h0 6000-48h1 ");
    EXPECT_DOUBLE_EQ(tl.totalMs, 6000);
    ASSERT_EQ(tl.measureStartMs.size(), 3u);
    EXPECT_DOUBLE_EQ(tl.measureStartMs[2], 4000);
    EXPECT_EQ(tl.MeasureAt(3999), 1);
    EXPECT_EQ(tl.MeasureAt(4000), 2);
    EXPECT_EQ(tl.MeasureAt(1e9), 2);
}

TEST(Timeline, TiesHoldOneSoundAndRepeatsAreReleasedFirst) {
    Timeline tl = BuildTimeline(Parse("zyqn 1\ntempo: 60\nR: 1~ 1 1 [3~ 5] | [3 5] - - -\n"));
    EXPECT_EQ(Events(tl), "0+60h0 2000-60h0 2000+60h0 3000-60h0 3000+64h0 3000+67h0 4000-67h0 4000+67h0 "
                          "8000-64h0 8000-67h0 ");
}

TEST(Timeline, PickupAndCompoundMeterTiming) {
    // In 6/8 the tempo counts eighths: 120 eighths a minute, a measure lasts 3 s.
    Timeline tl = BuildTimeline(Parse("zyqn 1\nmeter: 6/8\ntempo: 120\nR: 5_ | 1 1_ 1 1_ | 1. 0.\n"));
    ASSERT_EQ(tl.measureStartMs.size(), 3u);
    EXPECT_DOUBLE_EQ(tl.measureStartMs[1], 500);
    EXPECT_DOUBLE_EQ(tl.measureStartMs[2], 3500);
    EXPECT_DOUBLE_EQ(tl.totalMs, 6500);
    EXPECT_DOUBLE_EQ(tl.events[2].ms, 500);
}

TEST(Layout, PageSizesFollowThePreparedScale) {
    FakeClock clock;
    CScore score(&clock);
    ASSERT_EQ(score.LoadText(engine_test::TwoHandScore()), 0);
    const struct {
        float scale;
        LONG cx, cy;
    } cases[] = {{1.0f, 794, 1123}, {0.5f, 397, 562}, {2.0f, 1588, 2246}, {4.0f, 3176, 4492},
                 {0.1f, 79, 112},   {9.0f, 3176, 4492}, {0.0f, 79, 112}};
    for (const auto& c : cases) {
        score.Prepare(SCORE_MODE_PAGE, c.scale, nullptr);
        SIZE s = score.PageSize();
        EXPECT_EQ(s.cx, c.cx) << c.scale;
        EXPECT_EQ(s.cy, c.cy) << c.scale;
    }
    score.Prepare(SCORE_MODE_THUMBNAIL, 167.0f / 794, nullptr);
    EXPECT_EQ(score.PageSize().cx, 167);
}

TEST(Layout, PageCountsOfKnownScores) {
    EXPECT_EQ(LayoutScore(Parse(engine_test::TwoHandScore())).PageCount(), 1);
    Layout l200 = LayoutScore(Parse(engine_test::LongScore(200)));
    EXPECT_GE(l200.PageCount(), 5);
    EXPECT_LE(l200.PageCount(), 12);
    // More measures never need fewer pages.
    int last = 0;
    for (int n : {1, 10, 40, 80, 160}) {
        int pages = LayoutScore(Parse(engine_test::LongScore(n))).PageCount();
        EXPECT_GE(pages, last) << n;
        last = pages;
    }
}

TEST(Layout, MeasureBoxesAreOrderedAndInsideThePage) {
    Score score = Parse(engine_test::LongScore(120));
    Layout layout = LayoutScore(score);
    ASSERT_EQ(layout.measures.size(), 120u);
    for (size_t i = 0; i < layout.measures.size(); ++i) {
        const PlacedMeasure& m = layout.measures[i];
        EXPECT_GE(m.box.left, metrics::kMarginX) << i;
        EXPECT_LE(m.box.right, layout.pageWidth - metrics::kMarginX) << i;
        EXPECT_GE(m.box.top, metrics::kMarginTop) << i;
        EXPECT_LE(m.box.bottom, layout.pageHeight - metrics::kMarginBottom) << i;
        EXPECT_GT(m.box.Width(), 0);
        if (i > 0) {
            const PlacedMeasure& p = layout.measures[i - 1];
            bool sameSystem = p.system == m.system;
            if (sameSystem) {
                EXPECT_EQ(m.box.left, p.box.right) << i;
                EXPECT_EQ(m.box.top, p.box.top);
            } else {
                EXPECT_EQ(m.system, p.system + 1);
                EXPECT_TRUE(m.page == p.page + 1 || (m.page == p.page && m.box.top > p.box.bottom)) << i;
            }
        }
        for (int hand = 0; hand < 2; ++hand) {
            ASSERT_EQ(m.events[hand].size(), score.measures[i].hands[hand].size());
            int lastX = -1;
            for (const PlacedEvent& e : m.events[hand]) {
                EXPECT_GT(e.x, lastX);
                lastX = e.x;
                EXPECT_GE(e.box.left, m.box.left);
                EXPECT_LE(e.box.right, m.box.right);
                EXPECT_GE(e.box.top, m.box.top);
                EXPECT_LE(e.box.bottom, m.box.bottom);
            }
        }
        // The right hand's row lies above the left hand's.
        if (!m.events[0].empty() && !m.events[1].empty()) {
            EXPECT_LT(m.events[0][0].box.bottom, m.events[1][0].box.top);
        }
    }
    // Hit testing finds each note at the centre of its box, on its own page only.
    const PlacedEvent& e = layout.measures[100].events[1][0];
    const Box& b = e.box;
    const PlacedEvent* hit = layout.HitTest(layout.measures[100].page, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->ref, e.ref);
    EXPECT_EQ(layout.HitTest(0, (b.left + b.right) / 2, (b.top + b.bottom) / 2) == hit, layout.measures[100].page == 0);
    EXPECT_EQ(layout.HitTest(0, 5, 5), nullptr);
}

TEST(Layout, BeatsAreSpacedEvenlyAndHandsAligned) {
    Score score = Parse("zyqn 1\nR: 1 2 3 4 | 1_1_1_1_ 1 - |\nL: 1, - 5, - | 1, 2, 3, 4, |\n");
    Layout layout = LayoutScore(score);
    const PlacedMeasure& m = layout.measures[0];
    int step = m.events[0][1].x - m.events[0][0].x;
    EXPECT_GT(step, 0);
    EXPECT_NEAR(m.events[0][2].x - m.events[0][1].x, step, 1);
    EXPECT_NEAR(m.events[0][3].x - m.events[0][2].x, step, 1);
    EXPECT_EQ(m.events[1][1].x, m.events[0][2].x);  // beat 3 of both hands
    const PlacedMeasure& m2 = layout.measures[1];
    EXPECT_EQ(m2.events[0][4].x, m2.events[1][2].x);
}
