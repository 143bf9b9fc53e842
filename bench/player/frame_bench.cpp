// The frame budget of the real player window, as a user meets it: full
// repaints at the start size and maximised, what the page, the ruler and each
// part of the window cost, what one note costs while playing, how busy the
// user-interface thread is while a score plays, and opening a ten-page score
// with where its time goes. Every figure is a median over many runs, timed
// from the host's thread, or on the user-interface thread where the player
// itself repaints (the ruler as playback moves it): a repaint asked for from
// another thread also pays Wine's trip between the threads.
// Usage: frame_bench [runs, default 40]   (a 1600x1200 screen for the maximised figure)
//        frame_bench shots   (screenshots of fixed states, to compare builds)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "bench/player/bench_util.h"
#include "bench/player/engine_spy.h"
#include "abi/host_messages.h"
#include "tests/player/player_driver.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace player_test;
using namespace player_bench;

namespace {

// Times every WM_PAINT of the player window on its own thread, by a subclass
// installed from here (same process), so unchanged builds are measured alike.
// Through it the benchmark also runs work on that thread, where the player's
// own repaints happen, and logs how long the thread spends in each message.
struct PaintMeter {
    // A message the benchmark sends the window: lParam is a UiJob.
    struct UiJob {
        const std::function<void()>* work;
        double ms, inPaintMs;
    };
    struct Handled {
        UINT msg;
        double start, end;
    };
    static WNDPROC original;
    static std::atomic<double> paintMs;
    static std::atomic<int> paints;
    static int depth;  // of messages within messages, on the window's thread
    static std::mutex logLock;
    static bool logging;
    static std::vector<Handled> handled;  // the outermost messages and every paint while logging

    static UINT JobMessage() {
        static const UINT message = RegisterWindowMessageW(L"MelvaneFrameBench.RunOnUiThread");
        return message;
    }
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == JobMessage()) {
            auto* job = reinterpret_cast<UiJob*>(lp);
            UpdateWindow(wnd);  // what was waiting to be painted is not the job's
            double painted = paintMs, start = NowMs();
            (*job->work)();
            job->ms = NowMs() - start;
            job->inPaintMs = paintMs - painted;
            return 1;
        }
        double start = NowMs();
        ++depth;
        LRESULT r = CallWindowProcW(original, wnd, msg, wp, lp);
        --depth;
        double end = NowMs();
        if (msg == WM_PAINT) {
            paintMs = paintMs + (end - start);
            ++paints;
        }
        if (depth == 0 || msg == WM_PAINT) {  // a paint may come inside another message
            std::lock_guard<std::mutex> guard(logLock);
            if (logging) handled.push_back(Handled{msg, start, end});
        }
        return r;
    }
    static void Install(HWND wnd) {
        depth = 0;  // a window of an earlier plug-in may have gone inside a message
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintMeter::Proc)));
    }
    static void StartLog() {
        std::lock_guard<std::mutex> guard(logLock);
        handled.clear();
        logging = true;
    }
    static std::vector<Handled> StopLog() {
        std::lock_guard<std::mutex> guard(logLock);
        logging = false;
        return handled;
    }
};
WNDPROC PaintMeter::original = nullptr;
std::atomic<double> PaintMeter::paintMs{0};
std::atomic<int> PaintMeter::paints{0};
int PaintMeter::depth = 0;
std::mutex PaintMeter::logLock;
bool PaintMeter::logging = false;
std::vector<PaintMeter::Handled> PaintMeter::handled;

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

// A median wall time, and the mean time of those runs spent inside the
// window's WM_PAINT.
struct Split {
    double wall, inPaint;
};

// Repainting rc from this thread: the time not spent painting is the
// message's trip between the threads and Wine's copy to the screen.
Split MeteredRepaint(HWND wnd, const RECT& rc, int runs) {
    if (IsRectEmpty(&rc)) return Split{-1, -1};
    Repaint(wnd, &rc);
    double before = PaintMeter::paintMs;
    double wall = MedianOf(runs, [&] { Repaint(wnd, &rc); });
    return Split{wall, (PaintMeter::paintMs - before) / runs};
}

