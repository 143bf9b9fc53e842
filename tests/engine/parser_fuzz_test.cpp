// A deterministic mutation loop over the parser: hundreds of thousands of
// broken variants of real scores, huge numbers, deep nesting, invalid UTF-8
// and oversized input. Every one must end in a clean result; accepted ones
// must also survive the timeline and the layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/layout.h"
#include "engine/timeline.h"
#include "engine/zyqn_parser.h"
#include "tests/support/test_support.h"

using namespace zyqn;

namespace {

class Rng {
public:
    explicit Rng(uint32_t seed) : s_(seed) {}
    uint32_t Next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    size_t Below(size_t n) { return n ? Next() % n : 0; }

private:
    uint32_t s_;
};

const char* const kTokens[] = {"[", "]", "{", "}", "'", ",", "_", ".", "~", "-", "|", "R:", "L:", "\n", "#", "b",
                               "=", "0", "7", "9", "99999999999999999999", "\xC3", "\xFF", "\xF0\x9F\x8E\xB9",
                               "\xED\xA0\x80", "\x01", "key: ", "meter: ", "tempo: ", "//",
                               "zyqn 1\n", "\r", "\t", "1'''", "1,,,", "1__", "1..", "title: ",
                               "zyqn 2\n", "|:", ":|", ":|:", "@1", "@2", "@fine", "@dc", "@ds", "@segno", "\\", "@",
                               "@fermata", "@pp", "@mf", "@ff", "^", "1___", "(", ")", "&", " & 1 - - -", "& 1,~",
                               "f3", "f9", "g", "g5", "g#4'", "g1g2g3g4g5", "@ped", "@*", "@ped @*", "W:", "W: ",
                               "\nW: la-la - lü \xE4\xBD\xA0\n", "-", "--", "W: a--b",
                               "@cresc", "@dim", "@decresc", "@rit", "@rall", "@atempo", "@key=G", "@key=",
                               "@meter=3/4", "@meter=6/8", "@meter=16/16", "@tempo=90", "@tempo=400", "@tempo=20",
                               "| @key=Cb "};

// Checks the invariants an accepted score must keep, and runs the later stages.
void CheckAccepted(const ParseResult& r, bool full) {
    const Score& s = r.score;
    ASSERT_FALSE(s.measures.empty());
    ASSERT_LE(s.measures.size(), static_cast<size_t>(kMaxMeasures));
    for (const Measure& m : s.measures) {
        ASSERT_GT(m.length, 0);
        ASSERT_LE(m.length, m.FullTicks());
        for (int hand = 0; hand < 2; ++hand) {
            for (int voice = 0; voice < kVoices; ++voice)
                for (const Event& e : m.Voice(hand, voice)) {
                    ASSERT_GT(e.duration, 0);
                    ASSERT_LE(e.start + e.duration, m.length);
                    for (const Head& h : e.heads) ASSERT_TRUE(h.midi >= 0 && h.midi < 128 && h.finger >= 0 && h.finger <= 5);
                    for (const Head& h : e.graces) ASSERT_TRUE(h.midi >= 0 && h.midi < 128);
                    ASSERT_LE(e.graces.size(), static_cast<size_t>(kMaxGraces));
                    ASSERT_TRUE((e.lyric.empty() && e.graces.empty()) || !e.IsRest());  // words and graces go to notes
                    ASSERT_TRUE(e.pedal == 0 || (voice == 0 && hand == kHandLeft));  // the pedal to the left hand's first voice
                }
            // A second voice lasts as long as the first.
            const auto &first = m.hands[hand], &second = m.second[hand];
            if (!second.empty()) {
                ASSERT_EQ(second.back().start + second.back().duration, first.back().start + first.back().duration);
            }
        }
    }
    // However repeats and jumps are written, every measure is played at most three times.
    std::vector<int> order = s.PlayOrder();
    ASSERT_LE(order.size(), 3 * s.measures.size() + 1);
    for (int m : order) ASSERT_TRUE(m >= 0 && m < static_cast<int>(s.measures.size()));
    if (!full) return;
    Timeline tl = BuildTimeline(s);
    ASSERT_EQ(tl.measureStartMs.size(), order.size());
    for (size_t i = 1; i < tl.events.size(); ++i) ASSERT_LE(tl.events[i - 1].ms, tl.events[i].ms);
    ASSERT_TRUE(tl.events.empty() || tl.events.front().ms >= 0);
    // The pedal goes down and up in turn, and is up at the end.
    bool down = false;
    for (const NoteEvent& e : tl.events)
        if (e.pedal) {
            ASSERT_NE(e.on, down);
            down = e.on;
        }
    ASSERT_FALSE(down);
    Layout layout = LayoutScore(s);
    ASSERT_GE(layout.PageCount(), 1);
    ASSERT_EQ(layout.measures.size(), s.measures.size());
}

void CheckResult(const std::string& input, const ParseResult& r, bool full) {
    if (r.status == ParseStatus::Ok) {
        CheckAccepted(r, full);
    } else {
        ASSERT_FALSE(r.message.empty()) << input;
        ASSERT_GE(r.line, 0);
        ASSERT_GE(r.column, 0);
    }
}

std::vector<std::string> Seeds() {
    std::vector<std::string> seeds = {
        "zyqn 1\ntitle: Seed\nkey: G\nmeter: 3/4\ntempo: 90\n"
        "R: | 5 | 1' - 3'_2'_ | [1' 3'] {2'_ 3'_ 4'_} 5'~ | 5' #4'__5'__ b7_ =7_. 6__ |\n"
        "L: 0 | 1, 5, 3, | [1, 5,] - - | 5,, 0 0 | 1 - |\n",
    };
    seeds.push_back("zyqn 2\nmeter: 2/4\nR: 5 |: 1 1~ | @1 1 2 :| @2 3 #4 \\ | @segno 5 5 @fine | 6 6 @ds |\n"
                    "L: 0 |: 1, - | @1 5, - :| @2 1, - | 5,, - | 1, - |\n");
    seeds.push_back("zyqn 2\nmeter: 3/4\nR: 3 - - | 5 - - |\nL: 0 [6, 1 3] - & 4,,~ - - | 0 (5 6) & 4,, 5,, 6,, |\n");
    seeds.push_back("zyqn 2\nmeter: 2/4\nR: g5 3f3 [1f1 5f5]_ g#4g5' 6_ | 5~ 5 |\nL: @ped 1,f5 - | @* @ped 5,, - @* |\n"
                    "W: Grü-ße - dich\n");
    seeds.push_back("zyqn 2\nkey: F\nmeter: 4/4\ntempo: 72\n"
                    "R: @p @cresc 1 2 3 4 | @key=D @meter=3/4 @f 5 @dim 4 3 | @tempo=96 2 1 2 |\n"
                    "L: 1, - - - | 1, 5, 3, | @rit 5,, - - | @atempo @meter=6/8 1,. 5,. | 1,. 5,. |\n");
    for (const wchar_t* name : {L"music\\Beginner\\Ode to Joy.zyqn", L"music\\Classical\\F\u00fcr Elise.zyqn",
                                L"music\\Classical\\Gymnopedie No 1.zyqn", L"music\\Folk\\Amazing Grace.zyqn"}) {
        std::string sample = testing_support::ReadFileBytes(testing_support::BinFolder() + name);
        if (!sample.empty()) seeds.push_back(sample);
    }
    return seeds;
}

}  // namespace

