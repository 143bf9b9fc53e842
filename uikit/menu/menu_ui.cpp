#include "uikit/menu/menu_ui.h"

#include <cwchar>
#include <cwctype>

#include "uikit/controls/text_render.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"
#include "uikit/menu/menu_observer.h"
#include "uikit/menu/menu_wnd.h"

namespace UiKit {
namespace {

bool IsMenuItem(CControlUI* control) {
    return control && control->FindInterface(L"MenuElement") != nullptr;
}

bool SameNoCase(const wchar_t* a, const wchar_t* b) {
    for (; *a && *b; ++a, ++b)
        if (towlower(*a) != towlower(*b)) return false;
    return *a == *b;
}

HWND TopMostAncestor(HWND window) {
    HWND desktop = GetDesktopWindow();
    for (HWND up = GetParent(window); up && up != desktop; up = GetParent(up)) window = up;
    return window;
}

}  // namespace

// CMenuUI

const wchar_t* CMenuUI::GetClassName() const { return L"MenuUI"; }

void* CMenuUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Menu") == 0) return static_cast<CMenuUI*>(this);
    return CVerticalLayoutUI::FindInterface(name);
}

bool CMenuUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CMenuUI::AddAt(CControlUI* control, int index) {
    if (!CVerticalLayoutUI::AddAt(control, index)) return false;
    Renumber();
    return true;
}

bool CMenuUI::Remove(CControlUI* control) {
    CControlUI* selected = GetItemAt(curSel_);
    if (!CVerticalLayoutUI::Remove(control)) return false;
    if (selected == control) curSel_ = -1;
    else if (selected) curSel_ = GetItemIndex(selected);
    Renumber();
    return true;
}

void CMenuUI::RemoveAll() {
    curSel_ = -1;
    CVerticalLayoutUI::RemoveAll();
}

void CMenuUI::Renumber() {
    for (int i = 0; i < GetCount(); ++i)
        if (IsMenuItem(GetItemAt(i))) static_cast<CMenuElementUI*>(GetItemAt(i))->SetIndex(i);
}

bool CMenuUI::SelectItem(int index) {
    if (index == curSel_) return true;
    int old = curSel_;
    if (CControlUI* previous = GetItemAt(curSel_); IsMenuItem(previous))
        static_cast<CMenuElementUI*>(previous)->Select(false);
    curSel_ = -1;
    CControlUI* control = GetItemAt(index);
    if (!IsMenuItem(control) || !control->IsVisible() || !control->IsEnabled()) return false;
    static_cast<CMenuElementUI*>(control)->Select(true);
    curSel_ = index;
    if (manager_) manager_->SendNotify(this, L"itemselect", index, old);
    return true;
}

SIZE CMenuUI::MeasureSize(SIZE available) {
    SIZE total = {0, 0};
    for (CControlUI* item : items_) {
        if (!item->IsVisible()) continue;
        SIZE sz = item->MeasureSize(available);
        if (sz.cx > total.cx) total.cx = sz.cx;
        total.cy += sz.cy;
    }
    total.cy += rcInset_.top + rcInset_.bottom;
    return total;
}

void CMenuUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!name) return;
    if (!value) value = L"";
    std::wstring n(name);
    MenuItemAppearance& a = appearance_;
    if (n == L"itemfont") a.font = static_cast<int>(ParseInt(value));
    else if (n == L"itemalign") a.textStyle = ApplyAlignWords(a.textStyle, value);
    else if (n == L"itemendellipsis") a.textStyle = ApplyEndEllipsis(a.textStyle, value);
    else if (n == L"itemtextpadding") a.textPadding = ParseRect(value);
    else if (n == L"itemtextcolor") a.textColor = ParseColor(value, true);
    else if (n == L"itembkcolor") a.bkColor = ParseColor(value, true);
    else if (n == L"itemselectedtextcolor") a.selectedTextColor = ParseColor(value, true);
    else if (n == L"itemselectedbkcolor") a.selectedBkColor = ParseColor(value, true);
    else if (n == L"itemhottextcolor") a.hotTextColor = ParseColor(value, true);
    else if (n == L"itemhotbkcolor") a.hotBkColor = ParseColor(value, true);
    else if (n == L"itemdisabledtextcolor") a.disabledTextColor = ParseColor(value, true);
    else if (n == L"itemdisabledbkcolor") a.disabledBkColor = ParseColor(value, true);
    else if (n == L"itemlinecolor") a.lineColor = ParseColor(value, true);
    else if (n == L"itemshowhtml") a.showHtml = ParseBool(value);
    else if (n == L"header") return;  // a menu has no header to show
    else {
        CVerticalLayoutUI::ApplyAttribute(name, value);
        return;
    }
    Invalidate();
}

