#include "engine/platform.h"

#include <mmsystem.h>

#include <map>

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
// Thread timers carry only their id; this finds the object behind it. Used on
// the one thread that owns the engine, so it needs no lock.
std::map<UINT_PTR, CThreadTimer*>& Timers() {
    static std::map<UINT_PTR, CThreadTimer*> timers;
    return timers;
}
}  // namespace

void CThreadTimer::Start(UINT periodMs) {
    if (id_ && period_ == periodMs) return;
    bool wasRunning = id_ != 0;
    if (wasRunning) {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
    }
    id_ = SetTimer(nullptr, 0, periodMs, &CThreadTimer::Proc);
    period_ = id_ ? periodMs : 0;
    if (id_) Timers()[id_] = this;
    if (id_ && !wasRunning) timeBeginPeriod(1);  // finer timer resolution while playing
    if (!id_ && wasRunning) timeEndPeriod(1);
}

void CThreadTimer::Stop() {
    if (!id_) return;
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
    period_ = 0;
    timeEndPeriod(1);
}

void CALLBACK CThreadTimer::Proc(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Timers().find(id);
    if (it == Timers().end()) {
        KillTimer(nullptr, id);  // a stale message for a timer already stopped
        return;
    }
    it->second->onTick_();
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

void CMidiOut::AllNotesOff() {
    if (!handle_) return;
    for (int channel = 0; channel < 2; ++channel) midiOutShortMsg(static_cast<HMIDIOUT>(handle_), 0xB0 | channel | (123 << 8));
}

}  // namespace zyqn
