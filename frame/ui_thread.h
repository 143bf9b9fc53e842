// The plug-in's user-interface thread and the bridge that carries the host's
// requests onto it.
#pragma once
#include <windows.h>

#include <functional>

// Thread procedure started by FunZYQPluginInit.
DWORD WINAPI UiThreadMain(LPVOID hostWindow);

// Runs fn on the user-interface thread and returns when it has run. The host's
// calls (language, skin, commands, close) arrive on the host's thread; they
// are sent to a message-only window owned by the UI thread, so they run
// between two messages of its loop (or of a modal loop it is in) and never
// beside it. A sent message also keeps working while the UI thread is itself
// blocked sending a note to the host. Does nothing when the thread is gone.
void RunOnUiThread(const std::function<void()>& fn);
