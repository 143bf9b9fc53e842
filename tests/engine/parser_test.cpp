// The zyqn parser: every construct as it sounds, and every error with its
// place and its load code.
#include <gtest/gtest.h>

#include <string>

#include "engine/score_file.h"
#include "engine/zyqn_parser.h"
#include "abi/score_engine.h"

using namespace zyqn;

namespace {

std::string Doc(const std::string& body, const std::string& fields = "") {
    return "zyqn 1\n" + fields + body;
}

ParseResult Ok(const std::string& text) {
    ParseResult r = ParseZyqn(text);
    EXPECT_EQ(r.status, ParseStatus::Ok) << r.line << ":" << r.column << " " << r.message;
    return r;
}

const Event& Ev(const ParseResult& r, int measure, int hand, int index) {
    return r.score.measures.at(measure).hands[hand].at(index);
}

struct ErrorCase {
    std::string text;
    ParseStatus status;
    int line, column;
};

}  // namespace

TEST(ZyqnParser, ReadsFieldsAndDefaults) {
    auto r = Ok("\xEF\xBB\xBFzyqn 1\r\n// a comment\r\n\r\ntitle:  Ode to Joy \r\ncomposer: L. van Beethoven\r\n"
                "arranger: Melvane\r\nkey: 1=D\r\nmeter: 3/4\r\ntempo: 96\r\nR: 1 2 3 |\r\n");
    EXPECT_EQ(r.score.title, "Ode to Joy");
    EXPECT_EQ(r.score.composer, "L. van Beethoven");
    EXPECT_EQ(r.score.arranger, "Melvane");
    EXPECT_EQ(r.score.key, 9);
    EXPECT_EQ(r.score.beats, 3);
    EXPECT_EQ(r.score.unit, 4);
    EXPECT_EQ(r.score.tempo, 96);
    EXPECT_EQ(Ev(r, 0, kHandRight, 0).heads[0].midi, 62);  // 1 = D

    auto d = Ok(Doc("R: 1 2 3 4\n"));
    EXPECT_EQ(d.score.key, kKeyC);
    EXPECT_EQ(d.score.beats, 4);
    EXPECT_EQ(d.score.unit, 4);
    EXPECT_EQ(d.score.tempo, 100);
}

TEST(ZyqnParser, AllFifteenKeysMapToTheirIndexAndTonic) {
    const char* names[15] = {"Cb", "Gb", "Db", "Ab", "Eb", "Bb", "F", "C", "G", "D", "A", "E", "B", "F#", "C#"};
    const int tonic[15] = {59, 66, 61, 68, 63, 70, 65, 60, 67, 62, 69, 64, 71, 66, 61};
    for (int k = 0; k < 15; ++k) {
        auto r = Ok(Doc("R: 1 - - -\n", std::string("key: ") + names[k] + "\n"));
        EXPECT_EQ(r.score.key, k) << names[k];
        EXPECT_EQ(Ev(r, 0, 0, 0).heads[0].midi, tonic[k]) << names[k];
    }
}

TEST(ZyqnParser, PitchesOctavesAndAccidentals) {
    auto r = Ok(Doc("R: 1 2 3 4 | 5 6 7 1' | 1'' 1''' 1, 1,, | 1,,, #4 4 =4 | b7 7 7' 0\n"));
    const int expect[5][4] = {{60, 62, 64, 65}, {67, 69, 71, 72}, {84, 96, 48, 36}, {24, 66, 66, 65}, {70, 70, 83, -1}};
    for (int m = 0; m < 5; ++m)
        for (int i = 0; i < 4; ++i) {
            const Event& ev = Ev(r, m, 0, i);
            if (expect[m][i] < 0)
                EXPECT_TRUE(ev.IsRest());
            else
                EXPECT_EQ(ev.heads.at(0).midi, expect[m][i]) << "measure " << m + 1 << " note " << i + 1;
        }
    // The carried sharp ends at the bar line and applies only in its own octave.
    auto c = Ok(Doc("R: #4 4' 4 0 | 4 0 0 0\n"));
    EXPECT_EQ(Ev(c, 0, 0, 1).heads[0].midi, 77);
    EXPECT_EQ(Ev(c, 0, 0, 2).heads[0].midi, 66);
    EXPECT_EQ(Ev(c, 1, 0, 0).heads[0].midi, 65);
    EXPECT_EQ(Ev(c, 0, 0, 0).heads[0].accidental, 1);
}

TEST(ZyqnParser, DurationsFromWholeToSixteenth) {
    auto r = Ok(Doc("R: 1 - - - | 1 - 1. 1_ | 1_ 1__ 1__ 1_. 1__ 1 - | 1__1__1__1__ 1_1_ 1.. 1__\n"));
    auto dur = [&](int m, int i) { return Ev(r, m, 0, i).duration; };
    EXPECT_EQ(dur(0, 0), 1920);
    EXPECT_EQ(dur(1, 0), 960);
    EXPECT_EQ(dur(1, 1), 720);
    EXPECT_EQ(dur(1, 2), 240);
    EXPECT_EQ(dur(2, 1), 120);
    EXPECT_EQ(dur(2, 3), 360);
    EXPECT_EQ(dur(2, 5), 960);
    EXPECT_EQ(dur(3, 4), 240);
    EXPECT_EQ(dur(3, 6), 840);  // double-dotted quarter
    EXPECT_EQ(Ev(r, 2, 0, 5).start, 960);
    EXPECT_EQ(Ev(r, 3, 0, 7).start, 1800);
    for (const Measure& m : r.score.measures) EXPECT_EQ(m.length, 1920);
    // Version 2 writes thirty-seconds, dotted too.
    auto t = Ok("zyqn 2\nmeter: 1/4\nR: 1___1___1___1___ 1__. 1___ |\n");
    EXPECT_EQ(Ev(t, 0, 0, 0).duration, 60);
    EXPECT_EQ(Ev(t, 0, 0, 4).duration, 180);
    EXPECT_EQ(Ev(t, 0, 0, 5).start, 420);
}

