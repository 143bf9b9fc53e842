// CEditUI: a one-line text field drawn as a label; while it has the focus a
// native EDIT window (CEditWnd) lies over it and does the typing. The text
// is taken back from the native window as it changes and when it closes.
#pragma once
#include <windows.h>

#include "uikit/controls/label_text.h"

namespace UiKit {

class CEditWnd;

class CEditUI : public CLabelUI {
public:
    CEditUI();
    ~CEditUI() override;

    const wchar_t* GetClassName() const override;
    void* FindInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    void SetText(const CUIString& text) override;
    void SetEnabled(bool enabled = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetPosition(RECT rc) override;

    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool IsNumberOnly() const { return numberOnly_; }
    void SetNumberOnly(bool numberOnly);
    bool IsPassword() const { return password_; }
    void SetPassword(bool password);
    int GetMaxChar() const { return maxChar_; }
    void SetMaxChar(int maxChar);
    DWORD GetNativeBkColor() const { return nativeBkColor_; }
    void SetNativeBkColor(DWORD argb) { nativeBkColor_ = argb; }

    // The native window while the field is being edited, else nullptr.
    CEditWnd* GetEditWindow() const { return editWnd_; }
    HWND GetEditHandle() const;

    void HandleEvent(UIEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

private:
    friend class CEditWnd;
    // Opens the native window over the field (when enabled and shown).
    void OpenEditWindow();
    void CloseEditWindow();
    // From the native window.
    void OnEditTextChanged(const CUIString& text);
    void OnEditWindowGone(const CUIString& text);

    CEditWnd* editWnd_ = nullptr;
    bool readOnly_ = false;
    bool numberOnly_ = false;
    bool password_ = false;
    int maxChar_ = 255;
    DWORD nativeBkColor_ = 0xFFFFFFFF;
    bool hot_ = false;
    CUIString normalImage_, hotImage_, focusedImage_, disabledImage_;
};

}  // namespace UiKit
