// The play ruler and the position fields: measure and time as the engine
// reports them, and seeking when the user moves the ruler.
#include <algorithm>

#include "frame/plugin_state.h"
#include "player/slider_ex.h"
#include "player/wnd_melvane.h"
#include "uikit/controls/label_text.h"

void CWndMelvane::InitRuler(int measures) {
    if (ruler_) ruler_->SetMeasureCount(measures);
}

void CWndMelvane::ShowPosition(int current, int total) {
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
    follow_ = 1;
}

std::wstring FormatPlayClock(int ms) {
    wchar_t text[32];
    swprintf(text, 32, L"%.2d:%.2d", ms / 60000, ms % 60000 / 1000);
    return text;
}

void CWndMelvane::ShowTime(int currentMs, int totalMs) {
    if (!timeValue_) return;
    if (timeCur_) timeCur_->SetText((FormatPlayClock(currentMs) + L" ").c_str());
    timeValue_->SetText((L"/ " + FormatPlayClock(totalMs)).c_str());
}

void CWndMelvane::OnRulerMoved() {
    if (!ruler_) return;
    follow_ = 0;
    int measure = ruler_->MeasureOf(ruler_->GetValue());
    wchar_t text[32];
    swprintf(text, 32, L"%d", measure);
    ruler_->SetThumbText(text);
    ShowPosition(measure, ruler_->GetMaxValue() / 10);
    if (score_) score_->ops->GoToMeasure(score_, measure);
}
