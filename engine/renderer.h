// Draws one page of a laid-out score with GDI at any scale. Fonts are made at
// the scaled size, so text stays crisp at every zoom; below a legible size the
// notes are drawn as small blocks, which is what a thumbnail needs.
#pragma once
#include <windows.h>

#include "engine/layout.h"

namespace zyqn {

constexpr COLORREF kHighlightColor = RGB(255, 196, 64);
constexpr COLORREF kInkColor = RGB(24, 24, 24);
constexpr COLORREF kPaperColor = RGB(255, 255, 255);

struct PageView {
    float scale = 1.0f;
    POINT origin{0, 0};  // device position of the page's top-left corner
    RECT clip{0, 0, 0, 0};
    EventRef highlight[2];
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
        HFONT digit = nullptr, small = nullptr, title = nullptr, subtitle = nullptr;
    };
    void MakeFonts(float scale);
    void FreeFonts();
    void DrawTitleBlock(HDC dc, const Score& score, const PageView& view);
    void DrawSystem(HDC dc, const Score& score, const Layout& layout, int system, const PageView& view, bool greek);
    void DrawEvent(HDC dc, const Score& score, const Layout& layout, const PlacedMeasure& pm, int hand, int index,
                   const PageView& view, bool greek);

    Fonts fonts_;
};

}  // namespace zyqn
