// Playback transport of the player window: the count-in, start, pause,
// stop, the reset at the end of the score, the tempo steps and the hands.
#include <algorithm>

#include "frame/host_protocol.h"
#include "frame/plugin_state.h"
#include "library/score_list_ui.h"
#include "player/slider_ex.h"
#include "player/wnd_melvane.h"
#include "uikit/controls/button_option.h"
#include "uikit/core/render.h"

namespace {
const int kTempoCount = 30;
const UINT_PTR kCountInTimer = 2;
const int kCountInSide = 270;
const wchar_t* const kCountInImages[3] = {
    L"file='ID_PNG_PLAY_TIMER.png' source='0, 0, 270, 270' hole='false'",
    L"file='ID_PNG_PLAY_TIMER.png' source='270, 0, 540, 270' hole='false'",
    L"file='ID_PNG_PLAY_TIMER.png' source='540, 0, 810, 270' hole='false'",
};

void Enable(UiKit::CControlUI* c, bool enabled) {
    if (c) c->SetEnabled(enabled);
}
}  // namespace

bool CWndMelvane::IsMoving(TransportState state) {
    return state == TransportState::CountingIn || state == TransportState::Playing ||
           state == TransportState::PlayingOn;
}

void CWndMelvane::ShowTransport(TransportState state) {
    transport_ = state;
    const bool moving = IsMoving(state);
    Enable(btnPause_, moving);
    Enable(btnStart_, !moving);
    Enable(btnStop_, state != TransportState::Stopped);
}

bool CWndMelvane::FromStopPosition() const {
    return transport_ == TransportState::Stopped || transport_ == TransportState::CountingIn ||
           transport_ == TransportState::Playing;
}

float CWndMelvane::TempoRatioAt(int index) { return (kTempoCount - index) / 10.0f; }

bool CWndMelvane::HasPageItem() const { return scoreView_ && scoreView_->GetCount() > 0; }

void CWndMelvane::SetTempoIndex(int index) {
    if (index < 0 || index >= kTempoCount) return;
    tempoIndex_ = index;
    float ratio = TempoRatioAt(index);
    if (btnTempoDis_) {
        wchar_t text[32];
        swprintf(text, 32, L"X %.1f", ratio);
        btnTempoDis_->SetText(text);
    }
    if (score_) score_->ops->SetTempoRatio(score_, ratio);
}

void CWndMelvane::StartPlay() {
    if (!HasPageItem() || !score_ || score_->ops->IsPlaying(score_) || !btnStart_ || !btnPause_) return;
    const bool countIn = FromStopPosition();
    ShowTransport(countIn ? TransportState::CountingIn : TransportState::PlayingOn);
    if (playDisplay_ && playDisplay_->IsVisible()) SetHandsMode(false, false, false);
    if (countIn) {
        ::SetTimer(hwnd_, kCountInTimer, 1000, nullptr);
        if (scoreView_) scoreView_->Invalidate();
    } else {
        score_->ops->Play(score_);
    }
    if (HWND host = Plugin().hostWnd) {
        SetWindowPos(host, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetActiveWindow(host);
    }
}

void CWndMelvane::OnCountInTick() {
    if (!HasPageItem()) return;
    --countIn_;
    if (countIn_ <= 0) {
        // The count-in ends even without an engine, so the timer cannot run on.
        EndCountIn();
        transport_ = TransportState::Playing;
        if (score_) score_->ops->Play(score_);
    } else if (scoreView_) {
        scoreView_->Invalidate();
    }
}

void CWndMelvane::EndCountIn() {
    KillTimer(hwnd_, kCountInTimer);
    countIn_ = 3;
    if (scoreView_) scoreView_->Invalidate();
}

void CWndMelvane::DrawCountIn(HDC hdc) {
    if (transport_ != TransportState::CountingIn || !scoreView_ || countIn_ < 1 || countIn_ > 3) return;
    const RECT& view = scoreView_->GetPosition();
    RECT square;
    square.left = std::max<LONG>((view.left + view.right) / 2 - kCountInSide / 2, view.left);
    square.top = std::max<LONG>((view.top + view.bottom) / 2 - kCountInSide / 2, view.top);
    square.right = square.left + kCountInSide;
    square.bottom = square.top + kCountInSide;
    UiKit::Render::DrawImageDescription(hdc, &manager_, square, square, kCountInImages[countIn_ - 1]);
}

void CWndMelvane::PausePlay() {
    if (!HasPageItem() || !score_ || !btnStart_ || !btnPause_ || !IsMoving(transport_)) return;
    EndCountIn();
    ShowTransport(TransportState::Paused);
    score_->ops->Pause(score_);
    SendResetNotesToHost();
}

void CWndMelvane::StopPlay() {
    if (!btnStop_ || transport_ == TransportState::Stopped || !score_) return;
    EndCountIn();
    ShowTransport(TransportState::Stopped);
    score_->ops->Stop(score_);
    SendResetNotesToHost();
}

void CWndMelvane::ResetTransport() {
    if (!btnStart_ || !btnPause_ || !btnStop_) return;
    // A score opened during the count-in must not start playing when the
    // count-in ends: the buttons below would show a stopped transport that
    // could no longer be paused or stopped.
    if (transport_ == TransportState::CountingIn) EndCountIn();
    ShowTransport(TransportState::Stopped);
    if (score_) {
        SetPageJumpPending(true);
        score_->ops->GoToPage(score_, SCORE_PAGE_FIRST);
    }
    if (ruler_) ShowPosition(0, ruler_->GetMaxValue() / 10);
    SendResetNotesToHost();
}

void CWndMelvane::SetHandsMode(UiKit::CControlUI* sender) {
    bool left = sender == btnPlayLeft_ || sender == btnHideLeft_;
    bool hide = sender == btnHideLeft_ || sender == btnHideRight_;
    SetHandsMode(true, hide, left);
}

void CWndMelvane::SetHandsMode(bool toggle, bool hideButton, bool left) {
    if (!score_) return;
    if (toggle) {
        UiKit::CButtonUI* play = left ? btnPlayLeft_ : btnPlayRight_;
        UiKit::CButtonUI* hide = left ? btnHideLeft_ : btnHideRight_;
        if (play) play->SetVisible(hideButton);
        if (hide) hide->SetVisible(!hideButton);
        SendResetNotesToHost();
    }
    auto shown = [](UiKit::CControlUI* c) { return c && c->IsVisible(); };
    int flags = 0;
    if (shown(btnPlayLeft_)) flags |= SCORE_LEFT_PLAYED;
    else if (shown(btnHideLeft_)) flags |= SCORE_LEFT_MUTED;
    if (shown(btnPlayRight_)) flags |= SCORE_RIGHT_PLAYED;
    else if (shown(btnHideRight_)) flags |= SCORE_RIGHT_MUTED;
    score_->ops->SetHands(score_, flags);
}
