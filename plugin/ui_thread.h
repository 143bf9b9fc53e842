// The plug-in's user-interface thread and the bridge that carries the host's
// requests onto it.
#pragma once
#include <windows.h>

#include <functional>

// Thread procedure started by FunZYQPluginInit. ready is signalled once the
// bridge below exists (or the thread gave up before making it).
struct UiThreadStart {
    HWND hostWindow;
    HANDLE ready;
};
DWORD WINAPI UiThreadMain(LPVOID start);

// Queues fn to run on the user-interface thread and returns at once. The
// host's calls (language, skin, commands, close) arrive on the host's thread;
// they are posted to a message-only window owned by the UI thread, so they
// run between two messages of its loop (or of a modal loop it is in) and
// never beside it. Nothing waits: a host thread that stops pumping while the
// UI thread sends it a note cannot lock the two together. Returns false (and
// drops fn) when the thread is gone; queued requests that the thread never
// reaches are dropped when it ends.
bool PostToUiThread(std::function<void()> fn);
