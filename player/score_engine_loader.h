// Loads ScoreDll.dll from the plug-in's folder and makes its two objects.
#pragma once
#include <string>

#include "abi/score_engine.h"

class CScoreEngineLoader {
public:
    ~CScoreEngineLoader() { Unload(); }
    // Loads "<folder>ScoreDll.dll" when the file exists. A library that lacks
    // one of the four exports is freed again and counts as missing.
    bool Load(const std::wstring& pluginFolder);
    bool IsLoaded() const { return module_ != nullptr; }
    IScore* CreateScore();
    ISelectAct* CreateSelectAct();
    void ReleaseScore(IScore* score);
    void ReleaseSelectAct(ISelectAct* act);
    void Unload();

private:
    HMODULE module_ = nullptr;
    CreateScoreFn createScore_ = nullptr;
    ReleaseScoreFn releaseScore_ = nullptr;
    CreateSelectActFn createSelectAct_ = nullptr;
    ReleaseSelectActFn releaseSelectAct_ = nullptr;
};
