#include "bench/player/bench_util.h"

#include <algorithm>
#include <cstdio>

#include "tests/player/player_driver.h"
#include "tests/support/test_support.h"

namespace player_bench {

double NowMs() {
    static const double msPerCount = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1000.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * msPerCount;
}

HWND StartPlayer(testing_support::PluginSandbox& box) {
    if (!box.Start()) {
        printf("the plug-in did not start\n");
        return nullptr;
    }
    testing_support::PumpFor(400);
    return box.PlayerWindow();
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

std::string LongScore(int measures) {
    std::string text = "zyqn 1\ntitle: Bench Etude\ncomposer: Nobody\nkey: G\nmeter: 4/4\ntempo: 120\n";
    for (int m = 0; m < measures; m += 4) {
        text += "R: | 1 2 3 4 | 5 6 7 1' | 3 3 4 5 | 5 4 3 2 |\n";
        text += "L: | 1, - 5,, - | 1, - 5, - | 1, 3, 5, 3, | 1, - - - |\n";
    }
    return text;
}

std::string EighthsScore(int measures, bool leftHand) {
    std::string text = "zyqn 1\ntitle: Bench Eighths\nkey: C\nmeter: 4/4\ntempo: 120\n";
    for (int m = 0; m < measures; m += 2) {
        text += "R: | 1_ 2_ 3_ 4_ 5_ 6_ 7_ 1'_ | 1'_ 7_ 6_ 5_ 4_ 3_ 2_ 1_ |\n";
        text += leftHand ? "L: | 1,_ 3,_ 5,_ 3,_ 1,_ 3,_ 5,_ 3,_ | 5,,_ 7,,_ 2,_ 7,,_ 5,,_ 7,,_ 2,_ 7,,_ |\n"
                         : "L: | 0 - - - | 0 - - - |\n";
    }
    return text;
}

void Repaint(HWND wnd, const RECT* rc) {
    RedrawWindow(wnd, rc, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

namespace {
// Waits until the opening that began at start (NowMs) has gone: the dialog,
// if any, is closed and the title reads title. Then has the page painted.
// Milliseconds from start to the painted page, or -1; marks, if given, get
// the moments.
double AwaitOpened(HWND player, HWND dialog, double start, const std::wstring& title, OpenMarks* marks) {
    using namespace player_test;
    OpenMarks seen;
    seen.confirmed = start;
    // Looked at every millisecond: the tests' pump waits up to 10 ms between
    // looks, which would add its own lag to the figure. The title is asked
    // of the player's thread only once the dialog has gone: asked while it
    // closes, the questions would take that thread's time from the open.
    bool opened = false;
    while (!opened && NowMs() - start < 10000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        opened = !(dialog && IsWindow(dialog)) && TextOf(player, L"ID_WND_MELVANE_TITLE") == title;
        if (!opened) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    if (opened) {
        seen.titleSeen = NowMs();
        RECT view = Probe(player, L"ID_SCORE_VIEW").pos;
        Repaint(player, &view);
        seen.painted = NowMs();
    }
    if (marks) *marks = seen;
    return opened ? seen.painted - start : -1;
}
}  // namespace

double TimedOpen(HWND player, const std::wstring& path, const std::wstring& title, OpenMarks* marks) {
    using namespace player_test;
    using testing_support::PumpUntil;
    if (marks) *marks = OpenMarks{};
    ClickControl(player, L"ID_BTN_OPEN_FILE");
    HWND dialog = nullptr;
    PumpUntil([&] { return (dialog = FindOwnedDialog(player, L"Open File")) != nullptr; });
    if (!dialog) return -1;
    if (!SetDlgItemTextW(dialog, 0x47C, path.c_str())) SetDlgItemTextW(dialog, 0x480, path.c_str());
    const double start = NowMs();
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return AwaitOpened(player, dialog, start, title, marks);
}

RECT LibraryRow(HWND player, const std::wstring& name) {
    const std::wstring ending = L">" + name;
    for (int i = 0;; ++i) {
        PlayerProbe row = player_test::Probe(player, (L"#ROW:" + std::to_wstring(i)).c_str());
        if (!row.found) return RECT{};
        const std::wstring text = row.text;
        if (row.visible && text.size() >= ending.size() &&
            text.compare(text.size() - ending.size(), ending.size(), ending) == 0)
            return row.pos;
    }
}

double TimedLibraryOpen(HWND player, const std::wstring& name, const std::wstring& title, OpenMarks* marks) {
    if (marks) *marks = OpenMarks{};
    // Found before the clock starts: each look at a row is a question to the player's thread.
    const RECT row = LibraryRow(player, name);
    if (IsRectEmpty(&row)) return -1;
    const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    const double start = NowMs();
    PostMessageW(player, WM_MOUSEMOVE, 0, at);
    PostMessageW(player, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(player, WM_LBUTTONUP, 0, at);
    return AwaitOpened(player, nullptr, start, title, marks);
}

}  // namespace player_bench