TEST(ZyqnParser, ChordsTiesAndTriplets) {
    auto r = Ok(Doc("R: [1 3 5] [#4'6] {1_ 2_ 3_} 5~ | 5 - {[1 3] 5 1'} |\n"
                    "L: 1,~ - - - | 1, - - - |\n"));
    const Event& chord = Ev(r, 0, 0, 0);
    ASSERT_EQ(chord.heads.size(), 3u);
    EXPECT_EQ(chord.heads[1].midi, 64);
    EXPECT_EQ(chord.duration, 480);
    EXPECT_EQ(Ev(r, 0, 0, 1).heads[0].midi, 78);
    EXPECT_EQ(Ev(r, 0, 0, 1).heads[1].midi, 69);
    for (int i = 2; i <= 4; ++i) {
        EXPECT_EQ(Ev(r, 0, 0, i).duration, 160);
        EXPECT_EQ(Ev(r, 0, 0, i).triplet, 0);
    }
    EXPECT_EQ(Ev(r, 0, 0, 5).start, 1440);
    EXPECT_TRUE(Ev(r, 0, 0, 5).heads[0].tie);
    EXPECT_TRUE(Ev(r, 1, 0, 0).heads[0].tiedFrom);
    EXPECT_EQ(Ev(r, 1, 0, 1).duration, 320);  // triplet quarters: three in the time of two
    EXPECT_EQ(Ev(r, 1, 0, 1).heads.size(), 2u);
    EXPECT_EQ(Ev(r, 1, 0, 3).start, 1600);
    EXPECT_TRUE(Ev(r, 1, 1, 0).heads[0].tiedFrom);
    EXPECT_EQ(Ev(r, 0, 1, 0).dashes, 3);
}

TEST(ZyqnParser, MeasuresPairAcrossHandsAndLines) {
    auto r = Ok("zyqn 1\nmeter: 3/4\n"
                "R: | 5 | 1' - 3' | // pick-up then a full measure\n"
                "L: 0 | 1 5 3 |\n"
                "R: 2' - - | 1' - |\n"
                "L: 5, - - | 1 - |\n");
    ASSERT_EQ(r.score.measures.size(), 4u);
    EXPECT_EQ(r.score.measures[0].length, 480);
    EXPECT_EQ(r.score.measures[1].length, 1440);
    EXPECT_EQ(r.score.measures[3].length, 960);
    EXPECT_EQ(Ev(r, 2, 1, 0).heads[0].midi, 55);

    // Line ends and break marks, wherever the mark stands around its bar line.
    auto lines = Ok("zyqn 2\nR: 1 - - - | 2 - - - \\ | 3 - - - |\nR: 4 - - - \\\nR: 5 - - - | 6 - - - \\\n");
    std::string marks;
    for (const Measure& m : lines.score.measures) marks += std::string(m.lineEnd ? "E" : "-") + (m.breakAfter ? "B" : "-") + " ";
    EXPECT_EQ(marks, "-- -B E- EB -- EB ");
    EXPECT_FALSE(Ok(Doc("R: 5 | 1 - - - |\n")).score.measures[1].breakAfter);

    // Repeats, endings and jumps become the order the measures are played in.
    const struct {
        const char* music;
        const char* order;
    } orders[] = {
        {"R: 1 | 2 | 3 |", "0 1 2"},
        {"R: 1 |: 2 | 3 :| 4 |", "0 1 2 1 2 3"},
        {"R: 1 | 2 :| 3 |", "0 1 0 1 2"},                                  // from the start
        {"R: |: 1 | @1 2 :| @2 3 | 4 |", "0 1 0 2 3"},                     // endings
        {"R: |: 1 | @1 2 | 3 :| @2 4 |", "0 1 2 0 3"},                     // a first ending of two measures
        {"R: |: 1 :|: 2 :| 3 |", "0 0 1 1 2"},                             // back to back
        {"R: 1 | 2 @fine | 3 @dc |", "0 1 2 0 1"},                         // da capo al fine
        {"R: 1 | @segno 2 | 3 @ds |", "0 1 2 1 2"},                        // dal segno
        {"R: |: 1 @fine | 2 :| 3 @dc |", "0 1 0 1 2 0"},                   // no repeats after the jump
        {"R: |: 1 | @1 2 :| @2 3 @dc |", "0 1 0 2 0 2"},                   // and the last ending
    };
    for (const auto& o : orders) {
        auto r = Ok(std::string("zyqn 2\nmeter: 1/4\n") + o.music + "\n");
        std::string played;
        for (int m : r.score.PlayOrder()) played += (played.empty() ? "" : " ") + std::to_string(m);
        EXPECT_EQ(played, o.order) << o.music;
    }

    // A hand with fewer measures is silent in the rest.
    auto s = Ok(Doc("R: 1 - - - | 2 - - - | 3 - - -\nL: 1, - - -\n"));
    EXPECT_EQ(s.score.measures.size(), 3u);
    EXPECT_TRUE(s.score.measures[2].hands[kHandLeft].empty());
}

