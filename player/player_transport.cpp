// Playback transport of the player window: tempo, start, pause, stop, hands.
#include "frame/host_protocol.h"
#include "frame/plugin_state.h"
#include "player/wnd_melvane.h"
#include "uikit/controls/button_option.h"

namespace {
const int kTempoCount = 30;
}

float CWndMelvane::TempoRatioAt(int index) { return (kTempoCount - index) / 10.0f; }

void CWndMelvane::SetTempoIndex(int index) {
    if (index < 0 || index >= kTempoCount) return;
    tempoIndex_ = index;
    float ratio = TempoRatioAt(index);
    if (score_) score_->ops->SetTempoRatio(score_, ratio);
    if (btnTempoDis_) {
        wchar_t text[32];
        swprintf(text, 32, L"X %.1f", ratio);
        btnTempoDis_->SetText(text);
    }
}

void CWndMelvane::StartPlay() {
    if (score_) score_->ops->Play(score_);
    stopped_ = 0;
    if (HWND host = Plugin().hostWnd) {
        SetWindowPos(host, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetActiveWindow(host);
    }
}

void CWndMelvane::PausePlay() {
    if (score_) score_->ops->Pause(score_);
    SendResetNotesToHost();
}

void CWndMelvane::StopPlay() {
    if (score_) score_->ops->Stop(score_);
    stopped_ = 1;
    SendResetNotesToHost();
}

void CWndMelvane::SetHandsMode(UiKit::CControlUI*) {}
void CWndMelvane::ResetTransport() { stopped_ = 1; }
void CWndMelvane::OnCountInTick() {}
void CWndMelvane::DrawCountIn(HDC) {}
