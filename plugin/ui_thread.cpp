#include "plugin/ui_thread.h"

#include <gdiplus.h>
#include <ole2.h>

#include <memory>

#include "frame/plugin_state.h"
#include "plugin/ui_thread_hooks.h"
#include "player/wnd_melvane.h"

namespace {
const UINT WM_RUN_ON_UI = WM_APP + 0x4D;
const wchar_t kBridgeClass[] = L"MelvaneUiBridge";
using Request = std::function<void()>;

// The bridge window, guarded so that a request is either posted to a live
// bridge or refused: the UI thread takes the bridge away under the lock and
// then drops whatever is still queued.
struct Bridge {
    Bridge() { InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    HWND wnd = nullptr;
};
Bridge& TheBridge() {
    static Bridge b;
    return b;
}

LRESULT CALLBACK BridgeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_RUN_ON_UI) {
        std::unique_ptr<Request> request(reinterpret_cast<Request*>(lp));
        (*request)();
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

void CreateBridge() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BridgeProc;
    wc.hInstance = Plugin().module;
    wc.lpszClassName = kBridgeClass;
    RegisterClassW(&wc);
    HWND wnd = CreateWindowExW(0, kBridgeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Plugin().module, nullptr);
    EnterCriticalSection(&TheBridge().lock);
    TheBridge().wnd = wnd;
    LeaveCriticalSection(&TheBridge().lock);
}

void DestroyBridge() {
    Bridge& b = TheBridge();
    EnterCriticalSection(&b.lock);
    HWND wnd = b.wnd;
    b.wnd = nullptr;
    LeaveCriticalSection(&b.lock);
    if (!wnd) return;
    MSG msg;
    while (PeekMessageW(&msg, wnd, WM_RUN_ON_UI, WM_RUN_ON_UI, PM_REMOVE))
        delete reinterpret_cast<Request*>(msg.lParam);
    DestroyWindow(wnd);
    UnregisterClassW(kBridgeClass, Plugin().module);
}
}  // namespace

bool PostToUiThread(std::function<void()> fn) {
    Bridge& b = TheBridge();
    auto* request = new Request(std::move(fn));
    EnterCriticalSection(&b.lock);
    bool posted = b.wnd && PostMessageW(b.wnd, WM_RUN_ON_UI, 0, reinterpret_cast<LPARAM>(request));
    LeaveCriticalSection(&b.lock);
    if (!posted) delete request;
    return posted;
}

DWORD WINAPI UiThreadMain(LPVOID startArg) {
    UiThreadStart start = *static_cast<UiThreadStart*>(startArg);
    PluginState& st = Plugin();
    UiThreadHooks::AttachToolkit(st.module, PluginFolder());
    CreateBridge();
    SetEvent(start.ready);
    HMODULE richEdit = LoadLibraryW(L"Riched20.dll");

    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&st.gdiplusToken, &gdiplusInput, nullptr);

    HRESULT hr = CoInitialize(nullptr);
    OleInitialize(nullptr);
    UiThreadHooks::RegisterShadowClass(st.module);
    if (FAILED(hr)) {
        DestroyBridge();
        return static_cast<DWORD>(hr);
    }

    CWndMelvane* player = new (std::nothrow) CWndMelvane();
    if (!player) {
        DestroyBridge();
        return 0;
    }
    CWndMelvane::Current() = player;
    player->CreatePlayerWindow();
    if (CWndMelvane::Current()) player->CenterWindow();
    if (CWndMelvane::Current()) CWndMelvane::Current()->ApplyLanguage(st.startLanguage);
    if (CWndMelvane::Current()) CWndMelvane::Current()->ApplySkin(st.startSkinFolder);
    if (CWndMelvane::Current()) {
        ShowWindow(CWndMelvane::Current()->GetHWND(), SW_SHOW);
        SetTimer(CWndMelvane::Current()->GetHWND(), 1, 120, nullptr);
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (UiThreadHooks::TranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    DestroyBridge();
    UiThreadHooks::ReleaseToolkit(st.module);
    OleUninitialize();
    CoUninitialize();
    return FreeLibrary(richEdit);
}
