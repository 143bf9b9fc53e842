// Routing of window messages to controls: a table names the handler of
// each message the manager takes part in (mouse, keyboard, timers, sizing,
// reflection to native children); the tooltip.
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

// Offers a message to each filter in turn until one handles it. The list is
// a copy: a filter may add or remove filters while it runs.
static bool RunFilters(std::vector<IMessageFilterUI*> filters, UINT msg, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) {
    for (IMessageFilterUI* f : filters) {
        bool handled = false;
        LRESULT r = f->MessageHandler(msg, wParam, lParam, handled);
        if (handled) {
            result = r;
            return true;
        }
    }
    return false;
}

bool CUIWindowManager::PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (RunFilters(preFilters_, msg, wParam, lParam, result)) return true;
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

// Handlers: true when the message is consumed, its result in result.
const CUIWindowManager::MessageRoute* CUIWindowManager::FindRoute(UINT msg) {
    static const MessageRoute kRoutes[] = {
        {WM_ERASEBKGND, &CUIWindowManager::OnEraseBackground},
        {WM_PAINT, &CUIWindowManager::OnPaintMessage},
        {WM_SIZE, &CUIWindowManager::OnSize},
        {WM_TIMER, &CUIWindowManager::OnTimer},
        {WM_GETMINMAXINFO, &CUIWindowManager::OnGetMinMaxInfo},
        {WM_CLOSE, &CUIWindowManager::OnClose},
        {WM_COMMAND, &CUIWindowManager::OnReflectToChild},
        {WM_CTLCOLOREDIT, &CUIWindowManager::OnReflectToChild},
        {WM_CTLCOLORSTATIC, &CUIWindowManager::OnReflectToChild},
        {WM_NOTIFY, &CUIWindowManager::OnNotify},
        {WM_KEYDOWN, &CUIWindowManager::OnKeyDownOrChar},
        {WM_CHAR, &CUIWindowManager::OnKeyDownOrChar},
        {WM_KEYUP, &CUIWindowManager::OnKeyUp},
        {WM_MOUSEMOVE, &CUIWindowManager::OnMouseMove},
        {WM_MOUSEHOVER, &CUIWindowManager::OnMouseHover},
        {WM_MOUSELEAVE, &CUIWindowManager::OnMouseLeave},
        {WM_LBUTTONDOWN, &CUIWindowManager::OnButtonDown},
        {WM_LBUTTONDBLCLK, &CUIWindowManager::OnButtonDown},
        {WM_RBUTTONDOWN, &CUIWindowManager::OnButtonDown},
        {WM_LBUTTONUP, &CUIWindowManager::OnButtonUp},
        {WM_CONTEXTMENU, &CUIWindowManager::OnContextMenu},
        {WM_MOUSEWHEEL, &CUIWindowManager::OnMouseWheel},
        {WM_SETCURSOR, &CUIWindowManager::OnSetCursor},
    };
    for (const MessageRoute& route : kRoutes)
        if (route.msg == msg) return &route;
    return nullptr;
}

bool CUIWindowManager::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!window_) return false;
    result = 0;
    ++messageDepth_;
    FlushAsyncNotify();
    bool consumed = RunFilters(filters_, msg, wParam, lParam, result);
    if (!consumed && msg == FlushMessage()) consumed = true;
    if (!consumed) {
        const MessageRoute* route = FindRoute(msg);
        if (route) consumed = (this->*route->handler)(msg, wParam, lParam, result);
    }
    FlushAsyncNotify();
    if (--messageDepth_ == 0) FlushDelayedCleanup();
    return consumed;
}

CControlUI* CUIWindowManager::OwnControlAt(POINT pt) const {
    // Only controls of this window get events.
    CControlUI* c = FindControl(pt);
    return c && c->GetManager() == this ? c : nullptr;
}

bool CUIWindowManager::OnEraseBackground(UINT, WPARAM, LPARAM, LRESULT& result) {
    result = 1;
    return true;
}

bool CUIWindowManager::OnPaintMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    OnPaint();
    return true;
}

bool CUIWindowManager::OnSize(UINT, WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (focus_) {
        UIEvent e = MakeEvent(UIEVENT_WINDOWSIZE, focus_, wParam, lParam);
        focus_->HandleEvent(e);
    }
    if (root_) {
        layoutNeeded_ = true;
        InvalidateRect(window_, nullptr, FALSE);
    }
    return false;
}

bool CUIWindowManager::OnTimer(UINT, WPARAM wParam, LPARAM lParam, LRESULT&) {
    const UITimerRecord* t = timers_.Running(window_, wParam);
    if (!t) return false;
    UIEvent e = MakeEvent(UIEVENT_TIMER, t->sender, t->localId, lParam);
    t->sender->HandleEvent(e);
    return true;
}

