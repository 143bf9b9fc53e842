// Small pieces of state handling that several standard controls share.
#pragma once
#include "uikit/core/control.h"

namespace UiKit {

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

}  // namespace UiKit
