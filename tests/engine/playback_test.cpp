// Playback against a fake clock: what is sent, when, and how pause, seek,
// tempo and muting change it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/playback.h"
#include "engine/score_object.h"
#include "engine/zyqn_parser.h"
#include "tests/engine/engine_test_util.h"

using namespace zyqn;
using engine_test::FakeClock;

namespace {

struct Record {
    double at;  // clock time relative to the start
    int midi, hand;
    bool on;
};

class RecordingSink : public IPlaySink {
public:
    std::vector<Record> notes;
    std::vector<int> measures;
    std::vector<double> times;
    int ends = 0;
    double start = 0;
    FakeClock* clock = nullptr;
    std::function<void(const Record&)> onNote;
    std::string calls;  // N note-on, n note-off, H highlight, M measure, in order

    void OnNote(int midi, int velocity, int hand, bool on) override {
        EXPECT_EQ(velocity, on ? kDefaultVelocity : 0);
        notes.push_back(Record{clock->now - start, midi, hand, on});
        calls += on ? 'N' : 'n';
        if (onNote) onNote(notes.back());
    }
    void OnMeasure(int m) override {
        measures.push_back(m);
        calls += 'M';
    }
    void OnTime(double ms) override { times.push_back(ms); }
    void OnHighlight() override { calls += 'H'; }
    void OnEnd() override { ++ends; }
    void OnPedal(bool down) override {
        pedal += std::to_string(static_cast<int>(clock->now - start + 0.5)) + (down ? "v " : "^ ");
    }
    std::string pedal;  // "0v 2000^": pressed and lifted, when
};

class PlayerTest : public ::testing::Test {
protected:
    void Load(const std::string& text) {
        ParseResult r = ParseZyqn(text);
        ASSERT_EQ(r.status, ParseStatus::Ok) << r.message;
        timeline = BuildTimeline(r.score);
        sink.clock = &clock;
        sink.start = clock.now;
        player.SetTimeline(&timeline);
    }
    // Moves the clock in 5 ms steps, ticking at each.
    void Run(double ms) {
        for (double t = 0; t < ms; t += 5) {
            clock.now += 5;
            player.Tick();
        }
    }
    std::string Sequence() const {
        std::string out;
        for (const Record& r : sink.notes)
            out += std::to_string(static_cast<int>(r.at + 0.5)) + (r.on ? "+" : "-") + std::to_string(r.midi) + " ";
        return out;
    }

    FakeClock clock;
    RecordingSink sink;
    Timeline timeline;
    Playback player{clock, sink};
};

const char* kRightOnly = "zyqn 1\ntempo: 120\nR: 1 2 3 4 | 5 - - - |\n";

}  // namespace

TEST_F(PlayerTest, NoteSequenceAndTimesAtRatioOne) {
    Load(kRightOnly);
    player.Play();
    Run(4100);
    EXPECT_EQ(Sequence(), "0+60 500+62 500-60 1000+64 1000-62 1500+65 1500-64 2000+67 2000-65 4000-67 ");
    EXPECT_EQ(sink.ends, 1);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(sink.measures, (std::vector<int>{0, 1}));
    ASSERT_FALSE(sink.times.empty());
    EXPECT_DOUBLE_EQ(sink.times.back(), 4000);
    // After the end the position is back at the start; more ticks send nothing.
    EXPECT_DOUBLE_EQ(player.PositionMs(), 0);
    size_t sent = sink.notes.size();
    Run(1000);
    EXPECT_EQ(sink.notes.size(), sent);
    EXPECT_EQ(sink.ends, 1);
}

TEST_F(PlayerTest, HalfRatioDoublesEveryTime) {
    Load(kRightOnly);
    player.SetRatio(0.5);
    player.Play();
    Run(8100);
    EXPECT_EQ(Sequence(), "0+60 1000+62 1000-60 2000+64 2000-62 3000+65 3000-64 4000+67 4000-65 8000-67 ");
    EXPECT_EQ(sink.ends, 1);
}

