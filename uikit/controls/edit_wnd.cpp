#include "uikit/controls/edit_wnd.h"

#include <string>

#include "uikit/controls/control_helpers.h"
#include "uikit/controls/edit.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"

namespace UiKit {
namespace {

// Messages the manager reflects back to the native child that sent them.
constexpr UINT kReflectedCommand = WM_COMMAND + 0x2000;
constexpr UINT kReflectedCtlColorEdit = WM_CTLCOLOREDIT + 0x2000;
constexpr UINT kReflectedCtlColorStatic = WM_CTLCOLORSTATIC + 0x2000;

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(length > 0 ? length + 1 : 1, L'\0');
    int got = GetWindowTextW(window, &text[0], static_cast<int>(text.size()));
    text.resize(got > 0 ? got : 0);
    return text;
}

}  // namespace

CEditWnd* CEditWnd::Open(CEditUI* owner) {
    CUIWindowManager* manager = owner ? owner->GetManager() : nullptr;
    if (!manager || !manager->GetPaintWindow()) return nullptr;
    auto* wnd = new CEditWnd(owner);
    RECT rc = wnd->EditRect();
    DWORD style = WS_CHILD | ES_AUTOHSCROLL;
    if (owner->IsPassword()) style |= ES_PASSWORD;
    if (owner->IsReadOnly()) style |= ES_READONLY;
    if (owner->IsNumberOnly()) style |= ES_NUMBER;
    UINT align = owner->GetTextStyle();
    if (align & DT_CENTER) style |= ES_CENTER;
    else if (align & DT_RIGHT) style |= ES_RIGHT;
    if (!wnd->Create(manager->GetPaintWindow(), nullptr, style, 0, rc)) {
        delete wnd;
        return nullptr;
    }
    HWND hwnd = wnd->GetHWND();
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFont(owner->GetFont())), TRUE);
    ::SendMessageW(hwnd, EM_LIMITTEXT, owner->GetMaxChar(), 0);
    if (owner->IsPassword()) ::SendMessageW(hwnd, EM_SETPASSWORDCHAR, L'*', 0);
    ::SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SetWindowTextW(hwnd, owner->GetText().c_str());
    ::SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0);
    int end = GetWindowTextLengthW(hwnd);
    ::SendMessageW(hwnd, EM_SETSEL, end, end);
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    ::SetFocus(hwnd);
    return wnd;
}

CEditWnd::~CEditWnd() {
    if (brush_) DeleteObject(brush_);
}

void CEditWnd::Detach() {
    owner_ = nullptr;
    if (GetHWND()) DestroyWindow(GetHWND());
}

void CEditWnd::Close() {
    if (!GetHWND() || closing_) return;
    closing_ = true;
    PostMessage(WM_CLOSE);
}

void CEditWnd::Destroy() {
    if (GetHWND()) DestroyWindow(GetHWND());
}

RECT CEditWnd::EditRect() const {
    return InsetRect(owner_->GetPosition(), owner_->GetTextPadding());
}

LRESULT CEditWnd::OnCtlColor(HDC hdc) {
    DWORD bk = owner_->GetNativeBkColor();
    if (!brush_) brush_ = CreateSolidBrush(Render::ToColorRef(bk));
    ::SetBkMode(hdc, OPAQUE);
    ::SetBkColor(hdc, Render::ToColorRef(bk));
    bool disabled = !owner_->IsEnabled();
    DWORD color = ResolveTextColor(owner_->GetManager(), disabled ? owner_->GetDisabledTextColor()
                                                                  : owner_->GetTextColor(), disabled);
    ::SetTextColor(hdc, Render::ToColorRef(color));
    return reinterpret_cast<LRESULT>(brush_);
}

// The native window's own messages; everything else is the EDIT class's.
LRESULT CEditWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KILLFOCUS: {
        LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
        Close();
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN && owner_) {
            if (CUIWindowManager* manager = owner_->GetManager()) manager->SendNotify(owner_, L"return");
            return 0;
        }
        break;
    case WM_CHAR:
        // Enter went out as "return"; the EDIT class would only beep.
        if (wParam == L'\r' || wParam == L'\n') return 0;
        break;
    case kReflectedCommand:
        if (HIWORD(wParam) == EN_CHANGE && owner_) owner_->OnEditTextChanged(WindowText(GetHWND()));
        return 0;
    case kReflectedCtlColorEdit:
    case kReflectedCtlColorStatic:
        if (owner_) return OnCtlColor(reinterpret_cast<HDC>(wParam));
        break;
    case WM_DESTROY:
        // The text goes back to the field before the window is gone.
        if (owner_) {
            CEditUI* owner = owner_;
            owner_ = nullptr;
            owner->OnEditWindowGone(WindowText(GetHWND()));
        }
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CEditWnd::OnNcDestroyed(HWND window) {
    (void)window;
    delete this;
}

}  // namespace UiKit
