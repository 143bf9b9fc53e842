// Process-wide state of the loaded plug-in, written by the exports and the
// user-interface thread.
#pragma once
#include <windows.h>

#include <string>

class CWndMelvane;

struct PluginState {
    HMODULE module = nullptr;
    HWND hostWnd = nullptr;
    int startLanguage = 0;
    std::wstring startSkinFolder;
    // Plain shared pointer, no lock: set and used on the UI thread, cleared by
    // FunZYQPluginExit before it waits and by the window when it is destroyed.
    CWndMelvane* volatile player = nullptr;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    ULONG_PTR gdiplusToken = 0;
};

PluginState& Plugin();

// The folder of the plug-in file with a trailing backslash.
std::wstring PluginFolder();
