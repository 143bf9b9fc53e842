#include "uikit/core/control.h"

#include <cwchar>

#include "uikit/core/container.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (manager_) manager_->ReapObjects(this);
}

const wchar_t* CControlUI::GetClassName() const { return L"ControlUI"; }

void* CControlUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Control") == 0) return this;
    return nullptr;
}

void CControlUI::SetManager(CUIWindowManager* manager, CControlUI* parent, bool init) {
    manager_ = manager;
    parent_ = parent;
    if (init && manager && !initialised_) {
        initialised_ = true;
        DoInit();
    }
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SetText(const CUIString& text) {
    if (text_ == text) return;
    text_ = text;
    Invalidate();
}

void CControlUI::SetPosition(RECT rc) {
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    RECT old = rcItem_;
    rcItem_ = rc;
    updateNeeded_ = false;
    if (!manager_ || manager_->IsInLayout()) return;
    // Both the old and the new place need painting.
    RECT dirty;
    UnionRect(&dirty, &old, &rcItem_);
    if (!IsRectEmpty(&dirty)) manager_->Invalidate(dirty);
}

RECT CControlUI::VisibleRect() const {
    RECT visible = rcItem_;
    const CControlUI* child = this;
    for (CControlUI* parent = parent_; parent; child = parent, parent = parent->parent_) {
        RECT clip = parent->rcItem_;
        auto* container = static_cast<CContainerUI*>(parent->FindInterface(L"Container"));
        // A scrolling parent is a window moving over its content: what it
        // hides changes with the scroll position, not with the layout.
        if (container && (container->GetVerticalScrollBar() || container->GetHorizontalScrollBar())) break;
        if (container && !child->IsFloat()) clip = container->InnerRect();
        if (!IntersectRect(&visible, &visible, &clip)) return RECT{0, 0, 0, 0};
    }
    return visible;
}

void CControlUI::SetPadding(RECT rc) {
    rcPadding_ = rc;
    RequestParentLayout();
}

void CControlUI::SetFixedXY(SIZE xy) {
    cXY_ = xy;
    if (!float_) RequestParentLayout();
    else RequestLayout();
}

void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0) return;
    cxyFixed_.cx = cx;
    RequestParentLayout();
}

void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0) return;
    cxyFixed_.cy = cy;
    RequestParentLayout();
}

void CControlUI::SetMinWidth(int cx) {
    if (cx < 0 || cxyMin_.cx == cx) return;
    cxyMin_.cx = cx;
    RequestParentLayout();
}

void CControlUI::SetMaxWidth(int cx) {
    if (cx < 0 || cxyMax_.cx == cx) return;
    cxyMax_.cx = cx;
    RequestParentLayout();
}

void CControlUI::SetMinHeight(int cy) {
    if (cy < 0 || cxyMin_.cy == cy) return;
    cxyMin_.cy = cy;
    RequestParentLayout();
}

void CControlUI::SetMaxHeight(int cy) {
    if (cy < 0 || cxyMax_.cy == cy) return;
    cxyMax_.cy = cy;
    RequestParentLayout();
}

void CControlUI::SetRelativePos(SIZE move, SIZE zoom) {
    relativePos_.relative = move.cx || move.cy || zoom.cx || zoom.cy;
    relativePos_.moveXY = move;
    relativePos_.zoomXY = zoom;
    relativePos_.parentSize = SIZE{0, 0};
}

SIZE CControlUI::MeasureSize(SIZE available) {
    (void)available;
    return cxyFixed_;
}

