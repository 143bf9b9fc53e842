// A stand-in ScoreDll.dll for tests: every operation is recorded in a log the
// test reads through FakeEngineLog; Play replays a scripted list of note
// events through the note callback; Load notes where the plug-in's waiting
// window stood meanwhile (FakeEngineSplashes).
#include <windows.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "abi/score_engine.h"

#define FAKE_EXPORT extern "C" __declspec(dllexport)

namespace {
// The player's thread writes the log (painting included) while the test's
// thread reads it: the reader gets a copy taken under the lock.
std::mutex g_logLock;
std::string g_log;
std::string g_logCopy;
std::vector<int> g_notes;  // groups of five values
ScoreNoteFn g_noteFn = nullptr;
ScoreKeyFn g_keyFn = nullptr;
int g_keyToReport = -1;
// The waiting window at each Load: "left,top,right,bottom;" on the screen,
// or "none;" when the plug-in showed none.
std::string g_splashes;
std::string g_splashesCopy;

void Log(const char* text) {
    std::lock_guard<std::mutex> hold(g_logLock);
    g_log += text;
    g_log += ';';
}

void __cdecl Prepare(IScore*, HDC, int mode, float scale, POINT*) {
    char b[64];
    snprintf(b, sizeof b, "Prepare %d %.2f", mode, scale);
    Log(b);
}
void __cdecl Draw(IScore*, HDC, int, RECT*, int) { Log("Draw"); }
void __cdecl SetOwnerWindow(IScore*, HWND) { Log("SetOwnerWindow"); }
int __cdecl GetMeasureCount(IScore*) { return 12; }
int __cdecl GetPageCount(IScore*) { return 2; }
void __cdecl GetPageSize(IScore*, SIZE* s) {
    if (s) *s = SIZE{595, 842};
}
void __cdecl GoToPage(IScore*, int page) {
    char b[32];
    snprintf(b, sizeof b, "GoToPage %d", page);
    Log(b);
}
void __cdecl GoToMeasure(IScore*, int m) {
    char b[32];
    snprintf(b, sizeof b, "GoToMeasure %d", m);
    Log(b);
}
void __cdecl Stop(IScore*) { Log("Stop"); }
void __cdecl Play(IScore*) {
    Log("Play");
    for (size_t i = 0; g_noteFn && i + 5 <= g_notes.size(); i += 5)
        g_noteFn(g_notes[i], g_notes[i + 1], g_notes[i + 2], g_notes[i + 3], g_notes[i + 4]);
}
void __cdecl Pause(IScore*) { Log("Pause"); }
int __cdecl IsPlaying(IScore*) { return 0; }
void __cdecl SetMeterCallback(IScore*, ScoreMeterFn) { Log("SetMeterCallback"); }
void __cdecl SetKeyCallback(IScore*, ScoreKeyFn fn) {
    Log("SetKeyCallback");
    g_keyFn = fn;
    if (fn && g_keyToReport >= 0) fn(g_keyToReport);
}
void __cdecl SetTempoCallback(IScore*, ScoreTempoFn) { Log("SetTempoCallback"); }
void __cdecl SetTimeCallback(IScore*, ScoreTimeFn) { Log("SetTimeCallback"); }
void __cdecl SetMeasureCallback(IScore*, ScoreMeasureFn) { Log("SetMeasureCallback"); }
void __cdecl SetNoteCallback(IScore*, ScoreNoteFn fn) {
    Log("SetNoteCallback");
    g_noteFn = fn;
}
void __cdecl SetTempoRatio(IScore*, float r) {
    char b[32];
    snprintf(b, sizeof b, "SetTempoRatio %.1f", r);
    Log(b);
}
void __cdecl SetHands(IScore*, int flags) {
    char b[32];
    snprintf(b, sizeof b, "SetHands 0x%x", flags);
    Log(b);
}
BOOL CALLBACK FindSplash(HWND wnd, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(wnd, cls, 64);
    if (pid != GetCurrentProcessId() || lstrcmpW(cls, L"CMelvaneSplashWnd") != 0 || !IsWindowVisible(wnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = wnd;
    return FALSE;
}

int __cdecl Load(IScore*, const wchar_t*) {
    Log("Load");
    HWND splash = nullptr;
    EnumWindows(FindSplash, reinterpret_cast<LPARAM>(&splash));
    char b[64] = "none;";
    RECT rc;
    if (splash && GetWindowRect(splash, &rc)) snprintf(b, sizeof b, "%ld,%ld,%ld,%ld;", rc.left, rc.top, rc.right, rc.bottom);
    std::lock_guard<std::mutex> hold(g_logLock);
    g_splashes += b;
    return 0;
}

const IScoreOps kScoreOps = {nullptr,     Prepare,         Draw,          nullptr,         SetOwnerWindow,
                             GetMeasureCount, GetPageCount, GetPageSize, GoToPage,       GoToMeasure,
                             Stop,        Play,            Pause,         IsPlaying,       nullptr,
                             SetMeterCallback, SetKeyCallback, SetTempoCallback, SetTimeCallback,
                             SetMeasureCallback, SetNoteCallback, SetTempoRatio, SetHands, Load, nullptr};

int __cdecl HitTest(ISelectAct*, HWND, IScore*, POINT*) { return 0; }
void __cdecl Activate(ISelectAct*) { Log("Activate"); }
void __cdecl QueryResult(ISelectAct*, void*) { Log("QueryResult"); }
const ISelectActOps kActOps = {HitTest, Activate, QueryResult};

IScore g_score = {&kScoreOps};
ISelectAct g_act = {&kActOps};
}  // namespace

FAKE_EXPORT IScore* __cdecl CreateScore() {
    Log("CreateScore");
    return &g_score;
}
FAKE_EXPORT void __cdecl ReleaseScore(IScore*) { Log("ReleaseScore"); }
FAKE_EXPORT ISelectAct* __cdecl CreateSelectAct() {
    Log("CreateSelectAct");
    return &g_act;
}
#ifndef FAKE_ENGINE_WITHOUT_RELEASE_SELECT_ACT
FAKE_EXPORT void __cdecl ReleaseSelectAct(ISelectAct*) { Log("ReleaseSelectAct"); }
#endif

// Test hooks.
FAKE_EXPORT const char* __cdecl FakeEngineLog() {
    std::lock_guard<std::mutex> hold(g_logLock);
    g_logCopy = g_log;
    return g_logCopy.c_str();
}
FAKE_EXPORT const char* __cdecl FakeEngineSplashes() {
    std::lock_guard<std::mutex> hold(g_logLock);
    g_splashesCopy = g_splashes;
    return g_splashesCopy.c_str();
}
FAKE_EXPORT void __cdecl FakeEngineReset() {
    std::lock_guard<std::mutex> hold(g_logLock);
    g_log.clear();
    g_splashes.clear();
    g_notes.clear();
    g_keyToReport = -1;
}
FAKE_EXPORT void __cdecl FakeEngineScriptNotes(const int* values, int count) { g_notes.assign(values, values + count); }
FAKE_EXPORT void __cdecl FakeEngineReportKeyOnCallback(int key) { g_keyToReport = key; }
