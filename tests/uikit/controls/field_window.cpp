#include "tests/uikit/controls/field_window.h"

#include "tests/support/screen_pixels.h"
#include "tests/support/test_support.h"
#include "uikit/controls/edit.h"
#include "uikit/controls/richedit.h"

using namespace UiKit;

FieldWindow::FieldWindow(const wchar_t* markup) : markup_(markup) {
    Create(nullptr, L"fields", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 20, 20, 400, 300);
    ::UpdateWindow(GetHWND());
    testing_support::PumpFor(30);
}

FieldWindow::~FieldWindow() {
    if (GetHWND()) DestroyWindow(GetHWND());
}

int FieldWindow::Count(const std::wstring& note) const {
    int n = 0;
    for (const std::wstring& s : notes) n += s == note;
    return n;
}

void FieldWindow::Notify(UINotify& msg) {
    notes.push_back(msg.type + L":" + (msg.sender ? msg.sender->GetName() : L""));
}

// The fields are made here so that the tests do not depend on the table of
// element names.
CControlUI* FieldWindow::CreateControl(const wchar_t* elementName) {
    std::wstring name(elementName);
    if (name == L"RichEdit") return new CRichEditUI;
    if (name == L"Edit") return new CEditUI;
    return nullptr;
}

LRESULT FieldWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        manager_.Init(GetHWND());
        CSkinBuilder builder;
        CControlUI* root = builder.Build(markup_.c_str(), nullptr, this, &manager_);
        manager_.AttachRoot(root);
        manager_.AddNotifier(this);
        return 0;
    }
    LRESULT result = 0;
    if (manager_.HandleMessage(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void FieldWindow::ClickOn(CControlUI* control) {
    RECT rc = control->GetPosition();
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::SendMessageW(GetHWND(), WM_MOUSEMOVE, 0, at);
    ::SendMessageW(GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(GetHWND(), WM_LBUTTONUP, 0, at);
}

void FieldWindow::Type(const std::wstring& text) {
    HWND target = ::GetFocus() ? ::GetFocus() : GetHWND();
    for (wchar_t ch : text) ::SendMessageW(target, WM_CHAR, ch, 1);
}

void FieldWindow::Key(UINT vk) {
    HWND target = ::GetFocus() ? ::GetFocus() : GetHWND();
    ::SendMessageW(target, WM_KEYDOWN, vk, 1);
    if (vk == VK_RETURN) ::SendMessageW(target, WM_CHAR, L'\r', 1);
    ::SendMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

int FieldWindow::DarkPixelsIn(const RECT& rc) {
    ::InvalidateRect(GetHWND(), nullptr, FALSE);
    ::UpdateWindow(GetHWND());
    HBITMAP bitmap = manager_.GetOffscreenBitmap();
    if (!bitmap) return -1;
    int width = 0, height = 0;
    std::vector<DWORD> pixels = testing_support::BitmapPixels(bitmap, &width, &height);
    int dark = 0;
    for (int y = rc.top; y < rc.bottom && y < height; ++y)
        for (int x = rc.left; x < rc.right && x < width; ++x) {
            DWORD p = pixels[static_cast<size_t>(y) * width + x];
            int sum = (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
            if (sum < 3 * 100) ++dark;
        }
    return dark;
}
