// Zoom levels, the page item's size and the page buttons of the score view,
// and the scrolling that keeps the played notes in sight.
#include <algorithm>

#include "frame/lang_table.h"
#include "library/wnd_sub_score_list.h"
#include "player/wnd_melvane.h"
#include "scoreview/score_list_ui.h"
#include "uikit/controls/combo.h"
#include "uikit/core/scrollbar.h"

namespace {
const int kZoomLevels = 10;
const int kAutoItem = 10;
const int kHundredPercent = 6;
const float kZoomTable[kZoomLevels] = {4.0f, 3.0f, 2.0f, 1.75f, 1.5f, 1.25f, 1.0f, 0.75f, 0.5f, 0.25f};

// The level just at or above the factor, or -1 when the factor lies
// outside the table's steps.
int LevelAbove(float zoom) {
    for (int i = 0; i + 1 < kZoomLevels; ++i)
        if (kZoomTable[i] >= zoom && zoom > kZoomTable[i + 1]) return i;
    return -1;
}
}  // namespace

bool CWndMelvane::IsAutoZoom() const { return comboZoom_ && comboZoom_->GetCurSel() == kAutoItem; }

void CWndMelvane::RefreshZoomAutoText() {
    // The other items are factors; this one is a word in the user's language.
    const std::wstring word = GetLangText(L"ID_TEXT_ZOOM_AUTO");
    if (!comboZoom_ || word.empty() || kAutoItem >= comboZoom_->GetCount()) return;
    comboZoom_->GetItemAt(kAutoItem)->SetText(word);
    comboZoom_->Invalidate();
}

void CWndMelvane::OnZoomComboSelect(int index) {
    if (index == -1) index = kHundredPercent;
    if (index >= 0 && index < kZoomLevels) zoom_ = kZoomTable[index];
    ApplyZoom();
}

void CWndMelvane::ZoomIn() { ZoomStep(0); }

void CWndMelvane::ZoomStep(int step) {
    if (!comboZoom_) return;
    int sel = comboZoom_->GetCurSel();
    if (sel == -1) return;
    int next;
    if (sel == kAutoItem) {
        int i = LevelAbove(zoom_);
        if (i < 0) return;
        // From "Auto" zooming in lands on the level above the factor and
        // zooming out two below it.
        next = step == 0 ? i : std::min(std::max(i + step + 1, 0), kZoomLevels - 1);
    } else {
        next = step == 0 ? sel - 1 : sel + step;
        if (next < 0 || next >= kZoomLevels) return;
    }
    comboZoom_->SelectItem(next, false);
    ApplyZoom();
}

void CWndMelvane::FitWidth() {
    if (comboZoom_) comboZoom_->SelectItem(comboZoom_->GetCount() - 1, false);
    if (scoreView_) ApplyZoom();
}

void CWndMelvane::ApplyZoom() {
    if (!scoreView_) return;
    if (HasPageItem()) LayoutPages(IsAutoZoom());
    RECT rc = scoreView_->GetPosition();
    InvalidateRect(hwnd_, &rc, TRUE);
}

void CWndMelvane::LayoutPages(bool fit) {
    if (!score_ || !scoreView_) return;
    HDC dc = manager_.GetPaintDC();
    int saved = dc ? SaveDC(dc) : 0;
    POINT origin = {0, 0};
    score_->ops->Prepare(score_, dc, SCORE_MODE_PAGE, fit ? 1.0f : zoom_, &origin);
    SIZE page = {0, 0};
    score_->ops->GetPageSize(score_, &page);
    RECT view = scoreView_->GetPosition();
    UiKit::CScrollBarUI* bar = scoreView_->GetVerticalScrollBar();
    if (page.cy > view.bottom - view.top && bar) view.right -= bar->GetFixedWidth();
    int w = page.cx, h = page.cy;
    // A view not laid out yet has no width to fit; the factor stays.
    if (fit && page.cx > 0 && view.right > view.left) {
        w = view.right - view.left;
        float zoom = static_cast<float>(w) / page.cx;
        zoom_ = zoom;
        h = static_cast<int>(page.cy * zoom + 1.0f);
    }
    for (int i = 0; i < scoreView_->GetCount(); ++i) {
        UiKit::CControlUI* item = scoreView_->GetItemAt(i);
        item->SetFixedWidth(w);
        item->SetFixedHeight(h);
    }
    scoreView_->rowWidth = scoreView_->pictureWidth = w;
    scoreView_->rowHeight = scoreView_->pictureHeight = h;
    if (dc) RestoreDC(dc, saved);
}

void CWndMelvane::SetPageJumpPending(bool pending) {
    if (panel_) panel_->pageJumpPending = pending;
}

bool CWndMelvane::PageJumpPending() const { return panel_ && panel_->pageJumpPending; }

void CWndMelvane::PageCommand(int command) {
    if (!score_) return;
    SetPageJumpPending(true);
    score_->ops->GoToPage(score_, command);
}

void CWndMelvane::EnsureVisible(const RECT& target) {
    if (!scoreView_) return;
    int vw = scoreView_->GetWidth(), vh = scoreView_->GetHeight();
    UiKit::CScrollBarUI* vbar = scoreView_->GetVerticalScrollBar();
    UiKit::CScrollBarUI* hbar = scoreView_->GetHorizontalScrollBar();
    if (vbar && vbar->IsVisible()) vw -= vbar->GetFixedWidth();
    if (hbar && hbar->IsVisible()) vh -= hbar->GetFixedHeight();
    SIZE pos = scoreView_->GetScrollPos();
    SIZE range = scoreView_->GetScrollRange();
    int sx = pos.cx, sy = pos.cy;
    int halfTarget = (target.bottom - target.top) / 2;

    int y = sy;
    int d = sy - target.top;
    if (d > 0) {
        y = sy - std::max<int>(d, vh / 2);
        if (PageJumpPending()) {
            SetPageJumpPending(false);
            y = std::max(y, 0);
        } else {
            y = std::max(y - halfTarget, 0);
        }
    } else if (d < 0 && target.bottom > sy + vh) {
        y = target.top;
        if (PageJumpPending()) SetPageJumpPending(false);
        else y = target.top - halfTarget;
        y = std::min<int>(y, range.cy);
    }

    int x = sx;
    d = sx - target.left;
    if (d > 0) x = std::max<int>(sx - std::max<int>(d, vw / 2), 0);
    else if (d < 0 && target.right > sx + vw) x = std::min<int>(sx + std::max<int>(-d, vw / 2), range.cx);
    scoreView_->SetScrollPos(SIZE{x, y});
}
