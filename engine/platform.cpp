#include "engine/platform.h"

#include <mmsystem.h>

#include <cstring>
#include <map>

#include "abi/module.h"

namespace zyqn {

CPerformanceClock::CPerformanceClock() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    msPerCount_ = f.QuadPart > 0 ? 1000.0 / static_cast<double>(f.QuadPart) : 1.0;
}

double CPerformanceClock::NowMs() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * msPerCount_;
}

namespace {

// Linux, reached from a Wine thread through the i386 system call gate (the
// engine is a 32-bit DLL). Only where that gate is the process's own: Wine
// says its host is Linux and the process is a plain 32-bit one, not one that
// Windows-on-Windows emulation runs inside a 64-bit process.
bool LinuxGateUsable() {
    static const bool usable = [] {
        using HostVersionFn = void(__cdecl*)(const char**, const char**);
        auto hostVersion = GetProc<HostVersionFn>(GetModuleHandleW(L"ntdll.dll"), "wine_get_host_version");
        const char* system = nullptr;
        const char* release = nullptr;
        if (hostVersion) hostVersion(&system, &release);
        BOOL emulated = FALSE;
        if (!IsWow64Process(GetCurrentProcess(), &emulated)) emulated = TRUE;
        return system && strcmp(system, "Linux") == 0 && !emulated;
    }();
    return usable;
}

long LinuxCall(long number, long a, long b, long c) {
#if defined(__i386__)
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c) : "memory");
    return result;
#else
    (void)number, (void)a, (void)b, (void)c;
    return -38;  // ENOSYS
#endif
}

constexpr long kSysSchedSetScheduler = 156, kSysSchedGetScheduler = 157, kSysSchedGetParam = 155,
               kSysNanosleep = 162;
constexpr int kSchedFifo = 1;
// Low real-time levels: ahead of every ordinary thread, behind the system's
// own real-time work (interrupt threads, sound servers).
constexpr int kRealTimeBase = 2;

}  // namespace

int LinuxThreadPolicy() {
    if (!LinuxGateUsable()) return -1;
    long policy = LinuxCall(kSysSchedGetScheduler, 0, 0, 0);
    return policy < 0 ? -1 : static_cast<int>(policy);
}

void CThreadBoost::Raise(Level level) {
    if (raised_) return;
    raised_ = true;
    HANDLE self = GetCurrentThread();
    windowsPriority_ = GetThreadPriority(self);
    SetThreadPriority(self, level == kWaker ? THREAD_PRIORITY_TIME_CRITICAL : THREAD_PRIORITY_HIGHEST);
    if (!LinuxGateUsable()) return;
    int param = 0;
    linuxPolicy_ = static_cast<int>(LinuxCall(kSysSchedGetScheduler, 0, 0, 0));
    if (linuxPolicy_ < 0 || LinuxCall(kSysSchedGetParam, 0, reinterpret_cast<long>(&param), 0) != 0) return;
    linuxParam_ = param;
    int wanted = kRealTimeBase + (level == kWaker ? 1 : 0);
    linuxRaised_ = LinuxCall(kSysSchedSetScheduler, 0, kSchedFifo, reinterpret_cast<long>(&wanted)) == 0;
}

void CThreadBoost::Restore() {
    if (!raised_) return;
    raised_ = false;
    SetThreadPriority(GetCurrentThread(), windowsPriority_);
    if (!linuxRaised_) return;
    linuxRaised_ = false;
    int param = linuxParam_;
    LinuxCall(kSysSchedSetScheduler, 0, linuxPolicy_, reinterpret_cast<long>(&param));
}

namespace {
// Left to spin after the kernel's sleep: what such a sleep may overshoot.
constexpr double kSpinAfterSleepMs = 0.2;
}  // namespace

void WaitUntil(IClock& clock, double dueMs) {
    double left = dueMs - clock.NowMs();
    if (left > kSpinAfterSleepMs && LinuxGateUsable()) {
        const double sleepMs = left - kSpinAfterSleepMs;
        struct {
            long seconds, nanoseconds;
        } span = {static_cast<long>(sleepMs / 1000), 0};
        span.nanoseconds = static_cast<long>((sleepMs - span.seconds * 1000.0) * 1e6);
        LinuxCall(kSysNanosleep, reinterpret_cast<long>(&span), 0, 0);  // a signal may end it early: spun then
    }
    while (clock.NowMs() < dueMs) YieldProcessor();
}

namespace {
constexpr UINT kWakeMessage = WM_APP + 0x5A;
const wchar_t kWakeClass[] = L"ZyqnWakeTimer";

// How long before the moment the helper posts. Under Wine the owner's thread
// then sleeps in the kernel, which costs nothing, so the lead can cover a
// Wine server held up by a busy machine; elsewhere the owner spins it, and
// Windows delivers a raised thread's post promptly.
double LeadMs() { return LinuxGateUsable() ? 8.0 : 1.0; }
}  // namespace

CWakeTimer::CWakeTimer(std::function<void()> onWake) : onWake_(std::move(onWake)) {
    InitializeCriticalSection(&lock_);
}

