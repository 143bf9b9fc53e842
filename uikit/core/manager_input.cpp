// Routing of window messages to controls: mouse, keyboard, timers, focus
// and the tooltip.
#include "uikit/core/window_manager.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "uikit/markup/skin_settings.h"

namespace UiKit {
namespace {

WORD CurrentKeyState() {
    WORD state = 0;
    if (GetKeyState(VK_RBUTTON) < 0) state |= UIKEY_RBUTTON;
    if (GetKeyState(VK_LBUTTON) < 0) state |= UIKEY_LBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) state |= UIKEY_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) state |= UIKEY_CONTROL;
    if (GetKeyState(VK_MENU) < 0) state |= UIKEY_ALT;
    return state;
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

UIEvent CUIWindowManager::MakeEvent(int kind, CControlUI* sender, WPARAM wParam, LPARAM lParam) const {
    UIEvent e;
    e.kind = kind;
    e.sender = sender;
    e.timestamp = GetTickCount();
    e.mousePoint = lastMouse_;
    e.key = static_cast<wchar_t>(LOWORD(wParam));
    e.keyState = CurrentKeyState();
    e.wParam = wParam;
    e.lParam = lParam;
    return e;
}

bool CUIWindowManager::PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    std::vector<IMessageFilterUI*> filters = preFilters_;
    for (IMessageFilterUI* f : filters) {
        bool handled = false;
        LRESULT r = f->MessageHandler(msg, wParam, lParam, handled);
        if (handled) {
            result = r;
            return true;
        }
    }
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB) break;
        if (focus_ && focus_->IsVisible() && focus_->IsEnabled() && (focus_->GetControlFlags() & UIFLAG_WANTTAB))
            break;
        SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSCHAR: {
        CControlUI* c = FindShortcutControl(static_cast<wchar_t>(wParam));
        if (!c) break;
        SetFocus(c);
        c->Activate();
        return true;
    }
    case WM_SYSKEYDOWN:
        if (focus_) {
            UIEvent e = MakeEvent(UIEVENT_SYSKEY, focus_, wParam, lParam);
            focus_->HandleEvent(e);
        }
        break;
    default:
        break;
    }
    return false;
}

bool CUIWindowManager::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!window_) return false;
    result = 0;
    ++messageDepth_;
    FlushAsyncNotify();
    bool consumed = false;
    std::vector<IMessageFilterUI*> filters = filters_;
    for (IMessageFilterUI* f : filters) {
        bool handled = false;
        LRESULT r = f->MessageHandler(msg, wParam, lParam, handled);
        if (handled) {
            result = r;
            consumed = true;
            break;
        }
    }
    if (!consumed && msg == FlushMessage()) consumed = true;
    if (!consumed) {
        switch (msg) {
        case WM_ERASEBKGND:
            result = 1;
            consumed = true;
            break;
        case WM_PAINT:
            OnPaint();
            consumed = true;
            break;
        case WM_SIZE:
            if (focus_) {
                UIEvent e = MakeEvent(UIEVENT_WINDOWSIZE, focus_, wParam, lParam);
                focus_->HandleEvent(e);
            }
            if (root_) {
                layoutNeeded_ = true;
                InvalidateRect(window_, nullptr, FALSE);
            }
            break;
        case WM_TIMER:
            if (const UITimerRecord* t = timers_.Running(window_, wParam)) {
                UIEvent e = MakeEvent(UIEVENT_TIMER, t->sender, t->localId, lParam);
                t->sender->HandleEvent(e);
                consumed = true;
            }
            break;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            if (minInfo_.cx > 0) info->ptMinTrackSize.x = minInfo_.cx;
            if (minInfo_.cy > 0) info->ptMinTrackSize.y = minInfo_.cy;
            if (maxInfo_.cx > 0) info->ptMaxTrackSize.x = maxInfo_.cx;
            if (maxInfo_.cy > 0) info->ptMaxTrackSize.y = maxInfo_.cy;
            break;
        }
        case WM_CLOSE:
            if (hot_) {
                UIEvent e = MakeEvent(UIEVENT_MOUSELEAVE, hot_, wParam, lParam);
                CControlUI* c = hot_;
                hot_ = nullptr;
                c->HandleEvent(e);
            }
            if (click_) {
                UIEvent e = MakeEvent(UIEVENT_BUTTONUP, click_, wParam, lParam);
                CControlUI* c = click_;
                click_ = nullptr;
                c->HandleEvent(e);
            }
            SetFocus(nullptr);
            if (HWND owner = GetWindow(window_, GW_OWNER)) ::SetFocus(owner);
            break;
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            // Reflected back to the native child window that sent it.
            if (lParam && IsWindow(reinterpret_cast<HWND>(lParam))) {
                result = ::SendMessageW(reinterpret_cast<HWND>(lParam), msg + 0x2000, wParam, lParam);
                consumed = true;
            }
            break;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            if (hdr && hdr->hwndFrom && hdr->hwndFrom != toolTip_) {
                result = ::SendMessageW(hdr->hwndFrom, WM_NOTIFY + 0x2000, wParam, lParam);
                consumed = true;
            }
            break;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            consumed = HandleKeyboard(msg, wParam, lParam);
            break;
        default:
            if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_MOUSEHOVER || msg == WM_MOUSELEAVE ||
                msg == WM_CONTEXTMENU || msg == WM_SETCURSOR)
                consumed = HandleMouse(msg, wParam, lParam, result);
            break;
        }
    }
    FlushAsyncNotify();
    if (--messageDepth_ == 0) FlushDelayedCleanup();
    return consumed;
}

