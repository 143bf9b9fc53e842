#include "engine/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/render_kit.h"

namespace zyqn {

using namespace metrics;
using namespace render;

namespace {

void Fill(HDC dc, int l, int t, int r, int b, COLORREF color) {
    RECT rc{l, t, r, b};
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);  // a solid fill without a brush
}

}  // namespace

// Sharp, flat and natural signs drawn as strokes at about two thirds of a
// digit's height, so no font needs to hold them and they never crowd the digit.
// x is the sign's right edge; y the digit's ink top.
void render::Accidental(HDC dc, const Xf& xf, int kind, double right, double y, double k) {
    const double x = right - kAccidentalWidth * k / 0.62;
    auto L = [&](double x1, double y1, double x2, double y2) {
        Line(dc, xf.X(x + x1 * k), xf.Y(y + y1 * k), xf.X(x + x2 * k), xf.Y(y + y2 * k));
    };
    if (kind == 1) {
        L(2, 1, 2, 14), L(6.5, 0, 6.5, 13), L(0, 5.5, 9, 4), L(0, 10, 9, 8.5);
    } else if (kind == -1) {
        L(1, 0, 1, 14), L(1, 14, 6.5, 10.5), L(6.5, 10.5, 7, 8.5), L(7, 8.5, 5, 7.5), L(5, 7.5, 1, 9.5);
    } else if (kind == 2) {
        L(1, 0, 1, 11), L(6.5, 3, 6.5, 14), L(1, 11, 6.5, 10), L(1, 5, 6.5, 4);
    }
}

namespace {

constexpr int kMaxStack = 8;  // the parser's chord limit

// Underlines join within a beat of the measure's meter: a quarter, a dotted
// quarter in 6/8 and the like, an eighth in 3/8 where each eighth is felt on its own.
int BeatGroupTicks(const Measure& m) {
    if (m.unit == 8) return m.beats % 3 == 0 && m.beats > 3 ? kTicksPerQuarter * 3 / 2 : kTicksPerQuarter / 2;
    if (m.unit == 16) return kTicksPerQuarter / 4;
    return kTicksPerQuarter;
}

}  // namespace

RECT DeviceRect(const PageView& view, const Box& box) {
    Xf xf = XfOf(view);
    return RECT{xf.X(box.left), xf.Y(box.top), xf.X(box.right), xf.Y(box.bottom)};
}

CScoreRenderer::~CScoreRenderer() { FreeFonts(); }

void CScoreRenderer::Ink(int l, int t, int r, int b) {
    if (r > l && b > t) ink_.push_back(RECT{l, t, r, b});
}

// A round dot of device radius d: a pixel, a small cross of rectangles that
// reads as round, or, when large, an ellipse drawn at once.
void CScoreRenderer::InkDot(int x, int y, int d) {
    if (d < 1) {
        Ink(x, y, x + 1, y + 1);
    } else if (d <= 2) {
        Ink(x - d, y - d + 1, x + d + 1, y + d);
        Ink(x - d + 1, y - d, x + d, y + d + 1);
    } else {
        ink_.push_back(RECT{x - d, y - d, x + d + 1, -(y + d + 1)});  // a negative bottom marks an ellipse
    }
}