// CMenuElementUI

CMenuElementUI::CMenuElementUI() { cxyFixed_.cy = 20; }

CMenuElementUI::~CMenuElementUI() {
    // The sub-menu's items live in its window while it is open; it gives
    // them back to nobody once this item is gone.
    if (subMenu_) subMenu_->ForgetOwner();
}

const wchar_t* CMenuElementUI::GetClassName() const { return L"MenuElementUI"; }

void* CMenuElementUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"MenuElement") == 0) return static_cast<CMenuElementUI*>(this);
    if (wcscmp(name, L"ListItem") == 0) return static_cast<CMenuElementUI*>(this);
    return CContainerUI::FindInterface(name);
}

CMenuUI* CMenuElementUI::GetOwnerMenu() const {
    for (CControlUI* up = parent_; up; up = up->GetParent())
        if (void* menu = up->FindInterface(L"Menu")) return static_cast<CMenuUI*>(menu);
    return nullptr;
}

const MenuItemAppearance& CMenuElementUI::Look() const {
    static const MenuItemAppearance kDefaults;
    CMenuUI* menu = GetOwnerMenu();
    return menu ? menu->Appearance() : kDefaults;
}

void CMenuElementUI::Select(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    Invalidate();
}

bool CMenuElementUI::HasSubItems() const {
    for (CControlUI* item : items_)
        if (IsMenuItem(item)) return true;
    return false;
}

bool CMenuElementUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CMenuElementUI::AddAt(CControlUI* control, int index) {
    if (IsMenuItem(control)) control->SetVisible(false);
    return CContainerUI::AddAt(control, index);
}

bool CMenuElementUI::Activate() {
    if (!CContainerUI::Activate()) return false;
    if (subMenu_) return true;
    if (HasSubItems()) {
        OpenSubMenu();
    } else {
        // Enter or a double click closes the menus without a choice.
        GetContextMenuObserver().RBroadcast(ContextMenuParam{1, nullptr});
    }
    return true;
}

void CMenuElementUI::CloseSubMenusOfMyMenu() {
    if (!manager_) return;
    GetContextMenuObserver().RBroadcast(ContextMenuParam{2, manager_->GetPaintWindow()});
}

void CMenuElementUI::OpenSubMenu() {
    if (!manager_ || subMenu_) return;
    CloseSubMenusOfMyMenu();
    for (CControlUI* item : items_)
        if (IsMenuItem(item)) item->SetVisible(true);
    if (CMenuUI* menu = GetOwnerMenu()) menu->SelectItem(index_);
    subMenu_ = new CMenuWnd(manager_->GetPaintWindow());
    subMenu_->Init(this, CUIString(), nullptr, POINT{0, 0});
}

void CMenuElementUI::OnSubMenuClosed() {
    subMenu_ = nullptr;
    for (CControlUI* item : items_)
        if (IsMenuItem(item)) item->SetVisible(false);
    Invalidate();
}

void CMenuElementUI::Choose() {
    if (!manager_) return;
    CUIString name = GetName();
    HWND top = TopMostAncestor(manager_->GetPaintWindow());
    GetContextMenuObserver().RBroadcast(ContextMenuParam{1, nullptr});
    auto* copy = new wchar_t[name.size() + 1];
    wmemcpy(copy, name.c_str(), name.size() + 1);
    // Nobody would free the copy of a message that was never posted.
    if (!::PostMessageW(top, MENU_ITEM_CHOSEN, 0, reinterpret_cast<LPARAM>(copy))) delete[] copy;
}

void CMenuElementUI::HandleEvent(UIEvent& event) {
    if (!IsMouseEnabled() && event.kind > UIEVENT__MOUSEBEGIN && event.kind < UIEVENT__MOUSEEND) {
        if (parent_) parent_->HandleEvent(event);
        return;
    }
    switch (event.kind) {
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            hot_ = true;
            Invalidate();
        }
        if (subMenu_) return;
        if (HasSubItems()) {
            OpenSubMenu();
        } else {
            CloseSubMenusOfMyMenu();
            if (CMenuUI* menu = GetOwnerMenu()) menu->SelectItem(index_);
        }
        return;
    case UIEVENT_MOUSELEAVE:
        hot_ = false;
        Invalidate();
        return;
    case UIEVENT_BUTTONDOWN:
        if (!IsEnabled()) return;
        if (manager_) manager_->SendNotify(this, L"itemclick");
        if (CMenuUI* menu = GetOwnerMenu()) menu->SelectItem(index_);
        if (subMenu_) return;
        if (HasSubItems()) OpenSubMenu();
        else Choose();
        return;
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) Activate();
        return;
    case UIEVENT_KEYDOWN:
        if (IsEnabled() && event.key == VK_RETURN) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return;
    default:
        break;
    }
    CContainerUI::HandleEvent(event);
}

