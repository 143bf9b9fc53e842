// Timed note events and the placing of measures on pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

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
    // A chord naming one pitch twice, even spelled apart, sounds it once: one key, one press.
    EXPECT_EQ(Events(BuildTimeline(Parse("zyqn 1\ntempo: 60\nR: [1 1 3] [#4 b5] 0 0\n"))),
              "0+60h0 0+64h0 1000-60h0 1000-64h0 1000+66h0 2000-66h0 ");
}

TEST(Timeline, DynamicsSetTheVelocityAndStaccatoShortens) {
    // The left hand keeps its own dynamic; a repeat plays the dynamic it passes.
    Timeline tl = BuildTimeline(Parse("zyqn 2\ntempo: 60\nmeter: 2/4\n"
                                      "R: |: @p 1 2^ | @f 3 [4 5]^ :| 1~ 1^ |\nL: @ff 1, - | 5, - | 1, - |\n"));
    std::string out;
    for (const NoteEvent& e : tl.events)
        if (e.hand == kHandRight) out += std::to_string(static_cast<int>(e.ms)) + (e.on ? "+" + std::to_string(e.velocity) : "-") + " ";
    EXPECT_EQ(out, "0+50 1000- 1000+50 1500- 2000+96 3000- 3000+96 3000+96 3500- 3500- "
                   "4000+50 5000- 5000+50 5500- 6000+96 7000- 7000+96 7000+96 7500- 7500- 8000+96 10000- ");
    for (const NoteEvent& e : tl.events) {
        if (e.hand == kHandLeft && e.on) {
            EXPECT_EQ(e.velocity, 112);
        }
    }
    // Without a dynamic every note is played mezzo-forte.
    for (const NoteEvent& e : BuildTimeline(Parse(engine_test::TwoHandScore())).events)
        EXPECT_EQ(e.velocity, e.on ? 80 : 0);
}

TEST(Timeline, AFermataHoldsItsNoteAndTheMusicWaits) {
    // Held twice as long in both hands; the next measure starts late by a quarter.
    Timeline tl = BuildTimeline(Parse("zyqn 2\ntempo: 60\nmeter: 2/4\nR: 1 @fermata 2 | 3 - |\nL: 1, - | 5, - |\n"));
    EXPECT_EQ(Events(tl), "0+60h0 0+48h1 1000-60h0 1000+62h0 3000-62h0 3000-48h1 3000+64h0 3000+55h1 5000-64h0 5000-55h1 ");
    ASSERT_EQ(tl.measureStartMs.size(), 2u);
    EXPECT_DOUBLE_EQ(tl.measureStartMs[1], 3000);
    EXPECT_DOUBLE_EQ(tl.totalMs, 5000);
}

TEST(Timeline, BothVoicesOfAHandSoundInTimeWithTheirLengths) {
    // A bass held under the chord, tied on into the next measure's second
    // voice; the right hand's dynamic is its own, the left hand's holds for both its voices.
    Timeline tl = BuildTimeline(Parse("zyqn 2\ntempo: 60\nmeter: 3/4\n"
                                      "R: 3 - - | 5 4 3 |\n"
                                      "L: @p 0 [5 1'] - & 1,~ - - | 3_ @f 4_ 3 2 & 1, 5,, - |\n"));
    EXPECT_EQ(Events(tl), "0+64h0 0+48h1 1000+67h1 1000+72h1 3000-64h0 3000-67h1 3000-72h1 3000+67h0 3000+64h1 "
                          "3500-64h1 3500+65h1 4000-48h1 4000-67h0 4000-65h1 4000+65h0 4000+64h1 4000+43h1 "
                          "5000-65h0 5000-64h1 5000+64h0 5000+62h1 6000-64h0 6000-43h1 6000-62h1 ");
    // Velocities: mezzo-piano from @p for the left hand's first measure, both voices; forte from the
    // eighth it stands before, for the notes after it in either voice.
    std::string velocities;
    for (const NoteEvent& e : tl.events)
        if (e.on && e.hand == kHandLeft) velocities += std::to_string(e.velocity) + " ";
    EXPECT_EQ(velocities, "50 50 50 50 96 96 96 96 ");
    // Every note-on names the voice it was written in.
    int second = 0;
    for (const NoteEvent& e : tl.events) second += e.on && e.source.voice == 1;
    EXPECT_EQ(second, 2);  // the tied bass sounds once, the G below once
}

