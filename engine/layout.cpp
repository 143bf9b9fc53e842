#include "engine/layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace zyqn {

using namespace metrics;

namespace {

constexpr int kLineWidth = kPageWidth - 2 * kMarginX - kBraceRoom;
constexpr int kLineLeft = kMarginX + kBraceRoom;
constexpr int kAccidentalRoom = kAccidentalWidth + 2;
constexpr int kTripletRoom = 12;  // a triplet's bracket and figure above that
constexpr double kLabelGap = 3;          // between two words or pedal marks of a row

bool HasAccidental(const Event& ev) {
    for (const Head& h : ev.heads)
        if (h.accidental) return true;
    return false;
}

// What a hand writes at one time position: a note, a rest, a dash or the "0"
// that stands for a rest's dot.
struct Glyph {
    int tick;
    int width;      // ink to the right of the column, dots of a dotted note included
    int leftRoom;   // ink to the left: an accidental
};

// Room left of a note's column for its accidental and its grace notes.
int LeftRoom(const Event& ev) {
    auto graces = GraceOffsets(ev);
    if (graces.empty()) return HasAccidental(ev) ? kAccidentalRoom : 0;
    return static_cast<int>(std::ceil(-graces.front() + (ev.graces.front().accidental ? kGraceAccidental : 0))) + 2;
}

void CollectGlyphs(const Event& ev, std::vector<Glyph>& out) {
    int ink = kDigitWidth + (ev.IsRest() || !ev.dots ? 0 : 3 + 5 * ev.dots);
    out.push_back({ev.start, ink, LeftRoom(ev)});
    int t = ev.start + ev.BaseDuration();
    if (ev.IsRest() && ev.dots) {
        // A dotted rest is written as rests of the dots' lengths: "0 0_", not "0.".
        int piece = kTicksPerQuarter >> ev.underlines;
        if (ev.triplet >= 0) piece = piece * 2 / 3;
        t = ev.start + piece;
        for (int d = 1; d <= ev.dots; ++d) {
            out.push_back({t, kDigitWidth, 0});
            t += piece >> d;
        }
    }
    for (int d = 0; d < ev.dashes; ++d) out.push_back({t + d * DashTicks(ev), kDigitWidth, 0});
}

// The natural and the least room of every column gap of a measure.
struct Spacing {
    std::vector<int> ticks;  // column ticks, the measure's end last
    std::vector<double> natural, least;  // one per gap: ticks.size() - 1
    int padLeft = kMeasurePadLeft, padRight = 0;

