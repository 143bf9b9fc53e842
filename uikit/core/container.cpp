#include "uikit/core/container.h"

#include <cwchar>

#include "uikit/core/scrollbar.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    delayedDestroy_ = false;
    RemoveAll();
    delete vScroll_;
    delete hScroll_;
}

const wchar_t* CContainerUI::GetClassName() const { return L"ContainerUI"; }

void* CContainerUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
    if (wcscmp(name, L"Container") == 0) return static_cast<CContainerUI*>(this);
    return CControlUI::FindInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= static_cast<int>(items_.size())) return nullptr;
    return items_[index];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == control) return static_cast<int>(i);
    return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
    int from = GetItemIndex(control);
    if (from < 0 || index < 0 || index >= static_cast<int>(items_.size())) return false;
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + index, control);
    RequestLayout();
    return true;
}

int CContainerUI::GetCount() const { return static_cast<int>(items_.size()); }

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, static_cast<int>(items_.size())); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (!control || index < 0 || index > static_cast<int>(items_.size())) return false;
    if (manager_) manager_->InitControls(control, this);
    else control->SetManager(nullptr, this, false);
    if (!IsVisible()) control->SetInternVisible(false);
    items_.insert(items_.begin() + index, control);
    RequestLayout();
    return true;
}

bool CContainerUI::Remove(CControlUI* control) {
    int i = GetItemIndex(control);
    return i >= 0 && RemoveAt(i);
}

bool CContainerUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    if (!control) return false;
    items_.erase(items_.begin() + index);
    RequestLayout();
    if (!autoDestroy_) {
        if (manager_) manager_->ReapObjects(control);
        control->SetManager(nullptr, nullptr, false);
        return true;
    }
    // A control may remove itself while it handles an event: delete it after
    // the message instead.
    if (delayedDestroy_ && manager_) manager_->AddDelayedCleanup(control);
    else delete control;
    return true;
}

void CContainerUI::RemoveAll() {
    while (!items_.empty()) RemoveAt(static_cast<int>(items_.size()) - 1);
    SetScrollPos(SIZE{0, 0});
}

void CContainerUI::SetInset(RECT rc) {
    rcInset_ = rc;
    RequestLayout();
}

void CContainerUI::SetChildPadding(int padding) {
    childPadding_ = padding;
    RequestLayout();
}

void CContainerUI::SetVisible(bool visible) {
    if (visible_ == visible) return;
    CControlUI::SetVisible(visible);
    for (CControlUI* c : items_) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    for (CControlUI* c : items_) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetManager(CUIWindowManager* manager, CControlUI* parent, bool init) {
    for (CControlUI* c : items_) c->SetManager(manager, this, init);
    if (vScroll_) vScroll_->SetManager(manager, this, init);
    if (hScroll_) hScroll_->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, UINT flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if (flags & UIFIND_HITTEST) {
        if (!PtInRect(&rcItem_, *static_cast<POINT*>(data))) return nullptr;
        // The scroll bars belong to the container itself: they get the mouse
        // even when the children do not.
        for (CScrollBarUI* bar : {vScroll_, hScroll_}) {
            if (!bar) continue;
            if (CControlUI* c = bar->FindControl(proc, data, flags)) return c;
        }
        if (!mouseChild_) return proc(this, data);
    }
    if (flags & UIFIND_ME_FIRST) {
        if (CControlUI* c = proc(this, data)) return c;
    }
    RECT inner = InnerRect();
    int n = static_cast<int>(items_.size());
    for (int k = 0; k < n; ++k) {
        int i = (flags & UIFIND_TOP_FIRST) ? n - 1 - k : k;
        CControlUI* child = items_[i];
        // Children outside the inner rectangle are clipped away unless floating.
        if ((flags & UIFIND_HITTEST) && !child->IsFloat() && !PtInRect(&inner, *static_cast<POINT*>(data)))
            continue;
        if (CControlUI* c = child->FindControl(proc, data, flags)) return c;
    }
    if (flags & UIFIND_ME_FIRST) return nullptr;
    return proc(this, data);
}

namespace {
CControlUI* MatchNameNoCase(CControlUI* c, void* data) {
    return _wcsicmp(c->GetName().c_str(), static_cast<const wchar_t*>(data)) == 0 ? c : nullptr;
}
}  // namespace

CControlUI* CContainerUI::FindSubControl(const wchar_t* name) {
    for (CControlUI* child : items_)
        if (CControlUI* c = child->FindControl(MatchNameNoCase, const_cast<wchar_t*>(name), UIFIND_ALL | UIFIND_ME_FIRST))
            return c;
    return nullptr;
}

RECT CContainerUI::InnerRect() const {
    RECT rc = {rcItem_.left + rcInset_.left, rcItem_.top + rcInset_.top, rcItem_.right - rcInset_.right,
               rcItem_.bottom - rcInset_.bottom};
    if (vScroll_ && vScroll_->IsVisible()) rc.right -= vScroll_->GetFixedWidth();
    if (hScroll_ && hScroll_->IsVisible()) rc.bottom -= hScroll_->GetFixedHeight();
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    return rc;
}

void CContainerUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    RECT inner = InnerRect();
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        CControlUI* c = items_[i];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) SetFloatPos(i);
        else c->SetPosition(inner);
    }
}

