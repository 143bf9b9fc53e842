#include "bench/player/engine_spy.h"

#include <atomic>

#include "abi/module.h"
#include "bench/player/bench_util.h"

namespace player_bench {

namespace {
IScoreOps g_original = {};
std::atomic<ScoreMeasureFn> g_measure{nullptr};

// Written on the plug-in's thread, read by the benchmark once it has waited
// for the measured step; full, it keeps the first calls.
const int kLogSize = 4096;
EngineCall g_log[kLogSize];
std::atomic<int> g_logged{0};

// Times one forwarded call into the log.
class Logged {
public:
    explicit Logged(EngineCall::Op op) : op_(op), start_(NowMs()) {}
    ~Logged() {
        int i = g_logged.fetch_add(1);
        if (i < kLogSize) g_log[i] = EngineCall{op_, start_, NowMs()};
    }

private:
    EngineCall::Op op_;
    double start_;
};

void __cdecl SpyStop(IScore* s) {
    Logged log(EngineCall::Stop);
    g_original.Stop(s);
}
int __cdecl SpyLoad(IScore* s, const wchar_t* path) {
    Logged log(EngineCall::Load);
    return g_original.Load(s, path);
}
void __cdecl SpyPrepare(IScore* s, HDC dc, int mode, float scale, POINT* origin) {
    Logged log(EngineCall::Prepare);
    g_original.Prepare(s, dc, mode, scale, origin);
}
void __cdecl SpyDraw(IScore* s, HDC dc, int mode, RECT* target, int flags) {
    Logged log(EngineCall::Draw);
    g_original.Draw(s, dc, mode, target, flags);
}
void __cdecl SpyGoToPage(IScore* s, int page) {
    Logged log(EngineCall::GoToPage);
    g_original.GoToPage(s, page);
}
void __cdecl SpySetMeasureCallback(IScore* s, ScoreMeasureFn fn) {
    g_measure = fn;
    g_original.SetMeasureCallback(s, fn);
}
}  // namespace

bool WatchEngine() {
    HMODULE engine = GetModuleHandleW(L"ScoreDll.dll");
    auto create = GetProc<CreateScoreFn>(engine, "CreateScore");
    auto release = GetProc<ReleaseScoreFn>(engine, "ReleaseScore");
    IScore* probe = create && release ? create() : nullptr;
    if (!probe) return false;
    auto* table = const_cast<IScoreOps*>(probe->ops);
    release(probe);
    if (table->Stop == SpyStop) return true;  // this engine is watched already
    DWORD oldProtect = 0;
    if (!VirtualProtect(table, sizeof *table, PAGE_READWRITE, &oldProtect)) return false;
    g_original = *table;
    table->Stop = SpyStop;
    table->Load = SpyLoad;
    table->Prepare = SpyPrepare;
    table->Draw = SpyDraw;
    table->GoToPage = SpyGoToPage;
    table->SetMeasureCallback = SpySetMeasureCallback;
    VirtualProtect(table, sizeof *table, oldProtect, &oldProtect);
    FlushInstructionCache(GetCurrentProcess(), table, sizeof *table);
    return true;
}

std::vector<EngineCall> EngineCalls() {
    int n = g_logged.load();
    if (n > kLogSize) n = kLogSize;
    return std::vector<EngineCall>(g_log, g_log + n);
}

void ClearEngineCalls() { g_logged = 0; }

ScoreMeasureFn PluginMeasureCallback() { return g_measure.load(); }

}  // namespace player_bench
