// The properties of the "Window" element, and the manager's skin calls
// handed to its skin resources.
#include <string>

#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"

namespace UiKit {
namespace {

using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
SetLayeredFn SetLayered() {
    static SetLayeredFn fn = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")));
    return fn;
}

}  // namespace

void CUIWindowManager::SetParentResourceManager(CUIWindowManager* parent) {
    parentResource_ = parent;
    skin_.SetParent(parent ? &parent->skin_ : nullptr);
}

void CUIWindowManager::SetInitSize(int cx, int cy) {
    initSize_ = SIZE{cx, cy};
    if (!root_ && window_)
        SetWindowPos(window_, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CUIWindowManager::SetTransparent(int alpha) {
    if (!window_) return;
    LONG ex = GetWindowLongW(window_, GWL_EXSTYLE);
    if (alpha < 0 || alpha > 255) {
        SetWindowLongW(window_, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        return;
    }
    SetWindowLongW(window_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    if (SetLayeredFn fn = SetLayered()) fn(window_, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void CUIWindowManager::SetTransparentColor(DWORD color) {
    if (!window_ || (color >> 24) != 0xFF) return;
    SetWindowLongW(window_, GWL_EXSTYLE, GetWindowLongW(window_, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (SetLayeredFn fn = SetLayered())
        fn(window_, RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF), 0, LWA_COLORKEY);
}

void CUIWindowManager::ApplyWindowAttribute(const wchar_t* name, const wchar_t* value) {
    std::wstring n(name ? name : L"");
    if (!value) value = L"";
    if (n == L"size") {
        SIZE s = ParseSize(value);
        SetInitSize(s.cx, s.cy);
    } else if (n == L"sizebox") SetSizeBox(ParseRect(value));
    else if (n == L"caption") SetCaptionRect(ParseRect(value));
    else if (n == L"roundcorner") {
        SIZE s = ParseSize(value);
        SetRoundCorner(s.cx, s.cy);
    } else if (n == L"mininfo") {
        SIZE s = ParseSize(value);
        SetMinInfo(s.cx, s.cy);
    } else if (n == L"maxinfo") {
        SIZE s = ParseSize(value);
        SetMaxInfo(s.cx, s.cy);
    } else if (n == L"showdirty") SetShowUpdateRect(ParseBool(value));
    else if (n == L"alpha") SetTransparent(ParseInt(value));
    else if (n == L"alphacolor") SetTransparentColor(ParseColor(value));
    else if (n == L"bktrans") SetBackgroundTransparent(ParseBool(value));
    else if (n == L"disabledfontcolor") SetDefaultDisabledColor(ParseColor(value));
    else if (n == L"defaultfontcolor") SetDefaultFontColor(ParseColor(value));
    else if (n == L"linkfontcolor") SetDefaultLinkFontColor(ParseColor(value));
    else if (n == L"linkhoverfontcolor") SetDefaultLinkHoverFontColor(ParseColor(value));
    else if (n == L"selectedcolor") SetDefaultSelectedBkColor(ParseColor(value));
}

}  // namespace UiKit
