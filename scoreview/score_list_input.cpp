// Input of the score list: the decelerating wheel scroll and, in the page
// view, scrolling by dragging the page with a hand cursor.
#include <cmath>
#include <cstdlib>

#include "scoreview/score_list_ui.h"
#include "uikit/core/window_manager.h"

using namespace UiKit;

namespace {
const int kWheelTickMs = 50;
const int kDragStepMs = 20;
const int kSpeedLimit = 100;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
}  // namespace

// What is left of the current wheel speed: it falls with the square of the
// share of steps still to go, so the scroll eases out.
static int RemainingSpeed(int speed, int left, int total) {
    if (total == 0) return 0;
    double share = static_cast<double>(left) / total;
    return static_cast<int>(speed * share * share);
}

bool CScoreListUI::ShowCursor(HCURSOR cursor) {
    if (!cursor) return false;
    ::SetCursor(cursor);
    return true;
}

void CScoreListUI::OnWheel(bool up, bool across) {
    // A turn along the other axis starts from rest rather than carrying the
    // speed of the last one sideways.
    if (across != wheelAcross_) wheelSpeed_ = wheelStepsLeft_ = wheelStepsTotal_ = 0;
    wheelAcross_ = across;
    int current = RemainingSpeed(wheelSpeed_, wheelStepsLeft_, wheelStepsTotal_);
    if (up) wheelSpeed_ = wheelSpeed_ < 0 ? current + 12 : current + 8;
    else wheelSpeed_ = wheelSpeed_ > 0 ? current - 12 : current - 8;
    wheelSpeed_ = Clamp(wheelSpeed_, -kSpeedLimit, kSpeedLimit);
    wheelStepsTotal_ = wheelStepsLeft_ = 5 * static_cast<int>(std::sqrt(static_cast<double>(std::abs(wheelSpeed_))));
    if (owner_) owner_->SetTimer(this, kWheelTimerId, kWheelTickMs);
}

void CScoreListUI::OnWheelTimer() {
    if (wheelStepsLeft_ > 0) {
        --wheelStepsLeft_;
        int delta = RemainingSpeed(wheelSpeed_, wheelStepsLeft_, wheelStepsTotal_);
        SIZE pos = GetScrollPos();
        SIZE range = GetScrollRange();
        LONG& at = wheelAcross_ ? pos.cx : pos.cy;
        const LONG end = wheelAcross_ ? range.cx : range.cy;
        if ((delta > 0 && at != 0) || (delta < 0 && at != end)) {
            at -= delta;
            SetScrollPos(pos);
            return;
        }
    }
    wheelSpeed_ = wheelStepsLeft_ = wheelStepsTotal_ = 0;
    if (owner_) owner_->KillTimer(this, kWheelTimerId);
}

void CScoreListUI::OnDragTimer() {
    SIZE pos = GetScrollPos();
    SIZE range = GetScrollRange();
    int x = Clamp(pos.cx + (dragStart_.x - dragCurrent_.x), 0, range.cx);
    int y = Clamp(pos.cy + (dragStart_.y - dragCurrent_.y), 0, range.cy);
    SetScrollPos(SIZE{x, y});
    if (owner_) owner_->KillTimer(this, kDragTimerId);
    dragStart_ = dragCurrent_;
}

bool CScoreListUI::OnScrollKey(wchar_t key) {
    switch (key) {
    case VK_LEFT: LineLeft(); return true;
    case VK_RIGHT: LineRight(); return true;
    case VK_UP: LineUp(); return true;
    case VK_DOWN: LineDown(); return true;
    default: return false;
    }
}

void CScoreListUI::HandleEvent(UIEvent& event) {
    bool mouse = event.kind > UIEVENT__MOUSEBEGIN && event.kind < UIEVENT__MOUSEEND;
    if (mouse && !IsMouseEnabled()) {
        if (parent_) parent_->HandleEvent(event);
        else CVerticalLayoutUI::HandleEvent(event);
        return;
    }
    switch (event.kind) {
    case UIEVENT_TIMER:
        if (event.wParam == kWheelTimerId) {
            OnWheelTimer();
            return;
        }
        if (event.wParam == kDragTimerId) {
            OnDragTimer();
            return;
        }
        break;
    case UIEVENT_SCROLLWHEEL:
        OnWheel(LOWORD(event.wParam) == 0, (event.keyState & UIKEY_SHIFT) != 0);
        return;
    default: break;
    }
    if (displayMode == kScorePageMode) {
        switch (event.kind) {
        case UIEVENT_KEYDOWN:
            if (OnScrollKey(event.key)) return;
            break;
        case UIEVENT_BUTTONDOWN:
            // The page takes the keyboard, so that the arrow keys move it.
            if (owner_) owner_->SetFocus(this);
            dragging_ = true;
            dragStart_ = event.mousePoint;
            dragCurrent_ = event.mousePoint;
            if (!ShowCursor(dragCursor_)) ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return;
        case UIEVENT_BUTTONUP:
            dragging_ = false;
            return;
        case UIEVENT_MOUSEHOVER:
            ShowCursor(hoverCursor_);
            return;
        case UIEVENT_MOUSEMOVE:
            if (dragging_) {
                dragCurrent_ = event.mousePoint;
                if (owner_) owner_->SetTimer(this, kDragTimerId, kDragStepMs);
                return;
            }
            ShowCursor(hoverCursor_);
            break;
        default: break;
        }
    }
    CListUI::HandleEvent(event);
}
