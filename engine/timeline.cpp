#include "engine/timeline.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/tempo_map.h"

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

// Ritardandos in the order played: from a "rit." or "rall." in either hand to
// the next "a tempo", a change of tempo, a jump to elsewhere or the end.
void AddRitardandos(const Score& score, const std::vector<int>& order, const std::vector<long long>& placeTick,
                    long long end, TempoMap& map) {
    long long from = -1;
    for (size_t place = 0; place < order.size(); ++place) {
        const Measure& m = score.measures[order[place]];
        if (from >= 0 && place > 0 && (m.tempoChange || order[place] != order[place - 1] + 1)) {
            map.AddRitardando(from, placeTick[place]);
            from = -1;
        }
        for (const auto& w : m.TempoWords()) {
            const long long tick = placeTick[place] + w.first;
            if (w.second != kATempo && from < 0) from = tick;
            if (w.second == kATempo && from >= 0) {
                map.AddRitardando(from, tick);
                from = -1;
            }
        }
    }
    if (from >= 0) map.AddRitardando(from, end);
}

// The velocity a crescendo or diminuendo leads to when no dynamic follows in
// its direction: one dynamic further.
int StepVelocity(int velocity, int direction) {
    for (int d = kDynamicPP; d <= kDynamicFF; ++d) {
        const int v = DynamicVelocity(direction > 0 ? d : kDynamicFF + kDynamicPP - d);
        if (direction > 0 ? v > velocity : v < velocity) return v;
    }
    return std::max(1, std::min(127, velocity + 12 * direction));
}

// One hand's notes and rests, both voices, in the order played.
struct HandEvent {
    size_t place;
    EventRef ref;
    long long tick;
};

struct Ramp {
    long long to;  // the tick the ramp arrives at
    int target;    // the velocity it arrives at
};

// Where a crescendo or diminuendo from seq[k] arrives: at the hand's next
// dynamic if that lies its way; otherwise one dynamic on, by the end of the
// written line or where the next dynamic or hairpin word, a repeat, a jump or
// the end cuts it short.
Ramp RampFrom(const Score& score, const std::vector<int>& order, const std::vector<long long>& placeTick,
              const std::vector<HandEvent>& seq, size_t k, int velocity, int direction) {
    const int step = StepVelocity(velocity, direction);
    long long lineEnd = -1;
    for (size_t j = k + 1;; ++j) {
        const size_t place = seq[j - 1].place;
        const Measure& m = score.measures[order[place]];
        const long long measureEnd = placeTick[place] + m.length;
        const bool lastOfMeasure = j == seq.size() || seq[j].place != place;
        const bool away = place + 1 == order.size() || order[place + 1] != order[place] + 1;
        if (j == seq.size() || (lastOfMeasure && away)) return Ramp{lineEnd >= 0 ? lineEnd : measureEnd, step};
        if (lastOfMeasure && (m.lineEnd || m.breakAfter) && lineEnd < 0) lineEnd = measureEnd;
        const EventRef& r = seq[j].ref;
        const Event& next = score.measures[r.measure].Voice(r.hand, r.voice)[r.index];
        const int v = DynamicVelocity(next.dynamic);
        if (next.dynamic && (v - velocity) * direction > 0) return Ramp{seq[j].tick, v};
        if (next.dynamic || next.hairpin) return Ramp{lineEnd >= 0 ? lineEnd : seq[j].tick, step};
    }
}

