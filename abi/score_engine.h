// The score engine's binary interface, shared by the plug-in (the caller) and
// ScoreDll.dll (the implementer). Both objects are plain tables of cdecl
// functions that take the object as their first argument, so the layout does
// not depend on either side's C++ compiler.
#pragma once
#include <windows.h>

#define WM_SCORE_PLAY_END (WM_USER + 300)   // playback reached the end
#define WM_SCORE_SHOW_RECT (WM_USER + 301)  // wParam = RECT* to keep visible
#define WM_SCORE_PAGE (WM_USER + 303)       // wParam = page index now shown

// Load results.
#define SCORE_LOAD_OK 0
#define SCORE_E_VERSION ((int)0x80040200)     // written by a newer engine
#define SCORE_E_OTHER ((int)0x80040201)
#define SCORE_E_UNREADABLE ((int)0x80040202)  // I/O error, syntax error, too large
#define SCORE_E_DAMAGED ((int)0x80040204)
#define SCORE_E_NOT_SCORE ((int)0x80040205)   // not a score file at all

// Prepare / Draw modes and flags.
#define SCORE_MODE_THUMBNAIL 1
#define SCORE_MODE_PAGE 2
#define SCORE_DRAW_PAGE 1
#define SCORE_DRAW_THUMBNAIL 3

// GoToPage commands; any other value is a 0-based page index.
#define SCORE_PAGE_FIRST 0x101
#define SCORE_PAGE_PREV 0x102
#define SCORE_PAGE_NEXT 0x103
#define SCORE_PAGE_LAST 0x104

// SetHands flags.
#define SCORE_LEFT_PLAYED 0x10
#define SCORE_RIGHT_PLAYED 0x20
#define SCORE_LEFT_MUTED 0x40
#define SCORE_RIGHT_MUTED 0x80

extern "C" {
typedef void(__cdecl* ScoreMeterFn)(int beats, int unit);
typedef void(__cdecl* ScoreKeyFn)(int key);  // 0..14, seven flats .. seven sharps
typedef void(__cdecl* ScoreTempoFn)(int bpm);
typedef void(__cdecl* ScoreTimeFn)(int currentMs, int totalMs);
typedef void(__cdecl* ScoreMeasureFn)(int current, int total);
// Note events: (MIDI note, velocity, channel, hand, on) where hand is 0 for
// the right hand and 1 for the left, and `on` is 1 for note-on and 0 for
// note-off.
typedef void(__cdecl* ScoreNoteFn)(int note, int velocity, int channel, int hand, int on);

struct IScore;
struct ISelectAct;

// The slots marked reserved keep the table's layout; callers never use them.
struct IScoreOps {
    void* reserved0;
    void(__cdecl* Prepare)(IScore* self, HDC dc, int mode, float scale, POINT* origin);
    void(__cdecl* Draw)(IScore* self, HDC dc, int mode, RECT* target, int flags);
    void* reserved1;
    void(__cdecl* SetOwnerWindow)(IScore* self, HWND owner);
    int(__cdecl* GetMeasureCount)(IScore* self);
    int(__cdecl* GetPageCount)(IScore* self);
    void(__cdecl* GetPageSize)(IScore* self, SIZE* size);
    void(__cdecl* GoToPage)(IScore* self, int page);
    void(__cdecl* GoToMeasure)(IScore* self, int measure);
    void(__cdecl* Stop)(IScore* self);
    void(__cdecl* Play)(IScore* self);
    void(__cdecl* Pause)(IScore* self);
    int(__cdecl* IsPlaying)(IScore* self);
    void* reserved2;
    void(__cdecl* SetMeterCallback)(IScore* self, ScoreMeterFn fn);
    void(__cdecl* SetKeyCallback)(IScore* self, ScoreKeyFn fn);
    void(__cdecl* SetTempoCallback)(IScore* self, ScoreTempoFn fn);
    void(__cdecl* SetTimeCallback)(IScore* self, ScoreTimeFn fn);
    void(__cdecl* SetMeasureCallback)(IScore* self, ScoreMeasureFn fn);
    void(__cdecl* SetNoteCallback)(IScore* self, ScoreNoteFn fn);
    void(__cdecl* SetTempoRatio)(IScore* self, float ratio);
    void(__cdecl* SetHands)(IScore* self, int flags);
    int(__cdecl* Load)(IScore* self, const wchar_t* path);
    void* reserved3;
};

struct IScore {
    const IScoreOps* ops;
};

// QueryResult writes at most 16 bytes into the caller's buffer: the 1-based
// measure that Activate moved to, as an int, then zeros.
struct ISelectActOps {
    int(__cdecl* HitTest)(ISelectAct* self, HWND wnd, IScore* score, POINT* clientPt);
    void(__cdecl* Activate)(ISelectAct* self);
    void(__cdecl* QueryResult)(ISelectAct* self, void* buffer);
};

struct ISelectAct {
    const ISelectActOps* ops;
};

// The four exports of ScoreDll.dll.
typedef IScore*(__cdecl* CreateScoreFn)();
typedef void(__cdecl* ReleaseScoreFn)(IScore* score);
typedef ISelectAct*(__cdecl* CreateSelectActFn)();
typedef void(__cdecl* ReleaseSelectActFn)(ISelectAct* act);
}