TEST(ParserFuzz, MutatedScoresEndCleanly) {
    const std::vector<std::string> seeds = Seeds();
    for (const std::string& seed : seeds) {
        ParseResult r = ParseZyqn(seed);  // mutations of a valid score reach deepest
        ASSERT_EQ(r.status, ParseStatus::Ok) << r.line << ":" << r.column << " " << r.message << "\n" << seed;
    }
    Rng rng(20240607);
    int accepted = 0, refused = 0;
    const int kRounds = 300000;
    for (int i = 0; i < kRounds; ++i) {
        std::string s = seeds[rng.Below(seeds.size())];
        int edits = 1 + static_cast<int>(rng.Below(6));
        for (int k = 0; k < edits && !s.empty(); ++k) {
            size_t at = rng.Below(s.size());
            switch (rng.Below(6)) {
            case 0: s[at] = static_cast<char>(rng.Next()); break;
            case 1: s.erase(at, 1 + rng.Below(8)); break;
            case 2: s.insert(at, kTokens[rng.Below(sizeof kTokens / sizeof *kTokens)]); break;
            case 3: s.insert(at, s.substr(rng.Below(s.size()), rng.Below(40))); break;
            case 4: s[at] = "0123456789-_.'|,[]{}~#b="[rng.Below(24)]; break;
            default: s.insert(at, std::string(1 + rng.Below(3), ' ')); break;
            }
        }
        ParseResult r = ParseZyqn(s);
        CheckResult(s, r, i % 16 == 0);
        if (::testing::Test::HasFatalFailure()) return;
        (r.status == ParseStatus::Ok ? accepted : refused)++;
    }
    // The loop reaches both sides: a fuzzer that only ever fails early tests little.
    EXPECT_GT(accepted, kRounds / 100);
    EXPECT_GT(refused, kRounds / 2);
}

