#include "engine/tempo_map.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zyqn {

void TempoMap::AddSection(long long tick, double ticksPerMinute) {
    sections_.push_back(Section{tick, ticksPerMinute, 0});
}

void TempoMap::AddRitardando(long long from, long long to) {
    if (to > from) spans_.push_back(Span{from, to});
}

void TempoMap::AddHold(long long at, long long from, long long to) { holds_.push_back(Hold{at, from, to, 0}); }

void TempoMap::Seal() {
    for (size_t i = 1; i < sections_.size(); ++i) {
        const Section& prev = sections_[i - 1];
        sections_[i].ms = prev.ms + Stretch(prev.tick, sections_[i].tick) * 60000.0 / prev.ticksPerMinute;
    }
    std::stable_sort(holds_.begin(), holds_.end(), [](const Hold& a, const Hold& b) { return a.at < b.at; });
    // Holds at one tick are one pause, the longest of them.
    std::vector<Hold> merged;
    for (Hold h : holds_) {
        h.heldThrough = Unheld(h.to) - Unheld(h.from);
        if (!merged.empty() && merged.back().at == h.at)
            merged.back().heldThrough = std::max(merged.back().heldThrough, h.heldThrough);
        else
            merged.push_back(h);
    }
    double sum = 0;
    for (Hold& h : merged) h.heldThrough = sum += h.heldThrough;
    holds_ = std::move(merged);
}

// Ticks from a to b (a <= b) counted at full speed. In a ritardando the speed
// falls linearly, f(t) = 1 - k (t - from) / length, and the time the ticks
// take is the integral of 1 / f: a logarithm.
double TempoMap::Stretch(long long a, long long b) const {
    const double k = 1 - kRitardandoEnd;
    double total = static_cast<double>(b - a);
    auto it = std::upper_bound(spans_.begin(), spans_.end(), a, [](long long t, const Span& s) { return t < s.to; });
    for (; it != spans_.end() && it->from < b; ++it) {
        const double length = static_cast<double>(it->to - it->from);
        const long long lo = std::max(a, it->from), hi = std::min(b, it->to);
        const double fLo = 1 - k * (lo - it->from) / length, fHi = 1 - k * (hi - it->from) / length;
        total += length / k * std::log(fLo / fHi) - static_cast<double>(hi - lo);
    }
    return total;
}

double TempoMap::Unheld(long long tick) const {
    if (sections_.empty()) return 0;
    auto it = std::upper_bound(sections_.begin(), sections_.end(), tick,
                               [](long long t, const Section& s) { return t < s.tick; });
    const Section& s = it == sections_.begin() ? sections_.front() : *(it - 1);
    return s.ms + (tick >= s.tick ? Stretch(s.tick, tick) : -Stretch(tick, s.tick)) * 60000.0 / s.ticksPerMinute;
}

double TempoMap::Ms(long long tick) const {
    auto it = std::upper_bound(holds_.begin(), holds_.end(), tick, [](long long t, const Hold& h) { return t < h.at; });
    return Unheld(tick) + (it == holds_.begin() ? 0 : (it - 1)->heldThrough);
}

}  // namespace zyqn
