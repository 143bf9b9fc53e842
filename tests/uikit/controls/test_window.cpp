#include "tests/uikit/controls/test_window.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>

#include "tests/support/message_pump.h"
#include "uikit/core/skin_builder.h"

namespace controls_test {

bool TestWindow::Open(const wchar_t* markup, int x, int y, int cx, int cy) {
    RECT rc = {x, y, x + cx, y + cy};
    if (!Create(nullptr, L"controls test", WS_POPUP | WS_VISIBLE, 0, rc)) {
        fprintf(stderr, "test window not created: %lu\n", GetLastError());
        return false;
    }
    UiKit::CSkinBuilder builder;
    UiKit::CControlUI* root = builder.Build(markup, nullptr, nullptr, &manager_);
    if (!root) {
        fprintf(stderr, "markup not built\n");
        return false;
    }
    manager_.AttachRoot(root);
    manager_.AddNotifier(this);
    SetForegroundWindow(hwnd_);
    Update();
    testing_support::PumpFor(30);
    return true;
}

TestWindow::~TestWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    testing_support::PumpFor(10);
}

LRESULT TestWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) manager_.Init(hwnd_);
    LRESULT result = 0;
    if (manager_.GetPaintWindow() && manager_.HandleMessage(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void TestWindow::Update() {
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

POINT TestWindow::Center(UiKit::CControlUI* control) const {
    const RECT& rc = control->GetPosition();
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void TestWindow::MouseMove(POINT pt) { ::SendMessageW(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y)); }
void TestWindow::LeftDown(POINT pt) {
    MouseMove(pt);
    ::SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
}
void TestWindow::LeftUp(POINT pt) { ::SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y)); }
void TestWindow::Click(POINT pt) {
    LeftDown(pt);
    LeftUp(pt);
}
void TestWindow::RightDown(POINT pt) {
    MouseMove(pt);
    ::SendMessageW(hwnd_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(pt.x, pt.y));
}
void TestWindow::Wheel(POINT clientPt, bool towardsUser) {
    POINT screen = clientPt;
    ClientToScreen(hwnd_, &screen);
    short delta = towardsUser ? -WHEEL_DELTA : WHEEL_DELTA;
    ::SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
}
void TestWindow::Key(WPARAM vk) { ::SendMessageW(hwnd_, WM_KEYDOWN, vk, 0); }

void TestWindow::Notify(UiKit::UINotify& msg) {
    notes.push_back(Note{msg.type, msg.sender ? msg.sender->GetName() : L"", msg.wParam, msg.lParam});
}

std::vector<Note> TestWindow::Of(const wchar_t* type) const {
    std::vector<Note> out;
    for (const Note& n : notes) {
        if (type ? n.type == type
                 : (n.type != L"setfocus" && n.type != L"killfocus" && n.type != L"timer" && n.type != L"windowinit"))
            out.push_back(n);
    }
    return out;
}

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

}  // namespace controls_test
