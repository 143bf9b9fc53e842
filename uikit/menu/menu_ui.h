// The controls of a context menu: the menu list CMenuUI, its items
// CMenuElementUI, and the builder callback that makes them for the markup
// elements "Menu" and "MenuElement".
//
// The menu list carries the item appearance of a list (font, alignment,
// text padding, colours by state) and selects the item under the mouse.
#pragma once
#include <windows.h>

#include "uikit/core/layouts.h"
#include "uikit/markup/skin_builder.h"

namespace UiKit {

class CMenuWnd;
class CMenuElementUI;

// Window message posted to the top-level window that opened a menu when an
// item is chosen: wParam 0, lParam a new[]-allocated, zero-terminated copy
// of the item's name that the receiver frees with delete[].
constexpr UINT MENU_ITEM_CHOSEN = WM_USER + 1000;

struct MenuItemAppearance {
    int font = -1;
    UINT textStyle = DT_VCENTER;
    RECT textPadding = {0, 0, 0, 0};
    DWORD textColor = 0xFF000000;
    DWORD bkColor = 0;
    DWORD selectedTextColor = 0xFF000000;
    DWORD selectedBkColor = 0xFFE6E7EB;
    DWORD hotTextColor = 0xFF000000;
    DWORD hotBkColor = 0xFFE9F5FF;
    DWORD disabledTextColor = 0xFFCCCCCC;
    DWORD disabledBkColor = 0xFFFFFFFF;
    DWORD lineColor = 0;
    bool showHtml = false;
};

class CMenuUI : public CVerticalLayoutUI {
public:
    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    const MenuItemAppearance& Appearance() const { return appearance_; }
    int GetCurSel() const { return curSel_; }
    // Selects the item at index (a visible, enabled menu item) and sends
    // "itemselect"; selecting the selected item again does nothing.
    bool SelectItem(int index);

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;

    // Widest visible item; heights of the visible items plus the inset's top
    // and bottom.
    SIZE MeasureSize(SIZE available) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

private:
    void Renumber();

    MenuItemAppearance appearance_;
    int curSel_ = -1;
};

class CMenuElementUI : public CContainerUI {
public:
    CMenuElementUI();
    ~CMenuElementUI() override;

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;

    CMenuUI* GetOwnerMenu() const;
    int GetIndex() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    bool IsSelected() const { return selected_; }
    void Select(bool selected = true);
    bool IsHot() const { return hot_; }
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
    void PaintBkColor(HDC hdc) override;
    void PaintText(HDC hdc) override;
    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

private:
    const MenuItemAppearance& Look() const;
    void OpenSubMenu();
    // Closes the menus below the one this item is in.
    void CloseSubMenusOfMyMenu();
    void Choose();

    CMenuWnd* subMenu_ = nullptr;
    int index_ = -1;
    bool selected_ = false;
    bool hot_ = false;
};

class CMenuBuilderCallback : public IDialogBuilderCallback {
public:
    // "Menu" and "MenuElement" without regard to case; nothing else.
    CControlUI* CreateControl(const wchar_t* elementName) override;
};

}  // namespace UiKit
