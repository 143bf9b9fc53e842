#include "uikit/core/window_wnd.h"

#include <string>
#include <vector>

#include "uikit/core/window_manager.h"
#include "uikit/markup/skin_settings.h"

namespace UiKit {
namespace {
const wchar_t kObjectProp[] = L"WndX";

std::vector<std::wstring>& RegisteredClasses() {
    static std::vector<std::wstring> names;
    return names;
}

bool Registered(ATOM atom, const wchar_t* name) {
    if (atom) RegisteredClasses().push_back(name);
    return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
}  // namespace

void CWindowWnd::UnregisterWindowClasses() {
    for (const std::wstring& name : RegisteredClasses()) UnregisterClassW(name.c_str(), CSkinSettings::GetInstance());
    RegisteredClasses().clear();
}

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW wc = {};
    wc.style = ClassStyle();
    wc.lpfnWndProc = &CWindowWnd::WindowProc;
    wc.hInstance = CSkinSettings::GetInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = WindowClassName();
    return Registered(RegisterClassW(&wc), wc.lpszClassName);
}

bool CWindowWnd::RegisterSuperclass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, SuperClassName(), &wc) &&
        !GetClassInfoExW(CSkinSettings::GetInstance(), SuperClassName(), &wc))
        return false;
    oldWndProc_ = wc.lpfnWndProc;
    wc.lpfnWndProc = &CWindowWnd::SuperClassProc;
    wc.hInstance = CSkinSettings::GetInstance();
    wc.lpszClassName = WindowClassName();
    return Registered(RegisterClassExW(&wc), wc.lpszClassName);
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rc, HMENU menu) {
    return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, menu);
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                        HMENU menu) {
    if (SuperClassName() && !RegisterSuperclass()) return nullptr;
    if (!SuperClassName() && !RegisterWindowClass()) return nullptr;
    hwnd_ = CreateWindowExW(exStyle, WindowClassName(), name, style, x, y, cx, cy, parent, menu,
                            CSkinSettings::GetInstance(), this);
    return hwnd_;
}

HWND CWindowWnd::Subclass(HWND window) {
    if (!IsWindow(window)) return nullptr;
    oldWndProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindowWnd::WindowProc)));
    if (!oldWndProc_) return nullptr;
    subclassed_ = true;
    hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return hwnd_;
}

void CWindowWnd::Unsubclass() {
    if (!subclassed_ || !IsWindow(hwnd_)) return;
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWndProc_));
    oldWndProc_ = ::DefWindowProcW;
    subclassed_ = false;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!IsWindow(hwnd_)) return;
    ::ShowWindow(hwnd_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    // A window may delete its own object on its last message (dialogs do), so
    // once the loop runs only the handle is used, never a member.
    const HWND window = hwnd_;
    const HWND owner = GetWindow(window, GW_OWNER);
    auto releaseOwner = [owner] {
        if (!owner) return;
        EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    };
    UINT result = 0;
    ::ShowWindow(window, SW_SHOWNORMAL);
    if (owner) EnableWindow(owner, FALSE);
    MSG msg;
    while (IsWindow(window)) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (!got) {
            // Let the outer loop see the quit too.
            releaseOwner();
            PostQuitMessage(static_cast<int>(msg.wParam));
            return result;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == window) {
            result = static_cast<UINT>(msg.wParam);
            releaseOwner();
        }
        if (!CUIWindowManager::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    releaseOwner();
    return result;
}

void CWindowWnd::Close(UINT code) {
    if (IsWindow(hwnd_)) ::PostMessageW(hwnd_, WM_CLOSE, code, 0);
}

void CWindowWnd::CenterWindow() {
    if (!IsWindow(hwnd_)) return;
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT area = work;
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner) GetWindowRect(owner, &area);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (area.left + area.right) / 2 - w / 2;
    int y = (area.top + area.bottom) / 2 - h / 2;
    if (x < work.left) x = work.left;
    else if (x + w > work.right) x = work.right - w;
    if (y < work.top) y = work.top;
    else if (y + h > work.bottom) y = work.bottom - h;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId) {
    HINSTANCE module = CSkinSettings::GetInstance();
    HICON big = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    if (big) SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    HICON small = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                LR_DEFAULTCOLOR));
    if (small) SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    RECT rc;
    if (!GetClientRect(hwnd_, &rc)) return;
    if (cx != -1) rc.right = cx;
    if (cy != -1) rc.bottom = cy;
    AdjustWindowRectEx(&rc, GetWindowLongW(hwnd_, GWL_STYLE), GetMenu(hwnd_) != nullptr,
                       GetWindowLongW(hwnd_, GWL_EXSTYLE));
    SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(hwnd_, msg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(hwnd_, msg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(oldWndProc_, hwnd_, msg, wParam, lParam);
}

LRESULT CWindowWnd::RouteMessage(ObjectSlot slot, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool inProperty = slot == ObjectSlot::Property;
    CWindowWnd* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(cs->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            if (inProperty) SetPropW(hwnd, kObjectProp, self);
            else SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = inProperty ? static_cast<CWindowWnd*>(GetPropW(hwnd, kObjectProp))
                          : reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_NCDESTROY && self) {
            LRESULT r = CallWindowProcW(self->oldWndProc_, hwnd, msg, wParam, lParam);
            if (inProperty) RemovePropW(hwnd, kObjectProp);
            else SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            if (self->subclassed_) self->Unsubclass();
            self->hwnd_ = nullptr;
            self->OnNcDestroyed(hwnd);
            return r;
        }
    }
    if (self) return self->HandleMessage(msg, wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RouteMessage(ObjectSlot::UserData, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::SuperClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return RouteMessage(ObjectSlot::Property, hwnd, msg, wParam, lParam);
}

}  // namespace UiKit
