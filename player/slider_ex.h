// The play ruler: a slider whose ticks stand for tenths of measures.
#pragma once
#include "uikit/controls/progress_slider.h"

class CSliderExUI : public UiKit::CSliderUI {
public:
    const wchar_t* GetClassName() const override { return L"SliderExUI"; }
    void* FindInterface(const wchar_t* name) override;
};