void CScoreRenderer::Flush(HDC dc) {
    // Solid marks: rectangles with the ink brush, ellipses as such.
    for (const RECT& r : ink_) {
        if (r.bottom < 0)
            Ellipse(dc, r.left, r.top, r.right, -r.bottom);
        else
            PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
    }
    ink_.clear();
    // Digits: a line at a time, each placed by its advance.
    if (!digits_.empty()) {
        std::sort(digits_.begin(), digits_.end(),
                  [](const Glyph& a, const Glyph& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
        SelectObject(dc, fonts_.digit);
        SetTextAlign(dc, TA_LEFT | TA_BASELINE);
        std::wstring text;
        std::vector<INT> dx;
        for (size_t i = 0; i < digits_.size();) {
            size_t j = i;
            text.clear();
            dx.clear();
            int start = 0, previous = 0;
            for (; j < digits_.size() && digits_[j].y == digits_[i].y; ++j) {
                const Glyph& g = digits_[j];
                int w = g.ch >= L'0' && g.ch <= L'9' ? digitWidth_[g.ch - L'0'] : 0;
                int left = g.x - w / 2;
                if (j == i) start = left;
                else dx.back() = left - previous;  // the advance from the glyph before to this one
                previous = left;
                text.push_back(g.ch);
                dx.push_back(w);
            }
            ExtTextOutW(dc, start, digits_[i].y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), dx.data());
            i = j;
        }
        digits_.clear();
    }
}

void CScoreRenderer::FreeFonts() {
    for (HFONT* f : {&fonts_.digit, &fonts_.small, &fonts_.title, &fonts_.subtitle, &fonts_.dynamic, &fonts_.lyric,
                     &fonts_.word}) {
        if (*f) DeleteObject(*f);
        *f = nullptr;
    }
    fonts_.scale = 0;
}

void CScoreRenderer::MakeFonts(float scale) {
    if (fonts_.scale == scale && fonts_.digit) return;
    FreeFonts();
    auto make = [scale](int px, int weight) {
        int h = std::max(1, static_cast<int>(std::lround(px * scale)));
        return CreateFontW(-h, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    };
    fonts_.digit = make(kDigitFont, FW_NORMAL);
    fonts_.small = make(kSmallFont, FW_NORMAL);
    fonts_.title = make(26, FW_BOLD);
    fonts_.subtitle = make(13, FW_NORMAL);
    fonts_.lyric = make(kLyricFont, FW_NORMAL);
    fonts_.dynamic = CreateFontW(-std::max(1, static_cast<int>(std::lround(13 * scale))), 0, 0, 0, FW_BOLD, TRUE, 0, 0,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                 DEFAULT_PITCH | FF_ROMAN, L"Times New Roman");
    fonts_.word = CreateFontW(-std::max(1, static_cast<int>(std::lround(kWordFont * scale))), 0, 0, 0, FW_NORMAL, TRUE, 0, 0,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              DEFAULT_PITCH | FF_ROMAN, L"Times New Roman");
    fonts_.scale = scale;
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, fonts_.digit);
    if (!GetCharWidth32W(screen, L'0', L'9', digitWidth_))
        for (int& w : digitWidth_) w = static_cast<int>(std::lround(kDigitWidth * 0.8 * scale));
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
}

void CScoreRenderer::DrawPage(HDC dc, const Score& score, const Layout& layout, int page, const PageView& view) {
    if (!dc || page < 0 || page >= layout.PageCount()) return;
    const Xf xf = XfOf(view);
    const bool greek = kDigitFont * view.scale < 6;
    if (!greek) MakeFonts(view.scale);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, view.clip.left, view.clip.top, view.clip.right, view.clip.bottom);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kInkColor);
    HPEN pen = CreatePen(PS_SOLID, xf.Len(1), kInkColor);
    HBRUSH ink = CreateSolidBrush(kInkColor);
    SelectObject(dc, pen);
    SelectObject(dc, ink);

    Fill(dc, xf.X(0), xf.Y(0), xf.X(layout.pageWidth), xf.Y(layout.pageHeight), kPaperColor);
    if (page == 0) DrawTitleBlock(dc, score, view);
    for (int s = layout.pageFirstSystem[page]; s < layout.PageSystemEnd(page); ++s) {
        // At a high zoom most systems lie outside the target: skip them.
        const PlacedSystem& sys = layout.systems[s];
        if (!view.marks && (xf.Y(sys.bottom + 4) < view.clip.top || xf.Y(sys.top - 4) > view.clip.bottom)) continue;
        DrawSystem(dc, score, layout, s, view, greek);
    }
    Flush(dc);
    if (!greek) {
        wchar_t number[32];
        swprintf(number, 32, L"%d / %d", page + 1, layout.PageCount());
        SelectObject(dc, fonts_.small);
        SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        ExtTextOutW(dc, xf.X(layout.pageWidth / 2), xf.Y(layout.pageHeight - 32), 0, nullptr, number,
                    static_cast<UINT>(wcslen(number)), nullptr);
    }
    RestoreDC(dc, saved);
    DeleteObject(pen);
    DeleteObject(ink);
}