PaintMeter::UiJob RunOnUiThread(HWND wnd, const std::function<void()>& work) {
    PaintMeter::UiJob job = {&work, -1, 0};
    SendMessageW(wnd, PaintMeter::JobMessage(), 0, reinterpret_cast<LPARAM>(&job));
    return job;
}

// Work run on the window's own thread, where the player repaints, timed there.
Split OnUiThread(HWND wnd, int runs, const std::function<void()>& work) {
    RunOnUiThread(wnd, work);  // warms up
    std::vector<double> wall;
    double inPaint = 0;
    for (int i = 0; i < runs; ++i) {
        PaintMeter::UiJob job = RunOnUiThread(wnd, work);
        wall.push_back(job.ms);
        inPaint += job.inPaintMs;
    }
    return Split{Median(wall), inPaint / runs};
}

Split UiThreadRepaint(HWND wnd, const RECT& rc, int runs) {
    if (IsRectEmpty(&rc)) return Split{-1, -1};
    return OnUiThread(wnd, runs, [&] { Repaint(wnd, &rc); });
}

// The ruler as playback moves it: the plug-in's measure callback for the
// next measure, as the engine calls it, and the paint that follows. Ends
// with the ruler back at its start, as a stop leaves it.
Split MeasureSteps(HWND wnd, int runs) {
    ScoreMeasureFn measure = PluginMeasureCallback();
    int total = Probe(wnd, L"ID_SLIDER_PLAY_RULER").maximum / 10;
    if (!measure || total < 2) return Split{-1, -1};
    int current = 1;
    Split s = OnUiThread(wnd, runs, [&] {
        current = current % total + 1;
        measure(current, total);
        UpdateWindow(wnd);
    });
    RunOnUiThread(wnd, [&] { measure(0, total); });
    return s;
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

// Where one open's time goes, from the benchmark's marks, the engine's calls
// and the messages the player's thread handled: the steps in order, in ms.
struct OpenSteps {
    double toOpenScore = -1;  // confirmed until the engine is stopped: the dialog closes, the splash shows
    double load = -1;         // the engine's Stop and Load: reading and laying out the score
    double rest = -1;         // the rest of the open: page layout, the splash's end, the library panel
    double queued = -1;       // after it, until the title could be read
    double viewPaint = -1;    // the benchmark's repaint of the view, with all that waited to be painted
    // After the open: the WM_PAINTs (the benchmark's repaint of the view among them) and the engine's page draws.
    double paintMs = 0, drawMs = 0;
    int paints = 0, draws = 0;
    int layouts = 0;  // the engine's Prepare calls in all of it
};

OpenSteps StepsOf(const OpenMarks& marks, const std::vector<EngineCall>& calls,
                  const std::vector<PaintMeter::Handled>& handled) {
    OpenSteps s;
    const EngineCall* stop = nullptr;
    const EngineCall* load = nullptr;
    for (const EngineCall& c : calls) {
        if (c.op == EngineCall::Stop && !stop) stop = &c;
        if (c.op == EngineCall::Load && !load) load = &c;
        if (c.op == EngineCall::Prepare) ++s.layouts;
    }
    // The open runs inside the message that brought the dialog's answer.
    const PaintMeter::Handled* open = nullptr;
    for (const PaintMeter::Handled& h : handled)
        if (load && h.start <= load->start && load->end <= h.end) open = &h;
    if (!stop || !load || !open || marks.painted < 0) return s;
    s.toOpenScore = stop->start - marks.confirmed;
    s.load = load->end - stop->start;
    s.rest = open->end - load->end;
    s.queued = marks.titleSeen - open->end;
    s.viewPaint = marks.painted - marks.titleSeen;
    for (const PaintMeter::Handled& h : handled)
        if (h.msg == WM_PAINT && h.start >= open->end) s.paintMs += h.end - h.start, ++s.paints;
    for (const EngineCall& c : calls)
        if (c.op == EngineCall::Draw && c.start >= open->end) s.drawMs += c.end - c.start, ++s.draws;
    return s;
}

// One timed open (open returns its ms and fills the marks) with the engine's
// calls and the player's messages watched: its time into times, its steps
// returned.
OpenSteps WatchedOpen(const std::function<double(OpenMarks*)>& open, std::vector<double>& times) {
    OpenMarks marks;
    ClearEngineCalls();
    PaintMeter::StartLog();
    times.push_back(open(&marks));
    PumpFor(20);  // the player's thread may still be logging the paint the benchmark asked for
    std::vector<PaintMeter::Handled> handled = PaintMeter::StopLog();
    return StepsOf(marks, EngineCalls(), handled);
}

void PrintOpenSteps(const char* heading, const std::vector<OpenSteps>& opens) {
    auto median = [&](auto field) {
        std::vector<double> v;
        for (const OpenSteps& o : opens) v.push_back(static_cast<double>(o.*field));
        return Median(v);
    };
    const struct {
        const char* step;
        double OpenSteps::*field;
    } steps[] = {
        {"click -> engine stopped (a dialog closes, the splash shows)", &OpenSteps::toOpenScore},
        {"engine Stop + Load (read, lay out)", &OpenSteps::load},
        {"rest of the open (page layout, the splash ends, library panel)", &OpenSteps::rest},
        {"queued after the open until the title reads", &OpenSteps::queued},
        {"the benchmark's repaint of the view (what waited included)", &OpenSteps::viewPaint},
    };
    printf("%s, where the time goes (medians of %zu opens):\n", heading, opens.size());
    for (const auto& step : steps) printf("  %-66s %7.2f ms\n", step.step, median(step.field));
    printf("  after the open: %.0f WM_PAINT, the benchmark's included (%.2f ms), with %.0f page draw (%.2f ms); %.0f page\n"
           "  layouts in all\n",
           median(&OpenSteps::paints), median(&OpenSteps::paintMs), median(&OpenSteps::draws),
           median(&OpenSteps::drawMs), median(&OpenSteps::layouts));
}

struct Row {
    const char* figure;
    double value;
    const char* target;
};

}  // namespace

