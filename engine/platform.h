// The engine's edges to Windows: the monotonic clock, the wake timer that
// drives playback, and the MIDI output.
#pragma once
#include <windows.h>

#include <functional>

#include "engine/playback.h"

namespace zyqn {

class CPerformanceClock : public IClock {
public:
    CPerformanceClock();
    double NowMs() override;

private:
    double msPerCount_ = 0;
};

// Runs the calling thread ahead of ordinary work, and back as it was. On
// Windows that is the thread priority. Wine (8.0) accepts the priority but
// leaves every thread at the Linux default, so there the thread also asks the
// Linux kernel itself for a real-time slot; where that is not allowed (no
// root, no rtprio limit) the thread runs as before.
class CThreadBoost {
public:
    // A thread that wakes another goes before the thread it wakes.
    enum Level { kWoken = 1, kWaker = 2 };
    void Raise(Level level);  // the calling thread
    void Restore();           // the thread that raised itself
    bool Raised() const { return raised_; }

private:
    bool raised_ = false;
    int windowsPriority_ = THREAD_PRIORITY_NORMAL;
    bool linuxRaised_ = false;
    int linuxPolicy_ = 0, linuxParam_ = 0;
};

// The Linux scheduling policy of the calling thread (0 ordinary, 1 FIFO,
// 2 round robin), or -1 where it cannot be asked (Windows).
int LinuxThreadPolicy();

// Waits on the calling thread until clock reaches dueMs, exactly: under Wine
// on Linux the kernel's own sleep does most of it (no trip through the Wine
// server; a thread at a real-time level wakes within tens of microseconds)
// and only the last fraction of a millisecond is spun; elsewhere it is spun.
void WaitUntil(IClock& clock, double dueMs);

// Wakes the thread that made it at a given moment, to run onWake there.
// SetTimer alone wakes a thread late: its messages wait behind every paint
// and input, and its period is rounded to the system's tick. Here a helper
// thread at raised priority sleeps until a little before the moment and posts
// a message to a message-only window of the owner's thread (posted messages
// are handled before paints, input and timers); the owner's thread then waits
// out the rest itself. The lead covers the post's own trip, which under Wine
// goes through the Wine server and may be late by milliseconds when the
// machine is busy; only the last step, on the thread that runs onWake, must
// be exact. The moment comes from the performance counter, so waking late
// never accumulates. While a wake is due the owner's thread is raised as well
// (below the helper): being woken on time is worth little if it then waits
// for a core.
class CWakeTimer {
public:
    explicit CWakeTimer(std::function<void()> onWake);
    ~CWakeTimer();
    CWakeTimer(const CWakeTimer&) = delete;
    CWakeTimer& operator=(const CWakeTimer&) = delete;
    // Replaces any pending wake with one ms from now (at once for ms <= 0).
    // An exact wake runs onWake at the moment; a loose one (a look at the
    // clock with nothing due) may run it up to the lead before.
    void WakeIn(double ms, bool exact = true);
    void Stop();

private:
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static DWORD WINAPI HelperMain(void* self);
    void Helper();
    bool EnsureStarted();

    std::function<void()> onWake_;
    CPerformanceClock clock_;
    HWND window_ = nullptr;  // message-only, on the owner's thread
    HANDLE thread_ = nullptr;
    HANDLE changed_ = nullptr;  // auto-reset: the helper looks at the state again
    CRITICAL_SECTION lock_;
    // Under lock_: what the helper works towards.
    double dueMs_ = 0;
    unsigned generation_ = 0;  // a post carries it; a later WakeIn or Stop makes it stale
    bool pending_ = false;     // the helper has not posted for this generation yet
    bool quit_ = false;
    // Owner's thread only.
    bool armed_ = false;         // a wake is due and not yet run
    bool exact_ = true;          // the due wake waits out its moment (the helper never looks)
    bool periodRaised_ = false;  // timeBeginPeriod(1) and the owner's boost are in force
    CThreadBoost ownerBoost_;
};

// The Windows MIDI mapper, when there is one. Without an output device every
// call quietly does nothing.
class CMidiOut {
public:
    ~CMidiOut() { Close(); }
    bool Open();
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    void Note(int channel, int midi, int velocity, bool on);
    void Sustain(bool down);  // controller 64 on both hands' channels
    void AllNotesOff();       // the pedal lifted too

private:
    void* handle_ = nullptr;  // HMIDIOUT
};

}  // namespace zyqn