TEST(Timeline, FermatasOverOneMomentAreOnePause) {
    // Both hands, and both voices of the left, hold the last beat: the music waits once.
    Timeline tl = BuildTimeline(Parse("zyqn 2\ntempo: 60\nmeter: 2/4\n"
                                      "R: 1 @fermata 2 | 3 - |\nL: 1, @fermata 5, & 1,, @fermata 5,,, | 5, - |\n"));
    ASSERT_EQ(tl.measureStartMs.size(), 2u);
    EXPECT_DOUBLE_EQ(tl.measureStartMs[1], 3000);
    EXPECT_DOUBLE_EQ(tl.totalMs, 5000);
}

TEST(Timeline, GraceNotesComeJustBeforeTheBeat) {
    // At 60 a thirty-second lasts 125 ms; a grace note takes 90 at most, ending on the beat,
    // so both hands still meet there. With no time before it (the first note) it is played on the beat.
    Timeline tl = BuildTimeline(Parse("zyqn 2\ntempo: 60\nmeter: 2/4\nR: g1 2 g3g4 5 | 6 - |\nL: 1, 5, | 1, - |\n"));
    EXPECT_EQ(Events(tl), "0+60h0 0+48h1 90-60h0 90+62h0 820+64h0 910-64h0 910+65h0 1000-62h0 1000-65h0 1000-48h1 "
                          "1000+67h0 1000+55h1 2000-67h0 2000-55h1 2000+69h0 2000+48h1 4000-69h0 4000-48h1 ");
    ASSERT_EQ(tl.measureStartMs.size(), 2u);
    EXPECT_DOUBLE_EQ(tl.measureStartMs[1], 2000);
    EXPECT_DOUBLE_EQ(tl.totalMs, 4000);
    // A grace note belongs to its note: the highlight moves to that note as it sounds.
    for (const NoteEvent& e : tl.events) {
        if (e.midi == 64) {
            EXPECT_EQ(e.source, (EventRef{0, kHandRight, 1}));
        }
    }
    // A grace note on the pitch still held ends that note rather than sounding under it.
    Timeline again = BuildTimeline(Parse("zyqn 2\ntempo: 60\nmeter: 2/4\nR: 5 g5 6 |\n"));
    EXPECT_EQ(Events(again), "0+67h0 910-67h0 910+67h0 1000-67h0 1000+69h0 2000-69h0 ");
    // At a quick tempo the thirty-second is shorter than the limit and sets the length.
    Timeline fast = BuildTimeline(Parse("zyqn 2\ntempo: 240\nR: 1 g3 2 3 4 |\n"));
    EXPECT_EQ(Events(fast).substr(0, 40), "0+60h0 218+64h0 250-60h0 250-64h0 250+62");
}

TEST(Timeline, ThePedalIsPressedChangedAndLiftedAsPlayed) {
    // A pedal change at a note lifts before its sound and presses after it;
    // repeats press it again; a pedal left down is lifted at the end.
    Score score = Parse("zyqn 2\ntempo: 60\nmeter: 2/4\nR: |: 1 2 | 3 4 :| 5 - |\nL: |: @ped 1, 5, | @ped 1, @* 5, :| @ped 1, - |\n");
    Timeline tl = BuildTimeline(score);
    std::string pedal;
    for (size_t i = 0; i < tl.events.size(); ++i) {
        const NoteEvent& e = tl.events[i];
        if (!e.pedal) continue;
        pedal += std::to_string(static_cast<int>(e.ms)) + (e.on ? "v " : "^ ");
        // Among the events of its moment: a lift after the notes that end, a press after those that start.
        for (size_t j = 0; j < tl.events.size(); ++j) {
            const NoteEvent& o = tl.events[j];
            if (o.pedal || o.ms != e.ms) continue;
            if (e.on) {
                EXPECT_LT(j, i) << "pressed at " << e.ms << " before a note of its moment";
            } else {
                EXPECT_EQ(j < i, !o.on) << "lifted at " << e.ms << " on the wrong side of a note";
            }
        }
    }
    EXPECT_EQ(pedal, "0v 2000^ 2000v 3000^ 4000v 6000^ 6000v 7000^ 8000v 10000^ ");
    // Lifted at a bar line when no note follows the mark in its measure.
    Timeline bar = BuildTimeline(Parse("zyqn 2\ntempo: 60\nmeter: 2/4\nL: @ped 1, - @* | 5, - | @ped 1, - |\n"));
    pedal.clear();
    for (const NoteEvent& e : bar.events)
        if (e.pedal) pedal += std::to_string(static_cast<int>(e.ms)) + (e.on ? "v " : "^ ");
    EXPECT_EQ(pedal, "0v 2000^ 4000v 6000^ ");
    EXPECT_TRUE(bar.PedalDownBefore(bar.FirstEventAt(1000)));
    EXPECT_FALSE(bar.PedalDownBefore(bar.FirstEventAt(3000)));
}