// Thousands of repeats and a jump back over all of them load, and play each measure at most three times.
TEST(ParserFuzz, ManyRepeatsStayBounded) {
    std::string text = "zyqn 2\nR: ";
    for (int i = 0; i < 1600; ++i) text += "|: 1 - - - | @1 2 - - - :| @2 3 - - - ";
    text += "| 4 - - - @dc\n";
    ParseResult r = ParseZyqn(text);
    ASSERT_EQ(r.status, ParseStatus::Ok) << r.line << ":" << r.column << " " << r.message;
    CheckAccepted(r, true);
}

TEST(ParserFuzz, PathologicalInputs) {
    std::vector<std::string> inputs;
    inputs.push_back("zyqn 1\nR: " + std::string(100000, '['));
    inputs.push_back("zyqn 1\nR: " + std::string(100000, '{'));
    inputs.push_back("zyqn 1\nR: 1" + std::string(200000, '-'));
    inputs.push_back("zyqn 1\nR: 1" + std::string(200000, '\''));
    inputs.push_back("zyqn 1\nR: 1" + std::string(200000, '~'));
    inputs.push_back("zyqn 1\ntempo: " + std::string(100000, '9') + "\n");
    inputs.push_back("zyqn 1\ntitle: " + std::string(100000, 'x') + "\n");
    inputs.push_back("zyqn " + std::string(100000, '9') + "\n");
    std::string bars = "zyqn 1\n";
    for (int i = 0; i < 20000; ++i) bars += "R: 1 - - - |\n";
    inputs.push_back(bars);
    std::string many = "zyqn 1\nR: ";
    for (int i = 0; i < 250000; ++i) many += "1__1__1__1__|";
    inputs.push_back(many);
    std::string utf8 = "zyqn 1\ntitle: ";
    for (int i = 0; i < 100000; ++i) utf8 += static_cast<char>(0x80 + i % 64);
    inputs.push_back(utf8);
    inputs.push_back(std::string(10 * 1024 * 1024, 'z'));  // 10 MB
    inputs.push_back("zyqn 1\n" + std::string(10 * 1024 * 1024, '\n'));
    for (const std::string& in : inputs) {
        ParseResult r = ParseZyqn(in);
        EXPECT_NE(r.status, ParseStatus::Ok) << in.substr(0, 40);
        EXPECT_FALSE(r.message.empty());
    }
}
