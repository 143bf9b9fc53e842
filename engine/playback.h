// Plays a timeline against a clock. The position comes from the clock, never
// from counting ticks, so a late or skipped tick only delays the events it
// finds due; nothing drifts. The owner calls Tick() from its timer; tests
// drive a fake clock and call Tick() themselves.
#pragma once
#include <cstddef>
#include <vector>

#include "engine/timeline.h"

namespace zyqn {

class IClock {
public:
    virtual ~IClock() = default;
    virtual double NowMs() = 0;  // monotonic
};

// What the player reports. Any of these may call back into the player
// (pause, stop, seek); the player notices and stops its current pass.
class IPlaySink {
public:
    virtual ~IPlaySink() = default;
    virtual void OnNote(int midi, int velocity, int hand, bool on) = 0;
    virtual void OnMeasure(int measure) = 0;  // 0-based place in the play order now playing
    virtual void OnTime(double ms) = 0;       // position in the score at the written tempo
    virtual void OnHighlight() = 0;           // Highlighted() changed
    virtual void OnEnd() = 0;                 // played to the end; the position is back at the start
    virtual void OnPedal(bool down) { (void)down; }  // the sustain pedal pressed or lifted
};

class Playback {
public:
    Playback(IClock& clock, IPlaySink& sink) : clock_(clock), sink_(sink) {}

    // The timeline must outlive its use; a new one stops and rewinds.
    void SetTimeline(const Timeline* timeline);
    void Play();
    void Pause();
    void Stop();
    void SeekMeasure(int measure);  // 0-based place in the play order, clamped
    void SetRatio(double ratio);    // clamped to 0.1 .. 3.0, applied at once
    void SetHandPlayed(int hand, bool played);
    void Tick();

    bool IsPlaying() const { return playing_; }
    double PositionMs() const;
    int CurrentMeasure() const { return measure_; }
    double Ratio() const { return ratio_; }
    // The note sounding in a slot (EventRef::Slot: 0 and 1 the hands' first voices, 2 and 3 their second).
    EventRef Highlighted(int slot) const { return highlight_[slot & 3]; }
    // Real milliseconds until the next event or the end; negative when not playing.
    double MsUntilNextDue() const;

private:
    void ReleaseHand(int hand);
    // Every sounding note and the pedal are let go, so nothing hangs.
    void ReleaseAll();
    void Rewind();
    void ClearHighlight();
    bool Dispatch(const NoteEvent& e, unsigned generation, bool* moved);
    static int PassAt(const std::vector<NoteEvent>& events, size_t begin, size_t end, size_t i);

    IClock& clock_;
    IPlaySink& sink_;
    const Timeline* timeline_ = nullptr;
    bool playing_ = false;
    double pausedPos_ = 0;
    double anchorClock_ = 0, anchorPos_ = 0;
    double ratio_ = 1.0;
    size_t next_ = 0;
    int measure_ = 0;
    long lastTimeSlot_ = -1;
    bool played_[2] = {true, true};
    unsigned char sounding_[2][128] = {};
    bool pedalDown_ = false;
    EventRef highlight_[kHighlightSlots];
    unsigned generation_ = 0;  // bumped by every change of course; a pass that sees it move stops
};

}  // namespace zyqn