void CContainerUI::SetFloatPos(int index) {
    CControlUI* c = GetItemAt(index);
    if (!c || !c->IsVisible() || !c->IsFloat()) return;
    SIZE xy = c->GetFixedXY();
    int w = c->GetFixedWidth(), h = c->GetFixedHeight();
    RECT rc;
    rc.left = xy.cx >= 0 ? rcItem_.left + xy.cx : rcItem_.right + xy.cx - w;
    rc.top = xy.cy >= 0 ? rcItem_.top + xy.cy : rcItem_.bottom + xy.cy - h;
    rc.right = rc.left + w;
    rc.bottom = rc.top + h;
    if (c->IsRelativePos()) {
        // Moves and grows by percentages of the size change since the first
        // layout, always measured from that first placement.
        RelativePos rp = c->GetRelativePos();
        SIZE now = {rcItem_.right - rcItem_.left, rcItem_.bottom - rcItem_.top};
        if (rp.parentSize.cx == 0 && rp.parentSize.cy == 0) {
            c->SetRelativeParentSize(now);
            rp.parentSize = now;
        }
        int dx = now.cx - rp.parentSize.cx, dy = now.cy - rp.parentSize.cy;
        OffsetRect(&rc, dx * rp.moveXY.cx / 100, dy * rp.moveXY.cy / 100);
        rc.right += dx * rp.zoomXY.cx / 100;
        rc.bottom += dy * rp.zoomXY.cy / 100;
    }
    c->SetPosition(rc);
}

void CContainerUI::Paint(HDC hdc, const RECT& paint) {
    RECT clip;
    if (!IntersectRect(&clip, &paint, &rcItem_)) return;
    CControlUI::Paint(hdc, paint);
    RECT inner = InnerRect(), innerClip;
    bool innerVisible = IntersectRect(&innerClip, &clip, &inner) != FALSE;
    for (CControlUI* c : items_) {
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) c->Paint(hdc, clip);
        else if (innerVisible) c->Paint(hdc, innerClip);
    }
    if (vScroll_ && vScroll_->IsVisible()) vScroll_->Paint(hdc, clip);
    if (hScroll_ && hScroll_->IsVisible()) hScroll_->Paint(hdc, clip);
}

int CContainerUI::LineSize() const {
    if (!manager_) return 8;
    UIFontInfo* f = manager_->GetDefaultFontInfo();
    return (f ? f->tm.tmHeight : 0) + 8;
}

void CContainerUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    bool vertical = vScroll_ && vScroll_->IsVisible() && vScroll_->IsEnabled();
    bool horizontal = !vertical && hScroll_ && hScroll_->IsVisible() && hScroll_->IsEnabled();
    if (vertical || horizontal) {
        if (event.kind == UIEVENT_KEYDOWN) {
            switch (event.key) {
            case VK_UP: vertical ? LineUp() : LineLeft(); return;
            case VK_DOWN: vertical ? LineDown() : LineRight(); return;
            case VK_PRIOR: vertical ? PageUp() : PageLeft(); return;
            case VK_NEXT: vertical ? PageDown() : PageRight(); return;
            case VK_HOME: vertical ? HomeUp() : HomeLeft(); return;
            case VK_END: vertical ? EndDown() : EndRight(); return;
            default: break;
            }
        } else if (event.kind == UIEVENT_SCROLLWHEEL) {
            if (event.wParam == 0) vertical ? LineUp() : LineLeft();
            else vertical ? LineDown() : LineRight();
            return;
        }
    }
    CControlUI::HandleEvent(event);
}

