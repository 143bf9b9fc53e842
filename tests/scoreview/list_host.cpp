#include "tests/scoreview/list_host.h"

#include "tests/support/message_pump.h"
#include "uikit/core/skin_builder.h"

namespace player_test {

std::wstring SourceSkinFolder() {
    std::string unixPath = MELVANE_SKIN_DIR;
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    if (path.back() != L'\\') path += L'\\';
    return path;
}

bool ListHost::Open(const wchar_t* markup, int cx, int cy) {
    RECT rc = {40, 40, 40 + cx, 40 + cy};
    if (!Create(nullptr, L"score list test", WS_POPUP | WS_VISIBLE, 0, rc)) return false;
    UiKit::CSkinBuilder builder;
    CDialogBuilderCallbackEx callback(&manager_);
    UiKit::CControlUI* root = builder.Build(markup, nullptr, &callback, &manager_);
    if (!root || !manager_.AttachRoot(root)) return false;
    Update();
    return true;
}

ListHost::~ListHost() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    testing_support::PumpFor(10);
}

CScoreListUI* ListHost::List(const wchar_t* name) {
    UiKit::CControlUI* c = manager_.FindControl(name);
    return c ? static_cast<CScoreListUI*>(c->FindInterface(L"ScoreList")) : nullptr;
}

LRESULT ListHost::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) manager_.Init(hwnd_);
    LRESULT result = 0;
    if (manager_.GetPaintWindow() && manager_.HandleMessage(msg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void ListHost::Update() { RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void ListHost::Send(UINT msg, WPARAM wp, POINT pt) { ::SendMessageW(hwnd_, msg, wp, MAKELPARAM(pt.x, pt.y)); }

void ListHost::Wheel(POINT clientPt, bool towardsUser) {
    POINT screen = clientPt;
    ClientToScreen(hwnd_, &screen);
    short delta = towardsUser ? -WHEEL_DELTA : WHEEL_DELTA;
    ::SendMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
}

}  // namespace player_test
