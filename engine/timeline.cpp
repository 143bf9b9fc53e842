#include "engine/timeline.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace zyqn {

namespace {

// An event at a place in the play order.
struct Played {
    int place, index;
};

// The same hand's next event in the order played, perhaps in a later place.
bool NextPlayed(const Score& score, const std::vector<int>& order, int hand, Played& at) {
    int place = at.place, index = at.index + 1;
    while (place < static_cast<int>(order.size()) &&
           index >= static_cast<int>(score.measures[order[place]].hands[hand].size())) {
        ++place;
        index = 0;
    }
    if (place >= static_cast<int>(order.size())) return false;
    at = Played{place, index};
    return true;
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

int Timeline::FirstPlaceOf(int measure) const {
    for (size_t i = 0; i < playedMeasure.size(); ++i)
        if (playedMeasure[i] == measure) return static_cast<int>(i);
    return -1;
}

Timeline BuildTimeline(const Score& score) {
    Timeline tl;
    tl.playedMeasure = score.PlayOrder();
    const auto& order = tl.playedMeasure;
    std::vector<long long> placeTick;
    long long t = 0;
    for (int m : order) {
        placeTick.push_back(t);
        t += score.measures[m].length;
    }
    // A fermata holds its note twice as long, and everything after waits:
    // from the note's end on, time runs late by its length.
    std::vector<std::pair<long long, long long>> holds;  // tick, extra ticks from there on
    for (size_t place = 0; place < order.size(); ++place)
        for (const auto& hand : score.measures[order[place]].hands)
            for (const Event& ev : hand)
                if (ev.fermata) holds.push_back({placeTick[place] + ev.start + ev.duration, ev.duration});
    std::sort(holds.begin(), holds.end());
    for (size_t i = 1; i < holds.size(); ++i) holds[i].second += holds[i - 1].second;
    auto msAt = [&](long long tick) {
        auto it = std::upper_bound(holds.begin(), holds.end(), std::make_pair(tick, std::numeric_limits<long long>::max()));
        return score.TicksToMs(tick + (it == holds.begin() ? 0 : (it - 1)->second));
    };
    for (long long start : placeTick) tl.measureStartMs.push_back(msAt(start));
    tl.totalMs = msAt(t);
    // Notes a tie holds on from an earlier note: no new attack. Keyed by place,
    // hand and index, as a repeat may lead a tie elsewhere than it was written.
    std::vector<std::vector<std::vector<int>>> held(order.size());
    for (size_t p = 0; p < order.size(); ++p)
        for (int hand = 0; hand < 2; ++hand) held[p].push_back({});
    int dynamic[2] = {0, 0};  // the last dynamic each hand passed, in the order played
    for (size_t place = 0; place < order.size(); ++place) {
        const Measure& measure = score.measures[order[place]];
        for (int hand = 0; hand < 2; ++hand) {
            const auto& events = measure.hands[hand];
            for (size_t ei = 0; ei < events.size(); ++ei) {
                if (events[ei].dynamic) dynamic[hand] = events[ei].dynamic;
                const int velocity = DynamicVelocity(dynamic[hand]);
                EventRef ref{order[place], hand, static_cast<int>(ei)};
                for (const Head& h : events[ei].heads) {
                    const auto& mine = held[place][hand];
                    if (std::find(mine.begin(), mine.end(), static_cast<int>(ei) * 128 + h.midi) != mine.end()) continue;
                    long long on = placeTick[place] + events[ei].start;
                    // Follow the tie chain through the notes as played.
                    Played at{static_cast<int>(place), static_cast<int>(ei)};
                    long long off = on + events[ei].duration;
                    const Head* cur = &h;
                    while (cur->tie && NextPlayed(score, order, hand, at)) {
                        const Event& next = score.measures[order[at.place]].hands[hand][at.index];
                        const Head* same = nullptr;
                        for (const Head& x : next.heads)
                            if (x.midi == h.midi) same = &x;
                        if (!same) break;
                        held[at.place][hand].push_back(at.index * 128 + h.midi);
                        off = placeTick[at.place] + next.start + next.duration;
                        cur = same;
                    }
                    // A staccato note sounds half its length, unless a tie holds it on.
                    if (events[ei].staccato && off == on + events[ei].duration) off = on + events[ei].duration / 2;
                    tl.events.push_back(NoteEvent{msAt(on), h.midi, velocity, hand, true, ref});
                    tl.events.push_back(NoteEvent{msAt(off), h.midi, 0, hand, false, ref});
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