SIZE CMenuElementUI::MeasureSize(SIZE available) {
    const MenuItemAppearance& look = Look();
    RECT pad = look.textPadding;
    SIZE result = {0, 0};
    HDC hdc = manager_ ? manager_->GetPaintDC() : nullptr;
    if (hdc) {
        int width = (cxyFixed_.cx > available.cx ? cxyFixed_.cx : available.cx) - pad.left - pad.right;
        RECT rc = {0, 0, width > 0 ? width : 0, 9999};
        UINT style = (look.textStyle | DT_SINGLELINE | DT_CALCRECT) & ~(DT_END_ELLIPSIS | DT_WORDBREAK);
        if (look.showHtml) {
            FormattedDrawParams params;
            params.font = look.font;
            params.style = style;
            params.measureOnly = true;
            SIZE sz = DrawFormattedText(hdc, manager_, rc, text_, params);
            rc.right = rc.left + sz.cx;
            rc.bottom = rc.top + sz.cy;
        } else {
            Render::DrawPlainText(hdc, manager_, rc, text_, look.textColor, look.font, style);
        }
        // DrawText may report less than the glyphs take (overhangs).
        HGDIOBJ old = SelectObject(hdc, manager_->GetFont(look.font));
        SIZE extent = {0, 0};
        GetTextExtentPoint32W(hdc, text_.c_str(), static_cast<int>(text_.size()), &extent);
        SelectObject(hdc, old);
        int textWidth = rc.right - rc.left;
        if (extent.cx > textWidth) textWidth = extent.cx;
        result.cx = pad.left + pad.right + textWidth + 20;
        result.cy = pad.top + pad.bottom + (rc.bottom - rc.top);
    }
    if (result.cx < cxyFixed_.cx) result.cx = cxyFixed_.cx;
    if (cxyFixed_.cy != 0) result.cy = cxyFixed_.cy;
    return result;
}

void CMenuElementUI::Paint(HDC hdc, const RECT& paint) {
    RECT clip;
    if (!IntersectRect(&clip, &paint, &rcItem_)) return;
    // The item itself, then the controls it holds that are not sub-items.
    CControlUI::Paint(hdc, paint);
    for (CControlUI* item : items_)
        if (item->IsVisible() && !IsMenuItem(item)) item->Paint(hdc, clip);
}

void CMenuElementUI::PaintBkColor(HDC hdc) {
    const MenuItemAppearance& look = Look();
    DWORD color = look.bkColor;
    if (hot_) color = look.hotBkColor;
    if (selected_) color = look.selectedBkColor;
    if (!IsEnabled()) color = look.disabledBkColor;
    if (userData_ == L"seperator") color = bkColor_;
    if (color != 0) Render::FillColor(hdc, rcItem_, color);
    if (look.lineColor != 0) {
        POINT from = {rcItem_.left, rcItem_.bottom - 1};
        POINT to = {rcItem_.right, rcItem_.bottom - 1};
        Render::DrawLine(hdc, from, to, 1, look.lineColor);
    }
}

void CMenuElementUI::PaintText(HDC hdc) {
    const MenuItemAppearance& look = Look();
    DWORD color = look.textColor;
    if (hot_) color = look.hotTextColor;
    if (selected_) color = look.selectedTextColor;
    if (!IsEnabled()) color = look.disabledTextColor;
    color = ResolveTextColor(manager_, color, !IsEnabled());
    RECT rc = rcItem_;
    rc.left += look.textPadding.left;
    rc.top += look.textPadding.top;
    rc.right -= look.textPadding.right;
    rc.bottom -= look.textPadding.bottom;
    UINT style = look.textStyle | DT_SINGLELINE;
    if (look.showHtml) {
        FormattedDrawParams params;
        params.color = color;
        params.font = look.font;
        params.style = style;
        DrawFormattedText(hdc, manager_, rc, text_, params);
    } else {
        Render::DrawPlainText(hdc, manager_, rc, text_, color, look.font, style);
    }
}

void CMenuElementUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (name && wcscmp(name, L"selected") == 0) {
        Select(ParseBool(value ? value : L""));
        return;
    }
    CContainerUI::ApplyAttribute(name, value);
}

// CMenuBuilderCallback

CControlUI* CMenuBuilderCallback::CreateControl(const wchar_t* elementName) {
    if (!elementName) return nullptr;
    if (SameNoCase(elementName, L"Menu")) return new CMenuUI;
    if (SameNoCase(elementName, L"MenuElement")) return new CMenuElementUI;
    return nullptr;
}

}  // namespace UiKit
