#include "tests/support/host_window.h"

namespace testing_support {

namespace {
const wchar_t kClassName[] = L"MelvaneTestHost";

void RegisterOnce(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
}
}  // namespace

HostWindow::HostWindow() : HostWindow(Options()) {}

HostWindow::HostWindow(Options options) : options_(std::move(options)) {
    RegisterOnce(Proc);
    hwnd_ = CreateWindowExW(0, kClassName, options_.title, options_.style, options_.x, options_.y, options_.cx,
                            options_.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

HostWindow::~HostWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

std::vector<HostWindow::Message> HostWindow::Of(UINT msg) const {
    std::vector<Message> out;
    for (const Message& m : messages)
        if (m.msg == msg) out.push_back(m);
    return out;
}

LRESULT CALLBACK HostWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(wnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(wnd, msg, wp, lp);
    const Options& o = self->options_;
    LRESULT result = 0;
    if (o.handler && o.handler(wnd, msg, wp, lp, result)) return result;
    if (msg >= o.keepFirst && msg <= o.keepLast) self->messages.push_back({msg, wp, lp});
    if (msg == WM_ERASEBKGND && o.background) {
        RECT rc;
        GetClientRect(wnd, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc, o.background);
        return 1;
    }
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    return DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace testing_support
