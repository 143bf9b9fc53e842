#include "uikit/controls/progress_slider.h"

#include <cstdio>
#include <cwchar>

#include "uikit/controls/control_helpers.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

CProgressUI::CProgressUI() { textStyle_ = DT_SINGLELINE | DT_CENTER; }

const wchar_t* CProgressUI::GetClassName() const { return L"ProgressUI"; }

void* CProgressUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Progress") == 0) return this;
    return CLabelUI::FindInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    horizontal_ = horizontal;
    Invalidate();
}
void CProgressUI::SetMinValue(int min) {
    min_ = min;
    if (value_ < min_) value_ = min_;
    Invalidate();
}
void CProgressUI::SetMaxValue(int max) {
    max_ = max;
    if (value_ > max_ && max_ >= min_) value_ = max_;
    Invalidate();
}
void CProgressUI::SetValue(int value) {
    if (value > max_) value = max_;
    if (value < min_) value = min_;
    if (value == value_) return;
    int old = value_;
    value_ = value;
    InvalidateValueChange(old);
}

void CProgressUI::InvalidateValueChange(int) { Invalidate(); }

int CProgressUI::Scale(int span) const { return ScaleAt(span, value_); }

int CProgressUI::ScaleAt(int span, int value) const {
    // An empty (or reversed) range has no place to move along.
    if (max_ <= min_ || span <= 0) return 0;
    long long v = static_cast<long long>(value) - min_;
    if (v < 0) v = 0;
    if (v > max_ - min_) v = max_ - min_;
    return static_cast<int>(v * span / (static_cast<long long>(max_) - min_));
}

void CProgressUI::PaintStatusImage(HDC hdc) {
    if (foreImage_.empty()) return;
    int w = rcItem_.right - rcItem_.left, h = rcItem_.bottom - rcItem_.top;
    RECT part;  // relative to the control
    if (horizontal_) part = RECT{0, 0, Scale(w), h};
    else part = RECT{0, h - Scale(h), w, h};
    if (IsRectEmpty(&part)) return;
    wchar_t modify[128];
    swprintf(modify, 128, L"dest='%d,%d,%d,%d'", static_cast<int>(part.left), static_cast<int>(part.top),
             static_cast<int>(part.right), static_cast<int>(part.bottom));
    // widthForeImage names the fore image's full width: show only its filled part.
    if (horizontal_ && widthForeImage_ > 0)
        swprintf(modify, 128, L"dest='%d,%d,%d,%d' source='0,0,%d,%d'", 0, 0, static_cast<int>(part.right), h,
                 Scale(widthForeImage_), h);
    DrawImage(hdc, foreImage_, modify);
    if (horizontal_ && !tailForeImage_.empty() && widthTailForeImage_ > 0 && part.right > 0) {
        int right = static_cast<int>(part.right);
        int left = right - widthTailForeImage_ < 0 ? 0 : right - widthTailForeImage_;
        swprintf(modify, 128, L"dest='%d,0,%d,%d'", left, right, h);
        DrawImage(hdc, tailForeImage_, modify);
    }
    if (horizontal_ && !midTailForeImage_.empty() && widthMidTailForeImage_ > 0 && part.right > 0) {
        int right = static_cast<int>(part.right);
        int left = right - widthMidTailForeImage_ / 2;
        swprintf(modify, 128, L"dest='%d,0,%d,%d'", left < 0 ? 0 : left, left + widthMidTailForeImage_, h);
        DrawImage(hdc, midTailForeImage_, modify);
    }
}

void CProgressUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    std::wstring n(name);
    if (n == L"foreimage") foreImage_ = value;
    else if (n == L"tailForeImage") tailForeImage_ = value;
    else if (n == L"midTailForeImage") midTailForeImage_ = value;
    else if (n == L"widthForeImage") widthForeImage_ = static_cast<int>(ParseInt(value));
    else if (n == L"widthTailForeImage") widthTailForeImage_ = static_cast<int>(ParseInt(value));
    else if (n == L"widthMidTailForeImage") widthMidTailForeImage_ = static_cast<int>(ParseInt(value));
    else if (n == L"hor") SetHorizontal(ParseBool(value));
    else if (n == L"min") SetMinValue(static_cast<int>(ParseInt(value)));
    else if (n == L"max") SetMaxValue(static_cast<int>(ParseInt(value)));
    else if (n == L"value") SetValue(static_cast<int>(ParseInt(value)));
    else {
        CLabelUI::ApplyAttribute(name, value);
        return;
    }
    Invalidate();
}

// ---------------------------------------------------------------- slider

CSliderUI::CSliderUI() { textStyle_ = DT_SINGLELINE | DT_CENTER; }

const wchar_t* CSliderUI::GetClassName() const { return L"SliderUI"; }

void* CSliderUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Slider") == 0) return this;
    return CProgressUI::FindInterface(name);
}

UINT CSliderUI::GetControlFlags() const { return IsEnabled() ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u; }

