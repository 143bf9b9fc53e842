// The small marks around a note (finger numbers, grace notes) and the rows
// under the hands: the words sung to the right hand, the pedal under the left.
#include <algorithm>
#include <cmath>

#include "engine/render_kit.h"
#include "engine/renderer.h"

namespace zyqn {

using namespace metrics;
using namespace render;

namespace {

constexpr double kSmallDigitHeight = 8;  // a small digit's ink, baseline up
constexpr double kSmallDigitWidth = 6;

}  // namespace

double CScoreRenderer::Text(HDC dc, HFONT font, UINT align, double x, double y, const std::wstring& text,
                            const PageView& view, bool measure) {
    const Xf xf = XfOf(view);
    SelectObject(dc, font);
    SetTextAlign(dc, align | TA_BASELINE);
    ExtTextOutW(dc, xf.X(x), xf.Y(y), 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if (!measure) return 0;
    SIZE ext{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &ext);
    return ext.cx / view.scale;
}

// Finger numbers stand in a column over the note (from is the column's
// bottom) or under it (from is its top); in a chord the top number belongs
// to the top note.
void CScoreRenderer::DrawFingering(HDC dc, const Event& ev, const PlacedEvent& pe, bool above, double from,
                                   const PageView& view) {
    std::vector<const Head*> fingered;
    for (const Head& h : ev.heads)
        if (h.finger) fingered.push_back(&h);
    if (fingered.empty()) return;
    std::stable_sort(fingered.begin(), fingered.end(), [](const Head* a, const Head* b) { return a->midi > b->midi; });
    const double cx = pe.x + kDigitWidth / 2.0, n = static_cast<double>(fingered.size());
    for (size_t i = 0; i < fingered.size(); ++i) {
        // From the top of the column down, clear of the note's marks. Below,
        // the number's ink starts at its cell's top, so it keeps a wider gap
        // from the dots over it than above, where the cell's own air does.
        const double baseline = above ? from - 2 - (n - 1 - i) * kFingerStep
                                                   : from + 3 + kSmallDigitHeight + i * kFingerStep;
        const wchar_t digit[2] = {static_cast<wchar_t>(L'0' + fingered[i]->finger), 0};
        Text(dc, fonts_.small, TA_CENTER, cx, baseline, digit, view);
        AddMark(view, MarkKind::Fingering, cx - kSmallDigitWidth / 2, baseline - kSmallDigitHeight,
                cx + kSmallDigitWidth / 2, baseline, pe.ref);
    }
}

// Grace notes as small digits before the note, with their octave dots and
// signs, and a slur under them into the note.
void CScoreRenderer::DrawGraces(HDC dc, const Event& ev, const PlacedEvent& pe, const PageView& view) {
    if (ev.graces.empty()) return;
    const Xf xf = XfOf(view);
    const std::vector<double> offsets = GraceOffsets(ev);
    const double top = pe.headTop;
    for (size_t g = 0; g < ev.graces.size(); ++g) {
        const Head& h = ev.graces[g];
        const double x = pe.x + offsets[g], cx = x + kSmallDigitWidth / 2;
        const wchar_t digit[2] = {static_cast<wchar_t>(L'0' + h.degree), 0};
        Text(dc, fonts_.small, TA_CENTER, cx, top + kGraceBaseline, digit, view);
        AddMark(view, MarkKind::Grace, x + 0.5, top + kGraceInkTop, x + kSmallDigitWidth - 0.5, top + kGraceBaseline, pe.ref);
        if (h.accidental) {
            Accidental(dc, xf, h.accidental, x - 1, top + kGraceInkTop, 0.45);
            AddMark(view, MarkKind::Grace, x - kGraceAccidental, top + kGraceInkTop, x - 1, top + kGraceInkTop + 14 * 0.45, pe.ref);
        }
        for (int k = 0; k < std::abs(h.octave); ++k) {
            const double y = top + GraceDotY(k, h.octave > 0);
            InkDot(xf.X(cx), xf.Y(y), static_cast<int>(std::lround(kGraceDotRadius * xf.s)));
            AddMark(view, MarkKind::Grace, cx - kGraceDotRadius, y - kGraceDotRadius, cx + kGraceDotRadius,
                    y + kGraceDotRadius, pe.ref);
        }
    }
    // Into the note, stopping short of its sign.
    const double x1 = pe.x + offsets.front() + 1;
    const double x2 = pe.x - (ev.heads.empty() || !std::any_of(ev.heads.begin(), ev.heads.end(),
                                                               [](const Head& h) { return h.accidental != 0; })
                                  ? -0.5
                                  : kAccidentalWidth + 2.5);
    const double y = top + GraceSlurY(ev);
    const double sag = Arc(dc, xf, x1, x2, y, -1, kGraceSlurSag);
    AddMark(view, MarkKind::Grace, x1, y - 1, x2, y + sag + 1, pe.ref);
}

// The syllables centred under their notes, between the hands; a hyphen
// between two syllables of a word, or after the last one on a system.
void CScoreRenderer::DrawWords(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm,
                               const PageView& view) {
    const PlacedSystem& sys = layout.systems[pm.system];
    if (!sys.lyricTop) return;
    const Xf xf = XfOf(view);
    const double baseline = sys.lyricTop + kLyricBaseline;
    const auto& events = score.measures[pm.index].hands[kHandRight];
    for (size_t i = 0; i < events.size(); ++i) {
        const Event& ev = events[i];
        if (ev.lyric.empty()) continue;
        const PlacedEvent& pe = pm.events[kHandRight][i];
        const double cx = pe.x + kDigitWidth / 2.0;
        // The hyphen after it needs the syllable's width, as do the tests' marks.
        const double w = Text(dc, fonts_.lyric, TA_CENTER, cx, baseline, Widen(ev.lyric), view, ev.lyricHyphen || view.marks);
        AddMark(view, MarkKind::Lyric, cx - w / 2, baseline - 10, cx + w / 2, baseline + 3, pe.ref);
        if (!ev.lyricHyphen) continue;
        // The word's next syllable: the next note of the right hand that has one.
        EventRef next = Neighbour(score, pe.ref, 1);
        while (next.Valid() && score.measures[next.measure].hands[kHandRight][next.index].lyric.empty())
            next = Neighbour(score, next, 1);
        double from = cx + w / 2 + 2, to = from + 6;
        const PlacedEvent* np = layout.Find(next);
        if (np && layout.measures[next.measure].system == pm.system) {
            const Event& ne = score.measures[next.measure].hands[kHandRight][next.index];
            const double nextLeft = np->x + kDigitWidth / 2.0 - LyricWidth(ne.lyric) / 2;
            const double mid = (cx + w / 2 + nextLeft) / 2;
            from = std::max(from, mid - 2.5), to = std::max(from + 3, std::min(mid + 2.5, nextLeft - 2));
        }
        const double y = baseline - 4;
        Ink(xf.X(from), xf.Y(y), xf.X(to), xf.Y(y) + xf.Len(1));
        AddMark(view, MarkKind::Hyphen, from, y, to, y + 1, pe.ref);
    }
}

// "Ped." where the pedal goes down, "*" where it comes up, under the left hand.
void CScoreRenderer::DrawPedal(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm,
                               const PageView& view) {
    const PlacedSystem& sys = layout.systems[pm.system];
    if (!sys.pedalTop) return;
    const Xf xf = XfOf(view);
    const double baseline = sys.pedalTop + kPedalBaseline, starY = baseline - 4;
    auto star = [&](double cx, const EventRef& ref) {
        for (int k = 0; k < 3; ++k) {
            const double a = 3.14159265 * (0.5 + k / 3.0), dx = kStarRadius * std::cos(a), dy = kStarRadius * std::sin(a);
            Line(dc, xf.X(cx - dx), xf.Y(starY - dy), xf.X(cx + dx), xf.Y(starY + dy));
        }
        AddMark(view, MarkKind::Pedal, cx - kStarRadius, starY - kStarRadius, cx + kStarRadius, starY + kStarRadius, ref);
    };
    const Measure& m = score.measures[pm.index];
    for (size_t i = 0; i < m.hands[kHandLeft].size(); ++i) {
        const int pedal = m.hands[kHandLeft][i].pedal;
        if (!pedal) continue;
        const PlacedEvent& pe = pm.events[kHandLeft][i];
        if (pedal == kPedalUp) star(pe.x + kDigitWidth / 2.0, pe.ref);
        if (pedal == kPedalChange) star(pe.x - kStarRadius - 1, pe.ref);
        if (pedal == kPedalDown || pedal == kPedalChange) {
            const double w = Text(dc, fonts_.dynamic, TA_LEFT, pe.x + 0.5, baseline, L"Ped.", view, view.marks != nullptr);
            AddMark(view, MarkKind::Pedal, pe.x + 0.5, baseline - 9, pe.x + 0.5 + w, baseline + 1, pe.ref);
        }
    }
    if (m.pedalUpAtEnd) star(TickX(pm, m.length, m.length) - kStarRadius - 3, EventRef{pm.index, kHandLeft, -1});
}

}  // namespace zyqn
