// The frame budget of the real player window, as a user meets it: full
// repaints at the start size and maximised, what the page, the ruler and each
// part of the window cost, what one note costs while playing, how busy the
// user-interface thread is while a score plays, and opening a ten-page score.
// Every figure is a median over many runs, timed from the host's thread.
// Usage: frame_bench [runs, default 40]   (a 1600x1200 screen for the maximised figure)
//        frame_bench shots   (screenshots of fixed states, to compare builds)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/player/bench_util.h"
#include "abi/host_messages.h"
#include "tests/player/player_driver.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace player_test;
using namespace player_bench;

namespace {

// Times every WM_PAINT of the player window on its own thread, by a subclass
// installed from here (same process), so unchanged builds are measured alike.
struct PaintMeter {
    static WNDPROC original;
    static std::atomic<double> paintMs;
    static std::atomic<int> paints;
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_PAINT) return CallWindowProcW(original, wnd, msg, wp, lp);
        double start = NowMs();
        LRESULT r = CallWindowProcW(original, wnd, msg, wp, lp);
        paintMs = paintMs + (NowMs() - start);
        ++paints;
        return r;
    }
    static void Install(HWND wnd) {
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintMeter::Proc)));
    }
    static void Remove(HWND wnd) { SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original)); }
};
WNDPROC PaintMeter::original = nullptr;
std::atomic<double> PaintMeter::paintMs{0};
std::atomic<int> PaintMeter::paints{0};

// Note-ons as the host receives them, with the paint time spent so far.
struct NoteLog {
    static WNDPROC original;
    static std::vector<double> at, paintedMs;
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_PLUGIN_NOTE && (wp & 0x10000) && wp != kResetNotesWord) {
            at.push_back(NowMs());
            paintedMs.push_back(PaintMeter::paintMs);
        }
        return CallWindowProcW(original, wnd, msg, wp, lp);
    }
};
WNDPROC NoteLog::original = nullptr;
std::vector<double> NoteLog::at, NoteLog::paintedMs;

template <typename F>
double MedianOf(int runs, F f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        f();
        t.push_back(NowMs() - start);
    }
    return Median(t);
}

double FullRepaint(HWND wnd, int runs) {
    Repaint(wnd, nullptr);
    return MedianOf(runs, [&] { Repaint(wnd, nullptr); });
}

double AreaRepaint(HWND wnd, const wchar_t* name, int runs) {
    RECT rc = Probe(wnd, name).pos;
    if (IsRectEmpty(&rc)) return -1;
    return MedianOf(runs, [&] { Repaint(wnd, &rc); });
}

// The median wall time of repainting rc from this thread, and the mean time
// of those runs spent inside the window's WM_PAINT: the rest is the message's
// trip between the threads and Wine's copy to the screen.
struct Split {
    double wall, inPaint;
};
Split MeteredRepaint(HWND wnd, const RECT& rc, int runs) {
    if (IsRectEmpty(&rc)) return Split{-1, -1};
    PaintMeter::Install(wnd);
    Repaint(wnd, &rc);
    double before = PaintMeter::paintMs;
    double wall = MedianOf(runs, [&] { Repaint(wnd, &rc); });
    double inPaint = (PaintMeter::paintMs - before) / runs;
    PaintMeter::Remove(wnd);
    return Split{wall, inPaint};
}

double ThreadCpuMs(HANDLE thread) {
    FILETIME c, e, k, u;
    if (!GetThreadTimes(thread, &c, &e, &k, &u)) return -1;
    auto ms = [](FILETIME f) { return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e4; };
    return ms(k) + ms(u);
}

bool StartPlaying(PluginSandbox& box, HWND wnd) {
    PumpFor(300);  // the transport reset the opening posted comes first
    box.Client().Cmd(2);
    return PumpUntil([&] { return Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled && !Probe(wnd, L"#COUNTIN").enabled; },
                     8000);
}

void StopPlaying(HWND wnd) {
    ClickControl(wnd, L"ID_BTN_SCORE_STOP");
    PumpUntil([&] { return !Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled; }, 3000);
}

// Plays until `notes` note-ons reached the host, then pauses: the highlight
// then rests on known notes.
void PlayAndPauseAfter(PluginSandbox& box, HWND wnd, size_t notes) {
    PumpFor(300);  // the transport reset the opening posted comes first
    NoteLog::at.clear();
    box.Client().Cmd(2);
    PumpUntil([&] { return NoteLog::at.size() >= notes; }, 10000);
    box.Client().Cmd(3);
    PumpUntil([&] { return !Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled; }, 3000);
    PumpFor(300);
}

