// Start-up of the player window as a host sees it: from FunZYQPluginInit to
// the window being visible, to its first painted frame, and to the
// "windowinit" work (seen through the stand-in engine, which logs the tempo
// ratio the player sets there). Prints medians over several runs.
//   startup_bench.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "abi/module.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {
double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart * 1000.0 / freq.QuadPart;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool Painted(HWND wnd) { return wnd && IsWindowVisible(wnd) && !GetUpdateRect(wnd, nullptr, FALSE); }
}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    std::vector<double> visible, painted, init, exitTimes;
    for (int i = 0; i < runs; ++i) {
        PluginSandbox box(L"FakeScoreDll.dll");
        HMODULE engine = LoadLibraryW((box.Folder() + L"ScoreDll.dll").c_str());
        auto log = GetProc<const char*(__cdecl*)()>(engine, "FakeEngineLog");
        double t0 = Now();
        if (box.Client().Init(box.Host().Hwnd(), 1033, L"") != 1) return 1;
        HWND wnd = nullptr;
        double tVisible = 0, tPainted = 0, tInit = 0;
        PumpUntil(
            [&] {
                if (!wnd) wnd = box.PlayerWindow();
                if (wnd && !tVisible) tVisible = Now() - t0;
                if (wnd && !tPainted && Painted(wnd)) tPainted = Now() - t0;
                if (!tInit && log && strstr(log(), "SetTempoRatio")) tInit = Now() - t0;
                return tVisible && tPainted && tInit;
            },
            10000);
        double t1 = Now();
        box.Client().Exit();
        exitTimes.push_back(Now() - t1);
        visible.push_back(tVisible);
        painted.push_back(tPainted);
        init.push_back(tInit);
        FreeLibrary(engine);
    }
    printf("player start-up over %d runs (median ms)\n", runs);
    printf("  Init -> window visible      %8.1f\n", Median(visible));
    printf("  Init -> first painted frame %8.1f\n", Median(painted));
    printf("  Init -> windowinit          %8.1f\n", Median(init));
    printf("  Exit (close and join)       %8.1f\n", Median(exitTimes));
    return 0;
}
