// The engine's edges to Windows: the monotonic clock, the thread timer that
// drives playback, and the MIDI output.
#pragma once
#include <windows.h>

#include <functional>

#include "engine/player.h"

namespace zyqn {

class CPerformanceClock : public IClock {
public:
    CPerformanceClock();
    double NowMs() override;

private:
    double msPerCount_ = 0;
};

// A timer on the calling thread's message loop (no window needed). The callback
// runs from DispatchMessage on that thread.
class CThreadTimer {
public:
    explicit CThreadTimer(std::function<void()> onTick) : onTick_(std::move(onTick)) {}
    ~CThreadTimer() { Stop(); }
    CThreadTimer(const CThreadTimer&) = delete;
    CThreadTimer& operator=(const CThreadTimer&) = delete;
    void Start(UINT periodMs);
    void Stop();
    bool Running() const { return id_ != 0; }

private:
    static void CALLBACK Proc(HWND, UINT, UINT_PTR id, DWORD);
    std::function<void()> onTick_;
    UINT_PTR id_ = 0;
    UINT period_ = 0;
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
    void AllNotesOff();

private:
    void* handle_ = nullptr;  // HMIDIOUT
};

}  // namespace zyqn
