// Memory over the plug-in's life cycles, as a host drives them: Init and Exit
// on one loaded DLL, then whole sessions of LoadLibrary, Init, Exit and
// FreeLibrary. The shipped DLL and the real engine run in a temporary
// plug-in folder. Prints the committed private memory after every cycle and
// the growth per cycle over the second half (the first cycles fill caches).
//   lifecycle_bench.exe [cycles] [sessions] [plug-in DLL to measure, for a before/after]
// With MELVANE_BENCH_NO_ENGINE=1 the plug-in folder has no engine, which
// separates the engine's share of the figures from the plug-in's. With
// MELVANE_BENCH_HOLD_SYSTEM_DLLS=1 this host keeps the system libraries the
// plug-in and the engine import loaded, as a real host usually does, so
// that their loading and unloading with each session is not counted.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

long long CommittedKb() {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return static_cast<long long>(pmc.PagefileUsage) / 1024;
}

// GDI and USER handles in use; Wine does not count them and reports 0.
int GdiObjects() { return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)); }
int UserObjects() { return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)); }

HWND FindPlayer() {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, nullptr, L"Melvane")) != nullptr) {
        DWORD pid = 0;
        if (GetWindowThreadProcessId(w, &pid) != GetCurrentThreadId() && pid == GetCurrentProcessId() &&
            IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// One start and stop; false when the window never showed.
bool RunOnce(CPluginClient& client, RecordingHost& host) {
    if (client.Init(host.Hwnd(), 1033, L"") != 1) return false;
    bool shown = PumpUntil([] { return FindPlayer() != nullptr; });
    PumpFor(250);  // timer 1 runs the start-up work (library, zoom)
    client.Exit();
    PumpFor(20);
    return shown;
}

void Report(const char* what, const std::vector<long long>& kb) {
    if (kb.size() < 2) return;
    size_t half = kb.size() / 2;
    double perCycle = static_cast<double>(kb.back() - kb[half]) / static_cast<double>(kb.size() - 1 - half);
    printf("%s: %zu cycles, first %lld kB, last %lld kB, growth over the second half %.1f kB per cycle\n", what,
           kb.size(), kb.front(), kb.back(), perCycle);
}

}  // namespace

int main(int argc, char** argv) {
    int cycles = argc > 1 ? std::max(2, atoi(argv[1])) : 100;
    int sessions = argc > 2 ? std::max(2, atoi(argv[2])) : 50;
    if (getenv("MELVANE_BENCH_HOLD_SYSTEM_DLLS"))
        for (const wchar_t* name : {L"comctl32.dll", L"comdlg32.dll", L"imm32.dll", L"msimg32.dll", L"ole32.dll",
                                    L"oleaut32.dll", L"shlwapi.dll", L"version.dll", L"winmm.dll", L"riched20.dll"})
            LoadLibraryW(name);
    TempDir dir;
    if (argc > 3) {
        std::wstring other(argv[3], argv[3] + strlen(argv[3]));
        CopyFileW(other.c_str(), (dir.Path() + L"ZYQMelvane.dll").c_str(), FALSE);
    } else {
        CopyFromBin(L"ZYQMelvane.dll", dir.Path());
    }
    if (!getenv("MELVANE_BENCH_NO_ENGINE")) CopyFromBin(L"ScoreDll.dll", dir.Path());
    const std::wstring dll = dir.Path() + L"ZYQMelvane.dll";
    RecordingHost host;

    std::vector<long long> initExit;
    {
        CPluginClient client;
        if (!client.Load(dll)) return 1;
        for (int i = 0; i < cycles; ++i) {
            if (!RunOnce(client, host)) {
                printf("cycle %d: no window\n", i + 1);
                return 1;
            }
            initExit.push_back(CommittedKb());
            printf("init/exit %3d: %lld kB, GDI %d, USER %d\n", i + 1, initExit.back(), GdiObjects(), UserObjects());
        }
    }

    std::vector<long long> loadUnload;
    for (int i = 0; i < sessions; ++i) {
        CPluginClient client;
        if (!client.Load(dll) || !RunOnce(client, host)) {
            printf("session %d: no window\n", i + 1);
            return 1;
        }
        client.Unload();
        loadUnload.push_back(CommittedKb());
        printf("load/unload %3d: %lld kB, GDI %d, USER %d\n", i + 1, loadUnload.back(), GdiObjects(), UserObjects());
    }
    Report("Init/Exit on one load", initExit);
    Report("LoadLibrary/Init/Exit/FreeLibrary", loadUnload);
    return 0;
}
