// Where each tick of the played order falls in time: sections at their own
// tempo, ritardandos that slow gradually, and fermatas that stop the clock.
// Every time is computed from the tick alone, in closed form, so no error
// accumulates over a long piece however the notes fall.
#pragma once
#include <vector>

namespace zyqn {

// A ritardando ends at this fraction of the speed it started at.
constexpr double kRitardandoEnd = 0.75;

class TempoMap {
public:
    // Sections in ascending tick order, the first at tick 0; each lasts to
    // the next. Times divide by the speed last, so whole milliseconds stay exact.
    void AddSection(long long tick, double ticksPerMinute);
    // Slows from full speed at `from` to kRitardandoEnd of it at `to`; spans
    // come in ascending order and do not overlap.
    void AddRitardando(long long from, long long to);
    // The music waits at tick `at` as long as the ticks from `from` to `to`
    // take: a note held by a fermata. Holds may come in any order; several at
    // one tick are one pause, the longest.
    void AddHold(long long at, long long from, long long to);
    // After the last Add, before the first Ms.
    void Seal();

    // Milliseconds at a tick; a tick at a hold's tick already waits for it.
    double Ms(long long tick) const;

private:
    struct Section {
        long long tick;
        double ticksPerMinute, ms;  // ms: when the section starts, holds left out
    };
    struct Span {
        long long from, to;
    };
    struct Hold {
        long long at, from, to;
        double heldThrough;  // ms of this hold and all before it
    };
    double Unheld(long long tick) const;
    double Stretch(long long a, long long b) const;  // ticks from a to b as slowed by ritardandos

    std::vector<Section> sections_;
    std::vector<Span> spans_;
    std::vector<Hold> holds_;
};

}  // namespace zyqn
