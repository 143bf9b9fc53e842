// The play ruler: a slider with ten units per measure whose painting adds a
// tick at every measure boundary, thick at every fifth one and at the end.
#pragma once
#include <string>
#include <vector>

#include "abi/dib_section.h"
#include "uikit/controls/progress_slider.h"

struct RulerTick {
    int x;
    bool thick;
};

// The ticks of a ruler over rect with a thumb thumbWidth wide and tickCount
// units (ten per measure); none below two units. The walk accumulates the
// spacing as a float, as the painting does.
std::vector<RulerTick> ComputeRulerTicks(const RECT& rect, int thumbWidth, int tickCount);

// Minutes and whole seconds of a play time, "mm:ss".
std::wstring FormatPlayClock(int ms);

class CSliderExUI : public UiKit::CSliderUI {
public:
    CSliderExUI();
    ~CSliderExUI() override;
    const wchar_t* GetClassName() const override { return L"SliderExUI"; }
    void* FindInterface(const wchar_t* name) override;
    void PaintBkImage(HDC hdc) override;
    void PaintStatusImage(HDC hdc) override;

    // Ten units per measure: maximum = n x 10, step 1, minimum 0.
    void SetMeasureCount(int measures);
    int TickCount() const { return tickCount_; }
    // The 1-based measure a ruler value stands for.
    int MeasureOf(int value) const;

private:
    // A long score has hundreds of ticks, and the thick ones are wide-pen
    // strokes that GDI turns into polygons: far more than a repaint of the
    // ruler may cost. They change only with the ruler's place, its tick
    // count or its background, so they are drawn once into a layer. Over an
    // opaque background the layer holds background and ticks together and a
    // paint copies it; otherwise it holds the ticks alone (premultiplied,
    // opaque where a tick is, clear elsewhere) and a paint blends it.
    struct TickLayer {
        RECT rect = {0, 0, 0, 0};
        int thumbWidth = 0;
        int tickCount = 0;
        UiKit::CUIString background;
        bool withBackground = false;
        DibCanvas canvas;
    };
    void UpdateTickLayer();
    bool DrawBackgroundLayer(HDC dc, int w, int h);
    void DrawTicks(HDC dc, COLORREF colour);

    int tickCount_ = 0;
    RECT tickArea_ = {0, 0, 0, 0};
    TickLayer layer_;
};
