// The IScore object ScoreDll.dll hands out: owns the loaded score with its
// timeline and layout, the player and its timer, and the MIDI output; sends
// the owner window its messages and calls the plug-in's callbacks.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "engine/layout.h"
#include "engine/page_cache.h"
#include "engine/platform.h"
#include "engine/playback.h"
#include "engine/renderer.h"
#include "engine/timeline.h"
#include "engine/zyqn_parser.h"
#include "abi/score_engine.h"

namespace zyqn {

class CScore : public IScore, private IPlaySink {
public:
    // clock: null for the performance counter; tests pass a fake one.
    explicit CScore(IClock* clock = nullptr);
    ~CScore() override;

    // The CScore behind an IScore handed out by this engine, or null for a
    // foreign or released object.
    static CScore* FromInterface(IScore* score);
    // Releases now, or after the outermost call when released from a callback.
    void Release();

    void Prepare(int mode, float scale, const POINT* origin);
    void Draw(HDC dc, int mode, const RECT* target);
    void SetOwnerWindow(HWND owner) { owner_ = owner; }
    // Measures as a musician counts them: a pick-up is measure 0 and not counted.
    int MeasureCount() const { return loaded_ ? loaded_->score.NumberedCount() : 0; }
    int PageCount() const { return loaded_ ? loaded_->layout.PageCount() : 0; }
    SIZE PageSize() const;
    void GoToPage(int command);
    void GoToMeasure(int measure);  // as numbered: 1 is the first full measure
    void Stop();
    void Play();
    void Pause();
    bool IsPlaying() const { return player_.IsPlaying(); }
    void SetMeterCallback(ScoreMeterFn fn);
    void SetKeyCallback(ScoreKeyFn fn);
    void SetTempoCallback(ScoreTempoFn fn);
    void SetTimeCallback(ScoreTimeFn fn);
    void SetMeasureCallback(ScoreMeasureFn fn);
    void SetNoteCallback(ScoreNoteFn fn) { noteFn_ = fn; }
    void SetTempoRatio(float ratio);
    void SetHands(int flags);
    int Load(const wchar_t* path);
    int LoadText(const std::string& text);  // the same from memory

    // For the select object and tests.
    bool HitTest(POINT devicePoint, EventRef* hit) const;
    const Score* LoadedScore() const { return loaded_ ? &loaded_->score : nullptr; }
    const Layout* LoadedLayout() const { return loaded_ ? &loaded_->layout : nullptr; }
    const Timeline* LoadedTimeline() const { return loaded_ ? &loaded_->timeline : nullptr; }
    Playback& GetPlayback() { return player_; }
    void OnTimer();  // one pass of the play timer

    // Keeps the object alive through a call that may reach the plug-in.
    class Busy {
    public:
        explicit Busy(CScore* s) : s_(s) { ++s_->depth_; }
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        CScore* s_;
    };

private:
    struct Loaded {
        Score score;
        Timeline timeline;
        Layout layout;
    };

    int Accept(ParseResult& parsed, int code);
    void ReportScoreInfo();
    void ReportSettings(int measure, bool all);  // a written measure's key, meter and tempo
    void ShowMeasure(int measure);  // a written measure
    int WrittenAt(int place) const;  // the written measure at a place in the play order
    void InvalidateHighlight();
    void OnNote(int midi, int velocity, int hand, bool on) override;
    void OnMeasure(int measure) override;
    void OnTime(double ms) override;
    void OnHighlight() override;
    void OnEnd() override;
    void OnPedal(bool down) override;

    std::unique_ptr<IClock> ownClock_;
    Playback player_;
    CWakeTimer timer_;
    CMidiOut midi_;
    CScoreRenderer renderer_;
    CPageCache pageCache_;
    std::unique_ptr<Loaded> loaded_;
    unsigned loadSerial_ = 0;  // counts loads, so the page cache knows a new score
    HWND owner_ = nullptr;
    int page_ = 0;
    float preparedScale_ = 1.0f, pageScale_ = 1.0f, thumbScale_ = 1.0f;
    POINT pageOrigin_{0, 0};
    bool hasView_ = false;  // a page view was drawn: hit tests and highlight repaints know where
    PageView lastView_;
    EventRef shownHighlight_[kHighlightSlots];
    // The key, meter and tempo last reported: a change mid-piece is reported as its measure plays.
    struct Settings {
        int key = -1, beats = 0, unit = 0, tempo = 0;
    } reported_;
    ScoreMeterFn meterFn_ = nullptr;
    ScoreKeyFn keyFn_ = nullptr;
    ScoreTempoFn tempoFn_ = nullptr;
    ScoreTimeFn timeFn_ = nullptr;
    ScoreMeasureFn measureFn_ = nullptr;
    ScoreNoteFn noteFn_ = nullptr;
    int depth_ = 0;
    bool doomed_ = false;
};

}  // namespace zyqn
