// ScoreDll.dll's four exports: undecorated cdecl functions that make and
// destroy the two engine objects.
#include <new>

#include "engine/score_object.h"
#include "engine/select_act.h"

#define SCORE_EXPORT extern "C" __declspec(dllexport)

SCORE_EXPORT IScore* __cdecl CreateScore() { return new (std::nothrow) zyqn::CScore(); }

SCORE_EXPORT void __cdecl ReleaseScore(IScore* score) {
    if (zyqn::CScore* c = zyqn::CScore::FromInterface(score)) c->Release();
}

SCORE_EXPORT ISelectAct* __cdecl CreateSelectAct() { return new (std::nothrow) zyqn::CSelectAct(); }

SCORE_EXPORT void __cdecl ReleaseSelectAct(ISelectAct* act) {
    delete static_cast<zyqn::CSelectAct*>(act);
}