    double Width(double stretch) const {
        double w = padLeft + padRight;
        for (size_t i = 0; i < natural.size(); ++i) w += std::max(least[i], natural[i] * stretch);
        return w;
    }
};

// Widens the least gaps so that a row of labels keeps its words apart and
// clear of the bar lines, however tightly the system is spaced.
void KeepApart(Spacing& sp, std::vector<Label> labels, double startRoom, double endRoom) {
    if (labels.empty()) return;
    std::stable_sort(labels.begin(), labels.end(), [](const Label& a, const Label& b) { return a.tick < b.tick; });
    const size_t gaps = sp.least.size();
    auto column = [&](int tick) {
        return static_cast<size_t>(std::lower_bound(sp.ticks.begin(), sp.ticks.end(), tick) - sp.ticks.begin());
    };
    auto distance = [&](size_t from, size_t to) {
        double d = 0;
        for (size_t i = from; i < to && i < gaps; ++i) d += sp.least[i];
        return d;
    };
    // One pixel more than the words need: columns are rounded to whole pixels.
    size_t first = column(labels.front().tick);
    double short0 = startRoom - labels.front().left + 1 - (sp.padLeft + distance(0, first));
    if (short0 > 0) sp.padLeft += static_cast<int>(std::ceil(short0));
    for (size_t i = 1; i < labels.size(); ++i) {
        size_t a = column(labels[i - 1].tick), b = column(labels[i].tick);
        double need = labels[i - 1].right + kLabelGap + 1 - labels[i].left - distance(a, b);
        if (need > 0 && b > a) sp.least[b - 1] += need;
    }
    size_t last = column(labels.back().tick);
    double shortEnd = labels.back().right + endRoom + 1 - (distance(last, gaps) + sp.padRight);
    if (shortEnd > 0) {
        if (last < gaps) sp.least[gaps - 1] += shortEnd;
        else sp.padRight += static_cast<int>(std::ceil(shortEnd));
    }
}

Spacing MeasureSpacing(const Measure& m) {
    Spacing sp;
    const int length = std::max(1, m.length);
    std::vector<Glyph> glyphs[2];
    for (int hand = 0; hand < 2; ++hand)
        for (int voice = 0; voice < kVoices; ++voice)
            for (const Event& ev : m.Voice(hand, voice)) CollectGlyphs(ev, glyphs[hand]);
    for (const auto& g : glyphs)
        for (const Glyph& x : g)
            if (x.tick < length) sp.ticks.push_back(x.tick);
    sp.ticks.push_back(0);
    sp.ticks.push_back(length);
    std::sort(sp.ticks.begin(), sp.ticks.end());
    sp.ticks.erase(std::unique(sp.ticks.begin(), sp.ticks.end()), sp.ticks.end());
    const size_t gaps = sp.ticks.size() - 1;
    sp.least.assign(gaps, 0.0);
    sp.natural.assign(gaps, 0.0);
    for (size_t i = 0; i < gaps; ++i)
        sp.natural[i] = kQuarterSpace * std::sqrt(static_cast<double>(sp.ticks[i + 1] - sp.ticks[i]) / kTicksPerQuarter);
    for (const auto& g : glyphs) {
        for (const Glyph& x : g) {
            size_t col = std::lower_bound(sp.ticks.begin(), sp.ticks.end(), x.tick) - sp.ticks.begin();
            if (col < gaps) sp.least[col] = std::max(sp.least[col], static_cast<double>(x.width + 4));
            if (col == 0) sp.padLeft = std::max(sp.padLeft, kMeasurePadLeft + x.leftRoom);
            else if (col <= gaps) sp.least[col - 1] += x.leftRoom;
        }
    }
    for (size_t i = 0; i < gaps; ++i) sp.least[i] = std::max(sp.least[i], 8.0);
    if (m.repeatStart) sp.padLeft += kRepeatRoom;
    if (m.repeatEnd) sp.padRight = kRepeatRoom;
    // Words run between the hands, across the bar lines; pedal marks under the left hand.
    const double startRoom = 2 + (m.repeatStart ? 6 : 0), endRoom = 2 + (m.repeatEnd ? 6 : 0);
    KeepApart(sp, LyricLabels(m), startRoom, endRoom);
    KeepApart(sp, PedalLabels(m), startRoom, endRoom);
    // A change's text above the measure keeps clear of the next measure's:
    // the bar is never spaced tighter than the text needs. The room goes
    // into its columns in proportion, so a bar spaced wider anyway keeps its
    // own proportions instead of a gap after its last note.
    const ChangeText change = ChangeTextOf(m);
    const double need = change.Empty() ? 0.0 : ChangeTextWidth(change) + kChangeGap;
    if (sp.Width(0.0) < need) {
        double lo = 0.0, hi = 64.0;
        for (int it = 0; it < 40; ++it) {
            const double mid = (lo + hi) / 2;
            (sp.Width(mid) < need ? lo : hi) = mid;
        }
        for (size_t i = 0; i < gaps; ++i) sp.least[i] = std::max(sp.least[i], sp.natural[i] * hi);
    }
    return sp;
}

// The stretch at which a run of measures fills the line exactly.
double FitStretch(const std::vector<Spacing>& sp, int first, int end) {
    double lo = 0.05, hi = 20;
    for (int it = 0; it < 40; ++it) {
        double mid = (lo + hi) / 2, w = 0;
        for (int i = first; i < end; ++i) w += sp[i].Width(mid);
        (w > kLineWidth ? hi : lo) = mid;
    }
    return lo;
}

// Chooses where systems end: the least total badness over the whole piece,
// as a typesetter balances lines. Badness grows as a system's spacing departs
// from the piece's usual spacing `target`, so like bars look alike on every
// line; breaks fall at the ends of the writer's lines where they can, a break
// mark always ends a system, and the last system does not hold one bar alone.
std::vector<int> ChooseBreaks(const Score& score, const std::vector<Spacing>& sp, double target) {
    const int count = static_cast<int>(sp.size());
    std::vector<double> natural(count), least(count);
    for (int i = 0; i < count; ++i) {
        natural[i] = sp[i].Width(1.0);
        least[i] = sp[i].Width(0.0);
    }
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> best(count + 1, inf);
    std::vector<int> from(count + 1, 0);
    best[0] = 0;
    for (int end = 1; end <= count; ++end) {
        double nat = 0, min = 0;
        for (int first = end - 1; first >= 0; --first) {
            nat += natural[first];
            min += least[first];
            if (min > kLineWidth && first < end - 1) break;
            if (first < end - 1 && score.measures[first].breakAfter) break;
            if (best[first] == inf) continue;
            // The last system's crowding decides whether a lone bar is better: measure it exactly.
            double stretch = end == count && nat > kLineWidth ? FitStretch(sp, first, end) : kLineWidth / nat;
            double cost;
            if (end == count && stretch >= target) {
                // A short last system keeps the usual spacing; it had better not be nearly empty.
                double fill = nat * target / kLineWidth;
                cost = (1 - fill) * (1 - fill) * 10;
            } else {
                double off = std::log(stretch / target);
                cost = off * off * 400;
                if (stretch < 0.75) cost += 200;  // notes crowd: worse than air
            }
            if (end == count && end - first == 1 && count > 1) cost += 40;
            const Measure& last = score.measures[end - 1];
            if (end < count && !last.lineEnd && !last.breakAfter) cost += 30;
            if (best[first] + cost < best[end]) {
                best[end] = best[first] + cost;
                from[end] = first;
            }
        }
    }
    std::vector<int> starts;
    for (int end = count; end > 0; end = from[end]) starts.push_back(from[end]);
    std::reverse(starts.begin(), starts.end());
    return starts;
}

double MedianStretch(const std::vector<Spacing>& sp, const std::vector<int>& starts) {
    std::vector<double> stretches;
    for (size_t s = 0; s + 1 < starts.size(); ++s) {
        double nat = 0;
        for (int i = starts[s]; i < starts[s + 1]; ++i) nat += sp[i].Width(1.0);
        stretches.push_back(kLineWidth / nat);
    }
    if (stretches.empty()) return 1.0;
    std::sort(stretches.begin(), stretches.end());
    return std::max(0.8, std::min(2.0, stretches[stretches.size() / 2]));
}

// The piece's usual spacing and its breaks, found together. The first guess
// is the spacing of the writer's own lines; then the breaks for the guess,
// and the median of their systems' stretch as the next guess.
std::vector<int> BalancedBreaks(const Score& score, const std::vector<Spacing>& sp, double* target) {
    const int count = static_cast<int>(sp.size());
    std::vector<int> written{0};
    for (int i = 0; i + 1 < count; ++i)
        if (score.measures[i].lineEnd || score.measures[i].breakAfter) written.push_back(i + 1);
    written.push_back(count);
    // Lines of a bar or two are the writer's habit rather than a phrase: the
    // guess never asks for more air than a reader wants.
    double guess = std::min(1.3, MedianStretch(sp, written));
    std::vector<int> starts;
    for (int pass = 0; pass < 2; ++pass) {
        starts = ChooseBreaks(score, sp, guess);
        std::vector<int> bounds = starts;
        bounds.push_back(count);
        guess = MedianStretch(sp, bounds);
    }
    *target = guess;
    return starts;
}

// Room a note or rest needs above and below its lowest digit's top.
struct Extent {
    int above = 0, below = 0;
};

std::vector<const Head*> HeadsHighFirst(const Event& ev) {
    std::vector<const Head*> order;
    for (const Head& h : ev.heads) order.push_back(&h);
    std::stable_sort(order.begin(), order.end(), [](const Head* a, const Head* b) { return a->midi > b->midi; });
    return order;
}

// Digit tops of a chord relative to its highest digit: octave dots between
// two digits get room, and sit nearer the digit they belong to.
std::vector<int> StackOffsets(const std::vector<const Head*>& heads) {
    std::vector<int> offsets{0};
    for (size_t i = 1; i < heads.size(); ++i) {
        int down = std::max(0, -heads[i - 1]->octave), up = std::max(0, heads[i]->octave);
        int upperBottom = MarksBottom(0, down), lowerTop = MarksTop(up);
        offsets.push_back(offsets.back() + 5 + upperBottom - lowerTop);
    }
    return offsets;
}

bool Tied(const Event& ev) {
    for (const Head& h : ev.heads)
        if (h.tie || h.tiedFrom) return true;
    return false;
}

// Lines of words under a note: its dynamic's, and its "cresc." on it or under it.
int WordLines(const Event& ev, int hairpinLevel) {
    return ev.hairpin ? hairpinLevel + 1 : ev.dynamic ? 1 : 0;
}

// The highest and lowest ink of an event relative to its lowest digit's top.
Extent Reach(const Event& ev, bool fingersAbove, int hairpinLevel) {
    Extent e;
    const int words = WordLines(ev, hairpinLevel) * kDynamicRoom;
    if (ev.IsRest()) {
        int ul = ev.underlines + ev.dots;  // the last "0" of a dotted rest has the most lines
        e.above = (ev.fermata ? kFermataRoom : 0) + (ev.inSlur ? kTieRoom + kSlurRoom : 0) - kInkTop;
        e.below = MarksBottom(ul, 0) + words;
        return e;
    }
    auto heads = HeadsHighFirst(ev);
    auto offsets = StackOffsets(heads);
    int lowest = offsets.back();
    e.above = lowest - MarksTop(std::max(0, heads.front()->octave));
    if (ev.staccato) e.above += kStaccatoRoom;
    if (ev.fermata) e.above += kFermataRoom;
    if (Tied(ev) || ev.inSlur) e.above += kTieRoom;  // a slur keeps above where ties go
    if (ev.inSlur) e.above += kSlurRoom;
    if (ev.triplet >= 0) e.above += kTripletRoom;
    e.below = MarksBottom(ev.underlines, std::max(0, -heads.back()->octave));
    (fingersAbove ? e.above : e.below) += FingerRoom(ev);
    e.below += words;
    if (!ev.graces.empty()) {  // small digits with their octave dots, the slur under them
        int up = 0;
        for (const Head& g : ev.graces) up = std::max(up, g.octave);
        const double top = up > 0 ? GraceDotY(up - 1, true) - kGraceDotRadius : kGraceInkTop;
        e.above = std::max(e.above, static_cast<int>(std::ceil(lowest - top)));
        e.below = std::max(e.below, static_cast<int>(std::ceil(GraceSlurY(ev) + kGraceSlurSag + 1 - lowest)));
    }
    return e;
}

// "cresc." goes on the dynamics' line unless that line is taken: by the
// note's own dynamic, or by the next word of its hand on the system, closer
// than the word is long. Needs the system's measures placed.
int HairpinLevel(const Score& score, const Layout& layout, const PlacedSystem& sys, const EventRef& ref) {
    const Event& ev = score.measures[ref.measure].Voice(ref.hand, ref.voice)[ref.index];
    if (!ev.hairpin) return 0;
    if (ev.dynamic) return 1;
    const double reach = TickX(layout.measures[ref.measure], score.measures[ref.measure].length, ev.start) +
                         kWordCharWidth * std::string(HairpinName(ev.hairpin)).size() + 4;
    for (int i = ref.measure, k = ref.index + 1; i < sys.firstMeasure + sys.measureCount; ++i, k = 0) {
        const Measure& m = score.measures[i];
        const auto& voice = m.Voice(ref.hand, ref.voice);
        for (; k < static_cast<int>(voice.size()); ++k) {
            const int x = TickX(layout.measures[i], m.length, voice[k].start);
            if (x > reach) return 0;
            if (voice[k].dynamic || voice[k].hairpin) return 1;
        }
    }
    return 0;
}

void PlaceEvents(const Score& score, const Layout& layout, const PlacedSystem& sys, PlacedMeasure& pm) {
    const Measure& m = score.measures[pm.index];
    for (int slot = 0; slot < kHighlightSlots; ++slot) {  // each voice of each hand
        const int hand = slot % 2, voice = slot / 2;
        const int lowestTop = sys.LineTop(hand, voice);
        const auto& events = m.Voice(hand, voice);
        for (size_t i = 0; i < events.size(); ++i) {
            const Event& ev = events[i];
            PlacedEvent pe;
            pe.ref = EventRef{pm.index, hand, static_cast<int>(i), voice};
            pe.x = TickX(pm, m.length, ev.start);
            pe.hairpinLevel = HairpinLevel(score, layout, sys, pe.ref);
            if (ev.IsRest()) {
                pe.headTops.push_back(lowestTop);
            } else {
                auto offsets = StackOffsets(HeadsHighFirst(ev));
                for (int off : offsets) pe.headTops.push_back(lowestTop - offsets.back() + off);
            }
            pe.headTop = pe.headTops.front();
            int upDots = ev.IsRest() ? 0 : std::max(0, HeadsHighFirst(ev).front()->octave);
            pe.marksTop = pe.headTop + MarksTop(upDots) - (ev.staccato ? kStaccatoRoom : 0) - (ev.fermata ? kFermataRoom : 0) -
                          (FingersAbove(hand, voice) ? FingerRoom(ev) : 0);
            pe.box.left = pe.x - (HasAccidental(ev) ? kAccidentalRoom : 0) - 2;
            pe.box.right = pe.x + kDigitWidth + 2;
            pe.box.top = pe.headTop + kInkTop - 2;
            pe.box.bottom = lowestTop + kBaseline + 2;
            int downDots = ev.IsRest() ? 0 : std::max(0, -HeadsHighFirst(ev).back()->octave);
            pe.glyphs.left = pe.x - (HasAccidental(ev) ? kAccidentalWidth + 1 : 0);
            pe.glyphs.right = pe.x + kDigitWidth + (ev.IsRest() || !ev.dots ? 0 : 5 * ev.dots + 1);
            pe.glyphs.top = pe.headTop + MarksTop(upDots) - 2;
            pe.glyphs.bottom = lowestTop + (downDots ? MarksBottom(ev.underlines, downDots) : kBaseline) + 2;
            (voice ? pm.second : pm.events)[hand].push_back(pe);
        }
    }
}

// Room above and below the lowest digits of a voice's line in a system; a
// line without notes needs none.
Extent LineReach(const Score& score, const Layout& layout, const PlacedSystem& sys, int hand, int voice) {
    Extent line{2 - kInkTop, kBaseline + 2};  // the highlight box's margin at least
    bool any = false;
    for (int i = sys.firstMeasure; i < sys.firstMeasure + sys.measureCount; ++i)
        for (size_t k = 0; k < score.measures[i].Voice(hand, voice).size(); ++k) {
            const Event& ev = score.measures[i].Voice(hand, voice)[k];
            Extent e = Reach(ev, FingersAbove(hand, voice),
                             HairpinLevel(score, layout, sys, EventRef{i, hand, static_cast<int>(k), voice}));
            line.above = std::max(line.above, e.above);
            line.below = std::max(line.below, e.below);
            any = true;
        }
    return any || voice == 0 ? line : Extent{0, 0};
}

// Splits systems into pages: as many as fit, then evened out so the last
// page is not left with a system or two.
std::vector<int> PageStarts(const std::vector<int>& heights) {
    auto fill = [&](int cap) {
        std::vector<int> starts{0};
        int y = kMarginTop + kTitleBlock, onPage = 0;
        for (size_t s = 0; s < heights.size(); ++s) {
            if (onPage > 0 && (y + heights[s] > kPageHeight - kMarginBottom || onPage >= cap)) {
                starts.push_back(static_cast<int>(s));
                y = kMarginTop;
                onPage = 0;
            }
            y += heights[s] + kSystemGap;
            ++onPage;
        }
        return starts;
    };
    std::vector<int> greedy = fill(std::numeric_limits<int>::max());
    const int pages = static_cast<int>(greedy.size()), systems = static_cast<int>(heights.size());
    if (pages < 2) return greedy;
    std::vector<int> even = fill((systems + pages - 1) / pages);
    return even.size() == greedy.size() ? even : greedy;
}

}  // namespace

