// The timers controls ask their window for: each control numbers its own
// timers, the window's WM_TIMER ids are handed out here.
#pragma once
#include <windows.h>

#include <vector>

namespace UiKit {

class CControlUI;

struct UITimerRecord {
    CControlUI* sender = nullptr;
    UINT localId = 0;
    HWND window = nullptr;
    UINT winTimer = 0;
    bool killed = false;
};

class CControlTimers {
public:
    CControlTimers() = default;
    ~CControlTimers() { RemoveAll(); }
    CControlTimers(const CControlTimers&) = delete;
    CControlTimers& operator=(const CControlTimers&) = delete;

    // Starts a control's timer on window, or restarts one that was killed;
    // false for one already running.
    bool Set(HWND window, CControlUI* control, UINT timerId, UINT elapseMs);
    bool Kill(CControlUI* control, UINT timerId);
    // Stops and forgets every timer of a control.
    void KillAll(CControlUI* control);
    void RemoveAll();
    // The Windows timer id of a control's timer, 0 with found = false when none.
    UINT WindowsId(CControlUI* control, UINT timerId, bool* found) const;
    // The running timer behind a WM_TIMER of window, or nullptr.
    const UITimerRecord* Running(HWND window, WPARAM winTimer) const;

private:
    std::vector<UITimerRecord> timers_;
    UINT counter_ = 4096;
};

}  // namespace UiKit
