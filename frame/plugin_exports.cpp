// The five functions the host calls. All run on the host's thread; whatever
// touches the player window is carried to the user-interface thread.
#include <windows.h>

#include <gdiplus.h>

#include "frame/plugin_state.h"
#include "frame/ref_wstring.h"
#include "frame/ui_thread.h"
#include "player/wnd_melvane.h"

// Waits without a time limit, but keeps answering messages sent to this
// thread's windows: the UI thread may be sending a note to the host when the
// host calls Exit, and the window system talks to the host's windows while
// the player window is destroyed. Posted messages stay queued for the host.
static void WaitForThreadServingSentMessages(HANDLE thread) {
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Plugin().module = instance;
    return TRUE;
}

int __cdecl FunZYQPluginInit(HWND hostWnd, int language, RefWString skinFolder) {
    PluginState& st = Plugin();
    st.startLanguage = language;
    st.hostWnd = hostWnd;
    st.startSkinFolder = RefWStringValue(skinFolder);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, UiThreadMain, hostWnd, 0, &id);
    RefWStringRelease(skinFolder);
    if (!thread) return 0;
    st.thread = thread;
    st.threadId = id;
    return 1;
}

void __cdecl FunZYQPluginExit() {
    PluginState& st = Plugin();
    RunOnUiThread([] {
        if (CWndMelvane* w = Plugin().player) w->ClosePlayer(true);
    });
    st.player = nullptr;
    if (st.thread) {
        WaitForThreadServingSentMessages(st.thread);
        CloseHandle(st.thread);
    }
    if (st.gdiplusToken) Gdiplus::GdiplusShutdown(st.gdiplusToken);
    st.gdiplusToken = 0;
    st.thread = nullptr;
}

void __cdecl FunZYQPluginLang(int language) {
    RunOnUiThread([language] {
        if (CWndMelvane* w = Plugin().player) w->ApplyLanguage(language);
    });
}

void __cdecl FunZYQPluginSkin(RefWString skinFolder) {
    std::wstring folder = RefWStringValue(skinFolder);
    RunOnUiThread([&folder] {
        if (CWndMelvane* w = Plugin().player) w->ApplySkin(folder);
    });
    RefWStringRelease(skinFolder);
}

void __cdecl FunZYQMelvaneCmd(int code) {
    RunOnUiThread([code] {
        if (CWndMelvane* w = Plugin().player) w->HostCommand(code);
    });
}

}  // extern "C"
