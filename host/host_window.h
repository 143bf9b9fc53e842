// The practice host's main window: four command buttons, the key signature,
// a log of what the plug-in says, and the keyboard it lights.
#pragma once
#include <windows.h>

#include <string>

#include "host/keyboard_view.h"
#include "host/plugin_client.h"

class CHostWindow {
public:
    struct Options {
        int language = 1033;
        std::wstring skinFolder;
        std::wstring pluginPath;
        bool demo = false;  // start playing once the plug-in has opened a score
    };
    explicit CHostWindow(const Options& options) : options_(options) {}
    bool Create(HINSTANCE instance);
    HWND Hwnd() const { return hwnd_; }
    // Host code 0..14 to its key name, alphabetical (A flat first).
    static const wchar_t* HostKeyName(int code);
    // Keys the plug-in's notes hold down now.
    int LitKeys() const { return keyboard_.LitCount(); }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void OnCreate();
    void OnCommand(int id);
    void OnNoteWord(DWORD word);
    void OnKey(int code);
    void OnPluginClosed();
    void OnPaint();
    void Log(const std::wstring& line);
    RECT KeyboardArea() const;

    Options options_;
    HWND hwnd_ = nullptr;
    HWND log_ = nullptr;
    HWND keyLabel_ = nullptr;
    HFONT font_ = nullptr;
    CKeyboardView keyboard_;
    CPluginClient plugin_;
    int notesSeen_ = 0;
    bool keySeen_ = false;
    bool demoStarted_ = false;
};