void CScoreRenderer::DrawTitleBlock(HDC dc, const Score& score, const PageView& view) {
    const Xf xf = XfOf(view);
    std::wstring credit = Widen(score.composer);
    if (!score.arranger.empty()) credit += (credit.empty() ? L"Arr. " : L"  /  arr. ") + Widen(score.arranger);
    if (kDigitFont * view.scale < 6) {  // thumbnail: a grey bar stands for the title
        int w = std::min<int>(400, 20 + 12 * static_cast<int>(score.title.size()));
        Fill(dc, xf.X((kPageWidth - w) / 2), xf.Y(kMarginTop + 6), xf.X((kPageWidth + w) / 2), xf.Y(kMarginTop + 30),
             RGB(150, 150, 150));
        return;
    }
    std::wstring title = Widen(score.title);
    // The title keeps the place it has always had on the page; views look for it there.
    RECT titleRc{xf.X(kMarginX), xf.Y(kMarginTop + 8), xf.X(kPageWidth - kMarginX), xf.Y(kMarginTop + 48)};
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, fonts_.title);
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &titleRc,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, fonts_.subtitle);
    RECT lineRc{xf.X(kMarginX), xf.Y(kMarginTop + 54), xf.X(kPageWidth - kMarginX), xf.Y(kMarginTop + 72)};
    DrawTextW(dc, credit.c_str(), static_cast<int>(credit.size()), &lineRc,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

    // "1=G   3/4   ♩ = 112": the tempo's note is the meter's unit, drawn, as fonts may lack it.
    wchar_t keyMeter[48], tempo[16];
    swprintf(keyMeter, 48, L"1=%hs     %d/%d     ", KeyName(score.key), score.beats, score.unit);
    swprintf(tempo, 16, L" = %d", score.tempo);
    const double baseline = kMarginTop + 67;
    SetTextAlign(dc, TA_LEFT | TA_BASELINE);
    int x = xf.X(kMarginX);
    SIZE ext{};
    ExtTextOutW(dc, x, xf.Y(baseline), 0, nullptr, keyMeter, static_cast<UINT>(wcslen(keyMeter)), nullptr);
    GetTextExtentPoint32W(dc, keyMeter, static_cast<int>(wcslen(keyMeter)), &ext);
    double nx = (x + ext.cx - view.origin.x) / view.scale;  // back to page units
    TempoNote(dc, xf, nx, baseline, score.unit, 1.0, kInkColor, kPaperColor);
    ExtTextOutW(dc, xf.X(nx + 9), xf.Y(baseline), 0, nullptr, tempo, static_cast<UINT>(wcslen(tempo)), nullptr);
}