// Every note's velocity, hand by hand in the order played, a hand's voices
// together: a dynamic holds until the next; "cresc." or "dim." moves it
// evenly in time to where RampFrom says. Indexed [place][EventRef::Slot][index].
std::vector<std::vector<std::vector<int>>> Velocities(const Score& score, const std::vector<int>& order,
                                                      const std::vector<long long>& placeTick) {
    std::vector<std::vector<std::vector<int>>> out(order.size(), std::vector<std::vector<int>>(kHighlightSlots));
    for (int hand = 0; hand < 2; ++hand) {
        std::vector<HandEvent> seq;
        for (size_t place = 0; place < order.size(); ++place) {
            const Measure& m = score.measures[order[place]];
            for (int voice = 0; voice < kVoices; ++voice)
                out[place][hand + 2 * voice].assign(m.Voice(hand, voice).size(), kDefaultVelocity);
            for (const EventRef& ref : InStartOrder(m, order[place], hand))
                seq.push_back(HandEvent{place, ref, placeTick[place] + m.Voice(hand, ref.voice)[ref.index].start});
        }
        int velocity = kDefaultVelocity, rampStart = 0;
        long long rampFrom = 0;
        Ramp ramp{-1, 0};
        for (size_t k = 0; k < seq.size(); ++k) {
            const EventRef& ref = seq[k].ref;
            const Event& ev = score.measures[ref.measure].Voice(hand, ref.voice)[ref.index];
            const long long tick = seq[k].tick;
            if (ramp.to >= 0 && tick >= ramp.to) {
                velocity = ramp.target;
                ramp.to = -1;
            }
            if (ev.dynamic) {
                velocity = DynamicVelocity(ev.dynamic);
                ramp.to = -1;
            }
            if (const int direction = HairpinDirection(ev.hairpin)) {
                rampStart = velocity;
                rampFrom = tick;
                ramp = RampFrom(score, order, placeTick, seq, k, velocity, direction);
            }
            int v = velocity;
            if (ramp.to > rampFrom && tick < ramp.to) {
                const double done = static_cast<double>(tick - rampFrom) / static_cast<double>(ramp.to - rampFrom);
                v = rampStart + static_cast<int>(std::lround((ramp.target - rampStart) * done));
            }
            out[seq[k].place][ref.Slot()][ref.index] = v;
        }
    }
    return out;
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
    // Each measure at its own tempo, slowed where a ritardando runs. A
    // fermata holds its note twice as long, and everything after waits: from
    // the note's end on, time runs late by as long as the note took.
    // Fermatas written over the same moment in several voices or both hands
    // are one pause, the longest.
    TempoMap tempo;
    AddRitardandos(score, order, placeTick, t, tempo);
    for (size_t place = 0; place < order.size(); ++place) {
        tempo.AddSection(placeTick[place], score.measures[order[place]].TicksPerMinute());
        for (int hand = 0; hand < 2; ++hand)
            for (int voice = 0; voice < kVoices; ++voice)
                for (const Event& ev : score.measures[order[place]].Voice(hand, voice))
                    if (ev.fermata) {
                        const long long from = placeTick[place] + ev.start;
                        tempo.AddHold(from + ev.duration, from, from + ev.duration);
                    }
    }
    tempo.Seal();
    auto msAt = [&](long long tick) { return tempo.Ms(tick); };
    for (long long start : placeTick) tl.measureStartMs.push_back(msAt(start));
    tl.totalMs = msAt(t);
    // Notes a tie holds on from an earlier note: no new attack. Keyed by place,
    // voice of a hand (EventRef::Slot) and index, as a repeat may lead a tie
    // elsewhere than it was written.
    std::vector<std::vector<std::vector<int>>> held(order.size());
    for (size_t p = 0; p < order.size(); ++p) held[p].resize(kHighlightSlots);
    const auto velocities = Velocities(score, order, placeTick);
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
        // A grace note lasts a thirty-second at the measure's tempo, or less.
        const double graceMs = std::min(kGraceMaxMs, kTicksPerQuarter / 8 * 60000.0 / measure.TicksPerMinute());
        for (int hand = 0; hand < 2; ++hand) {
            for (const EventRef& ref : InStartOrder(measure, order[place], hand)) {
                const Event& ev = measure.Voice(hand, ref.voice)[ref.index];
                const int velocity = velocities[place][ref.Slot()][ref.index];
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
                for (size_t hi = 0; hi < ev.heads.size(); ++hi) {
                    const Head& h = ev.heads[hi];
                    // A chord that names a pitch twice ("[1 1]", "[#4 b5]") sounds it once.
                    if (std::any_of(ev.heads.begin(), ev.heads.begin() + hi, [&](const Head& x) { return x.midi == h.midi; }))
                        continue;
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
