// CMenuWnd: the popup window of a context menu (or of a sub-menu). It
// builds its list from menu markup, places itself against the monitor's
// work area, and closes with every other open menu through the context
// menu observer. The object deletes itself once its window is gone.
#pragma once
#include <windows.h>

#include "uikit/core/window_manager.h"
#include "uikit/core/window_wnd.h"
#include "uikit/markup/ui_string.h"
#include "uikit/menu/menu_observer.h"

namespace UiKit {

class CMenuUI;
class CMenuElementUI;

// Gives a menu its texts in the program's language once its size is taken
// from the markup's texts. The program installs it; without one a menu
// shows its markup texts.
using MenuTextsHook = void (*)(CUIWindowManager* manager);
void SetMenuTextsHook(MenuTextsHook hook);

class CMenuWnd : public CWindowWnd, public ContextMenuReceiver {
public:
    explicit CMenuWnd(HWND parent = nullptr);

    // Opens the menu: for a root menu (owner null) from the markup source
    // (skinType names the resource type of a numeric source) at point, in
    // screen coordinates; for a sub-menu beside its owner item.
    void Init(CMenuElementUI* owner, const CUIString& source, const wchar_t* skinType, POINT point);

    // 1 closes this menu; 2 closes it when hWnd is one of its ancestors.
    bool Receive(ContextMenuParam param) override;

    CUIWindowManager& Manager() { return manager_; }
    CMenuElementUI* Owner() const { return owner_; }
    // The owner item is being destroyed: its sub-items die with this window.
    void ForgetOwner();

protected:
    const wchar_t* WindowClassName() const override { return L"MenuWnd"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnNcDestroyed(HWND window) override;

private:
    ~CMenuWnd() override = default;
    LRESULT OnCreate();
    bool BuildRootMenu();
    bool BuildSubMenu();
    // Measures the root, places the window and shows it.
    void PlaceAndShow(POINT point);
    void OnKillFocus(HWND gaining);
    void OnSubMenuClose();

    HWND parent_;
    POINT basedPoint_ = {0, 0};
    CMenuElementUI* owner_ = nullptr;
    CMenuUI* layout_ = nullptr;
    CUIString source_;
    CUIString skinType_;
    CUIWindowManager manager_;
};

}  // namespace UiKit
