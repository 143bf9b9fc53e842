#include "uikit/controls/combo_wnd.h"

#include <algorithm>

#include "uikit/controls/combo.h"
#include "uikit/controls/control_helpers.h"
#include "uikit/core/scrollbar.h"

namespace UiKit {

CComboWnd::CComboWnd(CComboUI* owner) : owner_(owner), oldSel_(owner->GetCurSel()) {}

RECT CComboWnd::PlaceDropDown(const RECT& combo, SIZE dropBox, int itemsHeight, const RECT& work) {
    int cx = dropBox.cx > 0 ? dropBox.cx : combo.right - combo.left;
    int cy = std::min<int>(itemsHeight + 4, dropBox.cy);
    if (cy < 0) cy = 0;
    RECT rc = {combo.left, combo.bottom, combo.left + cx, combo.bottom + cy};
    if (rc.bottom > work.bottom) {
        rc.top = combo.top - cy;
        rc.bottom = combo.top;
    }
    return rc;
}

CComboWnd* CComboWnd::Open(CComboUI* owner) {
    CUIWindowManager* ownerManager = owner ? owner->GetManager() : nullptr;
    if (!ownerManager || !IsWindow(ownerManager->GetPaintWindow())) return nullptr;
    HWND ownerWindow = ownerManager->GetPaintWindow();

    RECT combo = owner->GetPosition();
    SIZE box = owner->GetDropBoxSize();
    SIZE available = {box.cx > 0 ? box.cx : combo.right - combo.left, box.cy};
    int itemsHeight = 0;
    for (int i = 0; i < owner->GetCount(); ++i) {
        CControlUI* item = owner->GetItemAt(i);
        if (item->IsVisible()) itemsHeight += item->MeasureSize(available).cy;
    }
    MapWindowPoints(ownerWindow, HWND_DESKTOP, reinterpret_cast<POINT*>(&combo), 2);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    RECT work;
    if (GetMonitorInfoW(MonitorFromWindow(ownerWindow, MONITOR_DEFAULTTONEAREST), &mi)) work = mi.rcWork;
    else SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT rc = PlaceDropDown(combo, box, itemsHeight, work);

    auto* wnd = new CComboWnd(owner);
    if (!wnd->Create(ownerWindow, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rc)) {
        delete wnd;
        return nullptr;
    }
    // The owner's caption stays active while the drop-down has the focus.
    HWND top = ownerWindow;
    while (GetParent(top)) top = GetParent(top);
    ::ShowWindow(wnd->GetHWND(), SW_SHOW);
    ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
    return wnd;
}

void CComboWnd::OnCreate() {
    manager_.Init(hwnd_);
    manager_.SetParentResourceManager(owner_->GetManager());
    layout_ = new CVerticalLayoutUI();
    // Styled while attached for the moment, as the builder does, so that the
    // scroll bar finds its default look through the combo's manager.
    layout_->SetManager(&manager_, nullptr, false);
    CUIString defaults = manager_.GetDefaultAttributeList(L"VerticalLayout");
    if (!defaults.empty()) layout_->ApplyAttributeList(defaults.c_str());
    layout_->SetInset(RECT{2, 2, 2, 2});
    layout_->SetBkColor(0xFFFFFFFF);
    layout_->SetBorderColor(0xFF85E4FF);
    layout_->SetBorderSize(2);
    layout_->EnableScrollBar(true, false);
    layout_->ApplyAttributeList(owner_->GetDropBoxAttributeList().c_str());
    layout_->SetManager(nullptr, nullptr, false);
    layout_->SetAutoDestroy(false);
    for (int i = 0; i < owner_->GetCount(); ++i) layout_->Add(owner_->GetItemAt(i));
    manager_.AttachRoot(layout_);
}

void CComboWnd::CloseForDeletedOwner() {
    GiveItemsBack(false);
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void CComboWnd::GiveItemsBack(bool focusCombo) {
    if (itemsBack_) return;
    itemsBack_ = true;
    if (layout_) layout_->RemoveAll();
    CUIWindowManager* ownerManager = owner_->GetManager();
    for (int i = 0; i < owner_->GetCount(); ++i) owner_->GetItemAt(i)->SetManager(ownerManager, owner_, false);
    owner_->wnd_ = nullptr;
    owner_->pushed_ = false;
    if (ownerManager && focusCombo) {
        owner_->SetFocus();
        owner_->Invalidate();
    }
}

void CComboWnd::EnsureVisible(int index) {
    CControlUI* item = owner_->GetItemAt(index);
    if (!layout_ || !item || layout_->GetItemIndex(item) < 0) return;
    ScrollIntoView(*layout_, item->GetPosition(), 0);
}

void CComboWnd::ForwardToCombo(int kind, WPARAM key, WPARAM wheelDown) {
    UIEvent event;
    event.kind = kind;
    event.sender = owner_;
    event.timestamp = GetTickCount();
    event.key = static_cast<wchar_t>(key);
    event.wParam = kind == UIEVENT_SCROLLWHEEL ? wheelDown : key;
    owner_->HandleEvent(event);
    EnsureVisible(owner_->GetCurSel());
}

LRESULT CComboWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        break;
    case WM_DESTROY:
        GiveItemsBack();
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            Close();
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            owner_->SelectItem(oldSel_, true);
            Close();
            return 0;
        }
        ForwardToCombo(UIEVENT_KEYDOWN, wParam, 0);
        return 0;
    case WM_MOUSEWHEEL:
        ForwardToCombo(UIEVENT_SCROLLWHEEL, 0, GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : 0);
        return 0;
    case WM_KILLFOCUS:
        if (hwnd_ != reinterpret_cast<HWND>(wParam)) PostMessage(WM_CLOSE);
        break;
    case WM_LBUTTONUP: {
        LRESULT result = 0;
        manager_.HandleMessage(msg, wParam, lParam, result);
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        CControlUI* hit = manager_.FindControl(pt);
        if (!hit || wcscmp(hit->GetClassName(), L"ScrollBarUI") != 0) PostMessage(WM_CLOSE);
        return 0;
    }
    default:
        break;
    }
    LRESULT result = 0;
    if (manager_.HandleMessage(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CComboWnd::OnNcDestroyed(HWND window) {
    (void)window;
    GiveItemsBack();
    delete this;
}

}  // namespace UiKit
