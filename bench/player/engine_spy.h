// Watching the score engine from inside the benchmark's process, so that any
// build of the plug-in is measured alike without knowing it is watched: the
// engine's operation table is one table shared by all its objects, so an
// object made here shows where it lies, and a few of its slots are pointed
// through functions of ours that log each call and pass it on. The plug-in's
// measure callback is kept on its way in, so the benchmark can move the
// ruler on the user-interface thread exactly as playback does.
#pragma once
#include <windows.h>

#include <vector>

#include "abi/score_engine.h"

namespace player_bench {

struct EngineCall {
    enum Op { Stop, Load, Prepare, Draw, GoToPage } op;
    double start, end;  // NowMs()
};

// Points the table's slots through the spy once the plug-in has loaded the
// engine (its objects keep working as before), and again for an engine
// loaded anew; false when none is loaded.
bool WatchEngine();
// The calls made since the last ClearEngineCalls, in order, on any thread.
std::vector<EngineCall> EngineCalls();
void ClearEngineCalls();
// The measure callback the plug-in registered last; null before it opened a
// score while watched. Call it only on the plug-in's user-interface thread.
ScoreMeasureFn PluginMeasureCallback();

}  // namespace player_bench
