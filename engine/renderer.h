// Draws one page of a laid-out score with GDI at any scale. Fonts are made at
// the scaled size, so text stays crisp at every zoom; below a legible size the
// notes are drawn as small blocks, which is what a thumbnail needs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/layout.h"

namespace zyqn {

constexpr COLORREF kHighlightColor = RGB(255, 196, 64);
constexpr COLORREF kInkColor = RGB(24, 24, 24);
constexpr COLORREF kPaperColor = RGB(255, 255, 255);

// Every mark the renderer draws, by kind, with its ink's box on the page at
// scale 1: what tests check for collisions.
enum class MarkKind { Digit, Accidental, OctaveDot, Underline, AugmentationDot, Dash, Tie, Triplet, BarNumber,
                      BarLine, Brace, HandLabel, Repeat, Ending, Word, Staccato, Dynamic, Fermata, Slur,
                      Fingering, Grace, Lyric, Hyphen, Pedal };

struct Mark {
    MarkKind kind;
    double left, top, right, bottom;  // page units at scale 1, not rounded: dots are fractions of a pixel apart
    EventRef ref;  // the note or rest it belongs to; invalid for the system's marks
    // True when the two come closer than `clearance`: at 100 % they would read as one blot.
    bool Near(const Mark& o, double clearance) const {
        return left < o.right + clearance && o.left < right + clearance && top < o.bottom + clearance &&
               o.top < bottom + clearance;
    }
};

struct PageView {
    float scale = 1.0f;
    POINT origin{0, 0};  // device position of the page's top-left corner
    RECT clip{0, 0, 0, 0};
    EventRef highlight[kHighlightSlots];  // by EventRef::Slot
    std::vector<Mark>* marks = nullptr;  // when set, every mark drawn is added
};

// Device rectangle of a page box under a view.
RECT DeviceRect(const PageView& view, const Box& box);

class CScoreRenderer {
public:
    CScoreRenderer() = default;
    ~CScoreRenderer();
    CScoreRenderer(const CScoreRenderer&) = delete;
    CScoreRenderer& operator=(const CScoreRenderer&) = delete;

    void DrawPage(HDC dc, const Score& score, const Layout& layout, int page, const PageView& view);

private:
    struct Fonts {
        float scale = 0;
        HFONT digit = nullptr, small = nullptr, title = nullptr, subtitle = nullptr, dynamic = nullptr, lyric = nullptr,
              word = nullptr;
    };
    void MakeFonts(float scale);
    void FreeFonts();
    void DrawTitleBlock(HDC dc, const Score& score, const PageView& view);
    void DrawSystem(HDC dc, const Score& score, const Layout& layout, int system, const PageView& view, bool greek);
    // An event is drawn by its hand, voice and index in the measure.
    void DrawEvent(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, int hand, int voice,
                   int index, const PageView& view, bool greek);
    void DrawTie(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, int hand, int voice,
                 int index, const PageView& view);
    void DrawRepeat(const PageView& view, const PlacedSystem& sys, int x, int side);
    void DrawNavigation(HDC dc, const Score& score, const Layout& layout, int system, const PageView& view);
    void DrawWords(HDC dc, const Score& score, const Layout& layout, int system, const PageView& view);
    void DrawSlur(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, int hand, int voice,
                  int index, const PageView& view);
    void DrawTriplet(HDC dc, const Score& score, const PlacedMeasure& pm, int hand, int voice, int index,
                     const PageView& view);
    // Small marks around a note, and the rows of words and pedal marks (renderer_words.cpp).
    void DrawFingering(HDC dc, const Event& ev, const PlacedEvent& pe, bool above, double from, const PageView& view);
    void DrawGraces(HDC dc, const Event& ev, const PlacedEvent& pe, const PageView& view);
    void DrawWords(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, const PageView& view);
    void DrawPedal(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, const PageView& view);
    // Text at a point with the font and alignment given; returns its width in
    // page units when asked to measure it (measuring costs as much as drawing), else 0.
    double Text(HDC dc, HFONT font, UINT align, double x, double y, const std::wstring& text, const PageView& view,
                bool measure = false);

    // Marks are gathered while a page is drawn and put out together at its
    // end: solid marks as plain pattern fills, digits one text call per line,
    // as a text call per glyph is what makes GDI slow.
    struct Glyph {
        int x, y;  // device: the digit's centre and baseline
        wchar_t ch;
    };
    void Ink(int l, int t, int r, int b);
    void InkDot(int x, int y, int d);
    void Digit(int x, int y, wchar_t ch) { digits_.push_back(Glyph{x, y, ch}); }
    void Flush(HDC dc);

    Fonts fonts_;
    int digitWidth_[10] = {};
    std::vector<RECT> ink_;
    std::vector<Glyph> digits_;
};

}  // namespace zyqn
