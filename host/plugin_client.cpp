#include "abi/module.h"
#include "host/plugin_client.h"

#include "host/host_string.h"

bool CPluginClient::Load(const std::wstring& dllPath) {
    Unload();
    module_ = LoadLibraryW(dllPath.c_str());
    if (!module_) return false;
    init_ = GetProc<InitFn>(module_, "FunZYQPluginInit");
    exit_ = GetProc<ExitFn>(module_, "FunZYQPluginExit");
    lang_ = GetProc<LangFn>(module_, "FunZYQPluginLang");
    skin_ = GetProc<SkinFn>(module_, "FunZYQPluginSkin");
    cmd_ = GetProc<CmdFn>(module_, "FunZYQMelvaneCmd");
    if (!init_ || !exit_ || !lang_ || !skin_ || !cmd_) {
        Unload();
        return false;
    }
    return true;
}

void CPluginClient::Unload() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    init_ = nullptr;
    exit_ = nullptr;
    lang_ = nullptr;
    skin_ = nullptr;
    cmd_ = nullptr;
}

int CPluginClient::Init(HWND host, int language, const std::wstring& skinFolder) {
    return init_ ? init_(host, language, HostStrings().Make(skinFolder)) : 0;
}

void CPluginClient::Exit() {
    if (exit_) exit_();
}

void CPluginClient::Lang(int language) {
    if (lang_) lang_(language);
}

void CPluginClient::Skin(const std::wstring& folder) {
    if (skin_) skin_(HostStrings().Make(folder));
}

void CPluginClient::Cmd(int code) {
    if (cmd_) cmd_(code);
}