double DotAboveY(int k) { return kInkTop - 2.6 - kDotStep * k; }
double DotBelowY(int underlines, int k) { return kBaseline + 2.6 + kUnderlineStep * underlines + kDotStep * k; }
int MarksTop(int dotsAbove) {
    return dotsAbove > 0 ? static_cast<int>(std::floor(DotAboveY(dotsAbove - 1) - kDotRadius)) : kInkTop;
}
int MarksBottom(int underlines, int dotsBelow) {
    if (dotsBelow > 0) return static_cast<int>(std::ceil(DotBelowY(underlines, dotsBelow - 1) + kDotRadius));
    return underlines > 0 ? kUnderlineTop + kUnderlineStep * (underlines - 1) + 2 : kBaseline + 1;
}

bool FingersAbove(int hand, int voice) { return hand == kHandRight && voice == 0; }

int FingerRoom(const Event& ev) {
    int n = 0;
    for (const Head& h : ev.heads) n += h.finger > 0;
    return n ? n * kFingerStep + 4 : 0;
}

std::vector<double> GraceOffsets(const Event& ev) {
    std::vector<double> xs(ev.graces.size());
    double x = -(HasAccidental(ev) ? kAccidentalRoom : 0) - 1;
    for (size_t g = ev.graces.size(); g-- > 0;) {
        x -= kGraceStep;
        xs[g] = x;
        if (ev.graces[g].accidental && g > 0) x -= kGraceAccidental;
    }
    return xs;
}

