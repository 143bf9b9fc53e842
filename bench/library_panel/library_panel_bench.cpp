// Filling the library panel at start: the real plug-in and engine over a
// library of 20 folders with 50 scores each. The panel loads every score once
// on the UI thread, so the load shows as the longest time the player window
// takes to answer a message; an empty library gives the baseline.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/support/test_support.h"

using namespace testing_support;

namespace {
double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

struct Figures {
    double longestStall = 0;  // seconds the window did not answer
    double untilQuiet = 0;    // from the window showing to the end of that stall
};

Figures Measure(int folders, int scores) {
    PluginSandbox box(L"ScoreDll.dll");
    const std::wstring music = box.Folder() + L"music\\";
    const std::wstring sample = BinFolder() + L"music\\Beginner\\Ode to Joy.zyqn";
    CreateDirectoryW(music.c_str(), nullptr);
    for (int f = 0; f < folders; ++f) {
        wchar_t folder[64];
        wsprintfW(folder, L"%sFolder %02d\\", music.c_str(), f);
        CreateDirectoryW(folder, nullptr);
        for (int s = 0; s < scores; ++s) {
            wchar_t file[128];
            wsprintfW(file, L"%sScore %02d.zyqn", folder, s);
            CopyFileW(sample.c_str(), file, FALSE);
        }
    }
    Figures out;
    if (!box.Start()) return out;
    HWND player = box.PlayerWindow();
    const double shown = Now();
    // Timer 1 starts the load 120 ms after the window shows; watch for 6 s.
    while (Now() - shown < 6.0) {
        double t = Now();
        DWORD_PTR r = 0;
        SendMessageTimeoutW(player, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &r);
        double stall = Now() - t;
        if (stall > out.longestStall) {
            out.longestStall = stall;
            out.untilQuiet = Now() - shown;
        }
        PumpFor(5);
    }
    box.Stop();
    return out;
}
}  // namespace

int main() {
    Figures empty = Measure(0, 0);
    Figures full = Measure(20, 50);
    printf("library panel load, 20 folders x 50 scores:\n");
    printf("  longest stall of the player window: %.3f s (empty library %.3f s)\n", full.longestStall,
           empty.longestStall);
    printf("  window quiet again after:           %.3f s (empty library %.3f s)\n", full.untilQuiet,
           empty.untilQuiet);
    return 0;
}
