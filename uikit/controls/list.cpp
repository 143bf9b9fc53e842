#include "uikit/controls/list.h"

#include <algorithm>
#include <cwchar>

#include "uikit/controls/control_helpers.h"
#include "uikit/controls/text_render.h"
#include "uikit/core/render.h"
#include "uikit/core/scrollbar.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

bool ApplyListInfoAttribute(UIListInfo& info, const wchar_t* name, const wchar_t* value) {
    std::wstring n(name);
    if (n == L"itemfont") info.font = static_cast<int>(ParseInt(value));
    else if (n == L"itemalign") info.textStyle = ApplyAlignWords(info.textStyle, value);
    else if (n == L"itemendellipsis") info.textStyle = ApplyEndEllipsis(info.textStyle, value);
    else if (n == L"itemtextpadding") info.textPadding = ParseRect(value);
    else if (n == L"itemtextcolor") info.textColor = ParseColor(value, true);
    else if (n == L"itembkcolor") info.bkColor = ParseColor(value, true);
    else if (n == L"itembkimage") info.bkImage = value;
    else if (n == L"itemaltbk") info.alternateBk = ParseBool(value);
    else if (n == L"itemselectedtextcolor") info.selectedTextColor = ParseColor(value, true);
    else if (n == L"itemselectedbkcolor") info.selectedBkColor = ParseColor(value, true);
    else if (n == L"itemselectedimage") info.selectedImage = value;
    else if (n == L"itemhottextcolor") info.hotTextColor = ParseColor(value, true);
    else if (n == L"itemhotbkcolor") info.hotBkColor = ParseColor(value, true);
    else if (n == L"itemhotimage") info.hotImage = value;
    else if (n == L"itemdisabledtextcolor") info.disabledTextColor = ParseColor(value, true);
    else if (n == L"itemdisabledbkcolor") info.disabledBkColor = ParseColor(value, true);
    else if (n == L"itemdisabledimage") info.disabledImage = value;
    else if (n == L"itemlinecolor") info.lineColor = ParseColor(value, true);
    else if (n == L"itemshowhtml") info.showHtml = ParseBool(value);
    else return false;
    return true;
}

// ---------------------------------------------------------------- header

const wchar_t* CListHeaderUI::GetClassName() const { return L"ListHeaderUI"; }

void* CListHeaderUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ListHeader") == 0) return this;
    return CHorizontalLayoutUI::FindInterface(name);
}

SIZE CListHeaderUI::MeasureSize(SIZE available) {
    SIZE size = cxyFixed_;
    if (size.cy == 0) {
        for (CControlUI* c : items_)
            if (c->IsVisible()) size.cy = std::max<LONG>(size.cy, c->MeasureSize(available).cy);
    }
    return size;
}

// ---------------------------------------------------------------- list

CListUI::CListUI() {
    header_ = new CListHeaderUI();
    body_ = new CListBodyUI();
    CContainerUI::AddAt(header_, 0);
    CContainerUI::AddAt(body_, 1);
}

const wchar_t* CListUI::GetClassName() const { return L"ListUI"; }

void* CListUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"List") == 0) return this;
    if (wcscmp(name, L"IList") == 0) return static_cast<IListUI*>(this);
    if (wcscmp(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::FindInterface(name);
}

CContainerUI* CListUI::GetList() const { return body_; }
CControlUI* CListUI::GetItemAt(int index) const { return body_->GetItemAt(index); }
int CListUI::GetItemIndex(CControlUI* control) const { return body_->GetItemIndex(control); }
int CListUI::GetCount() const { return body_->GetCount(); }

void CListUI::Renumber(int from) {
    for (int i = std::max(from, 0); i < body_->GetCount(); ++i) {
        auto* item = static_cast<IListItemUI*>(body_->GetItemAt(i)->FindInterface(L"ListItem"));
        if (item) item->SetIndex(i);
    }
}

bool CListUI::SetItemIndex(CControlUI* control, int index) {
    int from = body_->GetItemIndex(control);
    if (from < 0) return false;
    CControlUI* selected = body_->GetItemAt(curSel_);
    if (!body_->SetItemIndex(control, index)) return false;
    Renumber(std::min(from, index));
    if (selected) curSel_ = body_->GetItemIndex(selected);
    return true;
}

bool CListUI::Add(CControlUI* control) { return AddAt(control, body_->GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
    if (!control) return false;
    if (void* h = control->FindInterface(L"ListHeader")) {
        // A header from the markup takes the place of the empty built-in one.
        if (h == header_ || header_->GetCount() != 0) return false;
        CContainerUI::Remove(header_);
        header_ = static_cast<CListHeaderUI*>(h);
        return CContainerUI::AddAt(control, 0);
    }
    if (wcsstr(control->GetClassName(), L"ListHeaderItemUI")) return header_->Add(control);
    if (index < 0 || index > body_->GetCount()) return false;
    if (!body_->AddAt(control, index)) return false;
    if (auto* item = static_cast<IListItemUI*>(control->FindInterface(L"ListItem"))) item->SetOwner(this);
    Renumber(index);
    if (curSel_ >= index) ++curSel_;
    return true;
}

bool CListUI::Remove(CControlUI* control) {
    int index = body_->GetItemIndex(control);
    if (index < 0) {
        if (header_->GetItemIndex(control) >= 0) return header_->Remove(control);
        return false;
    }
    return RemoveAt(index);
}

bool CListUI::RemoveAt(int index) {
    if (!body_->RemoveAt(index)) return false;
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
    Renumber(index);
    return true;
}

void CListUI::RemoveAll() {
    curSel_ = -1;
    body_->RemoveAll();
}

int CListUI::FindSelectable(int index, int step) const {
    for (int i = index; i >= 0 && i < body_->GetCount(); i += step) {
        CControlUI* c = body_->GetItemAt(i);
        if (c->IsVisible() && c->IsEnabled() && c->FindInterface(L"ListItem")) return i;
    }
    return -1;
}

bool CListUI::SelectItem(int index, bool takeFocus) {
    if (index == curSel_) return true;
    int old = curSel_;
    if (old >= 0) {
        CControlUI* c = body_->GetItemAt(old);
        auto* item = c ? static_cast<IListItemUI*>(c->FindInterface(L"ListItem")) : nullptr;
        if (item) item->Select(false);
        curSel_ = -1;
    }
    if (index < 0) return false;
    CControlUI* c = body_->GetItemAt(index);
    if (!c || !c->IsVisible() || !c->IsEnabled()) return false;
    auto* item = static_cast<IListItemUI*>(c->FindInterface(L"ListItem"));
    if (!item) return false;
    curSel_ = index;
    item->Select(true);
    EnsureVisible(index);
    if (takeFocus) c->SetFocus();
    if (manager_) manager_->SendNotify(this, L"itemselect", static_cast<WPARAM>(index), static_cast<LPARAM>(old));
    return true;
}

void CListUI::EnsureVisible(int index) {
    CControlUI* c = body_->GetItemAt(index);
    if (!c) return;
    CScrollBarUI* h = body_->GetHorizontalScrollBar();
    ScrollIntoView(*body_, c->GetPosition(), h && h->IsVisible() ? h->GetFixedHeight() : 0);
}

void CListUI::SetPosition(RECT rc) {
    CControlUI::SetPosition(rc);
    RECT inner = InsetRect(rcItem_, rcInset_);
    // A header without items takes no room; a hidden one is still placed so
    // that its items give the columns.
    int headerHeight = 0;
    if (header_->GetCount() > 0) {
        SIZE available = {inner.right - inner.left, inner.bottom - inner.top};
        headerHeight = std::min<int>(header_->MeasureSize(available).cy, available.cy);
        header_->SetPosition(RECT{inner.left, inner.top, inner.right, inner.top + headerHeight});
        if (!header_->IsVisible()) headerHeight = 0;
    } else {
        header_->SetPosition(RECT{inner.left, inner.top, inner.right, inner.top});
    }
    body_->SetPosition(RECT{inner.left, inner.top + headerHeight, inner.right, inner.bottom});
    info_.columns = std::min(header_->GetCount(), kMaxListColumns);
    for (int i = 0; i < info_.columns; ++i) {
        CControlUI* c = header_->GetItemAt(i);
        info_.column[i] = c->IsVisible() ? c->GetPosition() : RECT{0, 0, 0, 0};
    }
}

void CListUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    int count = body_->GetCount();
    switch (event.kind) {
    case UIEVENT_KEYDOWN:
        switch (event.key) {
        case VK_UP: SelectItem(FindSelectable(curSel_ - 1, -1), true); return;
        case VK_DOWN: SelectItem(FindSelectable(curSel_ + 1, 1), true); return;
        case VK_PRIOR: SelectItem(FindSelectable(std::max(curSel_ - 10, 0), 1), true); return;
        case VK_NEXT: SelectItem(FindSelectable(std::min(curSel_ + 10, count - 1), -1), true); return;
        case VK_HOME: SelectItem(FindSelectable(0, 1), true); return;
        case VK_END: SelectItem(FindSelectable(count - 1, -1), true); return;
        default: break;
        }
        break;
    case UIEVENT_SCROLLWHEEL:
        if (scrollSelect_) {
            if (event.wParam == 0) SelectItem(FindSelectable(curSel_ - 1, -1), true);
            else SelectItem(FindSelectable(curSel_ + 1, 1), true);
        } else {
            if (event.wParam == 0) body_->LineUp();
            else body_->LineDown();
        }
        return;
    default:
        break;
    }
    CVerticalLayoutUI::HandleEvent(event);
}

SIZE CListUI::GetScrollPos() const { return body_->GetScrollPos(); }
SIZE CListUI::GetScrollRange() const { return body_->GetScrollRange(); }
void CListUI::SetScrollPos(SIZE pos) { body_->SetScrollPos(pos); }
void CListUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
    body_->EnableScrollBar(enableVertical, enableHorizontal);
}
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return body_->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return body_->GetHorizontalScrollBar(); }

void CListUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    std::wstring n(name);
    if (n == L"vscrollbar" || n == L"hscrollbar" || n == L"vscrollbarstyle" || n == L"hscrollbarstyle") {
        body_->ApplyAttribute(name, value);
    } else if (n == L"header") {
        header_->SetVisible(wcscmp(value, L"hidden") != 0);
    } else if (n == L"headerbkimage") {
        header_->SetBkImage(value);
    } else if (n == L"scrollselect") {
        scrollSelect_ = ParseBool(value);
    } else if (n == L"multiexpanding") {
        info_.multiExpandable = ParseBool(value);
    } else if (ApplyListInfoAttribute(info_, name, value)) {
        Invalidate();
    } else {
        CVerticalLayoutUI::ApplyAttribute(name, value);
    }
}

// ---------------------------------------------------------------- header item

CListHeaderItemUI::CListHeaderItemUI() = default;

const wchar_t* CListHeaderItemUI::GetClassName() const { return L"ListHeaderItemUI"; }

void* CListHeaderItemUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ListHeaderItem") == 0) return this;
    return CControlUI::FindInterface(name);
}

SIZE CListHeaderItemUI::MeasureSize(SIZE available) {
    (void)available;
    return FixedSizeOrFontLine(manager_, cxyFixed_, font_, 14);
}

RECT CListHeaderItemUI::SeparatorRect() const {
    RECT rc = rcItem_;
    if (sepWidth_ >= 0) rc.left = rc.right - sepWidth_;
    else rc.right = rc.left - sepWidth_;
    return rc;
}

void CListHeaderItemUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    if (TrackHot(*this, event, hot_)) return;
    switch (event.kind) {
    case UIEVENT_SETCURSOR: {
        RECT sep = SeparatorRect();
        bool onSep = dragable_ && PtInRect(&sep, event.mousePoint);
        ::SetCursor(LoadCursorW(nullptr, onSep || dragging_ ? IDC_SIZEWE : IDC_ARROW));
        return;
    }
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
        RECT sep = SeparatorRect();
        if (dragable_ && PtInRect(&sep, event.mousePoint)) {
            dragging_ = true;
            lastMouse_ = event.mousePoint;
        } else {
            pushed_ = true;
        }
        Invalidate();
        return;
    }
    case UIEVENT_BUTTONUP:
        if (dragging_) {
            dragging_ = false;
            RequestParentLayout();
        } else if (pushed_) {
            pushed_ = false;
            Invalidate();
            if (PtInRect(&rcItem_, event.mousePoint) && manager_) manager_->SendNotify(this, L"headerclick");
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (dragging_) {
            int dx = event.mousePoint.x - lastMouse_.x;
            lastMouse_ = event.mousePoint;
            int width = GetWidth() + (sepWidth_ >= 0 ? dx : -dx);
            if (width < std::max(GetMinWidth(), 1)) width = std::max(GetMinWidth(), 1);
            SetFixedWidth(width);
        }
        return;
    default:
        break;
    }
    CControlUI::HandleEvent(event);
}

void CListHeaderItemUI::PaintStatusImage(HDC hdc) {
    const CUIString& image = images_.Pick(false, pushed_, hot_, focused_);
    if (!image.empty()) DrawImage(hdc, image);
    if (!sepImage_.empty()) {
        RECT sep = SeparatorRect();
        wchar_t modify[64];
        swprintf(modify, 64, L"dest='%d,%d,%d,%d'", static_cast<int>(sep.left - rcItem_.left),
                 static_cast<int>(sep.top - rcItem_.top), static_cast<int>(sep.right - rcItem_.left),
                 static_cast<int>(sep.bottom - rcItem_.top));
        DrawImage(hdc, sepImage_, modify);
    }
}

void CListHeaderItemUI::PaintText(HDC hdc) {
    if (text_.empty()) return;
    RECT rc = {rcItem_.left + textPadding_.left, rcItem_.top + textPadding_.top, rcItem_.right - textPadding_.right,
               rcItem_.bottom - textPadding_.bottom};
    DWORD color = ResolveTextColor(manager_, textColor_, !IsEnabled());
    if (showHtml_) {
        FormattedDrawParams params;
        params.color = color;
        params.font = font_;
        params.style = textStyle_;
        DrawFormattedText(hdc, manager_, rc, text_, params);
    } else {
        Render::DrawPlainText(hdc, manager_, rc, text_, color, font_, textStyle_ | DT_SINGLELINE);
    }
}

void CListHeaderItemUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!value) value = L"";
    std::wstring n(name);
    if (n == L"dragable") dragable_ = ParseBool(value);
    else if (n == L"sepwidth") sepWidth_ = static_cast<int>(ParseInt(value));
    else if (n == L"align") textStyle_ = ApplyAlignWords(textStyle_, value);
    else if (n == L"endellipsis") textStyle_ = ApplyEndEllipsis(textStyle_, value);
    else if (n == L"font") font_ = static_cast<int>(ParseInt(value));
    else if (n == L"textcolor") textColor_ = ParseColor(value, true);
    else if (n == L"textpadding") textPadding_ = ParseRect(value);
    else if (n == L"showhtml") showHtml_ = ParseBool(value);
    else if (n == L"normalimage") images_.normal = value;
    else if (n == L"hotimage") images_.hot = value;
    else if (n == L"pushedimage") images_.pushed = value;
    else if (n == L"focusedimage") images_.focused = value;
    else if (n == L"sepimage") sepImage_ = value;
    else {
        CControlUI::ApplyAttribute(name, value);
        return;
    }
    Invalidate();
}

}  // namespace UiKit
