#include "uikit/core/control_timers.h"

namespace UiKit {

bool CControlTimers::Set(HWND window, CControlUI* control, UINT timerId, UINT elapseMs) {
    for (UITimerRecord& t : timers_) {
        if (t.sender != control || t.window != window || t.localId != timerId) continue;
        if (!t.killed) return false;
        if (!::SetTimer(window, t.winTimer, elapseMs, nullptr)) return false;
        t.killed = false;
        return true;
    }
    counter_ = (counter_ + 1) % 255;
    SetLastError(0);
    if (!::SetTimer(window, counter_, elapseMs, nullptr) && (counter_ != 0 || GetLastError() != 0))
        return false;
    timers_.push_back(UITimerRecord{control, timerId, window, counter_, false});
    return true;
}

bool CControlTimers::Kill(CControlUI* control, UINT timerId) {
    for (UITimerRecord& t : timers_) {
        if (t.sender != control || t.localId != timerId) continue;
        if (!t.killed && IsWindow(t.window)) ::KillTimer(t.window, t.winTimer);
        t.killed = true;
        return true;
    }
    return false;
}

void CControlTimers::KillAll(CControlUI* control) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->sender != control) {
            ++it;
            continue;
        }
        if (!it->killed && IsWindow(it->window)) ::KillTimer(it->window, it->winTimer);
        it = timers_.erase(it);
    }
}

void CControlTimers::RemoveAll() {
    for (const UITimerRecord& t : timers_)
        if (!t.killed && IsWindow(t.window)) ::KillTimer(t.window, t.winTimer);
    timers_.clear();
}

UINT CControlTimers::WindowsId(CControlUI* control, UINT timerId, bool* found) const {
    for (const UITimerRecord& t : timers_) {
        if (t.sender == control && t.localId == timerId) {
            if (found) *found = true;
            return t.winTimer;
        }
    }
    if (found) *found = false;
    return 0;
}

const UITimerRecord* CControlTimers::Running(HWND window, WPARAM winTimer) const {
    for (const UITimerRecord& t : timers_)
        if (t.window == window && t.winTimer == winTimer && !t.killed) return &t;
    return nullptr;
}

}  // namespace UiKit
