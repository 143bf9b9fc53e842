#include "engine/layout.h"

#include <algorithm>

namespace zyqn {

using namespace metrics;

namespace {

constexpr int kLineWidth = kPageWidth - 2 * kMarginX;
constexpr int kAccidentalWidth = 8;
constexpr int kSqueezePercent = 85;

bool HasAccidental(const Event& ev) {
    for (const Head& h : ev.heads)
        if (h.accidental) return true;
    return false;
}

int DashTicks(const Event& ev) { return ev.triplet >= 0 ? kTicksPerQuarter * 2 / 3 : kTicksPerQuarter; }

// Width of the time span of a measure so that no two glyphs of a hand
// (notes, rests or dashes) come closer than a glyph gap.
int NaturalInner(const Measure& m) {
    const int length = std::max(1, m.length);
    double inner = kMinInner;
    for (int hand = 0; hand < 2; ++hand) {
        struct Glyph {
            int tick, need;
        };
        std::vector<Glyph> glyphs;
        for (const Event& ev : m.hands[hand]) {
            glyphs.push_back({ev.start, kMinGlyphGap + (HasAccidental(ev) ? kAccidentalWidth : 0)});
            for (int d = 0; d < ev.dashes; ++d)
                glyphs.push_back({ev.start + ev.BaseDuration() + d * DashTicks(ev), kMinGlyphGap});
        }
        for (size_t i = 0; i < glyphs.size(); ++i) {
            int next = i + 1 < glyphs.size() ? glyphs[i + 1].tick : length;
            int need = i + 1 < glyphs.size() ? glyphs[i + 1].need : kDigitWidth + 4;
            int gap = next - glyphs[i].tick;
            if (gap > 0) inner = std::max(inner, static_cast<double>(need) * length / gap);
        }
    }
    return std::min(static_cast<int>(inner + 0.5), kLineWidth - kMeasurePadLeft - kMeasurePadRight);
}

int MaxHeads(const Score& score, const PlacedSystem& sys, int hand) {
    size_t n = 1;
    for (int i = sys.firstMeasure; i < sys.firstMeasure + sys.measureCount; ++i)
        for (const Event& ev : score.measures[i].hands[hand]) n = std::max(n, ev.heads.size());
    return static_cast<int>(n);
}

int RowHeight(int heads) { return kRowTop + heads * kDigitHeight + (heads - 1) * kHeadGap + kRowBottom; }

void PlaceEvents(const Score& score, const PlacedSystem& sys, PlacedMeasure& pm) {
    const Measure& m = score.measures[pm.index];
    for (int hand = 0; hand < 2; ++hand) {
        int lowestTop = sys.rowTop[hand] + sys.rowHeight[hand] - kRowBottom - kDigitHeight;
        const auto& events = m.hands[hand];
        for (size_t i = 0; i < events.size(); ++i) {
            const Event& ev = events[i];
            PlacedEvent pe;
            pe.ref = EventRef{pm.index, hand, static_cast<int>(i)};
            pe.x = TickX(pm, m.length, ev.start);
            int heads = std::max<int>(1, static_cast<int>(ev.heads.size()));
            pe.headTop = lowestTop - (heads - 1) * (kDigitHeight + kHeadGap);
            pe.box.left = pe.x - (HasAccidental(ev) ? kAccidentalWidth : 0) - 2;
            pe.box.right = pe.x + kDigitWidth + 2;
            pe.box.top = pe.headTop - 2;
            pe.box.bottom = lowestTop + kDigitHeight + 2;
            pm.events[hand].push_back(pe);
        }
    }
}

}  // namespace

int TickX(const PlacedMeasure& m, int measureLength, int tick) {
    if (measureLength <= 0) return m.innerLeft;
    return m.innerLeft + static_cast<int>(static_cast<long long>(tick) * m.innerWidth / measureLength);
}

int Layout::PageSystemEnd(int page) const {
    return page + 1 < PageCount() ? pageFirstSystem[page + 1] : static_cast<int>(systems.size());
}

const PlacedEvent* Layout::Find(const EventRef& ref) const {
    if (ref.measure < 0 || ref.measure >= static_cast<int>(measures.size()) || ref.hand < 0 || ref.hand > 1)
        return nullptr;
    const auto& events = measures[ref.measure].events[ref.hand];
    return ref.index >= 0 && ref.index < static_cast<int>(events.size()) ? &events[ref.index] : nullptr;
}

const PlacedEvent* Layout::HitTest(int page, int x, int y) const {
    if (page < 0 || page >= PageCount()) return nullptr;
    for (int s = pageFirstSystem[page]; s < PageSystemEnd(page); ++s) {
        const PlacedSystem& sys = systems[s];
        for (int i = sys.firstMeasure; i < sys.firstMeasure + sys.measureCount; ++i)
            for (const auto& hand : measures[i].events)
                for (const PlacedEvent& pe : hand)
                    if (pe.box.Contains(x, y)) return &pe;
    }
    return nullptr;
}

Layout LayoutScore(const Score& score) {
    Layout layout;
    const int count = static_cast<int>(score.measures.size());
    std::vector<int> inner(count);
    for (int i = 0; i < count; ++i) inner[i] = NaturalInner(score.measures[i]);

    // Fill systems greedily, then stretch each to the full line; a short last
    // system keeps its natural widths.
    const int pad = kMeasurePadLeft + kMeasurePadRight;
    layout.measures.resize(count);
    int first = 0;
    while (first < count) {
        // A system may squeeze its measures a little rather than leave one alone on a line.
        int used = inner[first] + pad, n = 1;
        while (first + n < count &&
               (used - n * pad + inner[first + n]) * kSqueezePercent / 100 + (n + 1) * pad <= kLineWidth)
            used += inner[first + n++] + pad;
        PlacedSystem sys;
        sys.firstMeasure = first;
        sys.measureCount = n;
        bool last = first + n == count;
        double stretch = 1.0;
        int innerSum = used - n * pad;
        if (innerSum > 0 && (!last || used * 10 >= kLineWidth * 7 || used > kLineWidth))
            stretch = static_cast<double>(kLineWidth - n * pad) / innerSum;
        int x = kMarginX;
        for (int i = first; i < first + n; ++i) {
            PlacedMeasure& pm = layout.measures[i];
            pm.index = i;
            pm.system = static_cast<int>(layout.systems.size());
            pm.innerWidth = static_cast<int>(inner[i] * stretch);
            // The last measure of a stretched system absorbs the rounding.
            if (stretch != 1.0 && i == first + n - 1) pm.innerWidth = kMarginX + kLineWidth - x - pad;
            pm.innerLeft = x + kMeasurePadLeft;
            pm.box.left = x;
            x += pm.innerWidth + pad;
            pm.box.right = x;
        }
        layout.systems.push_back(sys);
        first += n;
    }

    // Stack the systems onto pages.
    int y = kMarginTop + kTitleBlock;
    int page = 0;
    layout.pageFirstSystem.push_back(0);
    for (size_t s = 0; s < layout.systems.size(); ++s) {
        PlacedSystem& sys = layout.systems[s];
        sys.rowHeight[kHandRight] = RowHeight(MaxHeads(score, sys, kHandRight));
        sys.rowHeight[kHandLeft] = RowHeight(MaxHeads(score, sys, kHandLeft));
        int height = kNumberBand + sys.rowHeight[0] + kHandGap + sys.rowHeight[1];
        bool pageHasSystems = layout.pageFirstSystem.back() != static_cast<int>(s);
        if (pageHasSystems && y + height > kPageHeight - kMarginBottom) {
            ++page;
            layout.pageFirstSystem.push_back(static_cast<int>(s));
            y = kMarginTop;
        }
        sys.page = page;
        sys.top = y;
        sys.rowTop[kHandRight] = y + kNumberBand;
        sys.rowTop[kHandLeft] = sys.rowTop[kHandRight] + sys.rowHeight[kHandRight] + kHandGap;
        sys.bottom = sys.rowTop[kHandLeft] + sys.rowHeight[kHandLeft];
        for (int i = sys.firstMeasure; i < sys.firstMeasure + sys.measureCount; ++i) {
            PlacedMeasure& pm = layout.measures[i];
            pm.page = page;
            pm.box.top = sys.rowTop[kHandRight];
            pm.box.bottom = sys.bottom;
            PlaceEvents(score, sys, pm);
        }
        y = sys.bottom + kSystemGap;
    }
    return layout;
}

}  // namespace zyqn