double GraceDotY(int k, bool above) {
    return above ? kGraceInkTop - 1.8 - 3 * k : kGraceBaseline + 1.8 + 3 * k;
}

double GraceSlurY(const Event& ev) {
    int down = 0;
    for (const Head& g : ev.graces) down = std::max(down, -g.octave);
    return kGraceBaseline + 3 + (down > 0 ? GraceDotY(down - 1, false) + kGraceDotRadius + 2.5 - kGraceBaseline - 3 : 0);
}

double LyricWidth(const std::string& s) {
    double w = 0;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned cp = n == 1 ? c : c & (0x3F >> (n - 1));
        for (size_t k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += n;
        // Generous: a word reckoned too narrow would meet its neighbour.
        if (cp >= 0x2E80) w += 12.5;  // CJK and the like: a square
        else if (cp >= 0x80) w += 8;
        else if (std::strchr("iljI.,;:'!|()", static_cast<int>(cp))) w += 3.5;
        else if (std::strchr("frt", static_cast<int>(cp))) w += 5;
        else if (std::strchr("mwMW", static_cast<int>(cp))) w += 12;
        else if (cp >= 'A' && cp <= 'Z') w += 9;
        else w += 7.5;
    }
    return w;
}

std::vector<Label> LyricLabels(const Measure& m) {
    std::vector<Label> out;
    for (const Event& ev : m.hands[kHandRight]) {
        if (ev.lyric.empty()) continue;
        const double w = LyricWidth(ev.lyric), centre = kDigitWidth / 2.0;
        out.push_back(Label{ev.start, centre - w / 2, centre + w / 2 + (ev.lyricHyphen ? kLyricHyphenRoom : 0)});
    }
    return out;
}

