#include "player/slider_ex.h"

#include <cstring>
#include <cwchar>

#include "uikit/core/render.h"
#include "uikit/markup/image_draw.h"

namespace {
const COLORREF kTickColour = RGB(0x43, 0x32, 0x30);

struct TickArea {
    RECT area;
    float spacing;
};

TickArea TickAreaOf(const RECT& rect, int thumbWidth, int tickCount) {
    TickArea t;
    t.spacing = static_cast<float>(rect.right - rect.left - thumbWidth) / tickCount;
    int a = static_cast<int>(t.spacing * tickCount + rect.left);
    int margin = (rect.right - a) / 2;
    t.area = RECT{rect.left + margin, rect.top, a - margin, rect.bottom};
    return t;
}
}  // namespace

std::vector<RulerTick> ComputeRulerTicks(const RECT& rect, int thumbWidth, int tickCount) {
    std::vector<RulerTick> ticks;
    if (tickCount < 2) return ticks;
    TickArea t = TickAreaOf(rect, thumbWidth, tickCount);
    float x = static_cast<float>(t.area.left);
    for (int i = 0; i <= tickCount; ++i) {
        if (i % 10 != 0) continue;
        if (i > 0) x += t.spacing * 10;
        bool thick = i % 50 == 0 || i == tickCount;
        ticks.push_back(RulerTick{static_cast<int>(x), thick});
    }
    return ticks;
}

CSliderExUI::CSliderExUI() { SetThumbText(L"0"); }

CSliderExUI::~CSliderExUI() = default;

void* CSliderExUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"SliderEx") == 0) return this;
    return CSliderUI::FindInterface(name);
}

void CSliderExUI::SetMeasureCount(int measures) {
    tickCount_ = measures * 10;
    SetChangeStep(1);
    SetMinValue(0);
    SetMaxValue(tickCount_);
    Invalidate();
}

int CSliderExUI::MeasureOf(int value) const {
    int m = value / 10 + 1;
    int last = GetMaxValue() / 10;
    return m < last ? m : last;
}

// The ticks drawn on dc, whose origin is the ruler's corner.
void CSliderExUI::DrawTicks(HDC dc, COLORREF colour) {
    int tickH = (tickArea_.bottom - tickArea_.top) / 5;
    int top = tickArea_.top - rcItem_.top, bottom = tickArea_.bottom - rcItem_.top;
    std::vector<RulerTick> ticks = ComputeRulerTicks(rcItem_, GetThumbSize().cx, tickCount_);
    std::vector<POINT> points;
    std::vector<DWORD> counts;
    // Thin ticks first, then the thick ones over them, one pen and one call each.
    for (int pass = 0; pass < 2; ++pass) {
        points.clear();
        counts.clear();
        for (const RulerTick& tick : ticks) {
            if (tick.thick != (pass == 1)) continue;
            int x = tick.x - rcItem_.left;
            points.push_back(POINT{x, top + 1});
            points.push_back(POINT{x, top + 1 + tickH});
            points.push_back(POINT{x, bottom - 2});
            points.push_back(POINT{x, bottom - 2 - tickH});
            counts.push_back(2);
            counts.push_back(2);
        }
        if (counts.empty()) continue;
        HPEN pen = CreatePen(PS_SOLID, pass + 1, colour);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
}

// Draws the background into the layer (selected into dc) and keeps it when
// it covers every pixel: drawn over black and over white it then comes out
// the same.
bool CSliderExUI::DrawBackgroundLayer(HDC dc, int w, int h) {
    if (bkImage_.empty()) return false;
    size_t bytes = static_cast<size_t>(w) * h * 4;
    RECT all = {0, 0, w, h};
    memset(layer_.canvas.bits, 0xFF, bytes);
    UiKit::Render::DrawImageDescription(dc, manager_, all, all, bkImage_);
    GdiFlush();
    std::vector<unsigned char> overWhite(layer_.canvas.bits, layer_.canvas.bits + bytes);
    memset(layer_.canvas.bits, 0, bytes);
    UiKit::Render::DrawImageDescription(dc, manager_, all, all, bkImage_);
    GdiFlush();
    for (size_t i = 0; i < bytes; i += 4)
        if (memcmp(&overWhite[i], layer_.canvas.bits + i, 3) != 0) return false;
    return true;
}

void CSliderExUI::UpdateTickLayer() {
    int thumb = GetThumbSize().cx;
    DibCanvas& canvas = layer_.canvas;
    if (canvas.bitmap && EqualRect(&layer_.rect, &rcItem_) && layer_.thumbWidth == thumb &&
        layer_.tickCount == tickCount_ && layer_.background == bkImage_)
        return;
    int w = rcItem_.right - rcItem_.left, h = rcItem_.bottom - rcItem_.top;
    if (w <= 0 || h <= 0 || !canvas.Make(SIZE{w, h})) {
        canvas.Free();
        return;
    }
    layer_.rect = rcItem_;
    layer_.thumbWidth = thumb;
    layer_.tickCount = tickCount_;
    layer_.background = bkImage_;
    layer_.withBackground = DrawBackgroundLayer(canvas.dc, w, h);
    if (layer_.withBackground) {
        DrawTicks(canvas.dc, kTickColour);
    } else {
        // White strokes over black, then every touched pixel becomes the tick colour, opaque.
        memset(canvas.bits, 0, static_cast<size_t>(w) * h * 4);
        DrawTicks(canvas.dc, RGB(255, 255, 255));
    }
    GdiFlush();
    if (layer_.withBackground) return;
    for (unsigned char* px = canvas.bits; px < canvas.bits + static_cast<size_t>(w) * h * 4; px += 4) {
        if (px[0] | px[1] | px[2]) {
            px[0] = GetBValue(kTickColour);
            px[1] = GetGValue(kTickColour);
            px[2] = GetRValue(kTickColour);
            px[3] = 255;
        }
    }
}

void CSliderExUI::PaintBkImage(HDC hdc) {
    if (tickCount_ >= 2) {
        tickArea_ = TickAreaOf(rcItem_, GetThumbSize().cx, tickCount_).area;
        UpdateTickLayer();
        if (layer_.canvas.bitmap && layer_.withBackground) return;  // the layer brings it
    }
    CSliderUI::PaintBkImage(hdc);
}

void CSliderExUI::PaintStatusImage(HDC hdc) {
    RECT visible;
    const DibCanvas& canvas = layer_.canvas;
    if (tickCount_ >= 2 && canvas.bitmap && IntersectRect(&visible, &paintRect_, &rcItem_)) {
        RECT source = visible;
        OffsetRect(&source, -rcItem_.left, -rcItem_.top);
        if (layer_.withBackground) {
            BitBlt(hdc, visible.left, visible.top, visible.right - visible.left, visible.bottom - visible.top,
                   canvas.dc, source.left, source.top, SRCCOPY);
        } else {
            UiKit::UIImageInfo view;
            view.bitmap = canvas.bitmap;
            view.bits = canvas.bits;
            view.width = canvas.size.cx;
            view.height = canvas.size.cy;
            view.alpha = true;
            UiKit::BlendImagePart(hdc, visible, canvas.dc, view, source, 255);
        }
    }
    CSliderUI::PaintStatusImage(hdc);
}
