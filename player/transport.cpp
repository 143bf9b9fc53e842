// The transport's state changes, the count-in's timer and drawing, the tempo
// steps and the hands' buttons.
#include "player/transport.h"

#include <algorithm>
#include <cwchar>

#include "frame/host_protocol.h"
#include "frame/plugin_state.h"
#include "uikit/controls/button_option.h"
#include "uikit/controls/list.h"
#include "uikit/core/render.h"

namespace {
const int kTempoCount = 30;
const int kCountInSide = 270;
const wchar_t* const kCountInImages[3] = {
    L"file='ID_PNG_PLAY_TIMER.png' source='0, 0, 270, 270' hole='false'",
    L"file='ID_PNG_PLAY_TIMER.png' source='270, 0, 540, 270' hole='false'",
    L"file='ID_PNG_PLAY_TIMER.png' source='540, 0, 810, 270' hole='false'",
};

void Enable(UiKit::CControlUI* c, bool enabled) {
    if (c) c->SetEnabled(enabled);
}

// Counting in or playing: pause and stop are offered, start is not.
bool IsMoving(CTransport::State state) {
    return state == CTransport::State::CountingIn || state == CTransport::State::Playing ||
           state == CTransport::State::PlayingOn;
}
}  // namespace

void CTransport::Attach(HWND window, UiKit::CUIWindowManager* manager, UiKit::CListUI* scoreView,
                        UiKit::CControlUI* playDisplay) {
    window_ = window;
    manager_ = manager;
    scoreView_ = scoreView;
    playDisplay_ = playDisplay;
    auto button = [manager](const wchar_t* name) {
        return dynamic_cast<UiKit::CButtonUI*>(manager->FindControl(name));
    };
    btnStart_ = button(L"ID_BTN_SCORE_START");
    btnPause_ = button(L"ID_BTN_SCORE_PAUSE");
    btnStop_ = button(L"ID_BTN_SCORE_STOP");
    btnTempoAdd_ = button(L"ID_BTN_TEMPO_ADD");
    btnTempoPlus_ = button(L"ID_BTN_TEMPO_PLUS");
    btnTempoDis_ = button(L"ID_BTN_TEMPO_DIS");
    btnPlayLeft_ = button(L"ID_BTN_PLAY_LEFT");
    btnHideLeft_ = button(L"ID_BTN_HIDE_LEFT");
    btnPlayRight_ = button(L"ID_BTN_PLAY_RIGHT");
    btnHideRight_ = button(L"ID_BTN_HIDE_RIGHT");
}

void CTransport::Show(State state) {
    state_ = state;
    const bool moving = IsMoving(state);
    Enable(btnPause_, moving);
    Enable(btnStart_, !moving);
    Enable(btnStop_, state != State::Stopped);
}

bool CTransport::FromStopPosition() const {
    return state_ == State::Stopped || state_ == State::CountingIn || state_ == State::Playing;
}

bool CTransport::HasPageItem() const { return scoreView_ && scoreView_->GetCount() > 0; }

bool CTransport::OnClick(UiKit::CControlUI* sender) {
    if (!sender) return false;
    // Buttons are told apart by name, as the window tells its own.
    const UiKit::CUIString name = sender->GetName();
    auto is = [&name](UiKit::CControlUI* c) { return c && c->GetName() == name; };
    if (is(btnTempoPlus_)) SetTempoIndex(tempoIndex_ + 1);
    else if (is(btnTempoAdd_)) SetTempoIndex(tempoIndex_ - 1);
    else if (is(btnPlayLeft_) || is(btnHideLeft_) || is(btnPlayRight_) || is(btnHideRight_)) SetHandsMode(sender);
    else if (is(btnStart_)) Start();
    else if (is(btnPause_)) Pause();
    else if (is(btnStop_)) Stop();
    else return false;
    return true;
}

void CTransport::HostCommand(int code) {
    switch (code) {
    case 0: SetTempoIndex(tempoIndex_ - 1); break;
    case 1: SetTempoIndex(tempoIndex_ + 1); break;
    case 2: Start(); break;
    case 3: Pause(); break;
    default: break;
    }
}

float CTransport::TempoRatioAt(int index) { return (kTempoCount - index) / 10.0f; }

void CTransport::SetTempoIndex(int index) {
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

void CTransport::Start() {
    if (!HasPageItem() || !score_ || score_->ops->IsPlaying(score_) || !btnStart_ || !btnPause_) return;
    const bool countIn = FromStopPosition();
    Show(countIn ? State::CountingIn : State::PlayingOn);
    if (playDisplay_ && playDisplay_->IsVisible()) SetHandsMode(false, false, false);
    if (countIn) {
        ::SetTimer(window_, kCountInTimer, 1000, nullptr);
        if (scoreView_) scoreView_->Invalidate();
    } else {
        score_->ops->Play(score_);
    }
    if (HWND host = Plugin().hostWnd) {
        SetWindowPos(host, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetActiveWindow(host);
    }
}

void CTransport::OnCountInTick() {
    if (!HasPageItem()) return;
    --countIn_;
    if (countIn_ <= 0) {
        // The count-in ends even without an engine, so the timer cannot run on.
        EndCountIn();
        state_ = State::Playing;
        if (score_) score_->ops->Play(score_);
    } else if (scoreView_) {
        scoreView_->Invalidate();
    }
}

void CTransport::EndCountIn() {
    KillTimer(window_, kCountInTimer);
    countIn_ = 3;
    if (scoreView_) scoreView_->Invalidate();
}

void CTransport::DrawCountIn(HDC hdc) {
    if (state_ != State::CountingIn || !scoreView_ || countIn_ < 1 || countIn_ > 3) return;
    const RECT& view = scoreView_->GetPosition();
    RECT square;
    square.left = std::max<LONG>((view.left + view.right) / 2 - kCountInSide / 2, view.left);
    square.top = std::max<LONG>((view.top + view.bottom) / 2 - kCountInSide / 2, view.top);
    square.right = square.left + kCountInSide;
    square.bottom = square.top + kCountInSide;
    UiKit::Render::DrawImageDescription(hdc, manager_, square, square, kCountInImages[countIn_ - 1]);
}

void CTransport::Pause() {
    if (!HasPageItem() || !score_ || !btnStart_ || !btnPause_ || !IsMoving(state_)) return;
    EndCountIn();
    Show(State::Paused);
    score_->ops->Pause(score_);
    SendResetNotesToHost();
}

void CTransport::Stop() {
    if (!btnStop_ || state_ == State::Stopped || !score_) return;
    EndCountIn();
    Show(State::Stopped);
    score_->ops->Stop(score_);
    SendResetNotesToHost();
}

bool CTransport::Reset() {
    if (!HasButtons()) return false;
    // A score opened during the count-in must not start playing when the
    // count-in ends: the buttons would show a stopped transport that could
    // no longer be paused or stopped.
    if (state_ == State::CountingIn) EndCountIn();
    Show(State::Stopped);
    return true;
}

void CTransport::PauseForSeek() {
    if (!score_ || !score_->ops->IsPlaying(score_)) return;
    Pause();
    seekPaused_ = true;
}

void CTransport::ResumeAfterSeek() {
    if (!seekPaused_ || !score_) return;
    Start();
    seekPaused_ = false;
}

void CTransport::SetHandsMode(UiKit::CControlUI* sender) {
    bool left = sender == btnPlayLeft_ || sender == btnHideLeft_;
    bool hide = sender == btnHideLeft_ || sender == btnHideRight_;
    SetHandsMode(true, hide, left);
}

void CTransport::SetHandsMode(bool toggle, bool hideButton, bool left) {
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
