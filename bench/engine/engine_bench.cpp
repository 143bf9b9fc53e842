// Figures for the score engine under Wine: load and layout, drawing, and how
// closely playback keeps time. Run: wine engine_bench.exe [real-seconds, 0 for none]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "abi/dib_section.h"
#include "engine/playback.h"
#include "engine/renderer.h"
#include "engine/score_object.h"
#include "engine/layout.h"
#include "engine/timeline.h"
#include "engine/zyqn_parser.h"

using namespace zyqn;

namespace {

double NowMs() {
    static CPerformanceClock clock;
    return clock.NowMs();
}

// A score of n measures that mixes quarters, eighths, sixteenths and chords.
std::string BigScore(int measures, int tempo) {
    std::string text = "zyqn 1\ntitle: Benchmark\nkey: G\nmeter: 4/4\ntempo: " + std::to_string(tempo) + "\n";
    const char* right[4] = {"1 2 3_4_ 5", "6_5_4_3_ [2 5] 1", "1__2__3__4__ 5 #4 5", "{1_ 2_ 3_} 4. 3_ 2"};
    const char* left[4] = {"1, 5, 3, 5,", "[4,, 1,] - [5,, 2,] -", "1, - 5,, -", "[1, 3, 5,] - - -"};
    for (int m = 0; m < measures; m += 4) {
        text += "R:";
        for (int i = 0; i < 4 && m + i < measures; ++i) text += std::string(" ") + right[i] + " |";
        text += "\nL:";
        for (int i = 0; i < 4 && m + i < measures; ++i) text += std::string(" ") + left[i] + " |";
        text += "\n";
    }
    return text;
}

// The same in format version 2 with a change of key, meter or tempo, a
// hairpin and a tempo word on every line: the words' band and their room.
std::string WordyScore(int measures) {
    std::string text = "zyqn 2\ntitle: Words\nkey: G\nmeter: 4/4\ntempo: 120\n";
    const char* changes[4] = {"@key=D", "@tempo=96", "@key=G @tempo=120", "@meter=4/4"};
    for (int m = 0; m < measures; m += 4) {
        text += std::string("R: ") + (m ? changes[(m / 4) % 4] : "") + " @p @cresc 1 2 3_4_ 5 | 6_5_4_3_ @f [2 5] 1 |";
        text += " @rit 1__2__3__4__ 5 #4 5 | @atempo {1_ 2_ 3_} 4. 3_ 2 |\n";
        text += "L: 1, 5, 3, 5, | [4,, 1,] - [5,, 2,] - | 1, - 5,, - | [1, 3, 5,] - - - |\n";
    }
    return text;
}

// The median of several runs: one slow run on a shared machine does not count.
template <typename F>
double Median(int runs, F f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double t = NowMs();
        f();
        times.push_back(NowMs() - t);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Dib {
    Dib(int w, int h) {
        dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bmp = CreateDib32(dc, w, h, &bits);
        SelectObject(dc, bmp);
    }
    ~Dib() {
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    HDC dc;
    HBITMAP bmp;
};

// Fake-clock playback with a jittery 1..16 ms timer: how late events go out.
void FakeClockTiming(const std::string& text) {
    struct Clock : IClock {
        double now = 0;
        double NowMs() override { return now; }
    } clock;
    struct Sink : IPlaySink {
        Clock* clock;
        const Timeline* tl;
        double start = 0, worst = 0, sum = 0;
        size_t next = 0;
        int count = 0;
        void OnNote(int, int, int, bool on) override {
            if (!on) return;
            while (next < tl->events.size() && !tl->events[next].on) ++next;
            if (next >= tl->events.size()) return;
            double late = (clock->now - start) - tl->events[next++].ms;
            worst = std::max(worst, late);
            sum += late;
            ++count;
        }
        void OnMeasure(int) override {}
        void OnTime(double) override {}
        void OnHighlight() override {}
        void OnEnd() override {}
    } sink;
    ParseResult r = ParseZyqn(text);
    Timeline tl = BuildTimeline(r.score);
    sink.clock = &clock;
    sink.tl = &tl;
    Playback player(clock, sink);
    player.SetTimeline(&tl);
    unsigned seed = 12345;
    player.Play();
    while (player.IsPlaying()) {
        seed = seed * 1103515245 + 12345;
        clock.now += 1 + (seed >> 16) % 16;
        player.Tick();
    }
    std::printf("fake clock, 1-16 ms ticks: %d notes over %.0f s, lateness mean %.2f ms, worst %.2f ms\n",
                sink.count, tl.totalMs / 1000, sink.count ? sink.sum / sink.count : 0.0, sink.worst);
}

struct RealRun {
    std::vector<double> at;
} g_run;
void __cdecl OnNote(int, int, int, int, int on) {
    if (on) g_run.at.push_back(NowMs());
}

void RealClockTiming(const std::string& text, float ratio) {
    CScore score;
    if (score.LoadText(text) != 0) return;
    score.SetNoteCallback(OnNote);
    score.SetTempoRatio(ratio);
    g_run.at.clear();
    double start = NowMs();
    score.Play();
    MSG msg;
    while (score.IsPlaying() && GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
    std::vector<double> due;
    for (const NoteEvent& e : score.LoadedTimeline()->events)
        if (e.on) due.push_back(e.ms / ratio);
    // Opening the MIDI output comes before the clock starts; the first note
    // marks time zero, and the rest is measured against it.
    double worst = 0, sum = 0, lastErr = 0;
    size_t n = std::min(due.size(), g_run.at.size());
    double zero = n ? g_run.at[0] - due[0] : start;
    std::printf("start-up before the first note: %.2f ms\n", zero - start);
    for (size_t i = 0; i < n; ++i) {
        double err = (g_run.at[i] - zero) - due[i];
        worst = std::max(worst, std::abs(err));
        sum += std::abs(err);
        lastErr = err;
    }
    std::printf("real clock at ratio %.1f: %zu notes over %.1f s, error mean %.2f ms, worst %.2f ms, last %.2f ms\n",
                ratio, n, score.LoadedTimeline()->totalMs / ratio / 1000, n ? sum / n : 0.0, worst, lastErr);
}

}  // namespace

int main(int argc, char** argv) {
    double realSeconds = argc > 1 ? std::atof(argv[1]) : 20;
    std::string score200 = BigScore(200, 120);
    CScore score;
    double load = Median(11, [&] { score.LoadText(score200); });
    std::printf("load + timeline + layout, 200 measures: %.2f ms (%d pages)\n", load, score.PageCount());
    {
        ParseResult parsed = ParseZyqn(score200);
        double parse = Median(11, [&] { ParseZyqn(score200); });
        double timeline = Median(11, [&] { BuildTimeline(parsed.score); });
        double layout = Median(11, [&] { LayoutScore(parsed.score); });
        std::printf("  of which reading %.2f ms, the timeline %.2f ms, the page layout %.2f ms\n", parse, timeline,
                    layout);
    }

    Dib view(1280, 1024);
    RECT target{0, 0, 1280, 1024};
    for (float scale : {0.25f, 1.0f, 2.0f, 4.0f}) {
        POINT origin{0, 0};
        score.Prepare(SCORE_MODE_PAGE, scale, &origin);
        score.GoToPage(1);
        double t = Median(21, [&] { score.Draw(view.dc, SCORE_MODE_PAGE, &target); });
        std::printf("draw page 2 at %.0f%% into 1280x1024: %.2f ms (median)\n", scale * 100, t);
        CScoreRenderer renderer;
        PageView direct;
        direct.scale = scale;
        direct.clip = target;
        double fresh = Median(21, [&] { renderer.DrawPage(view.dc, *score.LoadedScore(), *score.LoadedLayout(), 1, direct); });
        std::printf("  the same drawn afresh: %.2f ms (median)\n", fresh);
    }
    // The densest sample page: sixteenths in both hands, every page at 100 %.
    CScore prelude;
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring folder = std::wstring(exe).substr(0, std::wstring(exe).find_last_of(L'\\') + 1);
    if (prelude.Load((folder + L"music\\Classical\\Prelude in C.zyqn").c_str()) == 0) {
        POINT origin{0, 0};
        prelude.Prepare(SCORE_MODE_PAGE, 1.0f, &origin);
        prelude.GoToPage(0);
        double t = Median(21, [&] { prelude.Draw(view.dc, SCORE_MODE_PAGE, &target); });
        std::printf("draw the Prelude's page 1 at 100%%: %.2f ms (median)\n", t);
    }
    // The renderer itself, without the kept page: a page drawn afresh, as on
    // a zoom change or a new score; for the pieces whose hands hold a second
    // voice, those with words, fingering and pedal marks, and a score with
    // changes, hairpins and tempo words.
    CScoreRenderer renderer;
    auto afresh = [&](const std::string& what, CScore& piece, int page) {
        for (float scale : {0.25f, 1.0f, 2.0f, 4.0f}) {
            PageView v;
            v.scale = scale;
            v.clip = target;
            double t = Median(21, [&] {
                renderer.DrawPage(view.dc, *piece.LoadedScore(), *piece.LoadedLayout(), page, v);
                GdiFlush();
            });
            std::printf("render %s afresh at %.0f%%: %.2f ms (median)\n", what.c_str(), scale * 100, t);
        }
    };
    afresh("page 2", score, 1);
    for (const char* name : {"Classical\\Prelude in C", "Classical\\Gymnopedie No 1", "Folk\\Amazing Grace",
                             "Beginner\\Mary Had a Little Lamb"}) {
        CScore piece;
        const std::wstring file = folder + L"music\\" + std::wstring(name, name + strlen(name)) + L".zyqn";
        if (piece.Load(file.c_str()) == 0) afresh(std::string(name) + " page 1", piece, 0);
    }
    CScore wordy;
    if (wordy.LoadText(WordyScore(200)) == 0) afresh("page 2 with changes and words", wordy, 1);
    Dib thumb(167, 240);
    RECT row{0, 0, 167, 237};
    score.Prepare(SCORE_MODE_THUMBNAIL, 167.0f / 794, nullptr);
    double t = Median(21, [&] { score.Draw(thumb.dc, SCORE_MODE_THUMBNAIL, &row); });
    std::printf("draw thumbnail 167 px wide: %.2f ms\n", t);

    // A 3-minute piece: 90 measures of 4/4 at 120.
    std::string piece = BigScore(90, 120);
    FakeClockTiming(piece);
    if (realSeconds <= 0) return 0;  // drawing figures only
    float ratio = static_cast<float>(180.0 / std::max(1.0, realSeconds));
    RealClockTiming(piece, std::min(3.0f, std::max(0.1f, ratio)));
    return 0;
}
