// What the player benchmarks share: the performance-counter clock, medians,
// generated scores, and opening a score, through the open dialog or by a click
// in the library panel, with the time from the click to the painted page.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {
class PluginSandbox;
}

namespace player_bench {

// Starts the plug-in with the real engine and waits until its window is up;
// null (with a message printed) when it does not start.
HWND StartPlayer(testing_support::PluginSandbox& box);

double NowMs();
// The median of the samples (the mean of the middle two for an even count); 0 for none.
double Median(std::vector<double> samples);
// A score of four-bar systems for both hands, quarters and halves.
std::string LongScore(int measures);
// A score in which both hands play running eighths: eight note-ons a second at 120 bpm.
std::string EighthsScore(int measures, bool leftHand);
// Invalidates rc (null: the whole window) and paints it at once; the window
// may belong to another thread, which then paints while this one waits.
void Repaint(HWND wnd, const RECT* rc);
// When TimedOpen confirmed the dialog (or the row was clicked), saw the title and had the page
// painted, in NowMs(); -1 for what did not happen.
struct OpenMarks {
    double confirmed = -1, titleSeen = -1, painted = -1;
};
// Opens path through the dialog and waits until the title shows title;
// milliseconds from confirming the dialog to the painted page, or -1.
double TimedOpen(HWND player, const std::wstring& path, const std::wstring& title, OpenMarks* marks = nullptr);
// The shown row of the library panel's list that reads name (a folder, a
// score or a page), in the player's client coordinates; empty when none.
RECT LibraryRow(HWND player, const std::wstring& name);
// Opens the score of that row by a click in its middle, as the mouse gives
// it, and waits as TimedOpen; marks' confirmed is the click.
double TimedLibraryOpen(HWND player, const std::wstring& name, const std::wstring& title, OpenMarks* marks = nullptr);

}  // namespace player_bench