TEST(ZyqnParser, ASecondVoiceSoundsWithTheFirstFromTheMeasureStart) {
    // Gymnopedie-like: a chord after a rest over a bass held the whole measure,
    // the bass tied into the next measure's second voice; the right hand has one voice.
    auto r = Ok("zyqn 2\nkey: D\nmeter: 3/4\n"
                "R: 0 3' 5' | 4' 3' 7 |\n"
                "L: 0 [6, 1 3] - & 4,,~ - - | 0_ #4_ (4 5) & 4,, 4 (6,,_ 7,,_) |\n");
    const Measure& first = r.score.measures[0];
    ASSERT_EQ(first.hands[kHandLeft].size(), 2u);
    ASSERT_EQ(first.second[kHandLeft].size(), 1u);
    EXPECT_TRUE(first.second[kHandRight].empty());
    const Event& bass = first.second[kHandLeft][0];
    EXPECT_EQ(bass.start, 0);
    EXPECT_EQ(bass.duration, 1440);
    EXPECT_EQ(bass.heads[0].midi, 43);  // G2
    EXPECT_TRUE(bass.heads[0].tie);
    const Measure& second = r.score.measures[1];
    EXPECT_TRUE(second.second[kHandLeft][0].heads[0].tiedFrom) << "the tie leads to the same voice";
    EXPECT_TRUE(second.hands[kHandLeft][0].IsRest());
    // Starts count from the measure's start in each voice; an accidental holds in its own voice only.
    const auto& upper = second.hands[kHandLeft];
    const auto& lower = second.second[kHandLeft];
    EXPECT_EQ(upper[1].heads[0].midi, 68);  // #4: G sharp
    EXPECT_EQ(upper[2].heads[0].midi, 68);  // carried in the first voice
    EXPECT_EQ(lower[1].heads[0].midi, 67);  // the second voice's 4 stays G
    EXPECT_EQ(lower[2].start, 960);
    EXPECT_EQ(lower[3].start, 1200);
    // Each voice keeps its own slur.
    EXPECT_TRUE(upper[2].slurStart && upper[3].slurEnd);
    EXPECT_TRUE(lower[2].slurStart && lower[3].slurEnd);
    EXPECT_FALSE(lower[1].inSlur);
    EXPECT_EQ(second.length, 1440);
}

TEST(ZyqnParser, AVersionOneFileReadsAsBefore) {
    // The same music in both versions gives the same score, without a second voice.
    const std::string music = "R: 1 2 [3 5]~ [3 5] | {1_ 2_ 3_} 4 - - |\nL: 1, - 5, - | 1, - - - |\n";
    auto v1 = Ok("zyqn 1\n" + music), v2 = Ok("zyqn 2\n" + music);
    ASSERT_EQ(v1.score.measures.size(), v2.score.measures.size());
    for (size_t i = 0; i < v1.score.measures.size(); ++i)
        for (int hand = 0; hand < 2; ++hand) {
            EXPECT_TRUE(v1.score.measures[i].second[hand].empty());
            const auto &a = v1.score.measures[i].hands[hand], &b = v2.score.measures[i].hands[hand];
            ASSERT_EQ(a.size(), b.size());
            for (size_t k = 0; k < a.size(); ++k) {
                EXPECT_EQ(a[k].start, b[k].start);
                EXPECT_EQ(a[k].duration, b[k].duration);
                ASSERT_EQ(a[k].heads.size(), b[k].heads.size());
                for (size_t h = 0; h < a[k].heads.size(); ++h) EXPECT_EQ(a[k].heads[h].midi, b[k].heads[h].midi);
            }
        }
}

// A change of key, meter or tempo holds from its measure on in both hands,
// whichever hand writes it; the rest of the piece keeps it.
TEST(ZyqnParser, KeyMeterAndTempoChangeAtABarLine) {
    auto r = Ok("zyqn 2\nkey: C\nmeter: 4/4\ntempo: 100\n"
                "R: 1 2 3 4 | @key=G @meter=3/4 1 2 3 |\n"
                "L: 1, - - - | 1, - - |\n"
                "R: 1 2 3 |\nL: @tempo=60 @key=1=Bb 1, - - |\n"
                "R: 1 2 3 | @meter=6/8 1. 5. |\nL: 1, - - | 1,. 5,. |\n");
    const struct {
        int key, beats, unit, tempo, tempoUnit, length, rightMidi, leftMidi;
        const char* changes;  // key, meter, tempo
    } expect[] = {
        {kKeyC, 4, 4, 100, 4, 1920, 60, 48, "---"},
        {8, 3, 4, 100, 4, 1440, 67, 55, "KM-"},   // G, from the right hand
        {5, 3, 4, 60, 4, 1440, 70, 58, "K-T"},    // Bb and 60, from the left hand only
        {5, 3, 4, 60, 4, 1440, 70, 58, "---"},
        {5, 6, 8, 60, 4, 1440, 70, 58, "-M-"},   // the tempo keeps counting quarters
    };
    ASSERT_EQ(r.score.measures.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const Measure& m = r.score.measures[i];
        const auto& e = expect[i];
        EXPECT_EQ(m.key, e.key) << "measure " << i + 1;
        EXPECT_EQ(m.beats * 100 + m.unit, e.beats * 100 + e.unit) << "measure " << i + 1;
        EXPECT_EQ(m.tempo, e.tempo) << "measure " << i + 1;
        EXPECT_EQ(m.tempoUnit, e.tempoUnit) << "measure " << i + 1;
        EXPECT_EQ(m.length, e.length) << "measure " << i + 1;
        EXPECT_EQ(Ev(r, i, kHandRight, 0).heads[0].midi, e.rightMidi) << "measure " << i + 1;
        EXPECT_EQ(Ev(r, i, kHandLeft, 0).heads[0].midi, e.leftMidi) << "measure " << i + 1;
        std::string changes = std::string(m.keyChange ? "K" : "-") + (m.meterChange ? "M" : "-") + (m.tempoChange ? "T" : "-");
        EXPECT_EQ(changes, e.changes) << "measure " << i + 1;
    }
    // The header keeps the piece's opening values; the same change in both hands is no clash.
    EXPECT_EQ(r.score.key, kKeyC);
    EXPECT_EQ(r.score.tempo, 100);
    auto both = Ok("zyqn 2\nR: 1 2 3 4 | @key=D 1 2 3 4 |\nL: 1 2 3 4 | @key=D 1 2 3 4 |\n");
    EXPECT_EQ(both.score.measures[1].key, 9);
    // A tempo written with a new meter counts that meter's unit.
    auto eighths = Ok("zyqn 2\nR: 1 2 3 4 | @meter=6/8 @tempo=120 1. 1. |\n");
    EXPECT_EQ(eighths.score.measures[1].tempoUnit, 8);
}