std::vector<Label> PedalLabels(const Measure& m) {
    std::vector<Label> out;
    for (const Event& ev : m.hands[kHandLeft]) {
        if (ev.pedal == kPedalDown) out.push_back(Label{ev.start, 0, kPedWidth});
        if (ev.pedal == kPedalUp) out.push_back(Label{ev.start, kDigitWidth / 2.0 - kStarRadius, kDigitWidth / 2.0 + kStarRadius});
        if (ev.pedal == kPedalChange) out.push_back(Label{ev.start, -2 * kStarRadius - 2, kPedWidth});
    }
    if (m.pedalUpAtEnd) out.push_back(Label{m.length, -2 * kStarRadius - 3, -3});
    return out;
}

ChangeText ChangeTextOf(const Measure& m) {
    ChangeText t;
    if (m.keyChange) t.key = std::string("1=") + KeyName(m.key);
    if (m.meterChange) t.meter = std::to_string(m.beats) + "/" + std::to_string(m.unit);
    if (m.tempoChange) t.tempo = "= " + std::to_string(m.tempo);
    return t;
}

double ChangeTextWidth(const ChangeText& text) {
    double w = 0;
    for (const std::string* part : {&text.key, &text.meter, &text.tempo})
        if (!part->empty()) w += (w > 0 ? kChangeGap : 0) + kChangeCharWidth * part->size();
    return w + (text.tempo.empty() ? 0 : kTempoNoteWidth);
}

