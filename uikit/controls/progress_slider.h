// Progress bar: a label with a fore image that fills the part of the range
// up to the value. Slider: a progress bar with a thumb that the mouse drags
// and the wheel steps, sending "valuechanged".
#pragma once
#include "uikit/controls/label_text.h"

namespace UiKit {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    bool IsHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal = true);
    int GetMinValue() const { return min_; }
    void SetMinValue(int min);
    int GetMaxValue() const { return max_; }
    void SetMaxValue(int max);
    int GetValue() const { return value_; }
    // Clamped into [min, max].
    void SetValue(int value);

    void PaintStatusImage(HDC hdc) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

protected:
    // (value - min) * span / (max - min), 0 for an empty range: for the
    // current value, or for another (where the value stood before a change).
    int Scale(int span) const;
    int ScaleAt(int span, int value) const;
    // The value moved from oldValue: what shows it needs painting again.
    virtual void InvalidateValueChange(int oldValue);

    bool horizontal_ = true;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    CUIString foreImage_;
    CUIString tailForeImage_;
    CUIString midTailForeImage_;
    int widthForeImage_ = 0;
    int widthTailForeImage_ = 0;
    int widthMidTailForeImage_ = 0;
};

class CSliderUI : public CProgressUI {
public:
    CSliderUI();

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    int GetChangeStep() const { return step_; }
    void SetChangeStep(int step) { step_ = step; }
    SIZE GetThumbSize() const { return thumbSize_; }
    void SetThumbSize(SIZE size);
    void SetThumbText(const CUIString& text);
    const CUIString& GetThumbText() const { return thumbText_; }
    bool IsDragging() const { return dragging_; }

    // The thumb's place for the current value, and for another.
    RECT GetThumbRect() const;
    RECT ThumbRectAt(int value) const;
    // The value a mouse position stands for.
    int ValueAt(POINT pt) const;

    void HandleEvent(UIEvent& event) override;
    void PaintStatusImage(HDC hdc) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

protected:
    void SetValueFromMouse(POINT pt);
    // Without a fore image only the thumb shows the value: its old and its
    // new place are all that change.
    void InvalidateValueChange(int oldValue) override;

    int step_ = 1;
    SIZE thumbSize_ = {10, 10};
    CUIString thumbImage_;
    CUIString thumbHotImage_;
    CUIString thumbPushedImage_;
    CUIString thumbText_;
    bool dragging_ = false;  // the press began on the thumb
    bool pressed_ = false;   // any press on the slider, until its release
    bool hot_ = false;
};

}  // namespace UiKit
