#include "engine/platform.h"

#include <mmsystem.h>

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
constexpr UINT kWakeMessage = WM_APP + 0x5A;
constexpr double kSpinMs = 1.0;  // the helper sleeps until this long before the moment, then spins
const wchar_t kWakeClass[] = L"ZyqnWakeTimer";
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
    if (!thread_) return false;
    SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL);
    return true;
}

void CWakeTimer::WakeIn(double ms) {
    if (!EnsureStarted()) return;
    if (!periodRaised_) timeBeginPeriod(1);  // finer sleeps for the helper until Stop
    periodRaised_ = true;
    armed_ = true;
    EnterCriticalSection(&lock_);
    dueMs_ = clock_.NowMs() + (ms > 0 ? ms : 0);
    ++generation_;
    pending_ = true;
    LeaveCriticalSection(&lock_);
    SetEvent(changed_);
}

void CWakeTimer::Stop() {
    if (periodRaised_) timeEndPeriod(1);
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
    static_cast<CWakeTimer*>(self)->Helper();
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
        double left = due - clock_.NowMs();
        if (left > kSpinMs) {
            // Woken early by a change, or by the end of the sleep: look again either way.
            WaitForSingleObject(changed_, static_cast<DWORD>(left - kSpinMs));
            continue;
        }
        bool stale = false;
        while (!stale && clock_.NowMs() < due) {
            YieldProcessor();
            EnterCriticalSection(&lock_);
            stale = generation != generation_ || quit_;
            LeaveCriticalSection(&lock_);
        }
        if (stale) continue;
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