// Screenshots of fixed states for comparing builds pixel by pixel; each
// after a full repaint, so that what partial repaints left does not count.
void Shot(HWND wnd, const wchar_t* name) {
    Repaint(wnd, nullptr);
    SaveWindowShot(wnd, name);
}

int SaveShots(PluginSandbox& box, HWND wnd) {
    NoteLog::original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box.Host().Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteLog::Proc)));
    TimedOpen(wnd, SampleScore(L"Beginner\\Ode to Joy.zyqn"), L"Melvane  ( Ode to Joy )");
    PumpFor(300);
    Shot(wnd, L"frame_sample.png");
    PlayAndPauseAfter(box, wnd, 1);
    Shot(wnd, L"frame_sample_first_note.png");
    std::wstring path = box.Folder() + L"Bench Eighths.zyqn";
    WriteFileBytes(path, EighthsScore(200, true));
    TimedOpen(wnd, path, L"Melvane  ( Bench Eighths )");
    PlayAndPauseAfter(box, wnd, 22);
    Shot(wnd, L"frame_eighths_paused.png");
    SendMessageW(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    PumpFor(600);
    Shot(wnd, L"frame_eighths_maximised.png");
    SendMessageW(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    PumpFor(300);
    SetWindowLongPtrW(box.Host().Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteLog::original));
    return 0;
}

struct Row {
    const char* figure;
    double value;
    const char* target;
};

}  // namespace

