// Loads ZYQMelvane.dll and calls its five exports the way a host does.
#pragma once
#include <windows.h>

#include <string>

#include "abi/ref_wstring.h"

class CPluginClient {
public:
    ~CPluginClient() { Unload(); }
    bool Load(const std::wstring& dllPath);
    bool IsLoaded() const { return module_ != nullptr; }
    void Unload();

    int Init(HWND host, int language, const std::wstring& skinFolder);
    void Exit();
    void Lang(int language);
    void Skin(const std::wstring& folder);
    void Cmd(int code);

private:
    typedef int(__cdecl* InitFn)(HWND, int, RefWString);
    typedef void(__cdecl* ExitFn)();
    typedef void(__cdecl* LangFn)(int);
    typedef void(__cdecl* SkinFn)(RefWString);
    typedef void(__cdecl* CmdFn)(int);

    HMODULE module_ = nullptr;
    InitFn init_ = nullptr;
    ExitFn exit_ = nullptr;
    LangFn lang_ = nullptr;
    SkinFn skin_ = nullptr;
    CmdFn cmd_ = nullptr;
};
