// Note timing as the host sees it: the host window stamps every note-on
// message (WM_USER+110) with the performance counter on receipt. A score of
// running eighths plays at tempo ratio 1.0 and 3.0, first on a quiet machine
// and then with a thread spinning on every core. Lateness of a note is its
// receipt time less its place on the ideal grid (first note plus k steps),
// counted from the most punctual note, so a constant delay is not counted
// but any jitter or drift is.
// Usage: timing_bench [notes per run, default 120]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/player/bench_util.h"
#include "abi/host_messages.h"
#include "tests/player/player_driver.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace player_test;
using namespace player_bench;

namespace {

struct Receipts {
    static WNDPROC original;
    static std::vector<double> at;
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_PLUGIN_NOTE && (wp & 0x10000) && wp != kResetNotesWord) at.push_back(NowMs());
        return CallWindowProcW(original, wnd, msg, wp, lp);
    }
};
WNDPROC Receipts::original = nullptr;
std::vector<double> Receipts::at;

// Threads that keep every core busy while they live.
class Spinners {
public:
    explicit Spinners(bool on) {
        if (!on) return;
        unsigned n = std::max(2u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < n; ++i)
            threads_.emplace_back([this] {
                volatile unsigned long x = 0;
                while (!stop_) ++x;
            });
    }
    ~Spinners() {
        stop_ = true;
        for (auto& t : threads_) t.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

struct Result {
    int notes;
    double mean, max;
};

// Plays from the start at the player's current tempo ratio until `notes` note-ons arrived.
Result Run(PluginSandbox& box, HWND wnd, int notes, double stepMs, bool busy) {
    PumpFor(300);  // the transport reset of the opening or the last stop comes first
    Receipts::at.clear();
    Spinners spin(busy);
    box.Client().Cmd(2);
    double timeout = 4000 + notes * stepMs * 2;
    PumpUntil([&] { return static_cast<int>(Receipts::at.size()) >= notes; }, static_cast<DWORD>(timeout));
    ClickControl(wnd, L"ID_BTN_SCORE_STOP");
    PumpUntil([&] { return !Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled; }, 3000);
    Result r{static_cast<int>(Receipts::at.size()), 0, 0};
    if (r.notes < 2) return r;
    std::vector<double> error;
    for (size_t k = 0; k < Receipts::at.size(); ++k) error.push_back(Receipts::at[k] - Receipts::at[0] - k * stepMs);
    double best = *std::min_element(error.begin(), error.end());
    for (double& e : error) e -= best;
    double sum = 0;
    for (double e : error) sum += e, r.max = std::max(r.max, e);
    r.mean = sum / error.size();
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    int notes = argc > 1 ? atoi(argv[1]) : 120;
    if (notes < 2) notes = 120;
    PluginSandbox box(L"ScoreDll.dll");
    HWND wnd = StartPlayer(box);
    if (!wnd) return 1;
    std::wstring path = box.Folder() + L"Bench Eighths.zyqn";
    WriteFileBytes(path, EighthsScore(200, false));
    if (TimedOpen(wnd, path, L"Melvane  ( Bench Eighths )") < 0) {
        printf("the score did not open\n");
        return 1;
    }
    Receipts::original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box.Host().Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Receipts::Proc)));

    struct Case {
        const char* name;
        double ratio;
        bool busy;
        const char* target;
    };
    const Case cases[] = {
        {"quiet, ratio 1.0", 1.0, false, "mean <= 0.5, max <= 2"},
        {"quiet, ratio 3.0", 3.0, false, "mean <= 0.5, max <= 2"},
        {"every core busy, ratio 1.0", 1.0, true, "mean <= 1, max <= 3"},
        {"every core busy, ratio 3.0", 3.0, true, "mean <= 1, max <= 3"},
    };
    printf("%-30s %6s %10s %10s  %s\n", "note timing at the host", "notes", "mean ms", "max ms", "target");
    for (const Case& c : cases) {
        // Tempo steps: index i plays at (30 - i) / 10; command 1 steps slower, 0 faster.
        // All the way slow (index 29), then up to the wanted index.
        for (int i = 0; i < 30; ++i) box.Client().Cmd(1);
        int index = 30 - static_cast<int>(c.ratio * 10 + 0.5);
        for (int i = 29; i > index; --i) box.Client().Cmd(0);
        PumpFor(100);
        const double eighthMs = 250.0;  // at 120 bpm
        Result r = Run(box, wnd, notes, eighthMs / c.ratio, c.busy);
        printf("%-30s %6d %10.2f %10.2f  %s\n", c.name, r.notes, r.mean, r.max, c.target);
        fflush(stdout);
    }
    SetWindowLongPtrW(box.Host().Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Receipts::original));
    return 0;
}
