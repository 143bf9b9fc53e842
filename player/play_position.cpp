// The play ruler and the position fields: measure and time as the engine
// reports them, and seeking when the user moves the ruler.
#include "player/play_position.h"

#include <algorithm>

#include "player/slider_ex.h"
#include "uikit/controls/label_text.h"
#include "uikit/core/window_manager.h"

void CPlayPosition::Attach(UiKit::CUIWindowManager* manager) {
    auto label = [manager](const wchar_t* name) { return dynamic_cast<UiKit::CLabelUI*>(manager->FindControl(name)); };
    measureCur_ = label(L"ID_SCORE_MEASURE_VALUE_CUR");
    measureValue_ = label(L"ID_SCORE_MEASURE_VALUE");
    timeCur_ = label(L"ID_SCORE_TIME_VALUE_CUR");
    timeValue_ = label(L"ID_SCORE_TIME_VALUE");
    ruler_ = dynamic_cast<CSliderExUI*>(manager->FindControl(L"ID_SLIDER_PLAY_RULER"));
}

void CPlayPosition::ResetThumb() {
    if (ruler_) ruler_->SetThumbText(L"0");
}

void CPlayPosition::SetMeasureCount(int measures) {
    if (measures <= 0 || !ruler_) return;
    measures_ = measures;
    LayOut();
}

void CPlayPosition::LayOut() {
    if (ruler_) ruler_->SetMeasureCount(measures_);
}

void CPlayPosition::ShowPosition(int current, int total) {
    if (!measureValue_) return;
    wchar_t text[32];
    swprintf(text, 32, L"%d ", current);
    if (measureCur_) measureCur_->SetText(text);
    if (follow_ && ruler_) {
        ruler_->SetThumbText(text);
        if (current >= 0) ruler_->SetValue(std::max(current - 1, 0) * 10);
    }
    swprintf(text, 32, L"/ %d", total);
    measureValue_->SetText(text);
    follow_ = true;
}

void CPlayPosition::Rewind() {
    if (ruler_) ShowPosition(0, ruler_->GetMaxValue() / 10);
}

std::wstring FormatPlayClock(int ms) {
    wchar_t text[32];
    swprintf(text, 32, L"%.2d:%.2d", ms / 60000, ms % 60000 / 1000);
    return text;
}

void CPlayPosition::ShowTime(int currentMs, int totalMs) {
    if (!timeValue_) return;
    if (timeCur_) timeCur_->SetText((FormatPlayClock(currentMs) + L" ").c_str());
    timeValue_->SetText((L"/ " + FormatPlayClock(totalMs)).c_str());
}

void CPlayPosition::OnMoved() {
    if (!ruler_) return;
    follow_ = false;
    int measure = ruler_->MeasureOf(ruler_->GetValue());
    wchar_t text[32];
    swprintf(text, 32, L"%d", measure);
    ruler_->SetThumbText(text);
    ShowPosition(measure, ruler_->GetMaxValue() / 10);
    if (score_) score_->ops->GoToMeasure(score_, measure);
}