void CScoreRenderer::DrawSystem(HDC dc, const Score& score, const Layout& layout, int system, const PageView& view,
                                bool greek) {
    const Xf xf = XfOf(view);
    const PlacedSystem& sys = layout.systems[system];
    const double barTop = sys.lowestTop[kHandRight] + kInkTop - 1;
    const double barBottom = sys.BottomLine(kHandLeft) + kBaseline + 3;
    const int last = sys.firstMeasure + sys.measureCount - 1;
    const int left = layout.measures[sys.firstMeasure].box.left;

    // A plain system bar with a brace joining the hands, then the bar lines;
    // only the end of the piece gets the thin and thick double bar. A repeat
    // sign stands in for the bar line it falls on.
    if (!score.measures[sys.firstMeasure].repeatStart) {
        Ink(xf.X(left), xf.Y(barTop), xf.X(left) + xf.Len(1), xf.Y(barBottom));
        AddMark(view, MarkKind::BarLine, left - 0.5, barTop, left + 0.5, barBottom);
    }
    if (!greek) {
        POINT brace[25];
        const double h = barBottom - barTop, spine = left - 7;
        for (int i = 0; i < 25; ++i) {
            double t = i / 24.0;
            double curl = 3.5 * std::exp(-t * t / 0.004) + 3.5 * std::exp(-(1 - t) * (1 - t) / 0.004) -
                          4.5 * std::exp(-(t - 0.5) * (t - 0.5) / 0.002);
            brace[i] = POINT{xf.X(spine + curl), xf.Y(barTop + h * t)};
        }
        HPEN thick = CreatePen(PS_SOLID, xf.Len(1.7), kInkColor);
        HGDIOBJ old = SelectObject(dc, thick);
        Polyline(dc, brace, 25);
        SelectObject(dc, old);
        DeleteObject(thick);
        AddMark(view, MarkKind::Brace, spine - 5.5, barTop, spine + 4.5, barBottom);
    }
    for (int i = sys.firstMeasure; i <= last; ++i) {
        int x = layout.measures[i].box.right;
        const bool repeatNext = i < last && score.measures[i + 1].repeatStart;
        if (score.measures[i].repeatStart) DrawRepeat(view, sys, layout.measures[i].box.left, +1);
        if (score.measures[i].repeatEnd) {
            DrawRepeat(view, sys, x, -1);
        } else if (repeatNext) {
            continue;
        } else if (i + 1 == static_cast<int>(score.measures.size())) {
            Ink(xf.X(x - 5), xf.Y(barTop), xf.X(x - 5) + xf.Len(1), xf.Y(barBottom));
            Ink(xf.X(x - 2), xf.Y(barTop), xf.X(x - 2) + xf.Len(3), xf.Y(barBottom));
            AddMark(view, MarkKind::BarLine, x - 5.5, barTop, x + 1, barBottom);
        } else {
            Ink(xf.X(x), xf.Y(barTop), xf.X(x) + xf.Len(1), xf.Y(barBottom));
            AddMark(view, MarkKind::BarLine, x - 0.5, barTop, x + 0.5, barBottom);
        }
    }
    if (!greek) {
        SelectObject(dc, fonts_.small);
        // The first system needs no number; a later one shows its first
        // measure's, over the brace, so it is never read as a finger number.
        if (system > 0) {
            SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
            wchar_t number[16];
            swprintf(number, 16, L"%d", layout.measures[sys.firstMeasure].number);
            ExtTextOutW(dc, xf.X(left - 2), xf.Y(sys.top + 9), 0, nullptr, number, static_cast<UINT>(wcslen(number)),
                        nullptr);
            AddMark(view, MarkKind::BarNumber, left - 2 - 6.5 * wcslen(number), sys.top + 1, left - 2, sys.top + 9);
        }
        SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
        for (int hand = 0; hand < 2; ++hand) {
            double base = sys.lowestTop[hand] + kBaseline - 2;
            ExtTextOutW(dc, xf.X(kMarginX - 2), xf.Y(base), 0, nullptr, hand == kHandRight ? L"R" : L"L", 1, nullptr);
            AddMark(view, MarkKind::HandLabel, kMarginX - 9, base - 8, kMarginX - 2, base);
        }
    }
    if (!greek) DrawNavigation(dc, score, layout, system, view);
    if (!greek) DrawWords(dc, score, layout, system, view);
    for (int i = sys.firstMeasure; i <= last; ++i)
        for (int hand = 0; hand < 2; ++hand)
            for (int voice = 0; voice < kVoices; ++voice)
                for (size_t e = 0; e < layout.measures[i].Voice(hand, voice).size(); ++e) {
                    const PlacedMeasure& pm = layout.measures[i];
                    const int index = static_cast<int>(e);
                    DrawEvent(dc, score, layout, pm, hand, voice, index, view, greek);
                    if (greek) continue;
                    DrawTie(dc, score, layout, pm, hand, voice, index, view);
                    DrawSlur(dc, score, layout, pm, hand, voice, index, view);
                    DrawTriplet(dc, score, pm, hand, voice, index, view);
                }
    if (!greek)
        for (int i = sys.firstMeasure; i <= last; ++i) {
            DrawWords(dc, score, layout, layout.measures[i], view);
            DrawPedal(dc, score, layout, layout.measures[i], view);
        }
}