namespace {

// Note-on velocities of one hand, in time order.
std::string Velocities(const Timeline& tl, int hand) {
    std::string out;
    for (const NoteEvent& e : tl.events)
        if (e.on && e.hand == hand) out += (out.empty() ? "" : " ") + std::to_string(e.velocity);
    return out;
}

// Note-on times of the right hand, in whole milliseconds.
std::vector<double> Onsets(const Timeline& tl) {
    std::vector<double> out;
    for (const NoteEvent& e : tl.events)
        if (e.on && e.hand == kHandRight) out.push_back(e.ms);
    return out;
}

}  // namespace

// "cresc." and "dim." move the velocity evenly in time to the hand's next
// dynamic when it lies their way, or one dynamic on by the end of the line.
TEST(Timeline, HairpinsRampTheVelocity) {
    const struct {
        const char* music;
        const char* velocities;
    } cases[] = {
        {"R: @p @cresc 1 2 3 4 | @f 5 - - - |", "50 62 73 85 96"},             // p to f over four beats
        {"R: @f @dim 1 2 3 4 | 5 6 7 1' |\nR: 1 - - - |", "96 94 92 90 88 86 84 82 80"},  // a step down by the line's end
        {"R: @p @cresc 1 2 3 4 |\nR: 5 6 7 1' |\nR: @f 1 - - - |", "50 56 62 67 73 79 85 90 96"},  // over lines to f
        {"R: @cresc 1 2 3 4 |\nR: 5 - - - |", "80 84 88 92 96"},                // from the default mezzo-forte
        {"R: @mf @cresc 1 2 3 4 | @p 5 - - - |", "80 84 88 92 50"},             // a softer dynamic is no goal: subito p
        {"R: @ff @cresc 1 2 - - |\nR: 3 - - - |", "112 115 124"},               // past ff
        {"R: @p @cresc 1_ 1_ 1 @dim 2 @mp 3 |", "50 54 57 64 64"},             // a new hairpin ends the last
        {"R: |: @p @cresc 1 2 :| @f 3 - |", "50 57 50 73 96"},  // the first pass steps up: the repeat ends it
    };
    for (const auto& c : cases) {
        Timeline tl = BuildTimeline(Parse(std::string("zyqn 2\ntempo: 60\nmeter: 4/4\n") + c.music + "\n"));
        EXPECT_EQ(Velocities(tl, kHandRight), c.velocities) << c.music;
    }
    // Each hand ramps on its own.
    Timeline both = BuildTimeline(Parse("zyqn 2\nmeter: 2/4\nR: @p @cresc 1 2 | @f 3 - |\nL: @p 1, - | 1, - |\n"));
    EXPECT_EQ(Velocities(both, kHandRight), "50 73 96");
    EXPECT_EQ(Velocities(both, kHandLeft), "50 50");
    // A hand's second voice swells with its first.
    Timeline voices = BuildTimeline(Parse("zyqn 2\nL: @p @cresc 1, - 5, - & 1,, - - - | @f 1, - - - |\n"));
    EXPECT_EQ(Velocities(voices, kHandLeft), "50 50 73 96");
}