TEST(ZyqnParser, HairpinsAndTempoWordsBelongToTheirNote) {
    auto r = Ok("zyqn 2\nR: @p @cresc 1 2 @dim 3 @decresc 4 | @rit 5 @rall 6 @atempo 7 1' |\n");
    const int hairpins[] = {kCresc, 0, kDim, kDecresc};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Ev(r, 0, kHandRight, i).hairpin, hairpins[i]) << i;
    EXPECT_EQ(Ev(r, 0, kHandRight, 0).dynamic, 2);
    const int words[] = {kRit, kRall, kATempo, 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Ev(r, 1, kHandRight, i).tempoWord, words[i]) << i;
    EXPECT_STREQ(HairpinName(kDecresc), "decresc.");
    EXPECT_STREQ(TempoWordName(kATempo), "a tempo");
}

// The examples of the format's description, as written there.
TEST(ZyqnParser, DocumentedExamplesLoad) {
    const struct {
        const char* text;
        size_t measures;
    } examples[] = {
        {"zyqn 2\nmeter: 2/4\nR: 5 |: 1 1 | @1 2 2 :| @2 3 3 | 4 4 @fine | 5 5 @dc |\n", 6},
        {"zyqn 2\nR: @p @cresc 1 2 3 4 | @f 5 - @dim 4 3 | 2 - @rit 1 7, | @atempo 1 - - - |\n", 4},
        {"zyqn 2\nkey: C\nmeter: 4/4\ntempo: 100\n"
         "R: 1 2 3 4 | 5 - - - | @key=G @meter=3/4 1 2 3 | 5 - - | @tempo=72 3 2 1 | 1 - - |\n"
         "L: 1, - - - | 5,, - - - | 1, - - | 5,, - - | 1, - - | 1, - - |\n", 6},
    };
    for (const auto& e : examples) EXPECT_EQ(Ok(e.text).score.measures.size(), e.measures) << e.text;
}

