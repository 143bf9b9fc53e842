// The player window's transport: the count-in, start, pause and stop, the
// reset at the end of the score, the tempo steps and the hands. It owns
// those buttons and shows its state on start, pause and stop in one place;
// the window keeps the page, the ruler and the host's note words around it.
#pragma once
#include <windows.h>

#include "abi/score_engine.h"

namespace UiKit {
class CButtonUI;
class CControlUI;
class CListUI;
class CUIWindowManager;
}  // namespace UiKit

class CTransport {
public:
    // Where the transport stands. Playing and PlayingOn differ only in where
    // a start goes once the engine has fallen quiet at the end of the score
    // before its end message arrives: back to a count-in from the stop
    // position, or on at once as after a pause.
    enum class State {
        Stopped,     // at the stop position: starting counts in
        CountingIn,  // the count-in runs, the engine is still quiet
        Playing,     // playing from the stop position after the count-in
        Paused,      // halted where it was: starting plays on at once
        PlayingOn,   // playing on from a pause
    };
    // The timer of the owner window that counts in, one tick a second.
    static const UINT_PTR kCountInTimer = 2;

    // Finds the transport's buttons in the window's markup. The score view
    // shows the count-in and must hold a page for the transport to run; the
    // hands follow the play display while it is shown.
    void Attach(HWND window, UiKit::CUIWindowManager* manager, UiKit::CListUI* scoreView,
                UiKit::CControlUI* playDisplay);
    void SetScore(IScore* score) { score_ = score; }

    State GetState() const { return state_; }
    // The count-in's number, 3 down to 1.
    int CountIn() const { return countIn_; }
    // Stopped, counting in or playing after the count-in: a start from here
    // counts in.
    bool FromStopPosition() const;

    // A click on one of the transport's buttons; false for any other control.
    bool OnClick(UiKit::CControlUI* sender);
    // The host's four command codes: faster, slower, start, pause; any other
    // code does nothing.
    void HostCommand(int code);

    void Start();
    void Pause();
    void Stop();
    // Back to a stopped transport without telling the engine (it has reached
    // the end, or a score was just opened); false when the markup lacks the
    // buttons and nothing changed.
    bool Reset();
    // The markup has the start, pause and stop buttons the transport needs.
    bool HasButtons() const { return btnStart_ && btnPause_ && btnStop_; }
    // Pressing the ruler pauses a playing score; releasing it plays on.
    void PauseForSeek();
    void ResumeAfterSeek();

    void OnCountInTick();
    // Paints the count-in number over the score view while it runs.
    void DrawCountIn(HDC hdc);

    static float TempoRatioAt(int index);
    // Shows the step's ratio and tells the engine; steps outside the table
    // are ignored.
    void SetTempoIndex(int index);
    void ApplyTempo() { SetTempoIndex(tempoIndex_); }

private:
    // The one place that sets the state and shows it on the start, pause and
    // stop buttons.
    void Show(State state);
    void EndCountIn();
    bool HasPageItem() const;
    // Toggles a hand (when toggle) and tells the engine the hands' flags.
    void SetHandsMode(bool toggle, bool hideButton, bool left);
    void SetHandsMode(UiKit::CControlUI* sender);

    HWND window_ = nullptr;
    UiKit::CUIWindowManager* manager_ = nullptr;
    UiKit::CListUI* scoreView_ = nullptr;
    UiKit::CControlUI* playDisplay_ = nullptr;
    IScore* score_ = nullptr;

    // Controls of the markup (not owned; null when the markup lacks one).
    UiKit::CButtonUI* btnStart_ = nullptr;
    UiKit::CButtonUI* btnPause_ = nullptr;
    UiKit::CButtonUI* btnStop_ = nullptr;
    UiKit::CButtonUI* btnTempoAdd_ = nullptr;
    UiKit::CButtonUI* btnTempoPlus_ = nullptr;
    UiKit::CButtonUI* btnTempoDis_ = nullptr;
    UiKit::CButtonUI* btnPlayLeft_ = nullptr;
    UiKit::CButtonUI* btnHideLeft_ = nullptr;
    UiKit::CButtonUI* btnPlayRight_ = nullptr;
    UiKit::CButtonUI* btnHideRight_ = nullptr;

    State state_ = State::Stopped;
    int countIn_ = 3;
    int tempoIndex_ = 20;
    bool seekPaused_ = false;
};