TEST_F(PlayerTest, RatioChangeAppliesAtOnceWithoutAJump) {
    Load(kRightOnly);
    player.Play();
    Run(750);  // halfway through the second note
    player.SetRatio(2.0);
    EXPECT_NEAR(player.PositionMs(), 750, 0.001);
    Run(200);  // 950 + ... : the third note, at score time 1000, comes 125 ms after the change
    EXPECT_EQ(Sequence(), "0+60 500+62 500-60 875+64 875-62 ");
    player.SetRatio(99);
    EXPECT_DOUBLE_EQ(player.Ratio(), 3.0);
    player.SetRatio(0);
    EXPECT_DOUBLE_EQ(player.Ratio(), 0.1);
}

// The tempo ratio multiplies on top of the written changes of tempo and a
// ritardando: every note goes out at its place in the score divided by the
// ratio, and the time reports stay in the score's own milliseconds.
TEST_F(PlayerTest, TheRatioScalesTempoChangesAndRitardandos) {
    Load("zyqn 2\ntempo: 60\nR: 1 2 3 4 | @tempo=120 1 2 @rit 3 4 | 5 6 7 @atempo 1' |\n");
    player.SetRatio(2.0);
    player.Play();
    Run(timeline.totalMs / 2 + 100);
    std::vector<double> due;
    for (const NoteEvent& e : timeline.events)
        if (e.on) due.push_back(e.ms / 2);
    std::vector<double> sent;
    for (const Record& r : sink.notes)
        if (r.on) sent.push_back(r.at);
    ASSERT_EQ(sent.size(), due.size());
    for (size_t i = 0; i < due.size(); ++i) {
        EXPECT_GE(sent[i], due[i] - 0.001) << "note " << i;
        EXPECT_LT(sent[i], due[i] + 5) << "note " << i << ": within one 5 ms tick";
    }
    EXPECT_DOUBLE_EQ(due[5] - due[4], 250) << "120 a minute at double speed";
    EXPECT_GT(due[7] - due[6], due[6] - due[5]) << "the rit. slows";
    EXPECT_EQ(sink.ends, 1);
    ASSERT_FALSE(sink.times.empty());
    EXPECT_GT(sink.times.back(), timeline.totalMs - 100) << "reported every 100 ms of the score, to its end";
    EXPECT_LE(sink.times.back(), timeline.totalMs);
}

TEST_F(PlayerTest, MutedHandsSendNothing) {
    Load(engine_test::TwoHandScore());
    player.SetHandPlayed(kHandRight, false);
    player.Play();
    Run(6100);
    EXPECT_FALSE(sink.notes.empty());
    for (const Record& r : sink.notes) EXPECT_EQ(r.hand, kHandLeft);
    EXPECT_EQ(sink.notes.size(), 6u);

    // Muting while a note sounds releases it at once, and its own note-off is not repeated.
    sink.notes.clear();
    player.SetHandPlayed(kHandRight, true);
    player.Play();
    Run(100);
    player.SetHandPlayed(kHandLeft, false);
    ASSERT_EQ(sink.notes.size(), 3u);
    EXPECT_FALSE(sink.notes[2].on);
    EXPECT_EQ(sink.notes[2].midi, 48);
    Run(6000);
    int leftOffs = 0;
    for (const Record& r : sink.notes) leftOffs += r.hand == kHandLeft && !r.on;
    EXPECT_EQ(leftOffs, 1);
}

