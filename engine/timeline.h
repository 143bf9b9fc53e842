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
};

struct Timeline {
    std::vector<NoteEvent> events;      // in time order; at equal times note-offs first
    std::vector<double> measureStartMs;  // one per measure
    double totalMs = 0;

    // 0-based measure playing at ms (the last one at or after the end).
    int MeasureAt(double ms) const;
    // Index of the first event at or after ms.
    size_t FirstEventAt(double ms) const;
};

Timeline BuildTimeline(const Score& score);

}  // namespace zyqn