SIZE CContainerUI::GetScrollPos() const {
    return SIZE{hScroll_ && hScroll_->IsVisible() ? hScroll_->GetScrollPos() : 0,
                vScroll_ && vScroll_->IsVisible() ? vScroll_->GetScrollPos() : 0};
}

SIZE CContainerUI::GetScrollRange() const {
    return SIZE{hScroll_ && hScroll_->IsVisible() ? hScroll_->GetScrollRange() : 0,
                vScroll_ && vScroll_->IsVisible() ? vScroll_->GetScrollRange() : 0};
}

void CContainerUI::SetScrollPos(SIZE pos) {
    SIZE old = GetScrollPos();
    if (vScroll_ && vScroll_->IsVisible()) vScroll_->SetScrollPos(pos.cy);
    if (hScroll_ && hScroll_->IsVisible()) hScroll_->SetScrollPos(pos.cx);
    SIZE now = GetScrollPos();
    int dx = now.cx - old.cx, dy = now.cy - old.cy;
    if (dx == 0 && dy == 0) return;
    for (CControlUI* c : items_) {
        if (!c->IsVisible() || c->IsFloat()) continue;
        RECT rc = c->GetPosition();
        OffsetRect(&rc, -dx, -dy);
        c->SetPosition(rc);
    }
    Invalidate();
}

void CContainerUI::LineUp() { SetScrollPos(SIZE{GetScrollPos().cx, GetScrollPos().cy - LineSize()}); }
void CContainerUI::LineDown() { SetScrollPos(SIZE{GetScrollPos().cx, GetScrollPos().cy + LineSize()}); }
void CContainerUI::LineLeft() { SetScrollPos(SIZE{GetScrollPos().cx - LineSize(), GetScrollPos().cy}); }
void CContainerUI::LineRight() { SetScrollPos(SIZE{GetScrollPos().cx + LineSize(), GetScrollPos().cy}); }

void CContainerUI::PageUp() {
    int page = GetHeight() - rcInset_.top - rcInset_.bottom;
    if (hScroll_ && hScroll_->IsVisible()) page -= hScroll_->GetFixedHeight();
    SetScrollPos(SIZE{GetScrollPos().cx, GetScrollPos().cy - page});
}
void CContainerUI::PageDown() {
    int page = GetHeight() - rcInset_.top - rcInset_.bottom;
    if (hScroll_ && hScroll_->IsVisible()) page -= hScroll_->GetFixedHeight();
    SetScrollPos(SIZE{GetScrollPos().cx, GetScrollPos().cy + page});
}
void CContainerUI::PageLeft() {
    int page = GetWidth() - rcInset_.left - rcInset_.right;
    if (vScroll_ && vScroll_->IsVisible()) page -= vScroll_->GetFixedWidth();
    SetScrollPos(SIZE{GetScrollPos().cx - page, GetScrollPos().cy});
}
void CContainerUI::PageRight() {
    int page = GetWidth() - rcInset_.left - rcInset_.right;
    if (vScroll_ && vScroll_->IsVisible()) page -= vScroll_->GetFixedWidth();
    SetScrollPos(SIZE{GetScrollPos().cx + page, GetScrollPos().cy});
}
void CContainerUI::HomeUp() { SetScrollPos(SIZE{GetScrollPos().cx, 0}); }
void CContainerUI::EndDown() { SetScrollPos(SIZE{GetScrollPos().cx, GetScrollRange().cy}); }
void CContainerUI::HomeLeft() { SetScrollPos(SIZE{0, GetScrollPos().cy}); }
void CContainerUI::EndRight() { SetScrollPos(SIZE{GetScrollRange().cx, GetScrollPos().cy}); }

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    if (enableVertical && !vScroll_) {
        vScroll_ = new CScrollBarUI();
        vScroll_->SetVisible(false);  // shown by the layout when needed
        vScroll_->SetOwner(this);
        vScroll_->SetManager(manager_, this, manager_ != nullptr);
        if (manager_) ApplyScrollBarStyle(vScroll_, manager_->GetDefaultAttributeList(L"VScrollBar").c_str());
    } else if (!enableVertical && vScroll_) {
        delete vScroll_;
        vScroll_ = nullptr;
    }
    if (enableHorizontal && !hScroll_) {
        hScroll_ = new CScrollBarUI();
        hScroll_->SetVisible(false);
        hScroll_->SetHorizontal(true);
        hScroll_->SetOwner(this);
        hScroll_->SetManager(manager_, this, manager_ != nullptr);
        if (manager_) ApplyScrollBarStyle(hScroll_, manager_->GetDefaultAttributeList(L"HScrollBar").c_str());
    } else if (!enableHorizontal && hScroll_) {
        delete hScroll_;
        hScroll_ = nullptr;
    }
    RequestLayout();
}

