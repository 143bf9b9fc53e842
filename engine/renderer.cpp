#include "engine/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace zyqn {

using namespace metrics;

namespace {

// Page coordinates to device coordinates.
struct Xf {
    float s;
    int ox, oy;
    int X(double x) const { return ox + static_cast<int>(std::lround(x * s)); }
    int Y(double y) const { return oy + static_cast<int>(std::lround(y * s)); }
    int Len(double v) const { return std::max(1, static_cast<int>(std::lround(v * s))); }
};

Xf XfOf(const PageView& v) { return Xf{v.scale, v.origin.x, v.origin.y}; }

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(std::max(n, 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

void Fill(HDC dc, int l, int t, int r, int b, COLORREF color) {
    RECT rc{l, t, r, b};
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);  // a solid fill without a brush
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// A filled round dot of the given page radius; one pixel when tiny.
void Dot(HDC dc, const Xf& xf, double cx, double cy, double r) {
    int x = xf.X(cx), y = xf.Y(cy);
    int d = static_cast<int>(std::lround(r * xf.s));
    if (d < 1) {
        Fill(dc, x, y, x + 1, y + 1, kInkColor);
        return;
    }
    Ellipse(dc, x - d, y - d, x + d + 1, y + d + 1);
}

// Sharp, flat and natural signs drawn as strokes, so no font needs to hold them.
void Accidental(HDC dc, const Xf& xf, int kind, double x, double y) {
    auto L = [&](double x1, double y1, double x2, double y2) { Line(dc, xf.X(x + x1), xf.Y(y + y1), xf.X(x + x2), xf.Y(y + y2)); };
    if (kind == 1) {
        L(2, 1, 2, 13), L(5, 0, 5, 12), L(0, 5, 7, 4), L(0, 9, 7, 8);
    } else if (kind == -1) {
        L(1, 0, 1, 12), L(1, 12, 5, 9), L(5, 9, 5.5, 7.5), L(5.5, 7.5, 4, 6.5), L(4, 6.5, 1, 8);
    } else if (kind == 2) {
        L(1, 0, 1, 10), L(5, 3, 5, 13), L(1, 10, 5, 9), L(1, 5, 5, 4);
    }
}

// A shallow arc over two points, as a polyline.
void Arc(HDC dc, const Xf& xf, double x1, double x2, double y) {
    POINT pts[9];
    for (int i = 0; i <= 8; ++i) {
        double t = i / 8.0;
        double x = x1 + (x2 - x1) * t;
        double lift = 4 * t * (1 - t) * std::min(8.0, 3 + (x2 - x1) / 12);
        pts[i] = POINT{xf.X(x), xf.Y(y - lift)};
    }
    Polyline(dc, pts, 9);
}

const PlacedEvent* NextPlaced(const Score& score, const Layout& layout, EventRef ref) {
    int m = ref.measure, i = ref.index + 1;
    while (m < static_cast<int>(score.measures.size()) && i >= static_cast<int>(score.measures[m].hands[ref.hand].size())) {
        ++m;
        i = 0;
    }
    return layout.Find(EventRef{m, ref.hand, i});
}

constexpr int kMaxStack = 8;  // the parser's chord limit

int BeatGroupTicks(const Score& score) {
    return score.unit == 8 && score.beats % 3 == 0 ? kTicksPerQuarter * 3 / 2 : kTicksPerQuarter;
}

}  // namespace

RECT DeviceRect(const PageView& view, const Box& box) {
    Xf xf = XfOf(view);
    return RECT{xf.X(box.left), xf.Y(box.top), xf.X(box.right), xf.Y(box.bottom)};
}

CScoreRenderer::~CScoreRenderer() { FreeFonts(); }

void CScoreRenderer::FreeFonts() {
    for (HFONT* f : {&fonts_.digit, &fonts_.small, &fonts_.title, &fonts_.subtitle}) {
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
    fonts_.scale = scale;
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
    for (int s = layout.pageFirstSystem[page]; s < layout.PageSystemEnd(page); ++s)
        DrawSystem(dc, score, layout, s, view, greek);
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
    wchar_t info[64];
    swprintf(info, 64, L"1=%hs    %d/%d    Tempo %d", KeyName(score.key), score.beats, score.unit, score.tempo);
    std::wstring credit = Widen(score.composer);
    if (!score.arranger.empty()) credit += (credit.empty() ? L"Arr. " : L"  /  arr. ") + Widen(score.arranger);
    if (kDigitFont * view.scale < 6) {  // thumbnail: a grey bar stands for the title
        int w = std::min<int>(400, 20 + 12 * static_cast<int>(score.title.size()));
        Fill(dc, xf.X((kPageWidth - w) / 2), xf.Y(kMarginTop + 6), xf.X((kPageWidth + w) / 2), xf.Y(kMarginTop + 30),
             RGB(150, 150, 150));
        return;
    }
    std::wstring title = Widen(score.title);
    RECT titleRc{xf.X(kMarginX), xf.Y(kMarginTop), xf.X(kPageWidth - kMarginX), xf.Y(kMarginTop + 40)};
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, fonts_.title);
    DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &titleRc,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, fonts_.subtitle);
    RECT lineRc{xf.X(kMarginX), xf.Y(kMarginTop + 56), xf.X(kPageWidth - kMarginX), xf.Y(kMarginTop + 76)};
    DrawTextW(dc, info, -1, &lineRc, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    DrawTextW(dc, credit.c_str(), static_cast<int>(credit.size()), &lineRc,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CScoreRenderer::DrawSystem(HDC dc, const Score& score, const Layout& layout, int system, const PageView& view,
                                bool greek) {
    const Xf xf = XfOf(view);
    const PlacedSystem& sys = layout.systems[system];
    const int barTop = sys.rowTop[kHandRight] + kRowTop - 6;
    const int barBottom = sys.rowTop[kHandLeft] + sys.rowHeight[kHandLeft] - kRowBottom + 8;
    const int last = sys.firstMeasure + sys.measureCount - 1;

    // The bracket joining the hands, then every bar line.
    Fill(dc, xf.X(kMarginX - 4), xf.Y(barTop), xf.X(kMarginX - 4) + xf.Len(2), xf.Y(barBottom), kInkColor);
    Line(dc, xf.X(kMarginX), xf.Y(barTop), xf.X(kMarginX), xf.Y(barBottom));
    for (int i = sys.firstMeasure; i <= last; ++i) {
        int x = layout.measures[i].box.right;
        if (i + 1 == static_cast<int>(score.measures.size())) {
            Line(dc, xf.X(x - 5), xf.Y(barTop), xf.X(x - 5), xf.Y(barBottom));
            Fill(dc, xf.X(x - 2), xf.Y(barTop), xf.X(x - 2) + xf.Len(3), xf.Y(barBottom), kInkColor);
        } else {
            Line(dc, xf.X(x), xf.Y(barTop), xf.X(x), xf.Y(barBottom));
        }
    }
    if (!greek) {
        SelectObject(dc, fonts_.small);
        SetTextAlign(dc, TA_LEFT | TA_BASELINE);
        wchar_t number[16];
        swprintf(number, 16, L"%d", sys.firstMeasure + 1);
        ExtTextOutW(dc, xf.X(kMarginX + 2), xf.Y(sys.top + kNumberBand + 4), 0, nullptr, number,
                    static_cast<UINT>(wcslen(number)), nullptr);
        SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
        for (int hand = 0; hand < 2; ++hand) {
            int base = sys.rowTop[hand] + sys.rowHeight[hand] - kRowBottom - 4;
            ExtTextOutW(dc, xf.X(kMarginX - 8), xf.Y(base), 0, nullptr, hand == kHandRight ? L"R" : L"L", 1, nullptr);
        }
    }
    for (int i = sys.firstMeasure; i <= last; ++i)
        for (int hand = 0; hand < 2; ++hand)
            for (size_t e = 0; e < layout.measures[i].events[hand].size(); ++e)
                DrawEvent(dc, score, layout, layout.measures[i], hand, static_cast<int>(e), view, greek);
}

void CScoreRenderer::DrawEvent(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, int hand,
                               int index, const PageView& view, bool greek) {
    const Xf xf = XfOf(view);
    const Measure& m = score.measures[pm.index];
    const Event& ev = m.hands[hand][index];
    const PlacedEvent& pe = pm.events[hand][index];
    const int heads = std::max<int>(1, static_cast<int>(ev.heads.size()));
    const int lowestTop = pe.headTop + (heads - 1) * (kDigitHeight + kHeadGap);
    const int lowestBottom = lowestTop + kDigitHeight;
    const double cx = pe.x + kDigitWidth / 2.0;

    if (pe.ref == view.highlight[hand]) {
        RECT rc = DeviceRect(view, pe.box);
        Fill(dc, rc.left, rc.top, rc.right, rc.bottom, kHighlightColor);
    }
    if (greek) {
        for (int i = 0; i < heads; ++i) {
            int top = pe.headTop + i * (kDigitHeight + kHeadGap);
            Fill(dc, xf.X(pe.x + 2), xf.Y(top + 4), std::max(xf.X(pe.x + 10), xf.X(pe.x + 2) + 1),
                 std::max(xf.Y(top + 16), xf.Y(top + 4) + 1), ev.IsRest() ? RGB(170, 170, 170) : kInkColor);
        }
    } else {
        SelectObject(dc, fonts_.digit);
        SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        // Chord notes stand highest on top, whatever order they were written in.
        const Head* order[kMaxStack] = {};
        int shown = std::min(heads, kMaxStack);
        for (int i = 0; i < shown && !ev.IsRest(); ++i) order[i] = &ev.heads[i];
        std::stable_sort(order, order + (ev.IsRest() ? 0 : shown),
                         [](const Head* a, const Head* b) { return a->midi > b->midi; });
        for (int i = 0; i < shown; ++i) {
            const Head* h = order[i];
            int top = pe.headTop + i * (kDigitHeight + kHeadGap);
            wchar_t digit = static_cast<wchar_t>(L'0' + (h ? h->degree : 0));
            ExtTextOutW(dc, xf.X(cx), xf.Y(top + 16), 0, nullptr, &digit, 1, nullptr);
            if (!h) continue;
            if (h->accidental) Accidental(dc, xf, h->accidental, pe.x - 8, top + 4);
            for (int k = 0; k < h->octave; ++k) Dot(dc, xf, cx, top - 3 - 4 * k, 1.6);
            int below = top + kDigitHeight + 2 + (i == heads - 1 ? 4 * ev.underlines + 2 : 0);
            for (int k = 0; k < -h->octave; ++k) Dot(dc, xf, cx, below + 2 + 4 * k, 1.6);
        }
    }

    // Underlines, joined to the next note in the same beat that has as many.
    const auto& events = m.hands[hand];
    const int group = BeatGroupTicks(score);
    for (int k = 0; k < ev.underlines; ++k) {
        double right = pe.x + kDigitWidth + 1;
        if (index + 1 < static_cast<int>(events.size())) {
            const Event& next = events[index + 1];
            if (next.underlines > k && next.start / group == ev.start / group && next.dashes == 0 && ev.dashes == 0)
                right = pm.events[hand][index + 1].x;
        }
        int y = xf.Y(lowestBottom + 1 + 4 * k);
        Fill(dc, xf.X(pe.x - 1), y, xf.X(right), y + xf.Len(1.2), kInkColor);
    }
    if (greek) return;
    for (int k = 0; k < ev.dots; ++k) Dot(dc, xf, pe.x + kDigitWidth + 3 + 5 * k, lowestTop + 11, 1.8);
    const int dashTicks = ev.triplet >= 0 ? kTicksPerQuarter * 2 / 3 : kTicksPerQuarter;
    for (int d = 0; d < ev.dashes; ++d) {
        int x = TickX(pm, m.length, ev.start + ev.BaseDuration() + d * dashTicks);
        int y = xf.Y(lowestTop + 10);
        Fill(dc, xf.X(x + 1), y, xf.X(x + kDigitWidth - 1), y + xf.Len(2), kInkColor);
    }
    // Ties: an arc to the next note, or to the end of the system when it is on the next one.
    for (const Head& h : ev.heads) {
        if (!h.tie) continue;
        const PlacedEvent* next = NextPlaced(score, layout, pe.ref);
        int endX = next && layout.measures[next->ref.measure].system == pm.system
                       ? next->x + kDigitWidth / 2
                       : layout.measures[layout.systems[pm.system].firstMeasure + layout.systems[pm.system].measureCount - 1].box.right - 2;
        Arc(dc, xf, cx + 2, endX - 2, pe.headTop - 4);
        break;
    }
    // A triplet's "3" over its first note's group.
    if (ev.triplet >= 0 && (index == 0 || events[index - 1].triplet != ev.triplet)) {
        int lastIndex = index;
        while (lastIndex + 1 < static_cast<int>(events.size()) && events[lastIndex + 1].triplet == ev.triplet) ++lastIndex;
        double x2 = pm.events[hand][lastIndex].x + kDigitWidth;
        int top = pe.headTop - 14;
        SelectObject(dc, fonts_.small);
        SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        ExtTextOutW(dc, xf.X((pe.x + x2) / 2), xf.Y(top + 4), 0, nullptr, L"3", 1, nullptr);
    }
}

}  // namespace zyqn