void CSliderUI::SetThumbSize(SIZE size) {
    thumbSize_ = size;
    Invalidate();
}

void CSliderUI::SetThumbText(const CUIString& text) {
    if (text == thumbText_) return;
    thumbText_ = text;
    // The text is drawn inside the thumb and clipped to it.
    InvalidatePart(GetThumbRect());
}

void CSliderUI::InvalidateValueChange(int oldValue) {
    if (!foreImage_.empty()) {
        Invalidate();
        return;
    }
    InvalidatePart(ThumbRectAt(oldValue));
    InvalidatePart(GetThumbRect());
}

RECT CSliderUI::GetThumbRect() const { return ThumbRectAt(value_); }

RECT CSliderUI::ThumbRectAt(int value) const {
    const RECT& rc = rcItem_;
    int w = thumbSize_.cx, h = thumbSize_.cy;
    if (horizontal_) {
        int x = rc.left + ScaleAt(rc.right - rc.left - w, value);
        int y = (rc.top + rc.bottom - h) / 2;
        return RECT{x, y, x + w, y + h};
    }
    int x = (rc.left + rc.right - w) / 2;
    int bottom = rc.bottom - ScaleAt(rc.bottom - rc.top - h, value);
    return RECT{x, bottom - h, x + w, bottom};
}

int CSliderUI::ValueAt(POINT pt) const {
    const RECT& rc = rcItem_;
    if (max_ <= min_) return min_;
    long long range = static_cast<long long>(max_) - min_;
    if (horizontal_) {
        int t = thumbSize_.cx;
        if (pt.x >= rc.right - t / 2) return max_;
        if (pt.x <= rc.left + t / 2) return min_;
        long long span = rc.right - rc.left - t;
        if (span <= 0) return min_;
        return static_cast<int>(min_ + (pt.x - t / 2 - rc.left) * range / span);
    }
    int t = thumbSize_.cy;
    if (pt.y >= rc.bottom - t / 2) return min_;
    if (pt.y <= rc.top + t / 2) return max_;
    long long span = rc.bottom - rc.top - t;
    if (span <= 0) return min_;
    return static_cast<int>(min_ + (rc.bottom - t / 2 - pt.y) * range / span);
}

void CSliderUI::SetValueFromMouse(POINT pt) {
    SetValue(ValueAt(pt));
    if (manager_) manager_->SendNotify(this, L"valuechanged");
}

void CSliderUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    if (TrackHot(*this, event, hot_)) return;
    switch (event.kind) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
        pressed_ = true;
        RECT thumb = GetThumbRect();
        if (PtInRect(&thumb, event.mousePoint)) dragging_ = true;
        Invalidate();
        return;
    }
    case UIEVENT_BUTTONUP:
        if (pressed_ || dragging_) {
            pressed_ = dragging_ = false;
            SetValueFromMouse(event.mousePoint);
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (dragging_) SetValueFromMouse(event.mousePoint);
        return;
    case UIEVENT_SCROLLWHEEL:
        SetValue(value_ + (event.wParam == 0 ? step_ : -step_));
        if (manager_) manager_->SendNotify(this, L"valuechanged");
        return;
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return;
    default:
        break;
    }
    CProgressUI::HandleEvent(event);
}

void CSliderUI::PaintStatusImage(HDC hdc) {
    CProgressUI::PaintStatusImage(hdc);
    RECT thumb = GetThumbRect();
    wchar_t modify[64];
    swprintf(modify, 64, L"dest='%d,%d,%d,%d'", static_cast<int>(thumb.left - rcItem_.left),
             static_cast<int>(thumb.top - rcItem_.top), static_cast<int>(thumb.right - rcItem_.left),
             static_cast<int>(thumb.bottom - rcItem_.top));
    const CUIString* image = &thumbImage_;
    if (dragging_ && !thumbPushedImage_.empty()) image = &thumbPushedImage_;
    else if (hot_ && !thumbHotImage_.empty()) image = &thumbHotImage_;
    if (image->empty() || !DrawImage(hdc, *image, modify)) return;
    if (thumbText_.empty()) return;
    RECT rc = thumb;
    rc.left += textPadding_.left;
    rc.top += textPadding_.top;
    rc.right -= textPadding_.right;
    rc.bottom -= textPadding_.bottom;
    Render::DrawPlainText(hdc, manager_, rc, thumbText_, ResolveTextColor(manager_, textColor_, !IsEnabled()), font_,
                          textStyle_ | DT_SINGLELINE);
}

void CSliderUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    std::wstring n(name);
    if (n == L"thumbimage") thumbImage_ = value;
    else if (n == L"thumbhotimage") thumbHotImage_ = value;
    else if (n == L"thumbpushedimage") thumbPushedImage_ = value;
    else if (n == L"thumbsize") SetThumbSize(ParseSize(value));
    else if (n == L"step") SetChangeStep(static_cast<int>(ParseInt(value)));
    else {
        CProgressUI::ApplyAttribute(name, value);
        return;
    }
    Invalidate();
}

}  // namespace UiKit