// "rit." slows the beat gradually to three quarters by the next "a tempo" (or
// the end); "a tempo" restores it at once. Times come from the written place
// in closed form, so they are exact however long the piece.
TEST(Timeline, RitardandoSlowsGraduallyAndATempoRestores) {
    Timeline tl = BuildTimeline(Parse("zyqn 2\ntempo: 60\nR: 1 2 3 4 | @rit 1 2 3 4 | @atempo 1 2 3 4 | @rall 5 6 7 1' |\n"));
    std::vector<double> on = Onsets(tl);
    ASSERT_EQ(on.size(), 16u);
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(on[i], i * 1000.0) << "before the rit.";
    // Over a measure of four beats the beat falls linearly to 0.75: the time
    // a stretch takes is 4000 / 0.25 * ln(1 / (1 - 0.25 x)) for the fraction x.
    auto ritMs = [](double x) { return 4000 / 0.25 * std::log(1 / (1 - 0.25 * x)); };
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(on[4 + i], 4000 + ritMs(i / 4.0), 1e-6) << "in the rit., beat " << i;
    for (int i = 5; i < 8; ++i) EXPECT_GT(on[i] - on[i - 1], on[i - 1] - on[i - 2]) << "each beat longer than the last";
    EXPECT_LT(on[8] - on[7], 1000 / 0.75);
    const double restored = 4000 + ritMs(1);
    ASSERT_EQ(tl.measureStartMs.size(), 4u);
    EXPECT_NEAR(tl.measureStartMs[2], restored, 1e-6);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(on[8 + i], restored + i * 1000.0, 1e-6) << "a tempo, beat " << i;
    // A rall. without an a tempo runs to the end of the piece.
    EXPECT_NEAR(tl.totalMs, restored + 4000 + ritMs(1), 1e-6);
    // The same rit. written in both hands is one, and a change of tempo ends it.
    Timeline two = BuildTimeline(Parse("zyqn 2\ntempo: 60\nR: @rit 1 2 3 4 | @tempo=120 1 2 3 4 |\n"
                                       "L: @rit 1, - - - | 1, - - - |\n"));
    EXPECT_NEAR(two.measureStartMs[1], ritMs(1), 1e-6);
    EXPECT_NEAR(two.totalMs, ritMs(1) + 2000, 1e-6);
    // Going back to a repeat ends it: the first pass slows its last beat and
    // the repeat starts in tempo; the second pass runs on to the end.
    Timeline rep = BuildTimeline(Parse("zyqn 2\ntempo: 60\nR: |: 1 2 3 @rit 4 :| 5 - - - |\n"));
    auto span = [](double beats, double x) { return beats * 1000 / 0.25 * std::log(1 / (1 - 0.25 * x)); };
    ASSERT_EQ(rep.measureStartMs.size(), 3u);
    EXPECT_NEAR(rep.measureStartMs[1], 3000 + span(1, 1), 1e-6);
    EXPECT_NEAR(rep.measureStartMs[2], 6000 + span(1, 1) + span(5, 0.2), 1e-6);
    EXPECT_NEAR(rep.totalMs, 6000 + span(1, 1) + span(5, 1), 1e-6);
}