CWakeTimer::~CWakeTimer() {
    Stop();
    if (thread_) {
        EnterCriticalSection(&lock_);
        quit_ = true;
        LeaveCriticalSection(&lock_);
        SetEvent(changed_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    if (changed_) CloseHandle(changed_);
    if (window_) {
        HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
        DestroyWindow(window_);
        // The class points into this module, which may be unloaded and loaded
        // again elsewhere; the last timer's window takes it along (while other
        // windows of the class live, this fails harmlessly).
        UnregisterClassW(kWakeClass, module);
    }
    DeleteCriticalSection(&lock_);
}

bool CWakeTimer::EnsureStarted() {
    if (thread_) return true;
    HINSTANCE module = ThisModule();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &CWakeTimer::WindowProc;
    wc.hInstance = module;
    wc.lpszClassName = kWakeClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    if (!window_) window_ = CreateWindowExW(0, kWakeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (!window_) return false;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!changed_) changed_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!changed_) return false;
    thread_ = CreateThread(nullptr, 0, &CWakeTimer::HelperMain, this, 0, nullptr);
    return thread_ != nullptr;
}

void CWakeTimer::WakeIn(double ms, bool exact) {
    if (!EnsureStarted()) return;
    if (!periodRaised_) {
        timeBeginPeriod(1);  // finer sleeps for the helper until Stop
        ownerBoost_.Raise(CThreadBoost::kWoken);
    }
    periodRaised_ = true;
    armed_ = true;
    exact_ = exact;
    EnterCriticalSection(&lock_);
    dueMs_ = clock_.NowMs() + (ms > 0 ? ms : 0);
    ++generation_;
    pending_ = true;
    LeaveCriticalSection(&lock_);
    SetEvent(changed_);
}

void CWakeTimer::Stop() {
    if (periodRaised_) {
        timeEndPeriod(1);
        ownerBoost_.Restore();
    }
    periodRaised_ = false;
    if (!armed_) return;
    armed_ = false;
    EnterCriticalSection(&lock_);
    ++generation_;
    pending_ = false;
    LeaveCriticalSection(&lock_);
    SetEvent(changed_);
}

DWORD WINAPI CWakeTimer::HelperMain(void* self) {
    CThreadBoost boost;  // for the thread's life: it only ever waits or keeps time
    boost.Raise(CThreadBoost::kWaker);
    static_cast<CWakeTimer*>(self)->Helper();
    boost.Restore();
    return 0;
}

void CWakeTimer::Helper() {
    for (;;) {
        EnterCriticalSection(&lock_);
        bool quit = quit_, pending = pending_;
        double due = dueMs_;
        unsigned generation = generation_;
        LeaveCriticalSection(&lock_);
        if (quit) return;
        if (!pending) {
            WaitForSingleObject(changed_, INFINITE);
            continue;
        }
        double left = due - LeadMs() - clock_.NowMs();
        if (left >= 1) {
            // Woken early by a change, or by the end of the sleep: look again either way.
            WaitForSingleObject(changed_, static_cast<DWORD>(left));
            continue;
        }
        EnterCriticalSection(&lock_);
        if (generation == generation_) {
            pending_ = false;
            PostMessageW(window_, kWakeMessage, generation, 0);
        }
        LeaveCriticalSection(&lock_);
    }
}

LRESULT CALLBACK CWakeTimer::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != kWakeMessage) return DefWindowProcW(wnd, msg, wp, lp);
    auto* self = reinterpret_cast<CWakeTimer*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self || !self->armed_) return 0;
    EnterCriticalSection(&self->lock_);
    bool current = static_cast<unsigned>(wp) == self->generation_;
    LeaveCriticalSection(&self->lock_);
    if (!current) return 0;  // a later WakeIn or Stop came after this post
    if (self->exact_) WaitUntil(self->clock_, self->dueMs_);  // dueMs_ is only ever written on this thread
    self->armed_ = false;
    self->onWake_();
    return 0;
}

bool CMidiOut::Open() {
    if (handle_) return true;
    HMIDIOUT out = nullptr;
    if (midiOutOpen(&out, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
    handle_ = out;
    for (int channel = 0; channel < 2; ++channel) midiOutShortMsg(out, 0xC0 | channel);  // acoustic grand piano
    return true;
}

void CMidiOut::Close() {
    if (!handle_) return;
    AllNotesOff();
    midiOutReset(static_cast<HMIDIOUT>(handle_));
    midiOutClose(static_cast<HMIDIOUT>(handle_));
    handle_ = nullptr;
}

void CMidiOut::Note(int channel, int midi, int velocity, bool on) {
    if (!handle_) return;
    DWORD msg = ((on ? 0x90u : 0x80u) | (channel & 15)) | ((midi & 127) << 8) | ((velocity & 127) << 16);
    midiOutShortMsg(static_cast<HMIDIOUT>(handle_), msg);
}

void CMidiOut::Sustain(bool down) {
    if (!handle_) return;
    for (int channel = 0; channel < 2; ++channel)
        midiOutShortMsg(static_cast<HMIDIOUT>(handle_), 0xB0 | channel | (64 << 8) | ((down ? 127 : 0) << 16));
}

void CMidiOut::AllNotesOff() {
    if (!handle_) return;
    Sustain(false);  // "all notes off" leaves notes the pedal holds sounding
    for (int channel = 0; channel < 2; ++channel) midiOutShortMsg(static_cast<HMIDIOUT>(handle_), 0xB0 | channel | (123 << 8));
}

}  // namespace zyqn
