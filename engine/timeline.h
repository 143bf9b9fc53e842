// Turns a score into the timed note events the player sends, and the start
// time of every measure, in milliseconds at the written tempo.
#pragma once
#include <vector>

#include "engine/zyqn_model.h"

namespace zyqn {

constexpr int kDefaultVelocity = 80;

struct NoteEvent {
    double ms = 0;
    int midi = 60;
    int velocity = kDefaultVelocity;  // 0 on note-off
    int hand = kHandRight;
    bool on = true;
    EventRef source;  // the written note that starts the sound
    bool pedal = false;  // the sustain pedal, pressed (on) or lifted; midi and hand mean nothing
};

// Grace notes are played before the beat, each this long at most (a
// thirty-second at the written tempo when that is shorter), so the note they
// lead into keeps its place on the beat with the other hand.
constexpr double kGraceMaxMs = 90;

// Times are laid out in the order measures are played: with repeats a
// written measure has more than one place in it.
struct Timeline {
    std::vector<NoteEvent> events;      // in time order; at equal times note-offs first
    std::vector<double> measureStartMs;  // one per place in the play order
    std::vector<int> playedMeasure;      // the written measure at each place
    double totalMs = 0;

    // 0-based place in the play order at ms (the last one at or after the end).
    int MeasureAt(double ms) const;
    // The first place a written measure is played, or -1.
    int FirstPlaceOf(int measure) const;
    // Index of the first event at or after ms.
    size_t FirstEventAt(double ms) const;
    // Whether the pedal is down after the events before `index`.
    bool PedalDownBefore(size_t index) const;
};

Timeline BuildTimeline(const Score& score);

}  // namespace zyqn
