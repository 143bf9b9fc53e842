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

// The same voice's next event in the order played, perhaps in a later place.
bool NextPlayed(const Score& score, const std::vector<int>& order, int hand, int voice, Played& at) {
    int place = at.place, index = at.index + 1;
    while (place < static_cast<int>(order.size()) &&
           index >= static_cast<int>(score.measures[order[place]].Voice(hand, voice).size())) {
        ++place;
        index = 0;
    }
    if (place >= static_cast<int>(order.size())) return false;
    at = Played{place, index};
    return true;
}

// A hand's notes of one measure, both voices, in the order they start: a
// dynamic written in either voice holds for the hand from there on.
std::vector<EventRef> InStartOrder(const Measure& m, int measure, int hand) {
    std::vector<EventRef> refs;
    for (int voice = 0; voice < kVoices; ++voice)
        for (size_t i = 0; i < m.Voice(hand, voice).size(); ++i)
            refs.push_back(EventRef{measure, hand, static_cast<int>(i), voice});
    std::stable_sort(refs.begin(), refs.end(), [&](const EventRef& a, const EventRef& b) {
        return m.Voice(hand, a.voice)[a.index].start < m.Voice(hand, b.voice)[b.index].start;
    });
    return refs;
}

// A grace note on the pitch the hand still holds strikes it again: the held
// note ends there rather than sounding on under it. The hand's notes so far
// were added in time order, so the one to end is among the last.
void ReleaseBefore(std::vector<NoteEvent>& events, int hand, int midi, double at) {
    for (size_t i = events.size(); i-- > 0;) {
        NoteEvent& e = events[i];
        if (e.pedal || e.hand != hand || e.midi != midi) continue;
        if (!e.on && e.ms > at) e.ms = at;
        return;  // the hand's last event of this pitch decides
    }
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

bool Timeline::PedalDownBefore(size_t index) const {
    for (size_t i = std::min(index, events.size()); i-- > 0;)
        if (events[i].pedal) return events[i].on;
    return false;
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
        for (int hand = 0; hand < 2; ++hand)
            for (int voice = 0; voice < kVoices; ++voice)
                for (const Event& ev : score.measures[order[place]].Voice(hand, voice))
                    if (ev.fermata) holds.push_back({placeTick[place] + ev.start + ev.duration, ev.duration});
    // Fermatas written over the same moment in several voices or both hands are one pause, the longest.
    std::sort(holds.begin(), holds.end());
    for (size_t i = 0; i + 1 < holds.size();)
        if (holds[i].first == holds[i + 1].first) holds.erase(holds.begin() + i);
        else ++i;
    for (size_t i = 1; i < holds.size(); ++i) holds[i].second += holds[i - 1].second;
    auto msAt = [&](long long tick) {
        auto it = std::upper_bound(holds.begin(), holds.end(), std::make_pair(tick, std::numeric_limits<long long>::max()));
        return score.TicksToMs(tick + (it == holds.begin() ? 0 : (it - 1)->second));
    };
    for (long long start : placeTick) tl.measureStartMs.push_back(msAt(start));
    tl.totalMs = msAt(t);
    // Notes a tie holds on from an earlier note: no new attack. Keyed by place,
    // voice of a hand (EventRef::Slot) and index, as a repeat may lead a tie
    // elsewhere than it was written.
    std::vector<std::vector<std::vector<int>>> held(order.size());
    for (size_t p = 0; p < order.size(); ++p) held[p].resize(kHighlightSlots);
    int dynamic[2] = {0, 0};  // the last dynamic each hand passed, in the order played
    const double graceMs = std::min(kGraceMaxMs, score.TicksToMs(kTicksPerQuarter / 8));
    std::vector<NoteEvent> pedal;
    bool pedalDown = false;
    auto press = [&](double ms, bool down, const EventRef& ref) {
        if (down == pedalDown) return;
        pedalDown = down;
        NoteEvent e{ms, 0, down ? 127 : 0, kHandLeft, down, ref};
        e.pedal = true;
        pedal.push_back(e);
    };
    for (size_t place = 0; place < order.size(); ++place) {
        const Measure& measure = score.measures[order[place]];
        for (int hand = 0; hand < 2; ++hand) {
            for (const EventRef& ref : InStartOrder(measure, order[place], hand)) {
                const Event& ev = measure.Voice(hand, ref.voice)[ref.index];
                if (ev.dynamic) dynamic[hand] = ev.dynamic;
                const int velocity = DynamicVelocity(dynamic[hand]);
                const double startMs = msAt(placeTick[place] + ev.start);
                if (ev.pedal == kPedalUp || ev.pedal == kPedalChange) press(startMs, false, ref);
                if (ev.pedal == kPedalDown || ev.pedal == kPedalChange) press(startMs, true, ref);
                // Grace notes end as their note begins. Only where there is
                // no time before it (the very start) are they played on the
                // beat, and the note after them.
                const double lead = graceMs * static_cast<double>(ev.graces.size());
                const double graceStart = startMs >= lead ? startMs - lead : startMs;
                const double attackDelay = startMs >= lead ? 0 : lead;
                for (size_t g = 0; g < ev.graces.size(); ++g) {
                    const double on = graceStart + graceMs * static_cast<double>(g);
                    ReleaseBefore(tl.events, hand, ev.graces[g].midi, on);
                    tl.events.push_back(NoteEvent{on, ev.graces[g].midi, velocity, hand, true, ref});
                    tl.events.push_back(NoteEvent{on + graceMs, ev.graces[g].midi, 0, hand, false, ref});
                }
                for (const Head& h : ev.heads) {
                    const auto& mine = held[place][ref.Slot()];
                    if (std::find(mine.begin(), mine.end(), ref.index * 128 + h.midi) != mine.end()) continue;
                    long long on = placeTick[place] + ev.start;
                    // Follow the tie chain through the voice's notes as played.
                    Played at{static_cast<int>(place), ref.index};
                    long long off = on + ev.duration;
                    const Head* cur = &h;
                    while (cur->tie && NextPlayed(score, order, hand, ref.voice, at)) {
                        const Event& next = score.measures[order[at.place]].Voice(hand, ref.voice)[at.index];
                        const Head* same = nullptr;
                        for (const Head& x : next.heads)
                            if (x.midi == h.midi) same = &x;
                        if (!same) break;
                        held[at.place][ref.Slot()].push_back(at.index * 128 + h.midi);
                        off = placeTick[at.place] + next.start + next.duration;
                        cur = same;
                    }
                    // A staccato note sounds half its length, unless a tie holds it on.
                    if (ev.staccato && off == on + ev.duration) off = on + ev.duration / 2;
                    // A note delayed by its grace notes still sounds half its length at least.
                    const double delay = std::min(attackDelay, (msAt(off) - msAt(on)) / 2);
                    tl.events.push_back(NoteEvent{msAt(on) + delay, h.midi, velocity, hand, true, ref});
                    tl.events.push_back(NoteEvent{msAt(off), h.midi, 0, hand, false, ref});
                }
            }
        }
        if (measure.pedalUpAtEnd) press(msAt(placeTick[place] + measure.length), false, EventRef());
    }
    press(tl.totalMs, false, EventRef());
    // After the notes: at one moment the pedal is lifted before them and pressed after them.
    tl.events.insert(tl.events.end(), pedal.begin(), pedal.end());
    // A note that ends as another of the same pitch starts must be released first.
    std::stable_sort(tl.events.begin(), tl.events.end(), [](const NoteEvent& a, const NoteEvent& b) {
        if (a.ms != b.ms) return a.ms < b.ms;
        return !a.on && b.on;
    });
    return tl;
}

}  // namespace zyqn