bool CUIWindowManager::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, LRESULT&) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (minInfo_.cx > 0) info->ptMinTrackSize.x = minInfo_.cx;
    if (minInfo_.cy > 0) info->ptMinTrackSize.y = minInfo_.cy;
    if (maxInfo_.cx > 0) info->ptMaxTrackSize.x = maxInfo_.cx;
    if (maxInfo_.cy > 0) info->ptMaxTrackSize.y = maxInfo_.cy;
    return false;
}

bool CUIWindowManager::OnClose(UINT, WPARAM wParam, LPARAM lParam, LRESULT&) {
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
    return false;
}

// Reflected back to the native child window that sent it.
bool CUIWindowManager::OnReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!lParam || !IsWindow(reinterpret_cast<HWND>(lParam))) return false;
    result = ::SendMessageW(reinterpret_cast<HWND>(lParam), msg + 0x2000, wParam, lParam);
    return true;
}

bool CUIWindowManager::OnNotify(UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!hdr || !hdr->hwndFrom || hdr->hwndFrom == toolTip_) return false;
    result = ::SendMessageW(hdr->hwndFrom, WM_NOTIFY + 0x2000, wParam, lParam);
    return true;
}

// Key messages go on to the window's own handling as well.
bool CUIWindowManager::OnKeyDownOrChar(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (!focus_) return false;
    CControlUI* c = focus_;
    UIEvent e = MakeEvent(msg == WM_KEYDOWN ? UIEVENT_KEYDOWN : UIEVENT_CHAR, c, wParam, lParam);
    if (msg == WM_KEYDOWN) keyDown_ = c;
    c->HandleEvent(e);
    return false;
}

bool CUIWindowManager::OnKeyUp(UINT, WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (!keyDown_) return false;
    CControlUI* c = keyDown_;
    keyDown_ = nullptr;
    UIEvent e = MakeEvent(UIEVENT_KEYUP, c, wParam, lParam);
    c->HandleEvent(e);
    return false;
}

bool CUIWindowManager::OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (!mouseTracking_) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, window_, hoverTime_};
        TrackMouseEvent(&tme);
        mouseTracking_ = true;
    }
    lastMouse_ = PointOf(lParam);
    CControlUI* now = OwnControlAt(lastMouse_);
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

bool CUIWindowManager::OnMouseHover(UINT, WPARAM wParam, LPARAM lParam, LRESULT&) {
    mouseTracking_ = false;
    POINT pt = PointOf(lParam);
    if (hot_) {
        UIEvent e = MakeEvent(UIEVENT_MOUSEHOVER, hot_, wParam, lParam);
        e.mousePoint = pt;
        hot_->HandleEvent(e);
    }
    CControlUI* under = OwnControlAt(pt);
    if (under && !under->GetToolTip().empty()) ShowToolTip(under);
    return true;
}

bool CUIWindowManager::OnMouseLeave(UINT, WPARAM, LPARAM, LRESULT&) {
    HideToolTip();
    if (mouseTracking_) ::SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1));
    mouseTracking_ = false;
    return true;
}

// Left press, left double click and right press.
bool CUIWindowManager::OnButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (msg == WM_LBUTTONDOWN) ::SetFocus(window_);
    lastMouse_ = PointOf(lParam);
    CControlUI* c = OwnControlAt(lastMouse_);
    if (!c) return false;
    click_ = c;
    if (msg != WM_LBUTTONDBLCLK) c->SetFocus();
    SetCapture(window_);
    int kind = msg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : msg == WM_RBUTTONDOWN ? UIEVENT_RBUTTONDOWN : UIEVENT_DBLCLICK;
    UIEvent e = MakeEvent(kind, c, wParam, lParam);
    c->HandleEvent(e);
    return false;
}

bool CUIWindowManager::OnButtonUp(UINT, WPARAM wParam, LPARAM lParam, LRESULT&) {
    lastMouse_ = PointOf(lParam);
    if (!click_) return false;
    CControlUI* c = click_;
    click_ = nullptr;
    ReleaseCapture();
    UIEvent e = MakeEvent(UIEVENT_BUTTONUP, c, wParam, lParam);
    c->HandleEvent(e);
    return false;
}

bool CUIWindowManager::OnContextMenu(UINT, WPARAM, LPARAM lParam, LRESULT&) {
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

bool CUIWindowManager::OnMouseWheel(UINT, WPARAM wParam, LPARAM lParam, LRESULT&) {
    POINT pt = PointOf(lParam);
    ScreenToClient(window_, &pt);
    CControlUI* c = OwnControlAt(pt);
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

bool CUIWindowManager::OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (LOWORD(lParam) != HTCLIENT) return false;
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(window_, &pt);
    CControlUI* c = OwnControlAt(pt);
    if (!c || !(c->GetControlFlags() & UIFLAG_SETCURSOR)) return false;
    UIEvent e = MakeEvent(UIEVENT_SETCURSOR, c, wParam, lParam);
    e.mousePoint = pt;
    c->HandleEvent(e);
    result = TRUE;
    return true;
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
