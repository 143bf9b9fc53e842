#include "uikit/menu/menu_ui.h"

#include <algorithm>
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

CMenuUI::CMenuUI() { GetHeader()->SetVisible(false); }

const wchar_t* CMenuUI::GetClassName() const { return L"MenuUI"; }

void* CMenuUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Menu") == 0) return static_cast<CMenuUI*>(this);
    return CListUI::FindInterface(name);
}

SIZE CMenuUI::MeasureSize(SIZE available) {
    SIZE total = {0, 0};
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* item = GetItemAt(i);
        if (!item->IsVisible()) continue;
        SIZE sz = item->MeasureSize(available);
        if (sz.cx > total.cx) total.cx = sz.cx;
        total.cy += sz.cy;
    }
    total.cy += rcInset_.top + rcInset_.bottom;
    return total;
}

// CMenuElementUI

CMenuElementUI::CMenuElementUI() { cxyFixed_.cy = 20; }

CMenuElementUI::~CMenuElementUI() {
    // The sub-items live in the sub-menu's window while it is open; they go
    // with that window once this item is gone.
    if (subMenu_) subMenu_->ForgetOwner();
}

const wchar_t* CMenuElementUI::GetClassName() const { return L"MenuElementUI"; }

void* CMenuElementUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"MenuElement") == 0) return static_cast<CMenuElementUI*>(this);
    return CListContainerElementUI::FindInterface(name);
}

const UIListInfo& CMenuElementUI::Look() const {
    static const UIListInfo kDefaults;
    const UIListInfo* info = owner_ ? owner_->GetListInfo() : nullptr;
    return info ? *info : kDefaults;
}

void CMenuElementUI::SelectInMenu() {
    if (owner_) owner_->SelectItem(index_);
}

bool CMenuElementUI::HasSubItems() const {
    for (CControlUI* item : items_)
        if (IsMenuItem(item)) return true;
    return false;
}

bool CMenuElementUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CMenuElementUI::AddAt(CControlUI* control, int index) {
    if (IsMenuItem(control)) control->SetVisible(false);
    return CListContainerElementUI::AddAt(control, index);
}

bool CMenuElementUI::Activate() {
    if (!CContainerUI::Activate()) return false;
    if (subMenu_) return true;
    if (HasSubItems()) OpenSubMenu();
    else GetContextMenuObserver().RBroadcast(ContextMenuParam{1, nullptr});
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
    SelectInMenu();
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
        CListContainerElementUI::HandleEvent(event);
        return;
    }
    switch (event.kind) {
    case UIEVENT_MOUSEENTER:
        CListContainerElementUI::HandleEvent(event);
        if (subMenu_) return;
        if (HasSubItems()) {
            OpenSubMenu();
        } else {
            CloseSubMenusOfMyMenu();
            SelectInMenu();
        }
        return;
    case UIEVENT_BUTTONDOWN:
        if (!IsEnabled()) return;
        // "itemclick" to the menu's own manager and the selection first.
        CListContainerElementUI::HandleEvent(event);
        if (subMenu_) return;
        if (HasSubItems()) OpenSubMenu();
        else Choose();
        return;
    case UIEVENT_RBUTTONDOWN:
    case UIEVENT_MOUSEMOVE:
        return;
    default:
        break;
    }
    CListContainerElementUI::HandleEvent(event);
}

SIZE CMenuElementUI::MeasureSize(SIZE available) {
    const UIListInfo& look = Look();
    RECT pad = look.textPadding;
    SIZE result = {0, 0};
    HDC hdc = manager_ ? manager_->GetPaintDC() : nullptr;
    if (hdc) {
        const int least = std::max(cxyFixed_.cx, cxyMin_.cx);
        int width = (least > available.cx ? least : available.cx) - pad.left - pad.right;
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
    result.cx = std::max<LONG>(result.cx, std::max(cxyFixed_.cx, cxyMin_.cx));
    if (cxyFixed_.cy != 0) result.cy = cxyFixed_.cy;
    return result;
}

void CMenuElementUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (name && wcscmp(name, L"width") == 0) SetMinWidth(static_cast<int>(ParseInt(value ? value : L"")));
    else CListContainerElementUI::ApplyAttribute(name, value);
}

void CMenuElementUI::Paint(HDC hdc, const RECT& paint) {
    RECT clip;
    if (!IntersectRect(&clip, &paint, &rcItem_)) return;
    // The item itself, then the controls it holds that are not sub-items.
    CControlUI::Paint(hdc, paint);
    for (CControlUI* item : items_)
        if (item->IsVisible() && !IsMenuItem(item)) item->Paint(hdc, clip);
}

void CMenuElementUI::PaintText(HDC hdc) {
    const UIListInfo& look = Look();
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

// CMenuBuilderCallback

CControlUI* CMenuBuilderCallback::CreateControl(const wchar_t* elementName) {
    if (!elementName) return nullptr;
    if (SameNoCase(elementName, L"Menu")) return new CMenuUI;
    if (SameNoCase(elementName, L"MenuElement")) return new CMenuElementUI;
    return nullptr;
}

}  // namespace UiKit