int DashTicks(const Event& ev) { return ev.triplet >= 0 ? kTicksPerQuarter * 2 / 3 : kTicksPerQuarter; }

int TickX(const PlacedMeasure& m, int measureLength, int tick) {
    const auto& c = m.columns;
    if (c.empty()) {
        if (measureLength <= 0) return m.innerLeft;
        return m.innerLeft + static_cast<int>(static_cast<long long>(tick) * m.innerWidth / measureLength);
    }
    auto it = std::lower_bound(c.begin(), c.end(), tick, [](const Column& a, int t) { return a.tick < t; });
    if (it == c.end()) return c.back().x;
    if (it->tick == tick || it == c.begin()) return it->x;
    const Column& a = *(it - 1);
    return a.x + static_cast<int>(static_cast<long long>(tick - a.tick) * (it->x - a.x) / (it->tick - a.tick));
}

int Layout::PageSystemEnd(int page) const {
    return page + 1 < PageCount() ? pageFirstSystem[page + 1] : static_cast<int>(systems.size());
}

const PlacedEvent* Layout::Find(const EventRef& ref) const {
    if (ref.measure < 0 || ref.measure >= static_cast<int>(measures.size()) || ref.hand < 0 || ref.hand > 1)
        return nullptr;
    if (ref.voice < 0 || ref.voice >= kVoices) return nullptr;
    const auto& events = measures[ref.measure].Voice(ref.hand, ref.voice);
    return ref.index >= 0 && ref.index < static_cast<int>(events.size()) ? &events[ref.index] : nullptr;
}