bool CUIWindowManager::HandleKeyboard(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYUP) {
        if (!keyDown_) return false;
        CControlUI* c = keyDown_;
        keyDown_ = nullptr;
        UIEvent e = MakeEvent(UIEVENT_KEYUP, c, wParam, lParam);
        c->HandleEvent(e);
        return false;
    }
    if (!focus_) return false;
    CControlUI* c = focus_;
    UIEvent e = MakeEvent(msg == WM_KEYDOWN ? UIEVENT_KEYDOWN : UIEVENT_CHAR, c, wParam, lParam);
    if (msg == WM_KEYDOWN) keyDown_ = c;
    c->HandleEvent(e);
    return false;
}

bool CUIWindowManager::HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Only controls of this window get events.
    auto Mine = [this](CControlUI* c) { return c && c->GetManager() == this ? c : nullptr; };
    switch (msg) {
    case WM_MOUSEMOVE: {
        if (!mouseTracking_) {
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, window_, hoverTime_};
            TrackMouseEvent(&tme);
            mouseTracking_ = true;
        }
        lastMouse_ = PointOf(lParam);
        CControlUI* now = Mine(FindControl(lastMouse_));
        if (now != hot_) {
            if (CControlUI* old = hot_) {
                hot_ = nullptr;
                UIEvent e = MakeEvent(UIEVENT_MOUSELEAVE, old, wParam, lParam);
                old->HandleEvent(e);
                HideToolTip();
            }
            hot_ = now;
            if (now) {
                UIEvent e = MakeEvent(UIEVENT_MOUSEENTER, now, wParam, lParam);
                now->HandleEvent(e);
            }
        }
        if (CControlUI* target = click_ ? click_ : hot_) {
            UIEvent e = MakeEvent(UIEVENT_MOUSEMOVE, target, wParam, lParam);
            target->HandleEvent(e);
        }
        return false;
    }
    case WM_MOUSEHOVER: {
        mouseTracking_ = false;
        POINT pt = PointOf(lParam);
        if (hot_) {
            UIEvent e = MakeEvent(UIEVENT_MOUSEHOVER, hot_, wParam, lParam);
            e.mousePoint = pt;
            hot_->HandleEvent(e);
        }
        CControlUI* under = Mine(FindControl(pt));
        if (under && !under->GetToolTip().empty()) ShowToolTip(under);
        return true;
    }
    case WM_MOUSELEAVE:
        HideToolTip();
        if (mouseTracking_) ::SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1));
        mouseTracking_ = false;
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
        if (msg == WM_LBUTTONDOWN) ::SetFocus(window_);
        lastMouse_ = PointOf(lParam);
        CControlUI* c = Mine(FindControl(lastMouse_));
        if (!c) return false;
        click_ = c;
        if (msg != WM_LBUTTONDBLCLK) c->SetFocus();
        SetCapture(window_);
        int kind = msg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : msg == WM_RBUTTONDOWN ? UIEVENT_RBUTTONDOWN : UIEVENT_DBLCLICK;
        UIEvent e = MakeEvent(kind, c, wParam, lParam);
        c->HandleEvent(e);
        return false;
    }
    case WM_LBUTTONUP: {
        lastMouse_ = PointOf(lParam);
        if (!click_) return false;
        CControlUI* c = click_;
        click_ = nullptr;
        ReleaseCapture();
        UIEvent e = MakeEvent(UIEVENT_BUTTONUP, c, wParam, lParam);
        c->HandleEvent(e);
        return false;
    }
    case WM_CONTEXTMENU: {
        POINT pt = PointOf(lParam);
        ScreenToClient(window_, &pt);
        lastMouse_ = pt;
        if (!click_) return false;
        CControlUI* c = click_;
        click_ = nullptr;
        ReleaseCapture();
        UIEvent e = MakeEvent(UIEVENT_CONTEXTMENU, c, 0, reinterpret_cast<LPARAM>(c));
        c->HandleEvent(e);
        return false;
    }
    case WM_MOUSEWHEEL: {
        POINT pt = PointOf(lParam);
        ScreenToClient(window_, &pt);
        CControlUI* c = Mine(FindControl(pt));
        if (!c) return false;
        int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        UIEvent e = MakeEvent(UIEVENT_SCROLLWHEEL, c, delta > 0 ? 0 : 1, lParam);
        e.mousePoint = pt;
        // The keys as they were when the wheel turned, which the message
        // carries, not as they are when it is handled.
        if (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) e.keyState |= UIKEY_SHIFT;
        else e.keyState &= ~UIKEY_SHIFT;
        c->HandleEvent(e);
        ::SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(lastMouse_.x, lastMouse_.y));
        return true;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) return false;
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(window_, &pt);
        CControlUI* c = Mine(FindControl(pt));
        if (!c || !(c->GetControlFlags() & UIFLAG_SETCURSOR)) return false;
        UIEvent e = MakeEvent(UIEVENT_SETCURSOR, c, wParam, lParam);
        e.mousePoint = pt;
        c->HandleEvent(e);
        result = TRUE;
        return true;
    }
    default:
        return false;
    }
}