void CControlUI::SetVisible(bool visible) {
    if (visible_ == visible) return;
    bool wasVisible = IsVisible();
    visible_ = visible;
    focused_ = false;
    if (manager_ && !visible && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
    if (IsVisible() != wasVisible) RequestParentLayout();
}

void CControlUI::SetInternVisible(bool visible) {
    internVisible_ = visible;
    if (!visible && manager_ && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Invalidate();
}

void CControlUI::SetFocus() {
    if (manager_) manager_->SetFocus(this);
}

void CControlUI::SetFloat(bool isFloat) {
    if (float_ == isFloat) return;
    float_ = isFloat;
    RequestParentLayout();
}

void CControlUI::SetBkColor(DWORD c) {
    bkColor_ = c;
    Invalidate();
}
void CControlUI::SetBkColor2(DWORD c) {
    bkColor2_ = c;
    Invalidate();
}
void CControlUI::SetBkColor3(DWORD c) {
    bkColor3_ = c;
    Invalidate();
}
void CControlUI::SetBkImage(const CUIString& image) {
    bkImage_ = image;
    Invalidate();
}
void CControlUI::SetBorderColor(DWORD c) {
    borderColor_ = c;
    Invalidate();
}
void CControlUI::SetFocusBorderColor(DWORD c) {
    focusBorderColor_ = c;
    Invalidate();
}
void CControlUI::SetBorderSize(int size) {
    borderSize_ = size;
    Invalidate();
}
void CControlUI::SetBorderRound(SIZE round) {
    borderRound_ = round;
    Invalidate();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, UINT flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((flags & UIFIND_HITTEST) && !PtInRect(&rcItem_, *static_cast<POINT*>(data))) return nullptr;
    return proc(this, data);
}

void CControlUI::Invalidate() { InvalidatePart(rcItem_); }

void CControlUI::InvalidatePart(const RECT& part) {
    if (!IsVisible() || !manager_) return;
    RECT rc;
    if (!IntersectRect(&rc, &part, &rcItem_)) return;
    // Only the part inside every ancestor can show.
    for (CControlUI* p = parent_; p; p = p->GetParent()) {
        RECT parentRc = p->GetPosition();
        if (!IntersectRect(&rc, &rc, &parentRc)) return;
    }
    manager_->Invalidate(rc);
}

void CControlUI::RequestLayout() {
    updateNeeded_ = true;
    Invalidate();
    if (manager_) manager_->NeedUpdate();
}

void CControlUI::RequestParentLayout() {
    if (parent_) parent_->RequestLayout();
    else RequestLayout();
}

void CControlUI::Paint(HDC hdc, const RECT& paint) {
    if (!IntersectRect(&paintRect_, &paint, &rcItem_)) return;
    // Clipping costs a DC save and restore per control; a control that lies
    // wholly inside the paint rectangle draws only on itself and needs none.
    bool round = borderRound_.cx > 0 || borderRound_.cy > 0;
    bool clip = round || !EqualRect(&paintRect_, &rcItem_);
    int saved = 0;
    if (clip) {
        saved = SaveDC(hdc);
        IntersectClipRect(hdc, paintRect_.left, paintRect_.top, paintRect_.right, paintRect_.bottom);
    }
    // Rounded borders clip everything the control paints.
    if (round) {
        HRGN rgn = CreateRoundRectRgn(rcItem_.left, rcItem_.top, rcItem_.right + 1, rcItem_.bottom + 1,
                                      borderRound_.cx, borderRound_.cy);
        ExtSelectClipRgn(hdc, rgn, RGN_AND);
        DeleteObject(rgn);
    }
    PaintBkColor(hdc);
    PaintBkImage(hdc);
    PaintStatusImage(hdc);
    PaintText(hdc);
    PaintBorder(hdc);
    if (clip) RestoreDC(hdc, saved);
}

void CControlUI::PaintBkColor(HDC hdc) {
    if (bkColor_ == 0) return;
    if (bkColor3_ != 0) {
        RECT top = rcItem_, bottom = rcItem_;
        top.bottom = bottom.top = (rcItem_.top + rcItem_.bottom) / 2;
        Render::FillGradient(hdc, top, bkColor_, bkColor2_, true);
        Render::FillGradient(hdc, bottom, bkColor2_, bkColor3_, true);
    } else if (bkColor2_ != 0) {
        Render::FillGradient(hdc, rcItem_, bkColor_, bkColor2_, true);
    } else {
        Render::FillColor(hdc, rcItem_, bkColor_);
    }
}

void CControlUI::PaintBkImage(HDC hdc) {
    if (!bkImage_.empty()) DrawImage(hdc, bkImage_);
}

void CControlUI::PaintBorder(HDC hdc) {
    if (borderSize_ <= 0) return;
    DWORD color = (focused_ && focusBorderColor_) ? focusBorderColor_ : borderColor_;
    if (color == 0) return;
    if (borderRound_.cx > 0 || borderRound_.cy > 0)
        Render::DrawRoundBorder(hdc, rcItem_, borderSize_, borderRound_.cx, borderRound_.cy, color);
    else
        Render::DrawRectBorder(hdc, rcItem_, borderSize_, color);
}

bool CControlUI::DrawImage(HDC hdc, const CUIString& description, const CUIString& modify) {
    return Render::DrawImageDescription(hdc, manager_, rcItem_, paintRect_, description, modify);
}

bool CControlUI::ForwardMouseIfInert(UIEvent& event) {
    if (event.kind <= UIEVENT__MOUSEBEGIN || event.kind >= UIEVENT__MOUSEEND) return false;
    if (IsMouseEnabled() && IsEnabled()) return false;
    if (parent_) parent_->HandleEvent(event);
    return true;
}

void CControlUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    switch (event.kind) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return;
    case UIEVENT_SETFOCUS:
        focused_ = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        focused_ = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (manager_) manager_->SendNotify(this, L"timer", event.wParam, event.lParam);
        return;
    case UIEVENT_CONTEXTMENU:
        if (menuUsed_ && manager_) {
            manager_->SendNotify(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    if (parent_) parent_->HandleEvent(event);
}

void CControlUI::ApplyAttributeList(const wchar_t* list) {
    for (const AttributePair& item : ParseAttributeList(list)) ApplyAttribute(item.first.c_str(), item.second.c_str());
}

void CControlUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    std::wstring n(name ? name : L"");
    if (!value) value = L"";
    if (n == L"pos") {
        RECT rc = ParseRect(value);
        SIZE xy = {rc.left >= 0 ? rc.left : rc.right, rc.top >= 0 ? rc.top : rc.bottom};
        SetFixedXY(xy);
        SetFixedWidth(rc.right - rc.left);
        SetFixedHeight(rc.bottom - rc.top);
    } else if (n == L"relativepos") {
        RECT rc = ParseRect(value);
        SetRelativePos(SIZE{rc.left, rc.top}, SIZE{rc.right, rc.bottom});
    } else if (n == L"padding") {
        SetPadding(ParseRect(value));
    } else if (n == L"bkcolor" || n == L"bkcolor1") {
        SetBkColor(ParseColor(value, true));
    } else if (n == L"bkcolor2") {
        SetBkColor2(ParseColor(value, true));
    } else if (n == L"bkcolor3") {
        SetBkColor3(ParseColor(value, true));
    } else if (n == L"bordercolor") {
        SetBorderColor(ParseColor(value));
    } else if (n == L"focusbordercolor") {
        SetFocusBorderColor(ParseColor(value));
    } else if (n == L"colorhsl") {
        SetColorHSL(ParseBool(value));
    } else if (n == L"bordersize") {
        SetBorderSize(ParseInt(value));
    } else if (n == L"borderround") {
        SetBorderRound(ParseSize(value));
    } else if (n == L"bkimage") {
        SetBkImage(value);
    } else if (n == L"width") {
        SetFixedWidth(ParseInt(value));
    } else if (n == L"height") {
        SetFixedHeight(ParseInt(value));
    } else if (n == L"minwidth") {
        SetMinWidth(ParseInt(value));
    } else if (n == L"minheight") {
        SetMinHeight(ParseInt(value));
    } else if (n == L"maxwidth") {
        SetMaxWidth(ParseInt(value));
    } else if (n == L"maxheight") {
        SetMaxHeight(ParseInt(value));
    } else if (n == L"name") {
        SetName(value);
    } else if (n == L"text") {
        SetText(value);
    } else if (n == L"tooltip") {
        SetToolTip(value);
    } else if (n == L"userdata") {
        SetUserData(value);
    } else if (n == L"enabled") {
        SetEnabled(ParseBool(value));
    } else if (n == L"mouse") {
        SetMouseEnabled(ParseBool(value));
    } else if (n == L"keyboard") {
        SetKeyboardEnabled(ParseBool(value));
    } else if (n == L"visible") {
        SetVisible(ParseBool(value));
    } else if (n == L"float") {
        SetFloat(ParseBool(value));
    } else if (n == L"shortcut") {
        SetShortcut(value[0]);
    } else if (n == L"menu") {
        SetContextMenuUsed(ParseBool(value));
    }
}

}  // namespace UiKit
