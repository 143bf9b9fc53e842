#include "engine/timeline.h"

#include <algorithm>

namespace zyqn {

namespace {

// Follows a tie chain from the head of `start` and returns where its sound ends, in ticks
// from the start of the score.
long long TiedEnd(const Score& score, const std::vector<long long>& measureTick, EventRef ref, int midi) {
    const Event* ev = &score.measures[ref.measure].hands[ref.hand][ref.index];
    long long end = measureTick[ref.measure] + ev->start + ev->duration;
    bool tied = true;
    while (tied) {
        tied = false;
        const Head* h = nullptr;
        for (const Head& x : ev->heads)
            if (x.midi == midi) h = &x;
        if (!h || !h->tie) break;
        // The next event of the same hand, perhaps in a later measure.
        int m = ref.measure;
        int i = ref.index + 1;
        while (m < static_cast<int>(score.measures.size()) && i >= static_cast<int>(score.measures[m].hands[ref.hand].size())) {
            ++m;
            i = 0;
        }
        if (m >= static_cast<int>(score.measures.size())) break;
        ref = EventRef{m, ref.hand, i};
        ev = &score.measures[m].hands[ref.hand][i];
        end = measureTick[m] + ev->start + ev->duration;
        tied = true;
    }
    return end;
}

}  // namespace

int Timeline::MeasureAt(double ms) const {
    if (measureStartMs.empty()) return 0;
    auto it = std::upper_bound(measureStartMs.begin(), measureStartMs.end(), ms);
    return std::max(0, static_cast<int>(it - measureStartMs.begin()) - 1);
}

size_t Timeline::FirstEventAt(double ms) const {
    auto it = std::lower_bound(events.begin(), events.end(), ms,
                               [](const NoteEvent& e, double t) { return e.ms < t; });
    return static_cast<size_t>(it - events.begin());
}

Timeline BuildTimeline(const Score& score) {
    Timeline tl;
    std::vector<long long> measureTick;
    long long t = 0;
    for (const Measure& m : score.measures) {
        measureTick.push_back(t);
        tl.measureStartMs.push_back(score.TicksToMs(t));
        t += m.length;
    }
    tl.totalMs = score.TicksToMs(t);
    for (size_t mi = 0; mi < score.measures.size(); ++mi) {
        for (int hand = 0; hand < 2; ++hand) {
            const auto& events = score.measures[mi].hands[hand];
            for (size_t ei = 0; ei < events.size(); ++ei) {
                EventRef ref{static_cast<int>(mi), hand, static_cast<int>(ei)};
                for (const Head& h : events[ei].heads) {
                    if (h.tiedFrom) continue;
                    long long on = measureTick[mi] + events[ei].start;
                    long long off = TiedEnd(score, measureTick, ref, h.midi);
                    tl.events.push_back(NoteEvent{score.TicksToMs(on), h.midi, kDefaultVelocity, hand, true, ref});
                    tl.events.push_back(NoteEvent{score.TicksToMs(off), h.midi, 0, hand, false, ref});
                }
            }
        }
    }
    // A note that ends as another of the same pitch starts must be released first.
    std::stable_sort(tl.events.begin(), tl.events.end(), [](const NoteEvent& a, const NoteEvent& b) {
        if (a.ms != b.ms) return a.ms < b.ms;
        return !a.on && b.on;
    });
    return tl;
}

}  // namespace zyqn
