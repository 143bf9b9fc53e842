// Figures of the player at work: opening a ten-page score (open confirmed
// to first page painted), one page repaint while playing, one ruler
// repaint, and the GDI, USER and private-memory use over repeated opening.
// Usage: player_bench [open cycles, default 200]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/player/bench_util.h"
#include "tests/player/player_driver.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace player_test;
using namespace player_bench;

namespace {

// Wine reports no GUI object counts and no private usage; the page-file
// and working-set figures stand in for the memory then.
struct Usage {
    DWORD gdi, user;
    SIZE_T privateBytes, pagefile, workingSet;
};

Usage TakeUsage() {
    Usage u;
    u.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    u.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
    u.privateBytes = pmc.PrivateUsage;
    u.pagefile = pmc.PagefileUsage;
    u.workingSet = pmc.WorkingSetSize;
    return u;
}

}  // namespace

int main(int argc, char** argv) {
    int cycles = argc > 1 ? atoi(argv[1]) : 200;
    PluginSandbox box(L"ScoreDll.dll");
    HWND wnd = StartPlayer(box);
    if (!wnd) return 1;
    std::wstring longPath = box.Folder() + L"Bench Etude.zyqn";
    WriteFileBytes(longPath, LongScore(400));
    std::wstring shortPath = SampleScore(L"Beginner\\Ode to Joy.zyqn");

    double open = TimedOpen(wnd, longPath, L"Melvane  ( Bench Etude )");
    printf("open a %d-page score (confirmed to painted): %.1f ms\n", Probe(wnd, L"#PAGES").value, open);

    box.Client().Cmd(2);
    PumpUntil([&] { return !box.Host().Of(WM_USER + 110).empty() && !Probe(wnd, L"#COUNTIN").enabled; }, 6000);
    PumpUntil([&] { return Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled && !Probe(wnd, L"#COUNTIN").enabled; }, 6000);
    RECT view = Probe(wnd, L"ID_SCORE_VIEW").pos;
    const int pages = 50;
    double t = NowMs();
    for (int i = 0; i < pages; ++i) Repaint(wnd, &view);
    printf("page repaint while playing: %.2f ms\n", (NowMs() - t) / pages);
    // The same toolkit work without the engine: the library panel's area.
    RECT panel = Probe(wnd, L"ID_SCORE_PANEL").pos;
    t = NowMs();
    for (int i = 0; i < pages; ++i) Repaint(wnd, &panel);
    printf("library panel repaint (toolkit reference): %.2f ms\n", (NowMs() - t) / pages);
    RECT ruler = Probe(wnd, L"ID_SLIDER_PLAY_RULER").pos;
    const int rulers = 200;
    t = NowMs();
    for (int i = 0; i < rulers; ++i) Repaint(wnd, &ruler);
    printf("ruler repaint: %.3f ms\n", (NowMs() - t) / rulers);
    box.Client().Cmd(3);
    PumpFor(100);

    // Warm up once with each score, then count.
    TimedOpen(wnd, shortPath, L"Melvane  ( Ode to Joy )");
    TimedOpen(wnd, longPath, L"Melvane  ( Bench Etude )");
    Usage before = TakeUsage();
    double total = 0;
    for (int i = 0; i < cycles; ++i) {
        bool odd = i % 2 == 1;
        total += TimedOpen(wnd, odd ? longPath : shortPath,
                           odd ? L"Melvane  ( Bench Etude )" : L"Melvane  ( Ode to Joy )");
    }
    TimedOpen(wnd, longPath, L"Melvane  ( Bench Etude )");
    PumpFor(200);
    Usage after = TakeUsage();
    printf("%d opens, %.1f ms each on average\n", cycles, total / (cycles ? cycles : 1));
    printf("GDI objects %lu -> %lu, USER objects %lu -> %lu, private bytes %lu KB -> %lu KB\n", before.gdi, after.gdi,
           before.user, after.user, static_cast<unsigned long>(before.privateBytes / 1024),
           static_cast<unsigned long>(after.privateBytes / 1024));
    printf("page-file usage %lu KB -> %lu KB, working set %lu KB -> %lu KB\n",
           static_cast<unsigned long>(before.pagefile / 1024), static_cast<unsigned long>(after.pagefile / 1024),
           static_cast<unsigned long>(before.workingSet / 1024), static_cast<unsigned long>(after.workingSet / 1024));
    return 0;
}