TEST(ZyqnParser, ErrorsCarryLineAndColumn) {
    const ErrorCase cases[] = {
        {"zyqn 1\ntitle: x\ntitel: y\nR: 1\n", ParseStatus::Unreadable, 3, 1},  // unknown field
        {"zyqn 1\nkey: H\nR: 1\n", ParseStatus::Unreadable, 2, 6},             // unknown key
        {"zyqn 1\nmeter: 3/5\nR: 1\n", ParseStatus::Unreadable, 2, 8},         // bad unit
        {"zyqn 1\nmeter: 99999999999999999999/4\n", ParseStatus::Unreadable, 2, 8},
        {"zyqn 1\ntempo: 4000000000000\n", ParseStatus::Unreadable, 2, 8},
        {"zyqn 1\ntempo: 10\n", ParseStatus::Unreadable, 2, 8},
        {"zyqn 1\ntempo: 90\ntempo: 91\n", ParseStatus::Unreadable, 3, 1},  // given twice
        {"zyqn 1\nR: 1 2 3 4\ntitle: late\n", ParseStatus::Unreadable, 3, 1},
        {"zyqn 1\nR: 1 2 8 4\n", ParseStatus::Unreadable, 2, 8},
        {"zyqn 1\nR: 1 2 #0 4\n", ParseStatus::Unreadable, 2, 9},
        {"zyqn 1\nR: 1 ##2 3 4\n", ParseStatus::Unreadable, 2, 7},
        {"zyqn 1\nR: 1 2'''' 3 4\n", ParseStatus::Unreadable, 2, 10},
        {"zyqn 1\nR: 1 2', 3 4\n", ParseStatus::Unreadable, 2, 8},
        {"zyqn 1\nR: 1 2 0' 4\n", ParseStatus::Unreadable, 2, 9},
        {"zyqn 1\nR: 1 2___ 3 4\n", ParseStatus::Unreadable, 2, 9},
        {"zyqn 1\nR: 1 2... 3 4\n", ParseStatus::Unreadable, 2, 9},
        {"zyqn 1\nR: 1 2 3 0~\n", ParseStatus::Unreadable, 2, 11},
        {"zyqn 1\nR: - 1 2 3\n", ParseStatus::Unreadable, 2, 4},
        {"zyqn 1\nR: 1 [1 [3]] 2\n", ParseStatus::Unreadable, 2, 9},
        {"zyqn 1\nR: 1 [1 3 2\n", ParseStatus::Unreadable, 2, 6},
        {"zyqn 1\nR: 1 [] 2 3\n", ParseStatus::Unreadable, 2, 6},
        {"zyqn 1\nR: 1 [1 0] 2\n", ParseStatus::Unreadable, 2, 9},
        {"zyqn 1\nR: 1 [1 3]' 2\n", ParseStatus::Unreadable, 2, 11},
        {"zyqn 1\nR: [1 2 3 4 5 6 7 1' 2'] 0 0 0\n", ParseStatus::Unreadable, 2, 22},
        {"zyqn 1\nR: {1_ {2_ 3_}}\n", ParseStatus::Unreadable, 2, 8},
        {"zyqn 1\nR: 1 2 } 3\n", ParseStatus::Unreadable, 2, 8},
        {"zyqn 1\nR: 1 {} 2\n", ParseStatus::Unreadable, 2, 7},
        {"zyqn 1\nR: 1 2 {3_ 4_ | 5_}\n", ParseStatus::Unreadable, 2, 8},
        {"zyqn 1\nR: 1 2 3 x\n", ParseStatus::Unreadable, 2, 10},
        {"zyqn 1\nR: 1 2 3 4 5\n", ParseStatus::Unreadable, 2, 4},                // too long for 4/4
        {"zyqn 1\nR: 1 2 3 4 | 1 2 | 1 2 3 4\n", ParseStatus::Unreadable, 2, 14},  // too short in the middle
        {"zyqn 1\nR: 1 2 3 4~ | 5 6 7 1\n", ParseStatus::Unreadable, 2, 10},       // tie to another pitch
        {"zyqn 1\nR: 1 2 3 4~\n", ParseStatus::Unreadable, 2, 10},                 // tie to nothing
        {"zyqn 1\ntitle: caf\xC3\xA9\nR: 1 \xC3\xA9\n", ParseStatus::Unreadable, 3, 6},  // columns count characters
        {"zyqn 1\n\n// only a comment\n", ParseStatus::Unreadable, 3, 1},          // no music
        {"zyqn 1\nR: 1 \xC3\x28\n", ParseStatus::Unreadable, 2, 6},                // broken UTF-8
        {"zyqn 1\nR: 1 2\x01\n", ParseStatus::Unreadable, 2, 7},                   // control character
        {"zyqn 1\nR: 1 \xED\xA0\x80\n", ParseStatus::Unreadable, 2, 6},            // encoded surrogate
        {"zyqn 1\nR: 1 2 3 4 \\ | 5\n", ParseStatus::Unreadable, 2, 12},  // a break mark needs version 2
        {"zyqn 2\nR: \\ 1 2 3 4\n", ParseStatus::Unreadable, 2, 4},       // ... and a measure before it
        {"zyqn 1\nR: |: 1 2 3 4 :|\n", ParseStatus::Unreadable, 2, 4},          // repeats need version 2
        {"zyqn 2\nR: 1 2 3 4 : 5\n", ParseStatus::Unreadable, 2, 12},          // a lone colon
        {"zyqn 2\nR: :| 1 2 3 4\n", ParseStatus::Unreadable, 2, 4},            // a repeat of nothing
        {"zyqn 2\nR: 1 2 3 4 | @3 1 2 3 4\n", ParseStatus::Unreadable, 2, 14},  // no third ending
        {"zyqn 2\nR: 1 2 3 4 | @2 1 2 3 4\n", ParseStatus::Unreadable, 2, 14},  // second ending without a repeat
        {"zyqn 2\nR: 1 2 @1 3 4\n", ParseStatus::Unreadable, 2, 8},            // an ending inside a measure
        {"zyqn 2\nR: 1 2 3 4 | @1 5 6 7 1 |\n", ParseStatus::Unreadable, 2, 17},  // a first ending never closed
        {"zyqn 2\nR: 1 2 3 4 @ds |\n", ParseStatus::Unreadable, 2, 12},       // D.S. without a sign
        {"zyqn 2\nR: 1 2 3 4 @coda |\n", ParseStatus::Unreadable, 2, 12},
        {"zyqn 1\nR: 1^ 2 3 4\n", ParseStatus::Unreadable, 2, 5},              // staccato needs version 2
        {"zyqn 2\nR: 0^ 2 3 4\n", ParseStatus::Unreadable, 2, 5},              // a short rest
        {"zyqn 2\nR: 1^^ 2 3 4\n", ParseStatus::Unreadable, 2, 6},
        {"zyqn 2\nR: @p @f 1 2 3 4\n", ParseStatus::Unreadable, 2, 7},        // two dynamics for one note
        {"zyqn 2\nR: 1 2 3 4 @ff\n", ParseStatus::Unreadable, 2, 12},         // a dynamic before nothing
        {"zyqn 2\nR: 1 2 3 4 | @fermata\n", ParseStatus::Unreadable, 2, 14},   // and a fermata
        {"zyqn 1\nR: (1 2) 3 4\n", ParseStatus::Unreadable, 2, 4},             // slurs need version 2
        {"zyqn 2\nR: (1 (2) 3 4)\n", ParseStatus::Unreadable, 2, 7},          // nested
        {"zyqn 2\nR: 1 2) 3 4\n", ParseStatus::Unreadable, 2, 7},
        {"zyqn 2\nR: (1) 2 3 4\n", ParseStatus::Unreadable, 2, 6},             // one note is no slur
        {"zyqn 2\nR: 1 (2 3 4 | 5 - - -\n", ParseStatus::Unreadable, 2, 6},    // never closed
        {"zyqn 2\nR: @cresc @dim 1 2 3 4\n", ParseStatus::Unreadable, 2, 11},    // two hairpins for one note
        {"zyqn 2\nR: 1 2 3 4 @decresc\n", ParseStatus::Unreadable, 2, 12},    // a hairpin before nothing
        {"zyqn 2\nR: @rit @atempo 1 2 3 4\n", ParseStatus::Unreadable, 2, 9},   // two tempo words for one note
        {"zyqn 2\nR: 1 2 3 4 | @rall\n", ParseStatus::Unreadable, 2, 14},      // a tempo word before nothing
        {"zyqn 1\nR: @rit 1 2 3 4\n", ParseStatus::Unreadable, 2, 4},          // words need version 2
        {"zyqn 2\nR: 1 2 3 4 | @crescendo 1 2 3 4\n", ParseStatus::Unreadable, 2, 14},
        {"zyqn 1\nR: 1 2 3 4 | @key=G 1 2 3 4\n", ParseStatus::Unreadable, 2, 14},   // changes need version 2
        {"zyqn 2\nR: 1 2 @key=G 3 4 | 5 6 7 1\n", ParseStatus::Unreadable, 2, 8},     // inside a measure
        {"zyqn 2\nR: @meter=3/4 1 2 3 |\n", ParseStatus::Unreadable, 2, 4},           // before the first measure
        {"zyqn 2\nR: 1 2 3 4 | @key=H 1 2 3 4\n", ParseStatus::Unreadable, 2, 19},    // unknown key
        {"zyqn 2\nR: 1 2 3 4 | @meter=3/5 1 2 3\n", ParseStatus::Unreadable, 2, 21},  // bad unit
        {"zyqn 2\nR: 1 2 3 4 | @tempo=10 1 2 3 4\n", ParseStatus::Unreadable, 2, 21},  // too slow
        {"zyqn 2\nR: 1 2 3 4 | @tempo= 1 2 3 4\n", ParseStatus::Unreadable, 2, 21},    // no value
        {"zyqn 2\nR: 1 2 3 4 | @key 1 2 3 4\n", ParseStatus::Unreadable, 2, 14},       // no '='
        {"zyqn 2\nR: 1 2 3 4 | @key=G\n", ParseStatus::Unreadable, 2, 14},             // no measure after it
        {"zyqn 2\nR: 1 2 3 4 | @tempo=90 @tempo=100 1 2 3 4\n", ParseStatus::Unreadable, 2, 24},  // two tempos
        {"zyqn 2\nR: 1 2 3 4 | @key=G 1 2 3 4\nL: 1 2 3 4 | @key=D 1 2 3 4\n", ParseStatus::Unreadable, 3, 14},
        {"zyqn 2\nR: 1 2 3 4 | @meter=3/4 1 2 3 4 | 1 2 3\n", ParseStatus::Unreadable, 2, 25},  // too long now
        {"zyqn 2\nR: 1 2 3 4 | @meter=3/4 1 2 | 1 2 3\n", ParseStatus::Unreadable, 2, 25},     // too short now
        {"zyqn 2\nR: 1 2____ 3 4\n", ParseStatus::Unreadable, 2, 10},         // no sixty-fourths
        {"zyqn 2\nR: 1 2___.. 3 4\n", ParseStatus::Unreadable, 2, 11},
        {"zyqn 1\nR: 1 2 3 4 & 1 - - -\n", ParseStatus::Unreadable, 2, 12},       // a second voice needs version 2
        {"zyqn 2\nR: & 1 2 3 4\n", ParseStatus::Unreadable, 2, 4},                // before the first voice
        {"zyqn 2\nR: 1 2 3 4 & 1 - - - & 1 - - -\n", ParseStatus::Unreadable, 2, 22},  // no third voice
        {"zyqn 2\nR: 1 2 3 4 & | 5 - - -\n", ParseStatus::Unreadable, 2, 14},     // an empty second voice
        {"zyqn 2\nR: 1 2 3 4 &\n", ParseStatus::Unreadable, 2, 13},               // ... at the line's end
        {"zyqn 2\nR: 1 2 3 4 & 1 - - |\n", ParseStatus::Unreadable, 2, 12},      // shorter than the first
        {"zyqn 2\nR: 5 | 1 2 3 4 & 1 - - - - |\n", ParseStatus::Unreadable, 2, 16},  // too long for the meter
        {"zyqn 2\nR: 5 & 1 - |\n", ParseStatus::Unreadable, 2, 6},                // a pick-up's voices differ
        {"zyqn 2\nR: 1 2 {3_ 4_ & 5_} 4 - - -\n", ParseStatus::Unreadable, 2, 8},  // a triplet across '&'
        {"zyqn 2\nR: 1 2 3 4 & 1~ - - - | 1 2 3 4 |\n", ParseStatus::Unreadable, 2, 14},  // a tie into no voice
        {"zyqn 2\nR: 1 2 3 4 & 1~ - - - | 1 2 3 4 & 2 - - - |\n", ParseStatus::Unreadable, 2, 14},  // nor another pitch
        {"zyqn 2\nR: 1 2 3 4~ & 4 - - - | 5 6 7 1 & 4 - - - |\n", ParseStatus::Unreadable, 2, 10},  // nor another voice
        {"zyqn 2\nR: (1 2 3 4 & 1 - - -)\n", ParseStatus::Unreadable, 2, 22},     // a slur keeps to its voice
        {"zyqn 2\nR: 1 2 3 4 & (1 - - - |\n", ParseStatus::Unreadable, 2, 14},    // and is closed in it
        {"zyqn 2\nR: 1 2 3 4 & - 1 - -\n", ParseStatus::Unreadable, 2, 14},       // a dash needs a note of its voice
        {"zyqn 1\nR: 1f2 2 3 4\n", ParseStatus::Unreadable, 2, 5},             // fingering needs version 2
        {"zyqn 2\nR: 1f6 2 3 4\n", ParseStatus::Unreadable, 2, 6},             // five fingers
        {"zyqn 2\nR: 1f 2 3 4\n", ParseStatus::Unreadable, 2, 6},
        {"zyqn 2\nR: 0f1 2 3 4\n", ParseStatus::Unreadable, 2, 5},             // a rest is not played
        {"zyqn 2\nR: 1f1f2 2 3 4\n", ParseStatus::Unreadable, 2, 7},
        {"zyqn 2\nR: [1f1 3f]_ 2 3 4\n", ParseStatus::Unreadable, 2, 11},
        {"zyqn 1\nR: g1 2 3 4 5\n", ParseStatus::Unreadable, 2, 4},            // grace notes need version 2
        {"zyqn 2\nR: 1 g0 2 3 4\n", ParseStatus::Unreadable, 2, 6},            // a grace rest
        {"zyqn 2\nR: 1 gx 2 3 4\n", ParseStatus::Unreadable, 2, 7},
        {"zyqn 2\nR: 1 g2 0 3 4\n", ParseStatus::Unreadable, 2, 6},            // leading into a rest
        {"zyqn 2\nR: 1 2 3 4 g5\n", ParseStatus::Unreadable, 2, 12},           // leading into nothing
        {"zyqn 2\nR: g1g2g3g4g5 1 2 3 4\n", ParseStatus::Unreadable, 2, 12},   // four at most
        {"zyqn 2\nR: g1f2 1 2 3 4\n", ParseStatus::Unreadable, 2, 4},
        {"zyqn 2\nR: g1_ 1 2 3 4\n", ParseStatus::Unreadable, 2, 6},           // a grace note has no length
        {"zyqn 2\nR: [g1 3] 2 3 4\n", ParseStatus::Unreadable, 2, 5},
        {"zyqn 1\nR: 1 2 3 4\nW: a b c d\n", ParseStatus::Unreadable, 3, 1},  // words need version 2
        {"zyqn 2\nR: 1 2 0 4\nW: a b c d\n", ParseStatus::Unreadable, 3, 10}, // more syllables than notes
        {"zyqn 2\nR: 1~ 1 3 4\nW: a b c d\n", ParseStatus::Unreadable, 3, 10},  // a tied note sings on
        {"zyqn 2\nR: 1 2 3 4\nW: a--b c\n", ParseStatus::Unreadable, 3, 6},
        {"zyqn 2\nR: 1 2 3 4\nW: -a b c\n", ParseStatus::Unreadable, 3, 4},
        {"zyqn 2\nR: 1 2 3 4\nW: a " + std::string(65, 'x') + "\n", ParseStatus::Unreadable, 3, 6},
        {"zyqn 1\nL: @ped 1 2 3 4\n", ParseStatus::Unreadable, 2, 4},          // pedal needs version 2
        {"zyqn 2\nR: @ped 1 2 3 4\n", ParseStatus::Unreadable, 2, 4},          // under the left hand
        {"zyqn 2\nL: 1 @* 2 3 4\n", ParseStatus::Unreadable, 2, 6},            // lifted before pressed
        {"zyqn 2\nL: @ped @ped 1 2 3 4\n", ParseStatus::Unreadable, 2, 9},
        {"zyqn 2\nL: @ped 1 2 @* @* 3 4\n", ParseStatus::Unreadable, 2, 16},
        {"zyqn 2\nL: @ped 1 2 3 4 @ped\n", ParseStatus::Unreadable, 2, 17},    // pressed for nothing
        {"zyqn 2\nL: 1 2 3 4 & @ped 1 - - -\n", ParseStatus::Unreadable, 2, 14},  // the pedal goes with the first voice
        {"zyqn 1 beta\n", ParseStatus::Unreadable, 1, 8},
        {"zyqn x\n", ParseStatus::Unreadable, 1, 6},
        {"zyqn 0\n", ParseStatus::Unreadable, 1, 6},
        {"zyqn 3\nR: 1\n", ParseStatus::NewerVersion, 1, 6},
        {"zyqn 99999999999999999999999\n", ParseStatus::NewerVersion, 1, 6},
        {"", ParseStatus::NotScore, 1, 1},
        {"\xEF\xBB\xBF", ParseStatus::NotScore, 1, 1},
        {"title: x\nR: 1\n", ParseStatus::NotScore, 1, 1},
        {"zyqn1\n", ParseStatus::NotScore, 1, 1},
        {"ZYQN 1\n", ParseStatus::NotScore, 1, 1},
    };
    for (const ErrorCase& c : cases) {
        ParseResult r = ParseZyqn(std::string(c.text));
        EXPECT_EQ(r.status, c.status) << c.text;
        EXPECT_EQ(r.line, c.line) << c.text << " -> " << r.message;
        EXPECT_EQ(r.column, c.column) << c.text << " -> " << r.message;
        EXPECT_FALSE(r.message.empty()) << c.text;
        EXPECT_TRUE(r.score.measures.empty());
    }
    // Binary data: a PNG header with its NUL bytes.
    const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR";
    EXPECT_EQ(ParseZyqn(png, sizeof png - 1).status, ParseStatus::NotScore);
    const char nul[] = "zyqn\0 1\nR: 1\n";
    EXPECT_EQ(ParseZyqn(nul, sizeof nul - 1).status, ParseStatus::NotScore);
    const char later[] = "zyqn 1\nR: 1 \0 2\n";
    EXPECT_EQ(ParseZyqn(later, sizeof later - 1).status, ParseStatus::Unreadable);
}

