// The controls of a context menu: the menu list CMenuUI (a list with its
// header hidden), its items CMenuElementUI (list container items), and the
// builder callback that makes them for the markup elements "Menu" and
// "MenuElement".
#pragma once
#include <windows.h>

#include "uikit/controls/list.h"
#include "uikit/controls/list_items.h"
#include "uikit/core/skin_builder.h"

namespace UiKit {

class CMenuWnd;

// Window message posted to the top-level window that opened a menu when an
// item is chosen: wParam 0, lParam a new[]-allocated, zero-terminated copy
// of the item's name that the receiver frees with delete[].
constexpr UINT MENU_ITEM_CHOSEN = WM_USER + 1000;

class CMenuUI : public CListUI {
public:
    CMenuUI();

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    // Widest visible item; heights of the visible items plus the inset's top
    // and bottom (its left and right are not added).
    SIZE MeasureSize(SIZE available) override;
};

class CMenuElementUI : public CListContainerElementUI {
public:
    CMenuElementUI();
    ~CMenuElementUI() override;

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    // Enter or a double click: the sub-menu, or every menu closes without a
    // choice.
    bool Activate() override;

    // The sub-menu window while one is open.
    CMenuWnd* GetSubMenuWindow() const { return subMenu_; }
    bool HasSubItems() const;
    // Called by the sub-menu window when it closes.
    void OnSubMenuClosed();

    // Sub-items (MenuElement children) stay hidden while the sub-menu is
    // closed.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;

    SIZE MeasureSize(SIZE available) override;
    void Paint(HDC hdc, const RECT& paint) override;
    void PaintText(HDC hdc) override;
    void HandleEvent(UIEvent& event) override;
    // "width" is the least width of an item: every item spans its menu,
    // which is as wide as its widest item.
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

private:
    const UIListInfo& Look() const;
    void SelectInMenu();
    void OpenSubMenu();
    // Closes the menus below the one this item is in.
    void CloseSubMenusOfMyMenu();
    void Choose();

    CMenuWnd* subMenu_ = nullptr;
};

class CMenuBuilderCallback : public IDialogBuilderCallback {
public:
    // "Menu" and "MenuElement" without regard to case; nothing else.
    CControlUI* CreateControl(const wchar_t* elementName) override;
};

}  // namespace UiKit