TEST_F(PlayerTest, AHandsSecondVoiceIsMutedWithItAndHighlightedApart) {
    // The left hand holds C3 for the measure under a rest and three quarters.
    Load("zyqn 2\ntempo: 120\nR: 1 2 3 4 |\nL: 0 5, 3, 5, & 1, - - - |\n");
    player.SetHandPlayed(kHandLeft, false);
    player.Play();
    Run(100);
    // Each voice shows its own note, muted or not: the held bass in the left hand's second slot.
    EXPECT_EQ(player.Highlighted(kHandRight), (EventRef{0, kHandRight, 0, 0}));
    EXPECT_FALSE(player.Highlighted(kHandLeft).Valid()) << "the first voice rests";
    EXPECT_EQ(player.Highlighted(kHandLeft + 2), (EventRef{0, kHandLeft, 0, 1}));
    Run(500);
    EXPECT_EQ(player.Highlighted(kHandLeft), (EventRef{0, kHandLeft, 1, 0}));
    EXPECT_EQ(player.Highlighted(kHandLeft + 2), (EventRef{0, kHandLeft, 0, 1})) << "the bass is still held";
    Run(1600);
    EXPECT_EQ(Sequence(), "0+60 500+62 500-60 1000+64 1000-62 1500+65 1500-64 2000-65 ");

    // Muting while both voices sound releases both at once, and nothing of the hand follows.
    sink.notes.clear();
    player.SetHandPlayed(kHandLeft, true);
    player.Play();
    Run(600);
    ASSERT_EQ(sink.notes.size(), 5u);  // C4 on, C3 on, C4 off, D4 on, G3 on
    player.SetHandPlayed(kHandLeft, false);
    int leftOn = 0, leftOff = 0;
    for (const Record& r : sink.notes) (r.on ? leftOn : leftOff) += r.hand == kHandLeft;
    EXPECT_EQ(leftOn, 2);
    EXPECT_EQ(leftOff, 2) << "the bass and the G below middle C";
    Run(2000);
    int after = 0;
    for (size_t i = 7; i < sink.notes.size(); ++i) after += sink.notes[i].hand == kHandLeft;
    EXPECT_EQ(after, 0);
}

TEST_F(PlayerTest, PauseReleasesAndResumesWherePaused) {
    Load(kRightOnly);
    player.Play();
    Run(700);
    player.Pause();
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_NEAR(player.PositionMs(), 700, 0.001);
    EXPECT_EQ(Sequence(), "0+60 500+62 500-60 700-62 ");
    clock.now += 60000;  // a long pause moves nothing
    player.Tick();
    sink.notes.clear();
    sink.start = clock.now;
    player.Play();
    Run(400);
    // 300 ms after resuming the next note (score time 1000) starts; the paused note is not released twice.
    EXPECT_EQ(Sequence(), "300+64 ");
}

TEST_F(PlayerTest, SeekMovesToTheMeasureStart) {
    Load(engine_test::TwoHandScore());
    player.SeekMeasure(1);
    EXPECT_DOUBLE_EQ(player.PositionMs(), 2000);
    EXPECT_EQ(player.CurrentMeasure(), 1);
    EXPECT_EQ(sink.measures.back(), 1);
    EXPECT_DOUBLE_EQ(sink.times.back(), 2000);
    player.Play();
    Run(50);
    EXPECT_EQ(Sequence(), "0+67 0+43 ");
    // Seeking while playing releases what sounds and carries on from the new measure.
    player.SeekMeasure(2);
    EXPECT_EQ(Sequence(), "0+67 0+43 50-67 50-43 ");
    Run(50);
    EXPECT_EQ(Sequence(), "0+67 0+43 50-67 50-43 55+72 55+76 55+48 ");
    // Out of range goes to the nearest measure.
    player.SeekMeasure(99);
    EXPECT_EQ(player.CurrentMeasure(), 2);
    player.SeekMeasure(-5);
    EXPECT_EQ(player.CurrentMeasure(), 0);
}