int main(int argc, char** argv) {
    bool shots = argc > 1 && strcmp(argv[1], "shots") == 0;
    int runs = argc > 1 ? atoi(argv[1]) : 40;
    if (runs < 1) runs = 40;
    PluginSandbox box(L"ScoreDll.dll");
    HWND wnd = StartPlayer(box);
    if (!wnd) return 1;
    if (shots) return SaveShots(box, wnd);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    printf("screen %ldx%ld, %d runs per figure\n", screen.right, screen.bottom, runs);

    std::wstring sample = SampleScore(L"Beginner\\Ode to Joy.zyqn");
    TimedOpen(wnd, sample, L"Melvane  ( Ode to Joy )");
    PumpFor(200);
    RECT win;
    GetWindowRect(wnd, &win);
    PaintMeter::Install(wnd);
    double inPaint = PaintMeter::paintMs;
    double full = FullRepaint(wnd, runs);
    inPaint = (PaintMeter::paintMs - inPaint) / (runs + 1);
    PaintMeter::Remove(wnd);
    printf("full repaint %ldx%ld, sample score, idle: %.2f ms (WM_PAINT %.2f ms on average)\n", win.right - win.left,
           win.bottom - win.top, full, inPaint);

    // Where the time goes: each part of the window painted alone.
    const wchar_t* parts[] = {L"ID_WND_TITLE",        L"ID_OPERATION_PANEL", L"ID_SCORE_PANEL",
                              L"ID_SCORE_VIEW",       L"ID_PANEL_PLAY_DIS",  L"ID_SLIDER_PLAY_RULER",
                              L"ID_SCORE_TIME_VALUE", L"ID_BTN_TEMPO_DIS",   L"ID_COMBO_ZOOM"};
    printf("  %-27s %7s  %s\n", "part", "wall", "in WM_PAINT");
    for (const wchar_t* part : parts) {
        Split s = MeteredRepaint(wnd, Probe(wnd, part).pos, runs);
        printf("  %-27ls %7.2f  %7.2f ms\n", part, s.wall, s.inPaint);
    }
    // The floor every repaint pays (the cross-thread paint message, the copy to the screen).
    RECT pixel = {win.right - win.left - 40, 3, win.right - win.left - 39, 4};
    Split floor = MeteredRepaint(wnd, pixel, runs);
    printf("  %-27s %7.2f  %7.2f ms\n", "one pixel", floor.wall, floor.inPaint);

    // The long score: playing figures, the ruler and the note cost.
    std::wstring longPath = box.Folder() + L"Bench Eighths.zyqn";
    WriteFileBytes(longPath, EighthsScore(200, true));
    TimedOpen(wnd, longPath, L"Melvane  ( Bench Eighths )");
    PumpFor(200);
    PaintMeter::Install(wnd);
    NoteLog::original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box.Host().Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteLog::Proc)));
    HANDLE ui = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetWindowThreadProcessId(wnd, nullptr));

    double fullPlaying = -1, page = -1, ruler = -1, rulerInPaint = -1, noteCost = -1, busy = -1;
    int notes = 0;
    if (StartPlaying(box, wnd)) {
        // Let the engine's own repaints run alone first: the note cost and the busy thread.
        PumpFor(500);
        NoteLog::at.clear();
        NoteLog::paintedMs.clear();
        double cpu0 = ThreadCpuMs(ui), wall0 = NowMs();
        PumpFor(8000);
        double cpu1 = ThreadCpuMs(ui), wall1 = NowMs();
        busy = cpu0 >= 0 ? 100.0 * (cpu1 - cpu0) / (wall1 - wall0) : -1;
        // Notes sounding together are one event; its cost is the paint until the next.
        std::vector<double> cost;
        size_t first = 0;
        for (size_t i = 1; i <= NoteLog::at.size(); ++i) {
            if (i < NoteLog::at.size() && NoteLog::at[i] - NoteLog::at[first] < 5) continue;
            if (i < NoteLog::at.size()) cost.push_back(NoteLog::paintedMs[i] - NoteLog::paintedMs[first]);
            first = i;
        }
        notes = static_cast<int>(NoteLog::at.size());
        noteCost = Median(cost);
        fullPlaying = FullRepaint(wnd, runs);
        page = AreaRepaint(wnd, L"ID_SCORE_VIEW", runs);
        double before = PaintMeter::paintMs;
        int paints = PaintMeter::paints;
        ruler = AreaRepaint(wnd, L"ID_SLIDER_PLAY_RULER", runs * 5);
        rulerInPaint = (PaintMeter::paintMs - before) / std::max(1, PaintMeter::paints - paints);
        StopPlaying(wnd);
    }
    SetWindowLongPtrW(box.Host().Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteLog::original));
    PaintMeter::Remove(wnd);
    if (ui) CloseHandle(ui);
    printf("while playing 8 notes/s: %d note-ons in 8 s, UI thread %.1f %% of one core\n", notes, busy);
    printf("full repaint while playing: %.2f ms; page repaint while playing: %.2f ms\n", fullPlaying, page);
    printf("ruler repaint while playing: %.2f ms, of which %.2f ms in WM_PAINT (mean, the engine's own paints included)\n",
           ruler, rulerInPaint);

    // Maximised on the screen.
    TimedOpen(wnd, sample, L"Melvane  ( Ode to Joy )");
    SendMessageW(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    PumpFor(500);
    GetWindowRect(wnd, &win);
    double maxed = FullRepaint(wnd, runs);
    printf("full repaint maximised %ldx%ld: %.2f ms\n", win.right - win.left, win.bottom - win.top, maxed);
    SendMessageW(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    PumpFor(300);

    // Opening a ten-page score, alternating with the short sample.
    std::wstring etude = box.Folder() + L"Bench Etude.zyqn";
    WriteFileBytes(etude, LongScore(400));
    std::vector<double> opens;
    TimedOpen(wnd, etude, L"Melvane  ( Bench Etude )");
    int pages = Probe(wnd, L"#PAGES").value;
    for (int i = 0; i < runs; ++i) {
        TimedOpen(wnd, sample, L"Melvane  ( Ode to Joy )");
        opens.push_back(TimedOpen(wnd, etude, L"Melvane  ( Bench Etude )"));
    }
    double open = Median(opens);

    const Row rows[] = {
        {"full repaint of the player window, sample score, 879x600", full, "<= 4 ms"},
        {"same, maximised", maxed, "<= 8 ms"},
        {"what a note costs while playing (paint per note event)", noteCost, "<= 2 ms"},
        {"ruler repaint", ruler, "<= 0.5 ms"},
        {"open a score, click to painted (pages below)", open, "<= 60 ms"},
        {"UI thread busy while playing 8 notes/s (% of a core)", busy, "<= 3 %"},
    };
    printf("\n%-60s %10s  %s\n", "figure (medians)", "measured", "target");
    for (const Row& r : rows) printf("%-60s %10.2f  %s\n", r.figure, r.value, r.target);
    printf("(the opened score has %d pages)\n", pages);
    return 0;
}
