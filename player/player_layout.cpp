// Showing and hiding the library panel and the play display, and placing
// the floating panel buttons, the bottom gaps and the size grip whenever
// the window changes size.
#include <algorithm>

#include "library/wnd_sub_score_list.h"
#include "player/slider_ex.h"
#include "player/wnd_melvane.h"
#include "scoreview/score_list_ui.h"
#include "uikit/controls/button_option.h"
#include "uikit/core/container.h"

namespace {
// A floating control keeps its place through later layouts only through
// its fixed position and size.
void PlaceFloat(UiKit::CControlUI* c, const RECT& rc) {
    if (!c) return;
    c->SetFixedXY(SIZE{rc.left, rc.top});
    c->SetFixedWidth(rc.right - rc.left);
    c->SetFixedHeight(rc.bottom - rc.top);
    c->SetPosition(rc);
}
}  // namespace

void CWndMelvane::TogglePanel(UiKit::CControlUI* sender) {
    struct Route {
        UiKit::CControlUI* button;
        UiKit::CControlUI* partner;
        UiKit::CControlUI* panel;
        bool show;
    } routes[] = {
        {btnShowScorePanel_, btnHideScorePanel_, panel_, true},
        {btnHideScorePanel_, btnShowScorePanel_, panel_, false},
        {btnShowOpPanel_, btnHideOpPanel_, playDisplay_, true},
        {btnHideOpPanel_, btnShowOpPanel_, playDisplay_, false},
    };
    for (const Route& r : routes) {
        if (!sender || sender != r.button) continue;
        if (!r.partner || !r.panel) return;
        r.button->SetVisible(false);
        r.partner->SetVisible(true);
        r.panel->SetVisible(r.show);
        LayoutPanels();
        return;
    }
}

void CWndMelvane::LayoutPanels() {
    if (!hwnd_ || !titleBar_ || !operationPanel_) return;
    RECT k;
    GetClientRect(hwnd_, &k);
    int width = k.right - k.left;
    RECT inset = {0, 0, 0, 0};
    if (auto* main = dynamic_cast<UiKit::CContainerUI*>(Find(L"VerticalLayoutUI1"))) inset = main->GetInset();

    RECT r;
    r.left = k.left + inset.left + 2;
    r.top = k.top + inset.top + titleBar_->GetFixedHeight() + operationPanel_->GetFixedHeight() + 2;
    r.right = k.right - inset.right;
    r.bottom = k.bottom - inset.bottom;
    if (playDisplay_ && playDisplay_->IsVisible()) r.bottom -= playDisplay_->GetFixedHeight();
    if (panel_ && panel_->IsVisible()) r.left += panel_->GetFixedWidth();

    int panelWidth = panel_ ? panel_->GetFixedWidth() : 0;
    int midY = (r.top + r.bottom) / 2;
    PlaceFloat(btnShowScorePanel_, RECT{inset.left + 2, midY - 36, inset.left + 12, midY + 36});
    PlaceFloat(btnHideScorePanel_,
               RECT{panelWidth + inset.left + 2, midY - 36, panelWidth + inset.left + 12, midY + 36});

    int midX = (r.left + r.right) / 2;
    int b = k.bottom - inset.bottom - 20;
    int playHeight = playDisplay_ ? playDisplay_->GetFixedHeight() : 0;
    PlaceFloat(btnShowOpPanel_, RECT{midX - 36, b - 10, midX + 36, b});
    PlaceFloat(btnHideOpPanel_, RECT{midX - 36, b - playHeight - 10, midX + 36, b - playHeight});

    if (scoreView_) {
        scoreView_->SetPosition(r);
        if (score_) InvalidateRect(hwnd_, &r, FALSE);
    }

    UiKit::CControlUI* gap1 = Find(L"ID_BOTTOM_GAP1");
    UiKit::CControlUI* gap2 = Find(L"ID_BOTTOM_GAP2");
    int half = (r.right - r.left) / 2;
    if (half > 399) {
        int m = half - 324;
        if (panel_ && panel_->IsVisible()) m += panelWidth;
        int first = std::max(m, 10);
        if (gap1) gap1->SetFixedWidth(first);
        if (gap2) gap2->SetFixedWidth(width - first - 723);
    } else if (gap1) {
        gap1->SetFixedWidth(width > 733 ? std::max(width - 723, 10) : 10);
    }

    PlaceFloat(Find(L"ID_WND_RESIZE_FLAG"), RECT{k.right - 17, k.bottom - 16, k.right - 2, k.bottom - 2});
    position_.LayOut();
    if (score_) LayoutPages(IsAutoZoom());
}
