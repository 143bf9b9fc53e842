#include "frame/wnd_impl_base.h"

#include <cstring>
#include <cwchar>

#include "frame/plugin_state.h"
#include "uikit/controls/label_text.h"
#include "uikit/controls/text_render.h"
#include "uikit/markup/skin_settings.h"

namespace {
const int kSkinPackageResource = 103;
// Installed by the test build of the plug-in only (frame/window_probe.cpp).
CWndImplBase::MessageHook g_messageHook = nullptr;
BYTE* g_packageCopy = nullptr;
DWORD g_packageSize = 0;

LRESULT NotHandled(BOOL& handled) {
    handled = FALSE;
    return 0;
}
}  // namespace

CWndImplBase::CWndImplBase() = default;
CWndImplBase::~CWndImplBase() = default;

void CWndImplBase::FreePackageCopy() {
    delete[] g_packageCopy;
    g_packageCopy = nullptr;
    g_packageSize = 0;
}

bool CWndImplBase::InstallPackageFromResource() {
    if (UiKit::CSkinSettings::GetPackageName() == L"membuffer") return true;
    HINSTANCE module = UiKit::CSkinSettings::GetResourceInstance();
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(kSkinPackageResource), L"OWNER_DATA");
    HGLOBAL mem = res ? LoadResource(module, res) : nullptr;
    DWORD size = res ? SizeofResource(module, res) : 0;
    const void* data = mem ? LockResource(mem) : nullptr;
    if (!data || size == 0) return false;
    FreePackageCopy();
    g_packageCopy = new BYTE[size];
    g_packageSize = size;
    memcpy(g_packageCopy, data, size);
    UiKit::CSkinSettings::SetResourceZip(g_packageCopy, g_packageSize);
    return true;
}

LRESULT CWndImplBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    using Handler = LRESULT (CWndImplBase::*)(UINT, WPARAM, LPARAM, BOOL&);
    static const struct {
        UINT msg;
        Handler handler;
    } kRoutes[] = {
        {WM_CREATE, &CWndImplBase::OnCreate},         {WM_DESTROY, &CWndImplBase::OnDestroy},
        {WM_SIZE, &CWndImplBase::OnSize},             {WM_SETFOCUS, &CWndImplBase::OnSetFocus},
        {WM_KILLFOCUS, &CWndImplBase::OnKillFocus},   {WM_CLOSE, &CWndImplBase::OnClose},
        {WM_GETMINMAXINFO, &CWndImplBase::OnGetMinMaxInfo}, {WM_NOTIFY, &CWndImplBase::OnNotifyMessage},
        {WM_NCCALCSIZE, &CWndImplBase::OnNcCalcSize}, {WM_NCHITTEST, &CWndImplBase::OnNcHitTest},
        {WM_NCPAINT, &CWndImplBase::OnNcPaint},       {WM_NCACTIVATE, &CWndImplBase::OnNcActivate},
        {WM_KEYDOWN, &CWndImplBase::OnKeyDown},       {WM_SYSCOMMAND, &CWndImplBase::OnSysCommand},
        {WM_MOUSEMOVE, &CWndImplBase::OnMouseMove},   {WM_LBUTTONDOWN, &CWndImplBase::OnLButtonDown},
        {WM_LBUTTONUP, &CWndImplBase::OnLButtonUp},   {WM_MOUSEWHEEL, &CWndImplBase::OnMouseWheel},
    };
    if (msg == WM_QUIT) return 0;
    if (LRESULT hooked = 0; g_messageHook && g_messageHook(*this, msg, wParam, lParam, hooked)) return hooked;
    BOOL handled = TRUE;
    for (const auto& route : kRoutes) {
        if (route.msg != msg) continue;
        LRESULT r = (this->*route.handler)(msg, wParam, lParam, handled);
        if (handled) return r;
        break;
    }
    handled = TRUE;
    LRESULT r = OnOtherMessage(msg, wParam, lParam, handled);
    if (handled) return r;
    LRESULT managerResult = 0;
    if (manager_.HandleMessage(msg, wParam, lParam, managerResult)) return managerResult;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

void CWndImplBase::OnNcDestroyed(HWND) {
    manager_.RemovePreMessageFilter(this);
    manager_.RemoveNotifier(this);
    manager_.ReapObjects(manager_.GetRoot());
}

LRESULT CWndImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }
LRESULT CWndImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }

LRESULT CWndImplBase::OnNcActivate(UINT, WPARAM wp, LPARAM, BOOL& handled) {
    if (IsIconic(hwnd_)) return NotHandled(handled);
    return wp == 0 ? 1 : 0;
}

LRESULT CWndImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
LRESULT CWndImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT CWndImplBase::HitTest(POINT pt, const RECT& client, const RECT& sizeBox, const RECT& caption,
                              bool maximized, const wchar_t* controlClassAtPoint) {
    if (!maximized) {
        if (pt.y < client.top + sizeBox.top) {
            if (pt.x < client.left + sizeBox.left) return HTTOPLEFT;
            if (pt.x > client.right - sizeBox.right) return HTTOPRIGHT;
            return HTTOP;
        }
        // The grip zone is 9 pixels taller and 11 wider than the size box.
        if (pt.y > client.bottom - sizeBox.bottom - 9 && pt.x > client.right - sizeBox.right - 11)
            return HTBOTTOMRIGHT;
        if (pt.y > client.bottom - sizeBox.bottom) return HTBOTTOM;
        if (pt.x < client.left + sizeBox.left) return HTLEFT;
        if (pt.x > client.right - sizeBox.right) return HTRIGHT;
    }
    if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
        pt.y < caption.bottom && controlClassAtPoint && _wcsicmp(controlClassAtPoint, L"ButtonUI") != 0 &&
        _wcsicmp(controlClassAtPoint, L"OptionUI") != 0 && _wcsicmp(controlClassAtPoint, L"TextUI") != 0)
        return HTCAPTION;
    return HTCLIENT;
}

