// The combo's drop-down: a popup window with a manager of its own that
// borrows the combo's items while it is open and gives them back on closing.
#pragma once
#include "uikit/core/layouts.h"
#include "uikit/core/window_manager.h"
#include "uikit/core/window_wnd.h"

namespace UiKit {

class CComboUI;

class CComboWnd : public CWindowWnd {
public:
    // Creates and shows the popup below (or above) the combo. The window
    // deletes itself when it is destroyed.
    static CComboWnd* Open(CComboUI* owner);

    CUIWindowManager& Manager() { return manager_; }
    CVerticalLayoutUI* GetLayout() const { return layout_; }
    void EnsureVisible(int index);
    // For a combo that is going away: returns its items and closes at once.
    void CloseForDeletedOwner();
    // The screen rectangle for a combo at comboScreen, given the height of
    // its items and the work area: below it, or above when there is no room.
    static RECT PlaceDropDown(const RECT& comboScreen, SIZE dropBox, int itemsHeight, const RECT& workArea);

protected:
    const wchar_t* WindowClassName() const override { return L"UiKitComboWnd"; }
    UINT ClassStyle() const override { return CS_DBLCLKS; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnNcDestroyed(HWND window) override;

private:
    explicit CComboWnd(CComboUI* owner);
    void OnCreate();
    void GiveItemsBack(bool focusCombo = true);
    // Hands a key or the wheel to the combo and keeps the selection in view.
    void ForwardToCombo(int kind, WPARAM key, WPARAM wheelDown);

    CComboUI* owner_;
    CUIWindowManager manager_;
    CVerticalLayoutUI* layout_ = nullptr;
    int oldSel_ = -1;
    bool itemsBack_ = false;
};

}  // namespace UiKit
