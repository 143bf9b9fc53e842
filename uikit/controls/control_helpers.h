// Small pieces of state handling that several standard controls share.
#pragma once
#include "uikit/core/container.h"
#include "uikit/core/control.h"
#include "uikit/core/window_manager.h"

namespace UiKit {

// The images of a control's states, as the skin gives them (normalimage,
// hotimage, pushedimage, focusedimage, disabledimage).
struct StateImages {
    CUIString normal, hot, pushed, focused, disabled;

    // The image of the first of the states disabled, pushed, hot, focused
    // that holds and has an image; else the normal one.
    const CUIString& Pick(bool isDisabled, bool isPushed, bool isHot, bool isFocused) const {
        if (isDisabled && !disabled.empty()) return disabled;
        if (isPushed && !pushed.empty()) return pushed;
        if (isHot && !hot.empty()) return hot;
        if (isFocused && !focused.empty()) return focused;
        return normal;
    }
};

// Mouse enter lights an enabled control up, mouse leave puts it out again;
// true when the event was one of the two (it is then used up).
inline bool TrackHot(CControlUI& control, const UIEvent& event, bool& hot) {
    if (event.kind == UIEVENT_MOUSEENTER) {
        if (control.IsEnabled()) {
            hot = true;
            control.Invalidate();
        }
        return true;
    }
    if (event.kind == UIEVENT_MOUSELEAVE) {
        hot = false;
        control.Invalidate();
        return true;
    }
    return false;
}

// rc moved in by inset on every side, never narrower or lower than nothing.
inline RECT InsetRect(const RECT& rc, const RECT& inset) {
    RECT in = {rc.left + inset.left, rc.top + inset.top, rc.right - inset.right, rc.bottom - inset.bottom};
    if (in.right < in.left) in.right = in.left;
    if (in.bottom < in.top) in.bottom = in.top;
    return in;
}

// Scrolls scroller up or down by the least that shows item whole between the
// top and bottom of its inset, less bottomReserve at the bottom.
inline void ScrollIntoView(CContainerUI& scroller, const RECT& item, int bottomReserve) {
    RECT view = scroller.GetPosition();
    RECT inset = scroller.GetInset();
    view.top += inset.top;
    view.bottom -= inset.bottom + bottomReserve;
    int dy = 0;
    if (item.top < view.top) dy = item.top - view.top;
    else if (item.bottom > view.bottom) dy = item.bottom - view.bottom;
    if (dy == 0) return;
    SIZE pos = scroller.GetScrollPos();
    scroller.SetScrollPos(SIZE{pos.cx, pos.cy + dy});
}

// The size a text control asks for: its fixed size, where the height is left
// open the line height of font plus extra (without a manager or that font
// the height stays open).
inline SIZE FixedSizeOrFontLine(CUIWindowManager* manager, SIZE fixed, int font, int extra) {
    if (fixed.cy == 0 && manager) {
        if (UIFontInfo* info = manager->GetFontInfo(font)) fixed.cy = info->tm.tmHeight + extra;
    }
    return fixed;
}

}  // namespace UiKit