const PlacedEvent* Layout::HitTest(int page, int x, int y) const {
    if (page < 0 || page >= PageCount()) return nullptr;
    for (int s = pageFirstSystem[page]; s < PageSystemEnd(page); ++s) {
        const PlacedSystem& sys = systems[s];
        for (int i = sys.firstMeasure; i < sys.firstMeasure + sys.measureCount; ++i)
            for (int hand = 0; hand < 2; ++hand)
                for (int voice = 0; voice < kVoices; ++voice)
                    for (const PlacedEvent& pe : measures[i].Voice(hand, voice))
                        if (pe.box.Contains(x, y)) return &pe;
    }
    return nullptr;
}

Layout LayoutScore(const Score& score) {
    Layout layout;
    const int count = static_cast<int>(score.measures.size());
    std::vector<Spacing> spacing(count);
    for (int i = 0; i < count; ++i) spacing[i] = MeasureSpacing(score.measures[i]);

    // Systems: justified to the line, except a last one that is short, which
    // keeps the spacing of the others so like bars look alike.
    double usual = 1.0;
    std::vector<int> starts = BalancedBreaks(score, spacing, &usual);
    layout.measures.resize(count);
    std::vector<bool> justified;
    for (size_t s = 0; s < starts.size(); ++s) {
        PlacedSystem sys;
        sys.firstMeasure = starts[s];
        sys.measureCount = (s + 1 < starts.size() ? starts[s + 1] : count) - starts[s];
        sys.stretch = FitStretch(spacing, sys.firstMeasure, sys.firstMeasure + sys.measureCount);
        layout.systems.push_back(sys);
        justified.push_back(true);
    }
    double& lastStretch = layout.systems.back().stretch;
    if (usual < lastStretch) {
        lastStretch = usual;
        justified.back() = false;
    }
    for (PlacedSystem& sys : layout.systems) {
        const size_t index = &sys - layout.systems.data();
        double x = kLineLeft;
        const int end = sys.firstMeasure + sys.measureCount;
        for (int i = sys.firstMeasure; i < end; ++i) {
            const Spacing& sp = spacing[i];
            PlacedMeasure& pm = layout.measures[i];
            pm.index = i;
            pm.number = i + score.FirstNumber();
            pm.system = static_cast<int>(index);
            pm.box.left = static_cast<int>(std::lround(x));
            double cx = x + sp.padLeft;
            pm.innerLeft = static_cast<int>(std::lround(cx));
            for (size_t c = 0; c < sp.ticks.size(); ++c) {
                pm.columns.push_back(Column{sp.ticks[c], static_cast<int>(std::lround(cx))});
                if (c < sp.natural.size()) cx += std::max(sp.least[c], sp.natural[c] * sys.stretch);
            }
            x = cx + sp.padRight;
            pm.box.right = static_cast<int>(std::lround(x));
            // A justified system ends exactly at the margin, whatever the rounding.
            if (i == end - 1 && justified[index] && x <= kLineLeft + kLineWidth + 1)
                pm.box.right = pm.columns.back().x = kLineLeft + kLineWidth;
            pm.innerWidth = pm.box.right - pm.innerLeft;
        }
    }

    // The measures under a first ending's bracket: from the one that opens it to the repeat sign.
    bool open = false;
    for (int i = 0; i < count; ++i) {
        open = (open || score.measures[i].ending == 1) && score.measures[i].ending != 2;
        layout.measures[i].firstEnding = open;
        if (score.measures[i].repeatEnd) open = false;
    }

    // Rows as tall as their marks need, then systems onto pages.
    // A hand's second voice, where the system has one, is a line of its own
    // under the first voice's marks.
    std::vector<int> heights;
    std::vector<Extent> reach[2], second[2];
    for (PlacedSystem& sys : layout.systems) {
        for (int hand = 0; hand < 2; ++hand) {
            Extent e = LineReach(score, layout, sys, hand, 0), lower = LineReach(score, layout, sys, hand, 1);
            reach[hand].push_back(e);
            second[hand].push_back(lower);
            sys.rowHeight[hand] = e.above + e.below;
            if (lower.below) sys.rowHeight[hand] += kVoiceGap + lower.above + lower.below;
        }
        for (int i = sys.firstMeasure; i < sys.firstMeasure + sys.measureCount; ++i) {
            const Measure& m = score.measures[i];
            if (m.ending || m.segno || m.fine || m.jump || layout.measures[i].firstEnding) sys.markBand = kMarkBand;
            if (!LyricLabels(m).empty()) sys.lyricTop = 1;  // placed below
            if (!PedalLabels(m).empty()) sys.pedalTop = 1;
            if (!ChangeTextOf(m).Empty() || !m.TempoWords().empty()) sys.wordBand = kWordBand;
        }
        const int lyricBand = sys.lyricTop ? kLyricBand : 0, pedalBand = sys.pedalTop ? kPedalBand : 0;
        heights.push_back(kNumberBand + sys.markBand + sys.wordBand + sys.rowHeight[0] + lyricBand + kHandGap +
                          sys.rowHeight[1] + pedalBand);
    }
    layout.pageFirstSystem = PageStarts(heights);
    int page = -1, y = 0;
    for (size_t s = 0; s < layout.systems.size(); ++s) {
        PlacedSystem& sys = layout.systems[s];
        if (page + 1 < layout.PageCount() && layout.pageFirstSystem[page + 1] == static_cast<int>(s)) {
            ++page;
            y = page == 0 ? kMarginTop + kTitleBlock : kMarginTop;
        }
        sys.page = page;
        sys.top = y;
        sys.rowTop[kHandRight] = y + kNumberBand + sys.markBand + sys.wordBand;
        const int lyricBand = sys.lyricTop ? kLyricBand : 0, pedalBand = sys.pedalTop ? kPedalBand : 0;
        if (sys.lyricTop) sys.lyricTop = sys.rowTop[kHandRight] + sys.rowHeight[kHandRight];
        sys.rowTop[kHandLeft] = sys.rowTop[kHandRight] + sys.rowHeight[kHandRight] + lyricBand + kHandGap;
        for (int hand = 0; hand < 2; ++hand) {
            sys.lowestTop[hand] = sys.rowTop[hand] + reach[hand][s].above;
            if (second[hand][s].below)
                sys.secondTop[hand] = sys.lowestTop[hand] + reach[hand][s].below + kVoiceGap + second[hand][s].above;
        }
        if (sys.pedalTop) sys.pedalTop = sys.rowTop[kHandLeft] + sys.rowHeight[kHandLeft];
        sys.bottom = sys.rowTop[kHandLeft] + sys.rowHeight[kHandLeft] + pedalBand;
        for (int i = sys.firstMeasure; i < sys.firstMeasure + sys.measureCount; ++i) {
            PlacedMeasure& pm = layout.measures[i];
            pm.page = page;
            pm.box.top = sys.rowTop[kHandRight];
            pm.box.bottom = sys.bottom;
            PlaceEvents(score, layout, sys, pm);
        }
        y = sys.bottom + kSystemGap;
    }
    return layout;
}

}  // namespace zyqn
