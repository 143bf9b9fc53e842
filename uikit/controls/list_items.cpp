#include "uikit/controls/list_items.h"

#include <cwchar>

#include "uikit/controls/control_helpers.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

namespace {

bool IsMouseEvent(const UIEvent& e) { return e.kind > UIEVENT__MOUSEBEGIN && e.kind < UIEVENT__MOUSEEND; }

IListOwnerUI* OwnerOf(CControlUI* owner) {
    return owner ? static_cast<IListOwnerUI*>(owner->FindInterface(L"IListOwner")) : nullptr;
}

}  // namespace

void DrawListItemBackground(CControlUI* item, HDC hdc, IListOwnerUI* owner, int index, bool selected, bool hot) {
    if (!owner) return;
    const UIListInfo* info = owner->GetListInfo();
    if (!info) return;
    bool enabled = item->IsEnabled();
    if (!enabled && !info->disabledImage.empty() && item->DrawImage(hdc, info->disabledImage)) return;
    if (selected && !info->selectedImage.empty() && item->DrawImage(hdc, info->selectedImage)) return;
    if (hot && !info->hotImage.empty() && item->DrawImage(hdc, info->hotImage)) return;
    bool evenRow = !info->alternateBk || index % 2 == 0;
    bool drew = false;
    if (!item->GetBkImage().empty()) {
        if (evenRow) drew = item->DrawImage(hdc, item->GetBkImage());
    } else if (!info->bkImage.empty()) {
        if (evenRow) drew = item->DrawImage(hdc, info->bkImage);
    }
    if (drew) return;
    DWORD color;
    if (item->GetUserData() == L"seperator") {
        color = item->GetBkColor();
    } else {
        color = evenRow ? info->bkColor : 0;
        if (hot) color = info->hotBkColor;
        if (selected) color = info->selectedBkColor;
        if (!enabled) color = info->disabledBkColor;
    }
    const RECT& rc = item->GetPosition();
    if (color != 0) Render::FillColor(hdc, rc, color);
    if (info->lineColor != 0) {
        Render::DrawLine(hdc, POINT{rc.left, rc.bottom - 1}, POINT{rc.right, rc.bottom - 1}, 1, info->lineColor);
    }
}

// ---------------------------------------------------------------- item base

template <class Base>
void* CListItemBase<Base>::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
    return Base::FindInterface(name);
}

template <class Base>
void CListItemBase<Base>::SetOwner(CControlUI* owner) {
    owner_ = OwnerOf(owner);
}

template <class Base>
bool CListItemBase<Base>::Select(bool selected) {
    if (!this->IsEnabled() && selected) return false;
    selected_ = selected;
    this->Invalidate();
    return true;
}

template <class Base>
bool CListItemBase<Base>::Expand(bool expand) {
    (void)expand;
    return false;
}

template <class Base>
bool CListItemBase<Base>::Activate() {
    if (!Base::Activate()) return false;
    if (this->manager_) this->manager_->SendNotify(this, L"itemactivate");
    return true;
}

template <class Base>
void CListItemBase<Base>::SetVisible(bool visible) {
    Base::SetVisible(visible);
    if (!this->IsVisible() && selected_ && owner_) {
        selected_ = false;
        owner_->SelectItem(-1);
    }
}

template <class Base>
void CListItemBase<Base>::SetEnabled(bool enabled) {
    Base::SetEnabled(enabled);
    if (!enabled) hot_ = false;
}

template <class Base>
void CListItemBase<Base>::ClickSelect(const wchar_t* notify) {
    if (this->manager_) this->manager_->SendNotify(this, notify);
    if (owner_) owner_->SelectItem(index_, true);
}

