// ScoreDll.dll's four exports: undecorated cdecl functions that make and
// destroy the two engine objects.
#include <windows.h>

#include <new>

#include "engine/score_object.h"
#include "engine/select_act.h"

#define SCORE_EXPORT extern "C" __declspec(dllexport)

namespace __gnu_cxx {
void __freeres() noexcept;  // libstdc++: frees its emergency exception pool
}

// The plug-in loads and unloads the engine with every player window. When
// unloaded by FreeLibrary (not at process end) the C++ run-time linked into
// this DLL gives back the pool it keeps for the life of the module, which
// would otherwise stay in the host's heap after every unload.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved) __gnu_cxx::__freeres();
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