TEST(Timeline, TempoAndMeterChangesMoveLaterNotes) {
    const struct {
        const char* music;
        const char* starts;  // each measure's start, then the end
    } cases[] = {
        {"R: 1 2 3 4 | @tempo=120 1 2 3 4 | 5 - - - |", "0 4000 6000 8000"},  // twice as fast from measure 2
        {"R: 1 2 3 4 | @tempo=30 1 - - - | @tempo=60 1 - - - |", "0 4000 12000 16000"},
        {"R: 1 2 3 4 | @meter=3/4 1 2 3 | 1 2 3 |", "0 4000 7000 10000"},   // the quarter keeps its speed
        {"R: 1 2 3 4 | @meter=6/8 1. 1. | 1. 1. |", "0 4000 7000 10000"},   // so does the eighth
        {"R: 1 2 3 4 | @meter=6/8 @tempo=120 1. 1. |", "0 4000 7000"},     // 120 eighths a minute
        {"R: 1 2 3 4 | @tempo=120 @fermata 1 2 3 4 |", "0 4000 6500"},      // a fermata waits at the new tempo
        {"R: |: 1 2 3 4 | @tempo=120 1 2 3 4 :| 1 - - - |", "0 4000 6000 10000 12000 14000"},  // back at 60 on the repeat
    };
    for (const auto& c : cases) {
        Timeline tl = BuildTimeline(Parse(std::string("zyqn 2\ntempo: 60\n") + c.music + "\n"));
        std::string starts;
        for (double ms : tl.measureStartMs) starts += std::to_string(static_cast<int>(std::lround(ms))) + " ";
        starts += std::to_string(static_cast<int>(std::lround(tl.totalMs)));
        EXPECT_EQ(starts, c.starts) << c.music;
    }
    // A key change moves the pitches of both hands, written in either.
    Timeline key = BuildTimeline(Parse("zyqn 2\nR: 1 - - - | 1 - - - |\nL: 1, - - - | @key=F 1, - - - |\n"));
    std::string pitches;
    for (const NoteEvent& e : key.events)
        if (e.on) pitches += std::to_string(e.midi) + " ";
    EXPECT_EQ(pitches, "60 48 65 53 ");
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

TEST(Layout, ASecondVoiceStandsUnderTheFirstAlignedByTime) {
    // Left hand: a chord after a rest over a held bass, then eighths over
    // quarters; the right hand in triplets and quarters.
    Score score = Parse("zyqn 2\nmeter: 3/4\n"
                        "R: 3 {3_ 4_ 5_} 6 | 1' - 7 |\n"
                        "L: 0 [5, 1 3] - & 1,, - - | 1_ 2_ 3_ 4_ 5_ 6_ & 1, 5,, 1, |\n");
    Layout layout = LayoutScore(score);
    const PlacedSystem& sys = layout.systems[0];
    ASSERT_GT(sys.secondTop[kHandLeft], 0);
    EXPECT_EQ(sys.secondTop[kHandRight], 0) << "a hand without a second voice keeps one line";
    for (const PlacedMeasure& pm : layout.measures) {
        const Measure& m = score.measures[pm.index];
        // Same time, same x: between the voices and across the hands.
        std::map<int, int> xAt;
        for (int slot = 0; slot < kHighlightSlots; ++slot)
            for (size_t i = 0; i < m.Voice(slot % 2, slot / 2).size(); ++i) {
                const Event& ev = m.Voice(slot % 2, slot / 2)[i];
                const PlacedEvent& pe = pm.Voice(slot % 2, slot / 2)[i];
                EXPECT_EQ(pe.ref, (EventRef{pm.index, slot % 2, static_cast<int>(i), slot / 2}));
                auto seen = xAt.emplace(ev.start, pe.x);
                EXPECT_EQ(seen.first->second, pe.x) << "measure " << pm.index << " tick " << ev.start;
            }
        // The second voice's line lies under every box of the first and above nothing of the next row.
        for (const PlacedEvent& lower : pm.second[kHandLeft]) {
            for (const PlacedEvent& upper : pm.events[kHandLeft]) EXPECT_GT(lower.box.top, upper.box.bottom);
            for (const PlacedEvent& right : pm.events[kHandRight]) EXPECT_GT(lower.box.top, right.box.bottom);
            EXPECT_LE(lower.box.bottom, pm.box.bottom);
            // Hit testing finds the second voice's note.
            const PlacedEvent* hit = layout.HitTest(pm.page, (lower.box.left + lower.box.right) / 2,
                                                    (lower.box.top + lower.box.bottom) / 2);
            ASSERT_NE(hit, nullptr);
            EXPECT_EQ(hit->ref, lower.ref);
            EXPECT_EQ(layout.Find(lower.ref), &lower);
        }
    }
    // The eighths of the first voice space the bar evenly although the second voice moves in quarters.
    const PlacedMeasure& m2 = layout.measures[1];
    const int step = m2.events[kHandLeft][1].x - m2.events[kHandLeft][0].x;
    for (size_t i = 2; i < m2.events[kHandLeft].size(); ++i)
        EXPECT_NEAR(m2.events[kHandLeft][i].x - m2.events[kHandLeft][i - 1].x, step, 1);
    // A system without a second voice is as tall as before; one with it is taller by a line at most.
    Layout one = LayoutScore(Parse("zyqn 2\nmeter: 3/4\nR: 3 {3_ 4_ 5_} 6 | 1' - 7 |\n"
                                   "L: 0 [5, 1 3] - | 1_ 2_ 3_ 4_ 5_ 6_ |\n"));
    const int extra = sys.rowHeight[kHandLeft] - one.systems[0].rowHeight[kHandLeft];
    EXPECT_GT(extra, metrics::kDigitHeight - 5);
    EXPECT_LT(extra, 2 * metrics::kDigitHeight);
}

namespace {

// Where a measure's notes, rests and dashes stand in both hands: its rhythm.
std::vector<int> Rhythm(const Measure& m) {
    std::vector<int> ticks;
    for (int slot = 0; slot < kHighlightSlots; ++slot)
        for (const Event& ev : m.Voice(slot % 2, slot / 2)) {
            ticks.push_back(ev.start);
            for (int d = 0; d < ev.dashes; ++d) ticks.push_back(ev.start + ev.BaseDuration() + d * DashTicks(ev));
        }
    std::sort(ticks.begin(), ticks.end());
    ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
    ticks.push_back(m.length);
    return ticks;
}

// Bar counts of the systems, e.g. "4 4 4 4".
std::string SystemSizes(const Layout& layout) {
    std::string out;
    for (const PlacedSystem& s : layout.systems) out += (out.empty() ? "" : " ") + std::to_string(s.measureCount);
    return out;
}

}  // namespace

TEST(Layout, LikeRhythmsGetLikeWidthPerBeatInEverySample) {
    auto samples = engine_test::LoadSamples();
    EXPECT_GE(samples.size(), 12u);
    for (const auto& sample : samples) {
        Layout layout = LayoutScore(sample.score);
        std::map<std::vector<int>, std::vector<std::pair<double, int>>> perTick;  // width per tick, number
        for (size_t i = 0; i < layout.measures.size(); ++i) {
            const PlacedMeasure& pm = layout.measures[i];
            perTick[Rhythm(sample.score.measures[i])].push_back(
                {static_cast<double>(pm.box.right - pm.innerLeft) / sample.score.measures[i].length, pm.number});
        }
        for (auto& group : perTick) {
            auto w = group.second;
            std::sort(w.begin(), w.end());
            double median = w[w.size() / 2].first;
            EXPECT_GE(w.front().first, median * 0.85) << sample.name << ": measure " << w.front().second
                                                      << " is crushed beside its like";
            EXPECT_LE(w.back().first, median * 1.15) << sample.name << ": measure " << w.back().second
                                                     << " gapes beside its like";
        }
    }
}

// Notes of one moment stand in one column, whichever hand or voice they are in.
TEST(Layout, OneMomentOneColumnAcrossHandsAndVoicesInEverySample) {
    int secondVoices = 0;
    for (const auto& sample : engine_test::LoadSamples()) {
        Layout layout = LayoutScore(sample.score);
        for (const PlacedMeasure& pm : layout.measures) {
            const Measure& m = sample.score.measures[pm.index];
            std::map<int, int> xAt;
            for (int slot = 0; slot < kHighlightSlots; ++slot) {
                const auto& events = m.Voice(slot % 2, slot / 2);
                secondVoices += slot >= 2 && !events.empty();
                for (size_t i = 0; i < events.size(); ++i) {
                    auto seen = xAt.emplace(events[i].start, pm.Voice(slot % 2, slot / 2)[i].x);
                    EXPECT_EQ(seen.first->second, pm.Voice(slot % 2, slot / 2)[i].x)
                        << sample.name << " measure " << pm.number << " tick " << events[i].start;
                }
            }
        }
    }
    EXPECT_GE(secondVoices, 50) << "the Gymnopedie and the Prelude hold their bass in a second voice";
}

TEST(Layout, GlyphsKeepTheirGapInEverySample) {
    for (const auto& sample : engine_test::LoadSamples()) {
        Layout layout = LayoutScore(sample.score);
        for (size_t i = 0; i < layout.measures.size(); ++i) {
            const PlacedMeasure& pm = layout.measures[i];
            const Measure& m = sample.score.measures[i];
            for (int slot = 0; slot < kHighlightSlots; ++slot) {
                const int hand = slot % 2, voice = slot / 2;
                if (m.Voice(hand, voice).empty()) continue;
                std::vector<int> xs;
                for (const Event& ev : m.Voice(hand, voice)) {
                    xs.push_back(TickX(pm, m.length, ev.start));
                    for (int d = 0; d < ev.dashes; ++d)
                        xs.push_back(TickX(pm, m.length, ev.start + ev.BaseDuration() + d * DashTicks(ev)));
                }
                xs.push_back(pm.box.right + metrics::kMeasurePadLeft - 4);  // the next bar's first note, at the least
                for (size_t k = 1; k < xs.size(); ++k)
                    EXPECT_GE(xs[k] - xs[k - 1], metrics::kMinGlyphGap - 1)
                        << sample.name << " measure " << pm.number << " hand " << hand << " voice " << voice
                        << " glyph " << k;
            }
        }
    }
}

TEST(Layout, SystemsBreakWhereTheWriterEndedALine) {
    const struct {
        const char* sample;
        const char* systems;
    } expected[] = {
        {"Beginner/Ode to Joy.zyqn", "4 4 4 4"},
        {"Beginner/London Bridge.zyqn", "4 4"},
        {"Beginner/Mary Had a Little Lamb.zyqn", "4 4"},
        {"Classical/Minuet in G.zyqn", "4 4 4 4 4 4 4 4"},
    };
    auto samples = engine_test::LoadSamples();
    for (const auto& e : expected) {
        const engine_test::Sample* s = engine_test::FindSample(samples, e.sample);
        ASSERT_NE(s, nullptr) << e.sample;
        EXPECT_EQ(SystemSizes(LayoutScore(s->score)), e.systems) << e.sample;
    }
    // Every sample written in phrase-long lines (three bars or more) breaks
    // where its lines end; no last system holds one bar that the one before
    // could take without crowding.
    for (const auto& sample : samples) {
        Layout layout = LayoutScore(sample.score);
        int lines = 0;
        for (const Measure& m : sample.score.measures) lines += m.lineEnd;
        if (static_cast<int>(sample.score.measures.size()) >= 3 * lines) {
            for (const PlacedSystem& sys : layout.systems)
                EXPECT_TRUE(sample.score.measures[sys.firstMeasure + sys.measureCount - 1].lineEnd)
                    << sample.name << " system ending " << sys.firstMeasure + sys.measureCount;
        }
        const PlacedSystem& last = layout.systems.back();
        if (last.measureCount == 1 && layout.systems.size() > 1) {
            const PlacedSystem& before = layout.systems[layout.systems.size() - 2];
            const auto& m = layout.measures;
            double natural = (m[last.firstMeasure].box.Width()) / last.stretch +
                             (m[last.firstMeasure - 1].box.right - m[before.firstMeasure].box.left) / before.stretch;
            EXPECT_GT(natural, (metrics::kPageWidth - 2 * metrics::kMarginX) * 1.2) << sample.name << " leaves a bar alone";
        }
    }
}

TEST(Layout, BreakMarksAndLongLines) {
    const struct {
        const char* music;
        const char* systems;
    } cases[] = {
        // A break mark ends a system even where more would fit.
        {"R: 1 1 1 1 | 2 2 2 2 \\ | 3 3 3 3 | 4 4 4 4 |\n", "2 2"},
        {"R: 1 1 1 1 | 2 2 2 2 \\\nR: 3 3 3 3 | 4 4 4 4 |\n", "2 2"},
        // One long written line is shared out evenly, never leaving a bar alone.
        {"R: 1 1 1 1 | 2 2 2 2 | 3 3 3 3 | 4 4 4 4 | 5 5 5 5 | 6 6 6 6 | 7 7 7 7 | 1 1 1 1 | 2 2 2 2 |\n", "5 4"},
        // Two short written lines share a system rather than gape.
        {"R: 1 1 1 1 | 2 2 2 2 |\nR: 3 3 3 3 | 4 4 4 4 |\n", "4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemSizes(LayoutScore(Parse(std::string("zyqn 2\n") + c.music))), c.systems) << c.music;
}

// A change's text above its bar keeps like bars alike where it fits, and
// widens only its own bar where it does not; its system keeps room for it.
TEST(Layout, AChangeTakesRoomOnlyWhereItNeedsIt) {
    Layout like = LayoutScore(Parse("zyqn 2\nR: 1 2 3 4 | 1 2 3 4 | @key=G 1 2 3 4 | 1 2 3 4 |\n"
                                    "R: 1 2 3 4 | @tempo=90 1 2 3 4 | 1 2 3 4 | 1 2 3 4 |\n"));
    std::vector<int> widths;
    for (const PlacedMeasure& pm : like.measures) widths.push_back(pm.box.right - pm.innerLeft);
    auto range = std::minmax_element(widths.begin(), widths.end());
    EXPECT_LE(*range.second, *range.first * 1.15) << "bars with and without a change alike";
    for (const PlacedSystem& sys : like.systems) EXPECT_EQ(sys.wordBand, metrics::kWordBand);

    // Bars of one beat, full systems of them: "1=C#  1/8  ♪ = 132" is far wider than its bar's one note.
    std::string music = "zyqn 2\nmeter: 1/4\nR:";
    for (int i = 0; i < 40; ++i) music += i == 20 ? " @key=C# @meter=1/8 @tempo=132 3_ | @meter=1/4" : " 1 |";
    Score narrow = Parse(music + "\n");
    Layout l = LayoutScore(narrow);
    const double text = ChangeTextWidth(ChangeTextOf(narrow.measures[20]));
    EXPECT_GE(l.measures[20].box.Width(), text + kChangeGap);
    EXPECT_LT(l.measures[19].box.Width(), text / 2) << "the bars around it keep their own width";

    // A bar that the justified line spaces wider than its change's text needs
    // keeps the beat of its neighbours: no room left over after its last note.
    Layout wide = LayoutScore(Parse("zyqn 2\ntempo: 240\nR: 1 2 3 4 | @key=G @meter=3/4 @tempo=200 1 2 3 | 5 - 3 |\n"
                                    "L: 1, - - - | 1, - - | 5,, - - |\n"));
    ASSERT_EQ(wide.measures.size(), 3u);
    auto perBeat = [&](int i, int beats) {
        return static_cast<double>(wide.measures[i].box.right - wide.measures[i].innerLeft) / beats;
    };
    EXPECT_NEAR(perBeat(1, 3) / perBeat(0, 4), 1.0, 0.15) << "a 3/4 bar after a change, beside a 4/4 bar";
    EXPECT_NEAR(perBeat(2, 3) / perBeat(1, 3), 1.0, 0.15) << "two 3/4 bars, with and without the change";
}

TEST(Layout, APickupIsMeasureZeroAsWideAsItsNotes) {
    Score score = Parse("zyqn 1\nmeter: 3/4\nR: 5 | 1 2 3 | 4 5 6 | 7 1' - |\nL: 0 | 1, 5, 3, | 4, 5, 6, | 5, 1, - |\n");
    Layout layout = LayoutScore(score);
    ASSERT_EQ(layout.measures.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(layout.measures[i].number, i);
    // A beat's bar is a third of a three-beat bar's, give or take the bar line's margin.
    double pickup = layout.measures[0].box.right - layout.measures[0].innerLeft;
    double full = layout.measures[1].box.right - layout.measures[1].innerLeft;
    EXPECT_NEAR(pickup / full, 1.0 / 3, 0.05);
    // Without a pick-up the first measure is 1.
    EXPECT_EQ(LayoutScore(Parse("zyqn 1\nR: 1 2 3 4 | 5 |\n")).measures[0].number, 1);
}

TEST(Layout, SamplesFitTheirPages) {
    const struct {
        const char* sample;
        int pages;
    } expected[] = {{"Classical/Minuet in G.zyqn", 1},   {"Classical/Für Elise.zyqn", 1},
                    {"Beginner/Ode to Joy.zyqn", 1},     {"Classical/Gymnopedie No 1.zyqn", 1},
                    {"Classical/Prelude in C.zyqn", 3}};
    auto samples = engine_test::LoadSamples();
    for (const auto& e : expected) {
        const engine_test::Sample* s = engine_test::FindSample(samples, e.sample);
        ASSERT_NE(s, nullptr) << e.sample;
        EXPECT_EQ(LayoutScore(s->score).PageCount(), e.pages) << e.sample;
    }
    // A system of single notes takes what legibility needs, not a third more.
    Layout ode = LayoutScore(engine_test::FindSample(samples, "Beginner/Ode to Joy.zyqn")->score);
    EXPECT_LE(ode.systems[1].top - ode.systems[0].top, 100);
    EXPECT_LE(ode.systems[0].rowTop[kHandLeft] - ode.systems[0].rowTop[kHandRight], 50);
    for (const auto& sample : samples) {
        Layout layout = LayoutScore(sample.score);
        for (const PlacedSystem& sys : layout.systems) {
            EXPECT_LE(sys.bottom, metrics::kPageHeight - metrics::kMarginBottom) << sample.name;
            EXPECT_LE(layout.measures[sys.firstMeasure + sys.measureCount - 1].box.right,
                      metrics::kPageWidth - metrics::kMarginX) << sample.name;
        }
        // The last page is not left with one system when the pages could share them.
        if (layout.PageCount() > 1) {
            EXPECT_GE(static_cast<int>(layout.systems.size()) - layout.pageFirstSystem.back(), 2) << sample.name;
        }
    }
}