TEST(ZyqnParser, LoadCodesOfFiles) {
    EXPECT_EQ(LoadCodeOf(ParseStatus::Ok), SCORE_LOAD_OK);
    EXPECT_EQ(LoadCodeOf(ParseStatus::NotScore), SCORE_E_NOT_SCORE);
    EXPECT_EQ(LoadCodeOf(ParseStatus::NewerVersion), SCORE_E_VERSION);
    EXPECT_EQ(LoadCodeOf(ParseStatus::Unreadable), SCORE_E_UNREADABLE);
    ParseResult r;
    EXPECT_EQ(LoadZyqnFile(L"C:\\no\\such\\folder\\x.zyqn", &r), SCORE_E_UNREADABLE);
    EXPECT_EQ(LoadZyqnFile(nullptr, &r), SCORE_E_UNREADABLE);
    EXPECT_EQ(LoadZyqnFile(L"C:\\windows", &r), SCORE_E_UNREADABLE);  // a folder
}

TEST(ZyqnParser, OversizedInputIsRefusedBeforeParsing) {
    std::string big = "zyqn 1\nR: ";
    big.append(kMaxFileBytes, '1');
    ParseResult r = ParseZyqn(big);
    EXPECT_EQ(r.status, ParseStatus::Unreadable);
    EXPECT_EQ(r.line, 0);
    // Just under the cap, one endless measure fails on its length, not on memory.
    std::string line = "zyqn 1\nR: ";
    line.append(kMaxFileBytes - 64, '1');
    r = ParseZyqn(line);
    EXPECT_EQ(r.status, ParseStatus::Unreadable);
    EXPECT_EQ(r.line, 2);
}

