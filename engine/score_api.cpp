// The binary face of the engine: the operation tables of IScore and
// ISelectAct and the four exports. Each entry checks its object and hands on.
#include <cstring>
#include <new>

#include "engine/score_object.h"
#include "engine/select_act.h"

namespace zyqn {

namespace {

CScore* Self(IScore* s) { return CScore::FromInterface(s); }

void __cdecl Prepare(IScore* s, HDC, int mode, float scale, POINT* origin) {
    if (CScore* c = Self(s)) c->Prepare(mode, scale, origin);
}
void __cdecl Draw(IScore* s, HDC dc, int mode, RECT* target, int) {
    if (CScore* c = Self(s)) c->Draw(dc, mode, target);
}
void __cdecl SetOwnerWindow(IScore* s, HWND owner) {
    if (CScore* c = Self(s)) c->SetOwnerWindow(owner);
}
int __cdecl GetMeasureCount(IScore* s) {
    CScore* c = Self(s);
    return c ? c->MeasureCount() : 0;
}
int __cdecl GetPageCount(IScore* s) {
    CScore* c = Self(s);
    return c ? c->PageCount() : 0;
}
void __cdecl GetPageSize(IScore* s, SIZE* size) {
    CScore* c = Self(s);
    if (c && size) *size = c->PageSize();
}
void __cdecl GoToPage(IScore* s, int page) {
    if (CScore* c = Self(s)) c->GoToPage(page);
}
void __cdecl GoToMeasure(IScore* s, int measure) {
    if (CScore* c = Self(s)) {
        CScore::Busy busy(c);
        c->GoToMeasure(measure);
    }
}
void __cdecl Stop(IScore* s) {
    if (CScore* c = Self(s)) {
        CScore::Busy busy(c);
        c->Stop();
    }
}
void __cdecl Play(IScore* s) {
    if (CScore* c = Self(s)) {
        CScore::Busy busy(c);
        c->Play();
    }
}
void __cdecl Pause(IScore* s) {
    if (CScore* c = Self(s)) {
        CScore::Busy busy(c);
        c->Pause();
    }
}
int __cdecl IsPlaying(IScore* s) {
    CScore* c = Self(s);
    return c && c->IsPlaying() ? 1 : 0;
}

template <typename Fn, void (CScore::*Set)(Fn)>
void __cdecl SetCallback(IScore* s, Fn fn) {
    if (CScore* c = Self(s)) {
        CScore::Busy busy(c);
        (c->*Set)(fn);
    }
}

void __cdecl SetTempoRatio(IScore* s, float ratio) {
    if (CScore* c = Self(s)) c->SetTempoRatio(ratio);
}
void __cdecl SetHands(IScore* s, int flags) {
    if (CScore* c = Self(s)) {
        CScore::Busy busy(c);
        c->SetHands(flags);
    }
}
int __cdecl Load(IScore* s, const wchar_t* path) {
    CScore* c = Self(s);
    if (!c) return SCORE_E_OTHER;
    CScore::Busy busy(c);
    return c->Load(path);
}

int __cdecl HitTest(ISelectAct* a, HWND, IScore* score, POINT* pt) {
    return a ? static_cast<CSelectAct*>(a)->HitTest(score, pt) : 0;
}
void __cdecl Activate(ISelectAct* a) {
    if (a) static_cast<CSelectAct*>(a)->Activate();
}
void __cdecl QueryResult(ISelectAct* a, void* buffer) {
    if (a) static_cast<CSelectAct*>(a)->QueryResult(buffer);
}

}  // namespace

extern const IScoreOps kScoreOps = {
    nullptr,
    Prepare,
    Draw,
    nullptr,
    SetOwnerWindow,
    GetMeasureCount,
    GetPageCount,
    GetPageSize,
    GoToPage,
    GoToMeasure,
    Stop,
    Play,
    Pause,
    IsPlaying,
    nullptr,
    SetCallback<ScoreMeterFn, &CScore::SetMeterCallback>,
    SetCallback<ScoreKeyFn, &CScore::SetKeyCallback>,
    SetCallback<ScoreTempoFn, &CScore::SetTempoCallback>,
    SetCallback<ScoreTimeFn, &CScore::SetTimeCallback>,
    SetCallback<ScoreMeasureFn, &CScore::SetMeasureCallback>,
    SetCallback<ScoreNoteFn, &CScore::SetNoteCallback>,
    SetTempoRatio,
    SetHands,
    Load,
    nullptr,
};

const ISelectActOps kSelectActOps = {HitTest, Activate, QueryResult};

CSelectAct::CSelectAct() { ops = &kSelectActOps; }

int CSelectAct::HitTest(IScore* score, const POINT* pt) {
    hit_ = EventRef();
    score_ = nullptr;
    CScore* c = CScore::FromInterface(score);
    if (!c || !pt || !c->HitTest(*pt, &hit_)) return 0;
    score_ = score;
    return 1;
}

void CSelectAct::Activate() {
    CScore* c = CScore::FromInterface(score_);
    if (!c || !hit_.Valid()) return;
    resultMeasure_ = hit_.measure + 1;
    CScore::Busy busy(c);
    c->GoToMeasure(resultMeasure_);
}

void CSelectAct::QueryResult(void* buffer) const {
    if (!buffer) return;
    int out[4] = {resultMeasure_, 0, 0, 0};
    std::memcpy(buffer, out, sizeof out);
}

}  // namespace zyqn
