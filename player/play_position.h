// The player window's play position: the ruler with one step per measure,
// and the measure and time fields, as the engine reports them while it
// plays; moving the ruler seeks to its measure.
#pragma once
#include <windows.h>

#include "abi/score_engine.h"

namespace UiKit {
class CLabelUI;
class CUIWindowManager;
}  // namespace UiKit
class CSliderExUI;

class CPlayPosition {
public:
    // Finds the ruler and the fields in the window's markup.
    void Attach(UiKit::CUIWindowManager* manager);
    void SetScore(IScore* score) { score_ = score; }
    // The ruler (null when the markup lacks it): the window tells a press on
    // it from other clicks.
    CSliderExUI* Ruler() const { return ruler_; }

    // A newly opened score: the thumb shows "0", then the ruler takes the
    // score's measures (a count below one leaves the last ones).
    void ResetThumb();
    void SetMeasureCount(int measures);
    // Lays the measures out again over the ruler's present width.
    void LayOut();
    void ShowPosition(int current, int total);
    void ShowTime(int currentMs, int totalMs);
    // Back to measure 0 of the score's measures.
    void Rewind();
    // The user moved the ruler: the thumb and the fields show its measure,
    // the ruler stays where the user put it, and the engine goes there.
    void OnMoved();

private:
    IScore* score_ = nullptr;
    // Controls of the markup (not owned; null when the markup lacks one).
    CSliderExUI* ruler_ = nullptr;
    UiKit::CLabelUI* measureCur_ = nullptr;
    UiKit::CLabelUI* measureValue_ = nullptr;
    UiKit::CLabelUI* timeCur_ = nullptr;
    UiKit::CLabelUI* timeValue_ = nullptr;
    int measures_ = 10;
    bool follow_ = true;
};