TEST_F(PlayerTest, StopRewindsAndEndComesOnce) {
    Load(kRightOnly);
    player.Play();
    Run(2100);
    player.Stop();
    EXPECT_DOUBLE_EQ(player.PositionMs(), 0);
    EXPECT_EQ(player.CurrentMeasure(), 0);
    EXPECT_EQ(sink.notes.back().on, false);  // the sounding 5 was released
    EXPECT_EQ(sink.ends, 0);
    sink.notes.clear();
    sink.start = clock.now;
    player.Play();
    Run(4500);
    EXPECT_EQ(sink.notes.front().midi, 60);
    EXPECT_EQ(sink.ends, 1);
}

// A callback that stops or pauses inside the onset of 62 ends the pass: what
// sounds is released (60 too, whose release was to follow that onset) and
// nothing else of the moment goes out. Stopped, playing starts over; paused,
// the moment plays whole on resuming (the 1 it replaced is not released twice).
TEST_F(PlayerTest, ACallbackThatStopsOrPausesEndsThePass) {
    struct Case {
        const char* what;
        void (Playback::*act)();
        const char* resumed;
    };
    const Case cases[] = {
        {"stop", &Playback::Stop, "0+60 0+48 "},
        {"pause", &Playback::Pause, "0+62 "},
    };
    for (const Case& c : cases) {
        Load(engine_test::TwoHandScore());
        sink.notes.clear();
        sink.onNote = [this, &c](const Record& r) {
            if (r.on && r.midi == 62) (player.*c.act)();
        };
        player.Play();
        Run(600);
        EXPECT_EQ(Sequence(), "0+60 0+48 500+62 500-60 500-62 500-48 ") << c.what;
        EXPECT_FALSE(player.IsPlaying()) << c.what;
        EXPECT_EQ(sink.ends, 0) << c.what;
        sink.onNote = nullptr;
        sink.notes.clear();
        sink.start = clock.now;
        player.Play();
        EXPECT_EQ(Sequence(), c.resumed) << c.what;
        player.Stop();
    }
}

// The display (highlight, measure, page) may take long to follow; the notes
// of a moment go out before it hears of them, onsets ahead of releases.
TEST_F(PlayerTest, NotesOfAMomentGoOutBeforeTheDisplayFollows) {
    Load(engine_test::TwoHandScore());
    player.Play();  // both hands' first notes, the highlight, then nothing else due
    EXPECT_EQ(sink.calls, "MNNH");
    sink.calls.clear();
    Run(2000);  // 2, 3 and 4, then into the second measure: both hands' notes end and the 5s begin
    EXPECT_EQ(sink.calls, "NnHNnHNnHNNnnHM");
}

// Each note waits for the one before it to be taken, so within one moment
// the onsets go first; a key struck again is still released before it, and a
// late tick that finds several moments due keeps them in order.
TEST_F(PlayerTest, OnsetsOfAMomentGoAheadOfItsReleasesButAKeyIsReleasedBeforeItSoundsAgain) {
    struct Case {
        const char* score;
        double runMs;
        const char* sequence;
    };
    const Case cases[] = {
        {"zyqn 1\ntempo: 120\nR: 1 2 |\n", 1100, "0+60 500+62 500-60 1000-62 "},
        {"zyqn 1\ntempo: 120\nR: 1 1 2 |\n", 1600, "0+60 500-60 500+60 1000+62 1000-60 1500-62 "},
        {"zyqn 1\ntempo: 120\nR: 1 1 1 |\n", 1600, "0+60 500-60 500+60 1000-60 1000+60 1500-60 "},
    };
    for (const Case& c : cases) {
        sink.notes.clear();
        Load(c.score);
        player.Play();
        Run(c.runMs);
        EXPECT_EQ(Sequence(), c.sequence) << c.score;
    }
    // One tick 1.2 s late: three moments at once, each in its own order.
    sink.notes.clear();
    Load("zyqn 1\ntempo: 120\nR: 1 2 2 3 |\n");
    player.Play();
    clock.now += 1200;
    player.Tick();
    EXPECT_EQ(Sequence(), "0+60 1200+62 1200-60 1200-62 1200+62 ");
}

