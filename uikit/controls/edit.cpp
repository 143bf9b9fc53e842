#include "uikit/controls/edit.h"

#include <cwchar>

#include "uikit/controls/control_helpers.h"
#include "uikit/controls/edit_wnd.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {

CEditUI::CEditUI() { textPadding_ = RECT{4, 3, 4, 3}; }

CEditUI::~CEditUI() {
    if (editWnd_) {
        CEditWnd* wnd = editWnd_;
        editWnd_ = nullptr;
        wnd->Detach();
    }
}

const wchar_t* CEditUI::GetClassName() const { return L"EditUI"; }

void* CEditUI::FindInterface(const wchar_t* name) {
    if (wcscmp(name, L"Edit") == 0) return static_cast<CEditUI*>(this);
    return CLabelUI::FindInterface(name);
}

UINT CEditUI::GetControlFlags() const { return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0; }

HWND CEditUI::GetEditHandle() const { return editWnd_ ? editWnd_->GetHWND() : nullptr; }

void CEditUI::SetText(const CUIString& text) {
    text_ = text;
    if (HWND edit = GetEditHandle()) SetWindowTextW(edit, text_.c_str());
    Invalidate();
}

void CEditUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled()) CloseEditWindow();
}

void CEditUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    if (!IsVisible()) CloseEditWindow();
}

void CEditUI::SetInternVisible(bool visible) {
    CLabelUI::SetInternVisible(visible);
    if (!IsVisible()) CloseEditWindow();
}

void CEditUI::SetPosition(RECT rc) {
    CLabelUI::SetPosition(rc);
    if (HWND edit = GetEditHandle()) {
        RECT inner = TextRect();
        SetWindowPos(edit, nullptr, inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CEditUI::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (HWND edit = GetEditHandle()) ::SendMessageW(edit, EM_SETREADONLY, readOnly_, 0);
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
    numberOnly_ = numberOnly;
    if (HWND edit = GetEditHandle()) {
        LONG style = GetWindowLongW(edit, GWL_STYLE);
        SetWindowLongW(edit, GWL_STYLE, numberOnly_ ? (style | ES_NUMBER) : (style & ~ES_NUMBER));
    }
}

void CEditUI::SetPassword(bool password) {
    password_ = password;
    if (HWND edit = GetEditHandle()) ::SendMessageW(edit, EM_SETPASSWORDCHAR, password_ ? L'*' : 0, 0);
    Invalidate();
}

void CEditUI::SetMaxChar(int maxChar) {
    maxChar_ = maxChar > 0 ? maxChar : 0;
    if (HWND edit = GetEditHandle()) ::SendMessageW(edit, EM_LIMITTEXT, maxChar_, 0);
}

void CEditUI::OpenEditWindow() {
    if (!manager_ || !IsVisible() || !IsEnabled()) return;
    // A click that took the focus from the native window has it closing
    // already: it goes now and a new one opens for this click.
    if (editWnd_ && editWnd_->IsClosing()) editWnd_->Destroy();
    if (editWnd_) return;
    editWnd_ = CEditWnd::Open(this);
}

void CEditUI::CloseEditWindow() {
    if (editWnd_) editWnd_->Close();
}

void CEditUI::OnEditTextChanged(const CUIString& text) {
    if (text == text_) return;
    text_ = text;
    if (manager_) manager_->SendNotify(this, L"textchanged");
}

void CEditUI::OnEditWindowGone(const CUIString& text) {
    editWnd_ = nullptr;
    OnEditTextChanged(text);
    Invalidate();
}

void CEditUI::HandleEvent(UIEvent& event) {
    if (ForwardMouseIfInert(event)) return;
    if (TrackHot(*this, event, hot_)) return;
    switch (event.kind) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
        return;
    case UIEVENT_SETFOCUS:
        CLabelUI::HandleEvent(event);
        OpenEditWindow();
        return;
    case UIEVENT_KILLFOCUS:
        CLabelUI::HandleEvent(event);
        CloseEditWindow();
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        // A field that kept the focus after its native window closed opens it
        // again on the next click.
        OpenEditWindow();
        return;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return;
    default:
        break;
    }
    CLabelUI::HandleEvent(event);
}

void CEditUI::ApplyAttribute(const wchar_t* name, const wchar_t* value) {
    if (!name) return;
    if (!value) value = L"";
    if (wcscmp(name, L"readonly") == 0) SetReadOnly(ParseBool(value));
    else if (wcscmp(name, L"numberonly") == 0) SetNumberOnly(ParseBool(value));
    else if (wcscmp(name, L"password") == 0) SetPassword(ParseBool(value));
    else if (wcscmp(name, L"maxchar") == 0) SetMaxChar(static_cast<int>(ParseInt(value)));
    else if (wcscmp(name, L"normalimage") == 0) normalImage_ = value;
    else if (wcscmp(name, L"hotimage") == 0) hotImage_ = value;
    else if (wcscmp(name, L"focusedimage") == 0) focusedImage_ = value;
    else if (wcscmp(name, L"disabledimage") == 0) disabledImage_ = value;
    else if (wcscmp(name, L"nativebkcolor") == 0) SetNativeBkColor(ParseColor(value, true));
    else CLabelUI::ApplyAttribute(name, value);
}

void CEditUI::PaintStatusImage(HDC hdc) {
    // The state's own image, else the normal one.
    if (!IsEnabled() && !disabledImage_.empty() && DrawImage(hdc, disabledImage_)) return;
    if (IsEnabled() && IsFocused() && !focusedImage_.empty() && DrawImage(hdc, focusedImage_)) return;
    if (IsEnabled() && hot_ && !hotImage_.empty() && DrawImage(hdc, hotImage_)) return;
    if (!normalImage_.empty()) DrawImage(hdc, normalImage_);
}

void CEditUI::PaintText(HDC hdc) {
    if (text_.empty()) return;
    CUIString shown = password_ ? CUIString(text_.size(), L'*') : text_;
    bool disabled = !IsEnabled();
    DWORD color = ResolveTextColor(manager_, disabled ? disabledTextColor_ : textColor_, disabled);
    RECT rc = TextRect();
    Render::DrawPlainText(hdc, manager_, rc, shown, color, font_, (textStyle_ | DT_SINGLELINE) & ~DT_WORDBREAK);
}

}  // namespace UiKit