template <class Base>
void CListItemBase<Base>::HandleEvent(UIEvent& event) {
    if (!this->IsMouseEnabled() && IsMouseEvent(event)) {
        if (owner_) owner_->DoEvent(event);
        else Base::HandleEvent(event);
        return;
    }
    if (HandleItemMouse(event)) return;
    if (TrackHot(*this, event, hot_)) return;
    switch (event.kind) {
    case UIEVENT_DBLCLICK:
        if (this->IsEnabled()) Activate();
        return;
    case UIEVENT_KEYDOWN:
        if (this->IsEnabled() && event.key == VK_RETURN) {
            Activate();
            return;
        }
        if (owner_) {
            owner_->DoEvent(event);
            return;
        }
        break;
    case UIEVENT_SCROLLWHEEL:
        if (owner_) {
            owner_->DoEvent(event);
            return;
        }
        break;
    default:
        break;
    }
    Base::HandleEvent(event);
}

template <class Base>
void CListItemBase<Base>::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (wcscmp(name, L"selected") == 0) {
        if (ParseBool(value ? value : L"")) {
            if (owner_) owner_->SelectItem(index_);
            else Select(true);
        }
    } else {
        Base::ApplyAttribute(name, value);
    }
}

template <class Base>
void CListItemBase<Base>::PaintStatusImage(HDC hdc) {
    DrawListItemBackground(this, hdc, owner_, index_, selected_, hot_);
}

template class CListItemBase<CControlUI>;
template class CListItemBase<CContainerUI>;

// ---------------------------------------------------------------- element

const wchar_t* CListElementUI::GetClassName() const { return L"ListElementUI"; }

void* CListElementUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ListElement") == 0) return this;
    return CListItemBase::FindInterface(name);
}

DWORD CListElementUI::ItemTextColor() const {
    if (!owner_) return ResolveTextColor(manager_, 0, !IsEnabled());
    const UIListInfo* info = owner_->GetListInfo();
    if (!IsEnabled()) return info->disabledTextColor;
    if (selected_) return info->selectedTextColor;
    if (hot_) return info->hotTextColor;
    return info->textColor;
}

// ---------------------------------------------------------------- label element

const wchar_t* CListLabelElementUI::GetClassName() const { return L"ListLabelElementUI"; }

void* CListLabelElementUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ListLabelElement") == 0) return this;
    return CListElementUI::FindInterface(name);
}

SIZE CListLabelElementUI::MeasureSize(SIZE available) {
    (void)available;
    if (!owner_) return FixedSizeOrFontLine(manager_, cxyFixed_, -1, 8);
    const UIListInfo* info = owner_->GetListInfo();
    return FixedSizeOrFontLine(manager_, cxyFixed_, info->font, 8 + info->textPadding.top + info->textPadding.bottom);
}

bool CListLabelElementUI::HandleItemMouse(UIEvent& event) {
    // Either button selects the row and tells it as a click.
    if (IsEnabled() && (event.kind == UIEVENT_BUTTONDOWN || event.kind == UIEVENT_RBUTTONDOWN)) {
        ClickSelect(L"itemclick");
        return true;
    }
    return event.kind == UIEVENT_BUTTONUP;
}

void CListLabelElementUI::PaintText(HDC hdc) { DrawItemText(hdc, rcItem_); }

void CListLabelElementUI::DrawItemText(HDC hdc, const RECT& item) {
    if (text_.empty() || !owner_) return;
    const UIListInfo* info = owner_->GetListInfo();
    RECT rc = {item.left + info->textPadding.left, item.top + info->textPadding.top,
               item.right - info->textPadding.right, item.bottom - info->textPadding.bottom};
    if (info->showHtml) {
        FormattedDrawParams params;
        params.color = ItemTextColor();
        params.font = info->font;
        params.style = info->textStyle | DT_SINGLELINE;
        DrawFormattedText(hdc, manager_, rc, text_, params);
    } else {
        Render::DrawPlainText(hdc, manager_, rc, text_, ItemTextColor(), info->font, info->textStyle | DT_SINGLELINE);
    }
}

// ---------------------------------------------------------------- text element

const wchar_t* CListTextElementUI::GetClassName() const { return L"ListTextElementUI"; }

void* CListTextElementUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ListTextElement") == 0) return this;
    return CListLabelElementUI::FindInterface(name);
}