// Opening the ten-page score as a learner mostly does, by a click on it in
// the library panel, alternating with the short sample; the median in ms.
double LibraryOpens(int runs) {
    PluginSandbox box(L"ScoreDll.dll");
    const std::wstring folder = box.Folder() + L"music\\Bench\\";
    CreateDirectoryW((box.Folder() + L"music").c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteFileBytes(folder + L"Bench Etude.zyqn", LongScore(400));
    CopyFileW(SampleScore(L"Beginner\\Ode to Joy.zyqn").c_str(), (folder + L"Ode to Joy.zyqn").c_str(), FALSE);
    HWND wnd = StartPlayer(box);
    if (!wnd) return -1;
    WatchEngine();
    PaintMeter::Install(wnd);
    std::vector<double> opens;
    std::vector<OpenSteps> steps;
    TimedLibraryOpen(wnd, L"Bench Etude", L"Melvane  ( Bench Etude )");
    for (int i = 0; i < runs; ++i) {
        TimedLibraryOpen(wnd, L"Ode to Joy", L"Melvane  ( Ode to Joy )");
        PumpFor(50);
        steps.push_back(WatchedOpen(
            [&](OpenMarks* marks) {
                return TimedLibraryOpen(wnd, L"Bench Etude", L"Melvane  ( Bench Etude )", marks);
            },
            opens));
        PumpFor(50);
    }
    PrintOpenSteps("opening the ten-page score by a click in the library panel", steps);
    return Median(opens);
}

int main(int argc, char** argv) {
    bool shots = argc > 1 && strcmp(argv[1], "shots") == 0;
    int runs = argc > 1 ? atoi(argv[1]) : 40;
    if (runs < 1) runs = 40;
    PluginSandbox box(L"ScoreDll.dll");
    HWND wnd = StartPlayer(box);
    if (!wnd) return 1;
    if (shots) return SaveShots(box, wnd);
    if (!WatchEngine()) printf("(the engine's calls are not watched: the open's steps and the measure steps are missing)\n");
    PaintMeter::Install(wnd);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    printf("screen %ldx%ld, %d runs per figure\n", screen.right, screen.bottom, runs);

    std::wstring sample = SampleScore(L"Beginner\\Ode to Joy.zyqn");
    TimedOpen(wnd, sample, L"Melvane  ( Ode to Joy )");
    PumpFor(200);
    RECT win;
    GetWindowRect(wnd, &win);
    double inPaint = PaintMeter::paintMs;
    double full = FullRepaint(wnd, runs);
    inPaint = (PaintMeter::paintMs - inPaint) / (runs + 1);
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
    // The floor every repaint pays: the paint message, the copy to the screen,
    // and from here also the trip between the threads.
    RECT pixel = {win.right - win.left - 40, 3, win.right - win.left - 39, 4};
    Split floor = MeteredRepaint(wnd, pixel, runs);
    Split floorUi = UiThreadRepaint(wnd, pixel, runs);
    printf("  %-27s %7.2f  %7.2f ms\n", "one pixel, from this thread", floor.wall, floor.inPaint);
    printf("  %-27s %7.2f  %7.2f ms\n", "one pixel, on the UI thread", floorUi.wall, floorUi.inPaint);

    // The long score: playing figures, the ruler and the note cost.
    std::wstring longPath = box.Folder() + L"Bench Eighths.zyqn";
    WriteFileBytes(longPath, EighthsScore(200, true));
    TimedOpen(wnd, longPath, L"Melvane  ( Bench Eighths )");
    PumpFor(200);
    NoteLog::original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box.Host().Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteLog::Proc)));
    HANDLE ui = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetWindowThreadProcessId(wnd, nullptr));

    double fullPlaying = -1, page = -1, ruler = -1, rulerInPaint = -1, noteCost = -1, busy = -1;
    Split rulerUi = {-1, -1};
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
        rulerUi = UiThreadRepaint(wnd, Probe(wnd, L"ID_SLIDER_PLAY_RULER").pos, runs * 5);
        StopPlaying(wnd);
    }
    SetWindowLongPtrW(box.Host().Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteLog::original));
    Split step = MeasureSteps(wnd, runs * 5);
    if (ui) CloseHandle(ui);
    printf("while playing 8 notes/s: %d note-ons in 8 s, UI thread %.1f %% of one core\n", notes, busy);
    printf("full repaint while playing: %.2f ms; page repaint while playing: %.2f ms\n", fullPlaying, page);
    printf("ruler repaint while playing, on the UI thread: %.2f ms, of which %.2f ms in WM_PAINT\n", rulerUi.wall,
           rulerUi.inPaint);
    printf("  the same from this thread (with the benchmark's trip between the threads): %.2f ms, of which %.2f ms in\n"
           "  WM_PAINT (mean, the engine's own paints included)\n",
           ruler, rulerInPaint);
    printf("ruler moved to the next measure as playback does (measure callback + UpdateWindow), on the UI thread:\n"
           "  %.2f ms, of which %.2f ms in WM_PAINT\n",
           step.wall, step.inPaint);

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
    std::vector<OpenSteps> steps;
    TimedOpen(wnd, etude, L"Melvane  ( Bench Etude )");
    int pages = Probe(wnd, L"#PAGES").value;
    for (int i = 0; i < runs; ++i) {
        TimedOpen(wnd, sample, L"Melvane  ( Ode to Joy )");
        steps.push_back(WatchedOpen(
            [&](OpenMarks* marks) { return TimedOpen(wnd, etude, L"Melvane  ( Bench Etude )", marks); }, opens));
    }
    double open = Median(opens);
    PrintOpenSteps("opening the ten-page score through the open dialog", steps);
    box.Stop();
    double libraryOpen = LibraryOpens(runs);

    const Row rows[] = {
        {"full repaint of the player window, sample score, 879x600", full, "<= 4 ms"},
        {"same, maximised", maxed, "<= 8 ms"},
        {"what a note costs while playing (paint per note event)", noteCost, "<= 2 ms"},
        {"ruler repaint (on the UI thread, as the player repaints it)", rulerUi.wall, "<= 0.5 ms"},
        {"  the same from another thread, the trip included", ruler, "-"},
        {"open a score, click to painted (pages below)", open, "<= 60 ms"},
        {"  the same by a click in the library panel", libraryOpen, "<= 60 ms"},
        {"UI thread busy while playing 8 notes/s (% of a core)", busy, "<= 3 %"},
    };
    printf("\n%-60s %10s  %s\n", "figure (medians)", "measured", "target");
    for (const Row& r : rows) printf("%-60s %10.2f  %s\n", r.figure, r.value, r.target);
    printf("(the opened score has %d pages)\n", pages);
    return 0;
}
