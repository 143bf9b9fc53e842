#include "host/host_window.h"

#include "abi/host_messages.h"

namespace {
const wchar_t kClass[] = L"MelvanePracticeHost";
enum { kBtnFaster = 100, kBtnSlower, kBtnStart, kBtnPause, kBtnRestart };
const int kToolbarHeight = 40;
const int kLogHeight = 90;
// Posted to itself: the start command must not be given from inside a
// message the plug-in sends, while the plug-in's thread waits for the host.
const UINT WM_DEMO_START = WM_APP + 1;
}  // namespace

const wchar_t* CHostWindow::HostKeyName(int code) {
    static const wchar_t* const names[15] = {L"A\u266D", L"A",  L"B\u266D", L"B",  L"C\u266D",
                                             L"C",      L"C\u266F", L"D\u266D", L"D", L"E\u266D",
                                             L"E",      L"F",  L"F\u266F", L"G\u266D", L"G"};
    return (code >= 0 && code < 15) ? names[code] : L"?";
}

bool CHostWindow::Create(HINSTANCE instance) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(236, 233, 226));
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int w = 1040, h = 300;
    hwnd_ = CreateWindowExW(0, kClass, L"Melvane practice host", WS_OVERLAPPEDWINDOW, work.left + 20,
                            work.bottom - h - 10, w, h, nullptr, nullptr, instance, this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK CHostWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<CHostWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = wnd;
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CHostWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    return self ? self->Handle(msg, wp, lp) : DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CHostWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_PLUGIN_NOTE: OnNoteWord(static_cast<DWORD>(wp)); return 0;
    case WM_PLUGIN_KEY: OnKey(static_cast<int>(wp)); return 0;
    case WM_PLUGIN_CLOSED: OnPluginClosed(); return 0;
    case WM_DEMO_START:
        Log(L"Demo: start");
        plugin_.Cmd(2);
        return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_SIZE:
        if (log_) MoveWindow(log_, 8, kToolbarHeight, LOWORD(lp) - 16, kLogHeight, TRUE);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_DESTROY:
        plugin_.Exit();
        plugin_.Unload();
        if (font_) DeleteObject(font_);
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

void CHostWindow::OnCreate() {
    font_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Tahoma");
    struct {
        int id;
        const wchar_t* text;
    } buttons[] = {{kBtnFaster, L"Faster"}, {kBtnSlower, L"Slower"}, {kBtnStart, L"Start"},
                   {kBtnPause, L"Pause"},   {kBtnRestart, L"Reopen plug-in"}};
    int x = 8;
    for (auto& b : buttons) {
        HWND h = CreateWindowW(L"BUTTON", b.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 8, b.id == kBtnRestart ? 110 : 72,
                               26, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), nullptr, nullptr);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        x += (b.id == kBtnRestart ? 110 : 72) + 6;
    }
    keyLabel_ = CreateWindowW(L"STATIC", L"Key: -", WS_CHILD | WS_VISIBLE, x + 12, 13, 160, 20, hwnd_, nullptr,
                              nullptr, nullptr);
    SendMessageW(keyLabel_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    log_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                           8, kToolbarHeight, 100, kLogHeight, hwnd_, nullptr, nullptr, nullptr);
    SendMessageW(log_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    OnCommand(kBtnRestart);
}

void CHostWindow::OnCommand(int id) {
    switch (id) {
    case kBtnFaster: plugin_.Cmd(0); break;
    case kBtnSlower: plugin_.Cmd(1); break;
    case kBtnStart: plugin_.Cmd(2); break;
    case kBtnPause: plugin_.Cmd(3); break;
    case kBtnRestart:
        plugin_.Exit();
        if (!plugin_.IsLoaded() && !plugin_.Load(options_.pluginPath)) {
            Log(L"Could not load " + options_.pluginPath);
            return;
        }
        Log(plugin_.Init(hwnd_, options_.language, options_.skinFolder) ? L"Plug-in started"
                                                                         : L"Plug-in did not start");
        break;
    default: break;
    }
}

void CHostWindow::OnNoteWord(DWORD word) {
    keyboard_.ApplyNoteWord(word);
    if (word == kResetNotesWord) Log(L"Reset notes");
    else ++notesSeen_;
    // The plug-in opens a score at start: the score's key comes while it
    // loads, the reset word when it stands ready in its stopped state.
    if (options_.demo && keySeen_ && !demoStarted_ && word == kResetNotesWord) {
        demoStarted_ = true;
        PostMessageW(hwnd_, WM_DEMO_START, 0, 0);
    }
    RECT area = KeyboardArea();
    InvalidateRect(hwnd_, &area, FALSE);
}

void CHostWindow::OnKey(int code) {
    std::wstring text = std::wstring(L"Key: ") + HostKeyName(code);
    SetWindowTextW(keyLabel_, text.c_str());
    Log(L"Key signature " + std::to_wstring(code) + L" (" + HostKeyName(code) + L")");
    keySeen_ = true;
}

void CHostWindow::OnPluginClosed() {
    keyboard_.Clear();
    InvalidateRect(hwnd_, nullptr, FALSE);
    Log(L"Plug-in closed");
}

void CHostWindow::Log(const std::wstring& line) {
    if (!log_) return;
    LRESULT i = SendMessageW(log_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(log_, LB_SETTOPINDEX, static_cast<WPARAM>(i), 0);
}

RECT CHostWindow::KeyboardArea() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    return RECT{8, kToolbarHeight + kLogHeight + 8, rc.right - 8, rc.bottom - 8};
}

void CHostWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    keyboard_.Paint(dc, KeyboardArea());
    EndPaint(hwnd_, &ps);
}
