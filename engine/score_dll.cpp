// ScoreDll.dll's four exports: undecorated cdecl functions that make and
// destroy the two engine objects.
#include <windows.h>

#include <new>

#include "abi/module_runtime.h"
#include "engine/score_object.h"
#include "engine/select_act.h"

#define SCORE_EXPORT extern "C" __declspec(dllexport)

// The plug-in loads and unloads the engine with every player window.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH) ModuleRuntime::Detach(reserved);
    return TRUE;
}

SCORE_EXPORT IScore* __cdecl CreateScore() { return new (std::nothrow) zyqn::CScore(); }

SCORE_EXPORT void __cdecl ReleaseScore(IScore* score) {
    if (zyqn::CScore* c = zyqn::CScore::FromInterface(score)) c->Release();
}

SCORE_EXPORT ISelectAct* __cdecl CreateSelectAct() { return new (std::nothrow) zyqn::CSelectAct(); }

SCORE_EXPORT void __cdecl ReleaseSelectAct(ISelectAct* act) {
    delete static_cast<zyqn::CSelectAct*>(act);
}