TEST(ZyqnParser, FingeringGraceNotesWordsAndPedal) {
    auto r = Ok("zyqn 2\nmeter: 2/4\n"
                "R: 3f3 [1f1 5'f5]_ g2 1_ | g#4g5' 6 0 | 5~ 5 | 1 g=7,1' |\n"
                "L: @ped 1,f5 - | @* @ped 5,, - | @* 1, @ped 5, | 1, - @* |\n"
                "W: Grü-ße - 你好 // the rest sings nothing\n");
    EXPECT_EQ(Ev(r, 0, kHandRight, 0).heads[0].finger, 3);
    const Event& chord = Ev(r, 0, kHandRight, 1);
    EXPECT_EQ(chord.heads[0].finger, 1);
    EXPECT_EQ(chord.heads[1].finger, 5);
    EXPECT_EQ(chord.underlines, 1);
    EXPECT_EQ(Ev(r, 0, kHandLeft, 0).heads[0].finger, 5);
    // Grace notes take the key, their own signs and octave marks, and carry accidentals like notes.
    const Event& led = Ev(r, 0, kHandRight, 2);
    ASSERT_EQ(led.graces.size(), 1u);
    EXPECT_EQ(led.graces[0].midi, 62);
    EXPECT_EQ(led.start, 720);
    const Event& two = Ev(r, 1, kHandRight, 0);
    ASSERT_EQ(two.graces.size(), 2u);
    EXPECT_EQ(two.graces[0].midi, 66);
    EXPECT_EQ(two.graces[1].midi, 79);
    EXPECT_EQ(two.start, 0);  // grace notes take no time of the measure
    EXPECT_EQ(Ev(r, 3, kHandRight, 1).graces[0].midi, 59);
    // One syllable per note; rests and tied continuations take none, "-" holds the one before.
    const char* sung[][2] = {{"Grü", "1"}, {"ße", "0"}, {"", "0"}, {"你好", "0"}, {"", "0"}};
    const int at[][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}};
    for (int i = 0; i < 5; ++i) {
        const Event& ev = Ev(r, at[i][0], kHandRight, at[i][1]);
        EXPECT_EQ(ev.lyric, sung[i][0]) << i;
        EXPECT_EQ(ev.lyricHyphen, sung[i][1][0] == '1') << i;
    }
    // Pressed, changed, pressed again after a lift, lifted at a note and at the bar line.
    const int pedal[][3] = {{0, 0, kPedalDown}, {1, 0, kPedalChange}, {2, 0, kPedalUp}, {2, 1, kPedalDown}, {3, 0, 0}};
    for (const auto& p : pedal) EXPECT_EQ(Ev(r, p[0], kHandLeft, p[1]).pedal, p[2]) << p[0] << "/" << p[1];
    EXPECT_FALSE(r.score.measures[2].pedalUpAtEnd);
    EXPECT_TRUE(r.score.measures[3].pedalUpAtEnd);
    // Written after the last bar line, even on a line of its own, the lift closes the music.
    for (const char* end : {"L: @ped 1, - - - | @*\n", "L: @ped 1, - - - |\nL: @*\n"}) {
        auto e = Ok(std::string("zyqn 2\nR: 1 2 3 4 |\n") + end);
        EXPECT_TRUE(e.score.measures.back().pedalUpAtEnd) << end;
    }
}
