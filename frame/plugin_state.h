// Process-wide state of the loaded plug-in, written by the exports and the
// user-interface thread.
#pragma once
#include <windows.h>

#include <string>

struct PluginState {
    HMODULE module = nullptr;
    HWND hostWnd = nullptr;
    int startLanguage = 0;
    std::wstring startSkinFolder;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    ULONG_PTR gdiplusToken = 0;
};

PluginState& Plugin();

// The full path of a module file, however long; empty when it cannot be read
// whole.
std::wstring ModulePath(HMODULE module);
// The folder of the plug-in file with a trailing backslash; empty when its
// path cannot be read whole, and then the plug-in does without its files
// (English texts, no library, no settings) rather than use another folder.
std::wstring PluginFolder();
