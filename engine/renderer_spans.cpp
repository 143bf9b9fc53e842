// The marks that span notes or measures: repeat signs, endings and the
// words of jumps, changes of key, meter and tempo and tempo words, ties,
// slurs and triplet brackets.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine/render_kit.h"
#include "engine/renderer.h"

namespace zyqn {

using namespace metrics;
using namespace render;

namespace {

bool Tied(const Event& ev) {
    for (const Head& h : ev.heads)
        if (h.tie) return true;
    return false;
}

}  // namespace

// A repeat sign on a bar line at x: the thick line on the bar, the thin one
// and the dots of both rows toward the music it repeats (side +1 opens, -1 closes).
void CScoreRenderer::DrawRepeat(const PageView& view, const PlacedSystem& sys, int x, int side) {
    const Xf xf = XfOf(view);
    const double top = sys.lowestTop[kHandRight] + kInkTop - 1, bottom = sys.BottomLine(kHandLeft) + kBaseline + 3;
    const double thick = side > 0 ? x - 1 : x - 2, thin = x + side * 4.5, dots = x + side * 7.5;
    Ink(xf.X(thick), xf.Y(top), xf.X(thick) + xf.Len(3), xf.Y(bottom));
    Ink(xf.X(thin - 0.5), xf.Y(top), xf.X(thin - 0.5) + xf.Len(1), xf.Y(bottom));
    AddMark(view, MarkKind::Repeat, std::min(thick, thin - 0.5), top, std::max(thick + 3, thin + 0.5), bottom);
    for (int hand = 0; hand < 2; ++hand)
        for (double y : {sys.lowestTop[hand] + 7.0, sys.lowestTop[hand] + 12.5}) {
            InkDot(xf.X(dots), xf.Y(y), static_cast<int>(std::lround(kDotRadius * xf.s)));
            AddMark(view, MarkKind::Repeat, dots - kDotRadius, y - kDotRadius, dots + kDotRadius, y + kDotRadius);
        }
}

// Endings' brackets with their numbers, the segno, Fine and the jumps, in
// the band above the right hand.
void CScoreRenderer::DrawNavigation(HDC dc, const Score& score, const Layout& layout, int system,
                                    const PageView& view) {
    const Xf xf = XfOf(view);
    const PlacedSystem& sys = layout.systems[system];
    if (!sys.markBand) return;
    const double y = sys.rowTop[kHandRight] - sys.wordBand - kMarkBand + 2;
    const int last = sys.firstMeasure + sys.measureCount - 1;
    bool fine = false;
    for (const Measure& m : score.measures) fine = fine || m.fine;
    SelectObject(dc, fonts_.small);
    auto text = [&](const wchar_t* words, double x, UINT align) {
        SetTextAlign(dc, align | TA_BASELINE);
        ExtTextOutW(dc, xf.X(x), xf.Y(y + 9), 0, nullptr, words, static_cast<UINT>(wcslen(words)), nullptr);
        double w = 5.6 * wcslen(words);
        double l = align == TA_RIGHT ? x - w : x;
        AddMark(view, MarkKind::Word, l, y + 1, l + w, y + 9.5);
    };
    for (int i = sys.firstMeasure; i <= last; ++i) {
        const Measure& m = score.measures[i];
        const PlacedMeasure& pm = layout.measures[i];
        // An ending's bracket runs over its measures on this system; a first one closes at its repeat sign.
        bool opens = m.ending == 2 || (pm.firstEnding && (m.ending == 1 || i == sys.firstMeasure));
        if (opens) {
            int end = i;
            if (m.ending != 2)
                while (end < last && layout.measures[end + 1].firstEnding && !score.measures[end].repeatEnd) ++end;
            double x1 = pm.box.left + 3, x2 = layout.measures[end].box.right - 4;
            bool closed = m.ending != 2 && score.measures[end].repeatEnd;
            Ink(xf.X(x1), xf.Y(y), xf.X(x2), xf.Y(y) + xf.Len(1));
            if (m.ending) Ink(xf.X(x1), xf.Y(y), xf.X(x1) + xf.Len(1), xf.Y(y + 10));
            if (closed) Ink(xf.X(x2) - xf.Len(1), xf.Y(y), xf.X(x2), xf.Y(y + 10));
            AddMark(view, MarkKind::Ending, x1, y, x2, y + 1);
            if (m.ending) {
                SetTextAlign(dc, TA_LEFT | TA_BASELINE);
                const wchar_t* label = m.ending == 1 ? L"1." : L"2.";
                ExtTextOutW(dc, xf.X(x1 + 3), xf.Y(y + 10), 0, nullptr, label, 2, nullptr);
                AddMark(view, MarkKind::Ending, x1 + 3, y + 2.5, x1 + 13, y + 10);
            }
            i = end;
            continue;
        }
    }
    for (int i = sys.firstMeasure; i <= last; ++i) {
        const Measure& m = score.measures[i];
        const PlacedMeasure& pm = layout.measures[i];
        if (pm.firstEnding || m.ending) continue;  // the bracket has the band there
        if (m.segno) text(L"\u00a7", pm.box.left + 3, TA_LEFT);
        if (m.jump == kJumpDaCapo) text(fine ? L"D.C. al Fine" : L"D.C.", pm.box.right - 3, TA_RIGHT);
        else if (m.jump == kJumpDalSegno) text(fine ? L"D.S. al Fine" : L"D.S.", pm.box.right - 3, TA_RIGHT);
        else if (m.fine) text(L"Fine", pm.box.right - 3, TA_RIGHT);
    }
}

// The band over the right hand: a change of key, meter or tempo at the start
// of its measure, "1=G  3/4  ♩ = 90", and "rit.", "rall." and "a tempo" over
// their notes (written in either hand, shown once). Each word starts where
// the last one ended if its note stands closer.
void CScoreRenderer::DrawWords(HDC dc, const Score& score, const Layout& layout, int system, const PageView& view) {
    const PlacedSystem& sys = layout.systems[system];
    if (!sys.wordBand) return;
    const Xf xf = XfOf(view);
    const double baseline = sys.rowTop[kHandRight] - 4;
    double free = 0;
    auto put = [&](const std::string& text, double x, HFONT font) {
        const double w = Text(dc, font, TA_LEFT, x, baseline, Widen(text), view, true);
        AddMark(view, MarkKind::Word, x, baseline - 9, x + w, baseline + 2.5);
        return x + w + kChangeGap;
    };
    for (int i = sys.firstMeasure; i < sys.firstMeasure + sys.measureCount; ++i) {
        const Measure& m = score.measures[i];
        const PlacedMeasure& pm = layout.measures[i];
        const ChangeText change = ChangeTextOf(m);
        double x = std::max<double>(pm.box.left + 3, free);
        if (!change.key.empty()) x = put(change.key, x, fonts_.small);
        if (!change.meter.empty()) x = put(change.meter, x, fonts_.small);
        if (!change.tempo.empty()) {
            TempoNote(dc, xf, x, baseline, m.tempoUnit, 0.75, kInkColor, kPaperColor);
            AddMark(view, MarkKind::Word, x, baseline - 10, x + 7.5, baseline);
            x = put(change.tempo, x + kTempoNoteWidth, fonts_.small);
        }
        if (!change.Empty()) free = x;
        for (const auto& w : m.TempoWords())
            free = put(TempoWordName(w.second), std::max<double>(TickX(pm, m.length, w.first), free), fonts_.word);
    }
}

// A tie's arc over the notes it joins; one broken by a system's end goes on
// to the bar line and starts again before the note on the next system.
void CScoreRenderer::DrawTie(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, int hand,
                             int voice, int index, const PageView& view) {
    const Xf xf = XfOf(view);
    const Event& ev = score.measures[pm.index].Voice(hand, voice)[index];
    const PlacedEvent& pe = pm.Voice(hand, voice)[index];
    const PlacedSystem& sys = layout.systems[pm.system];
    const double cx = pe.x + kDigitWidth / 2.0;
    auto arc = [&](double x1, double x2, double y) {
        double h = Arc(dc, xf, x1, x2, y);
        AddMark(view, MarkKind::Tie, x1, y - h - 1, x2, y + 1, pe.ref);
    };
    if (Tied(ev)) {
        const PlacedEvent* next = layout.Find(Neighbour(score, pe.ref, 1));
        if (next && layout.measures[next->ref.measure].system == pm.system) {
            arc(cx + 1, next->x + kDigitWidth / 2.0 - 1, std::min(pe.marksTop, next->marksTop) - 3);
        } else {
            int end = layout.measures[sys.firstMeasure + sys.measureCount - 1].box.right;
            arc(cx + 1, end - 2, pe.marksTop - 3);
        }
    }
    bool continues = false;
    for (const Head& h : ev.heads) continues = continues || h.tiedFrom;
    if (continues) {
        const PlacedEvent* prev = layout.Find(Neighbour(score, pe.ref, -1));
        if (prev && layout.measures[prev->ref.measure].system != pm.system)
            arc(layout.measures[sys.firstMeasure].box.left + 2, cx - 1, pe.marksTop - 3);
    }
}

// A slur's arc from its first note to its last, above their marks and ties;
// broken by a system's end, it goes on from the next system's start.
void CScoreRenderer::DrawSlur(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, int hand,
                              int voice, int index, const PageView& view) {
    const Xf xf = XfOf(view);
    const Event& ev = score.measures[pm.index].Voice(hand, voice)[index];
    if (!ev.slurStart && !ev.slurEnd) return;
    const PlacedSystem& sys = layout.systems[pm.system];
    const PlacedEvent& pe = pm.Voice(hand, voice)[index];
    // The run of the slur on this system, from this note forward or back.
    const int step = ev.slurStart ? 1 : -1;
    EventRef ref = pe.ref, end = pe.ref;
    int top = pe.marksTop;
    bool leaves = false;
    for (;;) {
        const Event& e = score.measures[ref.measure].Voice(hand, voice)[ref.index];
        if (ref != pe.ref && (step > 0 ? e.slurEnd : e.slurStart)) break;
        EventRef next = Neighbour(score, ref, step);
        if (!next.Valid()) break;
        const PlacedEvent* np = layout.Find(next);
        if (!np || layout.measures[next.measure].system != pm.system) {
            leaves = true;
            break;
        }
        ref = end = next;
        top = std::min(top, np->marksTop);
    }
    if (!ev.slurStart && !leaves) return;  // drawn from its first note
    const double y = top - 3 - kTieRoom;  // over the ties' room
    const PlacedEvent* fp = layout.Find(end);
    double x1 = pe.x + kDigitWidth / 2.0, x2 = fp->x + kDigitWidth / 2.0;
    if (leaves && step > 0) x2 = layout.measures[sys.firstMeasure + sys.measureCount - 1].box.right - 2;
    if (leaves && step < 0) x1 = layout.measures[sys.firstMeasure].box.left + 2, x2 = pe.x + kDigitWidth / 2.0;
    if (step < 0 && !leaves) return;
    if (x2 - x1 < 4) return;
    double h = Arc(dc, xf, x1, x2, y);
    AddMark(view, MarkKind::Slur, x1, y - h - 1, x2, y + 1, pe.ref);
}

// A triplet's bracket with its "3", over the group and clear of its ties.
void CScoreRenderer::DrawTriplet(HDC dc, const Score& score, const PlacedMeasure& pm, int hand, int voice, int index,
                                 const PageView& view) {
    const Xf xf = XfOf(view);
    const auto& events = score.measures[pm.index].Voice(hand, voice);
    const auto& placed = pm.Voice(hand, voice);
    const Event& ev = events[index];
    if (ev.triplet < 0 || (index > 0 && events[index - 1].triplet == ev.triplet)) return;
    int lastIndex = index, top = placed[index].marksTop;
    bool tied = false;
    for (int i = index; i < static_cast<int>(events.size()) && events[i].triplet == ev.triplet; ++i) {
        lastIndex = i;
        top = std::min(top, placed[i].marksTop);
        for (const Head& h : events[i].heads) tied = tied || h.tie || h.tiedFrom;
    }
    const double x1 = placed[index].x, x2 = placed[lastIndex].x + kDigitWidth;
    bool slurred = false;
    for (int i = index; i <= lastIndex; ++i) slurred = slurred || events[i].inSlur;
    const double y = top - 5 - (tied ? kTieRoom : 0) - (slurred ? kSlurRoom : 0), mid = (x1 + x2) / 2;
    Line(dc, xf.X(x1), xf.Y(y + 3), xf.X(x1), xf.Y(y));
    Line(dc, xf.X(x1), xf.Y(y), xf.X(mid - 5), xf.Y(y));
    Line(dc, xf.X(mid + 5), xf.Y(y), xf.X(x2), xf.Y(y));
    Line(dc, xf.X(x2), xf.Y(y), xf.X(x2), xf.Y(y + 3));
    SelectObject(dc, fonts_.small);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    ExtTextOutW(dc, xf.X(mid), xf.Y(y + 4), 0, nullptr, L"3", 1, nullptr);
    AddMark(view, MarkKind::Triplet, x1, y - 5, x2, y + 3.5, placed[index].ref);
}

}  // namespace zyqn