TEST_F(PlayerTest, ATimerThatFallsBehindCatchesUpWithoutDrift) {
    Load(kRightOnly);
    player.Play();
    clock.now += 1600;  // one late tick finds three notes due
    player.Tick();
    EXPECT_EQ(sink.notes.size(), 7u);
    EXPECT_GT(player.MsUntilNextDue(), 0);
    EXPECT_LE(player.MsUntilNextDue(), 400);
    clock.now += 400;
    player.Tick();
    ASSERT_EQ(sink.notes.size(), 9u);
    const Record& onset = sink.notes[7];  // the 5's onset, then the 4's release
    EXPECT_EQ(onset.midi, 67);
    EXPECT_TRUE(onset.on);
    EXPECT_DOUBLE_EQ(onset.at, 2000);  // stamped when sent: the clock, not a tick count
}

// The wake timer's helper posts a little ahead of the moment (the post's own
// trip may be slow) and the woken thread waits out the rest: an exact wake
// never runs before its moment, however near or far it is.
TEST(WakeTimer, AnExactWakeNeverRunsBeforeItsMoment) {
    CPerformanceClock clock;
    double ran = -1;
    CWakeTimer timer([&] { ran = clock.NowMs(); });
    for (double ms : {0.0, 0.5, 3.0, 9.0, 25.0, 60.0}) {
        ran = -1;
        const double due = clock.NowMs() + ms;
        timer.WakeIn(ms);
        for (DWORD start = GetTickCount(); ran < 0 && GetTickCount() - start < 2000;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            if (ran < 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        ASSERT_GE(ran, 0) << ms;
        EXPECT_GE(ran, due) << ms;
    }
    timer.Stop();
}

// The waiting the woken thread does itself returns at its moment, never
// before; under Wine on Linux it sleeps rather than spins, also beyond two
// seconds, where the sleep in nanoseconds no longer fits a 32-bit count.
TEST(WakeTimer, WaitingOutAMomentEndsAtItAndSleepsMeanwhile) {
    CPerformanceClock clock;
    const bool sleeps = LinuxThreadPolicy() >= 0;
    auto cpuMs = [] {
        FILETIME created, ended, kernel, user;
        GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
        auto ms = [](FILETIME t) { return (4294967296.0 * t.dwHighDateTime + t.dwLowDateTime) / 1e4; };
        return ms(kernel) + ms(user);
    };
    for (double ms : {-1.0, 0.1, 3.0, 40.0, 2500.0}) {
        const double due = clock.NowMs() + ms, cpuBefore = cpuMs();
        WaitUntil(clock, due);
        EXPECT_GE(clock.NowMs(), due) << ms;
        if (sleeps && ms >= 40) {
            EXPECT_LT(cpuMs() - cpuBefore, ms / 2) << ms << " ms spun instead of slept";
        }
    }
}

// While it plays, the thread the score plays on (the plug-in's user-interface
// thread) runs ahead of ordinary work, so that it takes each wake at once;
// paused or stopped it is back as it was. Wine passes no Windows priority on
// to Linux, so there the thread is also raised with the kernel (the tests
// run as root, as the CI machine does).
TEST(PlayingThread, RunsAheadWhilePlayingAndAsBeforeOnceQuiet) {
    CScore score;
    ASSERT_EQ(score.LoadText(kRightOnly), 0);
    HANDLE self = GetCurrentThread();
    const int policy = LinuxThreadPolicy();
    ASSERT_EQ(GetThreadPriority(self), THREAD_PRIORITY_NORMAL);
    struct Step {
        const char* what;
        void (CScore::*act)();
        bool raised;
    };
    const Step steps[] = {
        {"play", &CScore::Play, true},
        {"pause", &CScore::Pause, false},
        {"resume", &CScore::Play, true},
        {"stop", &CScore::Stop, false},
    };
    for (const Step& s : steps) {
        (score.*s.act)();
        EXPECT_EQ(GetThreadPriority(self), s.raised ? THREAD_PRIORITY_HIGHEST : THREAD_PRIORITY_NORMAL) << s.what;
        if (policy >= 0) {
            EXPECT_EQ(LinuxThreadPolicy(), s.raised ? 1 : policy) << s.what;
        }
    }
}

// With repeats the ruler and the measure fields follow the written measure
// while the music goes round again; seeking lands on the first time through.
TEST(RepeatPlay, TheMeasureCallbackFollowsTheWrittenBar) {
    static std::vector<int> seen;
    seen.clear();
    FakeClock clock;
    CScore score(&clock);
    ASSERT_EQ(score.LoadText("zyqn 2\nmeter: 2/4\ntempo: 60\nR: 5 |: 1 1 | @1 2 2 :| @2 3 3 | 4 4 @dc @fine |\n"), 0);
    score.SetMeasureCallback([](int current, int) { seen.push_back(current); });
    seen.clear();
    score.Play();
    for (int i = 0; i < 250; ++i) {
        clock.now += 100;
        score.OnTimer();
    }
    score.Stop();
    // Pick-up, 1, first ending, 1 again, second ending, 4, then da capo to the Fine at 4.
    std::vector<int> expected = {0, 1, 2, 1, 3, 4, 0, 1, 3, 4};
    ASSERT_GE(seen.size(), expected.size());
    EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + expected.size()), expected);
    EXPECT_DOUBLE_EQ(score.LoadedTimeline()->totalMs, 18000);
    seen.clear();
    score.GoToMeasure(3);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 3);
    EXPECT_EQ(score.GetPlayback().PositionMs(), 7000);  // the second ending, after the first pass
}

