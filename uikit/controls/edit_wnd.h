// CEditWnd: the native EDIT child window laid over a CEditUI while it is
// edited. It superclasses the system class, hands each change back to its
// field and closes itself when it loses the focus.
#pragma once
#include <windows.h>

#include "uikit/core/window_wnd.h"

namespace UiKit {

class CEditUI;

class CEditWnd : public CWindowWnd {
public:
    // Creates the window over the owner field and gives it the focus;
    // nullptr when it cannot be created.
    static CEditWnd* Open(CEditUI* owner);
    // The field is going away: the window closes without calling it again.
    void Detach();
    // Posts WM_CLOSE (once); the window goes after the current message.
    void Close();
    bool IsClosing() const { return closing_; }
    // Closes now, handing the text back first.
    void Destroy();

protected:
    const wchar_t* WindowClassName() const override { return L"EditWnd"; }
    const wchar_t* SuperClassName() const override { return L"EDIT"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnNcDestroyed(HWND window) override;

private:
    explicit CEditWnd(CEditUI* owner) : owner_(owner) {}
    ~CEditWnd() override;
    // The rectangle of the native window: the field less its text padding.
    RECT EditRect() const;
    LRESULT OnCtlColor(HDC hdc);

    CEditUI* owner_;
    HBRUSH brush_ = nullptr;
    bool closing_ = false;
};

}  // namespace UiKit
