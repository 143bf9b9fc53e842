// Small drawing helpers the renderer's files share: page to device
// coordinates, strokes, arcs and the marks tests read back.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/renderer.h"

namespace zyqn {
namespace render {

// UTF-8 text of the score as the wide text GDI draws.
inline std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(std::max(n, 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

// Page coordinates to device coordinates.
struct Xf {
    float s;
    int ox, oy;
    int X(double x) const { return ox + static_cast<int>(std::lround(x * s)); }
    int Y(double y) const { return oy + static_cast<int>(std::lround(y * s)); }
    int Len(double v) const { return std::max(1, static_cast<int>(std::lround(v * s))); }
};

inline Xf XfOf(const PageView& v) { return Xf{v.scale, v.origin.x, v.origin.y}; }

inline void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

inline void AddMark(const PageView& view, MarkKind kind, double l, double t, double r, double b, EventRef ref = EventRef()) {
    if (view.marks) view.marks->push_back(Mark{kind, l, t, r, b, ref});
}

// A shallow arc between two x over baseline y, as a polyline; returns its
// height. A negative direction bends it down, as a slur under notes.
inline double Arc(HDC dc, const Xf& xf, double x1, double x2, double y, double direction = 1, double most = 5) {
    POINT pts[9];
    double height = std::min(most, 2 + (x2 - x1) / 20);
    for (int i = 0; i <= 8; ++i) {
        double t = i / 8.0;
        double x = x1 + (x2 - x1) * t;
        double lift = 4 * t * (1 - t) * height * direction;
        pts[i] = POINT{xf.X(x), xf.Y(y - lift)};
    }
    Polyline(dc, pts, 9);
    return height;
}

// Sharp (1), flat (-1) or natural (2) as strokes, right edge at `right`, top
// at y; k scales it (0.62 beside a digit, smaller beside a grace note).
void Accidental(HDC dc, const Xf& xf, int kind, double right, double y, double k = 0.62);

// The note a tempo counts, drawn, as fonts may lack it: a filled head with
// its stem (and a flag or two for an eighth or a sixteenth, hollow for a
// half), its left at x on the baseline, `size` 1 at the title's size.
inline void TempoNote(HDC dc, const Xf& xf, double x, double baseline, int unit, double size, COLORREF ink,
                      COLORREF paper) {
    auto X = [&](double dx) { return xf.X(x + dx * size); };
    auto Y = [&](double dy) { return xf.Y(baseline - dy * size); };
    auto fill = [&](int l, int t, int r, int b, COLORREF c) {
        RECT rc{l, t, r, b};
        SetBkColor(dc, c);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    };
    Ellipse(dc, X(0), Y(4.6), X(6.4), Y(0));
    fill(X(5.4), Y(13), X(5.4) + xf.Len(1), Y(2.3), ink);
    if (unit == 8) Line(dc, X(5.9), Y(13), X(9.5), Y(8));
    if (unit == 16) {
        Line(dc, X(5.9), Y(13), X(9.5), Y(9));
        Line(dc, X(5.9), Y(10), X(9.5), Y(6));
    }
    if (unit == 2) fill(X(1.5), Y(3.4), X(4.9), Y(1.2), paper);
}

// The same voice's next (step 1) or previous (step -1) note or rest.
inline EventRef Neighbour(const Score& score, EventRef ref, int step) {
    int m = ref.measure, i = ref.index + step;
    auto size = [&](int measure) { return static_cast<int>(score.measures[measure].Voice(ref.hand, ref.voice).size()); };
    while (m >= 0 && m < static_cast<int>(score.measures.size()) && (i < 0 || i >= size(m))) {
        m += step;
        if (m < 0 || m >= static_cast<int>(score.measures.size())) return EventRef();
        i = step > 0 ? 0 : size(m) - 1;
    }
    if (m < 0 || m >= static_cast<int>(score.measures.size())) return EventRef();
    return EventRef{m, ref.hand, i, ref.voice};
}

}  // namespace render
}  // namespace zyqn
