#include "player/slider_ex.h"

#include <cwchar>

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

void CSliderExUI::PaintStatusImage(HDC hdc) {
    if (tickCount_ >= 2) {
        TickArea t = TickAreaOf(rcItem_, GetThumbSize().cx, tickCount_);
        tickArea_ = t.area;
        int h = (tickArea_.bottom - tickArea_.top) / 5;
        std::vector<RulerTick> ticks = ComputeRulerTicks(rcItem_, GetThumbSize().cx, tickCount_);
        // Thin ticks first, then the thick ones over them, one pen and one
        // call each; ticks outside the painted area are left out.
        std::vector<POINT> points;
        std::vector<DWORD> counts;
        for (int pass = 0; pass < 2; ++pass) {
            points.clear();
            counts.clear();
            for (const RulerTick& tick : ticks) {
                if (tick.thick != (pass == 1) || tick.x < paintRect_.left - 2 || tick.x > paintRect_.right + 1) continue;
                points.push_back(POINT{tick.x, tickArea_.top + 1});
                points.push_back(POINT{tick.x, tickArea_.top + 1 + h});
                points.push_back(POINT{tick.x, tickArea_.bottom - 2});
                points.push_back(POINT{tick.x, tickArea_.bottom - 2 - h});
                counts.push_back(2);
                counts.push_back(2);
            }
            if (counts.empty()) continue;
            HPEN pen = CreatePen(PS_SOLID, pass + 1, kTickColour);
            HGDIOBJ old = SelectObject(hdc, pen);
            PolyPolyline(hdc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
            SelectObject(hdc, old);
            DeleteObject(pen);
        }
    }
    CSliderUI::PaintStatusImage(hdc);
}