// The pedal goes down and up with the music; whatever stops or moves the
// music lifts it, so nothing the pedal holds goes on sounding, and playing
// on inside a pedalled passage presses it again.
TEST_F(PlayerTest, ThePedalFollowsTheMusicAndNeverHangs) {
    Load("zyqn 2\ntempo: 120\nR: 1 2 3 4 | 5 6 7 1' | 1 - - - |\nL: @ped 1, - - - | @ped 5,, - - - @* | 1, - - - |\n");
    const struct {
        const char* step;
        std::function<void()> act;
        const char* pedal;  // everything the sink heard so far
    } steps[] = {
        {"play into the first measure", [&] { player.Play(), Run(1200); }, "0v "},
        {"pause lifts it", [&] { player.Pause(); }, "0v 1200^ "},
        {"resume presses it again", [&] { player.Play(); }, "0v 1200^ 1200v "},
        {"a change at the next measure", [&] { Run(1000); }, "0v 1200^ 1200v 2000^ 2000v "},
        {"seek lifts it", [&] { player.SeekMeasure(2); }, "0v 1200^ 1200v 2000^ 2000v 2200^ "},
        {"after the lift at the bar line nothing presses it", [&] { Run(300); }, "0v 1200^ 1200v 2000^ 2000v 2200^ "},
        {"seek back into it while playing", [&] { player.SeekMeasure(0), Run(5); }, "0v 1200^ 1200v 2000^ 2000v 2200^ 2505v "},
        {"muting a hand leaves it", [&] { player.SetHandPlayed(kHandLeft, false); }, "0v 1200^ 1200v 2000^ 2000v 2200^ 2505v "},
        {"stop lifts it", [&] { player.Stop(); }, "0v 1200^ 1200v 2000^ 2000v 2200^ 2505v 2505^ "},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(sink.pedal, s.pedal) << s.step;
    }
    // Played to the end: lifted at the written "*", and nothing after it.
    sink.pedal.clear();
    sink.start = clock.now;
    player.Play();
    Run(6100);
    EXPECT_EQ(sink.pedal, "0v 2000^ 2000v 4000^ ");
    EXPECT_EQ(sink.ends, 1);
}
