#include "abi/module.h"
#include "player/score_engine_loader.h"

bool CScoreEngineLoader::Load(const std::wstring& pluginFolder) {
    Unload();
    if (pluginFolder.empty()) return false;
    SetDllDirectoryW(pluginFolder.c_str());
    std::wstring path = pluginFolder + L"ScoreDll.dll";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    module_ = LoadLibraryW(path.c_str());
    if (!module_) return false;
    createScore_ = GetProc<CreateScoreFn>(module_, "CreateScore");
    releaseScore_ = GetProc<ReleaseScoreFn>(module_, "ReleaseScore");
    createSelectAct_ = GetProc<CreateSelectActFn>(module_, "CreateSelectAct");
    releaseSelectAct_ = GetProc<ReleaseSelectActFn>(module_, "ReleaseSelectAct");
    if (!createScore_ || !releaseScore_ || !createSelectAct_ || !releaseSelectAct_) {
        Unload();
        return false;
    }
    return true;
}

IScore* CScoreEngineLoader::CreateScore() { return createScore_ ? createScore_() : nullptr; }
ISelectAct* CScoreEngineLoader::CreateSelectAct() { return createSelectAct_ ? createSelectAct_() : nullptr; }

void CScoreEngineLoader::ReleaseScore(IScore* score) {
    if (score && releaseScore_) releaseScore_(score);
}

void CScoreEngineLoader::ReleaseSelectAct(ISelectAct* act) {
    if (act && releaseSelectAct_) releaseSelectAct_(act);
}

void CScoreEngineLoader::Unload() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    createScore_ = nullptr;
    releaseScore_ = nullptr;
    createSelectAct_ = nullptr;
    releaseSelectAct_ = nullptr;
}