UINT CListTextElementUI::GetControlFlags() const {
    return UIFLAG_WANTRETURN | ((IsEnabled() && !links_.empty()) ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u);
}

CUIString CListTextElementUI::GetText(int column) const {
    if (column >= 0 && column < static_cast<int>(texts_.size()) && !texts_[column].empty()) return texts_[column];
    return column == 0 ? text_ : CUIString();
}

void CListTextElementUI::SetText(int column, const CUIString& text) {
    if (column < 0 || column >= kMaxListColumns) return;
    if (static_cast<int>(texts_.size()) <= column) texts_.resize(column + 1);
    texts_[column] = text;
    Invalidate();
}

int CListTextElementUI::LinkAt(POINT pt) const {
    for (const TextLink& link : links_)
        if (PtInRect(&link.rect, pt)) return link.number;
    return -1;
}

void CListTextElementUI::HandleEvent(UIEvent& event) {
    if (IsMouseEnabled() && IsEnabled()) {
        int link = LinkAt(event.mousePoint);
        if (event.kind == UIEVENT_SETCURSOR) {
            ::SetCursor(LoadCursorW(nullptr, link >= 0 ? IDC_HAND : IDC_ARROW));
            return;
        }
        if (event.kind == UIEVENT_BUTTONUP && link >= 0) {
            if (manager_) manager_->SendNotify(this, L"link", static_cast<WPARAM>(link));
            return;
        }
        if (event.kind == UIEVENT_MOUSEMOVE && link != hotLink_) {
            hotLink_ = link;
            Invalidate();
        }
    }
    CListLabelElementUI::HandleEvent(event);
}

void CListTextElementUI::DrawItemText(HDC hdc, const RECT& item) {
    links_.clear();
    if (!owner_) return;
    const UIListInfo* info = owner_->GetListInfo();
    int columns = info->columns > 0 ? info->columns : 1;
    DWORD color = ItemTextColor();
    for (int i = 0; i < columns; ++i) {
        CUIString text = GetText(i);
        if (text.empty()) continue;
        RECT rc = item;
        if (info->columns > 0) {
            rc.left = info->column[i].left;
            rc.right = info->column[i].right;
        }
        rc.left += info->textPadding.left;
        rc.top += info->textPadding.top;
        rc.right -= info->textPadding.right;
        rc.bottom -= info->textPadding.bottom;
        if (info->showHtml) {
            FormattedDrawParams params;
            params.color = color;
            params.font = info->font;
            params.style = info->textStyle | DT_SINGLELINE;
            params.hotLink = hotLink_;
            std::vector<TextLink> links;
            DrawFormattedText(hdc, manager_, rc, text, params, &links);
            // Link numbers run across the columns of the row.
            int base = links_.empty() ? 0 : links_.back().number + 1;
            for (TextLink& l : links) {
                l.number += base;
                links_.push_back(l);
            }
        } else {
            Render::DrawPlainText(hdc, manager_, rc, text, color, info->font, info->textStyle | DT_SINGLELINE);
        }
    }
}

// ---------------------------------------------------------------- container element

const wchar_t* CListContainerElementUI::GetClassName() const { return L"ListContainerElementUI"; }

void* CListContainerElementUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"ListContainerElement") == 0) return this;
    return CListItemBase::FindInterface(name);
}

bool CListContainerElementUI::HandleItemMouse(UIEvent& event) {
    switch (event.kind) {
    case UIEVENT_BUTTONDOWN:
        if (IsEnabled()) ClickSelect(L"itemclick");
        return true;
    case UIEVENT_RBUTTONDOWN:
        if (IsEnabled()) ClickSelect(L"menu");
        return true;
    case UIEVENT_BUTTONUP:
        return true;
    case UIEVENT_MOUSELEAVE:
        // Moving onto a child control is no leaving of the row.
        return PtInRect(&rcItem_, event.mousePoint) != FALSE;
    default:
        return false;
    }
}

}  // namespace UiKit