LRESULT CWndImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lp, BOOL&) {
    POINT pt = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    ScreenToClient(hwnd_, &pt);
    RECT client;
    GetClientRect(hwnd_, &client);
    UiKit::CControlUI* control = manager_.FindControl(pt);
    return HitTest(pt, client, manager_.GetSizeBox(), manager_.GetCaptionRect(), IsZoomed(hwnd_) != FALSE,
                   control ? control->GetClassName() : nullptr);
}

LRESULT CWndImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lp, BOOL& handled) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &info);
    RECT work = info.rcWork;
    OffsetRect(&work, -work.left, -work.top);
    auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
    mmi->ptMaxPosition = POINT{0, 0};
    mmi->ptMaxSize = POINT{work.right, work.bottom};
    return NotHandled(handled);
}

LRESULT CWndImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }
LRESULT CWndImplBase::OnNotifyMessage(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }

LRESULT CWndImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& handled) {
    SIZE round = manager_.GetRoundCorner();
    if (!IsIconic(hwnd_) && (round.cx != 0 || round.cy != 0)) {
        RECT rc;
        GetWindowRect(hwnd_, &rc);
        HRGN region = CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, round.cx, round.cy);
        SetWindowRgn(hwnd_, region, TRUE);  // the window owns the region now
    }
    return NotHandled(handled);
}

LRESULT CWndImplBase::OnSysCommand(UINT msg, WPARAM wp, LPARAM lp, BOOL&) {
    if ((wp & 0xFFF0) == SC_CLOSE) return 0;
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CWndImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    SetWindowLongW(hwnd_, GWL_STYLE, (style & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    SetWindowPos(hwnd_, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_FRAMECHANGED);

    manager_.Init(hwnd_);
    manager_.AddPreMessageFilter(this);
    UiKit::CSkinSettings::SetResourcePath(SkinFolder());
    const wchar_t* markup = MarkupFileName();
    // Without the package resource the window stays empty but usable.
    if (!InstallPackageFromResource()) return 0;
    UiKit::CSkinBuilder builder;
    UiKit::CControlUI* root = builder.Build(markup, nullptr, this, &manager_);
    manager_.AttachRoot(root);
    manager_.AddNotifier(this);
    OnWindowBuilt();
    return 0;
}

LRESULT CWndImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }
LRESULT CWndImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }
LRESULT CWndImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }
LRESULT CWndImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }
LRESULT CWndImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }
LRESULT CWndImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }
LRESULT CWndImplBase::OnOtherMessage(UINT, WPARAM, LPARAM, BOOL& handled) { return NotHandled(handled); }

std::wstring CWndImplBase::SkinFolder() const {
    std::wstring folder = PluginFolder();
    return folder.empty() ? folder : folder + L"skin\\";
}

LRESULT CWndImplBase::OnDialogKey(WPARAM key, LPARAM) { return key == VK_ESCAPE ? 1 : 0; }

LRESULT CWndImplBase::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    return msg == WM_KEYDOWN ? OnDialogKey(wParam, lParam) : 0;
}

UiKit::CControlUI* CWndImplBase::CreateControl(const wchar_t*) { return nullptr; }

void CWndImplBase::SetMessageHook(MessageHook hook) { g_messageHook = hook; }

void CWndImplBase::AnswerProbe(const wchar_t* name, ControlProbe* probe) {
    *probe = ControlProbe{};
    UiKit::CControlUI* c = manager_.FindControl(name);
    if (!c) return;
    probe->found = 1;
    probe->visible = c->IsVisible();
    probe->enabled = c->IsEnabled();
    probe->pos = c->GetPosition();
    wcsncpy(probe->text, c->GetText().c_str(), 259);
    auto* label = dynamic_cast<UiKit::CLabelUI*>(c);
    if (!label) return;
    RECT pad = label->GetTextPadding();
    probe->textRect = RECT{probe->pos.left + pad.left, probe->pos.top + pad.top, probe->pos.right - pad.right,
                           probe->pos.bottom - pad.bottom};
    const std::wstring& text = label->GetText();
    if (text.empty()) return;
    HDC dc = GetDC(GetHWND());
    if (label->IsShowHtml()) {
        // Formatted text is measured by the renderer that draws it, unbounded.
        UiKit::FormattedDrawParams params;
        params.font = label->GetFont();
        params.style = DT_SINGLELINE;
        params.measureOnly = true;
        probe->textSize = UiKit::DrawFormattedText(dc, &manager_, RECT{0, 0, 10000, 10000}, text, params);
    } else {
        HGDIOBJ old = SelectObject(dc, manager_.GetFont(label->GetFont()));
        RECT need = {0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        probe->textSize = SIZE{need.right - need.left, need.bottom - need.top};
    }
    ReleaseDC(GetHWND(), dc);
}
