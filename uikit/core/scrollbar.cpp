#include "uikit/core/scrollbar.h"

#include <cwchar>

#include "uikit/core/container.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {
namespace {
const int kDefaultThickness = 16;
const int kMinThumb = 8;
}  // namespace

CScrollBarUI::CScrollBarUI() {
    cxyFixed_ = SIZE{kDefaultThickness, 0};
}

const wchar_t* CScrollBarUI::GetClassName() const { return L"ScrollBarUI"; }

void* CScrollBarUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ScrollBar") == 0) return static_cast<CScrollBarUI*>(this);
    return CControlUI::FindInterface(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
    if (horizontal_ == horizontal) return;
    horizontal_ = horizontal;
    cxyFixed_ = horizontal ? SIZE{0, kDefaultThickness} : SIZE{kDefaultThickness, 0};
    RequestParentLayout();
}

void CScrollBarUI::SetScrollRange(int range) {
    range_ = range < 0 ? 0 : range;
    if (pos_ > range_) pos_ = range_;
    SetPosition(rcItem_);
}

void CScrollBarUI::SetScrollPos(int pos) {
    if (pos < 0) pos = 0;
    if (pos > range_) pos = range_;
    if (pos == pos_) return;
    pos_ = pos;
    SetPosition(rcItem_);
}

void CScrollBarUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!enabled) hot_ = pressed_ = kNone;
}

void CScrollBarUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    // Buttons are squares at both ends; the thumb's length follows the share
    // of the view in the whole extent.
    int length = horizontal_ ? rc.right - rc.left : rc.bottom - rc.top;
    int thick = horizontal_ ? rc.bottom - rc.top : rc.right - rc.left;
    int b1 = showButton1_ ? thick : 0, b2 = showButton2_ ? thick : 0;
    if (b1 + b2 > length) b1 = b2 = length / 2;
    int rail = length - b1 - b2;
    int thumb = range_ > 0 ? rail * rail / (rail + range_) : rail;
    if (thumb < kMinThumb) thumb = rail < kMinThumb ? rail : kMinThumb;
    int offset = range_ > 0 ? static_cast<int>(static_cast<long long>(rail - thumb) * pos_ / range_) : 0;
    if (horizontal_) {
        rcButton1_ = RECT{rc.left, rc.top, rc.left + b1, rc.bottom};
        rcButton2_ = RECT{rc.right - b2, rc.top, rc.right, rc.bottom};
        rcThumb_ = RECT{rc.left + b1 + offset, rc.top, rc.left + b1 + offset + thumb, rc.bottom};
    } else {
        rcButton1_ = RECT{rc.left, rc.top, rc.right, rc.top + b1};
        rcButton2_ = RECT{rc.left, rc.bottom - b2, rc.right, rc.bottom};
        rcThumb_ = RECT{rc.left, rc.top + b1 + offset, rc.right, rc.top + b1 + offset + thumb};
    }
}

CScrollBarUI::Part CScrollBarUI::HitTest(POINT pt) const {
    if (PtInRect(&rcThumb_, pt)) return kThumb;
    if (PtInRect(&rcButton1_, pt)) return kButton1;
    if (PtInRect(&rcButton2_, pt)) return kButton2;
    if (PtInRect(&rcItem_, pt)) return kRail;
    return kNone;
}

void CScrollBarUI::ScrollBy(int delta) {
    int target = pos_ + delta;
    if (owner_) {
        SIZE p = owner_->GetScrollPos();
        if (horizontal_) p.cx = target;
        else p.cy = target;
        owner_->SetScrollPos(p);
    } else {
        int old = pos_;
        SetScrollPos(target);
        if (pos_ != old && manager_) manager_->SendNotify(this, L"scroll");
    }
    Invalidate();
}

void CScrollBarUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    switch (event.kind) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
        pressed_ = HitTest(event.mousePoint);
        int page = horizontal_ ? rcThumb_.right - rcThumb_.left : rcThumb_.bottom - rcThumb_.top;
        if (pressed_ == kButton1) ScrollBy(-lineSize_);
        else if (pressed_ == kButton2) ScrollBy(lineSize_);
        else if (pressed_ == kRail) {
            bool before = horizontal_ ? event.mousePoint.x < rcThumb_.left : event.mousePoint.y < rcThumb_.top;
            ScrollBy(before ? -page : page);
        } else if (pressed_ == kThumb) {
            dragStart_ = event.mousePoint;
            dragStartPos_ = pos_;
        }
        return;
    }
    case UIEVENT_BUTTONUP:
        pressed_ = kNone;
        Invalidate();
        return;
    case UIEVENT_MOUSEMOVE:
        if (pressed_ == kThumb) {
            int length = horizontal_ ? GetWidth() : GetHeight();
            int b = horizontal_ ? rcButton1_.right - rcButton1_.left + rcButton2_.right - rcButton2_.left
                                : rcButton1_.bottom - rcButton1_.top + rcButton2_.bottom - rcButton2_.top;
            int thumb = horizontal_ ? rcThumb_.right - rcThumb_.left : rcThumb_.bottom - rcThumb_.top;
            int travel = length - b - thumb;
            int moved = horizontal_ ? event.mousePoint.x - dragStart_.x : event.mousePoint.y - dragStart_.y;
            if (travel > 0) ScrollBy(dragStartPos_ + static_cast<int>(static_cast<long long>(moved) * range_ / travel) - pos_);
        } else {
            Part h = HitTest(event.mousePoint);
            if (h != hot_) {
                hot_ = h;
                Invalidate();
            }
        }
        return;
    case UIEVENT_MOUSELEAVE:
        hot_ = kNone;
        Invalidate();
        return;
    case UIEVENT_SCROLLWHEEL:
        ScrollBy(event.wParam == 0 ? -lineSize_ : lineSize_);
        return;
    default:
        break;
    }
    CControlUI::HandleEvent(event);
}

void CScrollBarUI::PaintPart(HDC hdc, const RECT& rc, const PartImages& images, Part part) {
    if (IsRectEmpty(&rc)) return;
    const CUIString* image = &images.normal;
    if (!IsEnabled() && !images.disabled.empty()) image = &images.disabled;
    else if (pressed_ == part && !images.pushed.empty()) image = &images.pushed;
    else if (hot_ == part && !images.hot.empty()) image = &images.hot;
    if (image->empty()) return;
    RECT saved = rcItem_;
    // Image descriptions are relative to the part's own rectangle.
    rcItem_ = rc;
    DrawImage(hdc, *image);
    rcItem_ = saved;
}

void CScrollBarUI::Paint(HDC hdc, const RECT& paint) {
    if (!IntersectRect(&paintRect_, &paint, &rcItem_)) return;
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, paintRect_.left, paintRect_.top, paintRect_.right, paintRect_.bottom);
    PaintBkColor(hdc);
    PaintPart(hdc, rcItem_, bk_, kNone);
    RECT railRc = rcItem_;
    if (horizontal_) {
        railRc.left = rcButton1_.right;
        railRc.right = rcButton2_.left;
    } else {
        railRc.top = rcButton1_.bottom;
        railRc.bottom = rcButton2_.top;
    }
    PaintPart(hdc, railRc, rail_, kRail);
    PaintPart(hdc, rcButton1_, button1_, kButton1);
    PaintPart(hdc, rcButton2_, button2_, kButton2);
    if (range_ > 0) {
        if (thumb_.normal.empty()) Render::FillColor(hdc, rcThumb_, 0xFFC0C0C0);
        else PaintPart(hdc, rcThumb_, thumb_, kThumb);
    }
    PaintBorder(hdc);
    RestoreDC(hdc, saved);
}

void CScrollBarUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    std::wstring n(name ? name : L"");
    if (!value) value = L"";
    // "button1normalimage" ... "bkdisabledimage": part, then state.
    struct {
        const wchar_t* prefix;
        PartImages* images;
    } parts[] = {{L"button1", &button1_}, {L"button2", &button2_}, {L"thumb", &thumb_}, {L"rail", &rail_}, {L"bk", &bk_}};
    for (auto& p : parts) {
        size_t len = wcslen(p.prefix);
        if (n.compare(0, len, p.prefix) != 0) continue;
        std::wstring state = n.substr(len);
        if (state == L"normalimage") p.images->normal = value;
        else if (state == L"hotimage") p.images->hot = value;
        else if (state == L"pushedimage") p.images->pushed = value;
        else if (state == L"disabledimage") p.images->disabled = value;
        else break;
        Invalidate();
        return;
    }
    if (n == L"linesize") SetLineSize(ParseInt(value));
    else if (n == L"range") SetScrollRange(ParseInt(value));
    else if (n == L"value") SetScrollPos(ParseInt(value));
    else if (n == L"showbutton1") {
        showButton1_ = ParseBool(value);
        SetPosition(rcItem_);
    } else if (n == L"showbutton2") {
        showButton2_ = ParseBool(value);
        SetPosition(rcItem_);
    } else CControlUI::ApplyAttribute(name, value);
}

}  // namespace UiKit
