#include "player/wnd_melvane.h"

#include "frame/host_protocol.h"
#include "frame/lang_table.h"
#include "frame/plugin_state.h"

namespace {
const wchar_t kClassName[] = L"MelvanePlayer";
const int kTempoCount = 30;

void __cdecl OnKey(int key) {
    if (Plugin().player) SendKeyToHost(key);
}

void __cdecl OnNote(int v1, int v2, int v3, int v4, int v5) {
    if (Plugin().player) SendNoteToHost(PackNoteWord(v1, v2, v3, v4, v5));
}
}  // namespace

CWndMelvane::CWndMelvane() = default;
CWndMelvane::~CWndMelvane() { ReleaseEngine(); }

HWND CWndMelvane::CreatePlayerWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = Plugin().module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_APPWINDOW, kClassName, L"Melvane", WS_SYSMENU | WS_THICKFRAME | WS_CAPTION, 0, 0,
                            879, 600, GetDesktopWindow(), nullptr, Plugin().module, this);
    return hwnd_;
}

void CWndMelvane::CenterWindow() {
    if (!hwnd_) return;
    RECT rc, work;
    GetWindowRect(hwnd_, &rc);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWndMelvane::ApplyLanguage(int language) {
    SelectLanguageFile(PluginFolder(), language);
    title_ = GetLangText(L"ID_WND_MELVANE_TITLE");
    if (hwnd_) {
        SetWindowTextW(hwnd_, title_.c_str());
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void CWndMelvane::ApplySkin(const std::wstring& folder) {
    skinFolder_ = folder;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CWndMelvane::HostCommand(int code) {
    switch (code) {
    case 0: SetTempoIndex(tempoIndex_ - 1); break;
    case 1: SetTempoIndex(tempoIndex_ + 1); break;
    case 2: StartPlay(); break;
    case 3: PausePlay(); break;
    default: break;
    }
}

float CWndMelvane::TempoRatio() const { return (kTempoCount - tempoIndex_) / 10.0f; }

void CWndMelvane::SetTempoIndex(int index) {
    if (index < 0 || index >= kTempoCount) return;
    tempoIndex_ = index;
    if (score_) score_->ops->SetTempoRatio(score_, TempoRatio());
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CWndMelvane::StartPlay() {
    if (score_) score_->ops->Play(score_);
    if (HWND host = Plugin().hostWnd) {
        SetWindowPos(host, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetActiveWindow(host);
    }
}

void CWndMelvane::PausePlay() {
    if (score_) score_->ops->Pause(score_);
    SendResetNotesToHost();
}

void CWndMelvane::StopPlay() {
    if (score_) score_->ops->Stop(score_);
    SendResetNotesToHost();
}

void CWndMelvane::ClosePlayer(bool byHost) {
    StopPlay();
    if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, byHost ? 2 : 1, 0);
}

void CWndMelvane::LoadEngine() {
    if (!engine_.Load(PluginFolder())) return;
    score_ = engine_.CreateScore();
    selectAct_ = engine_.CreateSelectAct();
    if (score_) {
        score_->ops->SetOwnerWindow(score_, hwnd_);
        score_->ops->SetKeyCallback(score_, OnKey);
        score_->ops->SetNoteCallback(score_, OnNote);
    }
}

void CWndMelvane::ReleaseEngine() {
    engine_.ReleaseScore(score_);
    engine_.ReleaseSelectAct(selectAct_);
    score_ = nullptr;
    selectAct_ = nullptr;
    engine_.Unload();
}

void CWndMelvane::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    wchar_t line[256];
    wsprintfW(line, L"%s\nTempo index %d\nEngine: %s", title_.c_str(), tempoIndex_,
              score_ ? L"loaded" : L"not found");
    DrawTextW(dc, line, -1, &rc, DT_CENTER);
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK CWndMelvane::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWndMelvane* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<CWndMelvane*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = wnd;
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CWndMelvane*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    }
    return self ? self->HandleMessage(msg, wp, lp) : DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CWndMelvane::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: LoadEngine(); return 0;
    case WM_TIMER:
        if (wp == 1) KillTimer(hwnd_, 1);
        return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_CLOSE:
        ReleaseEngine();
        DestroyWindow(hwnd_);
        return 0;
    case WM_NCDESTROY: {
        HWND wnd = hwnd_;
        if (Plugin().player == this) Plugin().player = nullptr;
        PostPluginClosedToHost();
        SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        delete this;
        PostQuitMessage(0);
        return DefWindowProcW(wnd, msg, wp, lp);
    }
    default: return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}