void CContainerUI::ApplyScrollBarStyle(CScrollBarUI* bar, const wchar_t* list) {
    if (bar && list && *list) bar->ApplyAttributeList(list);
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired) {
    bool relayout = false;
    if (vScroll_) {
        int view = rc.bottom - rc.top;
        bool need = cyRequired > view;
        if (need != vScroll_->IsVisible()) {
            vScroll_->SetVisible(need);
            relayout = true;
        }
        if (need) {
            vScroll_->SetScrollRange(cyRequired - view);
            int w = vScroll_->GetFixedWidth();
            int bottom = rcItem_.bottom - rcInset_.bottom - (hScroll_ && hScroll_->IsVisible() ? hScroll_->GetFixedHeight() : 0);
            vScroll_->SetPosition(RECT{rcItem_.right - rcInset_.right - w, rcItem_.top + rcInset_.top,
                                       rcItem_.right - rcInset_.right, bottom});
        } else {
            vScroll_->SetScrollRange(0);
            vScroll_->SetScrollPos(0);
        }
    }
    if (hScroll_) {
        int view = rc.right - rc.left;
        bool need = cxRequired > view;
        if (need != hScroll_->IsVisible()) {
            hScroll_->SetVisible(need);
            relayout = true;
        }
        if (need) {
            hScroll_->SetScrollRange(cxRequired - view);
            int h = hScroll_->GetFixedHeight();
            int right = rcItem_.right - rcInset_.right - (vScroll_ && vScroll_->IsVisible() ? vScroll_->GetFixedWidth() : 0);
            hScroll_->SetPosition(RECT{rcItem_.left + rcInset_.left, rcItem_.bottom - rcInset_.bottom - h, right,
                                       rcItem_.bottom - rcInset_.bottom});
        } else {
            hScroll_->SetScrollRange(0);
            hScroll_->SetScrollPos(0);
        }
    }
    // Showing or hiding a bar changes the inner rectangle: lay out once more.
    static thread_local int depth = 0;
    if (relayout && depth < 2) {
        ++depth;
        SetPosition(rcItem_);
        --depth;
    }
}

void CContainerUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    std::wstring n(name ? name : L"");
    if (!value) value = L"";
    if (n == L"inset") SetInset(ParseRect(value));
    else if (n == L"mousechild") SetMouseChildEnabled(ParseBool(value));
    else if (n == L"vscrollbar") EnableScrollBar(ParseBool(value), hScroll_ != nullptr);
    else if (n == L"hscrollbar") EnableScrollBar(vScroll_ != nullptr, ParseBool(value));
    else if (n == L"vscrollbarstyle") {
        EnableScrollBar(true, hScroll_ != nullptr);
        ApplyScrollBarStyle(vScroll_, value);
    } else if (n == L"hscrollbarstyle") {
        EnableScrollBar(vScroll_ != nullptr, true);
        ApplyScrollBarStyle(hScroll_, value);
    } else if (n == L"childpadding") SetChildPadding(ParseInt(value));
    else CControlUI::ApplyAttribute(name, value);
}

}  // namespace UiKit