void CScoreRenderer::DrawEvent(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, int hand,
                               int voice, int index, const PageView& view, bool greek) {
    (void)layout;
    const Xf xf = XfOf(view);
    const Measure& m = score.measures[pm.index];
    const Event& ev = m.Voice(hand, voice)[index];
    const PlacedEvent& pe = pm.Voice(hand, voice)[index];
    const int heads = static_cast<int>(pe.headTops.size());
    const int lowestTop = pe.headTops.back();
    const double cx = pe.x + kDigitWidth / 2.0;

    if (pe.ref == view.highlight[pe.ref.Slot()]) {
        RECT rc = DeviceRect(view, pe.glyphs);
        Fill(dc, rc.left, rc.top, rc.right, rc.bottom, kHighlightColor);
    }
    if (greek) {
        for (int top : pe.headTops)
            if (!ev.IsRest())
                Ink(xf.X(pe.x + 2), xf.Y(top + 4), std::max(xf.X(pe.x + 10), xf.X(pe.x + 2) + 1),
                    std::max(xf.Y(top + 16), xf.Y(top + 4) + 1));
        return;
    }
    SelectObject(dc, fonts_.digit);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    auto digit = [&](double x, int top, wchar_t ch) {
        Digit(xf.X(x + kDigitWidth / 2.0), xf.Y(top + kBaseline), ch);
        AddMark(view, MarkKind::Digit, x + 1.5, top + kInkTop, x + kDigitWidth - 1.5, top + kBaseline, pe.ref);
    };
    auto underline = [&](double l, double r, int k, EventRef ref) {
        double y = lowestTop + kUnderlineTop + kUnderlineStep * k;
        int top = xf.Y(y);
        Ink(xf.X(l), top, xf.X(r), top + xf.Len(1.2));
        AddMark(view, MarkKind::Underline, l, y, r, y + 1.2, ref);
    };
    auto dot = [&](double x, double y, double r, MarkKind kind) {
        InkDot(xf.X(x), xf.Y(y), static_cast<int>(std::lround(r * xf.s)));
        AddMark(view, kind, x - r, y - r, x + r, y + r, pe.ref);
    };

    if (ev.IsRest()) {
        digit(pe.x, lowestTop, L'0');
        // A dotted rest reads as rests of the dots' lengths, and a rest is
        // never held with dashes: "0 0_" and "0 0 0".
        int piece = kTicksPerQuarter >> ev.underlines;
        if (ev.triplet >= 0) piece = piece * 2 / 3;
        int t = ev.start + piece;
        for (int d = 1; d <= ev.dots; ++d) {
            double x = TickX(pm, m.length, t);
            digit(x, lowestTop, L'0');
            for (int k = 0; k < ev.underlines + d; ++k) underline(x - 1, x + kDigitWidth + 1, k, pe.ref);
            t += piece >> d;
        }
        for (int d = 0; d < ev.dashes; ++d) digit(TickX(pm, m.length, t + d * DashTicks(ev)), lowestTop, L'0');
    } else {
        // Chord notes stand highest on top, whatever order they were written in.
        const Head* order[kMaxStack] = {};
        int shown = std::min(heads, kMaxStack);
        for (int i = 0; i < shown; ++i) order[i] = &ev.heads[i];
        std::stable_sort(order, order + shown, [](const Head* a, const Head* b) { return a->midi > b->midi; });
        for (int i = 0; i < shown; ++i) {
            const Head* h = order[i];
            const int top = pe.headTops[i];
            digit(pe.x, top, static_cast<wchar_t>(L'0' + h->degree));
            if (h->accidental) {
                Accidental(dc, xf, h->accidental, pe.x, top + kInkTop);
                AddMark(view, MarkKind::Accidental, pe.x - kAccidentalWidth, top + kInkTop, pe.x,
                        top + kInkTop + 14 * 0.62, pe.ref);
            }
            for (int k = 0; k < h->octave; ++k) dot(cx, top + DotAboveY(k), kDotRadius, MarkKind::OctaveDot);
            const int lines = i == shown - 1 ? ev.underlines : 0;
            for (int k = 0; k < -h->octave; ++k) dot(cx, top + DotBelowY(lines, k), kDotRadius, MarkKind::OctaveDot);
        }
        for (int k = 0; k < ev.dots; ++k)
            dot(pe.x + kDigitWidth + 3.5 + 5 * k, lowestTop + 11, 1.3, MarkKind::AugmentationDot);
        // Above the top note's dots: the staccato wedge, the right hand's
        // finger numbers, then the fermata.
        const double stackBase = pe.headTop + MarksTop(std::max(0, order[0]->octave));
        if (ev.staccato) {  // a wedge pointing at the note, above its dots
            const double bottom = stackBase - 1.5, top = bottom - 4.5;
            POINT wedge[3] = {{xf.X(cx - 2), xf.Y(top)}, {xf.X(cx + 2), xf.Y(top)}, {xf.X(cx), xf.Y(bottom)}};
            Polygon(dc, wedge, 3);
            AddMark(view, MarkKind::Staccato, cx - 2, top, cx + 2, bottom, pe.ref);
        }
        const int down = std::max(0, -order[shown - 1]->octave);
        const bool above = FingersAbove(hand, voice);
        DrawFingering(dc, ev, pe, above,
                      above ? stackBase - (ev.staccato ? kStaccatoRoom : 0) : lowestTop + MarksBottom(ev.underlines, down),
                      view);
        DrawGraces(dc, ev, pe, view);
        for (int d = 0; d < ev.dashes; ++d) {
            double x = TickX(pm, m.length, ev.start + ev.BaseDuration() + d * DashTicks(ev));
            double y = lowestTop + 9.5;
            Ink(xf.X(x + 1), xf.Y(y), xf.X(x + kDigitWidth - 1), xf.Y(y) + xf.Len(1.6));
            AddMark(view, MarkKind::Dash, x + 1, y, x + kDigitWidth - 1, y + 1.6, pe.ref);
        }
    }

    if (ev.fermata) {  // a half ring over a dot, at the top of the note's marks
        const double base = pe.marksTop + kFermataRoom - 2;
        POINT ring[9];
        for (int i = 0; i <= 8; ++i) {
            double a = 3.14159265 * i / 8;
            ring[i] = POINT{xf.X(cx - 5 * std::cos(a)), xf.Y(base - 6 * std::sin(a))};
        }
        Polyline(dc, ring, 9);
        InkDot(xf.X(cx), xf.Y(base - 1.2), static_cast<int>(std::lround(1.2 * xf.s)));
        AddMark(view, MarkKind::Fermata, cx - 5.5, base - 6.5, cx + 5.5, base + 0.5, pe.ref);
    }
    if (ev.dynamic || ev.hairpin) {  // words under the note, clear of its underlines and dots
        auto lowest = std::min_element(ev.heads.begin(), ev.heads.end(),
                                       [](const Head& a, const Head& b) { return a.midi < b.midi; });
        const int down = lowest == ev.heads.end() ? 0 : std::max(0, -lowest->octave);
        const double baseline = lowestTop + MarksBottom(ev.IsRest() ? ev.underlines + ev.dots : ev.underlines, down) + 10 +
                                (FingersAbove(hand, voice) ? 0 : FingerRoom(ev));
        if (ev.dynamic) {
            const std::wstring word = Widen(DynamicName(ev.dynamic));
            SelectObject(dc, fonts_.dynamic);
            SetTextAlign(dc, TA_LEFT | TA_BASELINE);
            ExtTextOutW(dc, xf.X(pe.x), xf.Y(baseline), 0, nullptr, word.c_str(), static_cast<UINT>(word.size()), nullptr);
            AddMark(view, MarkKind::Dynamic, pe.x, baseline - 8, pe.x + 6.5 * word.size(), baseline + 1, pe.ref);
        }
        if (ev.hairpin) {  // "cresc." on the dynamics' line, or under it
            const double y = baseline + pe.hairpinLevel * kDynamicRoom;
            const double w = Text(dc, fonts_.word, TA_LEFT, pe.x, y, Widen(HairpinName(ev.hairpin)), view, true);
            AddMark(view, MarkKind::Dynamic, pe.x, y - 8, pe.x + w, y + 1, pe.ref);
        }
    }

    // Underlines, joined to the next note of the same beat that has as many;
    // a dash or a dotted rest's pieces in between break them.
    const auto& events = m.Voice(hand, voice);
    const int group = BeatGroupTicks(m);
    for (int k = 0; k < ev.underlines; ++k) {
        double right = pe.x + kDigitWidth + 1;
        if (index + 1 < static_cast<int>(events.size()) && ev.dashes == 0 && !(ev.IsRest() && ev.dots)) {
            const Event& next = events[index + 1];
            if (next.underlines > k && next.start / group == ev.start / group) right = pm.Voice(hand, voice)[index + 1].x - 1;
        }
        underline(pe.x - 1, right, k, pe.ref);
    }
}

}  // namespace zyqn