void CUIWindowManager::ShowToolTip(CControlUI* control) {
    if (!toolTip_) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                   CSkinSettings::GetInstance(), nullptr);
        if (!toolTip_) return;
        ::SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 400);
        TOOLINFOW ti = {};
        ti.cbSize = sizeof(ti);
        ti.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
        ti.hwnd = window_;
        ti.uId = reinterpret_cast<UINT_PTR>(window_);
        ti.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        hoverTime_ = static_cast<UINT>(::SendMessageW(toolTip_, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    }
    toolTipControl_ = control;
    toolTipText_ = control->GetToolTip();
    TOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = window_;
    ti.uId = reinterpret_cast<UINT_PTR>(window_);
    ti.rect = control->GetPosition();
    ti.lpszText = const_cast<wchar_t*>(toolTipText_.c_str());
    ::SendMessageW(toolTip_, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti));
    // Just below the control, at its left edge.
    POINT pt = {control->GetPosition().left, control->GetPosition().bottom};
    ClientToScreen(window_, &pt);
    ::SendMessageW(toolTip_, TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x, pt.y));
    ::SendMessageW(toolTip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

void CUIWindowManager::HideToolTip() {
    toolTipControl_ = nullptr;
    if (!toolTip_) return;
    TOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = window_;
    ti.uId = reinterpret_cast<UINT_PTR>(window_);
    ::SendMessageW(toolTip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace UiKit
