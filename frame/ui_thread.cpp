#include "frame/ui_thread.h"

#include <gdiplus.h>
#include <ole2.h>

#include "frame/plugin_state.h"
#include "frame/ui_thread_hooks.h"
#include "player/wnd_melvane.h"

namespace {
const UINT WM_RUN_ON_UI = WM_APP + 0x4D;
HWND volatile g_bridge = nullptr;

LRESULT CALLBACK BridgeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_RUN_ON_UI) {
        (*reinterpret_cast<const std::function<void()>*>(lp))();
        return 1;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

HWND CreateBridge() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BridgeProc;
    wc.hInstance = Plugin().module;
    wc.lpszClassName = L"MelvaneUiBridge";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Plugin().module, nullptr);
}

void DestroyBridge() {
    HWND bridge = g_bridge;
    g_bridge = nullptr;
    if (bridge) DestroyWindow(bridge);
    UnregisterClassW(L"MelvaneUiBridge", Plugin().module);
}
}  // namespace

void RunOnUiThread(const std::function<void()>& fn) {
    HWND bridge = g_bridge;
    if (!bridge) return;
    if (GetWindowThreadProcessId(bridge, nullptr) == GetCurrentThreadId()) {
        fn();
        return;
    }
    SendMessageW(bridge, WM_RUN_ON_UI, 0, reinterpret_cast<LPARAM>(&fn));
}

DWORD WINAPI UiThreadMain(LPVOID /*hostWindow*/) {
    PluginState& st = Plugin();
    UiThreadHooks::AttachToolkit(st.module, PluginFolder());
    g_bridge = CreateBridge();
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
    st.player = player;
    player->CreatePlayerWindow();
    if (st.player) player->CenterWindow();
    if (st.player) st.player->ApplyLanguage(st.startLanguage);
    if (st.player) st.player->ApplySkin(st.startSkinFolder);
    if (st.player) {
        ShowWindow(st.player->GetHWND(), SW_SHOW);
        SetTimer(st.player->GetHWND(), 1, 120, nullptr);
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (UiThreadHooks::TranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    DestroyBridge();
    UiThreadHooks::ReleaseToolkit();
    OleUninitialize();
    CoUninitialize();
    return FreeLibrary(richEdit);
}
