// The five functions the host calls. All run on the host's thread; whatever
// touches the player window is carried to the user-interface thread without
// waiting for it, so a host that stops pumping its messages while the player
// sends it a note blocks nothing but that note.
#include <windows.h>

#include <gdiplus.h>

#include "abi/module_runtime.h"
#include "frame/plugin_state.h"
#include "abi/ref_wstring.h"
#include "plugin/ui_thread.h"
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

static bool ThreadRuns(HANDLE thread) { return thread && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT; }

// Joins an ended (or ending) UI thread and shuts GDI+ down after it. The
// player pointer is left to the window until the thread has ended: a close
// request queued just before reads it.
static void JoinUiThread() {
    PluginState& st = Plugin();
    if (st.thread) {
        WaitForThreadServingSentMessages(st.thread);
        CloseHandle(st.thread);
    }
    CWndMelvane::Current() = nullptr;
    if (st.gdiplusToken) Gdiplus::GdiplusShutdown(st.gdiplusToken);
    st.gdiplusToken = 0;
    st.thread = nullptr;
    st.threadId = 0;
}

static void BringPlayerForward() {
    CWndMelvane* w = CWndMelvane::Current();
    if (!w) return;
    HWND wnd = w->GetHWND();
    ShowWindow(wnd, IsIconic(wnd) ? SW_RESTORE : SW_SHOW);
    SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(wnd);
}

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) Plugin().module = instance;
    if (reason == DLL_PROCESS_DETACH) ModuleRuntime::Detach(reserved);
    return TRUE;
}

int __cdecl FunZYQPluginInit(HWND hostWnd, int language, RefWString skinFolder) {
    PluginState& st = Plugin();
    // One player per load: a second start while it runs shows the window the
    // host already has instead of starting a second thread that Exit would
    // not join.
    if (ThreadRuns(st.thread) && PostToUiThread(BringPlayerForward)) {
        RefWStringRelease(skinFolder);
        return 1;
    }
    // The user closed the window (the thread has ended or is ending) and the
    // host starts again without Exit.
    if (st.thread) JoinUiThread();

    st.startLanguage = language;
    st.hostWnd = hostWnd;
    st.startSkinFolder = RefWStringValue(skinFolder);
    RefWStringRelease(skinFolder);
    UiThreadStart start = {hostWnd, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    if (!start.ready) return 0;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, UiThreadMain, &start, 0, &id);
    if (thread) {
        // Until the bridge exists a request from the host would be lost, and
        // an Exit right after Init would wait for a close that never comes.
        HANDLE both[2] = {start.ready, thread};
        WaitForMultipleObjects(2, both, FALSE, INFINITE);
    }
    CloseHandle(start.ready);
    if (!thread) return 0;
    st.thread = thread;
    st.threadId = id;
    return 1;
}

void __cdecl FunZYQPluginExit() {
    PostToUiThread([] {
        if (CWndMelvane* w = CWndMelvane::Current()) w->ClosePlayer(true);
    });
    JoinUiThread();
}

void __cdecl FunZYQPluginLang(int language) {
    PostToUiThread([language] {
        if (CWndMelvane* w = CWndMelvane::Current()) w->ApplyLanguage(language);
    });
}

void __cdecl FunZYQPluginSkin(RefWString skinFolder) {
    // The host's string is released before the request runs: take a copy.
    std::wstring folder = RefWStringValue(skinFolder);
    RefWStringRelease(skinFolder);
    PostToUiThread([folder] {
        if (CWndMelvane* w = CWndMelvane::Current()) w->ApplySkin(folder);
    });
}

void __cdecl FunZYQMelvaneCmd(int code) {
    PostToUiThread([code] {
        if (CWndMelvane* w = CWndMelvane::Current()) w->HostCommand(code);
    });
}

}  // extern "C"
