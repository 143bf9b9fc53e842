// melvane-host.exe: a small practice host that loads ZYQMelvane.dll from its
// own folder and shows on a keyboard what the plug-in plays.
//   --lang N          language number given to the plug-in (default 1033)
//   --skin FOLDER     skin folder given to the plug-in (default none)
//   --screenshot F    after --quit-after ms, save the screen to F and quit
//   --player-shot F   likewise, only the plug-in's window
//   --quit-after MS   quit after MS milliseconds
//   --demo 1          start playing the score the plug-in opens at start; a
//                     screenshot then waits (up to 5 s more) for a lit key
#include <windows.h>

#include <gdiplus.h>
#include <shellapi.h>

#include <string>

#include "host/host_window.h"
#include "host/screen_capture.h"

namespace {
std::wstring g_screenshot;
std::wstring g_playerShot;
const CHostWindow* g_window = nullptr;
bool g_demo = false;
int g_waitedForKeysMs = 0;

void CALLBACK QuitTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    // A picture of the playing demo shows notes sounding on the keyboard.
    const int kStepMs = 100, kMaxWaitMs = 5000;
    if (g_demo && g_window && g_window->LitKeys() == 0 && g_waitedForKeysMs < kMaxWaitMs) {
        g_waitedForKeysMs += kStepMs;
        SetTimer(nullptr, 0, kStepMs, QuitTimer);
        return;
    }
    if (!g_screenshot.empty()) SaveScreenPng(g_screenshot);
    HWND player = FindWindowW(L"CWndMelvane", nullptr);
    if (!g_playerShot.empty() && player) SaveScreenPng(g_playerShot, player);
    PostQuitMessage(0);
}

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    CHostWindow::Options options;
    options.pluginPath = ExeFolder() + L"ZYQMelvane.dll";
    int quitAfter = 0;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring key = argv[i], value = argv[i + 1];
        if (key == L"--lang") options.language = _wtoi(value.c_str());
        else if (key == L"--skin") options.skinFolder = value;
        else if (key == L"--screenshot") g_screenshot = value;
        else if (key == L"--player-shot") g_playerShot = value;
        else if (key == L"--quit-after") quitAfter = _wtoi(value.c_str());
        else if (key == L"--demo") options.demo = g_demo = _wtoi(value.c_str()) != 0;
    }
    LocalFree(argv);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &gdiplusInput, nullptr);

    CHostWindow window(options);
    if (!window.Create(instance)) return 1;
    g_window = &window;
    ShowWindow(window.Hwnd(), show);
    if (quitAfter > 0) SetTimer(nullptr, 0, static_cast<UINT>(quitAfter), QuitTimer);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (IsWindow(window.Hwnd())) DestroyWindow(window.Hwnd());
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
