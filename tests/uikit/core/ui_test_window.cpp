#include "tests/uikit/core/ui_test_window.h"

namespace uikit_test {

std::vector<std::wstring>& AttributeLog() {
    static std::vector<std::wstring> log;
    return log;
}

namespace {
class LoggingProbeUI : public ProbeUI {
public:
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override {
        AttributeLog().push_back(std::wstring(name) + L"=" + value);
        ProbeUI::ApplyAttribute(name, value);
    }
};
class LoggingLayoutUI : public UiKit::CContainerUI {
public:
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override {
        AttributeLog().push_back(std::wstring(name) + L"=" + value);
        UiKit::CContainerUI::ApplyAttribute(name, value);
    }
};
}  // namespace

TestWindow::~TestWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

HWND TestWindow::Open(HWND owner) {
    HWND h = Create(owner, L"uikit test", WS_POPUP | WS_VISIBLE, 0, 0, 0, 400, 300);
    if (h) Paint();
    return h;
}

void TestWindow::Paint() {
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

RECT TestWindow::Rect(const wchar_t* name) {
    UiKit::CControlUI* c = Find(name);
    return c ? c->GetPosition() : RECT{-1, -1, -1, -1};
}

UiKit::CControlUI* TestWindow::CreateControl(const wchar_t* name) {
    if (wcscmp(name, L"Probe") == 0) return new ProbeUI();
    if (wcscmp(name, L"LogProbe") == 0) return new LoggingProbeUI();
    if (wcscmp(name, L"LogLayout") == 0) return new LoggingLayoutUI();
    return nullptr;
}

std::vector<UiKit::UINotify> TestWindow::Of(const wchar_t* type) const {
    std::vector<UiKit::UINotify> out;
    for (const auto& n : notes)
        if (n.type == type) out.push_back(n);
    return out;
}

std::vector<std::wstring> TestWindow::Types() const {
    std::vector<std::wstring> out;
    for (const auto& n : notes) out.push_back(n.type);
    return out;
}

LRESULT TestWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        manager_.Init(hwnd_);
        UiKit::CSkinBuilder builder;
        UiKit::CControlUI* root = builder.Build(markup_.c_str(), nullptr, this, &manager_);
        if (root) {
            manager_.AttachRoot(root);
            manager_.AddNotifier(this);
            built = true;
        }
        return 0;
    }
    LRESULT result = 0;
    if (manager_.HandleMessage(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void SendMouse(HWND hwnd, UINT msg, int x, int y, WPARAM wParam) {
    POINT pt = {x, y};
    if (msg == WM_MOUSEWHEEL || msg == WM_CONTEXTMENU) ClientToScreen(hwnd, &pt);
    SendMessageW(hwnd, msg, wParam, MAKELPARAM(pt.x, pt.y));
}

void SendKey(HWND hwnd, UINT msg, WPARAM key) { SendMessageW(hwnd, msg, key, 1); }

}  // namespace uikit_test
